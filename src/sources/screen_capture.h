#pragma once
// Taking a rectangle of the screen as a picture: an empty rectangle gives no picture, one that
// reaches beyond the screen is cut to it, and what the screen shows there becomes BMP bytes.

#include <optional>
#include <string>

#include "platform/desktop.h"

namespace tarnwick {

// BMP bytes of what the screen shows in `rect`, or of the whole screen when no rectangle is
// given; empty when there is nothing to take.
std::string CaptureScreen(Desktop& desktop, const std::optional<ScreenRect>& rect);

}  // namespace tarnwick
