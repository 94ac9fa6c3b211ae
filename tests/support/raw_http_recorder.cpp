#include "support/raw_http_recorder.h"

#include <cstdlib>

namespace tarnwick::testing {

RawHttpRecorder::RawHttpRecorder(std::string reply) : reply_(std::move(reply)) {}

std::vector<RawRequest> RawHttpRecorder::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void RawHttpRecorder::HandleConnection(Socket connection) {
  std::string received;
  char buffer[4096];
  std::size_t headEnd = std::string::npos;
  std::size_t bodyLength = 0;
  while (true) {
    if (!WaitReadable(connection, 2000)) return;
    const long n = ReceiveSome(connection, buffer, sizeof buffer);
    if (n <= 0) break;
    received.append(buffer, static_cast<std::size_t>(n));
    if (headEnd == std::string::npos &&
        (headEnd = received.find("\r\n\r\n")) != std::string::npos) {
      const std::size_t at = received.find("\r\nContent-Length:");
      if (at != std::string::npos && at < headEnd)
        bodyLength = std::strtoul(received.c_str() + at + 17, nullptr, 10);
    }
    if (headEnd != std::string::npos && received.size() >= headEnd + 4 + bodyLength) break;
  }
  if (headEnd == std::string::npos) return;
  RawRequest request;
  std::size_t start = 0;
  bool first = true;
  while (start < headEnd) {
    std::size_t end = received.find("\r\n", start);
    if (end > headEnd) end = headEnd;
    std::string line = received.substr(start, end - start);
    if (first)
      request.requestLine = std::move(line);
    else
      request.headerLines.push_back(std::move(line));
    first = false;
    start = end + 2;
  }
  request.body = received.substr(headEnd + 4);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  }
  SendAll(connection, reply_.data(), reply_.size());
}

}  // namespace tarnwick::testing
