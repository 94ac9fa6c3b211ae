#pragma once
// The clipboard watcher: while 选择框_监视剪贴板url is ticked and confirmed, every 300 ms the
// clipboard's text is looked at, and a text containing "http" that was not handled before goes
// whole, as a picture address, to RecognizeImageUrl. What was handled is remembered for the
// rest of the run, across every off and on.

#include "app/app_context.h"

namespace tarnwick {

inline constexpr int kClipboardWatchPeriod = 300;
inline constexpr char kClipboardWatchQuestion[] =
    "开启监视剪贴板url后，只要复制了包含有http的网址，软件就会自动进行文字识别。\r\n\r\n"
    "是否确定开启[监视剪贴板url]？";

// The click handler of 选择框_监视剪贴板url, run after the box changed its state.
void ClipboardWatchClicked(AppContext& app);
// The tick of 时钟_监视剪贴板.
void ClipboardWatchTick(AppContext& app);

}  // namespace tarnwick
