#include "net/cookies.h"

#include <gtest/gtest.h>

namespace net {
namespace {

TEST(CollectSetCookiesTest, TakesThePairOfEachExactSetCookieLine) {
  const struct {
    const char* headers;
    const char* collected;
  } kCases[] = {
      {"Content-Type: application/json\r\n"
       "Set-Cookie: sid=abc; Path=/; HttpOnly\r\n"
       "Set-Cookie: old=deleted; Path=/\r\n"
       "set-cookie: low=1\r\n"
       "Set-Cookie:tight=2\r\n"
       "Set-Cookie: flag=on\r\n",
       "sid=abc; old=deleted; flag=on"},
      {"Set-Cookie: a=1\r\nSet-Cookie:    ; Path=/\r\nSet-Cookie: c=3\r\n", "a=1; ; c=3"},
      {"Set-Cookie: a=1\r\nSet-Cookie: a=2\r\nSet-Cookie: a=1", "a=1; a=2; a=1"},
      // Without ";" every "Set-Cookie:" goes, in any case, also inside the value.
      {"Set-Cookie: v=set-cookie:x", "v=x"},
      {"Content-Type: text/html\r\n", ""},
      {"", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.headers);
    EXPECT_EQ(CollectSetCookies(c.headers), c.collected);
  }
}

TEST(MergeCookiesTest, ReceivedCookiesReplaceSentOnesOfTheSameName) {
  const struct {
    const char* sent;
    const char* received;
    const char* merged;
  } kCases[] = {
      {" sid=old; old=1; keep=x; keep=y;", "sid=abc; old=deleted; flag=on",
       "sid=abc; flag=on; keep=x"},
      // Nothing received: trimmed, first of a name, no deleted items.
      {" a=1; b=2; a=3; c=deleted; b=2 ", "", "a=1; b=2"},
      {"", "a=1; a=2; a=1", "a=1; a=2"},
      {"a=1;b=2", "b=3", "b=3; a=1;b=2"},  // no blank: one item named a
      {"", "", ""},
      {"x=undeleted; =deleted", "", "x=undeleted"},
      {"a=1", "a=1", "a=1"},
      {"\xB0\xA1=1; k=v", "k=w", "k=w; \xB0\xA1=1"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "sent " << c.sent << " received " << c.received);
    Text cookieText = c.sent;
    EXPECT_EQ(MergeCookies(cookieText, c.received), c.merged);
    EXPECT_EQ(cookieText, c.merged);
  }
}

TEST(CookieHelpersTest, NamesIndexesAndDeduplication) {
  EXPECT_EQ(CookieName(" sid = abc=d "), "sid");
  EXPECT_EQ(CookieName(" flag "), "flag");
  EXPECT_EQ(CookieName("=x"), "");
  const TextArray items = {"a=1", " b =2", "c"};
  EXPECT_TRUE(HasCookieName(items, "b"));
  EXPECT_TRUE(HasCookieName(items, "c"));
  EXPECT_FALSE(HasCookieName(items, "A"));
  EXPECT_EQ(IndexOfText(items, "c"), 3);
  EXPECT_EQ(IndexOfText(items, "b =2"), -1);
  EXPECT_EQ(SplitDedupeJoin("a; b; a; ; ; c", "; "), "a; b; ; c");
  EXPECT_EQ(SplitDedupeJoin("", "; "), "");
}

}  // namespace
}  // namespace net
