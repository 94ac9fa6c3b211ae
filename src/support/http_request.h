#pragma once
// One complete, synchronous HTTP exchange on libcurl: the request goes out with the program's
// fixed header block, the whole reply body comes back as bytes (empty on failure), and the raw
// reply headers and the cookies they set can be captured. Nothing survives a call: no
// connection, cache or cookie store is kept between calls.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

enum HttpMethod : int { kHttpGet = 0, kHttpPost = 1, kHttpHead = 2 };

// Far above any reply of the service; a caller that downloads a picture sets its own limit.
inline constexpr std::size_t kDefaultMaxReplyBytes = 32u << 20;

// The ten arguments of an exchange. An output pointer left null is an omitted argument; for
// `cookies` that difference matters (a supplied store switches the routine's own cookie
// handling on, even when it is empty).
struct HttpRequestArgs {
  std::string_view url = {};       // "http://" or "https://" address, query included
  int method = kHttpGet;           // values outside 0..2 send a GET
  std::string_view postText = {};  // body, used when postBytes is empty
  std::string* cookies = nullptr;  // in: cookies to send; out: the merged cookies
  std::string* returnedCookies = nullptr;
  std::string_view extraHeaders = {};  // extra request header lines joined by "\r\n"
  std::string* returnedHeaders = nullptr;
  bool noRedirect = false;
  std::string_view postBytes = {};
  std::string_view proxy = {};  // "host:port"; empty for a direct connection
  // A reply body longer than this is a failed exchange (empty result), stopped as soon as it
  // passes the limit so that it never sits whole in memory.
  std::size_t maxReplyBytes = kDefaultMaxReplyBytes;
};

// How this machine reaches the network. Certificates are always verified; `caFile` adds
// trusted certificates (PEM) to the system's own, e.g. for a service run on this machine.
// A dead host must not hang the window forever: connecting gives up after
// `connectTimeoutSeconds`, a transfer after `stallTimeoutSeconds` without a single byte
// moving, and any exchange after `totalTimeoutSeconds` (room for a 4 MiB picture on a slow
// line).
struct HttpTransport {
  std::string caFile = {};
  long connectTimeoutSeconds = 15;
  long stallTimeoutSeconds = 30;
  long totalTimeoutSeconds = 300;
};

std::string HttpRequest(const HttpRequestArgs& args, const HttpTransport& transport = {});

// The parts of the request that the exchange derives from its arguments.
std::string RequestAgent(std::string_view extraHeaders);
std::string ComposeRequestHeaders(std::string_view extraHeaders, std::string_view url,
                                  std::string_view cookies);

}  // namespace tarnwick
