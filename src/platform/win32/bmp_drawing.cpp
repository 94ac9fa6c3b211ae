#include "platform/win32/bmp_drawing.h"

#include <cstdint>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

std::uint32_t ReadLittle32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

// Only uncompressed 24- and 32-bit pictures are drawn, and only when every row they claim
// lies within the bytes.
BmpDrawing::BmpDrawing(const std::string& bytes) {
  if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
    return;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data() + kFileHeaderSize, sizeof(header));
  const std::uint32_t pixelsAt = ReadLittle32(bytes, 10);
  if (header.biSize < kInfoHeaderSize || header.biWidth <= 0 || header.biHeight == 0 ||
      header.biHeight == INT32_MIN || header.biPlanes != 1 ||
      (header.biBitCount != 24 && header.biBitCount != 32) || header.biCompression != BI_RGB) {
    return;
  }
  const std::uint64_t width = static_cast<std::uint64_t>(header.biWidth);
  const std::uint64_t rows =
      static_cast<std::uint64_t>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
  const std::uint64_t size = (width * header.biBitCount + 31) / 32 * 4 * rows;
  if (pixelsAt < kFileHeaderSize + header.biSize || pixelsAt > bytes.size() ||
      size > bytes.size() - pixelsAt) {
    return;
  }
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biSizeImage = 0;
  header.biClrUsed = 0;
  info_.bmiHeader = header;
  pixels_.resize(size / 4);
  std::memcpy(pixels_.data(), bytes.data() + pixelsAt, size);
}

int BmpDrawing::width() const {
  return empty() ? 0 : info_.bmiHeader.biWidth;
}

int BmpDrawing::height() const {
  if (empty()) return 0;
  const LONG height = info_.bmiHeader.biHeight;
  return height < 0 ? -height : height;
}

void BmpDrawing::Draw(HDC dc, const RECT& target) const {
  if (empty() || target.right <= target.left || target.bottom <= target.top) return;
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
                0, 0, width(), height(), pixels_.data(), &info_, DIB_RGB_COLORS, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

}  // namespace tarnwick
