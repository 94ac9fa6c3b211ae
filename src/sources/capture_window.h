#pragma once
// Recognising a rectangle of the screen. The screen is frozen into a picture that a borderless
// window covering the whole screen shows; the user drags a rectangle on it with a magnifier at
// the pointer, double-clicks inside it to capture it into a file under "图片" and recognise
// that file, or right-clicks to be asked whether to give up. This file holds the window's
// handlers; the arithmetic is in capture_geometry and drawing is the desktop's business.

#include "app/app_context.h"

namespace tarnwick {

class CaptureWindow;

inline constexpr char kCaptureFolderName[] = "图片";

// The click handler of 按钮_截图识别: runs one capture window and returns once it has closed.
void RunCaptureWindow(AppContext& app);

// True when the pointer lies strictly inside CaptureSelection; then also titles the window
// "碰撞!".
bool SelectionHitTest(AppContext& app, CaptureWindow& window);

}  // namespace tarnwick
