#pragma once
// A plain-TCP HTTP listener on 127.0.0.1 that keeps every request exactly as it arrived (the
// request line, the header lines in their order, the body bytes) and answers each with one
// canned reply. Full HTTP servers hand headers over re-sorted; this one does not.

#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_acceptor.h"

namespace tarnwick::testing {

struct RawRequest {
  std::string requestLine;
  std::vector<std::string> headerLines;
  std::string body;
};

class RawHttpRecorder {
 public:
  explicit RawHttpRecorder(std::string reply =
                               "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"
                               "Connection: close\r\n\r\nok");
  RawHttpRecorder(const RawHttpRecorder&) = delete;
  RawHttpRecorder& operator=(const RawHttpRecorder&) = delete;

  int port() const { return acceptor_.port(); }
  std::vector<RawRequest> requests() const;

 private:
  void HandleConnection(Socket connection);

  std::string reply_;
  mutable std::mutex mutex_;
  std::vector<RawRequest> requests_;
  LoopbackAcceptor acceptor_{[this](Socket connection) { HandleConnection(connection); }};
};

}  // namespace tarnwick::testing
