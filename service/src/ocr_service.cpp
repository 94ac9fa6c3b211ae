#include "ocr_service.h"

#include <httplib.h>
#include <leptonica/allheaders.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "access_tokens.h"
#include "certificate.h"
#include "ocr_engine.h"
#include "picture_fetch.h"
#include "picture_input.h"
#include "rate_limiter.h"
#include "replies.h"
#include "sample_pictures.h"
#include "table_jobs.h"

namespace tarnwick::service {
namespace {

// The cloud's limit on a request's form body (the base64 picture, percent-encoded, within it).
constexpr std::size_t kMaxBodyBytes = 10 * 1024 * 1024;

constexpr char kJson[] = "application/json;charset=utf-8";
constexpr char kTablePrefix[] = "/form_ocr/result/";

void Send(httplib::Response& response, const Json& reply) {
  response.status = 200;  // the cloud answers errors with 200 and an error object too
  response.set_content(reply.dump(), kJson);
}

using Params = std::multimap<std::string, std::string>;

Params FormFields(const std::string& body) {
  Params fields;
  httplib::detail::parse_query_text(body, fields);
  return fields;
}

std::string Field(const Params& fields, const char* name) {
  const auto found = fields.find(name);
  return found == fields.end() ? std::string() : found->second;
}

bool HasField(const Params& fields, const char* name) {
  return fields.count(name) > 0;
}

// A POST route that reads the body itself, so that the size limit answers with an error
// object and the form is parsed whatever its length.
using BodyHandler =
    std::function<void(const std::string& body, const httplib::Request&, httplib::Response&)>;

httplib::Server::HandlerWithContentReader ReadingBody(Layout layout, BodyHandler handler) {
  return [layout, handler = std::move(handler)](const httplib::Request& request,
                                                httplib::Response& response,
                                                const httplib::ContentReader& reader) {
    std::string body;
    bool tooLarge = false;
    const bool read = reader([&](const char* data, std::size_t size) {
      if (body.size() + size > kMaxBodyBytes) {
        tooLarge = true;
        return false;
      }
      body.append(data, size);
      return true;
    });
    // The server refuses a declared length over the limit before anything is read.
    if (tooLarge || (!read && std::strtoull(request.get_header_value("Content-Length").c_str(),
                                            nullptr, 10) > kMaxBodyBytes)) {
      return Send(response, ErrorReply(errors::kBadImageSize, layout));
    }
    if (!read) return Send(response, ErrorReply(errors::kBadParameter, layout));
    handler(body, request, response);
  };
}

}  // namespace

OcrService::OcrService(ServiceOptions options) : options_(std::move(options)) {
  setMsgSeverity(L_SEVERITY_NONE);  // Leptonica's complaints about bad pictures go to the client
  if (!options_.plainHttp) {
    const CertificateFiles files = EnsureCertificate(options_.stateFolder);
    certificateFile_ = files.certificate.string();
    keyFile_ = files.key.string();
  }
  tokens_ = std::make_unique<AccessTokens>(options_.stateFolder, options_.acceptedKeys);
  keyLimiter_ = std::make_unique<RateLimiter>(options_.keyRequestsPerSecond);
  demoLimiter_ = std::make_unique<RateLimiter>(options_.demoRequestsPerSecond);
  samples_ = std::make_unique<SamplePictures>(options_.sampleFolder);
  engines_ = std::make_unique<EnginePool>(options_.workers, options_.languages);
  tables_ = std::make_unique<TableJobs>(*engines_);
  if (options_.plainHttp) {
    server_ = std::make_unique<httplib::Server>();
  } else {
    server_ = std::make_unique<httplib::SSLServer>(certificateFile_.c_str(), keyFile_.c_str());
    if (!server_->is_valid()) throw std::runtime_error("the certificate files cannot be used");
  }
  // Threads beyond the engines serve tokens, samples and picture downloads (also those the
  // service makes from itself) while every engine is busy.
  const int threads = options_.workers + 4;
  server_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server_->set_payload_max_length(kMaxBodyBytes);
  server_->set_keep_alive_timeout(2);
  AddRoutes();
}

OcrService::~OcrService() {
  Stop();
  tables_.reset();  // its thread may be using an engine
}

int OcrService::Bind() {
  port_ = options_.port == 0
              ? server_->bind_to_any_port(options_.address)
              : (server_->bind_to_port(options_.address, options_.port) ? options_.port : 0);
  if (port_ < 0) port_ = 0;
  return port_;
}

void OcrService::Serve() {
  server_->listen_after_bind();
}

void OcrService::Stop() {
  if (server_) server_->stop();
}

std::string OcrService::BaseAddress() const {
  const std::string host = options_.address.find(':') != std::string::npos
                               ? "[" + options_.address + "]"
                               : options_.address;
  return (options_.plainHttp ? "http://" : "https://") + host + ":" + std::to_string(port_);
}

std::size_t OcrService::sampleCount() const {
  return samples_->size();
}

void OcrService::AddRoutes() {
  httplib::Server& s = *server_;
  s.Get("/oauth/2.0/token", [this](const auto& q, auto& r) { Token(q, r); });
  s.Post("/oauth/2.0/token", [this](const auto& q, auto& r) { Token(q, r); });
  s.Post(R"(/rest/2.0/ocr/v1/([a-z_]+))",
         ReadingBody(Layout::Key, [this](const std::string& body, const auto& q, auto& r) {
           Kind kind;
           if (!KindFromName(q.matches[1], kind))
             return Send(r, ErrorReply(errors::kUnknownMethod, Layout::Key));
           Recognize(kind, Layout::Key, body, q, r);
         }));
  s.Post("/aidemo", ReadingBody(Layout::Demo, [this](const std::string& body, const auto& q,
                                                     auto& r) { Demo(body, q, r); }));
  s.Post("/rest/2.0/solution/v1/form_ocr/request",
         ReadingBody(Layout::Key, [this](const std::string& body, const auto& q, auto& r) {
           SubmitTable(body, q, r);
         }));
  s.Post("/rest/2.0/solution/v1/form_ocr/get_request_result",
         ReadingBody(Layout::Key, [this](const std::string& body, const auto& q, auto& r) {
           TableResult(body, q, r);
         }));
  s.Get(std::string(kTablePrefix) + R"(([A-Za-z0-9_]+)\.xlsx)",
        [this](const auto& q, auto& r) { DownloadTable(q, r); });
  s.Get(".*", [this](const auto& q, auto& r) { ServeSample(q, r); });

  s.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (!response.body.empty()) return;
    const ServiceError& error = response.status == 413   ? errors::kBadImageSize
                                : response.status == 404 ? errors::kUnknownMethod
                                : response.status == 400 ? errors::kBadParameter
                                                         : errors::kInternal;
    response.set_content(ErrorReply(error, Layout::Key).dump(), kJson);
  });
  s.set_exception_handler(
      [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        Send(response, ErrorReply(errors::kInternal, Layout::Key));
      });
}

