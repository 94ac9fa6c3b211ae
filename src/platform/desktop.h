#pragma once
// What the program asks of the desktop it runs on: modal boxes and dialogs, the clipboard,
// the browser, the screen and pointer, the main window's always-on-top state and visibility,
// message pumping and time, and the window look-up the image-source prompt relabels through.
// WxDesktop implements it on wxWidgets; SimDesktop implements it for tests.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class Control;
class Form;

// Message box flags, as the program passes them.
enum MessageBoxFlags : int {
  kBoxOk = 0,
  kBoxOkCancel = 1,
  kBoxAbortRetryIgnore = 2,
  kBoxYesNoCancel = 3,
  kBoxYesNo = 4,
  kBoxRetryCancel = 5,
  kBoxButtonsMask = 0xF,
  kBoxIconError = 16,
  kBoxIconQuestion = 32,
  kBoxIconWarning = 48,
  kBoxIconInformation = 64,
  kBoxIconMask = 0xF0,
  kBoxSystemModal = 0x1000,
  kBoxSetForeground = 0x10000,
};

// The button that closed a message box.
enum BoxAnswer : int {
  kAnswerOk = 0,
  kAnswerCancel = 1,
  kAnswerAbort = 2,
  kAnswerRetry = 3,
  kAnswerIgnore = 4,
  kAnswerYes = 5,
  kAnswerNo = 6,
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
};
struct ScreenSize {
  int width = 0;
  int height = 0;
};

// A rectangle of the screen in pixels: left and top inside it, right and bottom one past it.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// Pixels copied from the screen: rows from the top down, three bytes (red, green, blue) each.
struct ScreenPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// A window found by its title or text; 0 means none.
using WindowHandle = std::uintptr_t;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Makes the form's timers tick while the desktop runs (between events and inside modal
  // boxes), and, for the main window, shows it.
  virtual void AttachForm(Form& form) = 0;

  // A task-modal box with no owner window. Returns the BoxAnswer of the button pressed.
  virtual int ShowMessageBox(std::string_view text, int flags, std::string_view title) = 0;
  // A one-line input box; nothing when it was cancelled.
  virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                              std::string_view initialText) = 0;
  // The open-file dialog. `filter` is "label|pattern|label|pattern...", patterns joined by ";".
  virtual std::optional<std::string> OpenFileDialog(std::string_view filter) = 0;
  virtual std::optional<std::string> ChooseFolder(std::string_view prompt) = 0;

  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(std::string_view text) = 0;
  virtual void OpenWebAddress(std::string_view address) = 0;

  virtual ScreenSize PrimaryScreenSize() = 0;
  virtual ScreenPoint PointerPosition() = 0;
  // What the screen shows in `area`, which lies within the primary screen and is not empty.
  virtual ScreenPixels CopyScreen(const ScreenRect& area) = 0;

  // Shows the form as a modal window over the whole primary screen, with no border or
  // caption, so that its client points are screen points; it stays above the program's other
  // windows. Sets the form's size to the screen's (its resize handler runs), ticks its timers,
  // hands it pointer actions, and returns once the form is closed.
  virtual void RunFullScreenModal(Form& form) = 0;
  // The control follows the pointer until the left button is released, so that the user can
  // drag it out of the way.
  virtual void DragControl(Form& form, Control& control) = 0;

  virtual void SetMainWindowAlwaysOnTop(bool onTop) = 0;
  virtual void ShowMainWindow(bool shown) = 0;

  // Lets events and timer ticks run for this long, then returns.
  virtual void PumpMessages(int milliseconds) = 0;
  // A monotonic millisecond clock.
  virtual std::int64_t NowMilliseconds() = 0;

  // The top-level window whose title is exactly `title`, the child of `parent` whose text is
  // exactly `text`, and retitling a window found so. Searching finds the first match.
  virtual WindowHandle FindTopLevelWindow(std::string_view title) = 0;
  virtual WindowHandle FindChildWindow(WindowHandle parent, std::string_view text) = 0;
  virtual bool SetWindowText(WindowHandle window, std::string_view text) = 0;
};

// The captions a Simplified-Chinese system gives a message box's buttons.
std::string_view SystemButtonCaption(int answer);
// The answers of a message box's buttons in the order they stand, from its flags.
std::span<const int> ButtonAnswersFor(int flags);

}  // namespace tarnwick
