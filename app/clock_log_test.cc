// The clock labels, the run log and start-up, on the real window offscreen.
#include "app/clock_log.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/log_view.h"
#include "app/main_window.h"
#include "app/test_clock.h"
#include "base/delay.h"
#include "base/gbk.h"

namespace app {
namespace {

constexpr char kClock[] = "标签_北京时间";
constexpr char kDate[] = "标签_北京时间3";
constexpr char kLog[] = "编辑框_输出日志";

Text Gbk(const char* utf8) { return base::TextOfUtf8(std::string_view(utf8)); }

class ClockLogTest : public testing::Test {
 protected:
  void SetUp() override {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  TestClock clock_{7, 8, 9};
  MainWindow window_;
};

TEST_F(ClockLogTest, ClockShowsTimeWithoutLeadingZeros) {
  const struct {
    int hour, minute, second;
    const char* clock;
    const char* date;
  } kCases[] = {
      {7, 8, 9, "7时8分9秒", "2020年9月9日7时8分9秒"},
      {0, 0, 0, "0时0分0秒", "2020年9月9日"},
      {9, 5, 0, "9时5分0秒", "2020年9月9日9时5分"},
      {23, 59, 58, "23时59分58秒", "2020年9月9日23时59分58秒"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.clock);
    clock_.Set(c.hour, c.minute, c.second);
    UpdateClock(window_);
    EXPECT_EQ(window_.ControlText(kClock), Gbk(c.clock));
    EXPECT_EQ(window_.ControlText(kDate), Gbk(c.date));
  }
}

TEST_F(ClockLogTest, EachMessageBecomesOneTimestampedLine) {
  const struct {
    const char* message;
    const char* line;
  } kCases[] = {
      {"定时任务结束", "[2020年9月9日7时8分9秒]  定时任务结束\r\n"},
      {"", "[2020年9月9日7时8分9秒]  \r\n"},
      // A whole service answer: appended unchanged under one timestamp.
      {"{\"a\":1,\r\n\"b\":2}", "[2020年9月9日7时8分9秒]  {\"a\":1,\r\n\"b\":2}\r\n"},
  };
  Text expected;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    AppendLog(window_, Gbk(c.message));
    expected += Gbk(c.line);
    EXPECT_EQ(window_.ControlText(kLog), expected);
  }
  // Shown as four lines, the answer over two of them.
  EXPECT_EQ(window_.findChild<LogView*>(QString::fromUtf8(kLog))->LineCount(), 5);
}

TEST(StartUpTest, AnnouncementFirstThenClockAndHourBox) {
  TestClock clock(0, 5, 0);
  MainWindow window;
  struct {
    bool ran = false;
    Text hour, clockLabel;
    bool ticking = true;
  } atAnnouncement;
  WindowActions actions;
  actions.created = [&] {
    StartUp(window, [&] {
      atAnnouncement = {true, window.ControlText("编辑框_时"), window.ControlText(kClock),
                        window.findChild<QTimer*>(QString::fromUtf8("时钟1"))->isActive()};
    });
  };
  window.SetActions(actions);
  window.show();
  QTRY_VERIFY(atAnnouncement.ran);
  EXPECT_EQ(atAnnouncement.hour, "");
  EXPECT_EQ(atAnnouncement.clockLabel, "");
  EXPECT_FALSE(atAnnouncement.ticking);

  EXPECT_EQ(window.ControlText("编辑框_时"), "0");
  QTRY_COMPARE_WITH_TIMEOUT(window.ControlText(kClock), Gbk("0时5分0秒"), 1000);
  EXPECT_EQ(window.ControlText(kDate), Gbk("2020年9月9日0时5分"));
}

TEST_F(ClockLogTest, AWaitKeepsTheClockTickingAndRunsAClick) {
  int clicks = 0;
  Text clockAtClick;
  WindowActions actions;
  actions.drawClicked = [&] {
    ++clicks;
    clockAtClick = window_.ControlText(kClock);
  };
  window_.SetActions(actions);
  window_.SetTimerPeriod("时钟1", 100);
  QTimer::singleShot(150, [&] {
    clock_.Set(7, 8, 10);
    QTest::mouseClick(window_.findChild<QPushButton*>(QString::fromUtf8("运行一次")),
                      Qt::LeftButton);
  });
  QElapsedTimer waited;
  waited.start();
  base::DelayWithEvents(300);
  EXPECT_GE(waited.elapsed(), 300);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(clockAtClick, Gbk("7时8分9秒"));  // the first tick came at 100 ms
  EXPECT_EQ(window_.ControlText(kClock), Gbk("7时8分10秒"));  // ticks went on
}

}  // namespace
}  // namespace app
