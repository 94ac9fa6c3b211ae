#include "platform/full_screen_painting.h"

namespace tarnwick {

bool FullScreenPainting::Shown(const Control& control) const {
  for (const Control* c = &control; c; c = form_.Find(c->parent())) {
    if (!c->visible()) return false;
  }
  return true;
}

std::vector<const Control*> FullScreenPainting::PaintOrder() {
  std::vector<const Control*> order;
  const std::vector<Control*>& controls = form_.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const Control* control = *it;
    if (!control->parent().empty() || control->kind() == ControlKind::Timer) continue;
    if (!Shown(*control)) continue;
    order.push_back(control);
    paintedPlaces_[control] = form_.PlaceInClientArea(*control);
    for (const Control* child : controls) {
      if (child->parent() == control->name() && Shown(*child)) order.push_back(child);
    }
  }
  return order;
}

std::vector<Rect> FullScreenPainting::AreasToRepaint(const Control& control) {
  const Control* outer = &control;
  while (const Control* parent = form_.Find(outer->parent())) outer = parent;
  std::vector<Rect> areas;
  if (const auto painted = paintedPlaces_.find(outer); painted != paintedPlaces_.end()) {
    areas.push_back(painted->second);
  }
  areas.push_back(form_.PlaceInClientArea(*outer));
  paintedPlaces_[outer] = areas.back();
  return areas;
}

bool ChangeIsSeen(ControlChange change) {
  return change == ControlChange::Picture || change == ControlChange::Text ||
         change == ControlChange::Place || change == ControlChange::Visible;
}

void ControlDrag::Start(Control& control, int pointerX, int pointerY) {
  const Rect place = form_.PlaceInClientArea(control);
  dragged_ = &control;
  gripX_ = pointerX - place.left;
  gripY_ = pointerY - place.top;
}

void ControlDrag::Follow(int pointerX, int pointerY) {
  if (!dragged_) return;
  Rect place = dragged_->place();
  const Rect inClient = form_.PlaceInClientArea(*dragged_);
  place.left += pointerX - gripX_ - inClient.left;
  place.top += pointerY - gripY_ - inClient.top;
  if (place != dragged_->place()) dragged_->SetPlace(place);
}

}  // namespace tarnwick
