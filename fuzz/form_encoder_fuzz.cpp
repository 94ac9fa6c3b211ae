// The form encoder (base64 and percent-encoding in one pass, with its fast paths) against a
// plain reference written the obvious way.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/base64.h"
#include "support/text_helpers.h"

namespace {

std::string ReferenceBase64(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 63] : '=';
    }
  }
  return out;
}

std::string ReferenceUrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '.' || c == '~';
    if (keep) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string base64 = ReferenceBase64(bytes);
  if (tarnwick::Base64Encode(bytes) != base64) std::abort();

  const std::string prefix = "image=";
  std::string form = prefix;
  if (tarnwick::Base64EncodeForForm(bytes, form) != base64) std::abort();
  if (form != prefix + ReferenceUrlEncode(base64)) std::abort();

  if (tarnwick::UrlEncode(bytes) != ReferenceUrlEncode(bytes)) std::abort();
  return 0;
}
