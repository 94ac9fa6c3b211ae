#pragma once
// A one-line input box: the prompt above an edit box, OK and Cancel below. It is a dialog
// built in memory, so it runs the system's modal dialog loop (timers keep ticking) and answers
// Enter with OK and Esc with Cancel.

#include "platform/win32/windows_api.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The text entered, or nothing when the box was cancelled.
std::optional<std::string> RunInputBox(HWND owner, std::string_view prompt, std::string_view title,
                                       std::string_view initialText);

}  // namespace tarnwick
