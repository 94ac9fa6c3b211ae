// The service's own pieces without HTTP: text tidying, picture input, card fields, limits,
// tokens and options.

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include "access_tokens.h"
#include "card_fields.h"
#include "ocr_engine.h"
#include "picture_input.h"
#include "rate_limiter.h"
#include "running_service.h"
#include "service_options.h"

namespace tarnwick::service {
namespace {

TEST(TidyLine, DropsSpacesInsideChineseOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"本 机 文 字", "本机文字"},
      {"  The quick  brown fox \n", "The quick brown fox"},
      {"姓名 张三", "姓名张三"},
      {"出生 1990 年", "出生 1990 年"},  // a digit keeps its space
      {"今天 ， 很好", "今天，很好"},    // full-width punctuation is written without spaces
      {"时间 : 2024年 , 下午", "时间：2024年，下午"},
      {"Note: 中文, ok", "Note: 中文，ok"},
      {"   ", ""},
  };
  for (const auto& [raw, tidy] : cases) EXPECT_EQ(TidyLine(raw), tidy) << raw;
}

TEST(PictureInput, DecodesBase64WithOrWithoutDataUrl) {
  EXPECT_EQ(DecodeBase64Field("aGk/Pz8+"), "hi?\?\?>");
  EXPECT_EQ(DecodeBase64Field("data:image/png;base64,aGk/Pz8+"), "hi?\?\?>");
  EXPECT_EQ(DecodeBase64Field("aGk/Pz8 "), "hi?\?\?>");  // a "+" that a form decoder made a space
  EXPECT_EQ(DecodeBase64Field("aGk/Pz8+\n"), "hi?\?\?>");
  for (const char* broken : {"a", "aGk/P!8+", "data:image/png,aGk=", "aGk/Pz8+=="}) {
    EXPECT_FALSE(DecodeBase64Field(broken)) << broken;
  }
}

TEST(PictureInput, ReadsAnyFormatByItsBytesAndRefusesOthers) {
  PictureProblem problem;
  PixPtr png = ReadPicture(testing::SampleBytes("general.png"), problem);
  ASSERT_TRUE(png);
  l_uint8* data = nullptr;
  size_t size = 0;
  ASSERT_EQ(pixWriteMem(&data, &size, png.get(), IFF_BMP), 0);
  const std::string bmp(reinterpret_cast<char*>(data), size);
  lept_free(data);
  EXPECT_TRUE(ReadPicture(bmp, problem));
  EXPECT_EQ(problem, PictureProblem::None);

  EXPECT_FALSE(ReadPicture("hello world", problem));
  EXPECT_EQ(problem, PictureProblem::NotAPicture);
  EXPECT_FALSE(ReadPicture(bmp.substr(0, 60), problem));  // header only, pixels cut off
  EXPECT_FALSE(ReadPicture("", problem));

  for (const auto& [width, height] : {std::pair(10, 40), std::pair(4097, 20)}) {
    PixPtr odd(pixCreate(width, height, 1));
    ASSERT_EQ(pixWriteMem(&data, &size, odd.get(), IFF_PNG), 0);
    const std::string oddBytes(reinterpret_cast<char*>(data), size);
    lept_free(data);
    EXPECT_FALSE(ReadPicture(oddBytes, problem)) << width;
    EXPECT_EQ(problem, PictureProblem::BadSize) << width;
  }
}

TEST(CardFields, IdCardFieldsFollowTheirLabels) {
  const Fields fields =
      ReadIdCard({"姓名 张三", "性别 男 民族 汉", "出生 1990 年 1 月 2 日", "住址 北京市东城区",
                  "长安街1号", "公民身份号码 11010119900102123x"});
  const Fields expected = {{"住址", "北京市东城区长安街1号"},
                           {"公民身份号码", "11010119900102123X"},
                           {"出生", "19900102"},
                           {"姓名", "张三"},
                           {"性别", "男"},
                           {"民族", "汉"}};
  EXPECT_EQ(fields, expected);
  EXPECT_TRUE(ReadIdCard({"The quick brown fox", "12345"}).empty());
}

