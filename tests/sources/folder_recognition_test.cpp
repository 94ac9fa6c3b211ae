#include "sources/folder_recognition.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <climits>
#include <set>

#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr char kHeader[] = "--------识别文件：";
constexpr char kEmptyNotice[] = "--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n";

class FolderRecognitionTest : public testing::RecognitionTest {
 protected:
  FolderRecognitionTest() {
    fs::create_directory(pictures_);
    prefix_ = PathText(pictures_) + static_cast<char>(std::filesystem::path::preferred_separator);
  }

  void Put(const std::string& name, const std::string& bytes = "picture") {
    testing::WriteFileBytes(pictures_ / Utf8Path(name), bytes);
  }
  void Tick(std::initializer_list<const char*> formats) {
    for (const char* format : formats) window().Find(format)->Click();
  }
  // Starts a walk whose folder chooser picks the pictures' folder.
  void Walk() {
    desktop().AnswerText(PathText(pictures_));
    window().按钮_文件夹识别.Click();
  }
  // The files recognised, in order, as the headers of the output name them.
  std::vector<std::string> Recognised() {
    std::vector<std::string> names;
    const std::string output = Output();
    for (std::size_t at = output.find(kHeader); at != std::string::npos;
         at = output.find(kHeader, at + 1)) {
      const std::size_t start = at + std::string(kHeader).size();
      const std::string path = output.substr(start, output.find("\r\n", start) - start);
      names.push_back(path.substr(prefix_.size()));
    }
    return names;
  }
  std::string CompletionLine(const std::string& pattern) {
    return ">>>>>>>>枚举" + prefix_ + "中的" + pattern + "图片文件完成\r\n";
  }

  fs::path pictures_ = sim_.folder() / "pictures";
  std::string prefix_;
};

TEST(FolderPatterns, MatchTheExtensionIgnoringCaseOnly) {
  struct Case {
    const char* name;
    const char* pattern;
    bool taken;
  };
  const Case cases[] = {
      {"a.png", "*.png", true},         {"B.PNG", "*.png", true},    {"c.Jpeg", "*.jpeg", true},
      {"a.jpeg", "*.jpg", false},       {"a.jpg", "*.jpeg", false},  {"x.png.txt", "*.png", false},
      {"photo.bmp.png", "*.png", true}, {".png", "*.png", true},     {"png", "*.png", false},
      {"扫描件.PnG", "*.png", true},    {"a[1].png", "*.png", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NameMatchesPattern(c.name, c.pattern), c.taken) << c.name << " " << c.pattern;
  }
}

TEST(FolderPause, IsTheLeadingDecimalIntegerOfTheText) {
  const std::pair<const char*, int> cases[] = {
      {"200", 200},
      {"300ms", 300},
      {"  42", 42},
      {"\t+7x", 7},
      {"-5", -5},
      {"0", 0},
      {"", 0},
      {"abc", 0},
      {"ms300", 0},
      {"- 5", 0},
      {"12 3", 12},
      {"0x10", 0},
      {"1.5", 1},
      {"99999999999999999999", INT_MAX},
      {"-99999999999", INT_MIN},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(PauseMilliseconds(text), expected) << '"' << text << '"';
  }
}

TEST_F(FolderRecognitionTest, WalksTheTickedFormatsInFixedOrderWithTheirCompletionLines) {
  for (const char* name : {"a.png", "B.PNG", "c.bmp", "d.jpeg", "e.jpg", "f.txt", "g.BMP"}) {
    Put(name);
  }
  fs::create_directory(pictures_ / "scans.png");
  fs::create_directory(pictures_ / "sub");
  testing::WriteFileBytes(pictures_ / "sub" / "inner.png", "inner");
  Tick({"选择框_png", "选择框_bmp"});
  Walk();

  ASSERT_EQ(desktop().boxes().size(), 1u);
  EXPECT_EQ(desktop().boxes()[0].kind, SimBox::Kind::Folder);
  EXPECT_EQ(desktop().boxes()[0].text, "请选择文件夹");
  const std::vector<std::string> recognised = Recognised();
  ASSERT_EQ(recognised.size(), 5u);
  // Every bmp before any png; within a format the file system's order, whatever it is.
  EXPECT_EQ(std::set<std::string>(recognised.begin(), recognised.begin() + 2),
            (std::set<std::string>{"c.bmp", "g.BMP"}));
  EXPECT_EQ(std::set<std::string>(recognised.begin() + 2, recognised.end()),
            (std::set<std::string>{"a.png", "B.PNG", "scans.png"}));
  const std::string output = Output();
  const std::size_t bmpLine = output.find(CompletionLine("*.bmp"));
  ASSERT_NE(bmpLine, std::string::npos);
  EXPECT_LT(bmpLine, output.find(kHeader + prefix_ + recognised[2]));
  EXPECT_TRUE(output.ends_with(kEmptyNotice + CompletionLine("*.png"))) << output;
  EXPECT_EQ(output.find("jpg"), std::string::npos);

  // The matching folder goes out like a file, with no picture in it.
  const auto requests = service_.requestsTo(testing::kDemoPath);
  ASSERT_EQ(requests.size(), 5u);
  const auto scans = std::find(recognised.begin(), recognised.end(), "scans.png");
  EXPECT_TRUE(requests[scans - recognised.begin()].body.starts_with(
      "image=data%3Aimage%2Fpng%3Bbase64%2C&image_url&type="));
}

