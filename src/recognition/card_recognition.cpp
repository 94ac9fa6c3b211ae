#include "recognition/card_recognition.h"

#include <algorithm>
#include <cstdlib>

#include "app/message_boxes.h"
#include "recognition/prompt_command.h"
#include "recognition/result_writer.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

constexpr char kIdCardPath[] = "/rest/2.0/ocr/v1/idcard";
constexpr char kBankCardPath[] = "/rest/2.0/ocr/v1/bankcard";

std::string IdCardBody(AppContext& app, const ImageRequest& request) {
  const bool local = request.sourceWord == kLocalSource;
  if (request.mode == RecognitionMode::Key) {
    constexpr char kOptions[] = "&id_card_side=front&detect_risk=true";
    // The service fetches a web picture itself.
    return local ? PictureForm(app, kPngDataUrlHead, PictureBytes(app, request), kOptions)
                 : AddressForm("url=", request.image, kOptions);
  }
  const std::string options =
      "&type=" + EncodedEndpoint(app, kIdCardPath) + "&id_card_side=front&detect_photo=false";
  return local
             ? PictureForm(app, kPngDataUrlHead, PictureBytes(app, request), "&image_url" + options)
             : AddressForm("image&image_url=", request.image, options);
}

std::string BankCardBody(AppContext& app, const ImageRequest& request) {
  if (request.mode == RecognitionMode::Key) {
    // A web picture is downloaded here: this endpoint is sent the picture itself.
    return PictureForm(app, kPngDataUrlHead, PictureBytes(app, request), "&detect_direction=true");
  }
  const std::string type = "&type=" + EncodedEndpoint(app, kBankCardPath);
  return request.sourceWord == kLocalSource
             ? PictureForm(app, kPngDataUrlHead, PictureBytes(app, request), "&image_url" + type)
             : AddressForm("image&image_url=", request.image, type);
}

// One card field: "label：value", or the value alone while values-only is ticked.
std::string FieldLine(const AppContext& app, const std::string& label, const std::string& value) {
  if (app.window.选择框_身份证_纯属性.ticked()) return value;
  return label + "：" + value;
}

// Key mode: {"words_result_num":n,"words_result":{"<field>":{"words":...}, ...}}; demo mode: the
// same inside "data". The count is the one the reply states, but never more lines than it has
// fields: a count beyond them has no labels left to show.
std::vector<std::string> IdCardLines(AppContext& app, RecognitionMode mode) {
  SharedState& state = app.state;
  const JsonObject fields =
      mode == RecognitionMode::Key ? state.replyDocument : state.replyDocument.GetObject("data");
  const JsonObject list = fields.GetObject("words_result");
  const long stated =
      std::strtol(fields.GetObject("words_result_num").ToJson().c_str(), nullptr, 10);
  const long count = std::min<long>(stated, list.MemberNames(state.memberNames));
  std::vector<std::string> lines;
  for (long i = 0; i < count; ++i) {
    const std::string& label = state.memberNames[i];
    std::string value;
    if (mode == RecognitionMode::Key) {
      value = list.GetObject(label).GetText("words");
    } else {
      state.itemDocument.Parse(list.GetObject(label).ToJson());
      value = state.itemDocument.GetText("words");
    }
    lines.push_back(FieldLine(app, label, value));
  }
  return lines;
}

const char* BankCardTypeName(const std::string& code) {
  static constexpr const char* kNames[] = {"不能识别", "借记卡", "贷记卡（原信用卡大部分为贷记卡）",
                                           "准贷记卡", "预付费卡"};
  if (code.size() == 1 && code[0] >= '0' && code[0] <= '4') return kNames[code[0] - '0'];
  return nullptr;
}

// Key mode: {"result":{"<field>":value, ...}}; demo mode: the same inside "data".
std::vector<std::string> BankCardLines(AppContext& app, RecognitionMode mode) {
  SharedState& state = app.state;
  const JsonObject list = mode == RecognitionMode::Key
                              ? state.replyDocument.GetObject("result")
                              : state.replyDocument.GetObject("data").GetObject("result");
  list.MemberNames(state.memberNames);
  std::vector<std::string> lines;
  for (const std::string& label : state.memberNames) {
    std::string value = list.GetText(label);
    if (label == "银行卡类型") {
      if (const char* name = BankCardTypeName(value)) value = name;
    }
    lines.push_back(FieldLine(app, label, value));
  }
  return lines;
}

