// How soon an armed schedule's first draw reaches the rights service after
// the target second begins, and how long the pauses between draws are, with
// the real window offscreen, its real clock ticks, the real WebRequest over
// HTTPS and the stand-in rights service (tests/server/rights_service.py) on
// loopback.
//
// Run by hand from the repository root (it starts the service itself):
//   build/.../bench/schedule_bench [schedules] [draws]
// `schedules` (default 24, at least 20) schedules are armed one after the
// other, each for the second after next; every one stops on its first draw.
// Then one schedule with a 200 ms interval makes `draws` (default 30) draws.
//
// "arrival" is the service's own timestamp, taken once it has read the whole
// request; "sent" is taken in the request function right before WebRequest.
// Both count from the start of the target second on the wall clock.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/draw.h"
#include "app/program_actions.h"
#include "base/delay.h"
#include "base/gbk.h"
#include "net/http_request_object.h"
#include "tests/server/rights_service.h"

namespace {

constexpr char kDrawPath[] = "/gw/generic/hy/h5/m/drawNewMemberRights1";

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void Print(const char* what, std::vector<double> v) {
  if (v.empty()) {
    std::printf("%-44s no samples\n", what);
    return;
  }
  std::sort(v.begin(), v.end());
  const auto at = [&](double q) { return v[static_cast<size_t>(std::ceil(q * v.size())) - 1]; };
  std::printf("%-44s n=%-4zu min %7.2f  p50 %7.2f  p95 %7.2f  max %7.2f ms\n", what, v.size(),
              v.front(), at(0.5), at(0.95), v.back());
}

template <typename T>
T* Find(app::MainWindow& window, const char* name) {
  return window.findChild<T*>(QString::fromUtf8(name));
}

void Type(app::MainWindow& window, const char* box, const std::string& text) {
  window.SetControlText(box, base::TextOfUtf8(text));
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int schedules = argc > 1 ? std::max(20, std::atoi(argv[1])) : 24;
  const int draws = argc > 2 ? std::max(3, std::atoi(argv[2])) : 30;

  test_servers::RightsService service(/*nonFinalDraws=*/0);
  if (!service.ok()) {
    std::fprintf(stderr, "the stand-in rights service did not start (run from the repository "
                         "root or set QUENBROOK_SOURCE_DIR)\n");
    return 1;
  }
  net::SetExtraCaFileForTesting(service.CaFile());

  // Wall-clock times around each request, as the program makes them.
  std::vector<double> sentAt, returnedAt;
  const net::RequestFunction standIn = test_servers::StandInRequest(service.Port());
  const net::RequestFunction request = [&](const net::Text& url, net::WebRequestOptions& options) {
    sentAt.push_back(WallSeconds());
    net::Bytes body = standIn(url, options);
    returnedAt.push_back(WallSeconds());
    return body;
  };

  app::AppState state;
  app::MainWindow window;
  window.SetActions(app::ProgramActions(window, state, request));
  window.show();
  while (window.ControlText("标签_北京时间").empty()) base::DelayWithEvents(10);

  Type(window, "编辑框CK", "sid=bench");
  Find<QPushButton>(window, "获取券")->click();
  auto* list = Find<QTreeWidget>(window, "超级列表框2");
  if (list->topLevelItemCount() == 0) {
    std::fprintf(stderr, "the rights list stayed empty\n");
    return 1;
  }
  list->setCurrentItem(list->topLevelItem(0));
  app::SelectRight(window, state);

  // Schedules that stop on their first draw.
  std::vector<double> arrival, sent;
  for (int i = 0; i < schedules; ++i) {
    const std::time_t target = static_cast<std::time_t>(std::floor(WallSeconds())) + 2;
    std::tm local{};
    localtime_r(&target, &local);
    Type(window, "编辑框_时", std::to_string(local.tm_hour));
    Type(window, "编辑框_分", std::to_string(local.tm_min));
    Type(window, "编辑框_秒", std::to_string(local.tm_sec));
    Type(window, "编辑框_间隔", "200");
    const size_t before = sentAt.size();
    const size_t logged = service.Log().size();
    Find<QPushButton>(window, "定时")->click();  // returns when the schedule has ended

    const auto log = service.Log();
    for (size_t k = logged; k < log.size(); ++k) {
      if (log[k].path == kDrawPath) {
        arrival.push_back((log[k].time - target) * 1000.0);
        break;
      }
    }
    if (sentAt.size() > before) sent.push_back((sentAt[before] - target) * 1000.0);
  }

  // One schedule drawing `draws` times, 200 ms apart.
  service.SetNonFinalDraws(draws - 1);
  const std::time_t target = static_cast<std::time_t>(std::floor(WallSeconds())) + 2;
  std::tm local{};
  localtime_r(&target, &local);
  Type(window, "编辑框_时", std::to_string(local.tm_hour));
  Type(window, "编辑框_分", std::to_string(local.tm_min));
  Type(window, "编辑框_秒", std::to_string(local.tm_sec));
  const size_t before = sentAt.size();
  const size_t logged = service.Log().size();
  Find<QPushButton>(window, "定时")->click();
  std::vector<double> pause, gap;
  for (size_t k = before + 1; k < sentAt.size(); ++k) {
    pause.push_back((sentAt[k] - returnedAt[k - 1]) * 1000.0);
  }
  std::vector<double> drawTimes;
  const auto log = service.Log();
  for (size_t k = logged; k < log.size(); ++k) {
    if (log[k].path == kDrawPath) drawTimes.push_back(log[k].time);
  }
  for (size_t k = 1; k < drawTimes.size(); ++k) {
    gap.push_back((drawTimes[k] - drawTimes[k - 1]) * 1000.0);
  }

  std::printf("first draw after the start of the target second (%d schedules):\n", schedules);
  Print("  arrival at the service", arrival);
  Print("  sent (before WebRequest)", sent);
  std::printf("interval 200 ms, %zu draws:\n", sentAt.size() - before);
  Print("  pause (answer to next request, client)", pause);
  Print("  arrival to arrival (service)", gap);
  const std::vector<double> sorted = [&] {
    auto v = arrival;
    std::sort(v.begin(), v.end());
    return v;
  }();
  if (!sorted.empty()) {
    const double p95 = sorted[static_cast<size_t>(std::ceil(0.95 * sorted.size())) - 1];
    std::printf("targets: p95 <= 100 ms %s, max <= 110 ms %s\n", p95 <= 100 ? "met" : "MISSED",
                sorted.back() <= 110 ? "met" : "MISSED");
  }
  net::SetExtraCaFileForTesting("");
  return 0;
}
