#include "recognition/general_recognition.h"

#include "support/file_bytes.h"
#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::kOneLineDemoReply;
using testing::kTwoLineKeyReply;
using testing::RecognitionTest;

using GeneralRecognition = RecognitionTest;

const std::string kPictureBytes = std::string("BM\x00\x01\xFF+/=", 8);

TEST_F(GeneralRecognition, SendsTheBodyOfEachModeEditionAndSource) {
  struct Case {
    const char* name;
    bool keyMode;
    bool highAccuracy;
    bool web;
    bool correctDirection;
    const char* path;
    std::string query;
    std::string body;
  };
  const std::string picture = Base64Encode(kPictureBytes);
  const std::string pictureAddress = service_.base() + "/pictures/p.jpg?size=1&x=:";
  const Case cases[] = {
      {"demo local", false, false, false, false, testing::kDemoPath, "",
       "image=data%3Aimage%2Fpng%3Bbase64%2C" + UrlEncode(picture) + "&image_url&type=" +
           EncodedEndpoint(testing::kGeneralBasicPath) + "&detect_direction=false"},
      {"demo web, high accuracy, corrected", false, true, true, true, testing::kDemoPath, "",
       "image&image_url=" + UrlEncode(pictureAddress) +
           "&type=" + EncodedEndpoint(testing::kAccurateBasicPath) + "&detect_direction=true"},
      {"key high local", true, true, false, false, testing::kAccurateBasicPath,
       "access_token=tok-from-service",
       "image=" + UrlEncode(picture) + "&language_type=auto_detect&detect_direction=false"},
      {"key standard local", true, false, false, true, testing::kGeneralBasicPath,
       "access_token=tok-from-service",
       "image=" + UrlEncode(picture) + "&language_type=CHN_ENG&detect_direction=true"},
      {"key standard web", true, false, true, false, testing::kGeneralBasicPath,
       "access_token=tok-from-service",
       "url=" + UrlEncode(pictureAddress) + "&language_type=CHN_ENG&detect_direction=false"},
      {"key high web: the program downloads the picture", true, true, true, false,
       testing::kAccurateBasicPath, "access_token=tok-from-service",
       "image=" + UrlEncode(picture) + "&language_type=auto_detect&detect_direction=false"},
  };
  service_.Reply("/pictures/p.jpg", kPictureBytes);
  for (const Case& c : cases) {
    testing::SimProgram sim(service_.endpoints());
    Program& program = sim.Start();
    MainWindow& window = program.window();
    if (c.keyMode) {
      window.选择框_我自己有key.Click();
      window.编辑框_apikey.EditByUser("AK");
      window.编辑框_SecretKey.EditByUser("SK");
    }
    if (c.highAccuracy) window.选择框_高精度版.Click();
    if (c.correctDirection) window.选择框_矫正图片.Click();
    const std::size_t before = service_.requestsTo(c.path).size();
    if (c.web) {
      RecognizeImageUrl(program.context(), pictureAddress);
    } else {
      const std::filesystem::path file = sim.folder() / "scan.bmp";
      testing::WriteFileBytes(file, kPictureBytes);
      RecognizeImageFile(program.context(), PathText(file));
    }
    auto sent = service_.requestsTo(c.path);
    ASSERT_EQ(sent.size(), before + 1) << c.name;
    const testing::RecordedRequest& request = sent.back();
    EXPECT_EQ(request.method, "POST") << c.name;
    EXPECT_EQ(request.query, c.query) << c.name;
    EXPECT_EQ(request.body, c.body) << c.name;
    EXPECT_EQ(request.headers.find("Content-Type")->second, "application/x-www-form-urlencoded");
    EXPECT_EQ(program.state().RequestBody, request.body) << c.name;
  }
}

