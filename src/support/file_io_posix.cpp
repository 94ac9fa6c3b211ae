#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/file_io.h"

namespace tarnwick {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  for (std::size_t written = 0; written < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

FileRead ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes) {
  // O_NONBLOCK: opening a named pipe must not wait for a writer; it is refused below anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {errno == ENOENT ? FileRead::State::Missing : FileRead::State::Unreadable, {}};
  FileRead contents;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::size_t>(info.st_size) <= maxBytes) {
    contents.bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got == 0) {
        contents.state = FileRead::State::Read;
        break;
      }
      if (got < 0 && errno == EINTR) continue;
      // A file that grows past the limit while it is read is refused like one that started so.
      if (got < 0 || contents.bytes.size() + static_cast<std::size_t>(got) > maxBytes) break;
      contents.bytes.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  if (contents.state != FileRead::State::Read) contents.bytes.clear();
  return contents;
}

Replaced ReplaceFileWhole(const std::filesystem::path& path, std::string_view bytes) {
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

bool RewriteFileInPlace(const std::filesystem::path& path, std::string_view bytes,
                        std::string_view previous) {
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

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return executable.parent_path();
}

}  // namespace tarnwick
