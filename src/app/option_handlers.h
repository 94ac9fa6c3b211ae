#pragma once
// The click handlers of the main window's option boxes and the change handlers of its option
// edit boxes: each stores its option in the settings file the moment it changes.

#include "app/app_context.h"

namespace tarnwick {

void AttachOptionHandlers(AppContext& app);

// 选择框_保存_符号: asks for the text that goes between a result file's base name and its
// time stamp.
void RunSymbolPrompt(AppContext& app);

}  // namespace tarnwick
