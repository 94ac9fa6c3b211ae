#pragma once
// Answers the modal boxes a test's action opens, one after the other, from inside their own
// message loops: a thread timer looks at the screen every 50 ms and asks the current answer,
// which returns true once it has answered. A loaded machine may take a while to show a box or
// to run the program's timers; a box still unanswered after ten seconds fails the test and is
// closed, so that the test goes on.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/win32/windows_api.h"

namespace tarnwick::testing {

class BoxAnswers {
 public:
  using Answer = std::function<bool()>;

  explicit BoxAnswers(std::vector<Answer> answers) : answers_(std::move(answers)) {
    deadline_ = GetTickCount64() + kPatienceMs;
    timer_ = SetTimer(nullptr, 0, kLookEveryMs, &BoxAnswers::OnTimer);
    running()[timer_] = this;
  }
  ~BoxAnswers() { Stop(); }
  BoxAnswers(const BoxAnswers&) = delete;
  BoxAnswers& operator=(const BoxAnswers&) = delete;

  bool allAnswered() const { return next_ == answers_.size(); }

 private:
  static constexpr UINT kLookEveryMs = 50;
  static constexpr ULONGLONG kPatienceMs = 10000;

  static std::map<UINT_PTR, BoxAnswers*>& running() {
    static std::map<UINT_PTR, BoxAnswers*> timers;
    return timers;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = running().find(id);
    if (found != running().end()) found->second->Look();
  }

  void Stop() {
    if (!timer_) return;
    KillTimer(nullptr, timer_);
    running().erase(timer_);
    timer_ = 0;
  }

  void Look() {
    if (allAnswered() || looking_) return;
    looking_ = true;  // an answer may itself run a modal loop in which this timer ticks
    if (answers_[next_]()) {
      ++next_;
      deadline_ = GetTickCount64() + kPatienceMs;
    } else if (GetTickCount64() > deadline_) {
      ADD_FAILURE() << "box " << next_ << " never became ready to answer";
      GiveUp();
    }
    looking_ = false;
    if (allAnswered()) Stop();
  }

  // Closes every dialog of this thread the way its Cancel (or Abort) button would.
  void GiveUp() {
    next_ = answers_.size();
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
          wchar_t name[16] = {};
          GetClassNameW(window, name, 16);
          if (std::wstring_view(name) == L"#32770") {
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(window, WM_COMMAND, IDABORT, 0);
          }
          return TRUE;
        },
        0);
  }

  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  ULONGLONG deadline_ = 0;
  UINT_PTR timer_ = 0;
  bool looking_ = false;
};

}  // namespace tarnwick::testing
