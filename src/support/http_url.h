#pragma once
// How a request address is taken apart: the host to connect to, its port, and the path that
// goes on the request line. These rules are the program's own (not a URL parser's): a host is
// always lower case, and a query written straight after the host is not sent.

#include <string>
#include <string_view>

namespace tarnwick {

enum class KeepPort { No, Yes };

std::string UrlHost(std::string_view url, KeepPort keepPort);
int UrlPort(std::string_view url);
std::string UrlPath(std::string_view url);

// True when the address begins with "https://" in any letter case.
bool IsSecureUrl(std::string_view url);

}  // namespace tarnwick
