#pragma once
// The real desktop on the plain Win32 API: UTF-16 calls at the edge, UTF-8 inside. Message
// boxes, dialogs and the input box run the system's modal loops, and the forms' timers are
// window timers, so they keep ticking inside those loops as they do between events. The
// first form attached is the main window; closing it ends RunUntilMainWindowCloses.

#include <memory>
#include <vector>

#include "platform/desktop.h"

namespace tarnwick {

class FormWindow;
class FullScreenWindow;

class Win32Desktop : public Desktop {
 public:
  Win32Desktop();
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  // The main window's view, once a form was attached and until its window is destroyed.
  FormWindow* mainWindow() const;
  // The program's message loop: returns once the main window is gone (or the thread is told
  // to quit).
  void RunUntilMainWindowCloses();

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
  // Hands one message of the thread to its window, keyboard navigation of the main window
  // included. False when it was the quit message, which is posted again for the outer loop.
  bool Dispatch(const void* message);
  // The window that owns the program's dialogs: the main window while it is shown.
  WindowHandle DialogOwner() const;

  std::vector<std::unique_ptr<FormWindow>> formWindows_;  // the main window first
  // The full-screen modal windows running now, innermost last.
  std::vector<FullScreenWindow*> fullScreenWindows_;
  bool mainOnTop_ = false;  // asked for before the main window existed, applied when it does
  WindowHandle clipboardOwner_ = 0;  // a hidden window of ours, so the clipboard can be written
  bool comStarted_ = false;
};

}  // namespace tarnwick
