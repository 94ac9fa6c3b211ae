#pragma once
// The font the program's windows draw their texts in: the system's message font, which on a
// Chinese system is a CJK face and elsewhere is linked to one, so Chinese captions show.

#include "platform/win32/windows_api.h"

namespace tarnwick {

// The face and size of the control font, for dialogs built in memory.
LOGFONTW ControlLogFont();
// One font object for all controls, made on first use and kept for the life of the program.
HFONT ControlFont();

}  // namespace tarnwick
