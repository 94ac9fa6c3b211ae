#include "recognition/prompt_command.h"

#include <optional>

#include "app/image_source_prompt.h"
#include "app/message_boxes.h"
#include "recognition/result_writer.h"
#include "support/base64.h"
#include "support/file_bytes.h"
#include "support/gbk_text.h"
#include "support/http_request.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

std::optional<RecognitionMode> ModeFromWord(std::string_view modeWord) {
  if (modeWord == kKeyModeWord) return RecognitionMode::Key;
  if (modeWord == kDemoModeWord) return RecognitionMode::Demo;
  return std::nullopt;
}

const char* ModeWord(RecognitionMode mode) {
  return mode == RecognitionMode::Key ? kKeyModeWord : kDemoModeWord;
}

void ForceDemoMode(AppContext& app) {
  app.window.选择框_功能演示.SetTicked(true);
  app.window.选择框_我自己有key.SetTicked(false);
}

std::string RequestAddress(const AppContext& app, const PromptCommand& command,
                           RecognitionMode mode) {
  if (mode == RecognitionMode::Demo) return app.services.DemoAddress("/aidemo");
  return app.services.ApiAddress(command.keyPath) + "?access_token=" + app.state.AccessToken;
}

// The first status marker found in the reply chooses the message; a reply with none of them
// gives none.
void ShowImageStatus(AppContext& app, const ImageStatusMessages& messages,
                     const std::string& reply) {
  const struct {
    const char* marker;
    const char* message;
  } statuses[] = {
      {"non_idcard", messages.nonIdCard},
      {"blurred", messages.blurred},
      {"other_type_card", messages.otherTypeCard},
      {"over_exposure", messages.overExposure},
      {"over_dark", messages.overDark},
      {"idcard_number_type\":-1", messages.allFieldsEmpty},
  };
  std::string message;
  for (const auto& status : statuses) {
    if (reply.find(status.marker) != std::string::npos) {
      message = status.message;
      break;
    }
  }
  if (message.empty() && reply.find("unknown") != std::string::npos) {
    message = "未知状态\r\n返回的内容为:" + reply;
  }
  if (!message.empty()) PlainMessageBox(app, message, kBoxIconError, "错误!");
}

}  // namespace

std::string PictureForm(AppContext& app, std::string_view head, std::string_view pictureBytes,
                        std::string_view tail) {
  std::string body(head);
  app.state.ImageBase64 = Base64EncodeForForm(pictureBytes, body);
  body += tail;
  return body;
}

std::string PictureBytes(AppContext& app, const ImageRequest& request) {
  if (request.sourceWord == kLocalSource) return ReadPictureFile(request.image);
  return HttpRequest({.url = request.image, .maxReplyBytes = kMaxPictureBytes},
                     app.services.transport);
}

std::string AddressForm(std::string_view head, std::string_view address, std::string_view tail) {
  std::string body(head);
  AppendUrlEncoded(body, address);
  body += tail;
  return body;
}

std::string EncodedEndpoint(const AppContext& app, std::string_view path) {
  return UrlEncode(app.services.ApiAddress(path));
}

void RunPromptCommand(AppContext& app, const PromptCommand& command) {
  if (!command.precondition(app)) return;
  const bool demoOnly = command.keyPath == nullptr;
  // A demo-only command stays in demo mode even when the dialog after the prompt is cancelled.
  const std::optional<ChosenImage> chosen =
      AskForImage(app, command.promptText, app.services.SampleAddress(command.samplePath),
                  demoOnly ? std::function<void()>([&app] { ForceDemoMode(app); }) : nullptr);
  if (!chosen) return;
  RecognizeWithCommand(app, command, chosen->sourceWord, chosen->location, chosen->modeWord);
}

void RecognizeWithCommand(AppContext& app, const PromptCommand& command,
                          std::string_view sourceWord, std::string_view image,
                          std::string_view modeWord) {
  std::optional<RecognitionMode> mode = ModeFromWord(modeWord);
  if (!mode || (sourceWord != kLocalSource && sourceWord != kWebSource)) return;
  // There is no key-mode endpoint to send a demo-only command to.
  if (command.keyPath == nullptr) mode = RecognitionMode::Demo;
  SharedState& state = app.state;
  // The image text is held apart: the shared fields may change while a box is open.
  const std::string imageText(image);
  ResultWriter writer(app);
  writer.StartResultOutput(command.savePrefix, false);
  writer.DeriveSaveBaseName(sourceWord, imageText);

  state.RequestBody = command.body(app, {sourceWord, imageText, *mode});
  state.ReplyText = NormalizeToGbk(HttpRequest({.url = RequestAddress(app, command, *mode),
                                                .method = kHttpPost,
                                                .postText = state.RequestBody},
                                               app.services.transport));
  if (command.rewriteReply) state.ReplyText = command.rewriteReply(state.ReplyText);
  if (app.window.选择框_返回信息提示.ticked()) {
    PlainMessageBox(app,
                    "返回识别结果为：" + state.ReplyText + "\r\n" + std::string(sourceWord) +
                        "\r\n" + imageText + "\r\n" + ModeWord(*mode),
                    kBoxOk);
  }
  if (state.ReplyText.find(kEmptyResultMarker) != std::string::npos) {
    if (command.statusMessages) ShowImageStatus(app, *command.statusMessages, state.ReplyText);
    return;
  }

  state.replyDocument.Parse(state.ReplyText);
  const std::vector<std::string> lines = command.lines(app, *mode);
  if (*mode == RecognitionMode::Demo && lines.empty()) {
    writer.WriteEmptyResultNotice(imageText);
    return;
  }
  writer.WriteSourceHeader(imageText);
  for (const std::string& line : lines) writer.AppendResultLine(line);
  writer.SaveResultFile();
  if (app.window.选择框_是否分割.ticked()) app.window.AppendOutput("\r\n");
}

}  // namespace tarnwick
