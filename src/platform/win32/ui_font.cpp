#include "platform/win32/ui_font.h"

namespace tarnwick {
namespace {

// The face used when the system cannot tell its message font.
constexpr wchar_t kFallbackFace[] = L"Microsoft YaHei";
constexpr int kFallbackHeight = -12;

}  // namespace

LOGFONTW ControlLogFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return metrics.lfMessageFont;
  }
  LOGFONTW font{};
  font.lfHeight = kFallbackHeight;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, kFallbackFace, LF_FACESIZE);
  return font;
}

HFONT ControlFont() {
  struct Holder {
    Holder() {
      const LOGFONTW logFont = ControlLogFont();
      font = CreateFontIndirectW(&logFont);
      if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    ~Holder() {
      if (font != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font);
    }
    HFONT font;
  };
  static Holder holder;
  return holder.font;
}

}  // namespace tarnwick
