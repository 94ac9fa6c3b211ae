#include "picture_input.h"

#include <leptonica/allheaders.h>
#include <openssl/evp.h>

namespace tarnwick::service {

void PixDeleter::operator()(Pix* picture) const {
  pixDestroy(&picture);
}

std::optional<std::string> DecodeBase64Field(std::string_view field) {
  if (field.substr(0, 5) == "data:") {
    const std::size_t comma = field.find(',');
    if (comma == std::string_view::npos || field.substr(0, comma).find(";base64") == field.npos) {
      return std::nullopt;
    }
    field.remove_prefix(comma + 1);
  }
  std::string text(field);
  for (char& c : text) {
    if (c == ' ') c = '+';
  }
  std::string bytes(text.size() / 4 * 3 + 3, '\0');
  EVP_ENCODE_CTX* context = EVP_ENCODE_CTX_new();
  EVP_DecodeInit(context);
  int written = 0;
  int tail = 0;
  auto* out = reinterpret_cast<unsigned char*>(bytes.data());
  const bool ok =
      EVP_DecodeUpdate(context, out, &written, reinterpret_cast<const unsigned char*>(text.data()),
                       static_cast<int>(text.size())) >= 0 &&
      EVP_DecodeFinal(context, out + written, &tail) == 1;
  EVP_ENCODE_CTX_free(context);
  if (!ok) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(written + tail));
  return bytes;
}

PixPtr ReadPicture(const std::string& bytes, PictureProblem& problem) {
  problem = PictureProblem::NotAPicture;
  if (bytes.empty()) return nullptr;
  const auto* data = reinterpret_cast<const l_uint8*>(bytes.data());
  l_int32 format = 0, width = 0, height = 0, bps = 0, spp = 0, colormap = 0;
  if (pixReadHeaderMem(data, bytes.size(), &format, &width, &height, &bps, &spp, &colormap) != 0) {
    return nullptr;
  }
  if (width < kMinSide || height < kMinSide || width > kMaxSide || height > kMaxSide) {
    problem = PictureProblem::BadSize;
    return nullptr;
  }
  PixPtr picture(pixReadMem(data, bytes.size()));
  if (!picture) return nullptr;
  problem = PictureProblem::None;
  return picture;
}

}  // namespace tarnwick::service
