// app/rights_list.h: filling the list of offered rights.
#ifndef QUENBROOK_APP_RIGHTS_LIST_H_
#define QUENBROOK_APP_RIGHTS_LIST_H_

#include "app/window_port.h"
#include "net/web_request.h"

namespace app {

// Asks the rights service, with the cookie box's text, for the rights of
// group "158"; logs the answer's resultMsg; when the answer mentions "特权",
// rebuilds 超级列表框2 from resultData.data.subRightsList1 and ...2, one row
// per right, numbered from 1 across both arrays. Any other answer (a failed
// request included) leaves the list as it was. Waits 100 ms with events
// dispatched between the answer and the rebuild.
void FetchRightsList(WindowPort& window, const net::RequestFunction& request);

}  // namespace app

#endif  // QUENBROOK_APP_RIGHTS_LIST_H_
