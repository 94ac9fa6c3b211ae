#include "sources/screen_capture.h"

#include "sources/bmp_picture.h"
#include "sources/capture_geometry.h"

namespace tarnwick {

std::string CaptureScreen(Desktop& desktop, const std::optional<ScreenRect>& rect) {
  const ScreenSize screen = desktop.PrimaryScreenSize();
  const std::optional<ScreenRect> area =
      ClipToScreen(rect.value_or(ScreenRect{0, 0, screen.width, screen.height}), screen);
  if (!area) return {};
  const ScreenPixels pixels = desktop.CopyScreen(*area);
  // A copy that came back another size than asked (the screen changed meanwhile) is not the
  // rectangle the user chose.
  if (pixels.width != area->right - area->left || pixels.height != area->bottom - area->top) {
    return {};
  }
  return EncodeBmp(pixels);
}

}  // namespace tarnwick
