#pragma once
// A Form shown as a real window: one widget per control, built from the form's table and kept
// in step with it. The view only wires: user actions go to the form model (Click, EditByUser,
// Resize), and every change of the model is mirrored on the widgets. Timers become wxTimers.

#include <wx/frame.h>
#include <wx/timer.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/controls.h"

class wxPanel;

namespace tarnwick {

class StatusBarView;

// The point size of the controls' font.
inline constexpr double kControlFontPoints = 8;

class FormView : public wxFrame {
 public:
  explicit FormView(Form& form);
  ~FormView() override;

  Form& form() { return form_; }
  // The widget that shows a control, found by the control's name.
  wxWindow* WidgetFor(std::string_view controlName) const;
  // Where the view placed a control (client coordinates of the window).
  Rect ShownPlace(const Control& control) const;
  // The bar showing the form's status bar controls; null when the form has none.
  StatusBarView* statusBarView() const { return statusBarView_; }
  // How much taller than the designed window the status bar makes it.
  int StatusBarHeight() const;

 private:
  void BuildWidgets();
  wxWindow* MakeWidget(Control& control, const Rect& place);
  void Mirror(const Control& control, ControlChange change);
  void OnSize(wxSizeEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);

  Form& form_;
  wxPanel* panel_ = nullptr;
  StatusBarView* statusBarView_ = nullptr;
  bool closeWhenWorkEnds_ = false;  // the user closed the window while work was under way
  std::map<const Control*, wxWindow*> widgets_;
  std::map<const Control*, Rect> shownPlaces_;
  std::vector<std::unique_ptr<wxTimer>> timers_;
  // Observers registered on the model outlive nothing: they check this before touching widgets.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
