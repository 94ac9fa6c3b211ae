#pragma once
// The whole program on the simulated desktop, in a temporary run directory.

#include <memory>

#include "platform/sim/sim_desktop.h"
#include "program.h"
#include "support/gbk_text.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace tarnwick::testing {

class SimProgram {
 public:
  explicit SimProgram(ServiceEndpoints services = {}) : services_(std::move(services)) {}

  // Writes the settings file (given as UTF-8 text, stored as GBK) before the program starts.
  void StoreSettings(const std::string& utf8Text) {
    WriteFileBytes(folder_.path() / Utf8Path(kSettingsFileName), Utf8ToGbk(utf8Text));
  }
  // The settings file as UTF-8 text.
  std::string StoredSettings() const {
    return GbkToUtf8(ReadFileBytes(folder_.path() / Utf8Path(kSettingsFileName)));
  }

  Program& Start() {
    program_ = std::make_unique<Program>(*desktop_, folder_.path(), services_);
    program_->Start();
    return *program_;
  }
  // A second run of the program in the same folder, on a fresh desktop.
  Program& Restart() {
    program_.reset();
    desktop_ = std::make_unique<SimDesktop>();
    return Start();
  }

  SimDesktop& desktop() { return *desktop_; }
  Program& program() { return *program_; }
  MainWindow& window() { return program_->window(); }
  SharedState& state() { return program_->state(); }
  AppContext& context() { return program_->context(); }
  const std::filesystem::path& folder() const { return folder_.path(); }

 private:
  TempFolder folder_;
  ServiceEndpoints services_;
  std::unique_ptr<SimDesktop> desktop_ = std::make_unique<SimDesktop>();
  std::unique_ptr<Program> program_;
};

}  // namespace tarnwick::testing
