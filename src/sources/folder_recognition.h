#pragma once
// Recognition of every picture of one folder: the ticked formats in the fixed order bmp, jpg,
// png, jpeg, each entry of the chosen folder whose name matches (subfolders are not visited),
// an optional pause after each file while the window stays responsive, and a completion line
// per format. The status bar shows how far the walk has come, and its stop control ends the
// walk after the file under way. It recognises nothing itself: each file goes to
// RecognizeImageFile.

#include <string>
#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

// The formats a walk can take, in the order it takes them.
struct FolderFormat {
  Control MainWindow::*box;
  std::string_view pattern;
};
inline constexpr FolderFormat kFolderFormats[] = {
    {&MainWindow::选择框_bmp, "*.bmp"},
    {&MainWindow::选择框_jpg, "*.jpg"},
    {&MainWindow::选择框_png, "*.png"},
    {&MainWindow::选择框_jpeg, "*.jpeg"},
};

// The walk under way. Only one runs at a time: its button is disabled until it ends.
struct FolderWalk {
  bool running = false;
  bool stopRequested = false;
  int done = 0;
  int found = 0;
};

// The click handler of 按钮_文件夹识别.
void FolderRecognition(AppContext& app, FolderWalk& walk);
// Recognises every entry of the folder that `pattern` takes and writes the format's completion
// line. `prefix` is the folder's path followed by a separator.
void RecognizeFolderPattern(AppContext& app, FolderWalk& walk, const std::string& prefix,
                            std::string_view pattern);
// The click handler of the status bar's stop control.
void StopFolderWalk(AppContext& app, FolderWalk& walk);

// The pause after each file, in milliseconds, from the text of 编辑框_延迟毫秒: a decimal
// integer read from the text's beginning (leading blanks and a sign allowed, reading stops at
// the first other character, no digits is 0). Values beyond an int are held at its limits.
int PauseMilliseconds(std::string_view text);

// Whether a directory entry's name is taken by a pattern such as "*.png", ignoring letter case.
bool NameMatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace tarnwick
