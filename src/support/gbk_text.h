#pragma once
// Code-page work at the program's edges. Texts live as UTF-8 inside the program; GBK (Windows
// code page 936) is produced where stored files and peers see it, and service replies are
// narrowed to what GBK can hold, as the program has always shown them.

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

// UTF-8 bytes to GBK bytes. The text ends at the first NUL; a character GBK cannot hold, or a
// byte that is not valid UTF-8, becomes "?". Empty in, empty out.
std::string Utf8ToGbk(std::string_view utf8);

// GBK bytes to UTF-8 without a byte-order mark; a byte sequence that is not GBK becomes "?".
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 text holding exactly what Utf8ToGbk would leave visible: the same "?" replacements and
// the same end at the first NUL. Every service reply passes through this before use.
std::string NormalizeToGbk(std::string_view utf8);

// Creates or replaces the file with the text in the named encoding ("GBK" or "UTF-8", or any
// name iconv knows). Returns false when the file could not be written.
bool WriteTextFileInEncoding(const std::filesystem::path& path, std::string_view utf8Text,
                             std::string_view encoding);

}  // namespace tarnwick
