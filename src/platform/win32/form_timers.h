#pragma once
// The timer controls of a form, ticking on window timers of the window that shows the form.
// A window timer's tick is a message of the window's thread, so every modal loop of that
// thread (message boxes, dialogs, pauses) delivers it. Each timer follows its control's
// period; 0 stops it.

#include "platform/win32/windows_api.h"

#include <map>
#include <memory>

#include "platform/controls.h"

namespace tarnwick {

class FormTimers {
 public:
  FormTimers(HWND window, Form& form);
  ~FormTimers();
  FormTimers(const FormTimers&) = delete;
  FormTimers& operator=(const FormTimers&) = delete;

  // The window's WM_TIMER: true when the timer was one of the form's.
  bool OnTimer(UINT_PTR id);
  // Stops every timer (the window is going).
  void StopAll();

 private:
  void Follow(UINT_PTR id, const Control& timer);

  HWND window_;
  std::map<UINT_PTR, Control*> timers_;
  // Observers registered on the model outlive nothing: they check this first.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
