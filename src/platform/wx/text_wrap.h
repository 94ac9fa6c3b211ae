#pragma once
// Line breaking for texts shown in message boxes. wx's own wrapping breaks only at spaces, so a
// Chinese sentence or a service reply (JSON without spaces) would stay one line as wide as it
// is long; this breaks at the last space that fits and, where there is none, between
// characters.

#include <wx/font.h>
#include <wx/string.h>

namespace tarnwick {

// `text` with "\n" inserted so that no line is wider than `width` pixels in `font`. Nothing is
// removed: the breaks already in the text stay, and a space at a break stays at the end of its
// line. A single character wider than `width` stands on a line of its own.
wxString WrapToWidth(const wxString& text, const wxFont& font, int width);

}  // namespace tarnwick
