#pragma once
// The program on the simulated desktop, talking to the fake OCR service, with helpers to put
// it in a mode and to make picture files.

#include <gtest/gtest.h>

#include <string>

#include "support/base64.h"
#include "support/fake_ocr_service.h"
#include "support/paths.h"
#include "support/sim_program.h"
#include "support/text_helpers.h"

namespace tarnwick::testing {

class RecognitionTest : public ::testing::Test {
 protected:
  RecognitionTest() { sim_.Start(); }

  MainWindow& window() { return sim_.window(); }
  SharedState& state() { return sim_.state(); }
  AppContext& app() { return sim_.context(); }
  SimDesktop& desktop() { return sim_.desktop(); }

  // Key mode with both keys typed.
  void UseKeyMode(const std::string& apiKey = "AK", const std::string& secretKey = "SK") {
    window().选择框_我自己有key.Click();
    window().编辑框_apikey.EditByUser(apiKey);
    window().编辑框_SecretKey.EditByUser(secretKey);
  }
  void UseHighAccuracy() { window().选择框_高精度版.Click(); }

  std::string MakePicture(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = sim_.folder() / name;
    WriteFileBytes(path, bytes);
    return PathText(path);
  }

  // What the recognitions appended after the banner.
  std::string Output() { return window().编辑框1.text().substr(std::string(kBanner).size()); }

  std::string EncodedEndpoint(const char* path) {
    return UrlEncode("https://" + service_.endpoints().apiHost + path);
  }

  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const SimBox& box : desktop().boxes()) texts.push_back(box.text);
    return texts;
  }

  FakeOcrService service_;
  SimProgram sim_{service_.endpoints()};
};

inline constexpr char kTwoLineKeyReply[] =
    R"({"log_id":1,"words_result_num":2,"words_result":[{"words":"A"},{"words":"B"}]})";
inline constexpr char kOneLineDemoReply[] =
    R"({"errno":0,"data":{"words_result_num":1,"words_result":[{"words":"X"}]}})";

}  // namespace tarnwick::testing
