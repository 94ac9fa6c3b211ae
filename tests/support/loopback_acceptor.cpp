#include "support/loopback_acceptor.h"

#include <stdexcept>

namespace tarnwick::testing {

LoopbackAcceptor::LoopbackAcceptor(Handler handler) : handler_(std::move(handler)) {
  StartSockets();
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ == kNoSocket ||
      bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener_ != kNoSocket) CloseSocket(listener_);
    throw std::runtime_error("could not listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackAcceptor::~LoopbackAcceptor() {
  stopping_ = true;
  thread_.join();
  CloseSocket(listener_);
}

void LoopbackAcceptor::Serve() {
  while (!stopping_) {
    if (!WaitReadable(listener_, 20)) continue;
    const Socket connection = accept(listener_, nullptr, nullptr);
    if (connection == kNoSocket) continue;
    handler_(connection);
    CloseSocket(connection);
  }
}

}  // namespace tarnwick::testing
