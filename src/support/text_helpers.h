#pragma once
// Small text routines shared by every part of the program. They know nothing of windows,
// files or the network; texts are UTF-8 byte strings unless a name says otherwise.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// Removes leading and trailing ASCII spaces and full-width spaces (U+3000), nothing else.
std::string Trim(std::string_view text);

// The text between the first `left` and the first `right` after it; empty when either is missing.
// In both markers every "#引号" stands for a double quotation mark.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right);

// Whole seconds from 1970-01-01 08:00:00 to now, both on the local clock, as decimal text.
// Equals Unix time on a machine whose zone is UTC+8.
std::string UnixTimestamp();
std::string UnixTimestampAt(std::int64_t unixSeconds);

// Percent-encoding for a form value: letters, digits and "-", "_", ".", "~" stay; every other
// byte becomes "%" and two upper-case hexadecimal digits.
std::string UrlEncode(std::string_view text);
// The same, appended to `out` (a large body is built without copying it again).
void AppendUrlEncoded(std::string& out, std::string_view text);

// ASCII-only case helpers: the program's markers and addresses are ASCII, and multi-byte
// characters must pass through untouched.
std::string AsciiLower(std::string_view text);
// Position of `needle` in `haystack` from `from`, ignoring ASCII letter case; npos when absent.
std::size_t FindIgnoringCase(std::string_view haystack, std::string_view needle,
                             std::size_t from = 0);
// Every occurrence of `from` (any letter case) replaced by `to`.
std::string ReplaceAllIgnoringCase(std::string_view text, std::string_view from,
                                   std::string_view to);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Whether `text` fits a file-name pattern in which "*" stands for any run of bytes and "?"
// for any one byte, ignoring ASCII letter case, the way the file systems the program runs on
// compare names.
bool MatchesWildcard(std::string_view text, std::string_view pattern);

}  // namespace tarnwick