TEST(CardFields, BankCardNumberIsTheLongRunOfDigitGroups) {
  const BankCard card = ReadBankCard(
      {"中国工商银行 借记卡", "Tel 95588", "6222 0212 3456 7890 128", "VALID THRU 12/28"});
  EXPECT_EQ(card.number, "6222 0212 3456 7890 128");
  EXPECT_EQ(card.validDate, "12/28");
  EXPECT_EQ(card.type, 1);
  EXPECT_EQ(card.bankName, "中国工商银行");
  EXPECT_EQ(ReadBankCard({"CREDIT 4000123456789010"}).type, 2);
  EXPECT_EQ(ReadBankCard({"Phone 010 6512 3456"}).number, "");  // too short for a card
}

TEST(CardFields, LicenceLabelsMapToTheReplyNames) {
  int found = 0;
  const Fields fields = ReadBusinessLicence(
      {"统一社会信用代码 91110108592366240X", "名称 北京某某有限公司", "法定代表人：李明"}, found);
  EXPECT_EQ(found, 3);
  const auto value = [&](const std::string& name) {
    for (const auto& [n, v] : fields) {
      if (n == name) return v;
    }
    return std::string("missing");
  };
  EXPECT_EQ(value("社会信用代码"), "91110108592366240X");
  EXPECT_EQ(value("单位名称"), "北京某某有限公司");
  EXPECT_EQ(value("法人"), "李明");
  EXPECT_EQ(value("地址"), "");
}

TEST(RateLimiter, CountsTheLastSecondPerKey) {
  RateLimiter limiter(2);
  const auto t0 = RateLimiter::Clock::time_point{} + std::chrono::hours(1);
  EXPECT_TRUE(limiter.Admit("a", t0));
  EXPECT_TRUE(limiter.Admit("a", t0 + std::chrono::milliseconds(100)));
  EXPECT_FALSE(limiter.Admit("a", t0 + std::chrono::milliseconds(200)));
  EXPECT_TRUE(limiter.Admit("b", t0 + std::chrono::milliseconds(200)));
  EXPECT_TRUE(limiter.Admit("a", t0 + std::chrono::milliseconds(1000)));
  RateLimiter off(0);
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(off.Admit("a", t0));
}

TEST(AccessTokens, SignedTokensOutliveTheServiceButNotTampering) {
  tarnwick::testing::TempFolder state;
  const std::string token = AccessTokens(state.path(), {}).Issue();
  AccessTokens restarted(state.path(), {});
  EXPECT_TRUE(restarted.Valid(token));
  std::string tampered = token;
  tampered[5] = tampered[5] == 'a' ? 'b' : 'a';
  for (const std::string& bad : {tampered, std::string(), token + "0", token.substr(1)}) {
    EXPECT_FALSE(restarted.Valid(bad)) << bad;
  }
  tarnwick::testing::TempFolder other;
  EXPECT_FALSE(AccessTokens(other.path(), {}).Valid(token));

  EXPECT_TRUE(restarted.Accepts("any", "pair"));
  EXPECT_FALSE(restarted.Accepts("", "pair"));
  AccessTokens strict(state.path(), {{"AK", "SK"}});
  EXPECT_TRUE(strict.Accepts("AK", "SK"));
  EXPECT_FALSE(strict.Accepts("AK", "wrong"));
}

TEST(ServiceOptions, ReadsTheCommandLineAndRefusesMistakes) {
  std::string problem;
  const auto options = ParseServiceOptions(
      {"--port", "0", "--http", "--workers", "3", "--accept-key", "AK:S:K", "--qps", "2"}, problem);
  ASSERT_TRUE(options) << problem;
  EXPECT_EQ(options->port, 0);
  EXPECT_TRUE(options->plainHttp);
  EXPECT_EQ(options->workers, 3);
  ASSERT_EQ(options->acceptedKeys.size(), 1u);
  EXPECT_EQ(options->acceptedKeys[0], std::make_pair(std::string("AK"), std::string("S:K")));
  EXPECT_EQ(options->keyRequestsPerSecond, 2);
  EXPECT_GE(ParseServiceOptions({}, problem)->workers, 1);
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--port"},
                                             {"--port", "70000"},
                                             {"--workers", "0"},
                                             {"--accept-key", ":x"},
                                             {"--qps", "-1"},
                                             {"--what"}}) {
    EXPECT_FALSE(ParseServiceOptions(bad, problem)) << bad[0];
  }
}

}  // namespace
}  // namespace tarnwick::service
