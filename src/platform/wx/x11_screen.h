#pragma once
// Reading the screen's pixels straight from the X server. wxScreenDC on GTK 3 gives back black
// where the program's own windows are drawn; the server's framebuffer holds what is shown.
// The toolkit's own connection is used, so that the server has carried out everything the
// program asked before (a window hidden, a frame drawn) when the pixels are read.

#include <optional>

#include "platform/desktop.h"

namespace tarnwick {

// What the X screen of `display` (an Xlib Display) shows in `area`, cut to the screen; nothing
// when the pixels cannot be read.
std::optional<ScreenPixels> CopyX11Screen(void* display, const ScreenRect& area);

}  // namespace tarnwick
