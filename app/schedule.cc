#include "app/schedule.h"

#include <chrono>

#include "app/clock_log.h"
#include "app/draw.h"
#include "base/delay.h"
#include "base/gbk.h"
#include "base/numbers_dates.h"

namespace app {

namespace {

constexpr const char* kButton = "定时";
constexpr const char* kTarget = "标签_定时时间";
constexpr const char* kClock = "标签_北京时间";

// Captions of 定时 and 标签_定时时间, as GBK.
const Text& Idle() {
  static const Text kText = base::TextOfUtf8(u8"定时");
  return kText;
}
const Text& Armed() {
  static const Text kText = base::TextOfUtf8(u8"停止");
  return kText;
}
const Text& NoTarget() {
  static const Text kText = base::TextOfUtf8(u8"无");
  return kText;
}

// The clock label turns over on the wall clock's 100 ms grid, a millisecond
// or two after each boundary. The waiting phase looks at it this long after
// a boundary rather than at whatever phase it was armed in, so the first
// draw goes out a few milliseconds into the target second instead of
// anywhere up to 100 ms into it.
constexpr int kLookAfterBoundaryMs = 8;

bool Stopped(const WindowPort& window) {
  return window.Closed() || base::CompareText(window.ControlText(kTarget), NoTarget()) == 0;
}

}  // namespace

int MillisecondsToNextLook() {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const long long now = duration_cast<milliseconds>(base::Now().time_since_epoch()).count();
  const int wait = kLookAfterBoundaryMs - static_cast<int>(now % 100);
  return wait > 0 ? wait : wait + 100;
}

bool IsFinalAnswer(const Text& answer) {
  static const Text kWords[] = {"login", base::TextOfUtf8(u8"登录"),
                                base::TextOfUtf8(u8"已领取"), base::TextOfUtf8(u8"不符合领取")};
  if (answer.empty()) return true;
  for (const Text& word : kWords) {
    if (base::FindTextEx(answer, word) != -1) return true;
  }
  return false;
}

void ToggleSchedule(WindowPort& window, AppState& state, const net::RequestFunction& request) {
  const Text hour = window.ControlText("编辑框_时");
  const Text minute = window.ControlText("编辑框_分");
  const Text second = window.ControlText("编辑框_秒");
  if (hour.empty() || minute.empty() || second.empty()) {
    window.ShowMessageBox(base::TextOfUtf8(u8"未输入定时时间"), 48,
                          base::TextOfUtf8(u8"错误提示"));
    AppendLog(window, base::TextOfUtf8(u8"请输入定时时间"));
    return;
  }

  const Text caption = window.ControlText(kButton);
  if (base::CompareText(caption, Idle()) == 0) {
    static const Text kFormat = base::TextOfUtf8(u8"%s时%s分%s秒");
    window.SetControlText(kButton, Armed());
    window.SetControlText(
        kTarget, base::FormatText(kFormat.c_str(), hour.c_str(), minute.c_str(), second.c_str()));
    AppendLog(window, base::TextOfUtf8(u8"定时时间为") + window.ControlText(kTarget));
    RunSchedule(window, state, request);
  } else if (base::CompareText(caption, Armed()) == 0) {
    window.SetControlText(kButton, Idle());
    window.SetControlText(kTarget, NoTarget());
    AppendLog(window, base::TextOfUtf8(u8"定时任务结束"));
  }
}

void RunSchedule(WindowPort& window, AppState& state, const net::RequestFunction& request) {
  for (;;) {
    if (base::CompareText(window.ControlText(kClock), window.ControlText(kTarget)) == 0) {
      // The clock shows the target: draw until a final answer or a stop.
      for (;;) {
        if (window.Closed()) return;
        DrawOnce(window, state, request);
        if (Stopped(window)) return;  // stopped during the last pause
        if (IsFinalAnswer(state.LastDrawResponse)) {
          ToggleSchedule(window, state, request);
          break;
        }
        const int interval = base::IntOfText(window.ControlText("编辑框_间隔"));
        if (interval > 0) {
          base::DelayWithEvents(interval);
        } else {
          // No pause, but a stop click and the clock still get through.
          base::ProcessEvents();
        }
      }
    }
    if (Stopped(window)) return;
    base::DelayWithEvents(MillisecondsToNextLook());
  }
}

}  // namespace app
