// The service over https, as clients reach it: token grant, both reply layouts, every kind of
// bad request, card fields, table jobs ending in a real spreadsheet, limits and concurrency.

#include <gtest/gtest.h>
#include <httplib.h>
#include <leptonica/allheaders.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <iostream>
#include <nlohmann/json.hpp>

#include "char_accuracy.h"
#include "picture_input.h"
#include "running_service.h"
#include "sample_pictures.h"
#include "sheet_reader.h"
#include "support/base64.h"
#include "support/text_helpers.h"

namespace tarnwick::service {
namespace {

using Json = nlohmann::json;
using testing::RunningService;
using testing::SampleBytes;

constexpr char kGeneralPath[] = "/rest/2.0/ocr/v1/general_basic";

httplib::Client ClientOf(RunningService& running) {
  httplib::Client client(running.base());
  client.set_ca_cert_path(running.certificate().c_str());
  client.enable_server_certificate_verification(true);
  client.set_read_timeout(60);
  return client;
}

Json Post(RunningService& running, const std::string& pathAndQuery, const std::string& body) {
  httplib::Client client = ClientOf(running);
  const httplib::Result result =
      client.Post(pathAndQuery, body, "application/x-www-form-urlencoded");
  if (!result) return Json{{"transport error", httplib::to_string(result.error())}};
  return Json::parse(result->body, nullptr, false);
}

std::string ImageField(const std::string& bytes) {
  return "image=" + UrlEncode(Base64Encode(bytes));
}

class ServiceHttp : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running_ = new RunningService(); }
  static void TearDownTestSuite() { delete running_; }

  static std::string Token() {
    httplib::Client client = ClientOf(*running_);
    const auto result =
        client.Get("/oauth/2.0/token?grant_type=client_credentials&client_id=AK&client_secret=SK&");
    return Json::parse(result->body).value("access_token", "");
  }
  static Json PostKey(const std::string& path, const std::string& body) {
    return Post(*running_, path + "?access_token=" + Token(), body);
  }

  static RunningService* running_;
};
RunningService* ServiceHttp::running_ = nullptr;

TEST_F(ServiceHttp, GrantsTokensOnlyForTheClientCredentialsGrantWithKeys) {
  EXPECT_FALSE(Token().empty());
  httplib::Client client = ClientOf(*running_);
  for (const char* refused :
       {"/oauth/2.0/token?grant_type=password&client_id=AK&client_secret=SK",
        "/oauth/2.0/token?grant_type=client_credentials&client_id=AK&client_secret=&"}) {
    const Json reply = Json::parse(client.Get(refused)->body);
    EXPECT_FALSE(reply.contains("access_token")) << refused;
    EXPECT_TRUE(reply.contains("error")) << refused;
  }
}

TEST_F(ServiceHttp, RecognisesInTheKeyAndTheDemoLayouts) {
  const std::string picture = SampleBytes("handwriting.png");
  const Json key = PostKey(kGeneralPath, ImageField(picture) + "&language_type=CHN_ENG");
  ASSERT_TRUE(key.contains("words_result")) << key;
  EXPECT_EQ(key["words_result_num"], key["words_result"].size());
  EXPECT_EQ(key["words_result"][0]["words"], "春眠不觉晓，处处闻啼鸟。");

  const Json demo = Post(*running_, "/aidemo",
                         "image=data%3Aimage%2Fpng%3Bbase64%2C" + UrlEncode(Base64Encode(picture)) +
                             "&image_url&type=" + UrlEncode(running_->base() + kGeneralPath) +
                             "&detect_direction=false");
  ASSERT_EQ(demo["errno"], 0) << demo;
  EXPECT_EQ(demo["data"]["words_result"], key["words_result"]);

  const Json office = Post(
      *running_, "/aidemo",
      "image&image_url=" + UrlEncode(running_->base() + "/file/7E953068EA2C4800900EAA65D14F6D58") +
          "&type=" + UrlEncode("https://x/rest/2.0/ocr/v1/doc_analysis_office") +
          "&words_type=print_only");
  ASSERT_EQ(office["errno"], 0) << office;
  EXPECT_EQ(office["data"]["results"][0]["words"]["word"], "会议纪要");
}

TEST_F(ServiceHttp, CorrectsTheDirectionOfATurnedPictureWhenAsked) {
  PictureProblem problem;
  PixPtr upright = ReadPicture(SampleBytes("handwriting.png"), problem);
  PixPtr turned(pixRotateOrth(upright.get(), 2));  // upside down
  l_uint8* data = nullptr;
  size_t size = 0;
  ASSERT_EQ(pixWriteMem(&data, &size, turned.get(), IFF_PNG), 0);
  const std::string bytes(reinterpret_cast<char*>(data), size);
  lept_free(data);

  const Json corrected = PostKey(kGeneralPath, ImageField(bytes) + "&detect_direction=true");
  ASSERT_EQ(corrected.value("words_result_num", 0), 3) << corrected;
  EXPECT_EQ(corrected["words_result"][0]["words"], "春眠不觉晓，处处闻啼鸟。");
  EXPECT_EQ(corrected["direction"], 2);
  EXPECT_EQ(PostKey(kGeneralPath, ImageField(SampleBytes("handwriting.png")) +
                                      "&detect_direction=false")["direction"],
            0);
}

