#include "recognition/table_recognition.h"

#include "app/image_source_prompt.h"
#include "app/message_boxes.h"
#include "recognition/prompt_command.h"
#include "recognition/result_writer.h"
#include "support/gbk_text.h"
#include "support/http_request.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

constexpr char kSubmitPath[] = "/rest/2.0/solution/v1/form_ocr/request";
constexpr char kFetchPath[] = "/rest/2.0/solution/v1/form_ocr/get_request_result";
constexpr char kSampleTablePath[] = "/file/5A2C3E1B7D9F4A6B8C0D2E4F6A8B0C1D";

// POSTs the body to a table endpoint with the held token; the reply as the program reads it.
std::string PostToTableService(AppContext& app, std::string_view path) {
  return NormalizeToGbk(
      HttpRequest({.url = app.services.ApiAddress(path) + "?access_token=" + app.state.AccessToken,
                   .method = kHttpPost,
                   .postText = app.state.RequestBody},
                  app.services.transport));
}

// Only web addresses are handed to the browser: the reply comes from the network, and the
// system's opener would run a program or open a local file just as readily.
bool IsWebAddress(const std::string& address) {
  const std::string lower = AsciiLower(address.substr(0, 8));
  return lower.starts_with("http://") || lower.starts_with("https://");
}

}  // namespace

void SubmitTable(AppContext& app) {
  MainWindow& window = app.window;
  if (!window.选择框_我自己有key.ticked()) {
    TopmostAwareMessageBox(app, "表格识别只能用key模式，没有演示模式!", kBoxIconError);
    return;
  }
  if (window.编辑框_apikey.text().empty() || window.编辑框_SecretKey.text().empty()) {
    TopmostAwareMessageBox(app, "表格识别请输入完整的自己的双key！", kBoxIconError);
    return;
  }
  const std::optional<ChosenImage> chosen =
      AskForImage(app,
                  "请选择图片的类型，表格文字识别每日50次免费调用量！仅支持key模式识别！"
                  "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别",
                  app.services.SampleAddress(kSampleTablePath), [&window] {
                    // By program, not by click: the stored mode is left as it was.
                    window.选择框_功能演示.SetTicked(false);
                    window.选择框_我自己有key.SetTicked(true);
                  });
  if (!chosen || chosen->modeWord != kKeyModeWord) return;
  SendTableRequest(app, chosen->sourceWord, chosen->location, chosen->modeWord);
}

void SendTableRequest(AppContext& app, std::string_view source, std::string_view picture,
                      std::string_view mode) {
  SharedState& state = app.state;
  const std::string pictureText(picture);
  state.TableRequestId.clear();
  state.PendingSaveText.clear();
  // The service is always sent the picture's bytes, a web picture downloaded here.
  state.RequestBody =
      PictureForm(app, "image=", PictureBytes(app, {source, pictureText, RecognitionMode::Key}),
                  "&is_sync=false&request_type=excel");
  state.ReplyText = ReplaceAll(PostToTableService(app, kSubmitPath), "\"", "'");
  if (app.window.选择框_返回信息提示.ticked()) {
    PlainMessageBox(app,
                    "返回识别结果为：" + state.ReplyText + "\r\n" + std::string(source) + "\r\n" +
                        pictureText + "\r\n" + std::string(mode),
                    kBoxOk);
  }
  if (state.ReplyText.find("request_id") != std::string::npos) {
    state.TableRequestId = TextBetween(state.ReplyText, "request_id':'", "'");
  }
}

void FetchTableResult(AppContext& app) {
  SharedState& state = app.state;
  if (state.TableRequestId.empty()) {
    PlainMessageBox(app, "未找到请求id，请重新提交或重试", kBoxIconError, "错误!");
    return;
  }
  const std::string resultType = app.window.选择框_表格识别_下载.ticked() ? "excel" : "";
  // The id came from the network: encoded, it stays one form value whatever it holds.
  state.RequestBody =
      "request_id=" + UrlEncode(state.TableRequestId) + "&result_type=" + resultType;
  state.ReplyText = PostToTableService(app, kFetchPath);
  state.replyDocument.Parse(state.ReplyText);
  state.ReplyText = ReplaceAll(state.ReplyText, "\"", "'");
  const std::string progress = state.replyDocument.GetObject("result").GetText("percent");
  if (app.window.选择框_返回信息提示.ticked()) {
    PlainMessageBox(app,
                    "返回识别结果为：" + state.ReplyText + "\r\n" + state.TableRequestId +
                        "\r\n输出类型：" + resultType + "\r\n完成进度：" + progress,
                    kBoxOk);
  }
  const std::string& reply = state.ReplyText;
  if (reply.find("未开始") != std::string::npos) {
    PlainMessageBox(app, "当前请求ID：" + state.TableRequestId + " 未开始，请稍等几秒后重试",
                    kBoxIconInformation);
  } else if (reply.find("进行中") != std::string::npos) {
    PlainMessageBox(app,
                    "当前请求ID：" + state.TableRequestId + " 进行中，当前进度：" + progress + "%",
                    kBoxIconInformation);
  } else if (reply.find("已完成") != std::string::npos) {
    const std::string address = state.replyDocument.GetObject("result").GetText("result_data");
    if (address.empty()) return;
    app.desktop.SetClipboardText(address);
    const int answer = PlainMessageBox(
        app, "下载地址已复制到剪贴板，是否立即用默认浏览器打开下载地址？", kBoxYesNo);
    if (answer == kAnswerYes && IsWebAddress(address)) app.desktop.OpenWebAddress(address);
  }
}

}  // namespace tarnwick
