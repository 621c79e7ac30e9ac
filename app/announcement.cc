#include "app/announcement.h"

#include "app/config.h"
#include "base/gbk.h"

namespace app {

void ShowAnnouncement(WindowPort& window, const net::RequestFunction& request) {
  static const Text kStart = base::TextOfUtf8(u8"软件说明=");
  static const Text kEnd = base::TextOfUtf8(u8"=软件说明");
  static const Text kWord = base::TextOfUtf8(u8"说明");

  net::WebRequestOptions options;  // GET; no cookie, default headers
  options.method = 0;
  const Text page = base::Utf8ToGbk(request(AnnouncementUrl(), options));
  const Text note = base::TextBetween(page, kStart, kEnd);
  if (base::FindTextEx(note, kWord) != -1) {
    window.SetControlText("标签说明", note);
  }
}

}  // namespace app
