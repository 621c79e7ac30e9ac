// app/clock_log.h: the clock labels and the run log of the main window.
//
// UpdateClock runs on every tick of 时钟1; AppendLog is how every action
// reports to the user. Both only format short texts and hand them to the
// window, so they are cheap enough to run ten times a second.
#ifndef QUENBROOK_APP_CLOCK_LOG_H_
#define QUENBROOK_APP_CLOCK_LOG_H_

#include <functional>

#include "app/window_port.h"

namespace app {

// Writes the local time as "7时8分9秒" into 标签_北京时间 (the clock the
// schedule compares against) and as TimestampText into 标签_北京时间3.
// Hours, minutes and seconds carry no leading zeros: midnight is "0时0分0秒".
void UpdateClock(WindowPort& window);

// Appends "[" timestamp "]  " `message` "\r\n" to the run log 编辑框_输出日志
// and scrolls it into view. An empty message gives "[timestamp]  \r\n"; a
// message with line breaks is appended unchanged under one timestamp.
void AppendLog(WindowPort& window, const Text& message);

// The program's start: runs `showAnnouncement` (which may block on the
// network), then starts 时钟1 at 100 ms and writes the current hour, 0 to
// 23 without leading zero, into 编辑框_时. An empty `showAnnouncement` is
// skipped.
void StartUp(WindowPort& window, const std::function<void()>& showAnnouncement);

}  // namespace app

#endif  // QUENBROOK_APP_CLOCK_LOG_H_
