#include "support/tls_relay.h"

#include <cstdlib>
#include <stdexcept>

#include "support/linux_program.h"

namespace tarnwick::testing {
namespace {

// A listener on 127.0.0.1 at a free port.
Socket Listen(int& port) {
  StartSockets();
  const Socket listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (listener == kNoSocket || bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener, 1) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener != kNoSocket) CloseSocket(listener);
    throw std::runtime_error("could not listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return listener;
}

}  // namespace

TlsRelay::TlsRelay(const TestCertificate& certificate, int serverPort) {
  int lifelinePort = 0;
  const Socket listener = Listen(lifelinePort);
  try {
    StartLinuxProgram(
        "/usr/bin/python3",
        {TARNWICK_TLS_RELAY_SCRIPT, UnixPath(certificate.certificateFile),
         UnixPath(certificate.keyFile), std::to_string(serverPort), std::to_string(lifelinePort)});
  } catch (...) {
    CloseSocket(listener);
    throw;
  }
  // The first start of Python in a fresh machine can take a few seconds.
  if (WaitReadable(listener, 30000)) lifeline_ = accept(listener, nullptr, nullptr);
  CloseSocket(listener);
  std::string line;
  char byte = 0;
  while (lifeline_ != kNoSocket && WaitReadable(lifeline_, 30000) &&
         ReceiveSome(lifeline_, &byte, 1) == 1 && byte != '\n') {
    line += byte;
  }
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) {
    if (lifeline_ != kNoSocket) CloseSocket(lifeline_);
    throw std::runtime_error("the TLS relay did not start");
  }
}

TlsRelay::~TlsRelay() {
  CloseSocket(lifeline_);
}

}  // namespace tarnwick::testing
