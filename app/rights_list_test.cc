#include "app/rights_list.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <string>
#include <vector>

#include "app/config.h"
#include "app/fake_window.h"
#include "base/gbk.h"

namespace app {
namespace {

std::string Right(const std::string& name, const std::string& id) {
  return R"({"name":")" + name + R"(","subRightsVal":"5元","subTitle":"满10可用",)"
         R"("userLevel":"V1","rightsTarget":"V2","rightsId":)" + id + "}";
}

std::string ListAnswer(const std::string& first, const std::string& second) {
  return R"({"resultCode":0,"resultMsg":"操作成功","resultData":{"data":{"title":"会员特权",)"
         R"("subRightsList1":[)" + first + R"(],"subRightsList2":[)" + second + "]}}}";
}

struct Fetch {
  std::vector<std::string> answers;  // one per request, UTF-8
  std::vector<net::WebRequestOptions> sent;
  std::vector<Text> urls;

  net::RequestFunction Function() {
    return [this](const Text& url, net::WebRequestOptions& options) {
      urls.push_back(url);
      sent.push_back(options);
      const size_t i = sent.size() - 1;
      return i < answers.size() ? net::Bytes(answers[i]) : net::Bytes();
    };
  }
};

std::vector<std::string> Column(const FakeWindow& window, int column) {
  std::vector<std::string> cells;
  for (const auto& row : window.rows) cells.push_back(base::Utf8OfText(row[column]));
  return cells;
}

TEST(FetchRightsListTest, FillsRowsFromBothArraysNumberedAcross) {
  FakeWindow window;
  window.Set("编辑框CK", u8"sid=abc; uid=1");
  Fetch fetch;
  fetch.answers = {ListAnswer(Right("一", "101") + "," + Right("二", "\"102\"") + "," +
                                  Right("三", "103"),
                              Right("四", "\"A-4\"") + "," + R"({"name":"五"})")};
  FetchRightsList(window, fetch.Function());

  ASSERT_EQ(fetch.urls.size(), 1u);
  EXPECT_EQ(fetch.urls[0], RightsListUrl());
  EXPECT_EQ(fetch.sent[0].method, 0);
  EXPECT_EQ(fetch.sent[0].cookieText, Text("sid=abc; uid=1"));
  EXPECT_FALSE(fetch.sent[0].headerText.has_value());

  EXPECT_EQ(Column(window, 0), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(Column(window, 1), (std::vector<std::string>{"一", "二", "三", "四", "五"}));
  EXPECT_EQ(Column(window, 6), (std::vector<std::string>{"101", "102", "103", "A-4", ""}));
  EXPECT_EQ(base::Utf8OfText(window.rows[3][2]), "5元");
  EXPECT_EQ(base::Utf8OfText(window.rows[3][3]), "满10可用");
  EXPECT_EQ(base::Utf8OfText(window.rows[3][4]), "V1");
  EXPECT_EQ(base::Utf8OfText(window.rows[3][5]), "V2");
  EXPECT_EQ(base::Utf8OfText(window.rows[4][2]), "");  // absent member
  EXPECT_EQ(window.LogMessages(), (std::vector<std::string>{"操作成功"}));
}

TEST(FetchRightsListTest, OnlyAListAnswerReplacesTheRows) {
  const struct {
    const char* label;
    std::string answer;
    std::vector<std::string> names;  // column 1 afterwards
    std::string logged;
  } kCases[] = {
      {"login page", R"({"resultCode":3,"resultMsg":"请先登录"})", {"旧"}, "请先登录"},
      {"failed request", "", {"旧"}, ""},
      {"html page", "<html>502</html>", {"旧"}, ""},
      {"both arrays empty", ListAnswer("", ""), {}, "操作成功"},
      {"one array missing",
       R"({"resultMsg":"ok","resultData":{"data":{"t":"特权","subRightsList2":[{"name":"乙"}]}}})",
       {"乙"}, "ok"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.label);
    FakeWindow window;
    window.rows = {{base::TextOfUtf8(u8"1"), base::TextOfUtf8(u8"旧"), "", "", "", "", "9"}};
    Fetch fetch;
    fetch.answers = {c.answer};
    FetchRightsList(window, fetch.Function());
    EXPECT_EQ(Column(window, 1), c.names);
    EXPECT_EQ(window.LogMessages(), (std::vector<std::string>{c.logged}));
  }
}

TEST(FetchRightsListTest, EmptyCookieBoxStillSendsAnEmptyCookie) {
  FakeWindow window;
  Fetch fetch;
  FetchRightsList(window, fetch.Function());
  ASSERT_EQ(fetch.sent.size(), 1u);
  EXPECT_EQ(fetch.sent[0].cookieText, Text());
}

}  // namespace
}  // namespace app

namespace app {
namespace {

TEST(FetchRightsListTest, NestedFetchDuringThePauseLeavesTheFirstAnswersRows) {
  FakeWindow window;
  Fetch fetch;
  fetch.answers = {ListAnswer(Right("第一", "1"), ""), ListAnswer(Right("第二", "2"), "")};
  net::RequestFunction inner = fetch.Function();
  bool nested = false;
  net::RequestFunction outer = [&](const Text& url, net::WebRequestOptions& options) {
    if (!nested) {
      nested = true;
      // A second click on 获取 that lands while the first run waits.
      QTimer::singleShot(0, [&] { FetchRightsList(window, inner); });
    }
    return inner(url, options);
  };
  FetchRightsList(window, outer);
  EXPECT_EQ(fetch.sent.size(), 2u);
  EXPECT_EQ(Column(window, 1), (std::vector<std::string>{"第一"}));
  EXPECT_EQ(window.LogMessages().size(), 2u);
}

}  // namespace
}  // namespace app
