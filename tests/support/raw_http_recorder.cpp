#include "support/raw_http_recorder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace tarnwick::testing {

RawHttpRecorder::RawHttpRecorder(std::string reply) : reply_(std::move(reply)) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("the recorder could not listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

RawHttpRecorder::~RawHttpRecorder() {
  stopping_ = true;
  thread_.join();
  close(listener_);
}

std::vector<RawRequest> RawHttpRecorder::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void RawHttpRecorder::Serve() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, 20) <= 0) continue;
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    HandleConnection(connection);
    close(connection);
  }
}

void RawHttpRecorder::HandleConnection(int connection) {
  std::string received;
  char buffer[4096];
  std::size_t headEnd = std::string::npos;
  std::size_t bodyLength = 0;
  while (true) {
    pollfd readable{connection, POLLIN, 0};
    if (poll(&readable, 1, 2000) <= 0) return;
    const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
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
  send(connection, reply_.data(), reply_.size(), MSG_NOSIGNAL);
}

}  // namespace tarnwick::testing
