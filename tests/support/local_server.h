#pragma once
// An httplib server on 127.0.0.1 at a free port, plain or TLS with the throwaway certificate,
// serving on its own thread for the life of the object.

#include <httplib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "support/test_certificate.h"

namespace tarnwick::testing {

enum class Scheme { Http, Https };

class LocalServer {
 public:
  explicit LocalServer(Scheme scheme = Scheme::Http)
      : LocalServer(scheme, ThrowawayCertificate()) {}
  LocalServer(Scheme scheme, const TestCertificate& certificate) : scheme_(scheme) {
    if (scheme == Scheme::Https) {
      server_ = std::make_unique<httplib::SSLServer>(certificate.certificateFile.c_str(),
                                                     certificate.keyFile.c_str());
    } else {
      server_ = std::make_unique<httplib::Server>();
    }
  }
  ~LocalServer() { Stop(); }
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  // Routes are added on server() before Start.
  httplib::Server& server() { return *server_; }

  void Start() {
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // A stop() that comes before the loop runs is lost and the join never returns.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Stop() {
    if (!thread_.joinable()) return;
    server_->stop();
    thread_.join();
  }

  int port() const { return port_; }
  // "http://127.0.0.1:port" or "https://localhost:port" (the name the certificate carries).
  std::string base() const {
    return scheme_ == Scheme::Https ? "https://localhost:" + std::to_string(port_)
                                    : "http://127.0.0.1:" + std::to_string(port_);
  }

 private:
  Scheme scheme_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace tarnwick::testing
