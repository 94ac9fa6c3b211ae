#include "support/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace tarnwick {
namespace {

// Decodes the code point at `at` when the bytes there are well-formed UTF-8 (no overlong
// forms, no surrogates, nothing above U+10FFFF); `length` is set to the bytes used. Returns
// nothing for a byte that does not start such a character.
std::optional<char32_t> DecodeUtf8(const std::string& text, std::size_t at, std::size_t* length) {
  const auto b0 = static_cast<unsigned char>(text[at]);
  const auto in = [&](std::size_t k, unsigned char low, unsigned char high) {
    if (at + k >= text.size()) return false;
    const auto b = static_cast<unsigned char>(text[at + k]);
    return b >= low && b <= high;
  };
  const auto byte = [&](std::size_t k) {
    return static_cast<char32_t>(static_cast<unsigned char>(text[at + k]) & 0x3F);
  };
  if (b0 >= 0xC2 && b0 <= 0xDF && in(1, 0x80, 0xBF)) {
    *length = 2;
    return (static_cast<char32_t>(b0 & 0x1F) << 6) | byte(1);
  }
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    const unsigned char low = b0 == 0xE0 ? 0xA0 : 0x80;
    const unsigned char high = b0 == 0xED ? 0x9F : 0xBF;
    if (in(1, low, high) && in(2, 0x80, 0xBF)) {
      *length = 3;
      return (static_cast<char32_t>(b0 & 0x0F) << 12) | (byte(1) << 6) | byte(2);
    }
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const unsigned char low = b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b0 == 0xF4 ? 0x8F : 0xBF;
    if (in(1, low, high) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF)) {
      *length = 4;
      return (static_cast<char32_t>(b0 & 0x07) << 18) | (byte(1) << 12) | (byte(2) << 6) | byte(3);
    }
  }
  return std::nullopt;
}

// Characters written as \u escapes: controls, and the invisible or line-breaking characters
// that some readers of JSON text would mangle.
bool NeedsUnicodeEscape(char32_t c) {
  return c <= 0x1F || (c >= 0x7F && c <= 0x9F) || c == 0xAD || (c >= 0x600 && c <= 0x604) ||
         c == 0x70F || c == 0x17B4 || c == 0x17B5 || (c >= 0x200C && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
         (c >= 0xFFF0 && c <= 0xFFFF);
}

void WriteString(const std::string& text, std::string& out) {
  out += '"';
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    switch (c) {
      case '"':
        out += "\\\"";
        ++at;
        continue;
      case '\\':
        out += "\\\\";
        ++at;
        continue;
      case '\b':
        out += "\\b";
        ++at;
        continue;
      case '\f':
        out += "\\f";
        ++at;
        continue;
      case '\n':
        out += "\\n";
        ++at;
        continue;
      case '\r':
        out += "\\r";
        ++at;
        continue;
      case '\t':
        out += "\\t";
        ++at;
        continue;
      default:
        break;
    }
    std::size_t length = 1;
    const std::optional<char32_t> code = static_cast<unsigned char>(c) < 0x80
                                             ? static_cast<char32_t>(c)
                                             : DecodeUtf8(text, at, &length);
    if (!code) {
      // A byte that is not UTF-8 would make the text unreadable as JSON; it shows as GBK
      // shows what it cannot hold.
      out += '?';
      ++at;
      continue;
    }
    if (NeedsUnicodeEscape(*code)) {
      char escape[16];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(*code));
      out += escape;
    } else {
      out.append(text, at, length);
    }
    at += length;
  }
  out += '"';
}

void Write(const nlohmann::ordered_json& value, std::string& out) {
  using Type = nlohmann::ordered_json::value_t;
  switch (value.type()) {
    case Type::object: {
      out += '{';
      bool first = true;
      for (const auto& [name, member] : value.items()) {
        if (!first) out += ',';
        first = false;
        WriteString(name, out);
        out += ':';
        Write(member, out);
      }
      out += '}';
      return;
    }
    case Type::array: {
      out += '[';
      bool first = true;
      for (const auto& element : value) {
        if (!first) out += ',';
        first = false;
        Write(element, out);
      }
      out += ']';
      return;
    }
    case Type::string:
      WriteString(value.get_ref<const std::string&>(), out);
      return;
    case Type::boolean:
      out += value.get<bool>() ? "true" : "false";
      return;
    case Type::number_integer:
    case Type::number_unsigned:
    case Type::number_float:
      out += FormatJsonNumber(value);
      return;
    default:
      out += "null";
      return;
  }
}

}  // namespace

std::string FormatJsonNumber(const nlohmann::ordered_json& number) {
  if (number.is_number_integer() && !number.is_number_unsigned()) {
    return std::to_string(number.get<std::int64_t>());
  }
  if (number.is_number_unsigned()) return std::to_string(number.get<std::uint64_t>());
  const double v = number.get<double>();
  if (!std::isfinite(v)) return "null";
  if (v == 0) return "0";
  if (std::trunc(v) == v) {
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.0f", v);
    return digits;
  }
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits, v);
  return std::string(digits, result.ptr);
}

std::string WriteCompactJson(const nlohmann::ordered_json& value) {
  std::string out;
  Write(value, out);
  return out;
}

}  // namespace tarnwick
