#include "support/gbk_text.h"

#include <fstream>
#include <optional>

#include "support/encoding_conversion.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

// Windows' "GBK" is code page 936 (named so for iconv, which knows it by that name), which also
// holds the euro sign at 0x80.
std::string IconvName(std::string_view encoding) {
  const std::string lower = AsciiLower(encoding);
  if (lower == "gbk" || lower == "cp936" || lower == "936") return "CP936";
  return std::string(encoding);
}

// How many bytes one "?" stands for where `at` starts a sequence that cannot be converted: a
// well-formed character GBK lacks is replaced whole, a broken one by its longest valid-looking
// start (a lead byte and the continuation bytes that follow it), a stray byte alone.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF5 ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC2 ? 2
                                            : 1;
  std::size_t taken = 1;
  while (taken < length && at + taken < text.size() &&
         (static_cast<unsigned char>(text[at + taken]) & 0xC0) == 0x80) {
    ++taken;
  }
  return taken;
}

// A lead byte takes the next byte with it only when that byte can be a trail byte; otherwise
// the next character (an ASCII letter, a NUL) is a character of its own and must survive.
std::size_t GbkSequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x81 || lead == 0xFF || at + 1 >= text.size()) return 1;
  const auto trail = static_cast<unsigned char>(text[at + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

std::string_view UpToFirstNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

std::optional<std::string> FromUtf8(std::string_view utf8, std::string_view encoding) {
  const std::string target = IconvName(encoding);
  if (AsciiLower(target) == "utf-8" || AsciiLower(target) == "utf8") return std::string(utf8);
  return ConvertEncoding(utf8, "UTF-8", target, Utf8SequenceLength);
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  return FromUtf8(UpToFirstNul(utf8), "GBK").value_or(std::string());
}

std::string GbkToUtf8(std::string_view gbk) {
  return ConvertEncoding(gbk, "CP936", "UTF-8", GbkSequenceLength).value_or(std::string());
}

std::string NormalizeToGbk(std::string_view utf8) {
  return GbkToUtf8(Utf8ToGbk(utf8));
}

bool WriteTextFileInEncoding(const std::filesystem::path& path, std::string_view utf8Text,
                             std::string_view encoding) {
  const std::optional<std::string> bytes = FromUtf8(utf8Text, encoding);
  if (!bytes) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace tarnwick
