#include "sources/clipboard_watcher.h"

#include <string>

#include "app/message_boxes.h"
#include "recognition/general_recognition.h"

namespace tarnwick {

void ClipboardWatchClicked(AppContext& app) {
  Control& box = app.window.选择框_监视剪贴板url;
  Control& timer = app.window.时钟_监视剪贴板;
  if (!CheckRecognitionMode(app)) {
    box.SetTicked(false);
    timer.SetPeriod(0);
    return;
  }
  if (!box.ticked()) {
    timer.SetPeriod(0);
    return;
  }
  if (TopmostAwareMessageBox(app, kClipboardWatchQuestion, kBoxOkCancel | kBoxIconQuestion) ==
      kAnswerOk) {
    timer.SetPeriod(kClipboardWatchPeriod);
  } else {
    box.SetTicked(false);
    timer.SetPeriod(0);
  }
}

void ClipboardWatchTick(AppContext& app) {
  const std::string text = app.desktop.ClipboardText();
  std::string& seen = app.state.SeenClipboardText;
  if (text.find("http") == std::string::npos || seen.find(text) != std::string::npos) return;
  // Remembered before recognising: the recognition may open message boxes, inside which this
  // timer goes on ticking, and the same text must not start a second recognition there.
  seen += text;
  RecognizeImageUrl(app, text);
}

}  // namespace tarnwick
