#include "support/fake_ocr_service.h"

namespace tarnwick::testing {

FakeOcrService::FakeOcrService() {
  const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
    Handle(request, response);
  };
  server_.server().Get(".*", handler);
  server_.server().Post(".*", handler);
  defaults_[kTokenPath] = R"({"access_token":"tok-from-service","expires_in":2592000})";
  server_.Start();
}

ServiceEndpoints FakeOcrService::endpoints() const {
  ServiceEndpoints endpoints;
  endpoints.apiHost = "localhost:" + std::to_string(server_.port());
  endpoints.demoHost = endpoints.apiHost;
  endpoints.sampleHost = endpoints.apiHost;
  endpoints.transport.caFile = ThrowawayCertificate().certificateFile;
  return endpoints;
}

void FakeOcrService::Reply(const std::string& path, std::string body) {
  std::lock_guard lock(mutex_);
  Replies& replies = replies_[path];
  if (replies.lastUsed) replies.queue.clear();
  replies.lastUsed = false;
  replies.queue.push_back(std::move(body));
}

std::vector<RecordedRequest> FakeOcrService::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<RecordedRequest> FakeOcrService::requestsTo(const std::string& path) const {
  std::vector<RecordedRequest> matching;
  for (RecordedRequest& request : requests()) {
    if (request.path == path) matching.push_back(std::move(request));
  }
  return matching;
}

void FakeOcrService::Handle(const httplib::Request& request, httplib::Response& response) {
  const std::size_t question = request.target.find('?');
  std::string body = "{}";
  {
    std::lock_guard lock(mutex_);
    requests_.push_back({request.method, request.path,
                         question == std::string::npos ? "" : request.target.substr(question + 1),
                         request.body, request.headers});
    auto found = replies_.find(request.path);
    if (found != replies_.end() && !found->second.queue.empty()) {
      Replies& replies = found->second;
      body = replies.queue.front();
      if (replies.queue.size() > 1) {
        replies.queue.pop_front();
      } else {
        replies.lastUsed = true;
      }
    } else if (defaults_.contains(request.path)) {
      body = defaults_[request.path];
    } else {
      response.status = 404;
    }
  }
  response.set_content(body, "application/json;charset=utf-8");
}

}  // namespace tarnwick::testing
