#include "base/text.h"

#include <climits>
#include <optional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/hex_for_test.h"
namespace base {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// a说明b in GBK: 61 | CB B5 | C3 F7 | 62.
constexpr char kShuoMing[] = "a\xCB\xB5\xC3\xF7" "b";
// The full-width space.
constexpr char kWideSpace[] = "\xA1\xA1";

TEST(TextTest, AZeroByteEndsAText) {
  const std::string_view withZero("ab\0cd", 5);
  EXPECT_EQ(TextLength(withZero), 2);
  EXPECT_EQ(ConcatText({withZero, "x"}), "abx");
  EXPECT_EQ(TextOfBytes(withZero), "ab");
  EXPECT_EQ(BytesLength(withZero), 5);  // bytes keep their zeros
  EXPECT_EQ(TextLength(""), 0);
}

TEST(TextTest, ConcatAndCompare) {
  EXPECT_EQ(ConcatText({"a", "", "\xCB\xB5", "b"}), "a\xCB\xB5" "b");
  EXPECT_EQ(ConcatText({}), "");

  const struct {
    const char* a;
    const char* b;
    int result;
  } kCases[] = {
      {"", "", 0},      {"abc", "abc", 0}, {"a", "", 1},
      {"", "a", -1},    {"ab", "abc", -1}, {"abd", "abc", 1},
      {"\x80", "a", 1},  // bytes compare unsigned
      {"a", "\xCB\xB5", -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(CompareText(c.a, c.b), c.result);
  }
}

TEST(TextTest, CuttingWorksOnBytes) {
  const struct {
    Text got;
    Text want;
  } kCuts[] = {
      {TextLeft("abc", 2), "ab"},
      {TextLeft("abc", 10), "abc"},
      {TextLeft("abc", 0), ""},
      {TextLeft("abc", -1), ""},
      {TextLeft(kShuoMing, 2), "a\xCB"},  // cuts 说 in two
      {TextRight("abc", 2), "bc"},
      {TextRight("abc", 10), "abc"},
      {TextRight("abc", 0), ""},
      {TextRight(kShuoMing, 2), "\xF7" "b"},
      {TextMid("abc", 2, 5), "bc"},
      {TextMid("abc", 3, 5), "c"},
      {TextMid("abc", 4, 1), ""},
      {TextMid("abc", 0, 2), ""},
      {TextMid("abc", INT_MIN, 2), ""},
      {TextMid("abc", 2, 0), ""},
      {TextMid("abc", 1, INT_MAX), "abc"},
      {TextMid(kShuoMing, 3, 2), "\xB5\xC3"},
      {TextMid("", 1, 1), ""},
  };
  for (const auto& c : kCuts) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCuts));
    EXPECT_EQ(Hex(c.got), Hex(c.want));
  }
}

TEST(TextTest, CharCodeIsTheSignedByteAndZeroOutside) {
  const struct {
    const char* text;
    int position;
    int code;
  } kCases[] = {
      {"abc", 1, 'a'}, {"abc", 3, 'c'},       {"abc", 4, 0},
      {"abc", 0, 0},   {"abc", -1, 0},        {"", 1, 0},
      {kShuoMing, 2, static_cast<signed char>(0xCB)},  // -53
      {"\xFF", 1, -1}, {"\x80", 1, -128},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(CharCode(c.text, c.position), c.code);
  }
  EXPECT_EQ(CharCode("xyz"), 'x');
}

TEST(TextTest, MadeTexts) {
  EXPECT_EQ(CharFromCode('a'), "a");
  EXPECT_EQ(CharFromCode(0xA1), "\xA1");
  EXPECT_EQ(CharFromCode(0), "");
  EXPECT_EQ(BlankText(3), "   ");
  EXPECT_EQ(BlankText(0), "");
  EXPECT_EQ(BlankText(-4), "");
}

TEST(TextTest, ToUpperLeavesDoubleByteCharactersAlone) {
  // 0x81 0x61 is one double-byte character whose trail byte is 'a'.
  EXPECT_EQ(ToUpper("ab\x81" "a" "cZ9"), "AB\x81" "aCZ9");
  EXPECT_EQ(ToUpper("x\xCB"), "X\xCB");  // dangling lead byte kept
  EXPECT_EQ(ToUpper(""), "");
}

