#include "sources/capture_window_form.h"

#include "sources/capture_geometry.h"

namespace tarnwick {

#define TARNWICK_INIT_CONTROL(name, kind, parent, left, top, width, height, text, ...) \
  , name(ControlDefinition{#name, ControlKind::kind, parent, {left, top, width, height}, text})
#define TARNWICK_START_CONTROL(name, kind, parent, left, top, width, height, text, visible, \
                               period)                                                      \
  Register(name);                                                                           \
  name.SetVisible(visible);                                                                 \
  name.SetPeriod(period);

CaptureWindow::CaptureWindow()
    : Form("", kCaptureWindowWidth, kCaptureWindowHeight)
          TARNWICK_CAPTURE_WINDOW_CONTROLS(TARNWICK_INIT_CONTROL) {
  TARNWICK_CAPTURE_WINDOW_CONTROLS(TARNWICK_START_CONTROL)
  标签1.SetTextSpans(CancelQuestionSpans());
}

#undef TARNWICK_INIT_CONTROL
#undef TARNWICK_START_CONTROL

}  // namespace tarnwick