TEST_F(GeneralRecognition, ButtonsCheckEditionModeAndKeysFirst) {
  struct Case {
    const char* name;
    std::function<void(MainWindow&)> arrange;
    const char* message;
  } cases[] = {
      {"no edition, no mode",
       [](MainWindow& w) {
         w.选择框_标准版.Click();
         w.选择框_功能演示.Click();
       },
       "请先勾选识别类型!"},
      {"no mode", [](MainWindow& w) { w.选择框_功能演示.Click(); }, "请先勾选key模式!"},
      {"key mode, secret key missing",
       [](MainWindow& w) {
         w.选择框_我自己有key.Click();
         w.编辑框_apikey.EditByUser("AK");
       },
       "请输入key或者更换为演示模式!"},
  };
  for (const Case& c : cases) {
    for (Control MainWindow::*button : {&MainWindow::按钮_本地图片, &MainWindow::按钮_网络图片}) {
      testing::SimProgram sim(service_.endpoints());
      MainWindow& window = sim.Start().window();
      c.arrange(window);
      (window.*button).Click();
      ASSERT_EQ(sim.desktop().boxes().size(), 1u) << c.name;
      const SimBox& box = sim.desktop().boxes()[0];
      EXPECT_EQ(box.text, c.message) << c.name;
      EXPECT_EQ(box.flags, 16) << c.name;
      EXPECT_EQ(box.title, "信息：");
    }
  }
  EXPECT_TRUE(service_.requests().empty());
  window().选择框_我自己有key.Click();
  window().编辑框_apikey.EditByUser(" ");
  window().编辑框_SecretKey.EditByUser(" ");
  EXPECT_TRUE(CheckRecognitionMode(app()));  // blanks count as typed
}

TEST_F(GeneralRecognition, ButtonsAskForThePictureAndRecognizeIt) {
  service_.Reply(testing::kDemoPath, kOneLineDemoReply);
  const std::string file = MakePicture("777.png", kPictureBytes);
  desktop().AnswerText(file);
  window().按钮_本地图片.Click();
  EXPECT_EQ(desktop().boxes()[0].kind, SimBox::Kind::OpenFile);
  EXPECT_EQ(desktop().boxes()[0].filter,
            "图片文件(*.jpg;*.bmp;*.png;*.gif)|*.jpg;*.bmp;*.png|任意文件（*.*）|*.*");
  EXPECT_EQ(Output(), "--------识别文件：" + file + "\r\nX\r\n\r\n");

  desktop().AnswerText("https://pictures.example/a.png");
  window().按钮_网络图片.Click();
  const SimBox& input = desktop().boxes()[1];
  EXPECT_EQ(input.text, "请在下方粘贴需要识别的图片的网络地址:");
  EXPECT_EQ(input.title, "请输入");
  EXPECT_EQ(input.initialText, "https://" + service_.endpoints().apiHost +
                                   "/70cFvnSh_Q1YnxGkpoWK1HF6hhy/it/"
                                   "u=3622721076,3835078278&fm=26&gp=0.jpg");
  EXPECT_EQ(state().ImageUrl, "https://pictures.example/a.png");
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 2u);

  desktop().AnswerText(std::nullopt);
  window().按钮_本地图片.Click();
  desktop().AnswerText(std::nullopt);
  window().按钮_网络图片.Click();
  EXPECT_EQ(service_.requestsTo(testing::kDemoPath).size(), 2u);
}

TEST_F(GeneralRecognition, DemoRateLimitOnALocalFile) {
  const std::string limited = R"({"errno":107,"msg":"请求Demo过于频繁"})";
  service_.Reply(testing::kDemoPath, limited);
  const std::string file = MakePicture("a.png", "x");
  RecognizeImageFile(app(), file);
  EXPECT_EQ(Output(), "--------提交速度过快,请求Demo过于频繁\r\n");
  EXPECT_EQ(window().标签_提示.text(), "");

  window().选择框_是否分割.Click();
  RecognizeImageFile(app(), file);
  EXPECT_EQ(Output(), "--------提交速度过快,请求Demo过于频繁\r\n");
  EXPECT_EQ(window().标签_提示.text(),
            "其中有文件返回结果\r\n提交速度过快,"
            "请求Demo过于频繁\r\n解决方法：①、可尝试更换个人key模式\r\n"
            "⑤、可尝试演示版增大间隔");
}

