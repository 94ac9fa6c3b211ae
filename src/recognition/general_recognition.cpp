#include "recognition/general_recognition.h"

#include <optional>
#include <string>

#include "app/image_source_prompt.h"
#include "app/message_boxes.h"
#include "recognition/access_token.h"
#include "recognition/result_writer.h"
#include "support/base64.h"
#include "support/file_bytes.h"
#include "support/gbk_text.h"
#include "support/http_request.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

enum class Edition { HighAccuracy, Standard };

// head + the value percent-encoded + tail, built in one buffer: the value may be a picture of
// several megabytes.
std::string FormBody(std::string_view head, std::string_view value, std::string_view tail) {
  std::string body(head);
  AppendUrlEncoded(body, value);
  body += tail;
  return body;
}

// The body that carries a picture: head + the picture's base64 percent-encoded + tail. The
// base64 text is kept as the last picture sent.
std::string PictureForm(AppContext& app, std::string_view head, std::string_view picture,
                        std::string_view tail) {
  std::string body(head);
  app.state.ImageBase64 = Base64EncodeForForm(picture, body);
  body += tail;
  return body;
}

bool ReplyBoxWanted(const AppContext& app) {
  return app.window.选择框_返回信息提示.ticked();
}

std::string KeyAddress(const AppContext& app, Edition edition) {
  return (edition == Edition::HighAccuracy ? app.services.AccurateBasicAddress()
                                           : app.services.GeneralBasicAddress()) +
         "?access_token=" + app.state.AccessToken;
}

// POSTs the form body, keeps it and the reply (narrowed to what GBK holds) in the shared
// state, and shows the reply when the user asked to see every reply.
void PostForm(AppContext& app, const std::string& address, std::string body) {
  app.state.RequestBody = std::move(body);
  app.state.ReplyText = NormalizeToGbk(
      HttpRequest({.url = address, .method = kHttpPost, .postText = app.state.RequestBody},
                  app.services.transport));
  if (ReplyBoxWanted(app)) PlainMessageBox(app, "返回识别结果为：" + app.state.ReplyText, kBoxOk);
}

std::string DemoTail(const AppContext& app) {
  return "&type=" + UrlEncode(app.state.GeneralEndpoint) +
         "&detect_direction=" + app.state.DetectDirection;
}

std::string KeyTail(const AppContext& app, Edition edition) {
  return std::string(edition == Edition::HighAccuracy ? "&language_type=auto_detect"
                                                      : "&language_type=CHN_ENG") +
         "&detect_direction=" + app.state.DetectDirection;
}

constexpr char kDemoRateLimitLine[] = "--------提交速度过快,请求Demo过于频繁\r\n";

bool HasDemoRateLimit(const AppContext& app) {
  return app.state.ReplyText.find(kDemoRateLimitMarker) != std::string::npos;
}

// The demo endpoint's rate limit on a local file: one line in the box while output is
// separated, else the notice beside the settings. True when the reply was rate-limited.
bool ReportDemoRateLimit(AppContext& app) {
  if (!HasDemoRateLimit(app)) return false;
  if (app.window.选择框_是否分割.ticked()) {
    app.window.AppendOutput(kDemoRateLimitLine);
  } else {
    app.window.标签_提示.SetText(kRateLimitNotice);
  }
  return true;
}

// Key mode needs a token; says so when none can be had.
bool HaveAccessToken(AppContext& app) {
  AccessTokenStore(app).EnsureAccessToken(app.window.编辑框_apikey.text(),
                                          app.window.编辑框_SecretKey.text());
  if (!app.state.AccessToken.empty()) return true;
  TopmostAwareMessageBox(app, kTokenErrorMessage, kBoxIconError);
  return false;
}

// One key-mode request for a local file. False when the service's own rate limit ends the
// whole operation.
bool RecognizeFileWithKey(AppContext& app, Edition edition) {
  SharedState& state = app.state;
  PostForm(app, KeyAddress(app, edition),
           PictureForm(app, "image=", ReadPictureFile(state.ImagePath), KeyTail(app, edition)));
  if (state.ReplyText.find("Open api qps request limit reached") != std::string::npos) {
    ResultWriter(app).WriteSourceHeader(state.ImagePath);
    ReportDemoRateLimit(app);
    return false;
  }
  ResultWriter(app).RenderWordsResult(state.ReplyText, kLocalSource, ReplyLayout::Key);
  return true;
}

}  // namespace