// Links and pipes as Linux has them.
#ifndef _WIN32
TEST_F(FolderRecognitionTest, TakesFoldersAndRegularFilesAndSkipsOtherEntries) {
  Put("real.png");
  fs::create_symlink(pictures_ / "real.png", pictures_ / "link.png");
  fs::create_symlink(pictures_ / "gone", pictures_ / "dangling.png");
  ASSERT_EQ(::mkfifo((pictures_ / "pipe.png").c_str(), 0600), 0);
  Tick({"选择框_png"});
  Walk();
  const std::vector<std::string> recognised = Recognised();
  EXPECT_EQ(std::set<std::string>(recognised.begin(), recognised.end()),
            (std::set<std::string>{"real.png", "link.png"}));
  EXPECT_EQ(window().标签_进度.text(), "进度：2/2");
}
#endif

TEST_F(FolderRecognitionTest, WritesTheCompletionLineOfAFormatWithoutFilesOnlyWhenSeparating) {
  Put("only.bmp");
  Tick({"选择框_jpg", "选择框_jpeg"});
  Walk();
  EXPECT_EQ(Output(), CompletionLine("*.jpg") + CompletionLine("*.jpeg"));
  EXPECT_TRUE(service_.requests().empty());

  window().选择框_是否分割.Click();
  Walk();
  EXPECT_EQ(Output(), CompletionLine("*.jpg") + CompletionLine("*.jpeg"));
}

TEST_F(FolderRecognitionTest, AsksForAFormatBeforeAnyFolder) {
  window().按钮_文件夹识别.Click();
  ASSERT_EQ(desktop().boxes().size(), 1u);
  EXPECT_EQ(desktop().boxes()[0].text, "请先勾选图片格式!!");
  EXPECT_EQ(desktop().boxes()[0].flags, kBoxIconError);
  EXPECT_EQ(std::count(desktop().calls().begin(), desktop().calls().end(), "ChooseFolder"), 0);
}

TEST_F(FolderRecognitionTest, EmptiesTheTextWaitingToBeSavedWhenTheWalkEndsOrIsCancelled) {
  service_.Reply(testing::kDemoPath, testing::kOneLineDemoReply);
  window().选择框_保存识别结果txt.Click();
  window().选择框_保存_识别文件夹的结果递增保存.Click();
  Put("one.png");
  Put("two.png");
  Tick({"选择框_png"});
  Walk();
  EXPECT_EQ(Recognised().size(), 2u);
  EXPECT_EQ(state().PendingSaveText, "");

  state().PendingSaveText = "X\r\n";
  desktop().AnswerText(std::nullopt);
  window().按钮_文件夹识别.Click();
  EXPECT_EQ(state().PendingSaveText, "");
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 2u);
}

