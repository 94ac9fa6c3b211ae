#pragma once
// A stand-in for the OCR service on 127.0.0.1 over https (throwaway certificate). It records
// every request as it arrived and answers each path from the test's script: queued replies are
// used once each, in order, and the last reply set for a path answers from then on, until a
// new reply is set for it. The token
// endpoint grants "tok-from-service" until told otherwise; other paths without replies get 404.

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/service_endpoints.h"
#include "support/local_server.h"

namespace tarnwick::testing {

struct RecordedRequest {
  std::string method;
  std::string path;
  std::string query;  // the raw text after "?", empty when none
  std::string body;
  httplib::Headers headers;
};

inline constexpr char kTokenPath[] = "/oauth/2.0/token";
inline constexpr char kGeneralBasicPath[] = "/rest/2.0/ocr/v1/general_basic";
inline constexpr char kAccurateBasicPath[] = "/rest/2.0/ocr/v1/accurate_basic";
inline constexpr char kDemoPath[] = "/aidemo";
inline constexpr char kHandwritingPath[] = "/rest/2.0/ocr/v1/handwriting";
inline constexpr char kOfficeDocumentPath[] = "/rest/2.0/ocr/v1/doc_analysis_office";
inline constexpr char kIdCardPath[] = "/rest/2.0/ocr/v1/idcard";
inline constexpr char kBankCardPath[] = "/rest/2.0/ocr/v1/bankcard";
inline constexpr char kTableSubmitPath[] = "/rest/2.0/solution/v1/form_ocr/request";
inline constexpr char kTableFetchPath[] = "/rest/2.0/solution/v1/form_ocr/get_request_result";

class FakeOcrService {
 public:
  FakeOcrService();

  // Service addresses that lead here, with the certificate trusted.
  ServiceEndpoints endpoints() const;
  std::string base() const { return server_.base(); }

  void Reply(const std::string& path, std::string body);
  std::vector<RecordedRequest> requests() const;
  std::vector<RecordedRequest> requestsTo(const std::string& path) const;

 private:
  void Handle(const httplib::Request& request, httplib::Response& response);

  LocalServer server_{Scheme::Https};
  mutable std::mutex mutex_;
  struct Replies {
    std::deque<std::string> queue;
    bool lastUsed = false;  // the one reply left has answered at least once
  };
  std::map<std::string, Replies> replies_;
  std::map<std::string, std::string> defaults_;  // until the test sets replies of its own
  std::vector<RecordedRequest> requests_;
};

}  // namespace tarnwick::testing
