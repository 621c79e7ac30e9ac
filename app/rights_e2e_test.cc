// The rights operations end to end: the real MainWindow offscreen, driven by
// clicks, the real WebRequest over HTTPS, and the stand-in rights service
// (tests/server/rights_service.py) answering on loopback.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/main_window.h"
#include "app/program_actions.h"
#include "app/test_clock.h"
#include "base/delay.h"
#include "base/gbk.h"
#include "net/http_request_object.h"
#include "tests/server/rights_service.h"

namespace app {
namespace {

constexpr char kList[] = "超级列表框2";
constexpr char kOldAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr char kDrawPath[] = "/gw/generic/hy/h5/m/drawNewMemberRights1";
constexpr char kListPath[] = "/gw/generic/hy/h5/m/queryNewRightsDetail";

// Each window event runs its action, as in the program.
void Wire(MainWindow& window, AppState& state, net::RequestFunction request) {
  window.SetActions(ProgramActions(window, state, std::move(request)));
}

class RightsE2eTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    service_ = new test_servers::RightsService(/*nonFinalDraws=*/2);
    if (service_->ok()) net::SetExtraCaFileForTesting(service_->CaFile());
  }
  static void TearDownTestSuite() {
    net::SetExtraCaFileForTesting("");
    delete service_;
    service_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(service_->ok()) << "the stand-in rights service did not start";
    ASSERT_TRUE(service_->Clear());
    ASSERT_TRUE(service_->SetNonFinalDraws(2));
  }
  // Timers of a closed window must not outlive the test.
  void TearDown() override { window_.reset(); }

  // Opens a window wired to the service through `request` (default: the
  // stand-in) and waits until start-up has run (the clock shows a time).
  void Open(net::RequestFunction request = {}) {
    window_ = std::make_unique<MainWindow>();
    Wire(*window_, state_,
         request ? std::move(request) : test_servers::StandInRequest(service_->Port()));
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Text("标签_北京时间").empty(); }, 5000));
  }

  template <typename T>
  T* Find(const char* name) {
    return window_->findChild<T*>(QString::fromUtf8(name));
  }
  std::string Text(const char* name) { return base::Utf8OfText(window_->ControlText(name)); }
  // Replaces the text of a box as the user would.
  void Type(const char* box, const char* utf8) {
    if (auto* line = Find<QLineEdit>(box)) {
      line->setText(QString::fromUtf8(utf8));
    } else if (auto* edit = Find<QPlainTextEdit>(box)) {
      edit->setPlainText(QString::fromUtf8(utf8));
    } else {
      ADD_FAILURE() << "no box " << box;
    }
  }
  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
  // A left click on row `row` of the list, or below the last row for -1.
  void ClickRow(int row) {
    auto* list = Find<QTreeWidget>(kList);
    const QPoint at = row >= 0 ? list->visualItemRect(list->topLevelItem(row)).center()
                               : QPoint(20, list->viewport()->height() - 5);
    const size_t before = Log().size();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    // The list's action runs once the list has finished with the click.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Log().size() > before; }, 2000));
  }
  // The run log's messages without their timestamps.
  std::vector<std::string> Log() {
    std::vector<std::string> messages;
    for (const base::Text& line :
         base::SplitText(window_->ControlText("编辑框_输出日志"), "\r\n")) {
      const int end = base::FindText(line, "]  ");
      messages.push_back(end == -1 ? "?" + base::Utf8OfText(line)
                                   : base::Utf8OfText(line.substr(end + 2)));
    }
    return messages;
  }
  std::vector<test_servers::ServiceLogEntry> Requests(const std::string& path) {
    std::vector<test_servers::ServiceLogEntry> found;
    for (auto& entry : service_->Log()) {
      if (entry.path == path) found.push_back(std::move(entry));
    }
    return found;
  }
  // Cookie in, list fetched, row `row` clicked.
  void FetchAndChoose(int row) {
    Type("编辑框CK", "sid=demo");
    Click("获取券");
    ClickRow(row);
  }

  static test_servers::RightsService* service_;
  AppState state_;
  std::unique_ptr<MainWindow> window_;
};

test_servers::RightsService* RightsE2eTest::service_ = nullptr;

