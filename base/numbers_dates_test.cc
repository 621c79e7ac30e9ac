#include "base/numbers_dates.h"

#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "base/gbk.h"

namespace base {
namespace {

TEST(IntOfTextTest, ReadsLikeAtoiAfterFoldingFullWidthForms) {
  const struct {
    std::string text;
    int value;
  } kCases[] = {
      {" 200ms", 200},
      {"\xA3\xB2\xA3\xB0\xA3\xB0", 200},     // ２００
      {"\xA3\xAD\xA3\xB5", -5},              // －５
      {"\xA1\xA1\xA3\xAB" "7", 7},           // full-width space, ＋, 7
      {"abc", 0},
      {"", 0},
      {"-5", -5},
      {"+12x3", 12},
      {"\t\n\v\f\r 42", 42},
      {"- 5", 0},
      {"--5", 0},
      {"007", 7},
      {"12\xD2\xD1" "3", 12},                // stops at a Chinese character
      {"\xD2\xD1" "3", 0},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", INT_MIN},               // wraps modulo 2^32
      {"4294967297", 1},
      {"99999999999999999999", 1661992959},
      {std::string("1\0002", 3), 1},         // a zero byte ends the text
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IntOfText(c.text), c.value);
  }
}

TEST(TextOfNumberTest, IntsAndReals) {
  EXPECT_EQ(TextOfInt(0), "0");
  EXPECT_EQ(TextOfInt(-42), "-42");
  EXPECT_EQ(TextOfInt(INT_MIN), "-2147483648");

  const struct {
    double x;
    const char* text;
  } kCases[] = {
      {1.0, "1"},
      {3.0, "3"},
      {2.5, "2.5"},
      {0.1, "0.1"},
      {0.0, "0"},
      {-7.25, "-7.25"},
      {0.0001, "0.0001"},
      {1e-5, "1e-005"},
      {1234567890123.0, "1234567890123"},
      {1e13, "1e+013"},
      {1.5e13, "1.5e+013"},
      {1e20, "1e+020"},
      {-1e20, "-1e+020"},
      {1e100, "1e+100"},
      {1.25e-300, "1.25e-300"},
      {1.0 / 3.0, "0.3333333333333"},
      {DBL_MAX, "1.797693134862e+308"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextOfReal(c.x), c.text);
  }
}

TEST(TimestampTextTest, DropsTrailingZeroParts) {
  const struct {
    DateTime time;
    const char8_t* text;
  } kCases[] = {
      {{2020, 9, 9, 10, 5, 7}, u8"2020年9月9日10时5分7秒"},
      {{2020, 9, 9, 10, 5, 0}, u8"2020年9月9日10时5分"},
      {{2020, 9, 9, 10, 0, 0}, u8"2020年9月9日10时"},
      {{2020, 9, 9, 12, 0, 0}, u8"2020年9月9日12时"},
      {{2020, 9, 9, 0, 0, 0}, u8"2020年9月9日"},
      {{2020, 9, 9, 0, 0, 5}, u8"2020年9月9日0时0分5秒"},
      {{2020, 9, 9, 0, 30, 0}, u8"2020年9月9日0时30分"},
      {{2021, 12, 31, 23, 59, 59}, u8"2021年12月31日23时59分59秒"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(reinterpret_cast<const char*>(c.text));
    EXPECT_EQ(TimestampText(c.time), TextOfUtf8(c.text));
  }
}

TEST(FormatTextTest, PrintfStyle) {
  EXPECT_EQ(FormatText("%d\xCA\xB1%d\xB7\xD6%d\xC3\xEB", 9, 5, 0),
            TextOfUtf8(u8"9时5分0秒"));
  EXPECT_EQ(FormatText("%s\xCA\xB1%s\xB7\xD6%s\xC3\xEB", "10", "", "7"),
            TextOfUtf8(u8"10时分7秒"));
  EXPECT_EQ(FormatText("%s", ""), "");
  EXPECT_EQ(FormatText("x"), "x");
  // Texts longer than any fixed buffer come out whole.
  const std::string longText(5000, 'z');
  EXPECT_EQ(FormatText("<%s|%s>", longText.c_str(), longText.c_str()),
            "<" + longText + "|" + longText + ">");
  // A zero byte ends the text.
  EXPECT_EQ(FormatText("a%cb", 0), "a");
}

// Runs each test with a fixed time zone and restores the clock afterwards.
class ClockTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    if (tz != nullptr) savedTz_ = tz;
    setenv("TZ", "CST-8", 1);  // UTC+8, no daylight saving
    tzset();
  }
  void TearDown() override {
    SetNowForTesting(nullptr);
    if (savedTz_) {
      setenv("TZ", savedTz_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

  // A fixed instant: 2020-09-09 02:05:07.900 UTC, 10:05:07.9 local.
  static std::chrono::system_clock::time_point Instant() {
    return std::chrono::system_clock::time_point(
        std::chrono::milliseconds(1599617107900LL));
  }

 private:
  std::optional<std::string> savedTz_;
};

TEST_F(ClockTest, CurrentTimeIsTheLocalTimeOfNowInWholeSeconds) {
  SetNowForTesting([] { return Instant(); });
  EXPECT_EQ(Now(), Instant());
  const DateTime now = CurrentTime();
  EXPECT_EQ(now, (DateTime{2020, 9, 9, 10, 5, 7}));
  EXPECT_EQ(HourOf(now), 10);
  EXPECT_EQ(MinuteOf(now), 5);
  EXPECT_EQ(SecondOf(now), 7);
  EXPECT_EQ(TimestampText(now), TextOfUtf8(u8"2020年9月9日10时5分7秒"));

  // Midnight local time, one millisecond before and after.
  const auto midnight = std::chrono::system_clock::time_point(
      std::chrono::seconds(1599667200LL));
  SetNowForTesting([&] { return midnight; });
  EXPECT_EQ(CurrentTime(), (DateTime{2020, 9, 10, 0, 0, 0}));
  SetNowForTesting([&] { return midnight - std::chrono::milliseconds(1); });
  EXPECT_EQ(CurrentTime(), (DateTime{2020, 9, 9, 23, 59, 59}));
}

TEST_F(ClockTest, EmptyFunctionRestoresTheSystemClock) {
  SetNowForTesting([] { return Instant(); });
  SetNowForTesting(nullptr);
  const auto before = std::chrono::system_clock::now();
  const auto now = Now();
  EXPECT_GE(now, before);
  EXPECT_LT(now - before, std::chrono::seconds(5));
}

}  // namespace
}  // namespace base
