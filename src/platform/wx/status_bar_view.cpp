#include "platform/wx/status_bar_view.h"

#include <wx/button.h>

#include "platform/wx/wx_text.h"

namespace tarnwick {

StatusBarView::StatusBarView(wxWindow* frame, const std::vector<Control*>& controls)
    : wxStatusBar(frame, wxID_ANY, wxSTB_DEFAULT_STYLE & ~wxSTB_SIZEGRIP), controls_(controls) {
  std::vector<int> widths;
  for (const Control* control : controls_) {
    widths.push_back(control->place().width > 0 ? control->place().width : -1);
  }
  SetFieldsCount(static_cast<int>(widths.size()), widths.data());
  for (std::size_t field = 0; field < controls_.size(); ++field) {
    Control& control = *controls_[field];
    wxButton* button = nullptr;
    if (control.kind() == ControlKind::Button) {
      button = new wxButton(this, wxID_ANY, ToWx(control.text()));
      button->SetName(ToWx(control.name()));
      button->Enable(control.enabled());
      button->Bind(wxEVT_BUTTON, [&control](wxCommandEvent&) {
        if (control.enabled()) control.Click();
      });
    } else {
      SetStatusText(ToWx(control.text()), static_cast<int>(field));
    }
    buttons_.push_back(button);
    control.Observe([this, field, alive = alive_](const Control& c, ControlChange change) {
      if (*alive) Mirror(field, c, change);
    });
  }
  SetMinHeight(buttons_.empty() ? 0 : 28);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    PlaceButtons();
  });
}

StatusBarView::~StatusBarView() {
  *alive_ = false;
}

wxButton* StatusBarView::ButtonFor(const Control& control) const {
  for (std::size_t field = 0; field < controls_.size(); ++field) {
    if (controls_[field] == &control) return buttons_[field];
  }
  return nullptr;
}

bool StatusBarView::PressFirstButton() {
  for (std::size_t field = 0; field < controls_.size(); ++field) {
    if (buttons_[field] && controls_[field]->enabled()) {
      controls_[field]->Click();
      return true;
    }
  }
  return false;
}

void StatusBarView::Mirror(std::size_t field, const Control& control, ControlChange change) {
  wxButton* button = buttons_[field];
  switch (change) {
    case ControlChange::Text:
      if (button) {
        button->SetLabel(ToWx(control.text()));
      } else {
        SetStatusText(ToWx(WithNewlines(control.text())), static_cast<int>(field));
      }
      break;
    case ControlChange::Enabled:
      if (button) button->Enable(control.enabled());
      break;
    default:
      break;
  }
}

void StatusBarView::PlaceButtons() {
  for (std::size_t field = 0; field < buttons_.size(); ++field) {
    wxRect rect;
    if (buttons_[field] && GetFieldRect(static_cast<int>(field), rect)) {
      buttons_[field]->SetSize(rect);
    }
  }
}

}  // namespace tarnwick
