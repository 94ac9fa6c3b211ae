#include "platform/wx/form_view.h"
#include "platform/wx/timer_mirror.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <wx/dcclient.h>

#include "platform/form_layout.h"
#include "platform/wx/status_bar_view.h"
#include "platform/wx/wx_text.h"

namespace tarnwick {
namespace {

wxRect ToWxRect(const Rect& r) {
  return {r.left, r.top, r.width, r.height};
}

// A caption wider than its control is drawn in a smaller font rather than cut off.
void FitCaption(wxWindow* widget, int width) {
  constexpr double kSmallestPoints = 6;
  for (double points = kControlFontPoints;
       widget->GetBestSize().x > width && points > kSmallestPoints;) {
    points -= 0.5;
    widget->SetFont(wxFont(wxFontInfo(points)));
    widget->InvalidateBestSize();
  }
}

}  // namespace

FormView::FormView(Form& form)
    : wxFrame(nullptr, wxID_ANY, ToWx(form.caption()), wxDefaultPosition,
              wxSize(form.width(), form.height())),
      form_(form) {
  panel_ = new wxPanel(this);
  // A smaller control font than GTK's default keeps every caption readable in the places the
  // window was designed with.
  panel_->SetFont(wxFont(wxFontInfo(kControlFontPoints)));
  BuildWidgets();
  if (!form_.statusBar().empty()) {
    statusBarView_ = new StatusBarView(this, form_.statusBar());
    SetStatusBar(statusBarView_);
    for (Control* control : form_.statusBar()) {
      control->Observe([this, alive = alive_](const Control& c, ControlChange change) {
        if (*alive && change == ControlChange::Enabled && !c.enabled() && closeWhenWorkEnds_) {
          closeWhenWorkEnds_ = false;
          CallAfter([this] { Close(); });
        }
      });
    }
    // The bar is added below the designed window, so that it covers none of its controls.
    SetSize(wxSize(form.width(), form.height() + StatusBarHeight()));
  }
  Bind(wxEVT_SIZE, &FormView::OnSize, this);
  Bind(wxEVT_CHAR_HOOK, &FormView::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &FormView::OnClose, this);
}

FormView::~FormView() {
  *alive_ = false;
  for (auto& timer : timers_) timer->Stop();
}

wxWindow* FormView::WidgetFor(std::string_view controlName) const {
  const Control* control = form_.Find(controlName);
  const auto found = widgets_.find(control);
  return found == widgets_.end() ? nullptr : found->second;
}

Rect FormView::ShownPlace(const Control& control) const {
  const auto found = shownPlaces_.find(&control);
  return found == shownPlaces_.end() ? Rect{} : found->second;
}

void FormView::BuildWidgets() {
  shownPlaces_ = LayOutForm(form_, [this](const std::string& text) {
    wxClientDC dc(panel_);
    dc.SetFont(panel_->GetFont());
    wxCoord width = 0;
    wxCoord height = 0;
    dc.GetMultiLineTextExtent(ToWx(WithNewlines(text)), &width, &height);
    return TextExtent{width, height};
  });
  for (Control* control : form_.controls()) {
    if (control->kind() == ControlKind::Timer) {
      timers_.push_back(MirrorTimer(*control, alive_));
      continue;
    }
    wxWindow* widget = MakeWidget(*control, shownPlaces_[control]);
    if (!widget) continue;
    const ControlKind kind = control->kind();
    if (kind == ControlKind::Button || kind == ControlKind::CheckBox ||
        kind == ControlKind::RadioButton) {
      FitCaption(widget, shownPlaces_[control].width);
    }
    widget->SetName(ToWx(control->name()));
    widgets_[control] = widget;
    control->Observe([this, alive = alive_](const Control& c, ControlChange change) {
      if (*alive) Mirror(c, change);
    });
  }
}

wxWindow* FormView::MakeWidget(Control& control, const Rect& place) {
  const wxPoint position(place.left, place.top);
  const wxSize size(place.width, place.height);
  const wxString text = ToWx(WithNewlines(control.text()));
  switch (control.kind()) {
    case ControlKind::GroupBox:
      return new wxStaticBox(panel_, wxID_ANY, text, position, size);
    case ControlKind::Label:
      return new wxStaticText(panel_, wxID_ANY, text, position, size, wxST_NO_AUTORESIZE);
    case ControlKind::Button: {
      auto* button = new wxButton(panel_, wxID_ANY, text, position, size, wxBU_EXACTFIT);
      button->Bind(wxEVT_BUTTON, [&control](wxCommandEvent&) { control.Click(); });
      return button;
    }
    case ControlKind::CheckBox: {
      auto* box = new wxCheckBox(panel_, wxID_ANY, text, position, size);
      box->SetValue(control.ticked());
      box->Bind(wxEVT_CHECKBOX, [&control](wxCommandEvent&) { control.Click(); });
      return box;
    }
    case ControlKind::RadioButton: {
      auto* radio = new wxRadioButton(panel_, wxID_ANY, text, position, size, wxRB_SINGLE);
      radio->SetValue(control.ticked());
      radio->Bind(wxEVT_RADIOBUTTON, [&control](wxCommandEvent&) { control.Click(); });
      return radio;
    }
    case ControlKind::LineEdit:
    case ControlKind::PasswordEdit:
    case ControlKind::MultiLineEdit: {
      long style = 0;
      if (control.kind() == ControlKind::PasswordEdit) style |= wxTE_PASSWORD;
      if (control.kind() == ControlKind::MultiLineEdit) style |= wxTE_MULTILINE | wxVSCROLL;
      auto* edit = new wxTextCtrl(panel_, wxID_ANY, text, position, size, style);
      if (control.kind() != ControlKind::MultiLineEdit) {
        edit->Bind(wxEVT_TEXT, [&control, edit](wxCommandEvent&) {
          control.EditByUser(FromWx(edit->GetValue()));
        });
      }
      return edit;
    }
    default:
      return nullptr;
  }
}

void FormView::Mirror(const Control& control, ControlChange change) {
  wxWindow* widget = widgets_[&control];
  if (!widget) return;
  switch (change) {
    case ControlChange::Text:
      if (auto* edit = dynamic_cast<wxTextCtrl*>(widget)) {
        if (FromWx(edit->GetValue()) != control.text()) {
          edit->ChangeValue(ToWx(WithNewlines(control.text())));
        }
      } else {
        widget->SetLabel(ToWx(WithNewlines(control.text())));
      }
      break;
    case ControlChange::Appended:
      if (auto* edit = dynamic_cast<wxTextCtrl*>(widget)) {
        edit->SetInsertionPointEnd();
        edit->WriteText(ToWx(WithNewlines(control.lastAppended())));
        edit->ShowPosition(edit->GetLastPosition());
      }
      break;
    case ControlChange::Ticked:
      if (auto* box = dynamic_cast<wxCheckBox*>(widget)) box->SetValue(control.ticked());
      if (auto* radio = dynamic_cast<wxRadioButton*>(widget)) radio->SetValue(control.ticked());
      break;
    case ControlChange::Place: {
      Rect place = shownPlaces_[&control];
      place.width = control.place().width;
      place.height = control.place().height;
      shownPlaces_[&control] = place;
      widget->SetSize(ToWxRect(place));
      break;
    }
    case ControlChange::Visible:
      widget->Show(control.visible());
      break;
    case ControlChange::Enabled:
      widget->Enable(control.enabled());
      break;
    case ControlChange::Period:
    case ControlChange::Picture:
      break;
  }
}

// Esc presses the status bar's button (the stop control of a running walk), wherever the focus
// is; otherwise the key goes on to the focused widget.
void FormView::OnCharHook(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_ESCAPE && statusBarView_ && statusBarView_->PressFirstButton()) {
    return;
  }
  event.Skip();
}

// Work under way (a folder walk pausing between files) runs inside one of this window's event
// handlers, and the window must outlive it. Closing stops the work and waits for its end, which
// the status bar's button shows by going disabled; then the window closes.
void FormView::OnClose(wxCloseEvent& event) {
  if (event.CanVeto() && statusBarView_ && statusBarView_->PressFirstButton()) {
    closeWhenWorkEnds_ = true;
    event.Veto();
    return;
  }
  event.Skip();
}

void FormView::OnSize(wxSizeEvent& event) {
  event.Skip();
  const wxSize outer = GetSize();
  const int height = outer.GetHeight() - StatusBarHeight();
  if (outer.GetWidth() != form_.width() || height != form_.height()) {
    form_.Resize(outer.GetWidth(), height);
  }
}

int FormView::StatusBarHeight() const {
  return statusBarView_ ? statusBarView_->GetSize().GetHeight() : 0;
}

}  // namespace tarnwick
