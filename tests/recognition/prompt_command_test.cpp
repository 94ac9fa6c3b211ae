// The five prompt commands, pressed in the window: what each asks, and what it sends to the
// service for each mode and source.

#include "recognition/card_recognition.h"
#include "recognition/special_recognition.h"
#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::RecognitionTest;

using PromptCommands = RecognitionTest;

const std::string kPictureBytes = std::string("\x89PNG\x00\xFF+/=", 9);
constexpr char kPromptTail[] = "\r\n\r\n[重试]-本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别";

enum class Mode { Key, Demo };
enum class Source { Local, Web };

// Answers the prompt, then the file dialog or the address box.
void ChooseImage(SimDesktop& desktop, Source source, const std::string& location) {
  desktop.AnswerButton(source == Source::Local ? kAnswerRetry : kAnswerIgnore);
  desktop.AnswerText(location);
}

TEST_F(PromptCommands, SendEachCommandsRequestForEachModeAndSource) {
  struct Case {
    const char* name;
    Control MainWindow::*button;
    Mode mode;
    Source source;
    const char* path;  // where the request goes
    std::string body;  // with PICTURE and ADDRESS standing for their encoded forms
    bool handwrittenFont = false;
  };
  const std::string encodedDemo = "&image_url&type=";
  const Case cases[] = {
      {"handwriting key local", &MainWindow::按钮_手写文字识别, Mode::Key, Source::Local,
       testing::kHandwritingPath, "image=PICTURE&recognize_granularity&probability"},
      {"handwriting key web: downloaded first", &MainWindow::按钮_手写文字识别, Mode::Key,
       Source::Web, testing::kHandwritingPath, "image=PICTURE&recognize_granularity&probability"},
      {"handwriting demo local", &MainWindow::按钮_手写文字识别, Mode::Demo, Source::Local,
       testing::kDemoPath, "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&image_url&type=T_hand"},
      {"handwriting demo web", &MainWindow::按钮_手写文字识别, Mode::Demo, Source::Web,
       testing::kDemoPath, "image&image_url=ADDRESS&type=T_hand"},
      {"office document local, printed: demo even in key mode", &MainWindow::按钮_办公文档识别,
       Mode::Key, Source::Local, testing::kDemoPath,
       "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&image_url&type=T_doc&language_type=CHN_ENG"
       "&detect_direction=true&line_probability=false&words_type=print_only"
       "&layout_analysis=false&erase_seal=false"},
      {"office document web, handwritten", &MainWindow::按钮_办公文档识别, Mode::Demo, Source::Web,
       testing::kDemoPath,
       "image&image_url=ADDRESS&type=T_doc&language_type=CHN_ENG&detect_direction=true"
       "&line_probability=false&words_type=handwring_only&layout_analysis=false"
       "&erase_seal=true",
       true},
      {"business licence local: demo even in key mode", &MainWindow::按钮_营业执照识别, Mode::Key,
       Source::Local, testing::kDemoPath,
       "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&image_url=&type=business_license"},
      {"business licence web", &MainWindow::按钮_营业执照识别, Mode::Demo, Source::Web,
       testing::kDemoPath, "image&image_url=ADDRESS&type=business_license"},
      {"ID card key local", &MainWindow::按钮_身份证识别, Mode::Key, Source::Local,
       testing::kIdCardPath,
       "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&id_card_side=front&detect_risk=true"},
      {"ID card key web: the service fetches it", &MainWindow::按钮_身份证识别, Mode::Key,
       Source::Web, testing::kIdCardPath, "url=ADDRESS&id_card_side=front&detect_risk=true"},
      {"ID card demo local", &MainWindow::按钮_身份证识别, Mode::Demo, Source::Local,
       testing::kDemoPath,
       "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&image_url&type=T_id&id_card_side=front"
       "&detect_photo=false"},
      {"ID card demo web", &MainWindow::按钮_身份证识别, Mode::Demo, Source::Web,
       testing::kDemoPath,
       "image&image_url=ADDRESS&type=T_id&id_card_side=front&detect_photo=false"},
      {"bank card key local", &MainWindow::按钮_银行卡识别, Mode::Key, Source::Local,
       testing::kBankCardPath, "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&detect_direction=true"},
      {"bank card key web: downloaded first", &MainWindow::按钮_银行卡识别, Mode::Key, Source::Web,
       testing::kBankCardPath, "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&detect_direction=true"},
      {"bank card demo local", &MainWindow::按钮_银行卡识别, Mode::Demo, Source::Local,
       testing::kDemoPath, "image=data%3Aimage%2Fpng%3Bbase64%2CPICTURE&image_url&type=T_bank"},
      {"bank card demo web", &MainWindow::按钮_银行卡识别, Mode::Demo, Source::Web,
       testing::kDemoPath, "image&image_url=ADDRESS&type=T_bank"},
  };
  const std::string address = service_.base() + "/pictures/p.jpg?size=1&x=:";
  service_.Reply("/pictures/p.jpg", kPictureBytes);
  for (const Case& c : cases) {
    testing::SimProgram sim(service_.endpoints());
    Program& program = sim.Start();
    MainWindow& window = program.window();
    if (c.mode == Mode::Key) {
      window.选择框_我自己有key.Click();
      window.编辑框_apikey.EditByUser("AK");
      window.编辑框_SecretKey.EditByUser("SK");
      program.state().AccessToken = "held-token";
    }
    if (c.handwrittenFont) window.选择框_手写体.Click();
    const std::filesystem::path file = sim.folder() / "scan.jpg";
    testing::WriteFileBytes(file, kPictureBytes);
    ChooseImage(sim.desktop(), c.source, c.source == Source::Local ? PathText(file) : address);
    const std::size_t before = service_.requestsTo(c.path).size();
    (window.*c.button).Click();

    const auto sent = service_.requestsTo(c.path);
    ASSERT_EQ(sent.size(), before + 1) << c.name;
    std::string body = c.body;
    for (const auto& [word, value] :
         {std::pair<std::string, std::string>{"PICTURE", UrlEncode(Base64Encode(kPictureBytes))},
          {"ADDRESS", UrlEncode(address)},
          {"T_hand", EncodedEndpoint(testing::kHandwritingPath)},
          {"T_doc", EncodedEndpoint(testing::kOfficeDocumentPath)},
          {"T_id", EncodedEndpoint(testing::kIdCardPath)},
          {"T_bank", EncodedEndpoint(testing::kBankCardPath)}}) {
      body = ReplaceAll(body, word, value);
    }
    EXPECT_EQ(sent.back().method, "POST") << c.name;
    EXPECT_EQ(sent.back().body, body) << c.name;
    EXPECT_EQ(sent.back().query,
              c.path == std::string(testing::kDemoPath) ? "" : "access_token=held-token")
        << c.name;
    EXPECT_EQ(program.state().RequestBody, body) << c.name;
    const SimBox& dialog = sim.desktop().boxes().at(1);
    EXPECT_EQ(dialog.kind, c.source == Source::Local ? SimBox::Kind::OpenFile : SimBox::Kind::Input)
        << c.name;
    EXPECT_EQ(sim.desktop().pendingScripts(), 0u) << c.name;
  }
}

