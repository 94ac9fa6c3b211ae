#pragma once
// A timer control of a form model, ticking on a real wx timer that follows the control's
// period (0 stops it). `alive` is the owning view's flag: once it is false, period changes of
// a control that outlives the view are ignored.

#include <wx/timer.h>

#include <memory>

#include "platform/controls.h"

namespace tarnwick {

inline std::unique_ptr<wxTimer> MirrorTimer(Control& control, std::shared_ptr<bool> alive) {
  auto timer = std::make_unique<wxTimer>();
  timer->Bind(wxEVT_TIMER, [&control](wxTimerEvent&) { control.Tick(); });
  if (control.period() > 0) timer->Start(control.period());
  control.Observe(
      [raw = timer.get(), alive = std::move(alive)](const Control& c, ControlChange change) {
        if (!*alive || change != ControlChange::Period) return;
        if (c.period() > 0) {
          raw->Start(c.period());
        } else {
          raw->Stop();
        }
      });
  return timer;
}

}  // namespace tarnwick
