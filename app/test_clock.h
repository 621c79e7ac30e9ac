// app/test_clock.h: a settable wall clock for the window tests.
#ifndef QUENBROOK_APP_TEST_CLOCK_H_
#define QUENBROOK_APP_TEST_CLOCK_H_

#include <chrono>
#include <ctime>

#include "base/numbers_dates.h"

namespace app {

// Replaces base::Now() while it lives; the time is a local time of day on
// 9 September 2020 and stands still until Set moves it.
class TestClock {
 public:
  TestClock(int hour, int minute, int second) {
    Set(hour, minute, second);
    base::SetNowForTesting([this] { return now_; });
  }
  ~TestClock() { base::SetNowForTesting({}); }
  TestClock(const TestClock&) = delete;
  TestClock& operator=(const TestClock&) = delete;

  void Set(int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = 2020 - 1900;
    local.tm_mon = 9 - 1;
    local.tm_mday = 9;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    now_ = std::chrono::system_clock::from_time_t(std::mktime(&local));
  }

 private:
  std::chrono::system_clock::time_point now_;
};

}  // namespace app

#endif  // QUENBROOK_APP_TEST_CLOCK_H_
