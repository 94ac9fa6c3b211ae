// Table recognition: submitting a picture, keeping the job's id, and fetching its state and
// download address.

#include "recognition/table_recognition.h"

#include <algorithm>

#include "support/paths.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::RecognitionTest;

constexpr char kSubmitted[] =
    R"({"result":[{"request_id":"24_1234","ret_msg":"提交成功"}],"log_id":7})";

class TableRecognition : public RecognitionTest {
 protected:
  TableRecognition() {
    UseKeyMode();
    state().AccessToken = "held-token";
  }
  // A local picture submitted through the button, answered with `reply`.
  void Submit(const std::string& reply) {
    service_.Reply(testing::kTableSubmitPath, reply);
    desktop().AnswerButton(kAnswerRetry);
    desktop().AnswerText(MakePicture("table.png", "table bytes"));
    window().按钮_识别_表格文字识别.Click();
  }
  void Fetch(const std::string& reply) {
    service_.Reply(testing::kTableFetchPath, reply);
    window().按钮_识别_取回识别结果.Click();
  }
};

TEST_F(TableRecognition, WorksOnlyInKeyModeWithBothKeys) {
  window().编辑框_SecretKey.EditByUser("");
  window().按钮_识别_表格文字识别.Click();
  window().选择框_功能演示.Click();
  window().按钮_识别_表格文字识别.Click();
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"表格识别请输入完整的自己的双key！",
                                                  "表格识别只能用key模式，没有演示模式!"}));
  for (const SimBox& box : desktop().boxes()) EXPECT_EQ(box.flags, 16);
  EXPECT_TRUE(service_.requests().empty());
}

TEST_F(TableRecognition, SubmitsThePicturesBytesAndKeepsTheRequestId) {
  window().选择框_返回信息提示.Click();
  Submit(kSubmitted);
  const std::vector<std::string> texts = BoxTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0],
            "请选择图片的类型，表格文字识别每日50次免费调用量！仅支持key模式识别！\r\n\r\n[重试]-"
            "本地图片\r\n[忽略]-网络图片\r\n[中止]-取消识别");
  const std::string file = PathText(sim_.folder() / "table.png");
  EXPECT_EQ(texts[2],
            "返回识别结果为：{'result':[{'request_id':'24_1234','ret_msg':'提交成功'}],"
            "'log_id':7}\r\n本地\r\n" +
                file + "\r\nkey");
  EXPECT_EQ(state().TableRequestId, "24_1234");
  const auto sent = service_.requestsTo(testing::kTableSubmitPath);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].query, "access_token=held-token");
  EXPECT_EQ(sent[0].body, "image=" + UrlEncode(Base64Encode("table bytes")) +
                              "&is_sync=false&request_type=excel");

  // A web picture is downloaded and sent the same way; the address box offers the sample.
  service_.Reply("/pictures/t.png", "web table");
  desktop().AnswerButton(kAnswerIgnore);
  desktop().AnswerText(service_.base() + "/pictures/t.png");
  window().按钮_识别_表格文字识别.Click();
  EXPECT_EQ(desktop().boxes()[4].initialText,
            "https://" + service_.endpoints().apiHost + "/file/5A2C3E1B7D9F4A6B8C0D2E4F6A8B0C1D");
  EXPECT_EQ(service_.requestsTo(testing::kTableSubmitPath).at(1).body,
            "image=" + UrlEncode(Base64Encode("web table")) + "&is_sync=false&request_type=excel");
  EXPECT_EQ(Output(), "");  // nothing ever goes to the box
}

TEST_F(TableRecognition, FetchingNeedsAnIdFromTheLastSubmission) {
  window().按钮_识别_取回识别结果.Click();
  Submit(kSubmitted);
  Submit(R"({"error_code":110,"error_msg":"Access token invalid"})");  // forgets the old id
  window().按钮_识别_取回识别结果.Click();
  std::vector<SimBox> errors;
  for (const SimBox& box : desktop().boxes()) {
    if (box.title == "错误!") errors.push_back(box);
  }
  ASSERT_EQ(errors.size(), 2u);
  for (const SimBox& box : errors) {
    EXPECT_EQ(box.text, "未找到请求id，请重新提交或重试");
    EXPECT_EQ(box.flags, 16);
  }
  EXPECT_TRUE(service_.requestsTo(testing::kTableFetchPath).empty());
}

