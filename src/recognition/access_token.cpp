#include "recognition/access_token.h"

#include "app/message_boxes.h"
#include "support/gbk_text.h"
#include "support/http_request.h"

namespace tarnwick {

std::string AccessTokenStore::RequestAccessToken(std::string_view apiKey,
                                                 std::string_view secretKey) {
  // The keys go into the address exactly as typed.
  const std::string address = app_.services.ApiAddress(
      "/oauth/2.0/token?grant_type=client_credentials&client_id=" + std::string(apiKey) +
      "&client_secret=" + std::string(secretKey) + "&");
  const std::string reply = NormalizeToGbk(HttpRequest({.url = address}, app_.services.transport));
  if (app_.window.选择框_返回信息提示.ticked()) {
    PlainMessageBox(app_, "获取ATK返回识别结果为：" + reply, kBoxOk);
  }
  app_.state.replyDocument.Parse(reply);
  std::string token = app_.state.replyDocument.GetText("access_token");
  if (!token.empty()) PlainMessageBox(app_, "获取Access token成功~", kBoxIconInformation);
  return token;
}

void AccessTokenStore::EnsureAccessToken(std::string_view apiKey, std::string_view secretKey) {
  if (!app_.state.AccessToken.empty()) return;
  app_.state.AccessToken = RequestAccessToken(apiKey, secretKey);
  app_.settings.WriteSetting("参数", "access_token", app_.state.AccessToken);
}

void AccessTokenStore::InvalidateAccessToken() {
  app_.state.AccessToken.clear();
  app_.settings.WriteSetting("参数", "access_token", "");
}

}  // namespace tarnwick
