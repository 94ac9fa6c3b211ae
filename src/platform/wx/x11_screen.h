#pragma once
// Reading the screen's pixels straight from the X server. wxScreenDC on GTK 3 gives back black
// where the program's own windows are drawn; the server's framebuffer holds what is shown.

#include <optional>

#include "platform/desktop.h"

namespace tarnwick {

// What the X screen shows in `area` (cut to the screen); nothing when there is no X display.
std::optional<ScreenPixels> CopyX11Screen(const ScreenRect& area);

}  // namespace tarnwick
