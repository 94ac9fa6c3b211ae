#include "app/image_source_prompt.h"

#include "app/message_boxes.h"

namespace tarnwick {
namespace {

constexpr int kRelabelPeriodMs = 100;
constexpr int kPromptFlags =
    kBoxAbortRetryIgnore | kBoxIconInformation | kBoxSystemModal | kBoxSetForeground;  // 69698

struct Relabel {
  const char* systemCaption;
  const char* newCaption;
};

// In the order the buttons are searched and renamed: Abort, Retry, Ignore.
constexpr Relabel kRelabels[] = {
    {"中止(&A)", "取消识别(&E)"},
    {"重试(&R)", "本地图片(&B)"},
    {"忽略(&I)", "网络图片(&W)"},
};

}  // namespace

ImageSource ImageSourcePrompt(AppContext& app, std::string_view text) {
  app.window.时钟_信息框_修改.SetPeriod(kRelabelPeriodMs);
  const int answer = app.desktop.ShowMessageBox(text, kPromptFlags, kDefaultBoxTitle);
  if (answer == kAnswerRetry) return ImageSource::Local;
  if (answer == kAnswerIgnore) return ImageSource::Web;
  app.window.时钟_信息框_修改.SetPeriod(0);
  return ImageSource::Cancel;
}

void RelabelPromptButtons(AppContext& app) {
  WindowHandle buttons[std::size(kRelabels)] = {};
  for (std::size_t i = 0; i < std::size(kRelabels); ++i) {
    const WindowHandle box = app.desktop.FindTopLevelWindow(kDefaultBoxTitle);
    buttons[i] = box ? app.desktop.FindChildWindow(box, kRelabels[i].systemCaption) : 0;
  }
  bool anyFound = false;
  for (std::size_t i = 0; i < std::size(kRelabels); ++i) {
    if (!buttons[i]) continue;
    anyFound = true;
    app.desktop.SetWindowText(buttons[i], kRelabels[i].newCaption);
  }
  if (!anyFound) app.window.时钟_信息框_修改.SetPeriod(0);
}

std::optional<ChosenImage> AskForImage(AppContext& app, std::string_view promptText,
                                       std::string_view sampleAddress,
                                       const std::function<void()>& beforeDialog) {
  const ImageSource source = ImageSourcePrompt(app, promptText);
  if (source == ImageSource::Cancel) return std::nullopt;
  if (beforeDialog) beforeDialog();
  ChosenImage chosen;
  if (source == ImageSource::Local) {
    std::optional<std::string> path = app.desktop.OpenFileDialog(kImageFileFilter);
    if (!path) return std::nullopt;
    app.state.ImagePath = *path;
    chosen = {"本地", std::move(*path), ""};
  } else {
    std::optional<std::string> address =
        app.desktop.InputBox("请在下方粘贴需要识别的图片的网络地址:", "请输入", sampleAddress);
    if (!address) return std::nullopt;
    app.state.ImageUrl = *address;
    chosen = {"网络", std::move(*address), ""};
  }
  if (app.window.选择框_我自己有key.ticked()) {
    chosen.modeWord = "key";
  } else if (app.window.选择框_功能演示.ticked()) {
    chosen.modeWord = "演示";
  } else {
    return std::nullopt;
  }
  return chosen;
}

}  // namespace tarnwick
