#pragma once
// A throwaway self-signed certificate for "localhost" and 127.0.0.1, made once per test
// process, so that tests can run https servers on this machine and trust them explicitly.

#include <string>

namespace tarnwick::testing {

struct TestCertificate {
  std::string certificateFile;  // PEM; also the file to trust
  std::string keyFile;
};

const TestCertificate& ThrowawayCertificate();
// Made the same way, but for the name "other.example" only: a trusted certificate that does
// not name the server it is served from.
const TestCertificate& OtherNameCertificate();

}  // namespace tarnwick::testing
