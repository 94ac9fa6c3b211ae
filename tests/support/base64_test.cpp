#include "support/base64.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/text_helpers.h"

namespace tarnwick {
namespace {

TEST(Base64Encode, MatchesStandardAlphabetWithPadding) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode(std::string("\xFB\xFF\xBF\x00", 4)), "+/+/AA==");
}

TEST(Base64EncodeForForm, GivesTheBase64TextAndAppendsItsFormEncoding) {
  std::string bytes;
  for (int size = 0; size < 70; ++size) {
    std::string body = "image=";
    EXPECT_EQ(Base64EncodeForForm(bytes, body), Base64Encode(bytes)) << size;
    EXPECT_EQ(body, "image=" + UrlEncode(Base64Encode(bytes))) << size;
    bytes += static_cast<char>(size * 37 + 251);  // every byte value turns up in time
  }
  // Long runs of "+" and "/" in every position of the sixteen-character blocks.
  for (const std::string group : {"\xFF\xFF\xFF", "\xFB\xEF\xBE", "\xFB\xF0\x3F"}) {
    std::string repeated;
    for (int i = 0; i < 40; ++i) repeated += group;
    for (std::size_t size : {std::size_t{45}, std::size_t{119}, repeated.size()}) {
      const std::string_view part = std::string_view(repeated).substr(0, size);
      std::string body;
      EXPECT_EQ(Base64EncodeForForm(part, body), Base64Encode(part));
      EXPECT_EQ(body, UrlEncode(Base64Encode(part)));
    }
  }
  // A large picture is encoded in parts; they must join seamlessly.
  std::string picture(3 * 1024 * 1024 + 2, '\0');
  std::uint32_t state = 12345;
  for (char& c : picture) c = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
  std::string body = "image=";
  EXPECT_EQ(Base64EncodeForForm(picture, body), Base64Encode(picture));
  EXPECT_EQ(body, "image=" + UrlEncode(Base64Encode(picture)));
}

}  // namespace
}  // namespace tarnwick
