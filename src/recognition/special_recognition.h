#pragma once
// Handwriting, office-document and business-licence recognition, the three commands of the
// group "其他识别", and the two font-mode boxes beside them. They run the shared prompt-command
// flow; what is theirs is the table of constants and the bodies and lines in the .cpp.

#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

// True when 选择框_印刷体 or 选择框_手写体 is ticked; says so otherwise.
bool CheckFontMode(AppContext& app);

// The click handlers of the three buttons.
void RunHandwriting(AppContext& app);
void RunOfficeDocument(AppContext& app);
void RunBusinessLicence(AppContext& app);

// The request routines: source "本地" or "网络", the path or address, mode "key" or "演示".
void RecognizeHandwriting(AppContext& app, std::string_view source, std::string_view image,
                          std::string_view mode);
void RecognizeOfficeDocument(AppContext& app, std::string_view source, std::string_view image,
                             std::string_view mode);
void RecognizeBusinessLicence(AppContext& app, std::string_view source, std::string_view image,
                              std::string_view mode);

// The click handlers of 选择框_印刷体 and 选择框_手写体: ticking one unticks the other. The
// font mode lives only in the window; it is never stored.
void ClickPrintedFont(AppContext& app);
void ClickHandwrittenFont(AppContext& app);

}  // namespace tarnwick
