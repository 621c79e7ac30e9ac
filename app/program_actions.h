// app/program_actions.h: which action each window event runs.
#ifndef QUENBROOK_APP_PROGRAM_ACTIONS_H_
#define QUENBROOK_APP_PROGRAM_ACTIONS_H_

#include "app/main_window.h"
#include "app/window_port.h"
#include "net/web_request.h"

namespace app {

// The window's events bound to the program's actions: start-up with the
// announcement, 获取 to the list fetch, a list click to the selection,
// 运行一次 to a single draw and 定时 to the schedule. `window` and `state`
// must outlive the returned hooks; `request` is the road to the network.
WindowActions ProgramActions(WindowPort& window, AppState& state, net::RequestFunction request);

}  // namespace app

#endif  // QUENBROOK_APP_PROGRAM_ACTIONS_H_