TEST(TextTest, TrimBothRemovesSpacesAndWideSpacesOnly) {
  const std::string w = kWideSpace;
  const struct {
    std::string text;
    std::string trimmed;
  } kCases[] = {
      {"  a b  ", "a b"},
      {"\ta ", "\ta"},  // tab is no blank
      {"a\r\n", "a\r\n"},
      {w + w, ""},
      {w + " a" + w + " ", "a"},
      {"   ", ""},
      {"", ""},
      // C3 A1 is one character: its trail byte and the dangling A1 after it
      // are no full-width space. The dangling lead byte goes.
      {"x\xC3\xA1\xA1", "x\xC3\xA1"},
      // A dangling lead byte goes; the blanks before it stay.
      {"x \xCB", "x "},
      {"x" + w + "\xA1", "x" + w},
      {" \xCB", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(Hex(c.text));
    EXPECT_EQ(Hex(TrimBoth(c.text)), Hex(c.trimmed));
  }
}

TEST(FindTextTest, StepsOverDoubleByteCharactersUnlikeFindTextEx) {
  const struct {
    const char* pattern;
    int findText;    // character-wise scan
    int findTextEx;  // byte-wise scan
  } kCases[] = {
      {"b", 6, 6},
      {"\xC3\xF7", 4, 4},   // 明
      {"\xB5\xC3", -1, 3},  // trail byte of 说 + lead byte of 明
      {"a\xCB", 1, 1},
      {"x", -1, -1},
      {"", -1, -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(FindText(kShuoMing, c.pattern), c.findText);
    EXPECT_EQ(FindTextEx(kShuoMing, c.pattern), c.findTextEx);
  }
}

TEST(FindTextTest, StartAndCase) {
  const struct {
    const char* text;
    const char* pattern;
    int start;
    bool caseInsensitive;
    int position;
  } kCases[] = {
      {"abcabc", "bc", 0, false, 2},
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", -5, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 5, false, 5},
      {"abcabc", "bc", 6, false, -1},
      {"abcabc", "bc", 7, false, -1},
      {"abcabc", "bc", INT_MAX, false, -1},
      {"xABc", "bC", 0, false, -1},
      {"xABc", "bC", 0, true, 3},
      // The scan counts characters from the byte it starts at, even when
      // that byte is a trail byte.
      {"\xCB\xB5\xC3\xF7", "\xB5\xC3", 2, false, 2},
      // A lead byte that is the last byte ends the scan.
      {"ab\xCB", "\xCB", 0, false, -1},
      {"", "a", 0, false, -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(FindText(c.text, c.pattern, c.start, c.caseInsensitive),
              c.position);
  }
}

TEST(FindTextTest, ReverseFindsTheLastMatchBeforeStart) {
  const struct {
    const char* text;
    const char* pattern;
    std::optional<int> start;
    bool caseInsensitive;
    int position;
  } kCases[] = {
      {"abcabc", "bc", std::nullopt, false, 5},
      {"abcabc", "bc", 7, false, 5},
      {"abcabc", "bc", 100, false, 5},
      {"abcabc", "bc", 6, false, 2},  // bytes 5..6 reach past byte 5
      {"abcabc", "bc", 4, false, 2},
      {"abcabc", "bc", 3, false, -1},
      {"abcabc", "bc", 1, false, -1},
      {"abcabc", "bc", 0, false, -1},  // a given 0 searches nothing
      {"abcabc", "BC", std::nullopt, true, 5},
      {"abcabc", "BC", std::nullopt, false, -1},
      {kShuoMing, "\xB5\xC3", std::nullopt, false, -1},
      {"a\xCB\xB5" "a\xCB\xB5", "\xCB\xB5", std::nullopt, false, 5},
      {"", "a", std::nullopt, false, -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(FindTextReverse(c.text, c.pattern, c.start, c.caseInsensitive),
              c.position);
  }
}

TEST(FindTextTest, FindTextExSearchesBytes) {
  const struct {
    const char* text;
    const char* pattern;
    int start;
    bool caseInsensitive;
    int position;
  } kCases[] = {
      {"abcabc", "c", 0, false, 3},
      {"abcabc", "c", 1, false, 3},
      {"abcabc", "c", 4, false, 6},
      {"abcabc", "c", 7, false, -1},
      {"abcabc", "c", -3, false, 3},
      {"", "c", 0, false, -1},
      {"abc", "", 0, false, -1},
      {"xABc", "bC", 0, true, 3},
      // Case folding reaches trail bytes too: 81 41 matches 81 61.
      {"x\x81" "A", "\x81" "a", 0, true, 2},
      {"ab\xCB", "\xCB", 0, false, 3},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(FindTextEx(c.text, c.pattern, c.start, c.caseInsensitive),
              c.position);
  }
}

TEST(TextBeforeTest, TextBeforeTheFirstOrLastMarker) {
  const struct {
    const char* text;
    const char* marker;
    int start;
    const char* before;
  } kCases[] = {
      {"Set-Cookie: a=1", ": ", 0, "Set-Cookie"},
      {"abc", "x", 0, ""},
      {":abc", ":", 0, ""},
      {"a:b:c", ":", 1, "a"},
      {"a:b:c", ":", 3, "a:b"},
      // A negative start searches backwards from the end: -1 (like -0)
      // searches before the last byte, -k before byte len-k.
      {"a:b:c", ":", -1, "a:b"},
      {"a:b:c", ":", -2, "a"},
      {"a:b:c", ":", -3, ""},
      {"a:b:c", ":", INT_MIN, ""},
      {"a\xCB\xB5\xC3\xF7" "b", "\xB5\xC3", 0, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(TextBefore(c.text, c.marker, c.start), c.before);
  }
}

TEST(TextBetweenTest, TextBetweenMarkers) {
  // 软件说明 in GBK.
  const std::string kNote = "\xC8\xED\xBC\xFE\xCB\xB5\xC3\xF7";
  const struct {
    std::string text;
    std::string startMarker;
    std::string endMarker;
    int start;
    std::string between;
  } kCases[] = {
      {"x" + kNote + "=Hello=" + kNote + "y", kNote + "=", "=" + kNote, 0,
       "Hello"},
      {"x" + kNote + "=Hello", kNote + "=", "=" + kNote, 0, ""},
      {"[]", "[", "]", 0, ""},
      {"[a][b]", "[", "]", 0, "a"},
      {"[a][b]", "[", "]", 2, "b"},
      {"[a][b]", "(", "]", 0, ""},
      // "#引号" in a marker stands for a double quote.
      {"name=\"v\";", "=#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5", 0, "v"},
      // The end marker is searched only after the start marker.
      {"]a[b]", "[", "]", 0, "b"},
      {"[aB]", "[A", "b]", 0, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(TextBetween(c.text, c.startMarker, c.endMarker, c.start),
              c.between);
  }
  EXPECT_EQ(TextBetween("[aB]", "[A", "b]", 0, true), "");
  EXPECT_EQ(TextBetween("[axB]", "[A", "b]", 0, true), "x");
}

TEST(ReplaceTextTest, ReplacesCharacterWise) {
  const struct {
    const char* text;
    const char* find;
    const char* replacement;
    bool caseSensitive;
    int start;
    std::optional<int> count;
    const char* result;
  } kCases[] = {
      {"aXbxc", "x", "-", true, 1, std::nullopt, "aXb-c"},
      {"aXbxc", "x", "-", false, 1, std::nullopt, "a-b-c"},
      {"a,b,c", ",", "", true, 1, std::nullopt, "abc"},
      {"aa", "a", "aa", true, 1, std::nullopt, "aaaa"},
      {"xxx", "x", "y", true, 2, std::nullopt, "xyy"},
      {"xxx", "x", "y", true, 0, std::nullopt, "yyy"},
      {"xxx", "x", "y", true, 1, 2, "yyx"},
      {"xxx", "x", "y", true, 2, 1, "xyx"},
      {"xxx", "x", "y", true, 1, 0, "xxx"},
      {"xxx", "x", "y", true, 4, std::nullopt, "xxx"},
      {"xxx", "", "y", true, 1, std::nullopt, "xxx"},
      {"", "x", "y", true, 1, std::nullopt, ""},
      // No match may begin on a trail byte.
      {"\xCB\xB5\xC3\xF7", "\xB5\xC3", "X", true, 1, std::nullopt,
       "\xCB\xB5\xC3\xF7"},
      {"\xCB\xB5\xC3\xF7", "\xC3\xF7", "X", true, 1, std::nullopt,
       "\xCB\xB5X"},
      // A dangling lead byte is dropped once the scan reaches it.
      {"ab\xCB", "x", "y", true, 1, std::nullopt, "ab"},
      {"ab\xCB", "a", "y", true, 1, 1, "yb\xCB"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(Hex(ReplaceText(c.text, c.find, c.replacement, c.caseSensitive,
                              c.start, c.count)),
              Hex(c.result));
  }
}

TEST(SplitTextTest, KeepsInnerEmptyMembersButNotATrailingOne) {
  const struct {
    const char* text;
    const char* delimiter;
    std::optional<int> maxCount;
    std::vector<std::string> items;
  } kCases[] = {
      {"a;;b;", ";", std::nullopt, {"a", "", "b"}},
      {";a", ";", std::nullopt, {"", "a"}},
      {"a\r\nb\r\n", "\r\n", std::nullopt, {"a", "b"}},
      {"a,b,c", ",", std::nullopt, {"a", "b", "c"}},
      {"a,b,c", ",", 2, {"a", "b"}},
      {"a,b", ",", 1, {"a"}},
      {"a,b,c", ",", 0, {}},
      {"a,b,c", ",", -1, {}},
      {"", ",", std::nullopt, {}},
      {",", ",", std::nullopt, {""}},
      {"abc", "", std::nullopt, {"abc"}},
      // No cut inside a double-byte character.
      {"\xCB\xB5\xC3\xF7", "\xB5\xC3", std::nullopt, {"\xCB\xB5\xC3\xF7"}},
      {"a\xCB\xB5" "b", "\xCB\xB5", std::nullopt, {"a", "b"}},
      {"a,\xCB", ",", std::nullopt, {"a", "\xCB"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    const TextArray items = SplitText(c.text, c.delimiter, c.maxCount);
    EXPECT_THAT(items, ElementsAreArray(c.items));
    EXPECT_EQ(ArrayCount(items), static_cast<int>(c.items.size()));
  }
  EXPECT_THAT(SplitText("x,y"), ElementsAre("x", "y"));
  EXPECT_THAT(SplitText(""), IsEmpty());
}

TEST(TextTest, IntegerOperations) {
  EXPECT_DOUBLE_EQ(Modulo(7, 3), 1);
  EXPECT_DOUBLE_EQ(Modulo(-7, 3), -1);
  EXPECT_DOUBLE_EQ(Modulo(7.5, 3), 1.5);
  EXPECT_EQ(BitAnd(0x1234, 0xFF), 0x34);
  EXPECT_EQ(BitAnd(-1, 0x80), 0x80);
  EXPECT_EQ(ShiftLeft(1, 31), INT_MIN);
  EXPECT_EQ(ShiftLeft(-1, 4), -16);
  EXPECT_EQ(ShiftLeft(0x40000000, 2), 0);
  EXPECT_EQ(ShiftRight(-16, 2), -4);  // the sign bit is copied in
  EXPECT_EQ(ShiftRight(INT_MIN, 31), -1);
  EXPECT_EQ(ShiftRight(0x7F00, 8), 0x7F);
  EXPECT_EQ(ByteOf(0x1FF), 0xFF);
  EXPECT_EQ(ByteOf(-1), 0xFF);
  EXPECT_EQ(ByteOf(0x100), 0);
}

TEST(BytesTest, BuffersKeepZeroBytes) {
  const std::string_view buffer("ab\0def", 6);
  EXPECT_EQ(BytesOfText("abc"), "abc");
  EXPECT_EQ(BytesLength(buffer), 6);
  EXPECT_EQ(BlankBytes(3), std::string(3, '\0'));
  EXPECT_EQ(BlankBytes(0), "");
  EXPECT_EQ(BlankBytes(-2), "");
  EXPECT_EQ(ConcatBytes({buffer, "", buffer}).size(), 12u);
  EXPECT_TRUE(BytesEqual(buffer, std::string(buffer)));
  EXPECT_FALSE(BytesEqual(buffer, "ab"));
  EXPECT_TRUE(BytesEqual("", std::string()));

  const struct {
    int start;
    int n;
    std::string_view mid;
  } kCases[] = {
      {2, 3, std::string_view("b\0d", 3)},
      {0, 2, "ab"},  // start clamped to the first byte
      {-9, 1, "a"},
      {5, 10, "ef"},
      {7, 1, ""},
      {100, 1, ""},
      {2, 0, ""},
      {2, -1, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(BytesMid(buffer, c.start, c.n), c.mid);
  }
}

}  // namespace
}  // namespace base
