#include "platform/win32/full_screen_window.h"

#include <windowsx.h>

#include <vector>

#include "platform/win32/form_timers.h"
#include "platform/win32/ui_font.h"
#include "support/wide_text.h"

namespace tarnwick {
namespace {

constexpr wchar_t kWindowClass[] = L"TarnwickFullScreen";
const COLORREF kFrameColour = RGB(0, 120, 215);
const COLORREF kCrosshairColour = RGB(230, 0, 0);
constexpr int kSmallestLabelPixels = 7;

void RegisterWindowClass(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

RECT ToRect(const Rect& r) {
  return {r.left, r.top, r.left + r.width, r.top + r.height};
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

HFONT LabelFont(int pixels) {
  LOGFONTW font = ControlLogFont();
  font.lfHeight = -pixels;
  font.lfWidth = 0;
  return CreateFontIndirectW(&font);
}

}  // namespace

FullScreenWindow::FullScreenWindow(Form& form) : form_(form) {
  RegisterWindowClass(&FullScreenWindow::Proc);
  window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWindowClass,
                            Widen(form_.caption()).c_str(), WS_POPUP, 0, 0, form_.width(),
                            form_.height(), nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!window_) return;
  background_ = BmpDrawing(form_.background());
  timers_ = std::make_unique<FormTimers>(window_, form_);
  for (Control* control : form_.controls()) {
    if (control->kind() == ControlKind::Timer) continue;
    control->Observe([this, alive = alive_](const Control& c, ControlChange change) {
      if (*alive) Mirror(c, change);
    });
  }
  form_.Observe([this, alive = alive_](const Form&, FormChange change) {
    if (*alive) MirrorForm(change);
  });
}

FullScreenWindow::~FullScreenWindow() {
  *alive_ = false;
  if (timers_) timers_->StopAll();
  if (GetCapture() == window_) ReleaseCapture();
  if (IsWindow(window_)) DestroyWindow(window_);
}

void FullScreenWindow::RunModal() {
  if (!window_ || form_.closed()) return;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  UpdateWindow(window_);
  MSG message;
  while (!form_.closed() && !dismissed_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  ShowWindow(window_, SW_HIDE);
}

void FullScreenWindow::DragControl(Control& control) {
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(window_, &pointer);
  drag_.Start(control, pointer.x, pointer.y);
  SetCapture(window_);
}

void FullScreenWindow::RefreshControl(const Control& control) {
  for (const Rect& stale : painting_.AreasToRepaint(control)) {
    const RECT area = ToRect(stale);
    InvalidateRect(window_, &area, FALSE);
  }
}

void FullScreenWindow::Mirror(const Control& control, ControlChange change) {
  if (change == ControlChange::Picture) pictures_.erase(&control);
  if (ChangeIsSeen(change)) RefreshControl(control);
}

void FullScreenWindow::MirrorForm(FormChange change) {
  switch (change) {
    case FormChange::Caption:
      SetWindowTextW(window_, Widen(form_.caption()).c_str());
      break;
    case FormChange::Size:
      SetWindowPos(window_, nullptr, 0, 0, form_.width(), form_.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case FormChange::Background:
      background_ = BmpDrawing(form_.background());
      InvalidateRect(window_, nullptr, FALSE);
      break;
    case FormChange::Closed:
      // Wakes the modal loop, which then sees the form closed.
      PostMessageW(window_, WM_NULL, 0, 0);
      break;
  }
}

void FullScreenWindow::Paint() {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(window_, &paint);
  RECT client{};
  GetClientRect(window_, &client);
  // Drawn off screen first, so that the frozen picture never flickers under the controls.
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ oldCanvas = SelectObject(dc, canvas);
  if (background_.empty()) {
    Fill(dc, client, RGB(0, 0, 0));
  } else {
    background_.Draw(dc, {0, 0, background_.width(), background_.height()});
  }
  for (const Control* control : painting_.PaintOrder()) DrawControl(dc, *control);
  const RECT& dirty = paint.rcPaint;
  BitBlt(screen, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, dc,
         dirty.left, dirty.top, SRCCOPY);
  SelectObject(dc, oldCanvas);
  DeleteObject(canvas);
  DeleteDC(dc);
  EndPaint(window_, &paint);
}

void FullScreenWindow::DrawControl(HDC dc, const Control& control) {
  const Rect place = form_.PlaceInClientArea(control);
  if (place.width <= 0 || place.height <= 0) return;
  switch (control.kind()) {
    case ControlKind::Shape:
      Fill(dc, ToRect(place), kFrameColour);
      break;
    case ControlKind::Line:
      Fill(dc, ToRect(place), kCrosshairColour);
      break;
    case ControlKind::PictureBox: {
      auto found = pictures_.find(&control);
      if (found == pictures_.end()) {
        found = pictures_.emplace(&control, BmpDrawing(control.picture())).first;
      }
      found->second.Draw(dc, ToRect(place));
      break;
    }
    case ControlKind::Label:
      DrawLabel(dc, control, place);
      break;
    default:
      break;
  }
}

void FullScreenWindow::DrawLabel(HDC dc, const Control& label, const Rect& place) {
  const RECT area = ToRect(place);
  Fill(dc, area, GetSysColor(COLOR_BTNFACE));
  std::vector<TextSpan> spans = label.textSpans();
  if (spans.empty()) spans.push_back({label.text(), 0, place.width});
  std::vector<std::wstring> texts;
  for (const TextSpan& span : spans) texts.push_back(Widen(span.text));
  // The largest font in which every piece fits its span and the label's height.
  HFONT font = nullptr;
  for (int pixels = place.height; pixels >= kSmallestLabelPixels; --pixels) {
    if (font) DeleteObject(font);
    font = LabelFont(pixels);
    HGDIOBJ old = SelectObject(dc, font);
    bool fits = true;
    for (std::size_t i = 0; i < spans.size() && fits; ++i) {
      SIZE extent{};
      GetTextExtentPoint32W(dc, texts[i].c_str(), static_cast<int>(texts[i].size()), &extent);
      fits = extent.cx <= spans[i].right - spans[i].left && extent.cy <= place.height;
    }
    SelectObject(dc, old);
    if (fits) break;
  }
  if (!font) return;
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (std::size_t i = 0; i < spans.size(); ++i) {
    RECT spanArea{area.left + spans[i].left, area.top, area.left + spans[i].right, area.bottom};
    IntersectRect(&spanArea, &spanArea, &area);
    DrawTextW(dc, texts[i].c_str(), static_cast<int>(texts[i].size()), &spanArea,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, old);
  DeleteObject(font);
}

void FullScreenWindow::OnPointer(UINT message, int x, int y) {
  if (drag_.active()) {
    drag_.Follow(x, y);
    if (message == WM_LBUTTONUP) {
      drag_.End();
      ReleaseCapture();
    }
    return;
  }
  PointerAction action;
  switch (message) {
    case WM_LBUTTONDOWN:
      action = PointerAction::LeftPress;
      break;
    case WM_LBUTTONUP:
      action = PointerAction::LeftRelease;
      break;
    case WM_LBUTTONDBLCLK:
      action = PointerAction::LeftDoubleClick;
      break;
    case WM_RBUTTONDOWN:
      action = PointerAction::RightPress;
      break;
    default:
      return;
  }
  form_.DeliverPointer({action, x, y});
}

LRESULT CALLBACK FullScreenWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<FullScreenWindow*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<FullScreenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT FullScreenWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (timers_ && timers_->OnTimer(wParam)) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MOUSEMOVE:
      if (*alive_) OnPointer(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      drag_.End();
      return 0;
    case WM_CLOSE:
      // Dismissed by the system (Alt+F4): the run ends as if the user gave up.
      dismissed_ = true;
      return 0;
    case WM_DESTROY:
      if (timers_) timers_->StopAll();
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      dismissed_ = true;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace tarnwick
