#pragma once
// A Form shown as a borderless, topmost popup over the whole primary screen, so that its
// client points are screen points. Its background picture fills it and its controls (labels,
// shapes, lines, picture boxes) are drawn rather than made controls, each exactly on the
// pixels the form gives it. Pointer actions go to the form model; changes of the model
// repaint only the places they touch. It runs a modal loop of its own until the form closes.

#include "platform/win32/windows_api.h"

#include <map>
#include <memory>

#include "platform/controls.h"
#include "platform/full_screen_painting.h"
#include "platform/win32/bmp_drawing.h"

namespace tarnwick {

class FormTimers;

class FullScreenWindow {
 public:
  explicit FullScreenWindow(Form& form);
  ~FullScreenWindow();
  FullScreenWindow(const FullScreenWindow&) = delete;
  FullScreenWindow& operator=(const FullScreenWindow&) = delete;

  HWND window() const { return window_; }
  // Shows the window and dispatches the thread's messages until the form is closed, the
  // window is dismissed by the system, or the thread is told to quit.
  void RunModal();
  // The control follows the pointer until the left button comes up.
  void DragControl(Control& control);

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Mirror(const Control& control, ControlChange change);
  void MirrorForm(FormChange change);
  void RefreshControl(const Control& control);
  void Paint();
  void DrawControl(HDC dc, const Control& control);
  void DrawLabel(HDC dc, const Control& label, const Rect& place);
  void OnPointer(UINT message, int x, int y);

  Form& form_;
  HWND window_ = nullptr;
  std::unique_ptr<FormTimers> timers_;
  BmpDrawing background_;
  std::map<const Control*, BmpDrawing> pictures_;  // each picture box's picture, decoded
  FullScreenPainting painting_{form_};
  ControlDrag drag_{form_};
  bool dismissed_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
