#include "app/announcement.h"

#include <gtest/gtest.h>

#include "app/config.h"
#include "app/fake_window.h"

namespace app {
namespace {

TEST(ShowAnnouncementTest, ShowsOnlyAMarkedNoteThatSaysSo) {
  const struct {
    const char8_t* page;  // UTF-8, as served
    const char8_t* shown;
  } kCases[] = {
      {u8"x软件说明=使用说明：先填CK=软件说明y", u8"使用说明：先填CK"},
      {u8"软件说明=版本更新=软件说明", u8""},  // the note lacks 说明
      {u8"软件说明=使用说明", u8""},            // no end marker
      {u8"软件说明=说明A软件说明=B=软件说明=软件说明", u8"说明A软件说明=B"},  // first start, first end after it
      {u8"<p>软件说明=说明\r\n<b>x</b>=软件说明</p>", u8"说明\r\n<b>x</b>"},
      {u8"", u8""},                             // failed request
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(reinterpret_cast<const char*>(c.page));
    FakeWindow window;
    Text url;
    net::WebRequestOptions sent;
    ShowAnnouncement(window, [&](const Text& u, net::WebRequestOptions& o) {
      url = u;
      sent = o;
      return net::Bytes(reinterpret_cast<const char*>(c.page));
    });
    EXPECT_EQ(base::Utf8OfText(window.ControlText("标签说明")),
              reinterpret_cast<const char*>(c.shown));
    EXPECT_EQ(url, AnnouncementUrl());
    EXPECT_FALSE(sent.cookieText.has_value());
    EXPECT_FALSE(sent.headerText.has_value());
  }
}

TEST(ShowAnnouncementTest, UrlCarriesTheRouteAndFixedKeys) {
  EXPECT_EQ(AnnouncementUrl(), "https://" + AnnouncementHost() +
                                   "/qrcoderoute/qrcodeRoute?qrcode_route=" + AnnouncementRoute() +
                                   "&password=&render_default_fields=0");
}

}  // namespace
}  // namespace app
