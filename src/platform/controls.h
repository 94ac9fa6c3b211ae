#pragma once
// The form model: a window's controls as plain objects holding their state (text, tick, place,
// visibility, timer period) and their handler. It is the program's view of its windows; the
// wx front-end mirrors it on screen and the simulated desktop drives it in tests.
//
// Two ways to change a control are kept apart. A user action (Click, Type, EditByUser, Tick)
// changes the state and then runs the handler; a change by program (SetTicked, SetText, ...)
// changes the state only. The program relies on this: unticking one box of a pair by program
// must not run that box's handler.
//
// Every handler runs guarded: an exception that leaves it ends that one piece of work and is
// handed to the form's fault reporter. It never reaches the desktop's event loop, so a fault
// cannot end the program and take the user's output box with it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

enum class ControlKind {
  CheckBox,
  RadioButton,
  LineEdit,
  PasswordEdit,
  MultiLineEdit,
  Label,
  Button,
  GroupBox,
  Timer,
  PictureBox,
  Line,
};

// What changed, so that a view can mirror it without comparing whole states.
enum class ControlChange { Text, Appended, Ticked, Place, Visible, Enabled, Period };

struct ControlDefinition {
  std::string_view name;
  ControlKind kind;
  std::string_view parent;  // the enclosing group box's name; empty for the window itself
  Rect place;               // relative to the parent group box, or to the client area
  std::string_view text;    // caption, or start text of an edit box
  bool ticked = false;
};

class Form;

class Control {
 public:
  using Handler = std::function<void()>;
  using Observer = std::function<void(const Control&, ControlChange)>;

  explicit Control(const ControlDefinition& definition);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  const std::string& parent() const { return parent_; }
  const std::string& text() const { return text_; }
  bool ticked() const { return ticked_; }
  const Rect& place() const { return place_; }
  bool visible() const { return visible_; }
  bool enabled() const { return enabled_; }
  int period() const { return period_; }
  // The text most recently added by Append, for views that follow the end of the box.
  const std::string& lastAppended() const { return lastAppended_; }

  // Changes by program: state only, no handler.
  void SetText(std::string_view text);
  void Append(std::string_view text);
  void SetTicked(bool ticked);
  void SetPlace(const Rect& place);
  void SetVisible(bool visible);
  void SetEnabled(bool enabled);
  void SetPeriod(int milliseconds);  // timers: 0 stops

  // User actions: state first, then the handler.
  void Click();                            // check box toggles, radio button ticks, button presses
  void Type(std::string_view text);        // one change (and handler run) per character typed
  void EditByUser(std::string_view text);  // the whole text replaced at once (paste, view sync)
  void Tick();                             // a timer's period elapsed

  void OnClick(Handler handler) { onClick_ = std::move(handler); }
  void OnTextChanged(Handler handler) { onTextChanged_ = std::move(handler); }
  void OnTick(Handler handler) { onTick_ = std::move(handler); }
  void Observe(Observer observer) { observers_.push_back(std::move(observer)); }

 private:
  friend class Form;
  void Notify(ControlChange change);
  void Run(const Handler& handler);

  Form* form_ = nullptr;  // the window that holds the control, once registered
  std::string name_;
  ControlKind kind_;
  std::string parent_;
  std::string text_;
  std::string lastAppended_;
  Rect place_;
  bool ticked_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  int period_ = 0;
  Handler onClick_;
  Handler onTextChanged_;
  Handler onTick_;
  std::vector<Observer> observers_;
};

// A window of controls: its caption, outer size and resize handler, and its controls in the
// order they were declared (group boxes before what they hold).
class Form {
 public:
  using Handler = std::function<void()>;
  // Told which control's handler failed and why; must not throw itself.
  using FaultReporter = std::function<void(std::string_view control, std::string_view what)>;

  Form(std::string caption, int width, int height)
      : caption_(std::move(caption)), width_(width), height_(height) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& caption() const { return caption_; }
  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<Control*>& controls() const { return controls_; }
  // Controls that stand in a status bar at the window's foot, outside the designed layout, in
  // the order they stand; a label's width is its field's width (0: the field takes the rest).
  const std::vector<Control*>& statusBar() const { return statusBar_; }
  Control* Find(std::string_view name) const;
  // The control's place on the client area, adding up the places of its group boxes.
  Rect PlaceInClientArea(const Control& control) const;

  // The user (or the window system) gave the window a new outer size.
  void Resize(int width, int height);
  void OnResize(Handler handler) { onResize_ = std::move(handler); }
  void OnHandlerFault(FaultReporter reporter) { onHandlerFault_ = std::move(reporter); }

  // Runs a handler of this form; an exception it throws goes to the fault reporter.
  void RunGuarded(std::string_view control, const Handler& handler);

 protected:
  void Register(Control& control) {
    control.form_ = this;
    controls_.push_back(&control);
  }
  void RegisterInStatusBar(Control& control) {
    control.form_ = this;
    statusBar_.push_back(&control);
  }

 private:
  std::string caption_;
  int width_;
  int height_;
  std::vector<Control*> controls_;
  std::vector<Control*> statusBar_;
  Handler onResize_;
  FaultReporter onHandlerFault_;
};

}  // namespace tarnwick
