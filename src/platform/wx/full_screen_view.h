#pragma once
// A Form shown as a modal window over the whole screen, without border or caption: its
// background picture fills it, and its controls (labels, shapes, lines, picture boxes) are
// drawn on it rather than made widgets, so that they sit exactly on the pixels the form gives
// them. Pointer actions go to the form model, which routes them to its controls; changes of
// the model repaint only the places they touch. Timers become wxTimers.

#include <wx/dialog.h>
#include <wx/timer.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/controls.h"
#include "platform/full_screen_painting.h"

namespace tarnwick {

class FullScreenView : public wxDialog {
 public:
  explicit FullScreenView(Form& form);
  ~FullScreenView() override;

  // Shows the window and runs its modal loop until the form is closed (or the window is
  // dismissed by the window system).
  void RunModal();
  // The control follows the pointer until the left button comes up.
  void DragControl(Control& control);

 private:
  void BuildTimers();
  void Mirror(const Control& control, ControlChange change);
  void MirrorForm(FormChange change);
  void RefreshControl(const Control& control);
  void OnPaint(wxPaintEvent& event);
  void DrawControl(wxDC& dc, const Control& control);
  void DrawLabel(wxDC& dc, const Control& label, const Rect& place);
  void OnMouse(wxMouseEvent& event);

  Form& form_;
  wxBitmap background_;
  std::map<const Control*, wxBitmap> pictures_;  // each picture box's picture at its size
  FullScreenPainting painting_{form_};
  std::vector<std::unique_ptr<wxTimer>> timers_;
  ControlDrag drag_{form_};
  // Observers registered on the model outlive nothing: they check this before touching widgets.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
