#pragma once
// Pictures as the program keeps them: the bytes of a complete 24-bit BMP file (14-byte file
// header, 40-byte information header with a positive height, no compression, then the rows
// bottom-up, each padded to a multiple of 4 bytes). Such bytes can be written to a file or
// sent to the service as they are.

#include <cstddef>
#include <string>

#include "platform/desktop.h"

namespace tarnwick {

inline constexpr std::size_t kBmpHeaderBytes = 54;

// The bytes of one row of a 24-bit BMP picture this wide, padding included.
std::size_t BmpRowBytes(int width);

// Encodes pixels copied from the screen; no pixels (or a size the rows do not fill) give an
// empty string, the program's "no picture".
std::string EncodeBmp(const ScreenPixels& pixels);

}  // namespace tarnwick
