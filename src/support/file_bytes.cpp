#include "support/file_bytes.h"

#include "support/file_io.h"
#include "support/paths.h"

namespace tarnwick {

std::string ReadPictureFile(std::string_view path, std::size_t maxBytes) {
  return ReadRegularFile(Utf8Path(path), maxBytes).bytes;
}

}  // namespace tarnwick
