#include "platform/form_layout.h"

#include <algorithm>
#include <vector>

namespace tarnwick {
namespace {

struct Container {
  const Form& form;
  const MeasureText& measure;
  std::map<const Control*, Rect>& places;

  std::vector<const Control*> ChildrenOf(std::string_view name) const {
    std::vector<const Control*> children;
    for (const Control* control : form.controls()) {
      if (control->parent() == name && control->kind() != ControlKind::Timer) {
        children.push_back(control);
      }
    }
    std::stable_sort(children.begin(), children.end(), [](const Control* a, const Control* b) {
      return a->place().top < b->place().top;
    });
    return children;
  }

  // Lays out the children of `group` (the client area when null) with the container's origin
  // at (originLeft, originTop); returns how much taller the group must become.
  int LayOut(const Control* group, int originLeft, int originTop) {
    const std::vector<const Control*> children = ChildrenOf(group ? group->name() : "");
    if (children.empty()) return 0;
    int shiftIn = 0;
    if (group) {
      const int captionBottom = measure(group->text()).height + kGroupCaptionGap;
      shiftIn = std::max(0, captionBottom - children.front()->place().top);
    }
    struct Laid {
      const Control* group;
      Rect place;  // relative to the container
    };
    std::vector<Laid> groupsAbove;
    int lowest = 0;
    for (const Control* child : children) {
      const Rect& designed = child->place();
      Rect place = designed;
      place.top += shiftIn;
      if (NeedsTallerLabel(*child)) place.height = measure(child->text()).height;
      // Nothing designed below a group may end up inside it after the group grew.
      for (const Laid& above : groupsAbove) {
        const Rect& was = above.group->place();
        const bool designedBelow = was.top + was.height <= designed.top;
        const bool sideBySide =
            was.left + was.width <= designed.left || designed.left + designed.width <= was.left;
        if (designedBelow && !sideBySide) {
          place.top = std::max(place.top, above.place.top + above.place.height);
        }
      }
      if (child->kind() == ControlKind::GroupBox) {
        place.height += LayOut(child, originLeft + place.left, originTop + place.top);
        groupsAbove.push_back({child, place});
      }
      places[child] = {originLeft + place.left, originTop + place.top, place.width, place.height};
      lowest = std::max(lowest, place.top + place.height);
    }
    if (!group) return 0;
    return std::max(0, lowest + kGroupBottomGap - group->place().height);
  }

  // A label whose text needs more lines than its designed height shows grows to show them
  // all; a column of "|" drawn as a separator is meant to be cut off.
  bool NeedsTallerLabel(const Control& control) const {
    if (control.kind() != ControlKind::Label) return false;
    if (control.text().find_first_not_of("|\r\n") == std::string::npos) return false;
    return measure(control.text()).height > control.place().height;
  }
};

}  // namespace

std::map<const Control*, Rect> LayOutForm(const Form& form, const MeasureText& measure) {
  std::map<const Control*, Rect> places;
  Container{form, measure, places}.LayOut(nullptr, 0, 0);
  return places;
}

}  // namespace tarnwick
