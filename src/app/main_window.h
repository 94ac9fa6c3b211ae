#pragma once
// The main window's form: every control with its kind, group box, place, caption and start
// state, declared once in the table below. The wx view builds its widgets from the same form.
// Handlers are attached by the program, not here.

#include "platform/controls.h"

namespace tarnwick {

inline constexpr int kMainWindowWidth = 958;
inline constexpr int kMainWindowHeight = 901;
extern const char kMainWindowCaption[];
extern const char kBanner[];

// X(name, kind, group box, left, top, width, height, caption or start text, starts ticked)
#define TARNWICK_MAIN_WINDOW_CONTROLS(X)                                                     \
  X(编辑框1, MultiLineEdit, "", 272, 8, 592, 232, kBanner, false)                            \
  X(标签_提示, Label, "", 8, 800, 264, 56, "", false)                                        \
  X(选择框_返回信息提示, CheckBox, "", 8, 872, 96, 32, "返回信息提示", false)                \
  X(时钟_信息框_修改, Timer, "", 0, 0, 0, 0, "", false)                                      \
  X(时钟_监视剪贴板, Timer, "", 0, 0, 0, 0, "", false)                                       \
  X(分组框1, GroupBox, "", 8, 16, 264, 784, "设置区：", false)                               \
  X(选择框_标准版, CheckBox, "分组框1", 24, 16, 112, 32, "标准版", true)                     \
  X(选择框_高精度版, CheckBox, "分组框1", 152, 16, 96, 32, "高精度版", false)                \
  X(选择框_功能演示, CheckBox, "分组框1", 24, 44, 120, 32, "功能演示-2M以内", true)          \
  X(选择框_我自己有key, CheckBox, "分组框1", 152, 44, 104, 32, "我自己有key", false)         \
  X(标签1, Label, "分组框1", 16, 80, 80, 32, "API Key：", false)                             \
  X(编辑框_apikey, LineEdit, "分组框1", 96, 80, 152, 32, "", false)                          \
  X(标签2, Label, "分组框1", 16, 120, 80, 32, "Secret Key：", false)                         \
  X(编辑框_SecretKey, LineEdit, "分组框1", 96, 120, 152, 32, "", false)                      \
  X(选择框_矫正图片, CheckBox, "分组框1", 16, 152, 112, 32, "矫正图片再识别", false)         \
  X(选择框_监视剪贴板url, CheckBox, "分组框1", 144, 152, 104, 32, "监视剪贴板url", false)    \
  X(按钮_本地图片, Button, "分组框1", 16, 184, 104, 40, "选择本机图片", false)               \
  X(标签4, Label, "分组框1", 131, 184, 16, 48, kNineBars, false)                             \
  X(按钮_网络图片, Button, "分组框1", 144, 184, 104, 40, "选择网络图片", false)              \
  X(分组框5, GroupBox, "分组框1", 8, 224, 248, 48, "卡识别", false)                          \
  X(选择框_身份证_纯属性, CheckBox, "分组框5", 8, 12, 56, 24, "纯属性", false)               \
  X(按钮_身份证识别, Button, "分组框5", 72, 8, 80, 32, "身份证识别", false)                  \
  X(按钮_银行卡识别, Button, "分组框5", 160, 8, 80, 32, "银行卡识别", false)                 \
  X(分组框6, GroupBox, "分组框1", 8, 272, 248, 80, "其他识别", false)                        \
  X(选择框_印刷体, CheckBox, "分组框6", 8, 16, 56, 24, "印刷体", true)                       \
  X(选择框_手写体, CheckBox, "分组框6", 64, 16, 56, 24, "手写体", false)                     \
  X(按钮_办公文档识别, Button, "分组框6", 24, 40, 80, 32, "办公文档识别", false)             \
  X(标签6, Label, "分组框6", 128, 8, 16, 64, kNineBars, false)                               \
  X(按钮_营业执照识别, Button, "分组框6", 152, 8, 80, 32, "营业执照识别", false)             \
  X(按钮_手写文字识别, Button, "分组框6", 152, 42, 80, 32, "手写文字识别", false)            \
  X(分组框7, GroupBox, "分组框1", 8, 360, 248, 56, "带边框的表格文字识别", false)            \
  X(按钮_识别_表格文字识别, Button, "分组框7", 16, 16, 80, 32, "表格文字识别", false)        \
  X(选择框_表格识别_下载, RadioButton, "分组框7", 104, 20, 64, 28, "下载", true)             \
  X(按钮_识别_取回识别结果, Button, "分组框7", 160, 16, 72, 32, "取识别结果", false)         \
  X(分组框3, GroupBox, "分组框1", 8, 424, 248, 88, "截图识别", false)                        \
  X(选择框_保存截图图片, CheckBox, "分组框3", 16, 16, 88, 24, "保存截图", true)              \
  X(选择框_截图_截图隐藏, CheckBox, "分组框3", 136, 16, 88, 24, "截图时隐藏", true)          \
  X(标签3, Label, "分组框3", 8, 40, 104, 40, "左键重新截图\r\n左键双击保存\r\n右键取消截图", \
    false)                                                                                   \
  X(按钮_截图识别, Button, "分组框3", 128, 40, 104, 40, "截图识别", false)                   \
  X(分组框2, GroupBox, "分组框1", 8, 512, 248, 104, "文件夹图片识别", false)                 \
  X(选择框_png, CheckBox, "分组框2", 24, 16, 56, 24, "png", false)                           \
  X(选择框_bmp, CheckBox, "分组框2", 72, 16, 56, 24, "bmp", false)                           \
  X(选择框_jpg, CheckBox, "分组框2", 24, 40, 56, 24, "jpg", false)                           \
  X(选择框_jpeg, CheckBox, "分组框2", 72, 40, 56, 24, "jpeg", false)                         \
  X(按钮_文件夹识别, Button, "分组框2", 136, 16, 104, 40, "识别整个文件夹", false)           \
  X(选择框_延迟, CheckBox, "分组框2", 40, 64, 88, 32, "延迟(毫秒)", true)                    \
  X(编辑框_延迟毫秒, LineEdit, "分组框2", 128, 64, 40, 32, "200", false)                     \
  X(分组框4, GroupBox, "分组框1", 8, 616, 248, 120, "保存txt设置", false)                    \
  X(选择框_保存识别结果txt, CheckBox, "分组框4", 8, 16, 112, 24, "保存结果为txt", false)     \
  X(标签5, Label, "分组框4", 120, 16, 104, 24, "不选编码默认ANSI", false)                    \
  X(选择框_编码_utf8, CheckBox, "分组框4", 8, 40, 88, 24, "UTF8编码", false)                 \
  X(选择框_编码_ansi, CheckBox, "分组框4", 136, 40, 88, 24, "ANSI编码", false)               \
  X(选择框_保存_识别文件夹的结果递增保存, CheckBox, "分组框4", 8, 64, 208, 24,               \
    "识别文件夹的结果递增保存", false)                                                       \
  X(选择框_保存_是否加时间戳, CheckBox, "分组框4", 8, 88, 72, 24, "时间戳", true)            \
  X(选择框_保存_符号, CheckBox, "分组框4", 88, 88, 64, 24, "符号", true)                     \
  X(选择框_保存_类型, CheckBox, "分组框4", 152, 88, 64, 24, "类型", true)                    \
  X(选择框_是否分割, CheckBox, "分组框1", 40, 736, 96, 32, "输出分割线", true)               \
  X(选择框_置顶, CheckBox, "分组框1", 136, 736, 96, 32, "窗口置顶", false)

extern const char kNineBars[];

class MainWindow : public Form {
 public:
  MainWindow();

#define TARNWICK_DECLARE_CONTROL(name, ...) Control name;
  TARNWICK_MAIN_WINDOW_CONTROLS(TARNWICK_DECLARE_CONTROL)
#undef TARNWICK_DECLARE_CONTROL

  // The status bar at the window's foot, where a folder walk shows how far it has come (files
  // done of files found, and the file being recognised) and can be stopped after that file.
  Control 标签_进度;
  Control 标签_当前文件;
  Control 按钮_停止;  // enabled only while a walk runs; Esc presses it too

  // The output box grows only at its end; nothing in the program reads it back or clears it.
  void AppendOutput(std::string_view text) {
    编辑框1.Append(text);
  }
};

}  // namespace tarnwick
