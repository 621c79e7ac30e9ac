#include "base/gbk.h"

#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "base/hex_for_test.h"
#include "base/text.h"

namespace base {
namespace {

// 已领取 in GBK and in UTF-8.
constexpr char kYiLingQuGbk[] = "\xD2\xD1\xC1\xEC\xC8\xA1";
constexpr char kYiLingQuUtf8[] = "\xE5\xB7\xB2\xE9\xA2\x86\xE5\x8F\x96";

TEST(Utf8ToGbkTest, MatchesTheWindowsCodePage) {
  const struct {
    const char* name;
    std::string utf8;
    std::string gbk;
  } kCases[] = {
      {"empty", "", ""},
      {"ascii", "{\"resultMsg\":\"ok\"}\r\n\t~", "{\"resultMsg\":\"ok\"}\r\n\t~"},
      {"chinese", kYiLingQuUtf8, kYiLingQuGbk},
      {"mixed", std::string("a") + kYiLingQuUtf8 + "b", std::string("a") + kYiLingQuGbk + "b"},
      {"full-width digits", "\xEF\xBC\x92\xEF\xBC\x90", "\xA3\xB2\xA3\xB0"},
      {"euro sign", "\xE2\x82\xAC", "\x80"},
      {"yen sign, best fit", "\xC2\xA5", "\xA3\xA4"},
      {"middle dot", "\xC2\xB7", "\xA1\xA4"},
      // Characters the code page cannot hold: one "?" per UTF-16 unit.
      {"emoji", "\xF0\x9F\x98\x80", "??"},
      {"hangul", "\xEA\xB0\x80", "?"},
      {"byte order mark", "\xEF\xBB\xBF" "x", "?x"},
      {"zero-width space", "a\xE2\x80\x8B" "b", "a?b"},
      {"half-width forms", "\xEF\xBF\xA9\xEF\xBF\xAC\xEF\xBF\xAE", "???"},
      // Invalid UTF-8: one "?" per bad sequence.
      {"stray byte", "a\xFF" "b", "a?b"},
      {"truncated sequence", "a\xE5\xB7", "a?"},
      {"truncated then ascii", "\xE5\xB7" "b", "?b"},
      {"overlong", "\xC0\xAF", "??"},
      // The text ends at the first U+0000.
      {"zero inside", std::string("ab\0cd", 5), "ab"},
      {"zero first", std::string("\0cd", 3), ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(Utf8ToGbk(c.utf8)), Hex(c.gbk));
  }
}

TEST(Utf8ToGbkTest, ConvertedTextIsSearchable) {
  const Text text = Utf8ToGbk(std::string("{\"m\":\"") + kYiLingQuUtf8 + "\"}");
  EXPECT_EQ(FindText(text, TextOfUtf8(u8"已领取")), 7);
}

TEST(GbkTest, ProgramLiteralsBecomeGbk) {
  EXPECT_EQ(Hex(TextOfUtf8(u8"已领取")), Hex(kYiLingQuGbk));
  EXPECT_EQ(Hex(TextOfUtf8("\xE5\xB7\xB2")), "D2 D1");
  EXPECT_EQ(TextOfUtf8(u8""), "");
}

TEST(GbkTest, GbkToUtf8AndUtf16) {
  const struct {
    const char* name;
    std::string gbk;
    std::u16string utf16;
  } kCases[] = {
      {"empty", "", u""},
      {"ascii", "abc", u"abc"},
      {"chinese", std::string("x") + kYiLingQuGbk, u"x已领取"},
      {"euro sign", "\x80", u"\u20AC"},
      {"full-width space", "\xA1\xA1", u"\u3000"},
      {"zero ends the text", std::string("a\0b", 3), u"a"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf16OfText(c.gbk), c.utf16);
    EXPECT_EQ(Hex(TextOfUtf16(c.utf16)), Hex(TextOfBytes(c.gbk)));
  }
  EXPECT_EQ(Utf8OfText(kYiLingQuGbk), kYiLingQuUtf8);
  EXPECT_EQ(Utf8OfText("a\x80"), "a\xE2\x82\xAC");
  EXPECT_EQ(Utf8OfText(""), "");
}

TEST(GbkTest, Utf16TextsTheCodePageCannotHold) {
  EXPECT_EQ(TextOfUtf16(u"a\U0001F600b"), "a??b");
  EXPECT_EQ(TextOfUtf16(u"\uFEFFx"), "?x");
  EXPECT_EQ(TextOfUtf16(std::u16string(1, char16_t(0xD800)) + u"x"), "?x");
  EXPECT_EQ(TextOfUtf16(u"\uFFE9"), "?");
}

TEST(GbkTest, BrokenGbkStillDecodes) {
  // A dangling lead byte must not take the text before it along.
  const std::u16string units = Utf16OfText("ab\xD2");
  ASSERT_GE(units.size(), 2u);
  EXPECT_EQ(units.substr(0, 2), u"ab");
  EXPECT_EQ(Utf8OfText("ab\xD2").substr(0, 2), "ab");
}

TEST(GbkTest, WorksOnAnotherThread) {
  Text converted;
  std::thread worker([&] { converted = Utf8ToGbk(kYiLingQuUtf8); });
  worker.join();
  EXPECT_EQ(converted, kYiLingQuGbk);
}

TEST(GbkTest, LongBodiesConvertWhole) {
  std::string body;
  std::string want;
  for (int i = 0; i < 2000; ++i) {
    body += kYiLingQuUtf8;
    body += "0123";
    want += kYiLingQuGbk;
    want += "0123";
  }
  EXPECT_EQ(Utf8ToGbk(body), want);
  EXPECT_EQ(Utf8OfText(want), body);
}

}  // namespace
}  // namespace base
