#pragma once
// Reading a picture the user picked: only a regular file is read, and only up to a size far
// above what the service accepts. Anything else (a folder, a pipe, a device, a missing or
// unreadable file, a file too large) gives no bytes, so a wrong pick can neither block the
// window nor exhaust memory.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

// The largest picture the program reads or downloads. The service takes pictures of a few
// megabytes; anything beyond this is certainly not one it would accept.
inline constexpr std::size_t kMaxPictureBytes = 16u << 20;

std::string ReadPictureFile(std::string_view path, std::size_t maxBytes = kMaxPictureBytes);

}  // namespace tarnwick
