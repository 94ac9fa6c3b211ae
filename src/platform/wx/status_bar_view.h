#pragma once
// A form's status bar controls shown in a wxStatusBar at the foot of its window: each label is
// a field showing its text, each button a real button standing in its own field. Like the rest
// of the view it only mirrors the model and hands presses to it.

#include <wx/statusbr.h>

#include <memory>
#include <vector>

#include "platform/controls.h"

class wxButton;

namespace tarnwick {

class StatusBarView : public wxStatusBar {
 public:
  StatusBarView(wxWindow* frame, const std::vector<Control*>& controls);
  ~StatusBarView() override;

  // The widget of a button of the bar; null for labels.
  wxButton* ButtonFor(const Control& control) const;
  // Presses the first enabled button of the bar; false when none is enabled.
  bool PressFirstButton();

 private:
  void Mirror(std::size_t field, const Control& control, ControlChange change);
  void PlaceButtons();

  std::vector<Control*> controls_;
  std::vector<wxButton*> buttons_;  // by field; null for labels
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
