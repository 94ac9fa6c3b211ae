#include "picture_fetch.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netdb.h>

#include <curl/curl.h>

#include <memory>

namespace tarnwick::service {
namespace {

bool IsLoopback(const sockaddr* address) {
  if (address->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
    return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
  }
  if (address->sa_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
    return IN6_IS_ADDR_LOOPBACK(&v6->sin6_addr);
  }
  return false;
}

// Every address the name resolves to is on this machine.
bool ResolvesToLoopbackOnly(const std::string& host) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  bool loopback = true;
  for (addrinfo* a = found; a; a = a->ai_next) loopback = loopback && IsLoopback(a->ai_addr);
  freeaddrinfo(found);
  return loopback;
}

}  // namespace

FetchProblem FetchPicture(const std::string& address, const FetchRules& rules, std::string& bytes) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), curl_url_cleanup);
  if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK) {
    return FetchProblem::BadAddress;
  }
  const auto part = [&](CURLUPart which, unsigned flags = 0) {
    char* text = nullptr;
    std::string value;
    if (curl_url_get(url.get(), which, &text, flags) == CURLUE_OK && text) value = text;
    curl_free(text);
    return value;
  };
  const std::string scheme = part(CURLUPART_SCHEME);
  const std::string bareHost = part(CURLUPART_HOST);
  const std::string user = part(CURLUPART_USER);
  if ((scheme != "http" && scheme != "https") || bareHost.empty() || !user.empty()) {
    return FetchProblem::BadAddress;
  }
  // An IPv6 host comes back in brackets; the resolver wants it bare.
  const bool bracketed = bareHost.front() == '[';
  const std::string resolvable = bracketed ? bareHost.substr(1, bareHost.size() - 2) : bareHost;
  const int port = std::stoi(part(CURLUPART_PORT, CURLU_DEFAULT_PORT));
  std::string path = part(CURLUPART_PATH);
  if (const std::string query = part(CURLUPART_QUERY); !query.empty()) path += "?" + query;
  if (path.empty()) path = "/";
  if (!rules.allowRemote && !ResolvesToLoopbackOnly(resolvable)) return FetchProblem::NotAllowed;
  const std::string host = bareHost;

  httplib::Client client(scheme + "://" + host + ":" + std::to_string(port));
  client.set_connection_timeout(3);
  client.set_read_timeout(5);
  client.set_follow_location(false);
  if (scheme == "https") {
    client.enable_server_certificate_verification(true);
    client.set_ca_cert_path(rules.caFile.empty() ? nullptr : rules.caFile.c_str(),
                            "/etc/ssl/certs");
  }
  bytes.clear();
  bool tooLarge = false;
  const httplib::Result result = client.Get(path, [&](const char* data, std::size_t size) {
    if (bytes.size() + size > rules.maxBytes) {
      tooLarge = true;
      return false;
    }
    bytes.append(data, size);
    return true;
  });
  if (tooLarge) return FetchProblem::TooLarge;
  if (!result || result->status != 200) return FetchProblem::NoAnswer;
  return FetchProblem::None;
}

}  // namespace tarnwick::service
