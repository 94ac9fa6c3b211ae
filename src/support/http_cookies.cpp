#include "support/http_cookies.h"

#include <algorithm>
#include <vector>

#include "support/text_helpers.h"

namespace tarnwick {
namespace {

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, start)) {
    parts.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string joined;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) joined += separator;
    joined += parts[i];
  }
  return joined;
}

std::string CookieName(std::string_view part) {
  return Trim(part.substr(0, part.find('=')));
}

std::vector<std::string> CookieParts(std::string_view text) {
  const std::string squeezed = ReplaceAll(ReplaceAll(text, " ", ""), "\xE3\x80\x80", "");
  std::vector<std::string> parts = Split(squeezed, ";");
  if (!parts.empty() && parts.back().empty()) parts.pop_back();
  return parts;
}

}  // namespace

std::string NormalizeSetCookieNames(std::string_view rawHeaders) {
  return ReplaceAllIgnoringCase(rawHeaders, "set-cookie", "Set-Cookie");
}

std::string CollectCookies(std::string_view rawHeaders) {
  std::string cookies;
  for (const std::string& line : Split(rawHeaders, "\r\n")) {
    if (line.find("Set-Cookie") == std::string::npos) continue;
    const std::string value = line.find(';') != std::string::npos
                                  ? Trim(TextBetween(line, "Set-Cookie:", ";"))
                                  : Trim(ReplaceAllIgnoringCase(line, "Set-Cookie:", ""));
    cookies += value;
    cookies += "; ";
  }
  if (!cookies.empty()) cookies.resize(cookies.size() - 2);
  return cookies;
}

std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies) {
  std::vector<std::string> merged = CookieParts(newCookies);
  std::vector<std::string> newNames;
  for (const std::string& part : merged) newNames.push_back(CookieName(part));
  // The list grows as old parts join it, so an old name repeated is kept only once.
  for (const std::string& part : CookieParts(oldCookies)) {
    const std::string name = CookieName(part);
    if (std::find(newNames.begin(), newNames.end(), name) == newNames.end()) {
      merged.push_back(part);
      newNames.push_back(name);
    }
  }
  std::vector<std::string> kept;
  for (const std::string& part : merged) {
    if (part.size() >= 8 && std::string_view(part).substr(part.size() - 8) == "=deleted") continue;
    if (std::find(kept.begin(), kept.end(), part) == kept.end()) kept.push_back(part);
  }
  return Join(kept, "; ");
}

}  // namespace tarnwick