TEST_F(RightsE2eTest, EachRequestCarriesExactlyItsHeadersInOrder) {
  Open();
  FetchAndChoose(1);  // 话费立减券, whose rightsId the service gives as the string "20418"
  Click("运行一次");

  const auto log = service_->Log();
  ASSERT_EQ(log.size(), 3u);
  const std::string local = "Host: 127.0.0.1:" + std::to_string(service_->Port()) + "\r\n";
  auto defaults = [&](const std::string& url) {
    return "Accept: */*\r\nReferer: " + test_servers::OnLoopback(url, service_->Port()) +
           "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kOldAgent + "\r\n";
  };
  const std::string member = "https://" + MemberSiteHost();
  const struct {
    std::string target;
    std::string headers;
  } kExpected[] = {
      {"/qrcoderoute/qrcodeRoute?qrcode_route=" + AnnouncementRoute() +
           "&password=&render_default_fields=0",
       local + defaults(AnnouncementUrl())},
      {std::string(kListPath) + "?reqData=%7B%22appCode%22:%22jr-vip%22,%22rid%22:%22158%22%7D",
       local + "Cookie: sid=demo\r\n" + defaults(RightsListUrl())},
      // The identifier goes in unquoted; Host is the block's own, and its
      // "Connection: keep-alive" line stays behind.
      {std::string(kDrawPath) +
           "?reqData=%7B%22appCode%22:%22jr-vip%22,%22rid%22:20418,%22drawEnv%22:%22H5%22%7D",
       "Cookie: sid=demo\r\n"
       "Accept: application/json\r\n"
       "Accept-Language: zh-CN,zh;q=0.9\r\n"
       "Host: " + RightsServiceHost() + "\r\n"
       "Origin: " + member + "\r\n"
       "Referer: " + member + "/member/rights/index.html\r\n"
       "Sec-Fetch-Dest: empty\r\n"
       "Sec-Fetch-Mode: cors\r\n"
       "Sec-Fetch-Site: same-site\r\n"
       "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 "
       "(KHTML, like Gecko) Chrome/50.0.2661.87 Safari/537.36\r\n"},
  };
  for (size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(log[i].path);
    EXPECT_EQ(log[i].target, kExpected[i].target);
    EXPECT_EQ(log[i].HeaderBlock(), kExpected[i].headers);
  }
  EXPECT_EQ(log[2].rid, "20418");
  EXPECT_EQ(Log().back(), "活动未开始，请稍后再试");
}

TEST_F(RightsE2eTest, ListFillsFromBothArraysAndClicksChooseOrClearTheRight) {
  Open();
  auto* list = Find<QTreeWidget>(kList);

  // Without a cookie the service asks for a login: no list, one line.
  Click("获取券");
  EXPECT_EQ(list->topLevelItemCount(), 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"请先登录"}));

  Type("编辑框CK", "sid=demo");
  Click("获取券");
  ASSERT_EQ(list->topLevelItemCount(), 5);
  EXPECT_TRUE(list->isColumnHidden(6));
  const struct {
    const char* number;
    const char* name;
    const char* rightsId;
  } kRows[] = {
      {"1", "视频会员月卡", "20417"}, {"2", "话费立减券", "20418"}, {"3", "生日礼包", "20419"},
      {"4", "免费提现券", "31001"},   // element 0 of the second array
      {"5", "积分加倍卡", "31002"},
  };
  for (int r = 0; r < 5; ++r) {
    SCOPED_TRACE(r);
    QTreeWidgetItem* item = list->topLevelItem(r);
    EXPECT_EQ(item->text(0).toStdString(), kRows[r].number);
    EXPECT_EQ(item->text(1).toStdString(), kRows[r].name);
    EXPECT_EQ(item->text(6).toStdString(), kRows[r].rightsId);
  }
  EXPECT_EQ(list->topLevelItem(3)->text(2).toStdString(), "5次");
  EXPECT_EQ(list->topLevelItem(3)->text(3).toStdString(), "提现免手续费");

  ClickRow(3);
  EXPECT_EQ(Log().back(), "选择奖品为免费提现券");
  EXPECT_EQ(Text("编辑框信息"), "免费提现券");
  Click("运行一次");
  ASSERT_EQ(Requests(kDrawPath).size(), 1u);
  EXPECT_EQ(Requests(kDrawPath)[0].rid, "31001");

  // A click below the last row leaves no right chosen; a draw then sends nothing.
  ClickRow(-1);
  EXPECT_EQ(Log().back(), "未选择奖品");
  EXPECT_EQ(Text("编辑框信息"), "");
  EXPECT_EQ(window_->ListSelectedRow(kList), -1);
  Click("运行一次");
  EXPECT_EQ(Log().back(), "未选择奖品");
  EXPECT_EQ(Requests(kDrawPath).size(), 1u);

  // A login answer later leaves the rows as they were.
  Type("编辑框CK", "");
  Click("获取券");
  EXPECT_EQ(list->topLevelItemCount(), 5);
  EXPECT_EQ(Log().back(), "请先登录");
}

