#include "recognition/result_writer.h"

#include <algorithm>
#include <cctype>

#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::kOneLineDemoReply;
using testing::kTwoLineKeyReply;
using testing::RecognitionTest;

class ResultWriting : public RecognitionTest {
 protected:
  void Render(const std::string& reply, ReplyLayout layout,
              const std::string& path = "/p/777.png") {
    state().ImagePath = path;
    ResultWriter(app()).RenderWordsResult(reply, kLocalSource, layout);
  }
  std::vector<std::filesystem::path> ResultFiles() {
    std::vector<std::filesystem::path> files;
    const auto folder = sim_.folder() / Utf8Path(kResultFolderName);
    if (!std::filesystem::exists(folder)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
  }
  void SaveResults() { window().选择框_保存识别结果txt.Click(); }
};

TEST_F(ResultWriting, FramesTheLinesOfEachLayout) {
  struct Case {
    const char* reply;
    ReplyLayout layout;
    bool separated;
    const char* output;
  } cases[] = {
      {kTwoLineKeyReply, ReplyLayout::Key, true, "--------识别文件：/p/777.png\r\nA\r\nB\r\n\r\n"},
      {kTwoLineKeyReply, ReplyLayout::Key, false, "A\r\nB\r\n"},
      {kTwoLineKeyReply, ReplyLayout::Demo, true,
       "--------识别文件：/p/"
       "777.png\r\n--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n"},
      {kOneLineDemoReply, ReplyLayout::Demo, true, "--------识别文件：/p/777.png\r\nX\r\n\r\n"},
      {"not json", ReplyLayout::Key, true,
       "--------识别文件：/p/"
       "777.png\r\n--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n"},
      {"", ReplyLayout::Key, false, ""},
      {R"({"words_result_num":3,"words_result":[{"words":"A"}]})", ReplyLayout::Key, false,
       "A\r\n\r\n\r\n"},
  };
  for (const Case& c : cases) {
    testing::SimProgram sim;
    Program& program = sim.Start();
    if (!c.separated) program.window().选择框_是否分割.Click();
    program.state().ImagePath = "/p/777.png";
    ResultWriter(program.context()).RenderWordsResult(c.reply, kLocalSource, c.layout);
    EXPECT_EQ(program.window().编辑框1.text().substr(std::string(kBanner).size()), c.output)
        << c.reply;
  }
}

TEST_F(ResultWriting, AnAbsurdCountCannotFloodTheBox) {
  window().选择框_是否分割.Click();
  Render(R"({"words_result_num":2000000000,"words_result":[{"words":"A"}]})", ReplyLayout::Key);
  EXPECT_EQ(Output().size(), std::string("A\r\n").size() + 2 * (100000 - 1));
}

TEST_F(ResultWriting, SavesAnsiWhenNoEncodingIsTicked) {
  SaveResults();
  Render(kTwoLineKeyReply, ReplyLayout::Key);
  EXPECT_TRUE(window().选择框_编码_ansi.ticked());
  const auto files = ResultFiles();
  ASSERT_EQ(files.size(), 1u);
  const std::string name = PathText(files[0].filename());
  const std::string head = "普通识别_777.png：";
  ASSERT_TRUE(name.starts_with(head) && name.ends_with(".txt")) << name;
  const std::string stamp = name.substr(head.size(), name.size() - head.size() - 4);
  EXPECT_EQ(stamp.size(), 10u) << name;
  EXPECT_TRUE(std::all_of(stamp.begin(), stamp.end(), ::isdigit)) << name;
  EXPECT_EQ(testing::ReadFileBytes(files[0]), "A\r\nB\r\n");
}

TEST_F(ResultWriting, WritesGbkBytesForAnsiAndUtf8WhenBothAreTicked) {
  SaveResults();
  const std::string reply = R"({"words_result_num":1,"words_result":[{"words":"中文"}]})";
  Render(reply, ReplyLayout::Key, "/p/a.png");
  EXPECT_EQ(testing::ReadFileBytes(ResultFiles().at(0)), "\xD6\xD0\xCE\xC4\r\n");
  std::filesystem::remove_all(sim_.folder() / Utf8Path(kResultFolderName));
  window().选择框_编码_utf8.Click();
  Render(reply, ReplyLayout::Key, "/p/a.png");
  ASSERT_EQ(ResultFiles().size(), 1u);
  EXPECT_EQ(testing::ReadFileBytes(ResultFiles()[0]), "中文\r\n");
}

TEST_F(ResultWriting, NamesFollowTheTypeSymbolAndTimestampBoxes) {
  SaveResults();
  window().选择框_保存_类型.Click();
  window().选择框_保存_是否加时间戳.Click();
  Render(kTwoLineKeyReply, ReplyLayout::Key, "/p/one.png");
  window().选择框_保存_符号.Click();  // cleared: no symbol from now on
  window().选择框_保存_类型.Click();
  Render(kTwoLineKeyReply, ReplyLayout::Key, "/p/two.png");
  window().选择框_保存_是否加时间戳.Click();
  Render(kTwoLineKeyReply, ReplyLayout::Key, "/p/three.png");
  std::vector<std::string> names;
  for (const auto& file : ResultFiles()) names.push_back(PathText(file.filename()));
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "one.png：.txt");
  EXPECT_EQ(names[1], "普通识别_three.png" + state().SaveTimestamp + ".txt");
  EXPECT_EQ(names[2], "普通识别_two.png.txt");
  EXPECT_EQ(state().SaveSymbol, "");
}

