#include "app/service_endpoints.h"

#include <cstdlib>

namespace tarnwick {

ServiceEndpoints ServiceEndpoints::FromEnvironment() {
  ServiceEndpoints endpoints;
  const auto take = [](const char* name, std::string& into) {
    const char* value = std::getenv(name);
    if (value && *value) into = value;
  };
  take("TARNWICK_API_HOST", endpoints.apiHost);
  if (std::getenv("TARNWICK_API_HOST")) take("TARNWICK_API_HOST", endpoints.sampleHost);
  take("TARNWICK_SAMPLE_HOST", endpoints.sampleHost);
  take("TARNWICK_DEMO_HOST", endpoints.demoHost);
  take("TARNWICK_CA_FILE", endpoints.transport.caFile);
  return endpoints;
}

}  // namespace tarnwick
