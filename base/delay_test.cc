#include "base/delay.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <climits>
#include <ctime>
#include <optional>

#include <gtest/gtest.h>

namespace base {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
      .count();
}

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Counts the ticks of a 10 ms timer and the wait depth it saw.
class Ticker {
 public:
  Ticker() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      ++ticks;
      depth = DelayDepth();
    });
    timer_.start();
  }
  int ticks = 0;
  int depth = -1;

 private:
  QTimer timer_;
};

TEST(DelayLengthTest, UnitsGiveTheMultiplier) {
  const struct {
    int duration;
    std::optional<long long> unit;
    double ms;
  } kCases[] = {
      {100, std::nullopt, 100},
      {100, 0, 100},
      {2, 1, 2000},         // seconds
      {2, 2, 120000},       // minutes
      {2, 3, 7200000},      // hours
      {3, 40, 120},         // any other unit: milliseconds per unit
      {0, std::nullopt, 0},
      {0, 3, 0},
      {-5, std::nullopt, 0},
      {5, -1, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_DOUBLE_EQ(DelayLength(c.duration, c.unit), c.ms);
  }
  // Huge waits are held to a finite length, still longer than any schedule.
  const double longest = DelayLength(INT_MAX, LLONG_MAX);
  EXPECT_EQ(DelayLength(INT_MAX, 3), longest);
  EXPECT_GT(longest, 365.0 * 24 * 3600 * 1000);
}

TEST(DelayWithEventsTest, ZeroOrNegativeReturnsAtOnceWithoutDispatching) {
  bool dispatched = false;
  QTimer::singleShot(0, [&] { dispatched = true; });
  const struct {
    int duration;
    std::optional<long long> unit;
  } kCases[] = {{0, std::nullopt}, {-1, std::nullopt}, {INT_MIN, 3}, {5, -2}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    const auto start = Clock::now();
    EXPECT_TRUE(DelayWithEvents(c.duration, c.unit));
    EXPECT_LT(MsSince(start), 50);
    EXPECT_FALSE(dispatched);
  }
  ProcessEvents();
  EXPECT_TRUE(dispatched);
}

TEST(DelayWithEventsTest, WaitsItsLengthAndDispatchesTimersMeanwhile) {
  Ticker ticker;
  const double cpuBefore = CpuMs();
  const auto start = Clock::now();
  EXPECT_TRUE(DelayWithEvents(100));
  const double elapsed = MsSince(start);
  EXPECT_GE(elapsed, 100);
  EXPECT_LT(elapsed, 1000);
  EXPECT_GE(ticker.ticks, 3);
  EXPECT_EQ(ticker.depth, 1);  // the ticks ran inside the wait
  EXPECT_EQ(DelayDepth(), 0);
  // The thread sleeps between events instead of spinning.
  EXPECT_LT(CpuMs() - cpuBefore, 50);
}

TEST(DelayWithEventsTest, NestedWaitDelaysTheOuterOne) {
  int depthInHandler = -1;
  int depthInNestedWait = -1;
  bool nestedDone = false;
  QTimer::singleShot(20, Qt::PreciseTimer, [&] {
    depthInHandler = DelayDepth();
    QTimer::singleShot(30, Qt::PreciseTimer,
                       [&] { depthInNestedWait = DelayDepth(); });
    DelayWithEvents(150);
    nestedDone = true;
  });
  const auto start = Clock::now();
  DelayWithEvents(50);
  EXPECT_GE(MsSince(start), 170);
  EXPECT_TRUE(nestedDone);
  EXPECT_EQ(depthInHandler, 1);
  EXPECT_EQ(depthInNestedWait, 2);
  EXPECT_EQ(DelayDepth(), 0);
}

// Once the application is asked to quit, Qt ends every nested event loop at
// once; a wait must still last its length and keep dispatching.
TEST(DelayWithEventsTest, KeepsItsLengthOnceTheApplicationQuits) {
  const struct {
    const char* name;
    bool quitBeforeWait;
  } kCases[] = {
      {"quit requested before the wait", true},
      {"quit requested during the wait", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    double elapsed = 0;
    double cpu = 0;
    int ticks = 0;
    QTimer::singleShot(0, [&] {
      if (c.quitBeforeWait) {
        QCoreApplication::exit(0);
      } else {
        QTimer::singleShot(20, [] { QCoreApplication::exit(0); });
      }
      Ticker ticker;
      const double cpuBefore = CpuMs();
      const auto start = Clock::now();
      DelayWithEvents(100);
      elapsed = MsSince(start);
      cpu = CpuMs() - cpuBefore;
      ticks = ticker.ticks;
    });
    QCoreApplication::exec();
    EXPECT_GE(elapsed, 100);
    EXPECT_LT(elapsed, 1000);
    EXPECT_GE(ticks, 3);
    EXPECT_LT(cpu, 50);
  }
}

}  // namespace
}  // namespace base
