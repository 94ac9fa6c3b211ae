#include "support/text_helpers.h"

#include <array>
#include <cctype>
#include <ctime>

namespace tarnwick {
namespace {

constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";

bool StartsWithSpace(std::string_view text, std::size_t at, std::size_t* width) {
  if (at < text.size() && text[at] == ' ') {
    *width = 1;
    return true;
  }
  if (text.substr(at, kFullWidthSpace.size()) == kFullWidthSpace) {
    *width = kFullWidthSpace.size();
    return true;
  }
  return false;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t width = 0;
  while (StartsWithSpace(text, begin, &width)) begin += width;
  std::size_t end = text.size();
  while (end > begin) {
    if (text[end - 1] == ' ') {
      --end;
    } else if (end - begin >= kFullWidthSpace.size() &&
               text.substr(end - kFullWidthSpace.size(), kFullWidthSpace.size()) ==
                   kFullWidthSpace) {
      end -= kFullWidthSpace.size();
    } else {
      break;
    }
  }
  return std::string(text.substr(begin, end - begin));
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  std::size_t start = 0;
  for (std::size_t at = text.find(from); at != std::string_view::npos;
       at = text.find(from, start)) {
    result.append(text.substr(start, at - start)).append(to);
    start = at + from.size();
  }
  result.append(text.substr(start));
  return result;
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right) {
  const std::string leftMarker = ReplaceAll(left, "#引号", "\"");
  const std::string rightMarker = ReplaceAll(right, "#引号", "\"");
  const std::size_t leftAt = text.find(leftMarker);
  if (leftAt == std::string_view::npos) return {};
  const std::size_t begin = leftAt + leftMarker.size();
  const std::size_t rightAt = text.find(rightMarker, begin);
  if (rightAt == std::string_view::npos) return {};
  return std::string(text.substr(begin, rightAt - begin));
}

std::string UnixTimestampAt(std::int64_t unixSeconds) {
  // The local wall-clock reading of the instant, counted as if it were UTC, less the local
  // wall-clock reading of 1970-01-01 08:00:00, which is 8 hours of that count.
  const std::time_t instant = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &instant);
  const std::int64_t wallSeconds = static_cast<std::int64_t>(_mkgmtime(&local));
#else
  localtime_r(&instant, &local);
  const std::int64_t wallSeconds = static_cast<std::int64_t>(timegm(&local));
#endif
  return std::to_string(wallSeconds - 8 * 3600);
}

std::string UnixTimestamp() {
  return UnixTimestampAt(static_cast<std::int64_t>(std::time(nullptr)));
}

namespace {

// Bytes that stand for themselves in a form value.
constexpr std::array<bool, 256> kUrlSafe = [] {
  std::array<bool, 256> safe{};
  for (int c = '0'; c <= '9'; ++c) safe[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c) safe[c] = true;
  for (int c = 'a'; c <= 'z'; ++c) safe[c] = true;
  for (const char c : std::string_view("-_.~")) safe[static_cast<unsigned char>(c)] = true;
  return safe;
}();

}  // namespace

void AppendUrlEncoded(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.reserve(out.size() + text.size() + text.size() / 8);
  // Runs of bytes that stay as they are are copied whole.
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (kUrlSafe[c]) continue;
    out.append(text, runStart, i - runStart);
    const char escape[3] = {'%', kHex[c >> 4], kHex[c & 15]};
    out.append(escape, 3);
    runStart = i + 1;
  }
  out.append(text, runStart, text.size() - runStart);
}

std::string UrlEncode(std::string_view text) {
  std::string out;
  AppendUrlEncoded(out, text);
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::size_t FindIgnoringCase(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.size() > haystack.size()) return std::string_view::npos;
  for (std::size_t at = from; at + needle.size() <= haystack.size(); ++at) {
    std::size_t k = 0;
    while (k < needle.size() && LowerAscii(haystack[at + k]) == LowerAscii(needle[k])) ++k;
    if (k == needle.size()) return at;
  }
  return std::string_view::npos;
}

std::string ReplaceAllIgnoringCase(std::string_view text, std::string_view from,
                                   std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  std::size_t start = 0;
  for (std::size_t at = FindIgnoringCase(text, from); at != std::string_view::npos;
       at = FindIgnoringCase(text, from, start)) {
    result.append(text.substr(start, at - start)).append(to);
    start = at + from.size();
  }
  result.append(text.substr(start));
  return result;
}

bool MatchesWildcard(std::string_view text, std::string_view pattern) {
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  // Greedy with one step back: on a mismatch the last "*" takes one more byte.
  std::size_t t = 0, p = 0;
  std::size_t starAt = std::string_view::npos, resumeAt = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      resumeAt = t;
    } else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], text[t]))) {
      ++p;
      ++t;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      t = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace tarnwick
