#include "program.h"

#include <unistd.h>

#include "app/image_source_prompt.h"
#include "app/option_handlers.h"
#include "app/startup.h"
#include "recognition/general_recognition.h"
#include "sources/capture_window.h"

namespace tarnwick {

Program::Program(Desktop& desktop, std::filesystem::path runDirectory, ServiceEndpoints services)
    : desktop_(desktop),
      runDirectory_(std::move(runDirectory)),
      services_(std::move(services)),
      settings_(runDirectory_ / kSettingsFileName),
      context_{desktop_, window_, state_, settings_, services_, runDirectory_} {}

void Program::AttachHandlers() {
  AttachOptionHandlers(context_);
  window_.OnResize([this] { LayoutOutputBox(window_); });
  window_.选择框_置顶.OnClick([this] { ApplyTopmost(context_); });
  window_.时钟_信息框_修改.OnTick([this] { RelabelPromptButtons(context_); });
  window_.按钮_本地图片.OnClick([this] { ChooseLocalPicture(context_); });
  window_.按钮_网络图片.OnClick([this] { ChooseWebPicture(context_); });
  window_.按钮_截图识别.OnClick([this] { RunCaptureWindow(context_); });
}

void Program::Start() {
  AttachHandlers();
  RunStartupSequence(context_);
  LayoutOutputBox(window_);
  desktop_.AttachForm(window_);
  desktop_.ShowMainWindow(true);
}

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return executable.parent_path();
}

}  // namespace tarnwick
