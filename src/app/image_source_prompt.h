#pragma once
// The question the special recognition commands ask first: is the picture a file on this
// computer or an address on the web, or should the command give up? It is the system's
// Abort/Retry/Ignore box, whose buttons a short-period timer relabels while it is open.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

enum class ImageSource { Local, Web, Cancel };

inline constexpr char kImageSourcePromptTail[] =
    "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别";
inline constexpr char kImageFileFilter[] =
    "图片文件(*.jpg;*.bmp;*.png;*.gif)|*.jpg;*.bmp;*.png|任意文件（*.*）|*.*";

ImageSource ImageSourcePrompt(AppContext& app, std::string_view text);

// The tick of 时钟_信息框_修改: renames the open prompt's buttons, and stops the timer once it
// finds none of the system captions.
void RelabelPromptButtons(AppContext& app);

// A picture the user chose through the prompt: the source word ("本地" or "网络"), the file
// path or web address, and the mode word ("key" or "演示").
struct ChosenImage {
  std::string sourceWord;
  std::string location;
  std::string modeWord;
};

// The prompt and what every caller does with its answer: the file dialog or the address input
// box (prefilled with `sampleAddress`), storing the choice in ImagePath or ImageUrl. A caller
// that forces a mode does so in `beforeDialog`. Nothing when the user gives up at any step or
// no mode is ticked.
std::optional<ChosenImage> AskForImage(AppContext& app, std::string_view promptText,
                                       std::string_view sampleAddress,
                                       const std::function<void()>& beforeDialog = {});

}  // namespace tarnwick
