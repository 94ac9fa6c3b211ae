#pragma once
// Turns what a client sends into a picture: the base64 text of an `image` field (with or
// without a data-URL prefix) into bytes, and bytes into a Leptonica picture, whatever the file's
// name claims (BMP bytes under a .png name included). Nothing here trusts the input.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct Pix;

namespace tarnwick::service {

struct PixDeleter {
  void operator()(Pix* picture) const;
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

// The bytes of a base64 field, or nothing when it is not base64. A "data:...;base64," prefix
// is dropped; spaces stand for "+" signs that a form decoder turned into spaces.
std::optional<std::string> DecodeBase64Field(std::string_view field);

enum class PictureProblem { None, NotAPicture, BadSize };

// The cloud's limits, which the program's window also states: base64 text up to 4 MB, sides of
// 15 to 4096 pixels. Sizes are checked before any pixel is decoded.
inline constexpr std::size_t kMaxBase64Bytes = 4 * 1024 * 1024;
inline constexpr int kMinSide = 15;
inline constexpr int kMaxSide = 4096;

PixPtr ReadPicture(const std::string& bytes, PictureProblem& problem);

}  // namespace tarnwick::service