TEST_F(ServiceHttp, BadRequestsGetTheCloudsErrorObjects) {
  const std::string token = Token();
  const std::string key = std::string(kGeneralPath) + "?access_token=" + token;
  const std::string demoType = "&type=" + UrlEncode(running_->base() + kGeneralPath);
  struct Case {
    const char* name;
    std::string path;
    std::string body;
    int code;  // error_code, or errno for the demo
  } cases[] = {
      {"no picture", key, "language_type=CHN_ENG", 216101},
      {"empty picture", key, "image=&language_type=CHN_ENG", 216200},
      {"broken base64", key, "image=%21%21%21%21", 216201},
      {"not a picture", key, ImageField("just some text, no picture"), 216201},
      {"BMP header without pixels", key, ImageField(std::string("BM\x36\0\0\0", 6)), 216201},
      {"address that does not answer", key, "url=" + UrlEncode("http://127.0.0.1:1/p.png"), 282112},
      {"address off this machine", key, "url=" + UrlEncode("http://192.0.2.7/p.png"), 282111},
      {"not an address", key, "url=" + UrlEncode("file:///etc/passwd"), 282111},
      {"unknown token", std::string(kGeneralPath) + "?access_token=24.forged", ImageField("x"),
       110},
      {"no token", kGeneralPath, ImageField("x"), 110},
      {"unknown endpoint", "/rest/2.0/ocr/v1/no_such_thing?access_token=" + token, "", 3},
      {"demo without type", "/aidemo", "image&image_url=x", 216101},
      {"demo with unknown type", "/aidemo", "image&image_url=x&type=weather", 216100},
      {"demo with broken picture", "/aidemo",
       "image=data%3Aimage%2Fpng%3Bbase64%2C%25%25&image_url" + demoType, 216201},
      {"table result of no job",
       "/rest/2.0/solution/v1/form_ocr/get_request_result?access_token=" + token,
       "request_id=tw_0000&result_type=excel", 282808},
      {"picture over 4 MB in base64", key, "image=" + std::string(4 * 1024 * 1024 + 4, 'A'),
       216202},
      {"body over the size limit", key, "image=" + std::string(11 * 1024 * 1024, 'A'), 216202},
  };
  for (const Case& c : cases) {
    const Json reply = Post(*running_, c.path, c.body);
    const bool demo = c.path == "/aidemo";
    ASSERT_TRUE(reply.is_object()) << c.name << ": " << reply;
    EXPECT_EQ(reply.value(demo ? "errno" : "error_code", -1), c.code) << c.name << ": " << reply;
    EXPECT_TRUE(reply.contains(demo ? "msg" : "error_msg")) << c.name;
  }
  EXPECT_EQ(Post(*running_, std::string(kGeneralPath) + "?access_token=x", "")["error_msg"],
            "Access token invalid or no longer valid");
  EXPECT_FALSE(Token().empty());  // still serving
}

TEST_F(ServiceHttp, CardsAreReadFromTheirPrintedLabelsAndDigits) {
  const Json id =
      PostKey("/rest/2.0/ocr/v1/idcard", "image=data%3Aimage%2Fpng%3Bbase64%2C" +
                                             UrlEncode(Base64Encode(SampleBytes("idcard.png"))) +
                                             "&id_card_side=front&detect_risk=true");
  ASSERT_EQ(id.value("words_result_num", 0), 6) << id;
  EXPECT_EQ(id["words_result"]["姓名"]["words"], "张三");
  EXPECT_EQ(id["words_result"]["公民身份号码"]["words"], "110101199010211234");
  EXPECT_EQ(id["words_result"]["住址"]["words"], "北京市东城区长安街1号");
  EXPECT_EQ(id["image_status"], "normal");

  const Json bank = PostKey("/rest/2.0/ocr/v1/bankcard",
                            ImageField(SampleBytes("bankcard.png")) + "&detect_direction=true");
  EXPECT_EQ(bank["result"]["bank_card_number"], "6222 0212 3456 7890 128") << bank;
  EXPECT_EQ(bank["result"]["valid_date"], "12/28");
  EXPECT_EQ(bank["result"]["bank_card_type"], 1);
  EXPECT_FALSE(bank.contains("words_result_num"));

  // A picture that is no card: the markers the program turns into its image-status message.
  const std::string notACard = ImageField(SampleBytes("handwriting.png"));
  for (const char* path : {"/rest/2.0/ocr/v1/idcard", "/rest/2.0/ocr/v1/bankcard"}) {
    const std::string reply = PostKey(path, notACard).dump();
    EXPECT_NE(reply.find(R"("words_result_num":0)"), std::string::npos) << path << reply;
    EXPECT_NE(reply.find("non_idcard"), std::string::npos) << path;
  }
}