TEST_F(RightsE2eTest, ScheduleFiresOnTheClockAndStopsOnAFinalAnswer) {
  const struct {
    const char* name;
    const char* cookie;
    const char* drawAction;  // a route action of the draw page instead of its answer
    std::vector<std::string> afterArming;
  } kCases[] = {
      {"claimed on the third draw", "sid=demo", nullptr,
       {"活动未开始，请稍后再试", "活动未开始，请稍后再试", "恭喜，已领取成功：生日礼包",
        "定时任务结束"}},
      // Cut off after one byte of a final-looking answer: the request failed.
      {"connection reset", "sid=demo", "reset", {"", "定时任务结束"}},
      {"login asked", "", nullptr, {"请先登录", "定时任务结束"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(service_->Clear());
    ASSERT_TRUE(service_->SetNonFinalDraws(2));
    TestClock clock(10, 0, 0);
    Open();
    FetchAndChoose(2);
    Type("编辑框CK", c.cookie);
    if (c.drawAction != nullptr) {
      ASSERT_TRUE(service_->Route({{"path", kDrawPath},
                                   {"action", c.drawAction},
                                   {"body", R"({"resultData":{"resultMessage":"已领取"}})"}}));
    }
    EXPECT_EQ(Text("编辑框_时"), "10");  // written at start-up
    Type("编辑框_分", "0");
    Type("编辑框_秒", "0");
    Type("编辑框_间隔", "20");
    const size_t before = Log().size();

    Click("定时");  // returns once the schedule has ended

    std::vector<std::string> expected = {"定时时间为10时0分0秒"};
    expected.insert(expected.end(), c.afterArming.begin(), c.afterArming.end());
    const auto log = Log();
    EXPECT_EQ(std::vector<std::string>(log.begin() + before, log.end()), expected);
    EXPECT_EQ(Requests(kDrawPath).size(), c.afterArming.size() - 1);
    EXPECT_EQ(Text("定时"), "定时");
    EXPECT_EQ(Text("标签_定时时间"), "无");
  }
}

TEST_F(RightsE2eTest, StopClickedInAPauseGivesOneMoreDraw) {
  const struct {
    const char* interval;
  } kCases[] = {{"300"}, {"0"}};  // 0: no pause, yet the click gets through
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.interval);
    ASSERT_TRUE(service_->Clear());
    ASSERT_TRUE(service_->SetNonFinalDraws(1000000));
    TestClock clock(10, 0, 0);
    Open();
    FetchAndChoose(0);
    Type("编辑框_分", "0");
    Type("编辑框_秒", "0");
    Type("编辑框_间隔", c.interval);
    const std::string kNotYet = "活动未开始，请稍后再试";
    auto draws = [&] {
      const auto log = Log();
      return std::count(log.begin(), log.end(), kNotYet);
    };
    // Clicks 定时 again once two draws are in, from within the schedule's wait.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (draws() >= 2) {
        poll.stop();
        Click("定时");
      }
    });
    poll.start();

    Click("定时");

    const auto log = Log();
    const auto stop = std::find(log.begin(), log.end(), "定时任务结束");
    ASSERT_NE(stop, log.end());
    EXPECT_EQ(std::vector<std::string>(stop + 1, log.end()), std::vector<std::string>{kNotYet});
    EXPECT_EQ(static_cast<long>(Requests(kDrawPath).size()), draws());
    EXPECT_EQ(Text("定时"), "定时");
    EXPECT_EQ(Text("标签_定时时间"), "无");
  }
}

