#include "app/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "support/gbk_text.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

// The file is handled as GBK bytes throughout, so lines this program does not touch keep
// their exact bytes. "[", "]" and "=" never occur inside a GBK character's first byte, and
// section and key names are compared as whole trimmed lines, so no trail byte can mislead.
struct Line {
  std::string text;    // without its line break
  std::string ending;  // "\r\n", "\n" or empty for the last line
};

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
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
  return AsciiLower(a) == AsciiLower(b);
}

// The section a line opens, if it is a section header.
std::optional<std::string> SectionOf(const Line& line) {
  const std::string text = TrimBlanks(line.text);
  if (text.size() < 2 || text.front() != '[') return std::nullopt;
  const std::size_t close = text.find(']');
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

bool ReplaceFile(const std::filesystem::path& path, const std::string& bytes) {
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;
  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0;
  for (std::size_t written = 0; ok && written < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    ok = n > 0;
    if (ok) written += static_cast<std::size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key,
                                      std::string_view fallback) const {
  const std::optional<std::string> bytes = ReadBytes(path_);
  if (!bytes) return std::string(fallback);
  const std::vector<Line> lines = SplitLines(*bytes);
  const Location found = Locate(lines, Utf8ToGbk(section), Utf8ToGbk(key));
  if (!found.key) return std::string(fallback);
  const std::string& line = lines[*found.key].text;
  return GbkToUtf8(TrimBlanks(std::string_view(line).substr(line.find('=') + 1)));
}

bool SettingsFile::WriteSetting(std::string_view section, std::string_view key,
                                std::string_view value) {
  const std::string gbkSection = Utf8ToGbk(section);
  const std::string gbkKey = Utf8ToGbk(key);
  const std::string entry = gbkKey + "=" + Utf8ToGbk(value);
  const std::optional<std::string> bytes = ReadBytes(path_);
  std::vector<Line> lines = SplitLines(bytes.value_or(std::string()));
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
  return ReplaceFile(path_, out);
}

}  // namespace tarnwick
