#include "app/settings.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "support/file_io.h"
#include "support/gbk_text.h"

namespace tarnwick {
namespace {

// The file is handled as GBK bytes throughout, so lines this program does not touch keep
// their exact bytes. A GBK character's second byte may look like "[", "]" or an ASCII letter,
// so names are scanned one character at a time: only single-byte characters can close a
// section name or fold their letter case.
struct Line {
  std::string text;    // without its line break
  std::string ending;  // "\r\n", "\n" or empty for the last line
};

// A settings file far larger than this was not written by the program; it is left alone.
constexpr std::size_t kMaxSettingsBytes = 16u << 20;

// Bytes of one GBK character starting at `at`: two for a lead byte with its trail byte.
std::size_t GbkCharacterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  return lead >= 0x81 && lead <= 0xFE && at + 1 < text.size() ? 2 : 1;
}

// Position of the single-byte character `c` in GBK text, never a trail byte; npos if absent.
std::size_t FindGbkCharacter(std::string_view text, char c) {
  for (std::size_t at = 0; at < text.size(); at += GbkCharacterLength(text, at)) {
    if (text[at] == c) return at;
  }
  return std::string_view::npos;
}

// Lower case for the single-byte letters only; double-byte characters stay as they are.
std::string GbkLower(std::string_view text) {
  std::string lower(text);
  for (std::size_t at = 0; at < lower.size();) {
    const std::size_t length = GbkCharacterLength(lower, at);
    if (length == 1 && lower[at] >= 'A' && lower[at] <= 'Z') lower[at] += 'a' - 'A';
    at += length;
  }
  return lower;
}

// A value always stays on its own line: line breaks in it (from a service reply, say) would
// otherwise write new keys and sections into the user's file. CR and LF never occur inside a
// GBK character, so dropping them cannot split one.
std::string OneLine(std::string_view gbk) {
  std::string line;
  for (const char c : gbk) {
    if (c != '\r' && c != '\n') line += c;
  }
  return line;
}

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    const bool crlf = end > start && bytes[end - 1] == '\r';
    lines.push_back({bytes.substr(start, end - start - (crlf ? 1 : 0)), crlf ? "\r\n" : "\n"});
    start = end + 1;
  }
  return lines;
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

bool SameName(std::string_view a, std::string_view b) {
  return GbkLower(a) == GbkLower(b);
}

// The section a line opens, if it is a section header.
std::optional<std::string> SectionOf(const Line& line) {
  const std::string text = TrimBlanks(line.text);
  if (text.size() < 2 || text.front() != '[') return std::nullopt;
  const std::size_t close = FindGbkCharacter(text, ']');
  if (close == std::string::npos) return std::nullopt;
  return TrimBlanks(std::string_view(text).substr(1, close - 1));
}

bool IsKeyLine(const Line& line, std::string_view key) {
  const std::size_t equals = line.text.find('=');
  return equals != std::string::npos &&
         SameName(TrimBlanks(std::string_view(line.text).substr(0, equals)), key);
}

struct Location {
  std::optional<std::size_t> section;  // the header line
  std::size_t sectionEnd = 0;          // one past its last non-blank line
  std::optional<std::size_t> key;
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location found;
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const std::optional<std::string> name = SectionOf(lines[i])) {
      if (inside) break;
      inside = SameName(*name, section);
      if (inside) {
        found.section = i;
        found.sectionEnd = i + 1;
      }
      continue;
    }
    if (!inside) continue;
    if (!TrimBlanks(lines[i].text).empty()) found.sectionEnd = i + 1;
    if (!found.key && IsKeyLine(lines[i], key)) found.key = i;
  }
  return found;
}

}  // namespace

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key,
                                      std::string_view fallback) const {
  const FileRead file = ReadRegularFile(path_, kMaxSettingsBytes);
  if (file.state != FileRead::State::Read) return std::string(fallback);
  const std::vector<Line> lines = SplitLines(file.bytes);
  const Location found = Locate(lines, Utf8ToGbk(section), Utf8ToGbk(key));
  if (!found.key) return std::string(fallback);
  const std::string& line = lines[*found.key].text;
  return GbkToUtf8(TrimBlanks(std::string_view(line).substr(line.find('=') + 1)));
}

bool SettingsFile::WriteSetting(std::string_view section, std::string_view key,
                                std::string_view value) {
  const std::string gbkSection = OneLine(Utf8ToGbk(section));
  const std::string gbkKey = OneLine(Utf8ToGbk(key));
  const std::string entry = gbkKey + "=" + OneLine(Utf8ToGbk(value));
  const FileRead file = ReadRegularFile(path_, kMaxSettingsBytes);
  if (file.state == FileRead::State::Unreadable) return false;
  std::vector<Line> lines = SplitLines(file.bytes);
  const Location found = Locate(lines, gbkSection, gbkKey);
  if (found.key) {
    lines[*found.key].text = entry;
  } else if (found.section) {
    if (lines[found.sectionEnd - 1].ending.empty()) lines[found.sectionEnd - 1].ending = "\r\n";
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found.sectionEnd), {entry, "\r\n"});
  } else {
    if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = "\r\n";
    lines.push_back({"[" + gbkSection + "]", "\r\n"});
    lines.push_back({entry, "\r\n"});
  }
  std::string out;
  for (const Line& line : lines) out += line.text + line.ending;
  const Replaced replaced = ReplaceFileWhole(path_, out);
  if (replaced == Replaced::NoRoomBeside && file.state == FileRead::State::Read) {
    return RewriteFileInPlace(path_, out, file.bytes);
  }
  return replaced == Replaced::Yes;
}

}  // namespace tarnwick
