#include "support/test_certificate.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/paths.h"

#ifdef _WIN32
#include <windows.h>

#include "support/linux_program.h"
#include "support/wide_text.h"
#else
#include <unistd.h>
#endif

namespace tarnwick::testing {

namespace {

#ifdef _WIN32
// The Windows build makes its certificates with the same Linux openssl, through Wine.
std::string FreshFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  static int counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring folder = std::wstring(temp) + L"tarnwick-cert-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++counter);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return Narrow(folder);
  }
  throw std::runtime_error("no temporary folder for the test certificate");
}
std::string InFolder(const std::string& folder, const char* name) {
  return folder + "\\" + name;
}
std::string LinuxPath(const std::string& path) {
  return UnixPath(path);
}
bool RunShell(const std::string& command, const std::string& folder) {
  return RunLinuxShell(command + " >/dev/null 2>&1", folder, 60);
}
#else
std::string FreshFolder() {
  char pattern[] = "/tmp/tarnwick-cert-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (!dir) throw std::runtime_error("no temporary folder for the test certificate");
  return dir;
}
std::string InFolder(const std::string& folder, const char* name) {
  return folder + "/" + name;
}
std::string LinuxPath(const std::string& path) {
  return path;
}
bool RunShell(const std::string& command, const std::string&) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}
#endif

// The certificate's folder goes away with the test process.
struct MadeCertificate {
  TestCertificate files;
  std::string folder;
  ~MadeCertificate() {
    std::error_code ignored;
    std::filesystem::remove_all(Utf8Path(folder), ignored);
  }
};

MadeCertificate MakeCertificate(const std::string& name) {
  const std::string folder = FreshFolder();
  const TestCertificate made{InFolder(folder, "cert.pem"), InFolder(folder, "key.pem")};
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
      " -subj /CN=" +
      name + " -addext subjectAltName=DNS:" + name + (name == "localhost" ? ",IP:127.0.0.1" : "") +
      " -keyout " + LinuxPath(made.keyFile) + " -out " + LinuxPath(made.certificateFile);
  if (!RunShell(command, folder)) {
    throw std::runtime_error("openssl could not make the test certificate");
  }
  return {made, folder};
}

}  // namespace

const TestCertificate& ThrowawayCertificate() {
  static const MadeCertificate certificate = MakeCertificate("localhost");
  return certificate.files;
}

const TestCertificate& OtherNameCertificate() {
  static const MadeCertificate certificate = MakeCertificate("other.example");
  return certificate.files;
}

}  // namespace tarnwick::testing