void OcrService::Token(const httplib::Request& request, httplib::Response& response) {
  if (request.get_param_value("grant_type") != "client_credentials") {
    return Send(response, TokenError("unsupported_grant_type",
                                     "The authorization grant type is not supported"));
  }
  if (!tokens_->Accepts(request.get_param_value("client_id"),
                        request.get_param_value("client_secret"))) {
    return Send(response, TokenError("invalid_client", "unknown client id"));
  }
  Send(response, TokenReply(tokens_->Issue()));
}

namespace {

struct PictureOrError {
  PixPtr picture;
  const ServiceError* error = nullptr;
};

// The picture of a request: base64 in `imageField`, else fetched from the address in
// `addressField`.
PictureOrError TakePicture(const Params& fields, const char* imageField, const char* addressField,
                           const FetchRules& rules) {
  std::string bytes;
  const std::string image = Field(fields, imageField);
  const std::string address = Field(fields, addressField);
  if (image.size() > kMaxBase64Bytes) return {nullptr, &errors::kBadImageSize};
  if (!image.empty()) {
    std::optional<std::string> decoded = DecodeBase64Field(image);
    if (!decoded) return {nullptr, &errors::kBadImageFormat};
    bytes = std::move(*decoded);
    if (bytes.empty()) return {nullptr, &errors::kEmptyImage};
  } else if (!address.empty()) {
    switch (FetchPicture(address, rules, bytes)) {
      case FetchProblem::None:
        break;
      case FetchProblem::BadAddress:
        return {nullptr, &errors::kBadUrl};
      case FetchProblem::NotAllowed:
        return {nullptr, &errors::kUrlNotAllowed};
      case FetchProblem::NoAnswer:
        return {nullptr, &errors::kUrlNoAnswer};
      case FetchProblem::TooLarge:
        return {nullptr, &errors::kUrlTooLarge};
    }
  } else if (HasField(fields, imageField) || HasField(fields, addressField)) {
    return {nullptr, &errors::kEmptyImage};
  } else {
    return {nullptr, &errors::kMissingParameter};
  }
  PictureProblem problem;
  PixPtr picture = ReadPicture(bytes, problem);
  if (problem == PictureProblem::BadSize) return {nullptr, &errors::kBadImageSize};
  if (!picture) return {nullptr, &errors::kBadImageFormat};
  return {std::move(picture), nullptr};
}

}  // namespace

