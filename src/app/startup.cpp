#include "app/startup.h"

#include <algorithm>

namespace tarnwick {

void RunStartupSequence(AppContext& app) {
  SharedState& state = app.state;
  MainWindow& window = app.window;
  const SettingsFile& settings = app.settings;
  state.SaveSymbol = "：";
  state.TableRequestId.clear();
  state.AccessToken = settings.ReadSetting("参数", "access_token");
  // The drawn XP-like look of the original controls is a matter of the front-end's theme.
  state.GeneralEndpoint = app.services.GeneralBasicAddress();
  state.DetectDirection = "false";
  window.编辑框_apikey.SetText(settings.ReadSetting("参数", "apikey"));
  window.编辑框_SecretKey.SetText(settings.ReadSetting("参数", "SecretKey"));
  if (settings.ReadSetting("勾选", "保存结果为txt") == "真") {
    window.选择框_保存识别结果txt.SetTicked(true);
  }
  // The delay box starts ticked anyway, so a stored "假" leaves it ticked.
  if (settings.ReadSetting("勾选", "延迟") == "真") window.选择框_延迟.SetTicked(true);
  window.编辑框_延迟毫秒.SetText(settings.ReadSetting("参数", "延迟ms", "200"));
  if (settings.ReadSetting("勾选", "矫正图片") == "真") {
    window.选择框_矫正图片.SetTicked(true);
    state.DetectDirection = "true";
  }
  if (settings.ReadSetting("勾选", "识别格式") == "高精度版") {
    state.GeneralEndpoint = app.services.AccurateBasicAddress();
    window.选择框_高精度版.SetTicked(true);
    window.选择框_标准版.SetTicked(false);
  }
  if (settings.ReadSetting("勾选", "我自己有key") == "真") {
    window.选择框_我自己有key.SetTicked(true);
    window.选择框_功能演示.SetTicked(false);
  }
}

void LayoutOutputBox(MainWindow& window) {
  Rect place = window.编辑框1.place();
  // A window dragged smaller than the box's corner leaves it empty, never negative.
  place.width = std::max(0, window.width() - place.left - 30);
  place.height = std::max(0, window.height() - place.top - place.top - 40);
  window.编辑框1.SetPlace(place);
}

void ApplyTopmost(AppContext& app) {
  app.desktop.SetMainWindowAlwaysOnTop(app.window.选择框_置顶.ticked());
}

}  // namespace tarnwick
