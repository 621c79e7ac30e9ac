#include "app/draw.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/config.h"
#include "app/fake_window.h"
#include "base/gbk.h"

namespace app {
namespace {

// A list of two rights: 甲 (id 101) and 乙 (no id).
FakeWindow WindowWithTwoRows() {
  FakeWindow window;
  window.rows = {{"1", base::TextOfUtf8(u8"甲"), "", "", "", "", "101"},
                 {"2", base::TextOfUtf8(u8"乙"), "", "", "", "", ""}};
  return window;
}

TEST(SelectRightTest, TakesTheRowsIdentifierOrLogsNothingChosen) {
  const struct {
    int row;
    const char* info;
    const char* id;
    const char* logged;
  } kCases[] = {
      {0, "甲", "101", "选择奖品为甲"},
      {1, "乙", "", "未选择奖品"},    // a row without identifier
      {-1, "", "", "未选择奖品"},     // a click on empty space
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.row);
    FakeWindow window = WindowWithTwoRows();
    window.Set("编辑框信息", u8"旧");
    AppState state;
    state.SelectedRightsId = "999";
    window.selectedRow = c.row;
    SelectRight(window, state);
    EXPECT_EQ(base::Utf8OfText(window.ControlText("编辑框信息")), c.info);
    EXPECT_EQ(state.SelectedRightsId, c.id);
    EXPECT_EQ(window.LogMessages(), (std::vector<std::string>{c.logged}));
  }
}

TEST(DrawOnceTest, WithoutAChoiceSendsNothing) {
  FakeWindow window;
  AppState state;
  state.LastDrawResponse = "kept";
  int requests = 0;
  DrawOnce(window, state, [&](const Text&, net::WebRequestOptions&) {
    ++requests;
    return net::Bytes();
  });
  EXPECT_EQ(requests, 0);
  EXPECT_EQ(state.LastDrawResponse, "kept");
  EXPECT_EQ(window.LogMessages(), (std::vector<std::string>{"未选择奖品"}));
}

TEST(DrawOnceTest, SendsTheIdentifierUnquotedAndLogsTheResultMessage) {
  const struct {
    const char* label;
    const char* answer;  // UTF-8
    const char* logged;
  } kCases[] = {
      {"message", R"({"resultCode":"0","resultData":{"resultMessage":"已领取"}})", "已领取"},
      {"named but absent", R"({"resultMessage":"x"})", ""},
      {"html page", "<html>\r\n<b>502</b>\r\n</html>", "<html>\r\n<b>502</b>\r\n</html>"},
      {"failed request", "", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.label);
    FakeWindow window;
    window.Set("编辑框CK", u8"sid=1");
    AppState state;
    state.SelectedRightsId = "12345";
    Text url;
    net::WebRequestOptions sent;
    DrawOnce(window, state, [&](const Text& u, net::WebRequestOptions& o) {
      url = u;
      sent = o;
      return net::Bytes(c.answer);
    });
    EXPECT_EQ(url, "https://" + RightsServiceHost() +
                       "/gw/generic/hy/h5/m/drawNewMemberRights1?reqData=%7B%22appCode%22:"
                       "%22jr-vip%22,%22rid%22:12345,%22drawEnv%22:%22H5%22%7D");
    EXPECT_EQ(sent.cookieText, Text("sid=1"));
    EXPECT_EQ(sent.headerText, DrawHeaderBlock());
    EXPECT_EQ(state.LastDrawResponse, base::TextOfUtf8(c.answer));
    // The whole log, so a multi-line answer shows as one entry.
    EXPECT_EQ(base::Utf8OfText(window.ControlText("编辑框_输出日志")).substr(
                  base::Utf8OfText(window.ControlText("编辑框_输出日志")).find("]  ") + 3),
              std::string(c.logged) + "\r\n");
  }
}

TEST(DrawOnceTest, EachDrawSendsTheCookieBoxOfItsMoment) {
  FakeWindow window;
  AppState state;
  state.SelectedRightsId = "7";
  std::vector<Text> cookies;
  auto request = [&](const Text&, net::WebRequestOptions& o) {
    cookies.push_back(*o.cookieText);
    return net::Bytes("{}");
  };
  window.Set("编辑框CK", u8"a=1");
  DrawOnce(window, state, request);
  window.Set("编辑框CK", u8"a=2");
  DrawOnce(window, state, request);
  EXPECT_EQ(cookies, (std::vector<Text>{"a=1", "a=2"}));
}

TEST(DrawUrlTest, EncodesWhatCouldBreakTheQuery) {
  const struct {
    const char* id;
    const char* inUrl;
  } kCases[] = {
      {"12345", "rid%22:12345,"},
      {"AbC9", "rid%22:AbC9,"},
      {"1&x=2#f", "rid%22:1%26x%3D2%23f,"},
      {"\"7\" ", "rid%22:%227%22%20,"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.id);
    EXPECT_NE(DrawUrl(c.id).find(c.inUrl), std::string::npos) << DrawUrl(c.id);
  }
}

TEST(DrawHeaderBlockTest, TenLinesInOrderWithoutATrailingBreak) {
  const Text block = DrawHeaderBlock();
  const base::TextArray lines = base::SplitText(block, "\r\n");
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[2], "Connection: keep-alive");
  EXPECT_EQ(lines[3], "Host: " + RightsServiceHost());
  EXPECT_EQ(lines[5], "Referer: https://" + MemberSiteHost() + "/member/rights/index.html");
  EXPECT_NE(block.substr(block.size() - 2), "\r\n");
}

}  // namespace
}  // namespace app
