#pragma once
// The arithmetic of the capture window, over plain rectangles and points: the selection a drag
// makes, the strict inside test, the strip the magnifier shows, clipping to the screen, the
// frame around a selection and the words of the cancel question. Nothing here draws or reads
// the screen.

#include <array>
#include <optional>
#include <vector>

#include "platform/controls.h"
#include "platform/desktop.h"

namespace tarnwick {

// The rectangle between the press that started a drag and the pointer, whichever way it went.
ScreenRect SelectionFromDrag(ScreenPoint anchor, ScreenPoint pointer);

// True when the point lies strictly inside: never on an edge, never in an empty rectangle.
bool StrictlyInside(const ScreenRect& rect, ScreenPoint point);

// The strip around the pointer that a magnifier box of this size shows enlarged three times.
ScreenRect MagnifierArea(ScreenPoint pointer, int boxWidth, int boxHeight);

// The part of the rectangle on the screen; nothing when the rectangle is empty or lies off it.
std::optional<ScreenRect> ClipToScreen(const ScreenRect& rect, ScreenSize screen);

// Places of the frame's top, left, bottom and right edges around a selection.
std::array<Rect, 4> FrameEdges(const ScreenRect& selection);

// The magnifier hangs up and to the right of the pointer, outside the strip it shows.
inline constexpr int kMagnifierOffsetX = 20;
inline constexpr int kMagnifierOffsetY = -80;

// The cancel question and where its two answers stand, in pixels from the label's left (both
// ends included).
inline constexpr char kCancelQuestion[] = "是否取消？  |是|否|";
inline constexpr int kQuestionWidth = 273;
inline constexpr int kYesFirst = 188;
inline constexpr int kYesLast = 224;
inline constexpr int kNoFirst = 231;
inline constexpr int kNoLast = 267;

enum class QuestionAnswer { None, Yes, No };
QuestionAnswer QuestionAnswerAt(int x);

// The question's words laid out so that 是 and 否 are drawn exactly over their ranges.
std::vector<TextSpan> CancelQuestionSpans();

}  // namespace tarnwick
