#pragma once
// What the tests of the whole program against the service share: addresses that lead the
// program to a running service, and the recognised lines of its output box.

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/service_endpoints.h"
#include "running_service.h"

namespace tarnwick::service::testing {

inline ServiceEndpoints EndpointsOf(const RunningService& running) {
  ServiceEndpoints endpoints;
  endpoints.apiHost = endpoints.demoHost = endpoints.sampleHost = running.host();
  endpoints.transport.caFile = running.certificate();
  return endpoints;
}

// The recognised lines of the output box: the banner, header, empty and notice lines left out.
inline std::vector<std::string> OutputLines(const std::string& output) {
  std::vector<std::string> lines;
  std::size_t start = output.find(kBanner) == 0 ? std::string(kBanner).size() : 0;
  while (start < output.size()) {
    std::size_t end = output.find("\r\n", start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.rfind("--------", 0) != 0) lines.push_back(std::move(line));
    start = end + 2;
  }
  return lines;
}

}  // namespace tarnwick::service::testing
