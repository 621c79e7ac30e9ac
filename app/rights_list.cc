#include "app/rights_list.h"

#include "app/clock_log.h"
#include "app/config.h"
#include "base/delay.h"
#include "base/gbk.h"
#include "base/numbers_dates.h"
#include "json/json_document.h"

namespace app {

namespace {

constexpr const char* kList = "超级列表框2";

// Columns 1 to 6 and the member each one shows.
constexpr const char* kMembers[] = {"name",      "subRightsVal", "subTitle",
                                    "userLevel", "rightsTarget", "rightsId"};

}  // namespace

void FetchRightsList(WindowPort& window, const net::RequestFunction& request) {
  static const Text kListWord = base::TextOfUtf8(u8"特权");

  json::JsonDocument document;
  net::WebRequestOptions options;
  options.method = 0;
  options.cookieText = window.ControlText("编辑框CK");
  const Text text = base::Utf8ToGbk(request(RightsListUrl(), options));

  base::DelayWithEvents(100);

  document.Parse(text);
  AppendLog(window, document.GetText("resultMsg"));
  if (base::FindTextEx(text, kListWord) == -1) {
    document.Destroy();
    return;
  }

  window.ListDeleteAllRows(kList);
  for (int g = 1; g <= 2; ++g) {
    const Text path = "resultData.data.subRightsList" + base::TextOfInt(g);
    const int n = document.Count(path);
    for (int k = 0; k < n; ++k) {
      const int r = window.ListInsertRow(kList);
      window.ListSetCell(kList, r, 0, base::TextOfReal(r + 1.0));
      const Text element = path + "[" + base::TextOfInt(k) + "].";
      for (int c = 1; c <= 6; ++c) {
        window.ListSetCell(kList, r, c, document.GetText(element + kMembers[c - 1]));
      }
    }
  }
  document.Destroy();
}

}  // namespace app
