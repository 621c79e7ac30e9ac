// base/numbers_dates.cc: numbers and dates as text, the clock, and
// printf-style formatting.
#include "base/numbers_dates.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <utility>

namespace base {
namespace {

std::mutex& NowMutex() {
  static std::mutex mutex;
  return mutex;
}

NowFunction& NowOverride() {
  static NowFunction now;
  return now;
}

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

// "年", "月", "日", "时", "分", "秒" in GBK.
constexpr char kDateFormat[] = "%d\xC4\xEA%d\xD4\xC2%d\xC8\xD5";
constexpr char kHourFormat[] = "%d\xCA\xB1";
constexpr char kMinuteFormat[] = "%d\xB7\xD6";
constexpr char kSecondFormat[] = "%d\xC3\xEB";

// Formats into a std::string of exactly the size vsnprintf asks for.
Text FormatList(const char* format, va_list args) {
  if (format == nullptr) return Text();
  va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (needed <= 0) return Text();
  std::string out(static_cast<size_t>(needed) + 1, '\0');
  const int written = std::vsnprintf(out.data(), out.size(), format, args);
  if (written < 0) return Text();
  out.resize(static_cast<size_t>(written < needed ? written : needed));
  // A text ends at its first zero byte (a "%c" of 0 could put one inside).
  const size_t zero = out.find('\0');
  if (zero != std::string::npos) out.resize(zero);
  return out;
}

}  // namespace

int IntOfText(std::string_view text) {
  // Fold full-width forms (A3 A1..A3 FE, and the space A1 A1) to ASCII,
  // stepping over double-byte characters; only the prefix that the decimal
  // reading can use is kept.
  std::string folded;
  folded.reserve(text.size());
  for (size_t i = 0; i < text.size() && text[i] != '\0';) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      folded.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) break;
    const unsigned char d = static_cast<unsigned char>(text[i + 1]);
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
      folded.push_back(static_cast<char>(d - 0xA1 + 0x21));
    } else if (c == 0xA1 && d == 0xA1) {
      folded.push_back(' ');
    } else {
      break;  // no digit or blank can follow in the C reading
    }
    i += 2;
  }
  size_t i = 0;
  while (i < folded.size() && IsCSpace(folded[i])) ++i;
  bool negative = false;
  if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
    negative = folded[i] == '-';
    ++i;
  }
  uint32_t value = 0;  // wraps modulo 2^32
  for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(folded[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

Text TextOfInt(int n) { return std::to_string(n); }

Text TextOfReal(double x) {
  Text out = FormatText("%.13g", x);
  // Widen the exponent to at least three digits: "1e+13" -> "1e+013".
  const size_t e = out.find('e');
  if (e == std::string::npos) return out;
  size_t digits = e + 1;
  if (digits < out.size() && (out[digits] == '+' || out[digits] == '-')) {
    ++digits;
  }
  const size_t count = out.size() - digits;
  if (count < 3) out.insert(digits, 3 - count, '0');
  return out;
}

void SetNowForTesting(NowFunction now) {
  std::lock_guard<std::mutex> lock(NowMutex());
  NowOverride() = std::move(now);
}

std::chrono::system_clock::time_point Now() {
  NowFunction now;
  {
    std::lock_guard<std::mutex> lock(NowMutex());
    now = NowOverride();
  }
  return now ? now() : std::chrono::system_clock::now();
}

DateTime CurrentTime() {
  const auto seconds =
      std::chrono::floor<std::chrono::seconds>(Now().time_since_epoch());
  const std::time_t t = static_cast<std::time_t>(seconds.count());
  std::tm local{};
  DateTime result;
  if (localtime_r(&t, &local) == nullptr) return result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec;
  return result;
}

int HourOf(const DateTime& t) { return t.hour; }
int MinuteOf(const DateTime& t) { return t.minute; }
int SecondOf(const DateTime& t) { return t.second; }

Text TimestampText(const DateTime& t) {
  Text out = FormatText(kDateFormat, t.year, t.month, t.day);
  if (t.hour == 0 && t.minute == 0 && t.second == 0) return out;
  out += FormatText(kHourFormat, t.hour);
  if (t.minute == 0 && t.second == 0) return out;
  out += FormatText(kMinuteFormat, t.minute);
  if (t.second == 0) return out;
  out += FormatText(kSecondFormat, t.second);
  return out;
}

Text FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Text out = FormatList(format, args);
  va_end(args);
  return out;
}

}  // namespace base
