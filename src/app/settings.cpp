#include "app/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <vector>

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

// What reading the file found: its bytes, no file at all, or a file that is there but could
// not be read (no permission, not a regular file, a read error). The last must never be
// replaced, or the user's keys would be lost with it.
struct FileContents {
  enum class State { Read, Missing, Unreadable } state = State::Unreadable;
  std::string bytes;
};

FileContents ReadBytes(const std::filesystem::path& path) {
  // O_NONBLOCK: a pipe put where the file should be must not hang the window.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return {errno == ENOENT ? FileContents::State::Missing : FileContents::State::Unreadable, {}};
  }
  FileContents contents;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::size_t>(info.st_size) <= kMaxSettingsBytes) {
    char buffer[8192];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got == 0) {
        contents.state = FileContents::State::Read;
        break;
      }
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 || contents.bytes.size() + static_cast<std::size_t>(got) > kMaxSettingsBytes) {
        break;
      }
      contents.bytes.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  if (contents.state != FileContents::State::Read) contents.bytes.clear();
  return contents;
}

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

bool WriteAll(int fd, const std::string& bytes) {
  for (std::size_t written = 0; written < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// For a file the user may write in a folder they may not: rewrite the file itself. Should the
// write break off, the old bytes are put back as well as the disk allows.
bool RewriteInPlace(const std::filesystem::path& path, const std::string& bytes,
                    const std::string& previous) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok) {
    ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
         ::fsync(fd) == 0;
    if (!ok && ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, previous)) {
      [[maybe_unused]] const int ignored = ::ftruncate(fd, static_cast<off_t>(previous.size()));
    }
  }
  ok = ::close(fd) == 0 && ok;
  return ok;
}

enum class Replaced { Yes, NoRoomBeside, No };

// Writes a new file beside the old one and renames it over the old, so the keys are never
// left half-written.
Replaced ReplaceFile(const std::filesystem::path& path, const std::string& bytes) {
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;
  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0)
    return errno == EACCES || errno == EPERM || errno == EROFS ? Replaced::NoRoomBeside
                                                               : Replaced::No;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes);
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok ? Replaced::Yes : Replaced::No;
}

}  // namespace

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key,
                                      std::string_view fallback) const {
  const FileContents file = ReadBytes(path_);
  if (file.state != FileContents::State::Read) return std::string(fallback);
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
  const FileContents file = ReadBytes(path_);
  if (file.state == FileContents::State::Unreadable) return false;
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
  const Replaced replaced = ReplaceFile(path_, out);
  if (replaced == Replaced::NoRoomBeside && file.state == FileContents::State::Read) {
    return RewriteInPlace(path_, out, file.bytes);
  }
  return replaced == Replaced::Yes;
}

}  // namespace tarnwick
