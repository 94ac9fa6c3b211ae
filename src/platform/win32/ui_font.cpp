#include "platform/win32/ui_font.h"

namespace tarnwick {
namespace {

// The face used when the system cannot tell its message font.
constexpr wchar_t kFallbackFace[] = L"Microsoft YaHei";
constexpr int kFallbackHeight = -12;
// Smaller than this, a Chinese character is no longer readable.
constexpr int kSmallestReadablePixels = 9;

// Fonts of the control font's face at smaller pixel heights, made on first use.
HFONT FontOfHeight(int pixels) {
  struct Holder {
    ~Holder() {
      for (HFONT font : fonts) DeleteObject(font);
    }
    HFONT fonts[32] = {};
  };
  static Holder holder;
  if (pixels < 0 || pixels >= 32) return ControlFont();
  if (!holder.fonts[pixels]) {
    LOGFONTW font = ControlLogFont();
    font.lfHeight = -pixels;
    font.lfWidth = 0;
    holder.fonts[pixels] = CreateFontIndirectW(&font);
  }
  return holder.fonts[pixels] ? holder.fonts[pixels] : ControlFont();
}

bool Fits(HDC dc, HFONT font, std::wstring_view text, SIZE box, bool wrap) {
  HGDIOBJ old = SelectObject(dc, font);
  RECT needed{0, 0, box.cx, 0};
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
  SelectObject(dc, old);
  return needed.right <= box.cx && needed.bottom <= box.cy;
}

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

HFONT FontToFit(std::wstring_view text, SIZE box, bool wrap) {
  if (text.empty() || box.cx <= 0 || box.cy <= 0) return ControlFont();
  HDC dc = GetDC(nullptr);
  HFONT chosen = ControlFont();
  if (!Fits(dc, chosen, text, box, wrap)) {
    LOGFONTW logFont{};
    GetObjectW(chosen, sizeof(logFont), &logFont);
    const int start = logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight;
    for (int pixels = start - 1; pixels >= kSmallestReadablePixels; --pixels) {
      if (Fits(dc, FontOfHeight(pixels), text, box, wrap)) {
        chosen = FontOfHeight(pixels);
        break;
      }
    }
  }
  ReleaseDC(nullptr, dc);
  return chosen;
}

}  // namespace tarnwick