TEST_F(FolderRecognitionTest, PausesAfterEachFileWhileTimersTick) {
  Put("one.png");
  Put("two.png");
  Tick({"选择框_png"});
  int ticks = 0;
  window().时钟_信息框_修改.OnTick([&ticks] { ++ticks; });
  window().时钟_信息框_修改.SetPeriod(100);
  struct Case {
    bool pauseTicked;
    const char* text;
    int expectedMilliseconds;
  };
  const Case cases[] = {
      {true, "300ms", 600}, {true, "200", 400}, {true, "0", 0},    {true, "-50", 0},
      {true, "abc", 0},     {true, "", 0},      {false, "300", 0},
  };
  for (const Case& c : cases) {
    if (window().选择框_延迟.ticked() != c.pauseTicked) window().选择框_延迟.Click();
    window().编辑框_延迟毫秒.EditByUser(c.text);
    const std::int64_t before = desktop().NowMilliseconds();
    const int ticksBefore = ticks;
    Walk();
    EXPECT_EQ(desktop().NowMilliseconds() - before, c.expectedMilliseconds) << c.text;
    EXPECT_EQ(ticks - ticksBefore, c.expectedMilliseconds / 100) << c.text;
  }
}

TEST_F(FolderRecognitionTest, TheStatusBarCountsTheFilesAndTheWalkCannotStartTwice) {
  for (const char* name : {"a.png", "b.png", "c.jpg"}) Put(name);
  Tick({"选择框_png", "选择框_jpg"});
  std::vector<std::string> progress;
  window().标签_进度.Observe(
      [&progress](const Control& label, ControlChange) { progress.push_back(label.text()); });
  std::vector<std::string> during;
  window().时钟_信息框_修改.OnTick([&] {
    during.push_back(window().标签_当前文件.text());
    EXPECT_FALSE(window().按钮_文件夹识别.enabled());
    EXPECT_TRUE(window().按钮_停止.enabled());
    window().按钮_文件夹识别.Click();  // a second walk does not start inside the pause
  });
  window().时钟_信息框_修改.SetPeriod(150);
  Walk();

  EXPECT_EQ(progress,
            (std::vector<std::string>{"进度：0/3", "进度：1/3", "进度：2/3", "进度：3/3"}));
  // Ticks at 150, 300, 450 and 600 ms fall in the pauses of 200 ms after each file; jpg
  // comes before png.
  ASSERT_EQ(during.size(), 4u);
  EXPECT_EQ(during.front(), "c.jpg");
  EXPECT_EQ(during.back(), Recognised().back());
  EXPECT_EQ(window().标签_当前文件.text(), "完成");
  EXPECT_TRUE(window().按钮_文件夹识别.enabled());
  EXPECT_FALSE(window().按钮_停止.enabled());
  EXPECT_EQ(std::count(desktop().calls().begin(), desktop().calls().end(), "ChooseFolder"), 1);
  EXPECT_EQ(Recognised().size(), 3u);
}

TEST_F(FolderRecognitionTest, StopEndsTheWalkAfterTheCurrentFile) {
  for (const char* name : {"a.png", "b.png", "c.png", "d.jpeg"}) Put(name);
  Tick({"选择框_png", "选择框_jpeg"});

  // Pressed while the first file's reply box is open.
  window().选择框_返回信息提示.Click();
  desktop().AnswerText(PathText(pictures_));
  desktop().Answer([this](SimBox&, SimDesktop&) {
    window().按钮_停止.Click();
    return SimReply{};
  });
  window().按钮_文件夹识别.Click();
  EXPECT_EQ(Recognised().size(), 1u);
  EXPECT_TRUE(Output().ends_with(CompletionLine("*.png"))) << Output();
  EXPECT_EQ(window().标签_进度.text(), "进度：1/4");
  EXPECT_EQ(window().标签_当前文件.text(), "已停止");
  EXPECT_TRUE(window().按钮_文件夹识别.enabled());
  EXPECT_FALSE(window().按钮_停止.enabled());

  // Pressed during the pause after a file: the pause ends there too.
  window().选择框_返回信息提示.Click();
  window().编辑框_延迟毫秒.EditByUser("1000");
  window().时钟_信息框_修改.OnTick([this] { window().按钮_停止.Click(); });
  window().时钟_信息框_修改.SetPeriod(100);
  const std::int64_t before = desktop().NowMilliseconds();
  Walk();
  EXPECT_EQ(Recognised().size(), 2u);
  EXPECT_LE(desktop().NowMilliseconds() - before, 120);
  EXPECT_EQ(window().标签_进度.text(), "进度：1/4");

  // The next walk starts afresh.
  window().时钟_信息框_修改.SetPeriod(0);
  window().编辑框_延迟毫秒.EditByUser("0");
  Walk();
  EXPECT_EQ(Recognised().size(), 6u);
  EXPECT_EQ(window().标签_进度.text(), "进度：4/4");
}

}  // namespace
}  // namespace tarnwick
