#pragma once
// General text recognition, the program's main function: one picture (a local file or a web
// address) goes to the service in demo mode or key mode, standard or high-accuracy edition, and
// the reply goes to the result writer. Folder recognition, the capture window and the
// clipboard watcher reach it through RecognizeImageFile and RecognizeImageUrl.

#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

inline constexpr char kDemoRateLimitMarker[] = "请求Demo过于频";
inline constexpr char kRateLimitNotice[] =
    "其中有文件返回结果\r\n提交速度过快,请求Demo过于频繁\r\n解决方法：①、可尝试更换个人key模式\r\n"
    "⑤、可尝试演示版增大间隔";
// Where the sample picture of general recognition lies on the sample host.
inline constexpr char kSamplePicturePath[] =
    "/70cFvnSh_Q1YnxGkpoWK1HF6hhy/it/u=3622721076,3835078278&fm=26&gp=0.jpg";

// Whether an edition and a mode are ticked (and, in key mode, both keys typed); says what is
// missing otherwise.
bool CheckRecognitionMode(AppContext& app);

void RecognizeImageFile(AppContext& app, std::string_view path);
void RecognizeImageUrl(AppContext& app, std::string_view address);

// The click handlers of 按钮_本地图片 and 按钮_网络图片.
void ChooseLocalPicture(AppContext& app);
void ChooseWebPicture(AppContext& app);

}  // namespace tarnwick