bool CheckRecognitionMode(AppContext& app) {
  const MainWindow& window = app.window;
  const char* problem = nullptr;
  if (!window.选择框_高精度版.ticked() && !window.选择框_标准版.ticked()) {
    problem = "请先勾选识别类型!";
  } else if (!window.选择框_我自己有key.ticked() && !window.选择框_功能演示.ticked()) {
    problem = "请先勾选key模式!";
  } else if (!window.选择框_我自己有key.ticked()) {
    return true;
  } else if (window.编辑框_apikey.text().empty() || window.编辑框_SecretKey.text().empty()) {
    problem = "请输入key或者更换为演示模式!";
  }
  if (!problem) return true;
  TopmostAwareMessageBox(app, problem, kBoxIconError);
  return false;
}

void RecognizeImageFile(AppContext& app, std::string_view path) {
  SharedState& state = app.state;
  const MainWindow& window = app.window;
  state.ImagePath = std::string(path);
  if (window.选择框_功能演示.ticked()) {
    PostForm(app, app.services.DemoAddress("/aidemo"),
             PictureForm(app, "image=data%3Aimage%2Fpng%3Bbase64%2C",
                         ReadPictureFile(state.ImagePath), "&image_url" + DemoTail(app)));
    if (ReportDemoRateLimit(app)) return;
    ResultWriter(app).RenderWordsResult(state.ReplyText, kLocalSource, ReplyLayout::Demo);
    return;
  }
  if (!window.选择框_我自己有key.ticked() || !HaveAccessToken(app)) return;
  if (window.选择框_高精度版.ticked() && !RecognizeFileWithKey(app, Edition::HighAccuracy)) return;
  if (window.选择框_标准版.ticked()) RecognizeFileWithKey(app, Edition::Standard);
}

void RecognizeImageUrl(AppContext& app, std::string_view address) {
  SharedState& state = app.state;
  const MainWindow& window = app.window;
  state.ImageUrl = std::string(address);
  if (window.选择框_功能演示.ticked()) {
    PostForm(app, app.services.DemoAddress("/aidemo"),
             FormBody("image&image_url=", state.ImageUrl, DemoTail(app)));
    if (HasDemoRateLimit(app)) {
      if (window.选择框_是否分割.ticked()) {
        app.window.AppendOutput(kDemoRateLimitLine);
      }
      app.window.标签_提示.SetText(kRateLimitNotice);
    }
    // A rate-limited reply holds no result list and is rendered as an empty result.
    ResultWriter(app).RenderWordsResult(state.ReplyText, kWebSource, ReplyLayout::Demo);
    return;
  }
  if (!window.选择框_我自己有key.ticked() || !HaveAccessToken(app)) return;
  if (window.选择框_高精度版.ticked()) {
    // The service gets the picture itself, downloaded by the program.
    PostForm(app, KeyAddress(app, Edition::HighAccuracy),
             PictureForm(app, "image=",
                         HttpRequest({.url = state.ImageUrl, .maxReplyBytes = kMaxPictureBytes},
                                     app.services.transport),
                         KeyTail(app, Edition::HighAccuracy)));
    ResultWriter(app).RenderWordsResult(state.ReplyText, kWebSource, ReplyLayout::Key);
  }
  if (window.选择框_标准版.ticked()) {
    PostForm(app, KeyAddress(app, Edition::Standard),
             FormBody("url=", state.ImageUrl, KeyTail(app, Edition::Standard)));
    ResultWriter(app).RenderWordsResult(state.ReplyText, kWebSource, ReplyLayout::Key);
  }
}

void ChooseLocalPicture(AppContext& app) {
  if (!CheckRecognitionMode(app)) return;
  const std::optional<std::string> path = app.desktop.OpenFileDialog(kImageFileFilter);
  if (!path) return;
  app.state.ImagePath = *path;
  RecognizeImageFile(app, app.state.ImagePath);
}

void ChooseWebPicture(AppContext& app) {
  if (!CheckRecognitionMode(app)) return;
  const std::optional<std::string> address =
      app.desktop.InputBox("请在下方粘贴需要识别的图片的网络地址:", "请输入",
                           app.services.SampleAddress(kSamplePicturePath));
  if (!address) return;
  app.state.ImageUrl = *address;
  RecognizeImageUrl(app, app.state.ImageUrl);
}

}  // namespace tarnwick
