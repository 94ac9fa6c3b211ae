#pragma once
// The font the program's windows draw their texts in: the system's message font, which on a
// Chinese system is a CJK face and elsewhere is linked to one, so Chinese captions show.

#include "platform/win32/windows_api.h"

#include <string_view>

namespace tarnwick {

// The face and size of the control font, for dialogs built in memory.
LOGFONTW ControlLogFont();
// One font object for all controls, made on first use and kept for the life of the program.
HFONT ControlFont();

// The control font, or where the text would not fit the box in it, the largest smaller one
// (down to a still readable size) in which it does. Boxes too small for any readable size keep
// the control font and show what fits. `wrap`: the text breaks into lines at the box's width.
HFONT FontToFit(std::wstring_view text, SIZE box, bool wrap);

}  // namespace tarnwick
