#include "sources/folder_recognition.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <optional>

#include "app/message_boxes.h"
#include "recognition/general_recognition.h"
#include "support/paths.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr char kNoFormatMessage[] = "请先勾选图片格式!!";
constexpr char kFolderChooserTitle[] = "请选择文件夹";
// The pause is cut into slices this long, so that the stop control ends it promptly.
constexpr int kPauseSliceMilliseconds = 20;

// The walk takes folders and regular files (following links) and passes over anything else:
// sockets, pipes, devices and links that lead nowhere.
bool IsTaken(const fs::directory_entry& entry) {
  std::error_code error;
  const fs::file_status status = entry.status(error);
  return !error && (fs::is_directory(status) || fs::is_regular_file(status));
}

// Calls `visit` with the name of every entry of the folder that `pattern` takes, in the order
// the file system lists them, until it returns false. A folder that cannot be read, or stops
// being readable, simply has no more entries.
template <typename Visit>
void ForEachTakenEntry(const std::string& folder, std::string_view pattern, Visit visit) {
  std::error_code error;
  for (fs::directory_iterator entries(Utf8Path(folder), error), end; !error && entries != end;
       entries.increment(error)) {
    const std::string name = PathText(entries->path().filename());
    if (NameMatchesPattern(name, pattern) && IsTaken(*entries) && !visit(name)) return;
  }
}

std::string FolderPrefix(const std::string& folder) {
  if (folder.ends_with(fs::path::preferred_separator)) return folder;
  return folder + static_cast<char>(fs::path::preferred_separator);
}

bool AnyFormatTicked(const MainWindow& window) {
  return std::any_of(
      std::begin(kFolderFormats), std::end(kFolderFormats),
      [&window](const FolderFormat& format) { return (window.*format.box).ticked(); });
}

void ShowProgress(AppContext& app, FolderWalk& walk) {
  walk.found = std::max(walk.found, walk.done);
  app.window.标签_进度.SetText("进度：" + std::to_string(walk.done) + "/" +
                               std::to_string(walk.found));
}

void BeginWalk(AppContext& app, FolderWalk& walk, const std::string& prefix) {
  walk = FolderWalk{.running = true};
  for (const FolderFormat& format : kFolderFormats) {
    if (!(app.window.*format.box).ticked()) continue;
    ForEachTakenEntry(prefix, format.pattern, [&walk](const std::string&) {
      ++walk.found;
      return true;
    });
  }
  ShowProgress(app, walk);
  app.window.标签_当前文件.SetText("");
  app.window.按钮_文件夹识别.SetEnabled(false);
  app.window.按钮_停止.SetEnabled(true);
}

void EndWalk(AppContext& app, FolderWalk& walk) {
  app.window.标签_当前文件.SetText(walk.stopRequested ? "已停止" : "完成");
  app.window.按钮_停止.SetEnabled(false);
  app.window.按钮_文件夹识别.SetEnabled(true);
  walk.running = false;
}

// Waits the pause the user set while the window goes on handling its events and timers. It
// ends at the first check after the time has run out, or as soon as the walk is stopped.
void PauseAfterFile(AppContext& app, const FolderWalk& walk) {
  if (!app.window.选择框_延迟.ticked()) return;
  const int pause = PauseMilliseconds(app.window.编辑框_延迟毫秒.text());
  if (pause <= 0) return;
  const std::int64_t start = app.desktop.NowMilliseconds();
  while (!walk.stopRequested) {
    const std::int64_t left = start + pause - app.desktop.NowMilliseconds();
    if (left <= 0) break;
    app.desktop.PumpMessages(
        static_cast<int>(std::min<std::int64_t>(left, kPauseSliceMilliseconds)));
  }
}

}  // namespace

int PauseMilliseconds(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = std::min<long long>(value * 10 + (text[at] - '0'), INT_MAX + 1LL);
  }
  if (negative) return static_cast<int>(std::max(-value, static_cast<long long>(INT_MIN)));
  return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

bool NameMatchesPattern(std::string_view name, std::string_view pattern) {
  return MatchesWildcard(name, pattern);
}

void FolderRecognition(AppContext& app, FolderWalk& walk) {
  if (walk.running) return;
  MainWindow& window = app.window;
  if (!AnyFormatTicked(window)) {
    TopmostAwareMessageBox(app, kNoFormatMessage, kBoxIconError);
    return;
  }
  const std::optional<std::string> folder = app.desktop.ChooseFolder(kFolderChooserTitle);
  if (folder && !folder->empty()) {
    const std::string prefix = FolderPrefix(*folder);
    BeginWalk(app, walk, prefix);
    for (const FolderFormat& format : kFolderFormats) {
      if (walk.stopRequested) break;
      if ((window.*format.box).ticked()) RecognizeFolderPattern(app, walk, prefix, format.pattern);
    }
    EndWalk(app, walk);
  }
  app.state.PendingSaveText.clear();
}

void RecognizeFolderPattern(AppContext& app, FolderWalk& walk, const std::string& prefix,
                            std::string_view pattern) {
  ForEachTakenEntry(prefix, pattern, [&](const std::string& name) {
    app.window.标签_当前文件.SetText(name);
    RecognizeImageFile(app, prefix + name);
    ++walk.done;
    ShowProgress(app, walk);
    if (walk.stopRequested) return false;
    PauseAfterFile(app, walk);
    return !walk.stopRequested;
  });
  if (app.window.选择框_是否分割.ticked()) {
    app.window.AppendOutput(">>>>>>>>枚举" + prefix + "中的" + std::string(pattern) +
                            "图片文件完成\r\n");
  }
}

// The stop control stays enabled until the walk has really ended: the file under way (and any
// box it shows) finishes first.
void StopFolderWalk(AppContext& app, FolderWalk& walk) {
  if (!walk.running || walk.stopRequested) return;
  walk.stopRequested = true;
  app.window.标签_当前文件.SetText("正在停止…");
}

}  // namespace tarnwick
