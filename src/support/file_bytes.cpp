#include "support/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

std::string ReadPictureFile(std::string_view path, std::size_t maxBytes) {
  // O_NONBLOCK: opening a named pipe must not wait for a writer; it is refused below anyway.
  const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  std::string bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::size_t>(info.st_size) <= maxBytes) {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    while (filled < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
      if (got <= 0) break;
      filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
  }
  ::close(fd);
  return bytes;
}

}  // namespace tarnwick
