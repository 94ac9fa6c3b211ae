#pragma once
// The capture window's form: the cancel question, the layer that covers the screen while it is
// asked, the timer, the magnifier with its crosshair, and the four edges of the selection
// frame, declared once in the table below. Controls declared earlier lie above later ones.
// The handlers are attached by the capture logic, not here.

#include <array>

#include "platform/controls.h"

namespace tarnwick {

inline constexpr int kCaptureWindowWidth = 380;
inline constexpr int kCaptureWindowHeight = 250;

// X(name, kind, parent, left, top, width, height, text, visible at start, timer period)
#define TARNWICK_CAPTURE_WINDOW_CONTROLS(X)                           \
  X(标签1, Label, "", 48, 120, 273, 34, kCancelQuestion, false, 0)    \
  X(透明标签1, TransparentLabel, "", 104, 56, 100, 100, "", false, 0) \
  X(时钟1, Timer, "", 0, 0, 0, 0, "", true, 10)                       \
  X(图片框1, PictureBox, "", 240, 144, 80, 60, "", false, 0)          \
  X(外形框5, Line, "图片框1", 43, 15, 1, 15, "", true, 0)             \
  X(外形框6, Line, "图片框1", 46, 15, 1, 15, "", true, 0)             \
  X(外形框7, Line, "图片框1", 29, 30, 15, 1, "", true, 0)             \
  X(外形框8, Line, "图片框1", 29, 33, 15, 1, "", true, 0)             \
  X(外形框9, Line, "图片框1", 43, 33, 1, 15, "", true, 0)             \
  X(外形框10, Line, "图片框1", 46, 33, 1, 15, "", true, 0)            \
  X(外形框11, Line, "图片框1", 46, 30, 15, 1, "", true, 0)            \
  X(外形框12, Line, "图片框1", 46, 33, 15, 1, "", true, 0)            \
  X(外形框1, Shape, "", 32, 8, 328, 8, "", false, 0)                  \
  X(外形框2, Shape, "", 8, 16, 16, 216, "", false, 0)                 \
  X(外形框3, Shape, "", 344, 32, 16, 200, "", false, 0)               \
  X(外形框4, Shape, "", 24, 216, 312, 16, "", false, 0)

class CaptureWindow : public Form {
 public:
  CaptureWindow();

#define TARNWICK_DECLARE_CONTROL(name, ...) Control name;
  TARNWICK_CAPTURE_WINDOW_CONTROLS(TARNWICK_DECLARE_CONTROL)
#undef TARNWICK_DECLARE_CONTROL

  // The frame's top, left, bottom and right edges, in that order.
  std::array<Control*, 4> FrameEdges() {
    return {&外形框1, &外形框2, &外形框3, &外形框4};
  }
};

}  // namespace tarnwick
