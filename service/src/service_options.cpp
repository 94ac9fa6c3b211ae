#include "service_options.h"

#include <charconv>
#include <cstdlib>
#include <thread>

#ifndef TARNWICK_SAMPLE_FOLDER
#define TARNWICK_SAMPLE_FOLDER "samples"
#endif

namespace tarnwick::service {

const char kServiceUsage[] =
    "usage: tarnwick-service [options]\n"
    "  --address A           listen address (default 127.0.0.1)\n"
    "  --port N              port, 0 for any free one (default 8443)\n"
    "  --http                plain http instead of https\n"
    "  --state-folder DIR    certificate and token secret (default "
    "~/.local/state/tarnwick-service)\n"
    "  --sample-folder DIR   the sample pictures served at the program's default addresses\n"
    "  --workers N           recognition engines working at once (default: one per core)\n"
    "  --languages L         Tesseract languages (default chi_sim+eng)\n"
    "  --accept-key AK:SK    accept only these keys for tokens (repeatable; default any pair)\n"
    "  --remote-urls         let `url` fields point to other machines (default loopback only)\n"
    "  --qps N               requests per second per access token, like the cloud (default off)\n"
    "  --demo-qps N          demo requests per second per client (default off)\n"
    "  --port-file FILE      write the port here once listening\n";

namespace {

std::filesystem::path DefaultStateFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) {
    return std::filesystem::path(state) / "tarnwick-service";
  }
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "state" /
         "tarnwick-service";
}

bool ReadCount(const std::string& text, int low, int& into) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low) return false;
  into = value;
  return true;
}

}  // namespace

ServiceOptions DefaultServiceOptions() {
  ServiceOptions options;
  options.stateFolder = DefaultStateFolder();
  options.sampleFolder = TARNWICK_SAMPLE_FOLDER;
  return options;
}

std::optional<ServiceOptions> ParseServiceOptions(const std::vector<std::string>& arguments,
                                                  std::string& problem) {
  ServiceOptions options = DefaultServiceOptions();
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    const auto value = [&](std::string& into) {
      if (i + 1 >= arguments.size()) return false;
      into = arguments[++i];
      return true;
    };
    std::string text;
    bool ok = true;
    if (name == "--http") {
      options.plainHttp = true;
    } else if (name == "--remote-urls") {
      options.remotePictureAddresses = true;
    } else if (name == "--address") {
      ok = value(options.address) && !options.address.empty();
    } else if (name == "--port") {
      ok = value(text) && ReadCount(text, 0, options.port) && options.port <= 65535;
    } else if (name == "--state-folder") {
      ok = value(text) && !text.empty();
      options.stateFolder = text;
    } else if (name == "--sample-folder") {
      ok = value(text) && !text.empty();
      options.sampleFolder = text;
    } else if (name == "--workers") {
      ok = value(text) && ReadCount(text, 1, options.workers);
    } else if (name == "--languages") {
      ok = value(options.languages) && !options.languages.empty();
    } else if (name == "--accept-key") {
      const std::size_t colon = value(text) ? text.find(':') : std::string::npos;
      ok = colon != std::string::npos && colon > 0 && colon + 1 < text.size();
      if (ok) options.acceptedKeys.emplace_back(text.substr(0, colon), text.substr(colon + 1));
    } else if (name == "--qps") {
      ok = value(text) && ReadCount(text, 0, options.keyRequestsPerSecond);
    } else if (name == "--demo-qps") {
      ok = value(text) && ReadCount(text, 0, options.demoRequestsPerSecond);
    } else if (name == "--port-file") {
      ok = value(text) && !text.empty();
      options.portFile = text;
    } else {
      problem = "unknown option " + name;
      return std::nullopt;
    }
    if (!ok) {
      problem = "bad or missing value for " + name;
      return std::nullopt;
    }
  }
  if (options.workers == 0) {
    options.workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  }
  return options;
}

}  // namespace tarnwick::service
