// What handwriting, office-document and business-licence recognition put in the output box,
// the reply box and the result files.

#include "recognition/special_recognition.h"

#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::RecognitionTest;

class SpecialRecognition : public RecognitionTest {
 protected:
  std::vector<std::string> SavedFiles() {
    std::vector<std::string> names;
    const std::filesystem::path folder = sim_.folder() / Utf8Path("文字识别结果");
    if (!std::filesystem::exists(folder)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      names.push_back(PathText(entry.path().filename()));
    }
    return names;
  }
  std::string Saved(const std::string& name) {
    return testing::ReadFileBytes(sim_.folder() / Utf8Path("文字识别结果") / name);
  }
  // File names without the symbol and the time stamp.
  void SaveWithPlainNames() {
    window().选择框_保存识别结果txt.Click();
    window().选择框_保存_符号.Click();
    window().选择框_保存_是否加时间戳.Click();
  }
};

constexpr char kHandwritingKeyReply[] =
    R"({"words_result_num":2,"words_result":[{"words":"第一行","probability":{}},{"words":"B"}]})";

TEST_F(SpecialRecognition, HandwritingLinesGoToTheBoxAndTheNamedFile) {
  UseKeyMode();
  SaveWithPlainNames();
  service_.Reply(testing::kHandwritingPath, kHandwritingKeyReply);
  const std::string file = MakePicture("a.jpg", "x");
  RecognizeHandwriting(app(), "本地", file, "key");
  EXPECT_EQ(Output(), "--------识别文件：" + file + "\r\n第一行\r\nB\r\n\r\n");
  EXPECT_EQ(SavedFiles(), std::vector<std::string>{"手写文字_a.jpg.txt"});
  EXPECT_EQ(Saved("手写文字_a.jpg.txt"), Utf8ToGbk("第一行\r\nB\r\n"));

  window().选择框_保存_类型.Click();
  RecognizeHandwriting(app(), "本地", file, "key");
  EXPECT_EQ(Saved("a.jpg.txt"), Utf8ToGbk("第一行\r\nB\r\n"));  // one picture's lines only
}

TEST_F(SpecialRecognition, EmptyListsAndEmptyResults) {
  struct Case {
    const char* name;
    const char* mode;
    const char* path;
    const char* reply;
    bool separated;
    std::string output;  // IMAGE stands for the address
  } cases[] = {
      {"demo, empty list", "演示", testing::kDemoPath, R"({"data":{"words_result":[]}})", true,
       "--------识别文件：IMAGE\r\n--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n"},
      {"demo, empty list, not separated", "演示", testing::kDemoPath,
       R"({"data":{"words_result":[]}})", false, ""},
      {"demo, error reply", "演示", testing::kDemoPath, R"({"error_code":110})", true,
       "--------识别文件：IMAGE\r\n--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n"},
      {"key, empty list", "key", testing::kHandwritingPath, R"({"words_result":[]})", true,
       "--------识别文件：IMAGE\r\n\r\n"},
      {"empty-result marker", "key", testing::kHandwritingPath,
       R"({"words_result_num":0,"words_result":[{"words":"never shown"}]})", true, ""},
      {"empty-result marker, demo", "演示", testing::kDemoPath,
       R"({"data":{"words_result_num":0,"words_result":[{"words":"never shown"}]}})", true, ""},
  };
  for (const Case& c : cases) {
    testing::FakeOcrService service;                           // each case its own replies
    const std::string address = service.base() + "/page.png";  // downloaded in key mode
    service.Reply("/page.png", "x");
    testing::SimProgram sim(service.endpoints());
    Program& program = sim.Start();
    program.window().选择框_保存识别结果txt.Click();
    if (!c.separated) program.window().选择框_是否分割.Click();
    service.Reply(c.path, c.reply);
    const std::size_t banner = program.window().编辑框1.text().size();
    RecognizeHandwriting(program.context(), "网络", address, c.mode);
    EXPECT_EQ(program.window().编辑框1.text().substr(banner),
              ReplaceAll(c.output, "IMAGE", address))
        << c.name;
    EXPECT_FALSE(std::filesystem::exists(sim.folder() / Utf8Path("文字识别结果"))) << c.name;
    EXPECT_TRUE(sim.desktop().boxes().empty()) << c.name;
  }
}

TEST_F(SpecialRecognition, ShowsEveryReplyFirstWhenAsked) {
  window().选择框_返回信息提示.Click();
  const std::string reply = R"({"data":{"words_result_num":1,"words_result":[{"words":"X"}]}})";
  service_.Reply(testing::kDemoPath, reply);
  std::string outputWhileShown;
  desktop().Answer([&](SimBox&, SimDesktop&) {
    outputWhileShown = Output();
    return SimReply{};
  });
  const std::string file = MakePicture("a.png", "x");
  RecognizeHandwriting(app(), "本地", file, "演示");
  ASSERT_EQ(desktop().boxes().size(), 1u);
  const SimBox& box = desktop().boxes()[0];
  EXPECT_EQ(box.text, "返回识别结果为：" + reply + "\r\n本地\r\n" + file + "\r\n演示");
  EXPECT_EQ(box.flags, 0);
  EXPECT_EQ(box.title, "信息：");
  EXPECT_EQ(outputWhileShown, "");
  EXPECT_EQ(Output(), "--------识别文件：" + file + "\r\nX\r\n\r\n");

  const std::string empty = R"({"words_result_num":0})";
  service_.Reply(testing::kDemoPath, empty);
  RecognizeOfficeDocument(app(), "网络", "https://pictures.example/a.png", "演示");
  EXPECT_EQ(desktop().boxes().back().text,
            "返回识别结果为：" + empty + "\r\n网络\r\nhttps://pictures.example/a.png\r\n演示");
}

TEST_F(SpecialRecognition, OfficeDocumentReadsEachResultsWord) {
  service_.Reply(testing::kDemoPath,
                 R"({"data":{"results_num":2,"results":[{"words":{"word":"标题"}},)"
                 R"({"words":{"word":"正文 一"},"words_type":"print"}]}})");
  RecognizeOfficeDocument(app(), "网络", "https://pictures.example/doc.png", "演示");
  EXPECT_EQ(Output(),
            "--------识别文件：https://pictures.example/doc.png\r\n标题\r\n正文 一\r\n\r\n");
}

TEST_F(SpecialRecognition, BusinessLicenceLinesJoinNameAndValueWithTheCurrentSymbol) {
  // Member order as the reply gives it, not sorted.
  const std::string reply = R"({"data":{"words_result":{"社会信用代码":{"words":"91310000"},)"
                            R"("单位名称":{"words":"某某有限公司"}},"words_result_num":2}})";
  service_.Reply(testing::kDemoPath, reply);
  const std::string file = MakePicture("licence.png", "x");
  RecognizeBusinessLicence(app(), "本地", file, "演示");
  EXPECT_EQ(Output(), "--------识别文件：" + file +
                          "\r\n社会信用代码：91310000\r\n单位名称：某某有限公司\r\n\r\n");

  state().SaveSymbol = "--";
  RecognizeBusinessLicence(app(), "本地", file, "演示");
  EXPECT_TRUE(Output().ends_with("社会信用代码--91310000\r\n单位名称--某某有限公司\r\n\r\n"));

  // Unticking the symbol empties it: name and value are joined directly.
  window().选择框_保存_符号.Click();
  RecognizeBusinessLicence(app(), "本地", file, "演示");
  EXPECT_TRUE(Output().ends_with("社会信用代码91310000\r\n单位名称某某有限公司\r\n\r\n"));
}

}  // namespace
}  // namespace tarnwick
