#include "sources/capture_window.h"

#include "app/message_boxes.h"

#include <filesystem>
#include <fstream>

#include "recognition/general_recognition.h"
#include "sources/capture_geometry.h"
#include "sources/capture_window_form.h"
#include "sources/screen_capture.h"
#include "support/paths.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

inline constexpr char kHitTitle[] = "碰撞!";
inline constexpr int kAimingPeriod = 10;
inline constexpr int kDraggingPeriod = 1;

Rect PlaceOver(const ScreenRect& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void ShowFrame(CaptureWindow& window, bool shown) {
  for (Control* edge : window.FrameEdges()) edge->SetVisible(shown);
}

// Brings a shape to its place one property at a time (left, top, width, height), writing only
// what differs and hiding the shape around each write, so that a tick at the same place
// repaints nothing.
void MoveShape(Control& shape, const Rect& target) {
  int Rect::*const properties[] = {&Rect::left, &Rect::top, &Rect::width, &Rect::height};
  for (int Rect::*property : properties) {
    Rect place = shape.place();
    if (place.*property == target.*property) continue;
    place.*property = target.*property;
    shape.SetVisible(false);
    shape.SetPlace(place);
    shape.SetVisible(true);
  }
}

void UpdateRubberBand(AppContext& app, CaptureWindow& window) {
  SharedState& state = app.state;
  if (!state.IsDragging) return;
  state.CaptureSelection = SelectionFromDrag(state.DragAnchor, app.desktop.PointerPosition());
  const std::array<Rect, 4> edges = FrameEdges(state.CaptureSelection);
  const std::array<Control*, 4> shapes = window.FrameEdges();
  for (std::size_t i = 0; i < shapes.size(); ++i) MoveShape(*shapes[i], edges[i]);
}

void OnResized(AppContext& app, CaptureWindow& window) {
  const ScreenSize screen = app.desktop.PrimaryScreenSize();
  if (window.width() != screen.width || window.height() != screen.height) {
    window.SetSize(screen.width, screen.height);
  }
  if (window.background() != app.state.ScreenSnapshot) {
    window.SetBackground(app.state.ScreenSnapshot);
  }
  Rect question = window.标签1.place();
  question.left = (screen.width - question.width) / 2;
  question.top = (screen.height - question.height) / 2;
  window.标签1.SetPlace(question);
  for (Control* edge : window.FrameEdges()) {
    Rect place = edge->place();
    place.width = 1;
    place.height = 1;
    edge->SetPlace(place);
  }
}

void OnTick(AppContext& app, CaptureWindow& window) {
  const ScreenPoint pointer = app.desktop.PointerPosition();
  Control& magnifier = window.图片框1;
  Rect box = magnifier.place();
  app.state.MagnifierPicture =
      CaptureScreen(app.desktop, MagnifierArea(pointer, box.width, box.height));
  if (app.state.MagnifierPicture != magnifier.picture()) {
    magnifier.SetPicture(app.state.MagnifierPicture);
  }
  if (box.left != pointer.x + kMagnifierOffsetX || box.top != pointer.y + kMagnifierOffsetY) {
    box.left = pointer.x + kMagnifierOffsetX;
    box.top = pointer.y + kMagnifierOffsetY;
    magnifier.SetPlace(box);
    magnifier.SetVisible(true);
  }
  UpdateRubberBand(app, window);
}

void OnLeftPress(AppContext& app, CaptureWindow& window, int x, int y) {
  if (SelectionHitTest(app, window)) {
    // The frame must not be part of a capture that follows.
    ShowFrame(window, false);
    return;
  }
  window.时钟1.SetPeriod(kDraggingPeriod);
  app.state.IsDragging = true;
  app.state.DragAnchor = {x, y};
  for (Control* edge : window.FrameEdges()) edge->SetPlace({x, y, 1, 1});
}

void OnLeftRelease(AppContext& app, CaptureWindow& window) {
  app.state.IsDragging = false;
  window.时钟1.SetPeriod(0);
  window.透明标签1.SetPlace(PlaceOver(app.state.CaptureSelection));
  if (!SelectionHitTest(app, window)) ShowFrame(window, true);
}

void OnDoubleClick(AppContext& app, CaptureWindow& window) {
  if (!SelectionHitTest(app, window)) return;
  app.desktop.ShowMainWindow(true);
  const std::string picture = CaptureScreen(app.desktop, app.state.CaptureSelection);
  const std::filesystem::path folder = app.runDirectory / Utf8Path(kCaptureFolderName);
  std::error_code ignored;
  if (!std::filesystem::is_directory(folder, ignored)) {
    std::filesystem::create_directories(folder, ignored);
  }
  // The bytes are a BMP picture under a ".png" name; the service reads either.
  const std::filesystem::path file = folder / Utf8Path(UnixTimestamp() + ".png");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(picture.data(), static_cast<std::streamsize>(picture.size()));
  }
  // A folder or file that could not be made is reported by the recognition that reads it.
  RecognizeImageFile(app, PathText(file));
  window.Close();
}