TEST_F(ServiceHttp, TableJobEndsInASpreadsheetOfTheCells) {
  const std::string token = Token();
  const Json submitted =
      Post(*running_, "/rest/2.0/solution/v1/form_ocr/request?access_token=" + token,
           ImageField(SampleBytes("table.png")) + "&is_sync=false&request_type=excel");
  const std::string id = submitted["result"][0].value("request_id", "");
  ASSERT_FALSE(id.empty()) << submitted;

  Json status;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  do {
    status =
        Post(*running_, "/rest/2.0/solution/v1/form_ocr/get_request_result?access_token=" + token,
             "request_id=" + id + "&result_type=excel");
    const std::string word = status["result"].value("ret_msg", "");
    ASSERT_TRUE(word == "未开始" || word == "进行中" || word == "已完成") << status;
    if (word == "已完成") break;
    EXPECT_EQ(status["result"]["result_data"], "");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < deadline);
  EXPECT_EQ(status["result"]["percent"], 100);

  const std::string address = status["result"]["result_data"];
  ASSERT_EQ(address.rfind(running_->base() + "/", 0), 0u) << address;
  httplib::Client client = ClientOf(*running_);
  const auto download = client.Get(address.substr(running_->base().size()));
  ASSERT_TRUE(download);
  ASSERT_EQ(download->status, 200);
  EXPECT_EQ(download->get_header_value("Content-Type"),
            "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");

  const std::string cells = testing::SheetCells(download->body);
  EXPECT_EQ(std::count(cells.begin(), cells.end(), '\t'), 6) << cells;  // 3 rows of 3 cells
  const double accuracy = testing::CharacterAccuracy(cells, testing::KnownTable());
  std::cout << "character accuracy on the table's cells: " << accuracy * 100 << " %\n";
  EXPECT_GE(accuracy, 0.9) << cells;
}

TEST_F(ServiceHttp, ServesTheSamplePicturesAtTheProgramsDefaultAddresses) {
  httplib::Client client = ClientOf(*running_);
  for (const SamplePicture& sample : kSamplePictures) {
    const auto reply = client.Get(sample.path);
    ASSERT_TRUE(reply) << sample.path;
    EXPECT_EQ(reply->status, 200) << sample.path;
    EXPECT_EQ(reply->body, SampleBytes(sample.file)) << sample.path;
  }
  EXPECT_EQ(client.Get("/file/unknown")->status, 404);
}

TEST_F(ServiceHttp, RecognisesSeveralPicturesAtOnce) {
  const std::string body = ImageField(SampleBytes("handwriting.png"));
  const std::string token = Token();
  std::vector<std::future<Json>> replies;
  for (int i = 0; i < 4; ++i) {
    replies.push_back(std::async(std::launch::async, [&] {
      return Post(*running_, std::string(kGeneralPath) + "?access_token=" + token, body);
    }));
  }
  for (auto& reply : replies) EXPECT_EQ(reply.get().value("words_result_num", 0), 3);
}

TEST(ServiceLimits, AnswerLikeTheCloudWhenSwitchedOn) {
  RunningService running([](ServiceOptions& options) {
    options.workers = 1;
    options.keyRequestsPerSecond = 1;
    options.demoRequestsPerSecond = 1;
    options.acceptedKeys = {{"AK", "SK"}};
  });
  httplib::Client client = ClientOf(running);
  EXPECT_FALSE(Json::parse(client
                               .Get("/oauth/2.0/token?grant_type=client_credentials"
                                    "&client_id=AK&client_secret=other&")
                               ->body)
                   .contains("access_token"));
  const std::string token =
      Json::parse(
          client
              .Get("/oauth/2.0/token?grant_type=client_credentials&client_id=AK&client_secret=SK&")
              ->body)
          .value("access_token", "");
  ASSERT_FALSE(token.empty());
  const std::string key = std::string(kGeneralPath) + "?access_token=" + token;
  EXPECT_EQ(Post(running, key, "image=x")["error_code"], 216201);  // admitted, then refused
  EXPECT_EQ(Post(running, key, "image=x")["error_msg"], "Open api qps request limit reached");
  EXPECT_EQ(Post(running, "/aidemo", "image=x&type=general")["errno"], 216201);
  EXPECT_NE(Post(running, "/aidemo", "image=x&type=general").dump().find("请求Demo过于频繁"),
            std::string::npos);
}

}  // namespace
}  // namespace tarnwick::service
