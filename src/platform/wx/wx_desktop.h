#pragma once
// The real desktop on wxWidgets 3.2 (GTK). Modal boxes and dialogs run nested event loops, so
// the forms' timers keep ticking inside them. The first form attached is the main window.

#include <memory>
#include <vector>

#include "platform/desktop.h"

namespace tarnwick {

class FormView;
class FullScreenView;

class WxDesktop : public Desktop {
 public:
  WxDesktop() = default;
  ~WxDesktop() override;

  // The main window's view, once a form was attached and until the window is gone.
  FormView* mainView() const { return *mainView_; }

  void AttachForm(Form& form) override;
  int ShowMessageBox(std::string_view text, int flags, std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view initialText) override;
  std::optional<std::string> OpenFileDialog(std::string_view filter) override;
  std::optional<std::string> ChooseFolder(std::string_view prompt) override;
  std::string ClipboardText() override;
  void SetClipboardText(std::string_view text) override;
  void OpenWebAddress(std::string_view address) override;
  ScreenSize PrimaryScreenSize() override;
  ScreenPoint PointerPosition() override;
  ScreenPixels CopyScreen(const ScreenRect& area) override;
  void RunFullScreenModal(Form& form) override;
  void DragControl(Form& form, Control& control) override;
  void SetMainWindowAlwaysOnTop(bool onTop) override;
  void ShowMainWindow(bool shown) override;
  void PumpMessages(int milliseconds) override;
  std::int64_t NowMilliseconds() override;
  WindowHandle FindTopLevelWindow(std::string_view title) override;
  WindowHandle FindChildWindow(WindowHandle parent, std::string_view text) override;
  bool SetWindowText(WindowHandle window, std::string_view text) override;

 private:
  // Shared with the window's destroy handler, which may run after this desktop is gone.
  std::shared_ptr<FormView*> mainView_ = std::make_shared<FormView*>(nullptr);
  // The full-screen modal windows running now, innermost last.
  std::vector<std::pair<Form*, FullScreenView*>> fullScreenViews_;
};

}  // namespace tarnwick
