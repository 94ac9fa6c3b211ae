#include "program.h"

#include "app/image_source_prompt.h"
#include "app/message_boxes.h"
#include "app/option_handlers.h"
#include "app/startup.h"
#include "recognition/card_recognition.h"
#include "recognition/general_recognition.h"
#include "recognition/special_recognition.h"
#include "recognition/table_recognition.h"
#include "sources/capture_window.h"
#include "sources/clipboard_watcher.h"
#include "sources/folder_recognition.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace tarnwick {

Program::Program(Desktop& desktop, std::filesystem::path runDirectory, ServiceEndpoints services)
    : desktop_(desktop),
      runDirectory_(std::move(runDirectory)),
      services_(std::move(services)),
      settings_(runDirectory_ / Utf8Path(kSettingsFileName)),
      context_{desktop_, window_, state_, settings_, services_, runDirectory_} {}

void Program::AttachHandlers() {
  window_.OnHandlerFault(
      [this](std::string_view, std::string_view what) { ShowHandlerFault(context_, what); });
  AttachOptionHandlers(context_);
  window_.OnResize([this] { LayoutOutputBox(window_); });
  window_.选择框_置顶.OnClick([this] { ApplyTopmost(context_); });
  window_.时钟_信息框_修改.OnTick([this] { RelabelPromptButtons(context_); });
  window_.按钮_本地图片.OnClick([this] { ChooseLocalPicture(context_); });
  window_.按钮_网络图片.OnClick([this] { ChooseWebPicture(context_); });
  window_.选择框_印刷体.OnClick([this] { ClickPrintedFont(context_); });
  window_.选择框_手写体.OnClick([this] { ClickHandwrittenFont(context_); });
  window_.按钮_手写文字识别.OnClick([this] { RunHandwriting(context_); });
  window_.按钮_办公文档识别.OnClick([this] { RunOfficeDocument(context_); });
  window_.按钮_营业执照识别.OnClick([this] { RunBusinessLicence(context_); });
  window_.按钮_身份证识别.OnClick([this] { RunIdCard(context_); });
  window_.按钮_银行卡识别.OnClick([this] { RunBankCard(context_); });
  window_.按钮_识别_表格文字识别.OnClick([this] { SubmitTable(context_); });
  window_.按钮_识别_取回识别结果.OnClick([this] { FetchTableResult(context_); });
  window_.按钮_文件夹识别.OnClick([this] { FolderRecognition(context_, folderWalk_); });
  window_.按钮_停止.OnClick([this] { StopFolderWalk(context_, folderWalk_); });
  window_.选择框_监视剪贴板url.OnClick([this] { ClipboardWatchClicked(context_); });
  window_.时钟_监视剪贴板.OnTick([this] { ClipboardWatchTick(context_); });
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
  return ExecutableFolder();
}

}  // namespace tarnwick
