#pragma once
// The status bar at a form window's foot, showing the form's status bar controls: labels as
// the bar's parts, a button as a real push button laid over its part. The view only wires:
// a press goes to the control's Click, and changes of the model are mirrored on the bar.

#include "platform/win32/windows_api.h"

#include <memory>
#include <vector>

#include "platform/controls.h"

namespace tarnwick {

class StatusBar {
 public:
  StatusBar(HWND parent, const std::vector<Control*>& controls);
  ~StatusBar();
  StatusBar(const StatusBar&) = delete;
  StatusBar& operator=(const StatusBar&) = delete;

  HWND window() const { return bar_; }
  int Height() const;
  // The parent was resized: the bar follows its foot, the parts and buttons the new width.
  void Fit();
  // Presses the first enabled button, as Esc and closing the window during work do; false
  // when there is none.
  bool PressFirstButton();
  // The shown window of a control in the bar: its button, or the bar itself for a label.
  HWND WindowFor(const Control& control) const;

 private:
  static LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR subclass, DWORD_PTR self);
  void Mirror(std::size_t part, const Control& control, ControlChange change);

  HWND bar_ = nullptr;
  std::vector<Control*> controls_;
  std::vector<HWND> buttons_;  // per part; null for a label
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