void OnRightPress(AppContext& app, CaptureWindow& window) {
  window.标签1.SetVisible(true);
  const ScreenSize screen = app.desktop.PrimaryScreenSize();
  window.透明标签1.SetPlace({0, 0, screen.width, screen.height});
  window.透明标签1.SetVisible(true);
}

void OnQuestionPress(AppContext& app, CaptureWindow& window, int x) {
  switch (QuestionAnswerAt(x)) {
    case QuestionAnswer::Yes:
      app.desktop.ShowMainWindow(true);
      window.Close();
      break;
    case QuestionAnswer::No:
      window.标签1.SetVisible(false);
      window.透明标签1.SetVisible(false);
      window.透明标签1.SetPlace(PlaceOver(app.state.CaptureSelection));
      break;
    case QuestionAnswer::None:
      break;
  }
}

void AttachHandlers(AppContext& app, CaptureWindow& window) {
  window.OnHandlerFault(
      [&app](std::string_view, std::string_view what) { ShowHandlerFault(app, what); });
  window.OnResize([&app, &window] { OnResized(app, window); });
  window.时钟1.OnTick([&app, &window] { OnTick(app, window); });
  window.OnPointer([&app, &window](const PointerEvent& event) {
    switch (event.action) {
      case PointerAction::LeftPress:
        OnLeftPress(app, window, event.x, event.y);
        break;
      case PointerAction::LeftRelease:
        OnLeftRelease(app, window);
        break;
      case PointerAction::LeftDoubleClick:
        OnDoubleClick(app, window);
        break;
      case PointerAction::RightPress:
        OnRightPress(app, window);
        break;
    }
  });
  window.标签1.OnPointer([&app, &window](const PointerEvent& event) {
    if (event.action == PointerAction::LeftPress) OnQuestionPress(app, window, event.x);
  });
  window.图片框1.OnPointer([&app, &window](const PointerEvent& event) {
    // Lets the user drag the magnifier off a selection it would otherwise spoil.
    if (event.action == PointerAction::LeftPress) app.desktop.DragControl(window, window.图片框1);
  });
}

}  // namespace

bool SelectionHitTest(AppContext& app, CaptureWindow& window) {
  if (!StrictlyInside(app.state.CaptureSelection, app.desktop.PointerPosition())) return false;
  window.SetCaption(kHitTitle);
  return true;
}

void RunCaptureWindow(AppContext& app) {
  const bool hideMainWindow = app.window.选择框_截图_截图隐藏.ticked();
  if (hideMainWindow) app.desktop.ShowMainWindow(false);
  // A window closed in the middle of a drag (by the question's 是) never saw its release; the
  // next one must not go on dragging, or its first tick would overwrite the selection.
  app.state.IsDragging = false;
  CaptureWindow window;
  AttachHandlers(app, window);
  // Taken before the window is shown, so that the picture holds neither it nor a hidden main
  // window.
  app.state.ScreenSnapshot = CaptureScreen(app.desktop, std::nullopt);
  app.desktop.RunFullScreenModal(window);
  // However the window went away, a main window hidden for it comes back.
  if (hideMainWindow) app.desktop.ShowMainWindow(true);
}

}  // namespace tarnwick
