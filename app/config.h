// app/config.h: the addresses the program talks to and the requests it
// builds from them. The hosts are fixed when the program is built.
#ifndef QUENBROOK_APP_CONFIG_H_
#define QUENBROOK_APP_CONFIG_H_

#include <string_view>

#include "base/text.h"

namespace app {

using base::Text;

// Host of the rights service, optionally with ":port".
Text RightsServiceHost();
// Host of the member site the draw request names as its origin.
Text MemberSiteHost();
Text AnnouncementHost();
Text AnnouncementRoute();
Text DiscussionPageUrl();

// The list request for the fixed rights group "158".
Text RightsListUrl();
// The draw request for `rightsId`. Letters and digits go in unchanged; any
// other byte is percent-encoded, so an identifier can neither add query
// keys nor cut the query short.
Text DrawUrl(std::string_view rightsId);
// The page that carries the start-up announcement.
Text AnnouncementUrl();
// The ten browser-like header lines every draw request carries.
Text DrawHeaderBlock();

}  // namespace app

#endif  // QUENBROOK_APP_CONFIG_H_
