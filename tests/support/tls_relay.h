#pragma once
// TLS for the local test servers of the Windows build (Windows only). Wine's TLS cannot act as
// a server, so a Linux relay (tls_relay.py) holds the certificate and forwards every
// connection to the plain server. The relay watches a connection to this object, its
// lifeline, and ends when the object goes away or the test process dies.

#include <string>

#include "support/loopback_socket.h"
#include "support/test_certificate.h"

namespace tarnwick::testing {

class TlsRelay {
 public:
  // Throws when the relay does not come up.
  TlsRelay(const TestCertificate& certificate, int serverPort);
  ~TlsRelay();
  TlsRelay(const TlsRelay&) = delete;
  TlsRelay& operator=(const TlsRelay&) = delete;

  int port() const { return port_; }

 private:
  Socket lifeline_ = kNoSocket;
  int port_ = 0;
};

}  // namespace tarnwick::testing
