#include "platform/wx/x11_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <memory>

namespace tarnwick {
namespace {

// One colour channel of a pixel, scaled to 8 bits, from its mask.
std::uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long maximum = mask >> shift;
  return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / maximum);
}

struct ImageDeleter {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

}  // namespace

std::optional<ScreenPixels> CopyX11Screen(void* connection, const ScreenRect& area) {
  auto* display = static_cast<Display*>(connection);
  if (!display) return std::nullopt;
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, root, &attributes)) return std::nullopt;
  // Asking for pixels beyond the root window is a protocol error that ends the program.
  const int left = std::max(area.left, 0);
  const int top = std::max(area.top, 0);
  const int right = std::min(area.right, attributes.width);
  const int bottom = std::min(area.bottom, attributes.height);
  ScreenPixels pixels;
  if (right <= left || bottom <= top) return pixels;
  const std::unique_ptr<XImage, ImageDeleter> image(
      XGetImage(display, root, left, top, static_cast<unsigned>(right - left),
                static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap));
  if (!image) return std::nullopt;
  pixels.width = right - left;
  pixels.height = bottom - top;
  pixels.rgb.resize(static_cast<std::size_t>(pixels.width) * pixels.height * 3);
  std::uint8_t* out = pixels.rgb.data();
  // The usual layout (4 bytes a pixel: blue, green, red, unused) is read directly; XGetPixel
  // costs a call per pixel, which the whole screen makes noticeable.
  if (image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
      image->green_mask == 0xFF00 && image->blue_mask == 0xFF) {
    for (int y = 0; y < pixels.height; ++y) {
      const auto* in = reinterpret_cast<const std::uint8_t*>(image->data) +
                       std::size_t(y) * image->bytes_per_line;
      for (int x = 0; x < pixels.width; ++x, in += 4) {
        *out++ = in[2];
        *out++ = in[1];
        *out++ = in[0];
      }
    }
    return pixels;
  }
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const unsigned long pixel = XGetPixel(image.get(), x, y);
      *out++ = Channel(pixel, image->red_mask);
      *out++ = Channel(pixel, image->green_mask);
      *out++ = Channel(pixel, image->blue_mask);
    }
  }
  return pixels;
}

}  // namespace tarnwick