TEST_F(TableRecognition, FetchReportsTheJobsState) {
  struct Case {
    const char* reply;
    std::vector<std::string> boxes;
    int flags;
  } cases[] = {
      {R"({"result":{"ret_msg":"未开始","percent":0}})",
       {"当前请求ID：24_1234 未开始，请稍等几秒后重试"},
       64},
      {R"({"result":{"ret_msg":"进行中","percent":45}})",
       {"当前请求ID：24_1234 进行中，当前进度：45%"},
       64},
      {R"({"result":{"ret_msg":"已完成","result_data":""}})", {}, 0},
      {R"({"error_code":282000,"error_msg":"internal error"})", {}, 0},
  };
  Submit(kSubmitted);
  for (const Case& c : cases) {
    const std::size_t before = desktop().boxes().size();
    Fetch(c.reply);
    std::vector<std::string> shown = BoxTexts();
    shown.erase(shown.begin(), shown.begin() + before);
    EXPECT_EQ(shown, c.boxes) << c.reply;
    if (!c.boxes.empty()) {
      EXPECT_EQ(desktop().boxes().back().flags, c.flags);
    }
  }
  EXPECT_EQ(service_.requestsTo(testing::kTableFetchPath).at(0).body,
            "request_id=24_1234&result_type=excel");
  EXPECT_EQ(state().TableRequestId, "24_1234");
  EXPECT_EQ(std::count(desktop().calls().begin(), desktop().calls().end(), "SetClipboardText"), 0);
  EXPECT_TRUE(desktop().openedAddresses().empty());
}

TEST_F(TableRecognition, ACompletedJobOffersItsDownloadAgainAndAgain) {
  Submit(kSubmitted);
  const std::string address = "https://bj.bcebos.example/form/24_1234.xls?auth=a&b=c";
  const std::string done =
      R"({"result":{"result_data":")" + address + R"(","ret_msg":"已完成","percent":100}})";
  std::string clipboardWhenAsked;
  for (const int answer : {kAnswerNo, kAnswerYes}) {
    desktop().SetClipboard("");
    desktop().Answer([&](SimBox& box, SimDesktop& sim) {
      EXPECT_EQ(box.text, "下载地址已复制到剪贴板，是否立即用默认浏览器打开下载地址？");
      EXPECT_EQ(box.flags, 4);
      clipboardWhenAsked = sim.ClipboardText();
      return SimReply{answer};
    });
    Fetch(done);
    EXPECT_EQ(clipboardWhenAsked, address);
  }
  EXPECT_EQ(desktop().openedAddresses(), std::vector<std::string>{address});

  // Only a web address is handed to the system's opener.
  desktop().AnswerButton(kAnswerYes);
  Fetch(R"({"result":{"result_data":"/usr/bin/xterm","ret_msg":"已完成"}})");
  EXPECT_EQ(desktop().ClipboardText(), "/usr/bin/xterm");
  EXPECT_EQ(desktop().openedAddresses().size(), 1u);
}

TEST_F(TableRecognition, ShowsTheFetchReplyWhenAsked) {
  Submit(kSubmitted);
  window().选择框_返回信息提示.Click();
  Fetch(R"({"result":{"ret_msg":"进行中","percent":"45"}})");
  const std::vector<std::string> texts = BoxTexts();
  EXPECT_EQ(texts.at(texts.size() - 2),
            "返回识别结果为：{'result':{'ret_msg':'进行中','percent':'45'}}\r\n24_1234\r\n"
            "输出类型：excel\r\n完成进度：45");
}

}  // namespace
}  // namespace tarnwick
