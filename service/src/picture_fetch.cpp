#include "picture_fetch.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netdb.h>

#include <regex>

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
  static const std::regex pattern(
      R"(^(https?)://(\[[0-9A-Fa-f:.]+\]|[A-Za-z0-9._~-]+)(?::(\d{1,5}))?([/?][^\s#]*)?(#.*)?$)");
  std::smatch parts;
  if (!std::regex_match(address, parts, pattern)) return FetchProblem::BadAddress;
  const std::string scheme = parts.str(1);
  std::string host = parts.str(2);
  const std::string bareHost = host.front() == '[' ? host.substr(1, host.size() - 2) : host;
  const int port = parts[3].matched ? std::stoi(parts.str(3)) : (scheme == "https" ? 443 : 80);
  if (port <= 0 || port > 65535) return FetchProblem::BadAddress;
  const std::string path = parts[4].matched ? parts.str(4) : "/";
  if (!rules.allowRemote && !ResolvesToLoopbackOnly(bareHost)) return FetchProblem::NotAllowed;

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
