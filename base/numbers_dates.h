// base/numbers_dates.h: numbers and dates as text, the clock, and
// printf-style formatting.
#ifndef QUENBROOK_BASE_NUMBERS_DATES_H_
#define QUENBROOK_BASE_NUMBERS_DATES_H_

#include <chrono>
#include <functional>
#include <string_view>

#include "base/text.h"

namespace base {

// A local date and time in whole seconds.
struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  bool operator==(const DateTime&) const = default;
};

// Decimal value of `text` as C's atoi reads it, after full-width ASCII forms
// are folded to ASCII; no digits gives 0; overflow wraps.
int IntOfText(std::string_view text);
Text TextOfInt(int n);
// "%.13g" with an exponent of at least three digits: 1e13 -> "1e+013".
Text TextOfReal(double x);

// The wall clock every part of the program reads. Tests may replace it;
// passing an empty function restores the system clock.
using NowFunction = std::function<std::chrono::system_clock::time_point()>;
void SetNowForTesting(NowFunction now);
std::chrono::system_clock::time_point Now();

// Local time of Now(), truncated to whole seconds.
DateTime CurrentTime();
int HourOf(const DateTime& t);
int MinuteOf(const DateTime& t);
int SecondOf(const DateTime& t);
// "2020年9月9日10时5分7秒", shortened at trailing zero parts (GBK text).
Text TimestampText(const DateTime& t);

// printf-style formatting of GBK text; text arguments go in as const char*
// (an absent text as ""). The program formats "%d时%d分%d秒" with three ints
// and "%s时%s分%s秒" with three texts.
Text FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace base

#endif  // QUENBROOK_BASE_NUMBERS_DATES_H_