TEST_F(PromptCommands, AskWithTheirOwnTextsAndSampleAddresses) {
  struct Case {
    Control MainWindow::*button;
    const char* promptHead;
    const char* samplePath;
  } cases[] = {
      {&MainWindow::按钮_手写文字识别, "请选择图片的类型，手写文字每天50次免费识别次数！",
       "/portal-pc-node/dist/1610117544300/images/technology/ocr_others/handwriting/3.jpg"},
      {&MainWindow::按钮_办公文档识别,
       "请选择图片的类型，经测试word办公文档识别和普通文字识别没啥区别，用户可以自行尝试！\r\n"
       "办公文档识别仅支持演示版。",
       "/file/7E953068EA2C4800900EAA65D14F6D58"},
      {&MainWindow::按钮_营业执照识别, "请选择图片的类型，营业执照每天200次免费识别次数！",
       "/file/59D409D48C4A4C138EF3C6218EF7EE6B"},
      {&MainWindow::按钮_身份证识别, "请选择图片的类型，身份证每天500次免费识别次数！",
       "/file/0C2E17DA8CBC4C04AF4A6D1E38FC04ED"},
      {&MainWindow::按钮_银行卡识别, "请选择图片的类型，银行卡每天500次免费识别次数！",
       "/file/08D0DD4D1EBB4E749A340BAAEFEF091B"},
  };
  for (const auto& c : cases) {
    const std::size_t first = desktop().boxes().size();
    desktop().AnswerButton(kAnswerIgnore);
    desktop().AnswerText(std::nullopt);
    (window().*c.button).Click();
    ASSERT_EQ(desktop().boxes().size(), first + 2);
    const SimBox& prompt = desktop().boxes()[first];
    EXPECT_EQ(prompt.text, std::string(c.promptHead) + kPromptTail);
    EXPECT_EQ(prompt.flags, 69698);
    const SimBox& input = desktop().boxes()[first + 1];
    EXPECT_EQ(input.text, "请在下方粘贴需要识别的图片的网络地址:");
    EXPECT_EQ(input.title, "请输入");
    EXPECT_EQ(input.initialText, "https://" + service_.endpoints().apiHost + c.samplePath);
  }
  EXPECT_TRUE(service_.requests().empty());
}

