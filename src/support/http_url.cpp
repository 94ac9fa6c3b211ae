#include "support/http_url.h"

#include <cstdlib>

#include "support/text_helpers.h"

namespace tarnwick {

bool IsSecureUrl(std::string_view url) {
  return AsciiLower(url.substr(0, 8)) == "https://";
}

std::string UrlHost(std::string_view url, KeepPort keepPort) {
  std::string text = AsciiLower(url);
  if (!text.ends_with('/')) text += '/';
  std::string marker = "https://";
  if (!text.starts_with("https://")) {
    marker = "http://";
    if (text.find("http://") == std::string::npos) text.insert(0, "http://");
  }
  std::string host = TextBetween(text, marker, "/");
  if (keepPort == KeepPort::No) host = host.substr(0, host.find(':'));
  return host;
}

int UrlPort(std::string_view url) {
  const std::string host = UrlHost(url, KeepPort::Yes);
  const std::size_t colon = host.rfind(':');
  if (colon != std::string::npos) return std::atoi(host.c_str() + colon + 1);
  return AsciiLower(url.substr(0, 5)) == "https" ? 443 : 80;
}

namespace {

// Where the host may start: after the scheme marker UrlHost took it from, so that a short host
// ("t", "s", "h") is not found inside the scheme itself.
std::size_t HostSearchStart(std::string_view url) {
  if (AsciiLower(url.substr(0, 8)) == "https://") return 8;
  const std::size_t marker = FindIgnoringCase(url, "http://");
  return marker == std::string_view::npos ? 0 : marker + 7;
}

}  // namespace

std::string UrlPath(std::string_view url) {
  const std::size_t hostAt =
      FindIgnoringCase(url, UrlHost(url, KeepPort::No), HostSearchStart(url));
  const std::size_t slash = url.find('/', hostAt == std::string_view::npos ? 0 : hostAt);
  if (slash == std::string_view::npos) return "/";
  return std::string(url.substr(slash));
}

}  // namespace tarnwick
