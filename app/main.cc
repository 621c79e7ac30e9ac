// app/main.cc: the Quenbrook program: one window, its actions, the event loop.
#include <QApplication>

#include "app/main_window.h"
#include "app/program_actions.h"
#include "app/window_port.h"
#include "net/web_request.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);

  // The two program-wide texts; released when main returns.
  app::AppState state;
  app::MainWindow window;

  window.SetActions(app::ProgramActions(window, state, net::WebRequest));

  window.show();
  // Ends when the window has been closed and no handler waits any more.
  return application.exec();
}
