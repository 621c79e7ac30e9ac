// app/draw.h: choosing a right in the list and claiming it once.
#ifndef QUENBROOK_APP_DRAW_H_
#define QUENBROOK_APP_DRAW_H_

#include "app/window_port.h"
#include "net/web_request.h"

namespace app {

// Takes the selected row's identifier (hidden column 6) as the chosen right
// and shows its name in 编辑框信息. No row selected, or a row without an
// identifier, leaves no right chosen and logs "未选择奖品".
void SelectRight(WindowPort& window, AppState& state);

// Sends one draw request for the chosen right, keeps the answer in
// `state.LastDrawResponse` and logs its resultData.resultMessage (the whole
// answer when it has none). With no right chosen it logs "未选择奖品",
// sends nothing and leaves LastDrawResponse as it was.
void DrawOnce(WindowPort& window, AppState& state, const net::RequestFunction& request);

}  // namespace app

#endif  // QUENBROOK_APP_DRAW_H_