TEST_F(PromptCommands, CheckTheirPreconditionsBeforeThePrompt) {
  struct Case {
    const char* name;
    std::function<void(MainWindow&)> arrange;
    std::vector<Control MainWindow::*> buttons;
    const char* message;
  } cases[] = {
      {"no font mode",
       [](MainWindow& w) { w.选择框_印刷体.Click(); },
       {&MainWindow::按钮_手写文字识别, &MainWindow::按钮_办公文档识别,
        &MainWindow::按钮_营业执照识别},
       "请先选择字体模式!"},
      {"no mode",
       [](MainWindow& w) { w.选择框_功能演示.Click(); },
       {&MainWindow::按钮_身份证识别, &MainWindow::按钮_银行卡识别},
       "请先勾选key模式!"},
      {"key mode, secret key missing",
       [](MainWindow& w) {
         w.选择框_我自己有key.Click();
         w.编辑框_apikey.EditByUser("AK");
       },
       {&MainWindow::按钮_身份证识别, &MainWindow::按钮_银行卡识别},
       "请输入key或者更换为演示模式!"},
  };
  for (const Case& c : cases) {
    for (Control MainWindow::*button : c.buttons) {
      testing::SimProgram sim(service_.endpoints());
      MainWindow& window = sim.Start().window();
      c.arrange(window);
      window.选择框_置顶.Click();
      (window.*button).Click();
      ASSERT_EQ(sim.desktop().boxes().size(), 1u) << c.name;
      const SimBox& box = sim.desktop().boxes()[0];
      EXPECT_EQ(box.text, c.message) << c.name;
      EXPECT_EQ(box.flags, 16) << c.name;
      EXPECT_EQ(box.title, "信息：") << c.name;
      EXPECT_FALSE(box.mainWindowOnTop) << c.name;  // through TopmostAwareMessageBox
    }
  }
  EXPECT_TRUE(service_.requests().empty());
}

TEST_F(PromptCommands, DemoOnlyCommandsLeaveTheWindowInDemoModeOnceThePromptIsAnswered) {
  const std::string storedBefore = sim_.StoredSettings();
  UseKeyMode();
  const std::string storedInKeyMode = sim_.StoredSettings();
  for (Control MainWindow::*button :
       {&MainWindow::按钮_办公文档识别, &MainWindow::按钮_营业执照识别}) {
    if (!window().选择框_我自己有key.ticked()) window().选择框_我自己有key.Click();
    desktop().AnswerButton(kAnswerAbort);
    (window().*button).Click();
    EXPECT_TRUE(window().选择框_我自己有key.ticked());  // the prompt was cancelled

    desktop().AnswerButton(kAnswerRetry);
    desktop().AnswerText(std::nullopt);  // the file dialog is cancelled
    (window().*button).Click();
    EXPECT_TRUE(window().选择框_功能演示.ticked());
    EXPECT_FALSE(window().选择框_我自己有key.ticked());
  }
  EXPECT_EQ(sim_.StoredSettings(), storedInKeyMode);  // set by program, not stored
  EXPECT_NE(storedBefore, storedInKeyMode);
  EXPECT_TRUE(service_.requests().empty());

  // Handwriting runs in the mode that is ticked, or not at all when none is.
  window().选择框_功能演示.Click();
  desktop().AnswerButton(kAnswerIgnore);
  desktop().AnswerText("https://pictures.example/a.png");
  window().按钮_手写文字识别.Click();
  EXPECT_TRUE(service_.requests().empty());
}

TEST_F(PromptCommands, TickingOneFontModeUnticksTheOther) {
  MainWindow& w = window();
  const std::string stored = sim_.StoredSettings();
  EXPECT_TRUE(w.选择框_印刷体.ticked());
  w.选择框_手写体.Click();
  EXPECT_TRUE(w.选择框_手写体.ticked());
  EXPECT_FALSE(w.选择框_印刷体.ticked());
  w.选择框_印刷体.Click();
  EXPECT_TRUE(w.选择框_印刷体.ticked());
  EXPECT_FALSE(w.选择框_手写体.ticked());
  w.选择框_印刷体.Click();
  EXPECT_FALSE(w.选择框_印刷体.ticked());
  EXPECT_FALSE(w.选择框_手写体.ticked());
  EXPECT_EQ(sim_.StoredSettings(), stored);
}

}  // namespace
}  // namespace tarnwick