TEST_F(GeneralRecognition, DemoRateLimitOnAWebAddressStillRendersAnEmptyResult) {
  service_.Reply(testing::kDemoPath, R"({"msg":"请求Demo过于频繁"})");
  RecognizeImageUrl(app(), "https://pictures.example/a.png");
  EXPECT_EQ(Output(),
            "--------提交速度过快,请求Demo过于频繁\r\n"
            "--------识别文件：https://pictures.example/a.png\r\n"
            "--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n");
  EXPECT_EQ(window().标签_提示.text(), kRateLimitNotice);
}

TEST_F(GeneralRecognition, KeyModeRateLimitEndsTheLocalFileWithItsHeader) {
  UseKeyMode();
  service_.Reply(testing::kGeneralBasicPath,
                 R"({"error_code":18,"error_msg":"Open api qps request limit reached"})");
  const std::string file = MakePicture("a.png", "x");
  RecognizeImageFile(app(), file);
  EXPECT_EQ(Output(), "--------识别文件：" + file + "\r\n");
  EXPECT_EQ(window().标签_提示.text(), "");

  RecognizeImageUrl(app(), "https://pictures.example/a.png");  // not looked for on the web path
  EXPECT_TRUE(Output().ends_with("--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n"));
}

TEST_F(GeneralRecognition, ShowsEveryReplyWhenAsked) {
  window().选择框_返回信息提示.Click();
  service_.Reply(testing::kDemoPath, kOneLineDemoReply);
  RecognizeImageFile(app(), MakePicture("a.png", "x"));
  // Without saving, the demo layout shows the reply a second time after rendering.
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{std::string("返回识别结果为：") + kOneLineDemoReply,
                                      std::string("返回识别结果为：") + kOneLineDemoReply}));
  EXPECT_EQ(desktop().boxes()[0].flags, 0);

  window().选择框_保存识别结果txt.Click();
  RecognizeImageFile(app(), MakePicture("b.png", "x"));
  EXPECT_EQ(desktop().boxes().size(), 3u);
}

TEST_F(GeneralRecognition, RepliesAreNarrowedToWhatGbkHolds) {
  service_.Reply(testing::kDemoPath,
                 R"({"data":{"words_result_num":1,"words_result":[{"words":"识别😀€"}]}})");
  RecognizeImageFile(app(), MakePicture("a.png", "x"));
  EXPECT_NE(Output().find("识别?€\r\n"), std::string::npos);
}

TEST_F(GeneralRecognition, MissingFilesAndDeadServicesGiveEmptyResults) {
  service_.Reply(testing::kDemoPath, "<html>bad gateway</html>");
  RecognizeImageFile(app(), PathText(sim_.folder() / "missing.png"));
  EXPECT_TRUE(service_.requestsTo(testing::kDemoPath)
                  .at(0)
                  .body.starts_with("image=data%3Aimage%2Fpng%3Bbase64%2C&image_url&type="));

  ServiceEndpoints dead = service_.endpoints();
  dead.demoHost = "127.0.0.1:1";
  testing::SimProgram offline(dead);
  Program& program = offline.Start();
  RecognizeImageUrl(program.context(), "https://pictures.example/a.png");
  EXPECT_EQ(program.state().ReplyText, "");
  EXPECT_TRUE(program.window().编辑框1.text().ends_with(
      "--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n"));
  EXPECT_TRUE(offline.desktop().boxes().empty());
}

TEST_F(GeneralRecognition, AWebPictureFarAboveWhatTheServiceTakesCountsAsAFailedDownload) {
  UseKeyMode();
  UseHighAccuracy();
  service_.Reply(testing::kAccurateBasicPath, kTwoLineKeyReply);
  service_.Reply("/pictures/huge.jpg", std::string(kMaxPictureBytes + 1, 'p'));
  RecognizeImageUrl(app(), service_.base() + "/pictures/huge.jpg");
  EXPECT_TRUE(service_.requestsTo(testing::kAccurateBasicPath)
                  .at(0)
                  .body.starts_with("image=&language_type=auto_detect"));
}

}  // namespace
}  // namespace tarnwick
