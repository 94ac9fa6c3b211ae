#pragma once
// An httplib server on 127.0.0.1 at a free port, plain or TLS with the throwaway certificate,
// serving on its own thread for the life of the object. On Windows the TLS is a relay's, in
// front of the plain server (see tls_relay.h).

#include <httplib.h>
#ifdef _WIN32
// httplib brings in windows.h, whose macros would rename the program's own members of the same
// names (SetWindowText into SetWindowTextW) in every test that reaches this header.
#undef DrawText
#undef GetObject
#undef SetWindowText
#endif

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "support/test_certificate.h"
#ifdef _WIN32
#include "support/tls_relay.h"
#endif

namespace tarnwick::testing {

enum class Scheme { Http, Https };

class LocalServer {
 public:
  explicit LocalServer(Scheme scheme = Scheme::Http)
      : LocalServer(scheme, ThrowawayCertificate()) {}
  LocalServer(Scheme scheme, const TestCertificate& certificate)
      : scheme_(scheme), certificate_(certificate), server_(MakeServer(scheme, certificate)) {}
  ~LocalServer() { Stop(); }
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  // Routes are added on server() before Start.
  httplib::Server& server() { return *server_; }

  void Start() {
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // A stop that comes before the server runs is ignored, and the join in Stop would then wait
    // forever: a test that makes no request can end that quickly.
    while (port_ > 0 && !server_->is_running()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (scheme_ == Scheme::Https && port_ > 0) StartRelay();
  }
  void Stop() {
    StopRelay();
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
  static std::unique_ptr<httplib::Server> MakeServer(
      [[maybe_unused]] Scheme scheme, [[maybe_unused]] const TestCertificate& certificate) {
#ifndef _WIN32
    if (scheme == Scheme::Https) {
      return std::make_unique<httplib::SSLServer>(certificate.certificateFile.c_str(),
                                                  certificate.keyFile.c_str());
    }
#endif
    return std::make_unique<httplib::Server>();
  }

#ifdef _WIN32
  // Clients reach the relay, which passes their bytes on to the plain server.
  void StartRelay() {
    relay_ = std::make_unique<TlsRelay>(certificate_, port_);
    port_ = relay_->port();
  }
  void StopRelay() {
    relay_.reset();
  }
  std::unique_ptr<TlsRelay> relay_;
#else
  void StartRelay() {}
  void StopRelay() {}
#endif

  Scheme scheme_;
  TestCertificate certificate_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace tarnwick::testing
