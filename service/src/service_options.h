#pragma once
// What the local OCR service is told on its command line. It knows nothing of how the options
// are used; the service reads them once at start.

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::service {

struct ServiceOptions {
  std::string address = "127.0.0.1";
  int port = 8443;  // 0 picks a free port
  bool plainHttp = false;
  // Holds the certificate made on first start and the secret that signs access tokens.
  std::filesystem::path stateFolder;
  std::filesystem::path sampleFolder;
  int workers = 0;  // recognition engines; 0 means one per core
  std::string languages = "chi_sim+eng";
  // API Key and Secret Key pairs that get a token; empty accepts any non-empty pair.
  std::vector<std::pair<std::string, std::string>> acceptedKeys;
  bool remotePictureAddresses = false;  // a `url` may point off this machine
  int keyRequestsPerSecond = 0;         // per access token; 0 is no limit
  int demoRequestsPerSecond = 0;        // per client address; 0 is no limit
  std::filesystem::path portFile;       // receives the port once the service listens
};

// The default folders: state under $XDG_STATE_HOME (or ~/.local/state), samples as built.
ServiceOptions DefaultServiceOptions();

// Reads the command line over the defaults. On a mistake, returns nothing and sets `problem`.
std::optional<ServiceOptions> ParseServiceOptions(const std::vector<std::string>& arguments,
                                                  std::string& problem);

extern const char kServiceUsage[];

}  // namespace tarnwick::service
