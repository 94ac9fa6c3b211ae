#include "recognition/access_token.h"

#include "recognition/general_recognition.h"
#include "support/recognition_fixture.h"

namespace tarnwick {
namespace {

using testing::kTwoLineKeyReply;
using testing::RecognitionTest;

using AccessToken = RecognitionTest;

TEST_F(AccessToken, IsRequestedOnceStoredAndSentWithEveryRequest) {
  UseKeyMode("my ak", "S=K");
  service_.Reply(testing::kGeneralBasicPath, kTwoLineKeyReply);
  const std::string file = MakePicture("a.png", "x");
  RecognizeImageFile(app(), file);
  const auto tokenRequests = service_.requestsTo(testing::kTokenPath);
  ASSERT_EQ(tokenRequests.size(), 1u);
  EXPECT_EQ(tokenRequests[0].method, "GET");
  EXPECT_EQ(tokenRequests[0].query,
            "grant_type=client_credentials&client_id=my%20ak&client_secret=S=K&");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"获取Access token成功~"}));
  EXPECT_EQ(desktop().boxes()[0].flags, 64);
  EXPECT_EQ(sim_.program().settings().ReadSetting("参数", "access_token"), "tok-from-service");
  EXPECT_EQ(service_.requestsTo(testing::kGeneralBasicPath).at(0).query,
            "access_token=tok-from-service");

  window().编辑框_apikey.EditByUser("another key");  // a held token stays in use
  RecognizeImageFile(app(), file);
  EXPECT_EQ(service_.requestsTo(testing::kTokenPath).size(), 1u);

  sim_.Restart();
  RecognizeImageFile(app(), file);
  EXPECT_EQ(service_.requestsTo(testing::kTokenPath).size(), 1u);
  EXPECT_EQ(service_.requestsTo(testing::kGeneralBasicPath).size(), 3u);
}

TEST_F(AccessToken, RejectedKeysLeaveNoTokenAndSendNothingElse) {
  service_.Reply(testing::kTokenPath,
                 R"({"error":"invalid_client","error_description":"unknown client id"})");
  UseKeyMode();
  window().选择框_返回信息提示.Click();
  RecognizeImageUrl(app(), "https://pictures.example/a.png");
  EXPECT_EQ(
      BoxTexts(),
      (std::vector<std::string>{
          R"(获取ATK返回识别结果为：{"error":"invalid_client","error_description":"unknown client id"})",
          kTokenErrorMessage}));
  EXPECT_EQ(desktop().boxes()[1].flags, 16);
  EXPECT_EQ(service_.requests().size(), 1u);
  EXPECT_EQ(state().AccessToken, "");
  EXPECT_NE(sim_.StoredSettings().find("access_token=\r\n"), std::string::npos);
}

TEST_F(AccessToken, ShowsTheTokenReplyBeforeTheSuccessBoxWhenAsked) {
  UseKeyMode();
  window().选择框_返回信息提示.Click();
  AccessTokenStore(app()).EnsureAccessToken("AK", "SK");
  ASSERT_EQ(desktop().boxes().size(), 2u);
  EXPECT_TRUE(desktop().boxes()[0].text.starts_with("获取ATK返回识别结果为：{\"access_token\""));
  EXPECT_EQ(desktop().boxes()[0].flags, 0);
  EXPECT_EQ(desktop().boxes()[1].text, "获取Access token成功~");
}

TEST_F(AccessToken, ARejectedTokenIsForgottenAndReplacedNextTime) {
  UseKeyMode();
  service_.Reply(testing::kGeneralBasicPath,
                 R"({"error_code":110,"error_msg":"Access token invalid or no longer valid"})");
  service_.Reply(testing::kGeneralBasicPath, kTwoLineKeyReply);
  service_.Reply(testing::kTokenPath, R"({"access_token":"second"})");
  const std::string file = MakePicture("a.png", "x");
  RecognizeImageFile(app(), file);
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(state().AccessToken, "");
  EXPECT_NE(sim_.StoredSettings().find("access_token=\r\n"), std::string::npos);
  EXPECT_EQ(desktop().boxes().back().text, "Access token失效,请重新登录");
  EXPECT_EQ(desktop().boxes().back().flags, 16);

  RecognizeImageFile(app(), file);
  EXPECT_EQ(state().AccessToken, "second");
  EXPECT_EQ(service_.requestsTo(testing::kGeneralBasicPath).back().query, "access_token=second");
  EXPECT_NE(Output().find("A\r\nB\r\n"), std::string::npos);
}

TEST_F(AccessToken, AReplyCanAddNoKeysToTheSettingsFile) {
  UseKeyMode();
  window().编辑框_延迟毫秒.EditByUser("300");
  service_.Reply(testing::kTokenPath,
                 "{\"access_token\":\"tok\\r\\n延迟ms=987654\\r\\n[新节]\\r\\nx=1\"}");
  service_.Reply(testing::kGeneralBasicPath, kTwoLineKeyReply);
  RecognizeImageFile(app(), MakePicture("a.png", "x"));
  sim_.Restart();
  EXPECT_EQ(window().编辑框_延迟毫秒.text(), "300");
  EXPECT_EQ(sim_.program().settings().ReadSetting("新节", "x", "none"), "none");
}

}  // namespace
}  // namespace tarnwick
