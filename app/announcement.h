// app/announcement.h: the announcement line fetched once at start-up.
#ifndef QUENBROOK_APP_ANNOUNCEMENT_H_
#define QUENBROOK_APP_ANNOUNCEMENT_H_

#include "app/window_port.h"
#include "net/web_request.h"

namespace app {

// Fetches the announcement page and shows the text between "软件说明=" and
// the first "=软件说明" after it in 标签说明, but only when that text itself
// says "说明". A failed fetch or an unmarked page leaves the label as it is.
void ShowAnnouncement(WindowPort& window, const net::RequestFunction& request);

}  // namespace app

#endif  // QUENBROOK_APP_ANNOUNCEMENT_H_
