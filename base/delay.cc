// base/delay.cc: waiting on Qt's event loop. The only file of base/ that
// runs Qt's event loop.
//
// A wait runs a nested QEventLoop until a precise single-shot timer fires.
// Once the application has been asked to quit, every nested QEventLoop
// returns at once; the wait then goes on dispatching events one batch at a
// time (the thread still sleeps between them) until its due time, so a wait
// keeps its length while the program winds down.
#include "base/delay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

namespace base {
namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> gDepth{0};

// Longest wait honoured: about a century, far beyond any schedule, and small
// enough that the due time never overflows the clock.
constexpr double kMaxWaitMs = 100.0 * 366 * 24 * 3600 * 1000;

}  // namespace

double DelayLength(int duration, std::optional<long long> unit) {
  double multiplier;
  switch (unit.value_or(0)) {
    case 0: multiplier = 1; break;
    case 1: multiplier = 1000; break;
    case 2: multiplier = 60000; break;
    case 3: multiplier = 3600000; break;
    default: multiplier = static_cast<double>(*unit); break;
  }
  const double ticks = std::trunc(static_cast<double>(duration) * multiplier *
                                  10000.0);  // 100 ns units
  if (!(ticks > 0)) return 0;                // also NaN
  const double ms = ticks / 10000.0;
  return ms > kMaxWaitMs ? kMaxWaitMs : ms;
}

namespace {

class DepthGuard {
 public:
  DepthGuard() { ++gDepth; }
  ~DepthGuard() { --gDepth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

// Whole milliseconds to arm the timer with so that it fires no earlier than
// `deadline`; at least 1.
int TimerMs(Clock::time_point deadline) {
  const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(
      deadline - Clock::now());
  if (remaining.count() < 1) return 1;
  if (remaining.count() > INT_MAX) return INT_MAX;
  return static_cast<int>(remaining.count());
}

}  // namespace

bool DelayWithEvents(int duration, std::optional<long long> unit) {
  const double ms = DelayLength(duration, unit);
  if (ms <= 0) return true;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double, std::milli>(ms));
  DepthGuard depth;

  if (QCoreApplication::instance() == nullptr) {
    // No event loop to keep alive: just sleep.
    std::this_thread::sleep_until(deadline);
    return true;
  }

  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  while (Clock::now() < deadline) {
    timer.start(TimerMs(deadline));
    loop.exec(QEventLoop::AllEvents);
    // exec() came back before the timer fired: the application is quitting.
    // Keep dispatching, sleeping between events, until the timer fires.
    while (timer.isActive()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents |
                                      QEventLoop::WaitForMoreEvents);
    }
  }
  return true;
}

void ProcessEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int DelayDepth() { return gDepth.load(); }

}  // namespace base
