#include "net/request_headers.h"

#include <gtest/gtest.h>

namespace net {
namespace {

constexpr char kUrl[] = "https://h.example/p?q=1";
constexpr char kAccept[] = "Accept: */*";
constexpr char kReferer[] = "Referer: https://h.example/p?q=1";
constexpr char kLanguage[] = "Accept-Language: zh-cn";
constexpr char kAgent[] = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr char kForm[] = "Content-Type: application/x-www-form-urlencoded";

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (&line != lines.begin()) text += "\r\n";
    text += line;
  }
  return text;
}

TEST(CompleteDefaultHeadersTest, AppendsTheDefaultsTheTextLacks) {
  const struct {
    const char* headerText;
    int method;
    std::string completed;
  } kCases[] = {
      // An empty text gains a leading empty line.
      {"", 0, Lines({"", kAccept, kReferer, kLanguage, kAgent})},
      {"", 1, Lines({"", kAccept, kReferer, kLanguage, kAgent, kForm})},
      // Markers match in any case, anywhere: in a name, in a value.
      {"accept: text/html", 0, Lines({"accept: text/html", kReferer, kLanguage, kAgent})},
      {"X-Accept: 1", 0, Lines({"X-Accept: 1", kReferer, kLanguage, kAgent})},
      {"X-Note: see REFERER:x", 0,
       Lines({"X-Note: see REFERER:x", kAccept, kLanguage, kAgent})},
      // Accept-Language does not stand for Accept.
      {"Accept-Language: en", 0, Lines({"Accept-Language: en", kAccept, kReferer, kAgent})},
      // A trailing line break leaves an empty line before the defaults.
      {"X-A: 1\r\n", 0, Lines({"X-A: 1", "", kAccept, kReferer, kLanguage, kAgent})},
      {"content-type: text/plain", 1,
       Lines({"content-type: text/plain", kAccept, kReferer, kLanguage, kAgent})},
      // Content-Type is a POST default only.
      {"", 3, Lines({"", kAccept, kReferer, kLanguage, kAgent})},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(CompleteDefaultHeaders(c.headerText, kUrl, c.method), c.completed);
  }
}

TEST(CompleteDefaultHeadersTest, LeavesTheDrawBlockUnchanged) {
  const std::string block = Lines(
      {"Accept: application/json", "Accept-Language: zh-CN,zh;q=0.9",
       "Connection: keep-alive", "Host: r.example", "Origin: https://m.example",
       "Referer: https://m.example/member/rights/index.html", "Sec-Fetch-Dest: empty",
       "Sec-Fetch-Mode: cors", "Sec-Fetch-Site: same-site", "User-Agent: Mozilla/5.0"});
  EXPECT_EQ(CompleteDefaultHeaders(block, kUrl, 0), block);
  EXPECT_EQ(NormaliseHeaderNames(block), block);
}

TEST(NormaliseHeaderNamesTest, CapitalisesNameWordsAndDropsLinesWithoutColon) {
  const struct {
    std::string headerText;
    std::string normalised;
  } kCases[] = {
      {Lines({"content-type: text/plain", "x-requested-with:XMLHttpRequest", "",
              "no colon here", "X-CUSTOM-id:  7"}),
       Lines({"Content-Type: text/plain", "X-Requested-With:XMLHttpRequest",
              "X-CUSTOM-Id:  7"})},
      {Lines({"", kAccept, kReferer}), Lines({kAccept, kReferer})},
      {": x", ": x"},
      {"a-b-: v", "A-B-: v"},
      {"-a: v", "-A: v"},
      {"a--b: v", "A--B: v"},
      {" accept: v", " accept: v"},  // the blank is the name's first byte
      {"x: a-b: c-d", "X: a-b: c-d"},  // the value keeps its case
      {"\xB0\xA1-a: v", "\xB0\xA1-A: v"},  // non-ASCII bytes stay
      {"only text", ""},
      {"", ""},
      {"a: 1\r\n\r\n", "A: 1"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.headerText);
    EXPECT_EQ(NormaliseHeaderNames(c.headerText), c.normalised);
  }
}

TEST(CapitaliseFirstTest, UpperCasesOnlyALeadingAsciiLetter) {
  EXPECT_EQ(CapitaliseFirst("abc"), "Abc");
  EXPECT_EQ(CapitaliseFirst("Abc"), "Abc");
  EXPECT_EQ(CapitaliseFirst("1bc"), "1bc");
  EXPECT_EQ(CapitaliseFirst("\xE1x"), "\xE1x");
  EXPECT_EQ(CapitaliseFirst(""), "");
}

}  // namespace
}  // namespace net
