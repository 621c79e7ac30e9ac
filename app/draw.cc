#include "app/draw.h"

#include "app/clock_log.h"
#include "app/config.h"
#include "base/gbk.h"
#include "json/json_document.h"

namespace app {

namespace {

constexpr const char* kList = "超级列表框2";

const Text& NothingChosen() {
  static const Text kText = base::TextOfUtf8(u8"未选择奖品");
  return kText;
}

}  // namespace

void SelectRight(WindowPort& window, AppState& state) {
  static const Text kChosen = base::TextOfUtf8(u8"选择奖品为");

  window.SetControlText("编辑框信息",
                        window.ListCellText(kList, window.ListSelectedRow(kList), 1));
  state.SelectedRightsId = window.ListCellText(kList, window.ListSelectedRow(kList), 6);
  if (base::CompareText(state.SelectedRightsId, "") == 0) {
    AppendLog(window, NothingChosen());
  } else {
    AppendLog(window, kChosen + window.ControlText("编辑框信息"));
  }
}

void DrawOnce(WindowPort& window, AppState& state, const net::RequestFunction& request) {
  json::JsonDocument document;
  if (state.SelectedRightsId.empty()) {
    AppendLog(window, NothingChosen());
    document.Destroy();
    return;
  }

  net::WebRequestOptions options;
  options.method = 0;
  options.cookieText = window.ControlText("编辑框CK");
  options.headerText = DrawHeaderBlock();
  const net::Bytes body = request(DrawUrl(state.SelectedRightsId), options);
  state.LastDrawResponse = base::Utf8ToGbk(body);

  document.Parse(state.LastDrawResponse);
  if (base::FindTextEx(state.LastDrawResponse, "resultMessage") == -1) {
    AppendLog(window, state.LastDrawResponse);
  } else {
    AppendLog(window, document.GetText("resultData.resultMessage"));
  }
  document.Destroy();
}

}  // namespace app
