#include "sources/capture_geometry.h"

#include <algorithm>

namespace tarnwick {

ScreenRect SelectionFromDrag(ScreenPoint anchor, ScreenPoint pointer) {
  return {std::min(anchor.x, pointer.x), std::min(anchor.y, pointer.y),
          std::max(anchor.x, pointer.x), std::max(anchor.y, pointer.y)};
}

bool StrictlyInside(const ScreenRect& rect, ScreenPoint point) {
  return rect.left < point.x && point.x < rect.right && rect.top < point.y && point.y < rect.bottom;
}

ScreenRect MagnifierArea(ScreenPoint pointer, int boxWidth, int boxHeight) {
  ScreenRect area;
  area.left = pointer.x - boxWidth / 6;
  area.top = pointer.y - boxHeight / 6;
  area.right = area.left + boxWidth / 3;
  area.bottom = area.top + boxHeight / 3;
  return area;
}

std::optional<ScreenRect> ClipToScreen(const ScreenRect& rect, ScreenSize screen) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return std::nullopt;
  const ScreenRect clipped{std::max(rect.left, 0), std::max(rect.top, 0),
                           std::min(rect.right, screen.width),
                           std::min(rect.bottom, screen.height)};
  if (clipped.right <= clipped.left || clipped.bottom <= clipped.top) return std::nullopt;
  return clipped;
}

std::array<Rect, 4> FrameEdges(const ScreenRect& s) {
  const int width = s.right - s.left;
  const int height = s.bottom - s.top;
  return {Rect{s.left, s.top, width, 1}, Rect{s.left, s.top, 1, height},
          Rect{s.left, s.bottom, width, 1}, Rect{s.right, s.top, 1, height}};
}

QuestionAnswer QuestionAnswerAt(int x) {
  if (kYesFirst <= x && x <= kYesLast) return QuestionAnswer::Yes;
  if (kNoFirst <= x && x <= kNoLast) return QuestionAnswer::No;
  return QuestionAnswer::None;
}

std::vector<TextSpan> CancelQuestionSpans() {
  return {
      {"是否取消？", 0, kYesFirst - 8}, {"|", kYesFirst - 8, kYesFirst},
      {"是", kYesFirst, kYesLast + 1},  {"|", kYesLast + 1, kNoFirst},
      {"否", kNoFirst, kNoLast + 1},    {"|", kNoLast + 1, kQuestionWidth},
  };
}

}  // namespace tarnwick
