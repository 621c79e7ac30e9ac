// app/main.cc: the Quenbrook program: one window, its actions, the event loop.
#include <QApplication>

#include "app/announcement.h"
#include "app/clock_log.h"
#include "app/draw.h"
#include "app/main_window.h"
#include "app/rights_list.h"
#include "app/schedule.h"
#include "app/window_port.h"
#include "net/web_request.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);

  // The two program-wide texts; released when main returns.
  app::AppState state;
  app::MainWindow window;

  const net::RequestFunction request = net::WebRequest;

  app::WindowActions actions;
  actions.created = [&] {
    app::StartUp(window, [&] { app::ShowAnnouncement(window, request); });
  };
  actions.fetchClicked = [&] { app::FetchRightsList(window, request); };
  actions.listClicked = [&] { app::SelectRight(window, state); };
  actions.drawClicked = [&] { app::DrawOnce(window, state, request); };
  actions.scheduleClicked = [&] { app::ToggleSchedule(window, state, request); };
  window.SetActions(std::move(actions));

  window.show();
  // Ends when the window has been closed and no handler waits any more.
  return application.exec();
}
