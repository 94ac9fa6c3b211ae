#pragma once
// Where a front-end places a form's controls. The designed places assume a Windows font and
// thin group frames; a toolkit whose group captions take more room gets the same skeleton with
// each group's contents moved into its client area, the group grown as far as they need, and
// what stands below a grown group moved down only as far as it would otherwise overlap. A label
// grows to show all its lines; other sizes never change.

#include <functional>
#include <map>
#include <string>

#include "platform/controls.h"

namespace tarnwick {

struct TextExtent {
  int width = 0;
  int height = 0;
};
// Measures a caption in the font the front-end draws it with.
using MeasureText = std::function<TextExtent(const std::string& text)>;

// Room a group box needs above its contents: its caption's height and this much more.
inline constexpr int kGroupCaptionGap = 0;
// A group grows only when its lowest control comes closer to its bottom than this.
inline constexpr int kGroupBottomGap = 4;

// Places in the window's client area for every control but timers.
std::map<const Control*, Rect> LayOutForm(const Form& form, const MeasureText& measure);

}  // namespace tarnwick
