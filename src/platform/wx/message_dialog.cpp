#include "platform/wx/message_dialog.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "platform/desktop.h"
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
  body->Add(new wxStaticText(this, wxID_ANY, ToWx(WithNewlines(text))), 1,
            wxALL | wxALIGN_CENTER_VERTICAL, 12);

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
