// What ID-card and bank-card recognition put in the output box and the result files, and what
// they say when the service found nothing on the picture.

#include "recognition/card_recognition.h"

#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::RecognitionTest;

class CardRecognition : public RecognitionTest {
 protected:
  CardRecognition() {
    window().选择框_保存识别结果txt.Click();
    window().选择框_保存_符号.Click();
    window().选择框_保存_是否加时间戳.Click();
  }
  std::string Saved(const std::string& name) {
    return GbkToUtf8(testing::ReadFileBytes(sim_.folder() / Utf8Path("文字识别结果") / name));
  }
};

constexpr char kIdCardKeyReply[] =
    R"({"log_id":1,"words_result":{"姓名":{"words":"张三"},"民族":{"words":"汉"},)"
    R"("公民身份号码":{"words":"110101199001011234"}},"words_result_num":3,"idcard_number_type":1})";

TEST_F(CardRecognition, IdCardLinesAreLabelledUnlessValuesOnly) {
  UseKeyMode();
  service_.Reply(testing::kIdCardPath, kIdCardKeyReply);
  const std::string file = MakePicture("front.jpg", "x");
  RecognizeIdCard(app(), "本地", file, "key");
  const std::string labelled = "姓名：张三\r\n民族：汉\r\n公民身份号码：110101199001011234\r\n";
  EXPECT_EQ(Output(), "--------识别文件：" + file + "\r\n" + labelled + "\r\n");
  EXPECT_EQ(Saved("身份证_front.jpg.txt"), labelled);

  window().选择框_身份证_纯属性.Click();
  RecognizeIdCard(app(), "本地", file, "key");
  const std::string values = "张三\r\n汉\r\n110101199001011234\r\n";
  EXPECT_TRUE(Output().ends_with("\r\n" + values + "\r\n"));
  EXPECT_EQ(Saved("身份证_front.jpg.txt"), values);
}

TEST_F(CardRecognition, IdCardCountComesFromTheReplyButStopsAtTheLastField) {
  struct Case {
    const char* name;
    const char* mode;
    const char* path;
    const char* reply;
    std::string lines;
  } cases[] = {
      {"count below the fields", "key", testing::kIdCardPath,
       R"({"words_result":{"姓名":{"words":"张三"},"性别":{"words":"男"}},"words_result_num":1})",
       "姓名：张三\r\n"},
      {"count beyond the fields", "key", testing::kIdCardPath,
       R"({"words_result":{"姓名":{"words":"张三"},"性别":{"words":"男"}},"words_result_num":9})",
       "姓名：张三\r\n性别：男\r\n"},
      {"count missing", "key", testing::kIdCardPath,
       R"({"words_result":{"姓名":{"words":"张三"}}})", ""},
      {"demo", "演示", testing::kDemoPath,
       R"({"data":{"words_result":{"住址":{"words":"北京市"}},"words_result_num":1}})",
       "住址：北京市\r\n"},
      {"demo, zero written with a space: no marker, so the empty-result lines", "演示",
       testing::kDemoPath, R"({"data":{"words_result":{},"words_result_num": 0}})",
       "--------返回内容为空,请更换模式后重试或更换图片后重试\r\n"},
  };
  for (const Case& c : cases) {
    service_.Reply(c.path, c.reply);
    const std::size_t before = window().编辑框1.text().size();
    RecognizeIdCard(app(), "网络", "https://pictures.example/id.png", c.mode);
    EXPECT_EQ(window().编辑框1.text().substr(before),
              "--------识别文件：https://pictures.example/id.png\r\n" + c.lines + "\r\n")
        << c.name;
  }
  EXPECT_TRUE(desktop().boxes().empty());
}

