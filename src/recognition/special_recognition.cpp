#include "recognition/special_recognition.h"

#include "app/message_boxes.h"
#include "recognition/prompt_command.h"
#include "recognition/result_writer.h"

namespace tarnwick {
namespace {

constexpr char kHandwritingPath[] = "/rest/2.0/ocr/v1/handwriting";
constexpr char kOfficeDocumentPath[] = "/rest/2.0/ocr/v1/doc_analysis_office";

std::string HandwritingBody(AppContext& app, const ImageRequest& request) {
  if (request.mode == RecognitionMode::Key) {
    // A web picture is downloaded here: this endpoint is sent the picture itself.
    return PictureForm(app, "image=", PictureBytes(app, request),
                       "&recognize_granularity&probability");
  }
  const std::string type = "&type=" + EncodedEndpoint(app, kHandwritingPath);
  if (request.sourceWord == kLocalSource) {
    return PictureForm(app, kPngDataUrlHead, PictureBytes(app, request), "&image_url" + type);
  }
  return AddressForm("image&image_url=", request.image, type);
}

std::string OfficeDocumentBody(AppContext& app, const ImageRequest& request) {
  std::string wordsType;
  if (app.window.选择框_印刷体.ticked()) wordsType = "print_only";
  if (app.window.选择框_手写体.ticked()) wordsType = "handwring_only";
  const std::string options = "&type=" + EncodedEndpoint(app, kOfficeDocumentPath) +
                              "&language_type=CHN_ENG&detect_direction=true&line_probability=false"
                              "&words_type=" +
                              wordsType + "&layout_analysis=false";
  if (request.sourceWord == kLocalSource) {
    return PictureForm(app, kPngDataUrlHead, PictureBytes(app, request),
                       "&image_url" + options + "&erase_seal=false");
  }
  return AddressForm("image&image_url=", request.image, options + "&erase_seal=true");
}

std::string BusinessLicenceBody(AppContext& app, const ImageRequest& request) {
  if (request.sourceWord == kLocalSource) {
    return PictureForm(app, kPngDataUrlHead, PictureBytes(app, request),
                       "&image_url=&type=business_license");
  }
  return AddressForm("image&image_url=", request.image, "&type=business_license");
}

// Key mode: {"words_result":[{"words":...}, ...]}; demo mode: the same list inside "data".
std::vector<std::string> HandwritingLines(AppContext& app, RecognitionMode mode) {
  SharedState& state = app.state;
  const JsonObject list = mode == RecognitionMode::Key
                              ? state.replyDocument.GetObject("words_result")
                              : state.replyDocument.GetObject("data").GetObject("words_result");
  const int count = list.MemberNames(state.memberNames);
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    state.itemDocument.Parse(list.GetElementText(i, "", true));
    lines.push_back(state.itemDocument.GetText("words"));
  }
  return lines;
}

// {"data":{"results":[{"words":{"word":...}}, ...]}}
std::vector<std::string> OfficeDocumentLines(AppContext& app, RecognitionMode) {
  SharedState& state = app.state;
  const JsonObject list = state.replyDocument.GetObject("data").GetObject("results");
  const int count = list.MemberNames(state.memberNames);
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    lines.push_back(list.GetElementObject(i).GetObject("words").GetText("word"));
  }
  return lines;
}

// {"data":{"words_result":{"<field name>":{"words":...}, ...}}}: one line per field, its name
// and value joined by the symbol of the result-file names.
std::vector<std::string> BusinessLicenceLines(AppContext& app, RecognitionMode) {
  SharedState& state = app.state;
  const JsonObject list = state.replyDocument.GetObject("data").GetObject("words_result");
  list.MemberNames(state.memberNames);
  std::vector<std::string> lines;
  for (const std::string& name : state.memberNames) {
    state.itemDocument.Parse(list.GetObject(name).ToJson());
    lines.push_back(name + state.SaveSymbol + state.itemDocument.GetText("words"));
  }
  return lines;
}

// The three commands, one row each.
const PromptCommand kHandwriting = {
    .promptText =
        "请选择图片的类型，手写文字每天50次免费识别次数！"
        "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别",
    .samplePath =
        "/portal-pc-node/dist/1610117544300/images/technology/ocr_others/handwriting/3.jpg",
    .savePrefix = "手写文字_",
    .keyPath = kHandwritingPath,
    .precondition = CheckFontMode,
    .body = HandwritingBody,
    .lines = HandwritingLines,
};
const PromptCommand kOfficeDocument = {
    .promptText =
        "请选择图片的类型，经测试word办公文档识别和普通文字识别没啥区别，用户可以自行尝试！"
        "\r\n办公文档识别仅支持演示版。"
        "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别",
    .samplePath = "/file/7E953068EA2C4800900EAA65D14F6D58",
    .savePrefix = "办公文档_",
    .keyPath = nullptr,  // demo only
    .precondition = CheckFontMode,
    .body = OfficeDocumentBody,
    .lines = OfficeDocumentLines,
};
const PromptCommand kBusinessLicence = {
    .promptText =
        "请选择图片的类型，营业执照每天200次免费识别次数！"
        "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别",
    .samplePath = "/file/59D409D48C4A4C138EF3C6218EF7EE6B",
    .savePrefix = "营业执照_",
    .keyPath = nullptr,  // demo only
    .precondition = CheckFontMode,
    .body = BusinessLicenceBody,
    .lines = BusinessLicenceLines,
};

}  // namespace

bool CheckFontMode(AppContext& app) {
  if (app.window.选择框_印刷体.ticked() || app.window.选择框_手写体.ticked()) return true;
  TopmostAwareMessageBox(app, "请先选择字体模式!", kBoxIconError);
  return false;
}

void RunHandwriting(AppContext& app) {
  RunPromptCommand(app, kHandwriting);
}
void RunOfficeDocument(AppContext& app) {
  RunPromptCommand(app, kOfficeDocument);
}
void RunBusinessLicence(AppContext& app) {
  RunPromptCommand(app, kBusinessLicence);
}

void RecognizeHandwriting(AppContext& app, std::string_view source, std::string_view image,
                          std::string_view mode) {
  RecognizeWithCommand(app, kHandwriting, source, image, mode);
}
void RecognizeOfficeDocument(AppContext& app, std::string_view source, std::string_view image,
                             std::string_view mode) {
  RecognizeWithCommand(app, kOfficeDocument, source, image, mode);
}
void RecognizeBusinessLicence(AppContext& app, std::string_view source, std::string_view image,
                              std::string_view mode) {
  RecognizeWithCommand(app, kBusinessLicence, source, image, mode);
}

void ClickPrintedFont(AppContext& app) {
  if (app.window.选择框_印刷体.ticked()) app.window.选择框_手写体.SetTicked(false);
}

void ClickHandwrittenFont(AppContext& app) {
  if (app.window.选择框_手写体.ticked()) app.window.选择框_印刷体.SetTicked(false);
}

}  // namespace tarnwick