void OcrService::Recognize(Kind kind, Layout layout, const std::string& body,
                           const httplib::Request& request, httplib::Response& response) {
  if (layout == Layout::Key) {
    const std::string token = request.get_param_value("access_token");
    if (!tokens_->Valid(token)) return Send(response, ErrorReply(errors::kInvalidToken, layout));
    if (!keyLimiter_->Admit(token)) return Send(response, ErrorReply(errors::kQpsLimit, layout));
  }
  const Params fields = FormFields(body);
  const FetchRules rules{options_.remotePictureAddresses, certificateFile_,
                         kMaxBase64Bytes / 4 * 3};
  PictureOrError taken = layout == Layout::Key ? TakePicture(fields, "image", "url", rules)
                                               : TakePicture(fields, "image", "image_url", rules);
  if (taken.error) return Send(response, ErrorReply(*taken.error, layout));
  // Asked to correct the direction, the engine also tries the picture turned.
  const bool correct = Field(fields, "detect_direction") == "true";
  OcrEngine::Upright reading;
  {
    EnginePool::Lease engine = engines_->Acquire();
    reading = correct ? engine->RecognizeUpright(taken.picture.get())
                      : OcrEngine::Upright{engine->RecognizeLines(taken.picture.get()), 0};
  }
  Send(response, RecognitionReply(kind, layout, reading.lines,
                                  HasField(fields, "detect_direction") ? reading.direction : -1));
}

void OcrService::Demo(const std::string& body, const httplib::Request& request,
                      httplib::Response& response) {
  if (!demoLimiter_->Admit(request.remote_addr)) {
    return Send(response, ErrorReply(errors::kDemoTooFrequent, Layout::Demo));
  }
  const Params fields = FormFields(body);
  Kind kind;
  if (!KindFromName(Field(fields, "type"), kind)) {
    return Send(response, ErrorReply(HasField(fields, "type") ? errors::kBadParameter
                                                              : errors::kMissingParameter,
                                     Layout::Demo));
  }
  Recognize(kind, Layout::Demo, body, request, response);
}

void OcrService::SubmitTable(const std::string& body, const httplib::Request& request,
                             httplib::Response& response) {
  const std::string token = request.get_param_value("access_token");
  if (!tokens_->Valid(token)) return Send(response, ErrorReply(errors::kInvalidToken, Layout::Key));
  if (!keyLimiter_->Admit(token)) return Send(response, ErrorReply(errors::kQpsLimit, Layout::Key));
  const Params fields = FormFields(body);
  PictureOrError taken =
      TakePicture(fields, "image", "url",
                  {options_.remotePictureAddresses, certificateFile_, kMaxBase64Bytes / 4 * 3});
  if (taken.error) return Send(response, ErrorReply(*taken.error, Layout::Key));
  Send(response, TableSubmitted(tables_->Submit(std::move(taken.picture))));
}

void OcrService::TableResult(const std::string& body, const httplib::Request& request,
                             httplib::Response& response) {
  const std::string token = request.get_param_value("access_token");
  if (!tokens_->Valid(token)) return Send(response, ErrorReply(errors::kInvalidToken, Layout::Key));
  if (!keyLimiter_->Admit(token)) return Send(response, ErrorReply(errors::kQpsLimit, Layout::Key));
  const Params fields = FormFields(body);
  const std::string id = Field(fields, "request_id");
  if (id.empty()) return Send(response, ErrorReply(errors::kMissingParameter, Layout::Key));
  const std::optional<TableJobStatus> status = tables_->Status(id);
  if (!status) return Send(response, ErrorReply(errors::kUnknownRequestId, Layout::Key));
  std::string address;
  if (status->state == TableJobState::Done) {
    // The address the client reached this service by, when it is a plain host[:port].
    const std::string host = request.get_header_value("Host");
    const bool plainHost =
        !host.empty() && host.size() < 256 &&
        std::all_of(host.begin(), host.end(), [](unsigned char c) {
          return std::isalnum(c) || c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
        });
    const std::string base =
        plainHost ? (options_.plainHttp ? "http://" : "https://") + host : BaseAddress();
    address = base + kTablePrefix + id + ".xlsx";
  }
  const int retCode = status->state == TableJobState::Waiting   ? 1
                      : status->state == TableJobState::Running ? 2
                                                                : 3;
  Send(response, TableStatus(id, retCode, status->percent, address));
}

void OcrService::DownloadTable(const httplib::Request& request, httplib::Response& response) {
  const std::optional<std::string> bytes = tables_->Spreadsheet(request.matches[1]);
  if (!bytes || bytes->empty()) {
    response.status = 404;
    response.set_content(ErrorReply(errors::kUnknownRequestId, Layout::Key).dump(), kJson);
    return;
  }
  response.set_header("Content-Disposition",
                      "attachment; filename=\"" + std::string(request.matches[1]) + ".xlsx\"");
  response.set_content(*bytes, "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
}

void OcrService::ServeSample(const httplib::Request& request, httplib::Response& response) {
  const std::string* bytes = samples_->Find(request.path);
  if (!bytes) {
    response.status = 404;
    response.set_content(ErrorReply(errors::kUnknownMethod, Layout::Key).dump(), kJson);
    return;
  }
  response.set_content(*bytes, "image/png");
}

}  // namespace tarnwick::service
