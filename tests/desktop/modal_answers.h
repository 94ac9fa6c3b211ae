#pragma once
// Answers the modal dialogs a desktop test's action opens, one after the other, from inside
// their own event loops. A loaded machine may take a while to show a dialog or to run its
// timers, so the open dialog is looked at every 50 ms until the current answer says it is done;
// a dialog still unanswered after ten seconds is cancelled and the test fails.

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <functional>
#include <memory>
#include <vector>

namespace tarnwick::testing {

class ModalAnswers {
 public:
  using Answer = std::function<bool(wxDialog&)>;

  explicit ModalAnswers(std::vector<Answer> answers) : answers_(std::move(answers)) {
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Look(); });
    timer_.Start(50);
  }
  ~ModalAnswers() { timer_.Stop(); }

  bool allAnswered() const { return next_ == answers_.size(); }

 private:
  void Look() {
    if (allAnswered()) {
      timer_.Stop();
      return;
    }
    for (wxWindow* window : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<wxDialog*>(window);
      if (!dialog || !dialog->IsModal()) continue;
      if (dialog != current_) {
        current_ = dialog;
        deadline_ = wxGetLocalTimeMillis() + 10000;
      }
      if (answers_[next_](*dialog)) {
        ++next_;
        current_ = nullptr;
      } else if (wxGetLocalTimeMillis() > deadline_) {
        ADD_FAILURE() << "dialog " << next_ << " never became ready to answer";
        dialog->EndModal(wxID_CANCEL);
        current_ = nullptr;
      }
      return;
    }
  }

  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  wxDialog* current_ = nullptr;
  wxLongLong deadline_;
  wxTimer timer_;
};

}  // namespace tarnwick::testing
