#pragma once
// A deterministic desktop for tests. Modal boxes and dialogs are answered by scripts that the
// test queues; each script sees the open box (its text, flags, title and the captions its
// buttons read at that moment) and may advance the virtual clock, so that timers tick inside
// the box as they do on a real desktop. Every box and every call is recorded.
//
// The screen is virtual: a test paints it with a function of the pixel's place, and copies of
// the screen read that function (windows the program shows are not drawn on it). A full-screen
// modal window runs a script the test queued; the script moves the pointer, presses and lets
// the clock run, and the window's timers tick meanwhile.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/desktop.h"

namespace tarnwick {

class Control;
class SimDesktop;

struct SimBox {
  enum class Kind { Message, Input, OpenFile, Folder };
  Kind kind = Kind::Message;
  std::string text = {};  // the message, or the prompt
  int flags = 0;
  std::string title = {};
  std::string initialText = {};  // input box
  std::string filter = {};       // open-file dialog
  std::vector<int> buttonAnswers = {};
  std::vector<std::string> buttonCaptions = {};  // as the buttons read now
  bool mainWindowOnTop = false;                  // the main window's state while the box was open
  std::int64_t openedAt = 0;
  // How it was closed.
  int answer = kAnswerCancel;
  std::optional<std::string> enteredText = {};
  bool scripted = true;
};

struct SimReply {
  int button = kAnswerOk;
  std::optional<std::string> text = {};  // input box text or chosen path; nothing cancels
};

class SimDesktop : public Desktop {
 public:
  using Script = std::function<SimReply(SimBox& box, SimDesktop& desktop)>;
  using WindowScript = std::function<void(Form& form, SimDesktop& desktop)>;
  // The colour (0xRRGGBB) the screen shows at a pixel.
  using ScreenPainter = std::function<std::uint32_t(int x, int y)>;

  // Queues the answer to the next box. Boxes nobody scripted take their first button (or are
  // cancelled, for input boxes and dialogs) and are marked unscripted.
  void Answer(Script script) { scripts_.push_back(std::move(script)); }
  void AnswerButton(int button);
  void AnswerText(std::optional<std::string> text);

  void AdvanceClock(int milliseconds);
  const std::vector<SimBox>& boxes() const { return boxes_; }
  const std::vector<std::string>& calls() const { return calls_; }
  std::size_t pendingScripts() const { return scripts_.size(); }
  bool alwaysOnTop() const { return alwaysOnTop_; }
  bool mainWindowShown() const { return shown_; }
  const std::vector<std::string>& openedAddresses() const { return openedAddresses_; }
  void SetClipboard(std::string text) { clipboard_ = std::move(text); }
  void SetScreen(ScreenSize size) { screen_ = size; }
  void SetPointer(ScreenPoint point) { pointer_ = point; }
  void PaintScreen(ScreenPainter painter) { painter_ = std::move(painter); }

  // Queues what the user does in the next full-screen modal window. A window nobody scripted,
  // or one the script leaves open, returns at once and is recorded as left open.
  void OnFullScreenWindow(WindowScript script) { windowScripts_.push_back(std::move(script)); }
  // Moves the pointer to a screen point and acts there on the topmost full-screen window.
  void PointerAt(PointerAction action, ScreenPoint point);
  const std::vector<std::string>& draggedControls() const { return draggedControls_; }

  void AttachForm(Form& form) override;
  int ShowMessageBox(std::string_view text, int flags, std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view initialText) override;
  std::optional<std::string> OpenFileDialog(std::string_view filter) override;
  std::optional<std::string> ChooseFolder(std::string_view prompt) override;
  std::string ClipboardText() override { return clipboard_; }
  void SetClipboardText(std::string_view text) override;
  void OpenWebAddress(std::string_view address) override;
  ScreenSize PrimaryScreenSize() override { return screen_; }
  ScreenPoint PointerPosition() override { return pointer_; }
  ScreenPixels CopyScreen(const ScreenRect& area) override;
  void RunFullScreenModal(Form& form) override;
  void DragControl(Form& form, Control& control) override;
  void SetMainWindowAlwaysOnTop(bool onTop) override;
  void ShowMainWindow(bool shown) override;
  void PumpMessages(int milliseconds) override;
  std::int64_t NowMilliseconds() override { return now_; }
  WindowHandle FindTopLevelWindow(std::string_view title) override;
  WindowHandle FindChildWindow(WindowHandle parent, std::string_view text) override;
  bool SetWindowText(WindowHandle window, std::string_view text) override;

 private:
  SimReply RunModal(SimBox& box);
  void AttachTimers(Form& form);
  void DetachTimers(Form& form);

  std::deque<Script> scripts_;
  std::vector<SimBox> boxes_;
  std::vector<SimBox*> openBoxes_;
  std::vector<std::string> calls_;
  std::vector<Form*> forms_;
  std::map<Control*, std::int64_t> dueTimers_;
  std::set<const Control*> attachedTimers_;
  std::deque<WindowScript> windowScripts_;
  std::vector<Form*> fullScreenForms_;
  std::vector<std::string> draggedControls_;
  ScreenPainter painter_;
  std::int64_t now_ = 0;
  bool alwaysOnTop_ = false;
  bool shown_ = false;
  std::string clipboard_;
  std::vector<std::string> openedAddresses_;
  ScreenSize screen_{1920, 1080};
  ScreenPoint pointer_{};
};

}  // namespace tarnwick
