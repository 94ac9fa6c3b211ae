#pragma once
// The main window's start-up: restoring options from the settings file into the controls and
// the shared state, the output box's resize rule and the always-on-top option.

#include "app/app_context.h"

namespace tarnwick {

// Runs when the main window is created. Setting a control here never runs its handler.
void RunStartupSequence(AppContext& app);

// The output box keeps its left and top and follows the window's outer size.
void LayoutOutputBox(MainWindow& window);

// The click handler of 选择框_置顶.
void ApplyTopmost(AppContext& app);

}  // namespace tarnwick
