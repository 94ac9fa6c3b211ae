#pragma once
// The local OCR service: the cloud's OAuth, REST, demonstration and table endpoints on
// cpp-httplib, answered by Tesseract engines, plus the sample pictures. Requests are handled
// concurrently; each recognition borrows one engine of the pool. Every bad request gets an
// error object of the cloud's kind; nothing a client sends ends the service.

#include <atomic>
#include <memory>
#include <string>

#include "service_options.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace tarnwick::service {

class AccessTokens;
class EnginePool;
class RateLimiter;
class SamplePictures;
class TableJobs;
enum class Kind;
enum class Layout;

class OcrService {
 public:
  // Loads the engines and, for https, makes the certificate when missing. Throws
  // std::runtime_error when it cannot.
  explicit OcrService(ServiceOptions options);
  ~OcrService();
  OcrService(const OcrService&) = delete;
  OcrService& operator=(const OcrService&) = delete;

  // Binds the listening socket; returns the port, or 0 when it cannot.
  int Bind();
  // Serves until Stop (from another thread or a signal handler's helper).
  void Serve();
  void Stop();

  int port() const { return port_; }
  // The certificate that clients should trust; empty for plain http.
  const std::string& certificateFile() const { return certificateFile_; }
  // "https://127.0.0.1:port" or "http://...".
  std::string BaseAddress() const;
  const ServiceOptions& options() const { return options_; }
  // How many of the sample pictures were found in the sample folder.
  std::size_t sampleCount() const;

 private:
  void AddRoutes();
  void Token(const httplib::Request& request, httplib::Response& response);
  void Recognize(Kind kind, Layout layout, const std::string& body, const httplib::Request& request,
                 httplib::Response& response);
  void Demo(const std::string& body, const httplib::Request& request, httplib::Response& response);
  void SubmitTable(const std::string& body, const httplib::Request& request,
                   httplib::Response& response);
  void TableResult(const std::string& body, const httplib::Request& request,
                   httplib::Response& response);
  void DownloadTable(const httplib::Request& request, httplib::Response& response);
  void ServeSample(const httplib::Request& request, httplib::Response& response);

  ServiceOptions options_;
  std::string certificateFile_;
  std::string keyFile_;
  std::unique_ptr<EnginePool> engines_;
  std::unique_ptr<AccessTokens> tokens_;
  std::unique_ptr<RateLimiter> keyLimiter_;
  std::unique_ptr<RateLimiter> demoLimiter_;
  std::unique_ptr<SamplePictures> samples_;
  std::unique_ptr<TableJobs> tables_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
};

}  // namespace tarnwick::service
