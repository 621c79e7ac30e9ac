#include "app/config.h"

namespace app {

Text RightsServiceHost() { return QUENBROOK_RIGHTS_SERVICE_HOST; }
Text MemberSiteHost() { return QUENBROOK_MEMBER_SITE_HOST; }
Text AnnouncementHost() { return QUENBROOK_ANNOUNCEMENT_HOST; }
Text AnnouncementRoute() { return QUENBROOK_ANNOUNCEMENT_ROUTE; }
Text DiscussionPageUrl() { return QUENBROOK_DISCUSSION_PAGE_URL; }

Text RightsListUrl() {
  return "https://" + RightsServiceHost() +
         "/gw/generic/hy/h5/m/queryNewRightsDetail"
         "?reqData=%7B%22appCode%22:%22jr-vip%22,%22rid%22:%22158%22%7D";
}

Text DrawUrl(std::string_view rightsId) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text id;
  id.reserve(rightsId.size());
  for (unsigned char c : rightsId) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (plain) {
      id += static_cast<char>(c);
    } else {
      id += '%';
      id += kHex[c >> 4];
      id += kHex[c & 0x0F];
    }
  }
  return "https://" + RightsServiceHost() +
         "/gw/generic/hy/h5/m/drawNewMemberRights1"
         "?reqData=%7B%22appCode%22:%22jr-vip%22,%22rid%22:" +
         id + ",%22drawEnv%22:%22H5%22%7D";
}

Text AnnouncementUrl() {
  return "https://" + AnnouncementHost() + "/qrcoderoute/qrcodeRoute?qrcode_route=" +
         AnnouncementRoute() + "&password=&render_default_fields=0";
}

Text DrawHeaderBlock() {
  const Text member = "https://" + MemberSiteHost();
  return "Accept: application/json\r\n"
         "Accept-Language: zh-CN,zh;q=0.9\r\n"
         "Connection: keep-alive\r\n"
         "Host: " + RightsServiceHost() + "\r\n"
         "Origin: " + member + "\r\n"
         "Referer: " + member + "/member/rights/index.html\r\n"
         "Sec-Fetch-Dest: empty\r\n"
         "Sec-Fetch-Mode: cors\r\n"
         "Sec-Fetch-Site: same-site\r\n"
         "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 "
         "(KHTML, like Gecko) Chrome/50.0.2661.87 Safari/537.36";
}

}  // namespace app
