// GBK conversion on arbitrary bytes: UTF-8 out is always valid, and GBK text converted to
// UTF-8 and back comes back unchanged.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/gbk_text.h"

namespace {

bool IsValidUtf8(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto b = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t code = 0;
    if (b < 0x80) {
      length = 1;
      code = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
      code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      code = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      code = b & 0x07;
    } else {
      return false;
    }
    if (at + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[at + k]);
      if ((c & 0xC0) != 0x80) return false;
      code = (code << 6) | (c & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    at += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::string utf8 = tarnwick::GbkToUtf8(bytes);
  if (!IsValidUtf8(utf8)) std::abort();
  // Bytes below 0x40 are never part of a double-byte character, so each stays itself, even
  // right after a broken lead byte ("?" aside, which also stands for what was broken).
  for (int c = 0; c < 0x40; ++c) {
    if (c == '?') continue;
    if (std::count(bytes.begin(), bytes.end(), static_cast<char>(c)) !=
        std::count(utf8.begin(), utf8.end(), static_cast<char>(c))) {
      std::abort();
    }
  }

  const std::string gbk = tarnwick::Utf8ToGbk(bytes);
  if (gbk.find('\0') != std::string::npos) std::abort();
  if (tarnwick::Utf8ToGbk(tarnwick::GbkToUtf8(gbk)) != gbk) std::abort();

  const std::string normal = tarnwick::NormalizeToGbk(bytes);
  if (!IsValidUtf8(normal) || tarnwick::NormalizeToGbk(normal) != normal) std::abort();
  return 0;
}
