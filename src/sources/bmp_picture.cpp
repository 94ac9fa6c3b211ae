#include "sources/bmp_picture.h"

#include <cstdint>
#include <limits>

namespace tarnwick {
namespace {

void PutLittleEndian(std::string& out, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::size_t BmpRowBytes(int width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

std::string EncodeBmp(const ScreenPixels& pixels) {
  if (pixels.width <= 0 || pixels.height <= 0) return {};
  const std::size_t sourceRow = static_cast<std::size_t>(pixels.width) * 3;
  const std::size_t rows = static_cast<std::size_t>(pixels.height);
  if (pixels.rgb.size() != sourceRow * rows) return {};
  const std::size_t rowBytes = BmpRowBytes(pixels.width);
  const std::size_t imageBytes = rowBytes * rows;
  // The file records its size in 32 bits; no screen comes near this.
  if (imageBytes > std::numeric_limits<std::uint32_t>::max() - kBmpHeaderBytes) return {};

  std::string out(kBmpHeaderBytes + imageBytes, '\0');
  out[0] = 'B';
  out[1] = 'M';
  PutLittleEndian(out, 2, static_cast<std::uint32_t>(out.size()), 4);
  PutLittleEndian(out, 10, kBmpHeaderBytes, 4);
  PutLittleEndian(out, 14, 40, 4);
  PutLittleEndian(out, 18, static_cast<std::uint32_t>(pixels.width), 4);
  PutLittleEndian(out, 22, static_cast<std::uint32_t>(pixels.height), 4);
  PutLittleEndian(out, 26, 1, 2);   // planes
  PutLittleEndian(out, 28, 24, 2);  // bits per pixel
  PutLittleEndian(out, 34, static_cast<std::uint32_t>(imageBytes), 4);

  // The file holds the bottom row first, each pixel as blue, green, red.
  for (std::size_t row = 0; row < rows; ++row) {
    const std::uint8_t* from = pixels.rgb.data() + (rows - 1 - row) * sourceRow;
    char* to = out.data() + kBmpHeaderBytes + row * rowBytes;
    for (int x = 0; x < pixels.width; ++x, from += 3, to += 3) {
      to[0] = static_cast<char>(from[2]);
      to[1] = static_cast<char>(from[1]);
      to[2] = static_cast<char>(from[0]);
    }
  }
  return out;
}

}  // namespace tarnwick
