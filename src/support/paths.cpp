#include "support/paths.h"

namespace tarnwick {

std::filesystem::path Utf8Path(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::string_view FileNamePart(std::string_view path) {
#ifdef _WIN32
  constexpr std::string_view kSeparators = "\\/";
#else
  constexpr std::string_view kSeparators = "/";
#endif
  const std::size_t separator = path.find_last_of(kSeparators);
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace tarnwick
