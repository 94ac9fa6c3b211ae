#include "platform/wx/message_dialog.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>

#include "platform/desktop.h"
#include "platform/wx/text_wrap.h"
#include "platform/wx/wx_text.h"

namespace tarnwick {
namespace {

// wx ids for the box's answers; the answer is the id less this base.
constexpr int kAnswerIdBase = wxID_HIGHEST + 100;

wxArtID IconFor(int flags) {
  switch (flags & kBoxIconMask) {
    case kBoxIconError:
      return wxART_ERROR;
    case kBoxIconQuestion:
      return wxART_QUESTION;
    case kBoxIconWarning:
      return wxART_WARNING;
    case kBoxIconInformation:
      return wxART_INFORMATION;
    default:
      return {};
  }
}

// Room the box needs beside its text on the screen: title bar, icon, buttons and margins.
constexpr int kRoomAroundTextX = 120;
constexpr int kRoomAroundTextY = 160;

// The text, wrapped to a readable width and shown with "&" as typed, in a pane that scrolls
// when the text is taller than the screen leaves room for.
wxWindow* MakeTextPane(wxWindow* parent, std::string_view text) {
  // The box is not on a screen yet: it will be centred on the main one.
  const wxRect screen = wxDisplay(0u).GetClientArea();
  const int wrapWidth =
      std::max(200, std::min(screen.width * 5 / 8, screen.width - kRoomAroundTextX));
  const int maxHeight = std::max(100, screen.height - kRoomAroundTextY);

  auto* pane = new wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL);
  auto* label = new wxStaticText(pane, wxID_ANY, wxEmptyString);
  label->SetLabelText(WrapToWidth(ToWx(WithNewlines(text)), label->GetFont(), wrapWidth));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(label);
  pane->SetSizer(sizer);

  const wxSize textSize = label->GetBestSize();
  if (textSize.y <= maxHeight) {
    pane->ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_NEVER);
    pane->SetMinSize(textSize);
  } else {
    pane->SetScrollRate(0, std::max(1, label->GetCharHeight()));
    pane->ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_ALWAYS);
    pane->SetMinSize(
        wxSize(textSize.x + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, pane), maxHeight));
  }
  pane->FitInside();
  return pane;
}

}  // namespace

MessageDialog::MessageDialog(std::string_view text, int flags, std::string_view title)
    : wxDialog(nullptr, wxID_ANY, ToWx(title), wxDefaultPosition, wxDefaultSize,
               (flags & kBoxButtonsMask) == kBoxAbortRetryIgnore
                   ? wxCAPTION | wxSYSTEM_MENU  // answered only by its buttons
                   : wxDEFAULT_DIALOG_STYLE),
      flags_(flags) {
  auto* body = new wxBoxSizer(wxHORIZONTAL);
  const wxArtID icon = IconFor(flags);
  if (!icon.empty()) {
    body->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(icon, wxART_MESSAGE_BOX)),
              0, wxALL, 12);
  }
  body->Add(MakeTextPane(this, text), 1, wxALL | wxALIGN_CENTER_VERTICAL, 12);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  const auto answers = ButtonAnswersFor(flags);
  for (const int answer : answers) {
    auto* button = new wxButton(this, kAnswerIdBase + answer, ToWx(SystemButtonCaption(answer)));
    buttons->Add(button, 0, wxALL, 4);
    button->Bind(wxEVT_BUTTON,
                 [this, answer](wxCommandEvent&) { EndModal(kAnswerIdBase + answer); });
  }
  // Escape answers Cancel where the box has it, or OK in a box with OK alone; the
  // Abort/Retry/Ignore box ignores it.
  const bool hasCancel = std::find(answers.begin(), answers.end(), kAnswerCancel) != answers.end();
  if (hasCancel) {
    SetEscapeId(kAnswerIdBase + kAnswerCancel);
  } else if (answers.size() == 1) {
    SetEscapeId(kAnswerIdBase + answers.front());
  } else {
    SetEscapeId(wxID_NONE);
  }
  SetAffirmativeId(kAnswerIdBase + answers.front());

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(body, 1, wxEXPAND);
  top->Add(buttons, 0, wxALIGN_CENTER | wxBOTTOM, 8);
  SetSizerAndFit(top);
  CentreOnScreen();
}

int MessageDialog::ShowAndAnswer() {
  const int id = ShowModal();
  if (id >= kAnswerIdBase && id <= kAnswerIdBase + kAnswerNo) return id - kAnswerIdBase;
  return ButtonAnswersFor(flags_).front();
}

}  // namespace tarnwick
