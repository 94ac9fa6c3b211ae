#pragma once
// The system's API as this front-end uses it: the UTF-16 ("W") calls throughout, and none of
// the system's name macros that would rename the program's own members (Desktop's
// SetWindowText, for one). Include this instead of <windows.h>.

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

#undef SetWindowText
