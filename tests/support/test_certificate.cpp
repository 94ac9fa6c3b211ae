#include "support/test_certificate.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarnwick::testing {

namespace {

TestCertificate MakeCertificate(const std::string& name) {
  char pattern[] = "/tmp/tarnwick-cert-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (!dir) throw std::runtime_error("no temporary folder for the test certificate");
  TestCertificate made{std::string(dir) + "/cert.pem", std::string(dir) + "/key.pem"};
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
      " -subj /CN=" +
      name + " -addext subjectAltName=DNS:" + name + (name == "localhost" ? ",IP:127.0.0.1" : "") +
      " -keyout " + made.keyFile + " -out " + made.certificateFile + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    throw std::runtime_error("openssl could not make the test certificate");
  }
  return made;
}

}  // namespace

const TestCertificate& ThrowawayCertificate() {
  static const TestCertificate certificate = MakeCertificate("localhost");
  return certificate;
}

const TestCertificate& OtherNameCertificate() {
  static const TestCertificate certificate = MakeCertificate("other.example");
  return certificate;
}

}  // namespace tarnwick::testing
