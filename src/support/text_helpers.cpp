#include "support/text_helpers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <system_error>
#include <thread>

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
  localtime_r(&instant, &local);
  const std::int64_t wallSeconds = static_cast<std::int64_t>(timegm(&local));
  return std::to_string(wallSeconds - 8 * 3600);
}

std::string UnixTimestamp() {
  return UnixTimestampAt(static_cast<std::int64_t>(std::time(nullptr)));
}

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Every 12-bit value as its two base64 characters, so that three bytes take two lookups.
const std::array<std::array<char, 2>, 4096>& Base64Pairs() {
  static const auto pairs = [] {
    std::array<std::array<char, 2>, 4096> table{};
    for (int v = 0; v < 4096; ++v) table[v] = {kBase64Alphabet[v >> 6], kBase64Alphabet[v & 63]};
    return table;
  }();
  return pairs;
}

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

std::string Base64Encode(std::string_view bytes) {
  const auto& pairs = Base64Pairs();
  std::string out((bytes.size() + 2) / 3 * 4, '\0');
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  char* o = out.data();
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3, o += 4) {
    const std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    std::memcpy(o, pairs[v >> 12].data(), 2);
    std::memcpy(o + 2, pairs[v & 0xFFF].data(), 2);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    const std::uint32_t v = (in[i] << 16) | (rest == 2 ? in[i + 1] << 8 : 0);
    o[0] = kBase64Alphabet[v >> 18];
    o[1] = kBase64Alphabet[(v >> 12) & 63];
    o[2] = rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
    o[3] = '=';
  }
  return out;
}

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

namespace {

// Every 12-bit value as its two base64 characters already percent-encoded for a form ("+"
// and "/" become "%2B" and "%2F"): up to six characters, padded to eight bytes.
using FormPair = std::array<char, 8>;

const std::array<FormPair, 4096>& Base64FormPairs() {
  static const auto pairs = [] {
    std::array<FormPair, 4096> table{};
    for (int v = 0; v < 4096; ++v) {
      const std::string text =
          UrlEncode(std::string{kBase64Alphabet[v >> 6], kBase64Alphabet[v & 63]});
      std::copy(text.begin(), text.end(), table[v].begin());
    }
    return table;
  }();
  return pairs;
}

}  // namespace

namespace {

// Encodes the whole three-byte groups of `bytes` into base64 at `base64` and appends the same
// text percent-encoded to `form`.
void EncodeGroupsForForm(std::string_view bytes, char* base64, std::string& form) {
  const auto& pairs = Base64Pairs();
  const auto& formPairs = Base64FormPairs();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t whole = bytes.size() / 3 * 3;
  const std::size_t base64Size = whole / 3 * 4;
  // Room for the form text as random bytes need it (one character in 32 is "+" or "/", and
  // grows by two); a chunk that could overflow it makes room first. Every pair is stored with
  // a full eight-byte copy, so eight bytes of slack stay at the end.
  constexpr std::size_t kGroupsPerChunk = 4096;
  constexpr std::size_t kMostPerGroup = 12;
  std::size_t at = form.size();
  form.resize(at + base64Size + base64Size / 16 + kGroupsPerChunk * kMostPerGroup);
  char* b = base64;
  for (std::size_t i = 0; i < whole;) {
    const std::size_t chunkEnd = std::min(whole, i + 3 * kGroupsPerChunk);
    const std::size_t mostNeeded = (chunkEnd - i) / 3 * kMostPerGroup + sizeof(FormPair);
    if (form.size() - at < mostNeeded) form.resize(at + mostNeeded + form.size() / 4);
    char* o = form.data() + at;
    for (; i < chunkEnd; i += 3, b += 4) {
      const std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
      std::memcpy(b, pairs[v >> 12].data(), 2);
      std::memcpy(b + 2, pairs[v & 0xFFF].data(), 2);
      // A sextet of 62 or 63 is "+" or "/", three characters long in the form text.
      const std::uint32_t highEscapes = (((v >> 18) + 2) >> 6) + ((((v >> 12) & 63) + 2) >> 6);
      const std::uint32_t lowEscapes = ((((v >> 6) & 63) + 2) >> 6) + (((v & 63) + 2) >> 6);
      std::memcpy(o, formPairs[v >> 12].data(), sizeof(FormPair));
      o += 2 + 2 * highEscapes;
      std::memcpy(o, formPairs[v & 0xFFF].data(), sizeof(FormPair));
      o += 2 + 2 * lowEscapes;
    }
    at = static_cast<std::size_t>(o - form.data());
  }
  form.resize(at);
}

}  // namespace

std::string Base64EncodeForForm(std::string_view bytes, std::string& formBody) {
  const std::size_t whole = bytes.size() / 3 * 3;
  std::string base64((bytes.size() + 2) / 3 * 4, '\0');
  // A picture of a megabyte or more is encoded in two halves at once, on a second core; the
  // window's thread waits for both, so nothing else runs meanwhile.
  constexpr std::size_t kSplitFrom = 1 << 20;
  bool encoded = false;
  if (whole >= kSplitFrom && std::thread::hardware_concurrency() > 1) {
    const std::size_t half = whole / 2 / 3 * 3;
    std::string secondForm;
    try {
      std::thread second([&] {
        EncodeGroupsForForm(bytes.substr(half, whole - half), base64.data() + half / 3 * 4,
                            secondForm);
      });
      EncodeGroupsForForm(bytes.substr(0, half), base64.data(), formBody);
      second.join();
      formBody += secondForm;
      encoded = true;
    } catch (const std::system_error&) {
      // No thread to be had: the whole picture on this one.
    }
  }
  if (!encoded) EncodeGroupsForForm(bytes.substr(0, whole), base64.data(), formBody);
  // The last, padded group.
  const std::string last = Base64Encode(bytes.substr(whole));
  std::copy(last.begin(), last.end(), base64.data() + whole / 3 * 4);
  AppendUrlEncoded(formBody, last);
  return base64;
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

}  // namespace tarnwick
