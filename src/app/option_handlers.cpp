#include "app/option_handlers.h"

#include <functional>
#include <string>

namespace tarnwick {
namespace {

using Box = Control MainWindow::*;

// A box whose two states are stored as two words.
struct StoredFlag {
  Box box;
  const char* key;
  const char* whenTicked;
  const char* whenUnticked;
};

constexpr StoredFlag kStoredFlags[] = {
    {&MainWindow::选择框_保存识别结果txt, "保存结果为txt", "真", "假"},
    {&MainWindow::选择框_延迟, "延迟", "真", "假"},
    {&MainWindow::选择框_矫正图片, "矫正图片", "真", ""},
};

// One box of a pair that is never ticked together; ticking it unticks its partner (without
// running the partner's handler) and stores the choice. Unticking it writes nothing.
struct ExclusiveChoice {
  Box box;
  Box partner;
  const char* key;
  const char* value;
};

constexpr ExclusiveChoice kExclusiveChoices[] = {
    {&MainWindow::选择框_标准版, &MainWindow::选择框_高精度版, "识别格式", "标准版"},
    {&MainWindow::选择框_高精度版, &MainWindow::选择框_标准版, "识别格式", "高精度版"},
    {&MainWindow::选择框_我自己有key, &MainWindow::选择框_功能演示, "我自己有key", "真"},
    {&MainWindow::选择框_功能演示, &MainWindow::选择框_我自己有key, "我自己有key", "无"},
};

struct StoredText {
  Box box;
  const char* key;
  bool skipEmpty;
};

constexpr StoredText kStoredTexts[] = {
    {&MainWindow::编辑框_apikey, "apikey", false},
    {&MainWindow::编辑框_SecretKey, "SecretKey", false},
    {&MainWindow::编辑框_延迟毫秒, "延迟ms", true},
};

// What ticking a box changes in the shared state besides the settings file.
void ApplyToState(AppContext& app, Box box, bool ticked) {
  if (box == &MainWindow::选择框_矫正图片) app.state.DetectDirection = ticked ? "true" : "false";
  if (!ticked) return;
  if (box == &MainWindow::选择框_标准版) {
    app.state.GeneralEndpoint = app.services.GeneralBasicAddress();
  }
  if (box == &MainWindow::选择框_高精度版) {
    app.state.GeneralEndpoint = app.services.AccurateBasicAddress();
  }
}

}  // namespace

void RunSymbolPrompt(AppContext& app) {
  Control& box = app.window.选择框_保存_符号;
  if (box.ticked()) {
    const std::optional<std::string> symbol = app.desktop.InputBox(
        "保存的文件为符号+时间戳+.txt\r\n例如777.png----1610183524.txt", "请输入符号", "----");
    if (symbol) app.state.SaveSymbol = *symbol;
    app.state.SymbolConfirmed = symbol.has_value();
  }
  if (!app.state.SymbolConfirmed) {
    box.SetTicked(false);
    app.state.SaveSymbol.clear();
  }
}

void AttachOptionHandlers(AppContext& app) {
  MainWindow& window = app.window;
  for (const StoredFlag& flag : kStoredFlags) {
    (window.*flag.box).OnClick([&app, flag] {
      const bool ticked = (app.window.*flag.box).ticked();
      ApplyToState(app, flag.box, ticked);
      app.settings.WriteSetting("勾选", flag.key, ticked ? flag.whenTicked : flag.whenUnticked);
    });
  }
  for (const ExclusiveChoice& choice : kExclusiveChoices) {
    (window.*choice.box).OnClick([&app, choice] {
      if (!(app.window.*choice.box).ticked()) return;
      (app.window.*choice.partner).SetTicked(false);
      app.settings.WriteSetting("勾选", choice.key, choice.value);
      ApplyToState(app, choice.box, true);
    });
  }
  for (const StoredText& stored : kStoredTexts) {
    (window.*stored.box).OnTextChanged([&app, stored] {
      const std::string& text = (app.window.*stored.box).text();
      if (stored.skipEmpty && text.empty()) return;
      app.settings.WriteSetting("参数", stored.key, text);
    });
  }
  window.选择框_保存_符号.OnClick([&app] { RunSymbolPrompt(app); });
}

}  // namespace tarnwick
