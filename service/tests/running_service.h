#pragma once
// The local OCR service running in the test process on 127.0.0.1 at a free port, over https
// with a certificate made in a temporary state folder, stopped when the object goes away.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ocr_service.h"
#include "support/temp_folder.h"

namespace tarnwick::service::testing {

class RunningService {
 public:
  explicit RunningService(const std::function<void(ServiceOptions&)>& adjust = {}) {
    ServiceOptions options = DefaultServiceOptions();
    options.port = 0;
    options.workers = 2;
    options.stateFolder = state_.path();
    if (adjust) adjust(options);
    service_ = std::make_unique<OcrService>(options);
    if (service_->Bind() == 0) throw std::runtime_error("the service cannot listen");
    thread_ = std::thread([this] { service_->Serve(); });
  }
  ~RunningService() {
    service_->Stop();
    thread_.join();
  }

  OcrService& service() { return *service_; }
  std::string base() const { return service_->BaseAddress(); }
  // host:port, as the program is told it.
  std::string host() const { return "127.0.0.1:" + std::to_string(service_->port()); }
  const std::string& certificate() const { return service_->certificateFile(); }

 private:
  tarnwick::testing::TempFolder state_;
  std::unique_ptr<OcrService> service_;
  std::thread thread_;
};

inline std::filesystem::path SampleFolder() {
  return DefaultServiceOptions().sampleFolder;
}

inline std::string SampleBytes(const std::string& name) {
  std::ifstream file(SampleFolder() / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// The known text of a sample picture, one entry per printed line.
inline std::vector<std::string> SampleLines(const std::string& name) {
  std::ifstream file(SampleFolder() / (name + ".txt"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

}  // namespace tarnwick::service::testing
