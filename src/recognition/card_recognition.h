#pragma once
// ID-card and bank-card recognition, the two commands of the group "卡识别". They run the
// shared prompt-command flow with a key-mode precondition, one labelled line per card field
// (or the value alone while 选择框_身份证_纯属性 is ticked), and a message naming what was wrong
// with the picture when the service found nothing on it.

#include <string>
#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

// True in demo mode, or in key mode with both keys typed; says what is missing otherwise.
bool CheckKeyMode(AppContext& app);

// The click handlers of 按钮_身份证识别 and 按钮_银行卡识别.
void RunIdCard(AppContext& app);
void RunBankCard(AppContext& app);

// The request routines: source "本地" or "网络", the path or address, mode "key" or "演示".
void RecognizeIdCard(AppContext& app, std::string_view source, std::string_view image,
                     std::string_view mode);
void RecognizeBankCard(AppContext& app, std::string_view source, std::string_view image,
                       std::string_view mode);

// The bank-card reply with its spaces removed, empty values written as "空" and the four known
// field names in Chinese, so that the lines can show them as they stand.
std::string RewriteBankCardReply(std::string_view reply);

}  // namespace tarnwick
