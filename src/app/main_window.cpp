#include "app/main_window.h"

namespace tarnwick {

// The site where the program is published, and the service's product page.
#define TARNWICK_SITE "Tarnwick 项目主页 https://tarnwick.example.org/"
#define TARNWICK_SERVICE_PAGE "https://ai.baidu.com/"

const char kMainWindowCaption[] = "Tarnwick 可识别整个文件夹 V1.0  Pellarin    " TARNWICK_SITE;

const char kBanner[] =
    ">>>>>>软件首发于" TARNWICK_SITE
    "  作者：Pellarin\r\n"
    ">>>>>>软件使用的是百度通用文字识别OCR，地址：" TARNWICK_SERVICE_PAGE
    "\r\n"
    ">>>>>>软件仅支持API Key+Secret Key模式。不支持秘密访问密钥Secret Access Key模式\r\n"
    ">>>>>>图片的大小不超过4M，最短边至少15px，最长边最大4096px，支持jpg/jpeg/png/bmp格式\r\n"
    ">>>>>>qps限制为2，识别整个文件夹图片的时候尽量不要使用功能演示，会提示频繁\r\n";

const char kNineBars[] = "|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|";

#define TARNWICK_INIT_CONTROL(name, kind, parent, left, top, width, height, text, ticked) \
  , name(ControlDefinition{                                                               \
        #name, ControlKind::kind, parent, {left, top, width, height}, text, ticked})
#define TARNWICK_REGISTER_CONTROL(name, ...) Register(name);

MainWindow::MainWindow()
    : Form(kMainWindowCaption, kMainWindowWidth, kMainWindowHeight)
          TARNWICK_MAIN_WINDOW_CONTROLS(TARNWICK_INIT_CONTROL),
      标签_进度({"标签_进度", ControlKind::Label, "", {0, 0, 160, 0}, "", false}),
      标签_当前文件({"标签_当前文件", ControlKind::Label, "", {0, 0, 0, 0}, "", false}),
      按钮_停止({"按钮_停止", ControlKind::Button, "", {0, 0, 96, 0}, "停止(Esc)", false}) {
  TARNWICK_MAIN_WINDOW_CONTROLS(TARNWICK_REGISTER_CONTROL)
  RegisterInStatusBar(标签_进度);
  RegisterInStatusBar(标签_当前文件);
  RegisterInStatusBar(按钮_停止);
  按钮_停止.SetEnabled(false);
}

#undef TARNWICK_INIT_CONTROL
#undef TARNWICK_REGISTER_CONTROL

}  // namespace tarnwick