TEST_F(CardRecognition, BankCardReplyIsRewrittenBeforeAnythingReadsIt) {
  window().选择框_返回信息提示.Click();
  service_.Reply(testing::kDemoPath,
                 R"({"data":{"result":{"bank_card_number":"6222 0200 1234 5678",)"
                 R"("valid_date":"NONE","bank_card_type":2,"bank_name":""}}})");
  const std::string file = MakePicture("card.png", "x");
  RecognizeBankCard(app(), "本地", file, "演示");
  const std::string lines =
      "银行卡卡号：6222020012345678\r\n有效期：NONE\r\n"
      "银行卡类型：贷记卡（原信用卡大部分为贷记卡）\r\n银行名：空\r\n";
  EXPECT_EQ(Output(), "--------识别文件：" + file + "\r\n" + lines + "\r\n");
  EXPECT_EQ(Saved("银行卡_card.png.txt"), lines);
  EXPECT_EQ(desktop().boxes().at(0).text,
            R"(返回识别结果为：{"data":{"result":{"银行卡卡号":"6222020012345678",)"
            R"("有效期":"NONE","银行卡类型":2,"银行名":"空"}}})"
            "\r\n本地\r\n" +
                file + "\r\n演示");

  for (const auto& [code, shown] :
       std::vector<std::pair<std::string, std::string>>{{"0", "不能识别"},
                                                        {"1", "借记卡"},
                                                        {"3", "准贷记卡"},
                                                        {"4", "预付费卡"},
                                                        {"7", "7"},
                                                        {"\"12\"", "12"}}) {
    service_.Reply(testing::kBankCardPath, R"({"result":{"bank_card_type":)" + code + "}}");
    window().选择框_身份证_纯属性.SetTicked(code == "4");
    RecognizeBankCard(app(), "本地", file, "key");
    EXPECT_TRUE(Output().ends_with((code == "4" ? shown : "银行卡类型：" + shown) + "\r\n\r\n"))
        << code;
  }
}

TEST_F(CardRecognition, EmptyResultsNameWhatWasWrongWithThePicture) {
  struct Case {
    std::string reply;
    const char* idCard;
    const char* bankCard;
  } cases[] = {
      {R"({"words_result_num":0,"image_status":"blurred"})", "身份证模糊", "银行卡模糊"},
      {R"({"words_result_num":0,"risk":"over_dark","image_status":"non_idcard"})",
       "上传的图片中不包含身份证", "上传的图片中不包含银行卡信息"},
      {R"({"words_result_num":0,"image_status":"other_type_card"})", "其他类型证照",
       "其他类型证照"},
      {R"({"words_result_num":0,"image_status":"over_exposure"})", "身份证关键字段反光或过曝",
       "银行卡关键字段反光或过曝"},
      {R"({"words_result_num":0,"image_status":"over_dark"})", "身份证欠曝（亮度过低）",
       "银行卡欠曝（亮度过低）"},
      {R"({"words_result_num":0,"idcard_number_type":-1,"image_status":"unknown"})",
       "身份证正面所有字段全为空，您选择的可能不是身份证照片",
       "银行卡正面所有字段全为空，您选择的可能不是银行卡照片"},
      {R"({"words_result_num":0,"image_status":"unknown"})", "unknown", "unknown"},
      {R"({"words_result_num":0,"image_status":"normal"})", nullptr, nullptr},
      {R"({"data":{"words_result_num": 0,"result":{},"image_status":"blurred"}})", nullptr,
       "银行卡模糊"},  // the ID card finds no marker; the bank card's rewriting removes the space
  };
  UseKeyMode();
  const std::string file = MakePicture("x.png", "x");
  for (const Case& c : cases) {
    for (const bool bank : {false, true}) {
      service_.Reply(bank ? testing::kBankCardPath : testing::kIdCardPath, c.reply);
      const std::size_t boxes = desktop().boxes().size();
      const std::string output = window().编辑框1.text();
      bank ? RecognizeBankCard(app(), "本地", file, "key")
           : RecognizeIdCard(app(), "本地", file, "key");
      const char* expected = bank ? c.bankCard : c.idCard;
      if (!expected) {
        EXPECT_EQ(desktop().boxes().size(), boxes) << c.reply;
        continue;
      }
      ASSERT_EQ(desktop().boxes().size(), boxes + 1) << c.reply;
      const SimBox& box = desktop().boxes().back();
      const std::string reply = bank ? RewriteBankCardReply(c.reply) : c.reply;
      EXPECT_EQ(box.text, std::string(expected) == "unknown" ? "未知状态\r\n返回的内容为:" + reply
                                                             : std::string(expected))
          << c.reply;
      EXPECT_EQ(box.title, "错误!");
      EXPECT_EQ(box.flags, 16);
      EXPECT_EQ(window().编辑框1.text(), output) << c.reply;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(sim_.folder() / Utf8Path("文字识别结果")));
}

}  // namespace
}  // namespace tarnwick
