// Cost of AppendLog as the run log grows through a day-long schedule (five
// lines a second: 432,000 lines), on the real window offscreen.
//
// Prints the mean and worst time per append at several log lengths, and the
// process's resident memory; then what the log grew by per line, beside the
// size of the line's own text. Run by hand: build/.../bench/append_log_bench
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/clock_log.h"
#include "app/main_window.h"
#include "base/gbk.h"

namespace {

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  app::MainWindow window;
  window.show();
  QCoreApplication::processEvents();

  const base::Text message = base::TextOfUtf8(
      u8"{\"resultCode\":\"0000\",\"resultData\":{\"resultMessage\":\"活动太火爆，请稍后再试\"}}");
  constexpr int kLines = 432000;
  constexpr int kSample = 4000;
  std::printf("%10s %12s %12s %10s\n", "lines", "mean us", "max us", "RSS MiB");
  double sampleSum = 0, sampleMax = 0;
  QElapsedTimer timer;
  long firstSampleKiB = 0;
  for (int i = 1; i <= kLines; ++i) {
    timer.start();
    app::AppendLog(window, message);
    const double us = timer.nsecsElapsed() / 1000.0;
    sampleSum += us;
    sampleMax = std::max(sampleMax, us);
    // The window repaints between ticks, as it would while a schedule runs.
    if (i % 5 == 0) QCoreApplication::processEvents();
    if (i % kSample == 0 && (i == kSample || i % 72000 == 0 || i == kLines)) {
      const long kib = ResidentKiB();
      if (i == kSample) firstSampleKiB = kib;
      std::printf("%10d %12.1f %12.1f %10.1f\n", i, sampleSum / kSample, sampleMax, kib / 1024.0);
      if (i == kLines) {
        const double grown = (kib - firstSampleKiB) * 1024.0 / (kLines - kSample);
        const double text = static_cast<double>(window.ControlText("编辑框_输出日志").size()) / kLines;
        std::printf("resident memory %.0f bytes a line; the line's text %.0f bytes (GBK)\n", grown,
                    text);
      }
    }
    if (i % kSample == 0) sampleSum = sampleMax = 0;
  }
  return 0;
}
