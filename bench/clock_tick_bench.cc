// How soon after each new second the clock label 标签_北京时间 shows it, and
// how evenly the ticks of 时钟1 fall, on the real window offscreen with the
// real clock. Run by hand: build/.../bench/clock_tick_bench [seconds]
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/clock_log.h"
#include "app/main_window.h"

namespace {

double WallMsIntoSecond() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  return (us % 1000000) / 1000.0;
}

void Print(const char* what, std::vector<double> v) {
  if (v.empty()) return;
  std::sort(v.begin(), v.end());
  const auto at = [&](double q) { return v[static_cast<size_t>(q * (v.size() - 1))]; };
  std::printf("%-34s n=%-5zu p50 %7.2f  p95 %7.2f  max %7.2f  min %7.2f ms\n", what, v.size(),
              at(0.5), at(0.95), v.back(), v.front());
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;

  app::MainWindow window;
  window.show();
  app::StartUp(window, {});

  auto* label = window.findChild<QLabel*>(QString::fromUtf8("标签_北京时间"));
  auto* clock = window.findChild<QTimer*>(QString::fromUtf8("时钟1"));
  std::vector<double> turnover, period;
  QString last = label->text();
  auto lastTick = std::chrono::steady_clock::now();
  bool first = true;
  // Connected after the window's own slot, so it sees the label just written.
  QObject::connect(clock, &QTimer::timeout, [&] {
    const auto tick = std::chrono::steady_clock::now();
    if (!first) period.push_back(std::chrono::duration<double, std::milli>(tick - lastTick).count());
    lastTick = tick;
    if (label->text() != last && !first) turnover.push_back(WallMsIntoSecond());
    last = label->text();
    first = false;
  });
  QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
  application.exec();

  Print("label turnover after the second", turnover);
  Print("tick period", period);
  return 0;
}
