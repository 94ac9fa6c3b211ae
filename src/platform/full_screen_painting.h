#pragma once
// What a full-screen form's view paints, in which order, and which areas a change makes stale;
// and a control the user drags about in it.
// The views of both toolkits draw the same way: the form's background, then its top-level
// controls from the last declared to the first (so earlier ones lie above), each followed by
// its shown children. A child is repainted with its parent, whose places cover it.

#include <map>
#include <vector>

#include "platform/controls.h"

namespace tarnwick {

class FullScreenPainting {
 public:
  explicit FullScreenPainting(const Form& form) : form_(form) {}

  // The shown controls in the order they are painted; remembers where each was painted.
  std::vector<const Control*> PaintOrder();
  // The areas to repaint after `control` changed: where its top-level control was painted
  // last, if it was, and where it is now.
  std::vector<Rect> AreasToRepaint(const Control& control);

 private:
  bool Shown(const Control& control) const;

  const Form& form_;
  std::map<const Control*, Rect> paintedPlaces_;
};

// Whether a change of a control shows on the screen.
bool ChangeIsSeen(ControlChange change);

// A control that follows the pointer, held where it was grabbed, until the drag ends.
class ControlDrag {
 public:
  explicit ControlDrag(const Form& form) : form_(form) {}

  // `pointer` is in the form's client points.
  void Start(Control& control, int pointerX, int pointerY);
  void Follow(int pointerX, int pointerY);
  void End() { dragged_ = nullptr; }
  bool active() const { return dragged_ != nullptr; }

 private:
  const Form& form_;
  Control* dragged_ = nullptr;
  int gripX_ = 0;  // the pointer's offset inside the control
  int gripY_ = 0;
};

}  // namespace tarnwick
