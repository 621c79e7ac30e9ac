#include "app/schedule.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/fake_window.h"
#include "base/gbk.h"
#include "base/numbers_dates.h"

namespace app {
namespace {

// A window with a chosen right, boxes 10 / 0 / 0, interval 1 ms, and the
// clock label already showing the target, so an armed schedule fires at once.
struct ScheduleFixture {
  FakeWindow window;
  AppState state;
  std::vector<std::string> answers;  // one per draw, UTF-8; past the end: ""
  int draws = 0;
  std::function<void(int)> onDraw;   // runs after draw n's request

  ScheduleFixture() {
    window.Set("定时", u8"定时");
    window.Set("标签_定时时间", u8"无");
    window.Set("编辑框_时", u8"10");
    window.Set("编辑框_分", u8"0");
    window.Set("编辑框_秒", u8"0");
    window.Set("编辑框_间隔", u8"1");
    window.Set("标签_北京时间", u8"10时0分0秒");
    state.SelectedRightsId = "42";
  }

  net::RequestFunction Request() {
    return [this](const Text&, net::WebRequestOptions&) {
      const int n = ++draws;
      if (onDraw) onDraw(n);
      return n <= static_cast<int>(answers.size()) ? net::Bytes(answers[n - 1]) : net::Bytes();
    };
  }
  void Toggle() { ToggleSchedule(window, state, Request()); }
  std::string Caption(std::string_view name) const {
    return base::Utf8OfText(window.ControlText(name));
  }
};

std::string Answer(const std::string& message) {
  return R"({"resultData":{"resultMessage":")" + message + R"("}})";
}

TEST(IsFinalAnswerTest, Words) {
  const struct {
    const char8_t* answer;
    bool final;
  } kCases[] = {
      {u8"", true},
      {u8"please login", true},
      {u8"Login required", false},  // case-sensitive
      {u8"请先登录", true},
      {u8"您已领取过该权益", true},
      {u8"不符合领取条件", true},
      {u8"活动未开始", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(reinterpret_cast<const char*>(c.answer));
    EXPECT_EQ(IsFinalAnswer(base::TextOfUtf8(c.answer)), c.final);
  }
}

TEST(ScheduleTest, StopsOnAFinalAnswerAfterExactlyTheDrawsItTook) {
  ScheduleFixture f;
  f.answers = {Answer("活动未开始"), Answer("活动未开始"), Answer("您已领取")};
  f.Toggle();
  EXPECT_EQ(f.draws, 3);
  EXPECT_EQ(f.window.LogMessages(),
            (std::vector<std::string>{"定时时间为10时0分0秒", "活动未开始", "活动未开始", "您已领取",
                                      "定时任务结束"}));
  EXPECT_EQ(f.Caption("定时"), "定时");
  EXPECT_EQ(f.Caption("标签_定时时间"), "无");
}

TEST(ScheduleTest, AFailedRequestIsFinal) {
  ScheduleFixture f;  // no answers: every request fails
  f.Toggle();
  EXPECT_EQ(f.draws, 1);
  EXPECT_EQ(f.window.LogMessages(),
            (std::vector<std::string>{"定时时间为10时0分0秒", "", "定时任务结束"}));
}

TEST(ScheduleTest, AStopInAPauseGivesOneMoreDraw) {
  ScheduleFixture f;
  f.answers = {Answer("未开始"), Answer("未开始"), Answer("未开始"), Answer("未开始")};
  f.window.Set("编辑框_间隔", u8"30");
  f.onDraw = [&](int n) {
    if (n == 2) QTimer::singleShot(0, [&] { f.Toggle(); });  // lands in the next pause
  };
  f.Toggle();
  EXPECT_EQ(f.draws, 3);
  EXPECT_EQ(f.window.LogMessages(),
            (std::vector<std::string>{"定时时间为10时0分0秒", "未开始", "未开始", "定时任务结束",
                                      "未开始"}));
  EXPECT_EQ(f.Caption("定时"), "定时");
  EXPECT_EQ(f.Caption("标签_定时时间"), "无");
}

TEST(ScheduleTest, ZeroIntervalStillTakesAStop) {
  ScheduleFixture f;
  f.answers = std::vector<std::string>(50, Answer("未开始"));
  f.window.Set("编辑框_间隔", u8"abc");  // converts to 0
  f.onDraw = [&](int n) {
    if (n == 5) QTimer::singleShot(0, [&] { f.Toggle(); });
  };
  f.Toggle();
  EXPECT_EQ(f.draws, 6);
  EXPECT_EQ(f.Caption("定时"), "定时");
}

TEST(ScheduleTest, ALeadingZeroTargetNeverFires) {
  ScheduleFixture f;
  f.window.Set("编辑框_分", u8"00");
  f.window.Set("编辑框_秒", u8"00");
  QTimer::singleShot(350, [&] { f.Toggle(); });  // the user gives up
  f.Toggle();
  EXPECT_EQ(f.draws, 0);
  EXPECT_EQ(f.window.LogMessages(),
            (std::vector<std::string>{"定时时间为10时00分00秒", "定时任务结束"}));
}

TEST(ScheduleTest, AnEmptyTimeBoxShowsAMessageBoxAndChangesNothing) {
  for (bool armed : {false, true}) {
    SCOPED_TRACE(armed);
    ScheduleFixture f;
    f.window.Set("编辑框_分", u8"");
    if (armed) {
      f.window.Set("定时", u8"停止");
      f.window.Set("标签_定时时间", u8"10时0分0秒");
    }
    f.Toggle();
    ASSERT_EQ(f.window.messageBoxes.size(), 1u);
    EXPECT_EQ(base::Utf8OfText(f.window.messageBoxes[0].text), "未输入定时时间");
    EXPECT_EQ(base::Utf8OfText(f.window.messageBoxes[0].title), "错误提示");
    EXPECT_EQ(f.window.messageBoxes[0].style, 48);
    EXPECT_EQ(f.window.LogMessages(), (std::vector<std::string>{"请输入定时时间"}));
    EXPECT_EQ(f.Caption("定时"), armed ? "停止" : "定时");
    EXPECT_EQ(f.draws, 0);
  }
}

TEST(ScheduleTest, ClosingTheWindowEndsTheScheduleWithoutAnotherDraw) {
  ScheduleFixture f;
  f.answers = std::vector<std::string>(10, Answer("未开始"));
  f.window.Set("编辑框_间隔", u8"30");
  f.onDraw = [&](int n) {
    if (n == 2) QTimer::singleShot(0, [&] { f.window.closed = true; });
  };
  f.Toggle();
  EXPECT_EQ(f.draws, 2);
}

TEST(ScheduleTest, NoChoiceKeepsLoggingUntilStopped) {
  ScheduleFixture f;
  f.state.SelectedRightsId.clear();
  f.state.LastDrawResponse = base::TextOfUtf8(u8"未开始");  // an earlier, non-final answer
  int logged = 0;
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (++logged == 5) f.Toggle();
  });
  stopper.start(5);
  f.Toggle();
  EXPECT_EQ(f.draws, 0);
  const auto messages = f.window.LogMessages();
  ASSERT_GE(messages.size(), 3u);
  EXPECT_EQ(messages[1], "未选择奖品");
  EXPECT_EQ(messages.back(), "未选择奖品");  // the draw after the stop
}

}  // namespace
}  // namespace app

namespace app {
namespace {

TEST(MillisecondsToNextLookTest, WaitsUntilJustAfterTheNextTurnOfTheClock) {
  const struct {
    int millisecond;  // of the current second
    int wait;
  } kCases[] = {
      {0, 8}, {7, 1}, {8, 100}, {9, 99}, {99, 9}, {500, 8}, {993, 15},
  };
  const auto second = std::chrono::system_clock::time_point(std::chrono::seconds(1'800'000'000));
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.millisecond);
    base::SetNowForTesting([&] { return second + std::chrono::milliseconds(c.millisecond); });
    EXPECT_EQ(MillisecondsToNextLook(), c.wait);
  }
  base::SetNowForTesting({});
}

}  // namespace
}  // namespace app
