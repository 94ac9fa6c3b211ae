#pragma once
// A Form shown as a real top-level window: one native control per control of the form, made
// at its designed place and size (the designed layout is the native one here), and kept in
// step with the model. The view only wires: user actions go to the model (Click, EditByUser,
// Resize) and every change of the model is mirrored on the controls.

#include "platform/win32/windows_api.h"

#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "platform/controls.h"

namespace tarnwick {

class FormTimers;
class StatusBar;

class FormWindow {
 public:
  // `onDestroyed` runs when the window is gone, whoever destroyed it.
  FormWindow(Form& form, std::function<void()> onDestroyed);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND window() const { return window_; }
  Form& form() { return form_; }
  // The native control that shows a form control, found by the control's name; null for
  // timers and unknown names.
  HWND ControlWindow(std::string_view controlName) const;
  // How much taller than the designed window the status bar makes it; 0 without one.
  int StatusBarHeight() const;
  // Esc: presses the status bar's enabled button, if there is one.
  bool PressStatusButton();

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildControls();
  HWND MakeControl(Control& control, int id);
  void LayerOverlaps();
  void FitFont(const Control& control, HWND native);
  void Mirror(const Control& control, ControlChange change);
  void MirrorForm(FormChange change);
  void OnCommand(int id, int code);
  void OnSize();
  void OnClose();

  // Counts the handlers of this window running now, nested ones included.
  class HandlerRun {
   public:
    explicit HandlerRun(FormWindow& window);
    ~HandlerRun();
    HandlerRun(const HandlerRun&) = delete;
    HandlerRun& operator=(const HandlerRun&) = delete;

   private:
    FormWindow& window_;
  };

  Form& form_;
  std::function<void()> onDestroyed_;
  HWND window_ = nullptr;
  std::unique_ptr<StatusBar> statusBar_;
  std::unique_ptr<FormTimers> timers_;
  std::map<int, Control*> byId_;
  std::map<const Control*, HWND> controls_;
  bool mirroring_ = false;          // a change by program is being shown: no user event
  bool closeWhenWorkEnds_ = false;  // the user closed the window while work was under way
  int handlersRunning_ = 0;
  bool closeWhenHandlersEnd_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