TEST_F(RightsE2eTest, EmptyTimeBoxShowsTheErrorBoxAndALeadingZeroNeverFires) {
  TestClock clock(10, 0, 0);
  Open();
  FetchAndChoose(0);
  struct Box {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
  };
  std::vector<Box> boxes;
  // Closes the next message box as soon as it is up, noting what it showed.
  auto closeNextBox = [&] {
    QTimer::singleShot(20, window_.get(), [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      boxes.push_back({box->windowTitle(), box->text(), box->icon()});
      box->done(QMessageBox::Ok);
    });
  };

  // Idle: neither armed nor anything else.
  Type("编辑框_秒", "");
  closeNextBox();
  Click("定时");
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(Log().back(), "请输入定时时间");
  EXPECT_EQ(Text("定时"), "定时");

  // Armed on 10时00分00秒 while the clock shows 10时0分0秒: it waits. An empty
  // minute box then leaves it armed; the stop ends it without a draw.
  Type("编辑框_分", "00");
  Type("编辑框_秒", "00");
  QTimer::singleShot(300, window_.get(), [&] {
    Type("编辑框_分", "");
    closeNextBox();
    Click("定时");
    EXPECT_EQ(Text("定时"), "停止");
    Type("编辑框_分", "00");
    Click("定时");
  });
  // Keeps a broken test from hanging.
  QTimer::singleShot(5000, window_.get(), [&] { window_->close(); });
  Click("定时");

  ASSERT_EQ(boxes.size(), 2u);
  for (const Box& box : boxes) {
    EXPECT_EQ(box.title.toStdString(), "错误提示");
    EXPECT_EQ(box.text.toStdString(), "未输入定时时间");
    EXPECT_EQ(box.icon, QMessageBox::Warning);
  }
  const auto log = Log();
  const std::vector<std::string> expected = {"定时时间为10时00分00秒", "请输入定时时间",
                                             "定时任务结束"};
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()), expected);
  EXPECT_EQ(Text("标签_北京时间"), "10时0分0秒");
  EXPECT_TRUE(Requests(kDrawPath).empty());
  EXPECT_FALSE(window_->Closed());
}

TEST_F(RightsE2eTest, ClosingTheWindowEndsAnArmedScheduleWithoutAnotherDraw) {
  const struct {
    const char* second;  // "0" fires at once; "00" never does
    size_t drawsBeforeClose;
  } kCases[] = {{"0", 2}, {"00", 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.second);
    ASSERT_TRUE(service_->Clear());
    ASSERT_TRUE(service_->SetNonFinalDraws(1000000));
    TestClock clock(10, 0, 0);
    Open();
    FetchAndChoose(0);
    Type("编辑框_分", "0");
    Type("编辑框_秒", c.second);
    Type("编辑框_间隔", "100");
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (Requests(kDrawPath).size() >= c.drawsBeforeClose) {
        poll.stop();
        QTimer::singleShot(c.drawsBeforeClose == 0 ? 300 : 10, window_.get(),
                           [&] { window_->close(); });
      }
    });
    poll.start();

    QElapsedTimer armed;
    armed.start();
    Click("定时");

    EXPECT_TRUE(window_->Closed());
    EXPECT_LT(armed.elapsed(), 3000);
    EXPECT_EQ(Requests(kDrawPath).size(), c.drawsBeforeClose);
    window_.reset();  // before its close can end the application
  }
}

TEST_F(RightsE2eTest, AnnouncementShowsOnlyMarkedTextThatSaysSo) {
  const struct {
    const char* name;
    const char* text;  // between the page's markers
    bool reachable;
    const char* shown;
  } kCases[] = {
      {"usage note", "使用说明：先填CK，再点获取", true, "使用说明：先填CK，再点获取"},
      {"no 说明 in it", "版本更新", true, ""},
      {"host unreachable", "使用说明", false, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(service_->SetAnnouncement(c.text));
    // A port nobody listens on stands for a host that cannot be reached.
    const int port = c.reachable ? service_->Port() : test_servers::FreeLoopbackPort();
    Open(test_servers::StandInRequest(port));
    EXPECT_EQ(Text("标签说明"), c.shown);
    EXPECT_EQ(Find<QLabel>("标签说明")->text().toStdString(), c.shown);
    EXPECT_FALSE(Text("编辑框_时").empty());  // start-up went on
  }
}

}  // namespace
}  // namespace app
