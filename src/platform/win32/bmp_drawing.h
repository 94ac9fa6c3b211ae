#pragma once
// Pictures the program keeps as the bytes of a BMP file, drawn on a device context. Bytes
// that are no picture the drawing understands draw nothing.

#include "platform/win32/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

class BmpDrawing {
 public:
  BmpDrawing() = default;
  explicit BmpDrawing(const std::string& bytes);

  bool empty() const { return pixels_.empty(); }
  int width() const;
  int height() const;
  // Draws the picture scaled to the rectangle, each pixel kept sharp.
  void Draw(HDC dc, const RECT& target) const;

 private:
  BITMAPINFO info_{};
  std::vector<std::uint32_t> pixels_;  // the rows as the file has them, on a 4-byte boundary
};

}  // namespace tarnwick
