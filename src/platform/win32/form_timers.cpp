#include "platform/win32/form_timers.h"

namespace tarnwick {
namespace {

// Timer ids start here, clear of any id a window might use for a timer of its own.
constexpr UINT_PTR kFirstTimerId = 0x7A00;

}  // namespace

FormTimers::FormTimers(HWND window, Form& form) : window_(window) {
  UINT_PTR id = kFirstTimerId;
  for (Control* control : form.controls()) {
    if (control->kind() != ControlKind::Timer) continue;
    timers_[id] = control;
    Follow(id, *control);
    control->Observe([this, id, alive = alive_](const Control& c, ControlChange change) {
      if (*alive && change == ControlChange::Period) Follow(id, c);
    });
    ++id;
  }
}

FormTimers::~FormTimers() {
  StopAll();
}

void FormTimers::StopAll() {
  if (!*alive_) return;
  *alive_ = false;
  for (const auto& [id, control] : timers_) KillTimer(window_, id);
}

void FormTimers::Follow(UINT_PTR id, const Control& timer) {
  if (timer.period() > 0) {
    // Setting a running timer again restarts it with the new period.
    SetTimer(window_, id, static_cast<UINT>(timer.period()), nullptr);
  } else {
    KillTimer(window_, id);
  }
}

bool FormTimers::OnTimer(UINT_PTR id) {
  const auto found = timers_.find(id);
  if (found == timers_.end()) return false;
  if (*alive_) found->second->Tick();
  return true;
}

}  // namespace tarnwick
