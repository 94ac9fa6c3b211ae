#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "support/encoding_conversion.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

// "UTF-8" or "CPnnn" as a code page number; 0 for a name Windows has no code page for.
UINT CodePageOf(const std::string& name) {
  const std::string lower = AsciiLower(name);
  if (lower == "utf-8" || lower == "utf8") return CP_UTF8;
  if (lower.size() > 2 && lower.starts_with("cp")) {
    char* end = nullptr;
    const unsigned long number = std::strtoul(lower.c_str() + 2, &end, 10);
    if (*end == '\0' && number > 0 && number < 65536) return static_cast<UINT>(number);
  }
  return 0;
}

// Strict conversions: nothing when any character is malformed or missing from the target.
std::optional<std::wstring> Decode(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return std::wstring();
  const int length = static_cast<int>(bytes.size());
  const int needed =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), needed);
  return wide;
}

std::optional<std::string> Encode(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  // UTF-8 takes neither flag nor default character; other code pages must not guess.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr,
                                         usedDefaultOut);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), needed, nullptr,
                      usedDefaultOut);
  return bytes;
}

std::optional<std::string> ConvertStrictly(std::string_view input, UINT from, UINT to) {
  const std::optional<std::wstring> wide = Decode(input, from);
  if (!wide) return std::nullopt;
  return Encode(*wide, to);
}

}  // namespace

std::optional<std::string> ConvertEncoding(std::string_view input, const std::string& from,
                                           const std::string& to, SequenceLength sequenceLength) {
  const UINT fromPage = CodePageOf(from);
  const UINT toPage = CodePageOf(to);
  if (fromPage == 0 || toPage == 0) return std::nullopt;
  // Almost every text converts whole; only one that does not is taken a sequence at a time.
  if (std::optional<std::string> whole = ConvertStrictly(input, fromPage, toPage)) return whole;
  std::string out;
  out.reserve(input.size() * 2);
  for (std::size_t at = 0; at < input.size();) {
    const std::size_t length = std::max<std::size_t>(1, sequenceLength(input, at));
    if (std::optional<std::string> piece =
            ConvertStrictly(input.substr(at, length), fromPage, toPage)) {
      out += *piece;
    } else {
      out += '?';
    }
    at += length;
  }
  return out;
}

}  // namespace tarnwick
