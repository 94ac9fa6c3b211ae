#pragma once
// File names travel through the program as UTF-8 text. std::filesystem reads a narrow string
// in the system's code page, which on Windows is not UTF-8, so every path made from text, and
// every text made from a path, goes through these two.

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

std::filesystem::path Utf8Path(std::string_view utf8);
std::string PathText(const std::filesystem::path& path);

}  // namespace tarnwick
