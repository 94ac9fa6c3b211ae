#include "app/message_boxes.h"

#include <string>

namespace tarnwick {

int PlainMessageBox(AppContext& app, std::string_view text, int flags, std::string_view title) {
  return app.desktop.ShowMessageBox(text, flags, title);
}

int TopmostAwareMessageBox(AppContext& app, std::string_view text, int flags,
                           std::string_view title) {
  if (app.window.选择框_置顶.ticked()) app.desktop.SetMainWindowAlwaysOnTop(false);
  const int answer = app.desktop.ShowMessageBox(text, flags, title);
  // Read again: a tick inside the box may have changed the option.
  if (app.window.选择框_置顶.ticked()) app.desktop.SetMainWindowAlwaysOnTop(true);
  return answer;
}

void ShowHandlerFault(AppContext& app, std::string_view what) {
  TopmostAwareMessageBox(app, "操作出错，已中止：" + std::string(what), kBoxIconError, "错误!");
}

}  // namespace tarnwick