TEST_F(ResultWriting, IncrementalSavingKeepsEveryLineSoFar) {
  SaveResults();
  window().选择框_保存_识别文件夹的结果递增保存.Click();
  window().选择框_保存_是否加时间戳.Click();
  Render(kTwoLineKeyReply, ReplyLayout::Key, "/p/1.png");
  Render(kOneLineDemoReply, ReplyLayout::Demo, "/p/2.png");
  EXPECT_EQ(testing::ReadFileBytes(sim_.folder() / Utf8Path(kResultFolderName) /
                                   Utf8Path("普通识别_2.png：.txt")),
            "A\r\nB\r\nX\r\n");
  ResultWriter(app()).StartResultOutput("身份证识别_", false);  // other kinds start afresh
  EXPECT_EQ(state().PendingSaveText, "");
}

TEST_F(ResultWriting, WebNamesComeFromTheHostAndTheEndOfTheAddress) {
  struct Case {
    const char* address;
    const char* symbol;
    const char* name;
  } cases[] = {
      {"https://img.example.com/dir/abc.jpg", "：", "img.example.com：bc.jpg"},
      {"https://h.example/a.jpg", "：", "h.example：-a.jpg"},
      {"no-slashes/x.png", "--", "---x.png"},
      {"https://h.example/it/u=36,38&fm=26&gp=0.jpg?x=1", "", "h.example=0.jpgx=1"},
      {"https://h.example/p/图片.jpg", "：", "h.example：片.jpg"},
      {"https://h:8080/a<b>*\"'.png", "", "h8080.png"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WebSaveBaseName(c.address, c.symbol), c.name) << c.address;
  }
}

TEST_F(ResultWriting, WebNamesCarryTheSymbolHeldWhenTheNameWasMade) {
  SaveResults();
  window().选择框_保存_是否加时间戳.Click();
  window().选择框_保存_符号.Click();
  state().ImageUrl = "https://h.example/abc.jpg";
  ResultWriter(app()).RenderWordsResult(kTwoLineKeyReply, kWebSource, ReplyLayout::Key);
  EXPECT_EQ(PathText(ResultFiles().at(0).filename()), "普通识别_h.examplebc.jpg.txt");
}

}  // namespace
}  // namespace tarnwick
