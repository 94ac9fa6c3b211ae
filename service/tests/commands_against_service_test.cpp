// The program's prompt commands (cards, handwriting, office document, business licence, table)
// on the simulated desktop against the local OCR service, with the rendered sample pictures.

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <thread>

#include "char_accuracy.h"
#include "program_on_service.h"
#include "recognition/access_token.h"
#include "running_service.h"
#include "sheet_reader.h"
#include "support/sim_program.h"

namespace tarnwick::service {
namespace {

using testing::EndpointsOf;
using testing::OutputLines;
using testing::RunningService;

class CommandsAgainstService : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running_ = new RunningService(); }
  static void TearDownTestSuite() { delete running_; }

  CommandsAgainstService() {
    sim_ = std::make_unique<tarnwick::testing::SimProgram>(EndpointsOf(*running_));
    sim_->Start();
  }

  MainWindow& window() { return sim_->window(); }
  SimDesktop& desktop() { return sim_->desktop(); }

  // Key mode with a token already held, as after a first general recognition.
  void UseKeyModeWithToken() {
    window().选择框_我自己有key.Click();
    window().编辑框_apikey.EditByUser("AK");
    window().编辑框_SecretKey.EditByUser("SK");
    AccessTokenStore(sim_->context()).EnsureAccessToken("AK", "SK");
    ASSERT_FALSE(sim_->state().AccessToken.empty());
  }
  // Answers the image-source prompt with a local copy of the sample.
  void ChooseLocalSample(const std::string& name) {
    const std::filesystem::path path = sim_->folder() / name;
    std::filesystem::copy_file(testing::SampleFolder() / name, path);
    desktop().AnswerButton(kAnswerRetry);
    desktop().AnswerText(path.string());
  }
  // Answers the image-source prompt with the web address the input box offers.
  void ChooseDefaultAddress() {
    desktop().AnswerButton(kAnswerIgnore);
    desktop().Answer([](SimBox& box, SimDesktop&) { return SimReply{kAnswerOk, box.initialText}; });
  }
  std::vector<std::string> NewLines(std::size_t& seen) {
    const std::vector<std::string> all = OutputLines(window().编辑框1.text());
    std::vector<std::string> fresh(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return fresh;
  }

  static RunningService* running_;
  std::unique_ptr<tarnwick::testing::SimProgram> sim_;
};
RunningService* CommandsAgainstService::running_ = nullptr;

TEST_F(CommandsAgainstService, CardCommandsFillTheirLabelledLinesFromRenderedCards) {
  UseKeyModeWithToken();
  std::size_t seen = 0;
  ChooseLocalSample("idcard.png");
  window().按钮_身份证识别.Click();
  EXPECT_EQ(NewLines(seen), (std::vector<std::string>{
                                "住址：北京市东城区长安街1号", "公民身份号码：110101199010211234",
                                "出生：19901021", "姓名：张三", "性别：男", "民族：汉"}));

  // Demo mode, the bank card the address box offers.
  window().选择框_功能演示.Click();
  ChooseDefaultAddress();
  window().按钮_银行卡识别.Click();
  EXPECT_EQ(NewLines(seen),
            (std::vector<std::string>{"银行卡卡号：6222021234567890128", "有效期：12/28",
                                      "银行卡类型：借记卡", "银行名：中国工商银行"}));

  // A picture without a card: the program's own message, nothing in the box.
  ChooseLocalSample("handwriting.png");
  window().按钮_身份证识别.Click();
  const SimBox& last = desktop().boxes().back();
  EXPECT_EQ(last.text, "上传的图片中不包含身份证");
  EXPECT_EQ(last.title, "错误!");
  EXPECT_TRUE(NewLines(seen).empty());
}

TEST_F(CommandsAgainstService, SpecialCommandsRecogniseTheirDefaultAddresses) {
  std::size_t seen = 0;
  ChooseDefaultAddress();
  window().按钮_手写文字识别.Click();
  EXPECT_EQ(NewLines(seen), testing::SampleLines("handwriting"));

  ChooseDefaultAddress();
  window().按钮_办公文档识别.Click();
  EXPECT_EQ(NewLines(seen), testing::SampleLines("office"));

  ChooseDefaultAddress();
  window().按钮_营业执照识别.Click();
  const std::vector<std::string> licence = NewLines(seen);
  for (const char* line : {"社会信用代码：91110108592366240X", "单位名称：北京塔恩维克科技有限公司",
                           "类型：有限责任公司", "法人：王建国", "注册资本：100万元"}) {
    EXPECT_NE(std::find(licence.begin(), licence.end(), line), licence.end()) << line;
  }
}

TEST_F(CommandsAgainstService, TableCommandEndsInASpreadsheetOfTheCells) {
  UseKeyModeWithToken();
  ChooseLocalSample("table.png");
  window().按钮_识别_表格文字识别.Click();
  ASSERT_FALSE(sim_->state().TableRequestId.empty());

  // Asks again until the job is done, as a user would; the download offer is declined.
  std::vector<std::string> answers;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (desktop().ClipboardText().empty() && std::chrono::steady_clock::now() < deadline) {
    desktop().Answer([&](SimBox& box, SimDesktop&) {
      answers.push_back(box.text);
      return SimReply{kAnswerNo};
    });
    window().按钮_识别_取回识别结果.Click();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_FALSE(answers.empty());
  EXPECT_EQ(answers.back(), "下载地址已复制到剪贴板，是否立即用默认浏览器打开下载地址？");
  for (std::size_t i = 0; i + 1 < answers.size(); ++i) {
    EXPECT_EQ(answers[i].rfind("当前请求ID：" + sim_->state().TableRequestId + " ", 0), 0u)
        << answers[i];
  }

  const std::string address = desktop().ClipboardText();
  ASSERT_EQ(address.rfind(running_->base() + "/", 0), 0u) << address;
  httplib::Client client(running_->base());
  client.set_ca_cert_path(running_->certificate().c_str());
  client.enable_server_certificate_verification(true);
  const auto download = client.Get(address.substr(running_->base().size()));
  ASSERT_TRUE(download);
  const std::string cells = testing::SheetCells(download->body);
  EXPECT_GE(testing::CharacterAccuracy(cells, testing::KnownTable()), 0.9) << cells;
}

}  // namespace
}  // namespace tarnwick::service
