// The desktop program on the simulated desktop against the local OCR service: what a user
// without a network or an account gets.

#include <gtest/gtest.h>

#include <iostream>

#include "char_accuracy.h"
#include "program_on_service.h"
#include "recognition/general_recognition.h"
#include "running_service.h"
#include "support/sim_program.h"
#include "support/text_helpers.h"

namespace tarnwick::service {
namespace {

using testing::EndpointsOf;
using testing::OutputLines;
using testing::RunningService;
using testing::SampleLines;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Compares line by line and reports the character accuracy reached on the picture.
void ExpectKnownText(const std::vector<std::string>& recognised, const std::string& sample) {
  const std::vector<std::string> known = SampleLines(sample);
  const double accuracy = testing::CharacterAccuracy(Joined(recognised), Joined(known));
  std::cout << "character accuracy on " << sample << ": " << accuracy * 100 << " %\n";
  ::testing::Test::RecordProperty("accuracy_" + sample, std::to_string(accuracy));
  EXPECT_EQ(recognised.size(), known.size()) << Joined(recognised);
  EXPECT_GE(accuracy, 0.95) << Joined(recognised);
}

class ProgramAgainstService : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running_ = new RunningService(); }
  static void TearDownTestSuite() { delete running_; }

  std::string CopySample(const std::string& name) {
    const std::filesystem::path path = sim_.folder() / name;
    std::filesystem::copy_file(testing::SampleFolder() / name, path);
    return path.string();
  }

  static RunningService* running_;
  tarnwick::testing::SimProgram sim_{EndpointsOf(*running_)};
};
RunningService* ProgramAgainstService::running_ = nullptr;

TEST_F(ProgramAgainstService, KeyModeGetsATokenOnceAndRecognisesLocalPictures) {
  MainWindow& window = sim_.Start().window();
  window.选择框_我自己有key.Click();
  window.编辑框_apikey.EditByUser("AK");
  window.编辑框_SecretKey.EditByUser("SK");

  sim_.desktop().AnswerText(CopySample("general.png"));
  window.按钮_本地图片.Click();
  ExpectKnownText(OutputLines(window.编辑框1.text()), "general");
  const std::string token = sim_.state().AccessToken;
  EXPECT_FALSE(token.empty());
  EXPECT_NE(sim_.StoredSettings().find("access_token=" + token), std::string::npos);

  const std::size_t before = OutputLines(window.编辑框1.text()).size();
  sim_.desktop().AnswerText(CopySample("handwriting.png"));
  window.按钮_本地图片.Click();
  const std::vector<std::string> all = OutputLines(window.编辑框1.text());
  ExpectKnownText({all.begin() + before, all.end()}, "handwriting");
  EXPECT_EQ(sim_.state().AccessToken, token);  // reused, not fetched again

  std::vector<std::string> boxes;
  for (const SimBox& box : sim_.desktop().boxes()) {
    if (box.kind == SimBox::Kind::Message) boxes.push_back(box.text);
  }
  EXPECT_EQ(boxes, std::vector<std::string>{"获取Access token成功~"});

  // The next run of the program keeps the token, and the service still takes it.
  sim_.Restart();
  sim_.desktop().AnswerText(CopySample("office.png"));
  sim_.window().按钮_本地图片.Click();
  ExpectKnownText(OutputLines(sim_.window().编辑框1.text()), "office");
  EXPECT_EQ(sim_.state().AccessToken, token);
}

TEST_F(ProgramAgainstService, DemoModeRecognisesTheDefaultWebAddress) {
  MainWindow& window = sim_.Start().window();
  sim_.desktop().Answer([](SimBox& box, SimDesktop&) {
    return SimReply{kAnswerOk, box.initialText};
  });
  window.按钮_网络图片.Click();
  ExpectKnownText(OutputLines(window.编辑框1.text()), "general");
}

TEST_F(ProgramAgainstService, KeyModeSendsTheDefaultAddressForTheServiceToFetch) {
  MainWindow& window = sim_.Start().window();
  window.选择框_我自己有key.Click();
  window.编辑框_apikey.EditByUser("AK");
  window.编辑框_SecretKey.EditByUser("SK");
  sim_.desktop().Answer([](SimBox& box, SimDesktop&) {
    return SimReply{kAnswerOk, box.initialText};
  });
  window.按钮_网络图片.Click();
  EXPECT_EQ(sim_.state().RequestBody.rfind("url=", 0), 0u);
  ExpectKnownText(OutputLines(window.编辑框1.text()), "general");
}

TEST(ProgramAgainstLimitedService, QpsLimitGetsTheProgramsRateLimitHandling) {
  RunningService running([](ServiceOptions& options) {
    options.workers = 1;
    options.keyRequestsPerSecond = 1;
  });
  tarnwick::testing::SimProgram sim(EndpointsOf(running));
  MainWindow& window = sim.Start().window();
  window.选择框_我自己有key.Click();
  window.编辑框_apikey.EditByUser("AK");
  window.编辑框_SecretKey.EditByUser("SK");
  const std::filesystem::path picture = sim.folder() / "p.png";
  std::filesystem::copy_file(testing::SampleFolder() / "handwriting.png", picture);
  // Two at once, as folder recognition with the pause off sends them.
  RecognizeImageFile(sim.context(), picture.string());
  const std::string first = window.编辑框1.text();
  RecognizeImageFile(sim.context(), picture.string());
  EXPECT_NE(sim.state().ReplyText.find("Open api qps request limit reached"), std::string::npos);
  EXPECT_EQ(window.编辑框1.text(), first + "--------识别文件：" + picture.string() + "\r\n");
}

}  // namespace
}  // namespace tarnwick::service
