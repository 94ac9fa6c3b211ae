#pragma once
// The program's message boxes: no owner window, task-modal, titled "信息：" unless a title is
// given. Error and confirmation boxes go through TopmostAwareMessageBox so that an
// always-on-top main window cannot hide them.

#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

inline constexpr char kDefaultBoxTitle[] = "信息：";

int PlainMessageBox(AppContext& app, std::string_view text, int flags,
                    std::string_view title = kDefaultBoxTitle);

// Suspends the main window's always-on-top state while the box is open.
int TopmostAwareMessageBox(AppContext& app, std::string_view text, int flags,
                           std::string_view title = kDefaultBoxTitle);

// Tells the user that a command broke off with an unexpected fault. What the window already
// shows, the output box above all, stays as it is.
void ShowHandlerFault(AppContext& app, std::string_view what);

}  // namespace tarnwick
