// app/clock_log.cc: the clock labels and the run log of the main window.
#include "app/clock_log.h"

#include "base/gbk.h"
#include "base/numbers_dates.h"

namespace app {

void UpdateClock(WindowPort& window) {
  static const Text kClockFormat = base::TextOfUtf8(u8"%d时%d分%d秒");
  const base::DateTime t = base::CurrentTime();
  window.SetControlText("标签_北京时间", base::FormatText(kClockFormat.c_str(), base::HourOf(t),
                                                          base::MinuteOf(t), base::SecondOf(t)));
  window.SetControlText("标签_北京时间3", base::TimestampText(base::CurrentTime()));
}

void AppendLog(WindowPort& window, const Text& message) {
  const Text line = base::ConcatText(
      {"[", base::TimestampText(base::CurrentTime()), "]  ", message, "\r\n"});
  window.AppendToEditBox("编辑框_输出日志", line);
}

void StartUp(WindowPort& window, const std::function<void()>& showAnnouncement) {
  if (showAnnouncement) showAnnouncement();
  window.SetTimerPeriod("时钟1", 100);
  window.SetControlText("编辑框_时", base::TextOfInt(base::HourOf(base::CurrentTime())));
}

}  // namespace app
