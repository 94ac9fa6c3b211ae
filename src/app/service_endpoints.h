#pragma once
// Where the OCR service is reached. The real hosts are the default; TARNWICK_API_HOST and
// TARNWICK_DEMO_HOST (each host[:port]) point the program elsewhere at run time, and
// TARNWICK_CA_FILE adds trusted certificates, so that a service on this machine can stand in
// for the cloud over https. The sample pictures that the address boxes offer live on the
// service's static host; a service pointed to with TARNWICK_API_HOST serves them itself, and
// TARNWICK_SAMPLE_HOST names another host for them.

#include <string>

#include "support/http_request.h"

namespace tarnwick {

struct ServiceEndpoints {
  std::string apiHost = "aip.baidubce.com";    // OAuth and REST endpoints
  std::string demoHost = "ai.baidu.com";       // the public demonstration endpoint
  std::string sampleHost = "ai.bdstatic.com";  // the sample pictures offered in address boxes
  HttpTransport transport;

  static ServiceEndpoints FromEnvironment();

  std::string ApiAddress(std::string_view path) const {
    return "https://" + apiHost + std::string(path);
  }
  std::string DemoAddress(std::string_view path) const {
    return "https://" + demoHost + std::string(path);
  }
  std::string GeneralBasicAddress() const { return ApiAddress("/rest/2.0/ocr/v1/general_basic"); }
  // A sample picture's address: its path on the sample host.
  std::string SampleAddress(std::string_view path) const {
    return "https://" + sampleHost + std::string(path);
  }
  std::string AccurateBasicAddress() const { return ApiAddress("/rest/2.0/ocr/v1/accurate_basic"); }
};

}  // namespace tarnwick
