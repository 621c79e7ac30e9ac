// app/main.cc: the Quenbrook program: one window, its actions, the event loop.
#include <QApplication>

#include "app/clock_log.h"
#include "app/main_window.h"
#include "app/window_port.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);

  // The two program-wide texts; released when main returns.
  app::AppState state;
  app::MainWindow window;

  app::WindowActions actions;
  actions.created = [&] { app::StartUp(window, /*showAnnouncement=*/{}); };
  actions.fetchClicked = {};
  actions.listClicked = {};
  actions.drawClicked = {};
  actions.scheduleClicked = {};
  window.SetActions(std::move(actions));

  window.show();
  // Ends when the window has been closed and no handler waits any more.
  return application.exec();
}
