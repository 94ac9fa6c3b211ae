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

}  // namespace tarnwick
