#include "support/text_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace tarnwick {
namespace {

TEST(Trim, RemovesAsciiAndFullWidthSpacesOnly) {
  EXPECT_EQ(Trim("  　a b　 "), "a b");
  EXPECT_EQ(Trim("\tx\r\n"), "\tx\r\n");
  EXPECT_EQ(Trim("　 　"), "");
  EXPECT_EQ(Trim(""), "");
}

TEST(TextBetween, FindsFirstLeftThenFirstRightAfterIt) {
  struct Case {
    const char* text;
    const char* left;
    const char* right;
    const char* expected;
  } cases[] = {
      {"a[1]b[2]", "[", "]", "1"},
      {"]x[y]", "[", "]", "y"},
      {"no markers", "[", "]", ""},
      {"[open", "[", "]", ""},
      {"say \"hi\" now", "#引号", "#引号", "hi"},
      {"k=\"v\"", "k=#引号", "#引号", "v"},
      {"AbC", "a", "c", ""},
      {"[]", "[", "]", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.left, c.right), c.expected) << c.text;
  }
}

TEST(UrlEncode, KeepsLettersAndDigitsAndEncodesSeparators) {
  EXPECT_EQ(UrlEncode("aZ09"), "aZ09");
  EXPECT_EQ(UrlEncode(":/+=&?% "), "%3A%2F%2B%3D%26%3F%25%20");
  EXPECT_EQ(UrlEncode("中"), "%E4%B8%AD");
  EXPECT_EQ(UrlEncode("a-b_c.d~"), "a-b_c.d~");
}

// The C runtime's zone for the life of the object, given as TZ (both systems read "EST5").
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    Set(zone);
  }
  ~TimeZone() { Set(saved_.empty() ? nullptr : saved_.c_str()); }

 private:
  static void Set(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone ? zone : "");
    _tzset();
#else
    if (zone)
      setenv("TZ", zone, 1);
    else
      unsetenv("TZ");
    tzset();
#endif
  }
  std::string saved_;
};

TEST(UnixTimestamp, CountsFromEightInTheMorningOfTheEpochOnTheLocalClock) {
  const std::int64_t instant = 1610183524;  // 2021-01-09 09:12:04 UTC
  struct Case {
    const char* zone;
    std::int64_t offsetSeconds;
  } cases[] = {{"UTC0", 0}, {"CST-8", 8 * 3600}, {"EST5", -5 * 3600}, {"IST-5:30", 19800}};
  for (const Case& c : cases) {
    TimeZone zone(c.zone);
    EXPECT_EQ(UnixTimestampAt(instant), std::to_string(instant + c.offsetSeconds - 8 * 3600))
        << c.zone;
  }
  TimeZone beijing("CST-8");
  const std::string now = UnixTimestamp();
  EXPECT_EQ(now.size(), 10u);
  EXPECT_NEAR(std::stoll(now), static_cast<long long>(std::time(nullptr)), 2);
}

TEST(CaseHelpers, IgnoreAsciiCaseOnly) {
  EXPECT_EQ(AsciiLower("HTTPS://Ä"), "https://Ä");
  EXPECT_EQ(FindIgnoringCase("a SET-cookie b", "set-Cookie"), 2u);
  EXPECT_EQ(ReplaceAllIgnoringCase("x set-COOKIE y SeT-CoOkIe", "set-cookie", "Set-Cookie"),
            "x Set-Cookie y Set-Cookie");
}

}  // namespace
}  // namespace tarnwick
