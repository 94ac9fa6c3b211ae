#pragma once
// What the request routine does the same way on every system, around the transport that
// carries the bytes (libcurl here, WinHTTP on Windows): reading its arguments into one plan,
// limiting the reply's size, and turning the reply's header block into the captured headers
// and cookies. Not for use outside the request routine.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/http_request.h"

namespace tarnwick::http_exchange {

// The reply header block is captured into room for this many characters, terminator included;
// a larger block is not captured and reads as this many spaces.
inline constexpr std::size_t kHeaderRoom = 5000;
inline constexpr int kMaxRedirects = 20;

// Where an address leads, by the program's own rules for taking addresses apart.
struct Target {
  bool secure = false;
  std::string host;  // lower case, without port
  int port = 0;
  std::string path;  // as written, query included, with raw spaces and non-ASCII bytes escaped
};

// Empty when the address names no host or no usable port.
std::optional<Target> TargetOf(std::string_view url);

struct Plan {
  int method = kHttpGet;  // always one of kHttpGet, kHttpPost, kHttpHead
  std::string_view verb;  // "GET", "POST" or "HEAD"
  Target target;
  std::string agent;
  std::vector<std::string> headerLines;  // the composed block, in order, without empty lines
  std::string_view body;                 // empty for a GET
};

// Empty when the address names no host or no usable port.
std::optional<Plan> PlanRequest(const HttpRequestArgs& args);

// The status code of a reply header block ("HTTP/1.1 302 Found" gives 302); 0 when none.
int StatusOf(std::string_view headers);

// True when `incoming` more bytes still fit under the caller's limit.
inline bool BodyFits(std::size_t held, std::size_t incoming, std::size_t maxBytes) {
  return held <= maxBytes && incoming <= maxBytes - held;
}

// Hands the exchange's outcome to the caller's outputs: the header block (blank when it is
// incomplete or too large), the cookies it sets merged into the caller's store, and the body.
std::string FinishExchange(const HttpRequestArgs& args, std::string_view rawHeaders,
                           std::string body);

}  // namespace tarnwick::http_exchange
