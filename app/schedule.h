// app/schedule.h: drawing again and again from a clock time of day.
//
// The schedule keeps its whole state in the window: the caption of 定时 is
// "定时" (idle) or "停止" (armed), 标签_定时时间 holds the target time text
// or "无", and the loop compares the target with the clock label 标签_北京时间.
#ifndef QUENBROOK_APP_SCHEDULE_H_
#define QUENBROOK_APP_SCHEDULE_H_

#include "app/window_port.h"
#include "net/web_request.h"

namespace app {

// Arms the schedule (and returns only when it has ended) or stops it,
// depending on the caption of 定时. With a time box empty it shows the
// message box "未输入定时时间" and logs "请输入定时时间" instead.
void ToggleSchedule(WindowPort& window, AppState& state, const net::RequestFunction& request);

// Waits until the clock label shows the target (looking at it every 100 ms,
// just after each turn of the clock), then draws one interval
// apart until an answer is final or the schedule is stopped. Ends as soon
// as the window has been closed; no draw is sent after that.
void RunSchedule(WindowPort& window, AppState& state, const net::RequestFunction& request);

// How long the waiting phase sleeps before it looks at the clock label
// again: until 8 ms past the next 100 ms boundary of base::Now(), just after
// the label has turned over. Always in 1 ... 100 ms.
int MillisecondsToNextLook();

// True for an answer that ends the schedule: empty, or containing "login",
// "登录", "已领取" or "不符合领取".
bool IsFinalAnswer(const Text& answer);

}  // namespace app

#endif  // QUENBROOK_APP_SCHEDULE_H_
