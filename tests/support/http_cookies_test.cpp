#include "support/http_cookies.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(CollectCookies, TakesTheValueOfEverySetCookieLine) {
  EXPECT_EQ(CollectCookies("HTTP/1.1 200 OK\r\nSet-Cookie: A=1; path=/\r\nSet-Cookie: B=2\r\n\r\n"),
            "A=1; B=2");
  EXPECT_EQ(CollectCookies("HTTP/1.1 200 OK\r\nContent-Type: x\r\n\r\n"), "");
  EXPECT_EQ(NormalizeSetCookieNames("SET-COOKIE: a\r\nsEt-cOoKiE: b"),
            "Set-Cookie: a\r\nSet-Cookie: b");
}

TEST(MergeCookies, PutsNewCookiesFirstAndDropsDeletedOnes) {
  struct Case {
    const char* oldCookies;
    const char* newCookies;
    const char* merged;
  } cases[] = {
      {"a=1; b=2", "b=3; a=deleted", "b=3"}, {"a=1; b=2", "c=3", "c=3; a=1; b=2"},
      {"a = 1 ;　b=2;", "", "a=1; b=2"},     {"a=1; a=2", "", "a=1"},
      {"", "x=1; x=1; y=2", "x=1; y=2"},     {"", "", ""},
      {"flag", "flag=1", "flag=1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MergeCookies(c.oldCookies, c.newCookies), c.merged)
        << c.oldCookies << " + " << c.newCookies;
  }
}

}  // namespace
}  // namespace tarnwick