constexpr ImageStatusMessages kIdCardStatus = {
    .nonIdCard = "上传的图片中不包含身份证",
    .blurred = "身份证模糊",
    .otherTypeCard = "其他类型证照",
    .overExposure = "身份证关键字段反光或过曝",
    .overDark = "身份证欠曝（亮度过低）",
    .allFieldsEmpty = "身份证正面所有字段全为空，您选择的可能不是身份证照片",
};
constexpr ImageStatusMessages kBankCardStatus = {
    .nonIdCard = "上传的图片中不包含银行卡信息",
    .blurred = "银行卡模糊",
    .otherTypeCard = "其他类型证照",
    .overExposure = "银行卡关键字段反光或过曝",
    .overDark = "银行卡欠曝（亮度过低）",
    .allFieldsEmpty = "银行卡正面所有字段全为空，您选择的可能不是银行卡照片",
};

// The two commands, one row each.
const PromptCommand kIdCard = {
    .promptText =
        "请选择图片的类型，身份证每天500次免费识别次数！"
        "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别",
    .samplePath = "/file/0C2E17DA8CBC4C04AF4A6D1E38FC04ED",
    .savePrefix = "身份证_",
    .keyPath = kIdCardPath,
    .precondition = CheckKeyMode,
    .body = IdCardBody,
    .lines = IdCardLines,
    .rewriteReply = nullptr,
    .statusMessages = &kIdCardStatus,
};
const PromptCommand kBankCard = {
    .promptText =
        "请选择图片的类型，银行卡每天500次免费识别次数！"
        "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别",
    .samplePath = "/file/08D0DD4D1EBB4E749A340BAAEFEF091B",
    .savePrefix = "银行卡_",
    .keyPath = kBankCardPath,
    .precondition = CheckKeyMode,
    .body = BankCardBody,
    .lines = BankCardLines,
    .rewriteReply = RewriteBankCardReply,
    .statusMessages = &kBankCardStatus,
};

}  // namespace

std::string RewriteBankCardReply(std::string_view reply) {
  // In this order: the empty value "" must be found after the spaces inside it are gone.
  std::string text = ReplaceAll(reply, " ", "");
  text = ReplaceAll(text, "\"\"", "\"空\"");
  text = ReplaceAll(text, "bank_card_number", "银行卡卡号");
  text = ReplaceAll(text, "valid_date", "有效期");
  text = ReplaceAll(text, "bank_card_type", "银行卡类型");
  return ReplaceAll(text, "bank_name", "银行名");
}

bool CheckKeyMode(AppContext& app) {
  const MainWindow& window = app.window;
  const char* problem = nullptr;
  if (!window.选择框_我自己有key.ticked() && !window.选择框_功能演示.ticked()) {
    problem = "请先勾选key模式!";
  } else if (window.选择框_我自己有key.ticked() &&
             (window.编辑框_apikey.text().empty() || window.编辑框_SecretKey.text().empty())) {
    problem = "请输入key或者更换为演示模式!";
  }
  if (!problem) return true;
  TopmostAwareMessageBox(app, problem, kBoxIconError);
  return false;
}

void RunIdCard(AppContext& app) {
  RunPromptCommand(app, kIdCard);
}
void RunBankCard(AppContext& app) {
  RunPromptCommand(app, kBankCard);
}

void RecognizeIdCard(AppContext& app, std::string_view source, std::string_view image,
                     std::string_view mode) {
  RecognizeWithCommand(app, kIdCard, source, image, mode);
}
void RecognizeBankCard(AppContext& app, std::string_view source, std::string_view image,
                       std::string_view mode) {
  RecognizeWithCommand(app, kBankCard, source, image, mode);
}

}  // namespace tarnwick
