#pragma once
// Texts between the program (UTF-8 std::string) and wx (wxString).

#include <wx/string.h>

#include <string>
#include <string_view>

namespace tarnwick {

inline wxString ToWx(std::string_view text) {
  return wxString::FromUTF8(text.data(), text.size());
}
inline std::string FromWx(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}
// The program writes line breaks as "\r\n"; wx controls want "\n".
inline std::string WithNewlines(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace tarnwick
