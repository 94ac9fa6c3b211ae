#pragma once
// Windows only. The program keeps its text in UTF-8; the Win32 calls it makes take and give
// UTF-16. These two convert at that boundary. A sequence that is not valid UTF-8 or UTF-16
// becomes U+FFFD rather than ending the text.

#include <string>
#include <string_view>

namespace tarnwick {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace tarnwick
