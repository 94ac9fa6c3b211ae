#pragma once
// A plain-TCP listener on 127.0.0.1, at a port the system picks, that hands each connection in
// turn to its handler on a thread of its own until it goes away. The raw test servers build on
// it to speak (or garble) HTTP byte by byte.

#include <atomic>
#include <functional>
#include <thread>

#include "support/loopback_socket.h"

namespace tarnwick::testing {

class LoopbackAcceptor {
 public:
  using Handler = std::function<void(Socket connection)>;

  // Throws when no port can be had. The handler owns nothing: the connection is closed after it.
  explicit LoopbackAcceptor(Handler handler);
  ~LoopbackAcceptor();
  LoopbackAcceptor(const LoopbackAcceptor&) = delete;
  LoopbackAcceptor& operator=(const LoopbackAcceptor&) = delete;

  int port() const { return port_; }
  // True once the acceptor is going away: a handler that waits should give up.
  bool stopping() const { return stopping_; }

 private:
  void Serve();

  Handler handler_;
  Socket listener_ = kNoSocket;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace tarnwick::testing
