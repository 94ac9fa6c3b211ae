#include "support/gbk_text.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarnwick {
namespace {

TEST(Utf8ToGbk, ProducesCodePage936Bytes) {
  EXPECT_EQ(Utf8ToGbk("：中文a"),
            "\xA3\xBA\xD6\xD0\xCE\xC4"
            "a");
  EXPECT_EQ(Utf8ToGbk("€"), "\x80");
  EXPECT_EQ(Utf8ToGbk(""), "");
}

TEST(Utf8ToGbk, ReplacesWhatGbkCannotHoldAndEndsAtNul) {
  EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToGbk("a\xFF"
                      "b"),
            "a?b");
  EXPECT_EQ(Utf8ToGbk("a\xE4\xB8"), "a?");
  EXPECT_EQ(Utf8ToGbk(std::string("ab\0cd", 5)), "ab");
}

TEST(GbkToUtf8, RoundTripsAndMarksBrokenBytes) {
  EXPECT_EQ(GbkToUtf8("\xA3\xBA\xD6\xD0"), "：中");
  EXPECT_EQ(GbkToUtf8("x\x81"), "x?");
  // A lead byte without a trail byte costs only itself: what follows it stays.
  EXPECT_EQ(GbkToUtf8("\xFD\x3F"), "??");
  EXPECT_EQ(GbkToUtf8("\x81 \xD6\xD0"), "? 中");
  EXPECT_EQ(GbkToUtf8(std::string("\xCE\0z", 3)), std::string("?\0z", 3));
  EXPECT_EQ(GbkToUtf8("\xFF\xD6\xD0"), "?中");
  EXPECT_EQ(GbkToUtf8(""), "");
}

TEST(NormalizeToGbk, LeavesExactlyWhatGbkShows) {
  EXPECT_EQ(NormalizeToGbk("识别 ok 😀"), "识别 ok ?");
  EXPECT_EQ(NormalizeToGbk(std::string("a\0b", 3)), "a");
  EXPECT_EQ(NormalizeToGbk(""), "");
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

TEST(WriteTextFileInEncoding, WritesGbkOrUtf8AndReplacesTheFile) {
  const auto dir = std::filesystem::temp_directory_path() / "tarnwick-gbk-test";
  std::filesystem::create_directories(dir);
  const auto path = dir / Utf8Path("结果.txt");
  ASSERT_TRUE(WriteTextFileInEncoding(path, "a much longer first text", "UTF-8"));
  ASSERT_TRUE(WriteTextFileInEncoding(path, "中文\r\n", "GBK"));
  EXPECT_EQ(ReadAll(path), "\xD6\xD0\xCE\xC4\r\n");
  ASSERT_TRUE(WriteTextFileInEncoding(path, "中文", "UTF-8"));
  EXPECT_EQ(ReadAll(path), "中文");
  EXPECT_FALSE(WriteTextFileInEncoding(dir / "missing" / "x.txt", "x", "GBK"));
  EXPECT_FALSE(WriteTextFileInEncoding(path, "x", "NO-SUCH-ENCODING"));
  EXPECT_EQ(ReadAll(path), "中文");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tarnwick
