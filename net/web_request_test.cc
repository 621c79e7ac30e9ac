// WebRequest against real servers on 127.0.0.1: the scriptable test server
// (HTTPS with a test CA, plain HTTP, self-signed, wrong-name and expired
// certificates, a listener that never answers) and tinyproxy with Basic
// authentication. What went out is checked on the wire, byte for byte.
#include "net/web_request.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/http_request_object.h"
#include "tests/server/local_servers.h"

namespace net {
namespace {

using test_servers::RecordedRequest;
using test_servers::TestCertificates;
using test_servers::TestServer;

constexpr char kOldAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

TEST(HeaderNameValueTest, SplitAtTheFirstColonAndTrim) {
  const struct {
    const char* line;
    const char* name;
    const char* value;
  } kCases[] = {
      {"Referer: https://h.example:8443/p", "Referer", "https://h.example:8443/p"},
      {"  X-A  :  1  ", "X-A", "1"},
      {": x", "", "x"},
      {"X-Empty:", "X-Empty", ""},
      {"no colon", "", ""},
      {"", "", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(HeaderName(c.line), c.name);
    EXPECT_EQ(HeaderValue(c.line), c.value);
  }
}

class WebRequestTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    certs_ = new TestCertificates;
    const auto& c = *certs_;
    server_ = new TestServer({
        {"https", TestCertificates::Tls(c.server_cert, c.server_key)},
        {"https2", TestCertificates::Tls(c.server_cert, c.server_key)},
        {"http", "plain"},
        {"self", TestCertificates::Tls(c.self_signed_cert, c.self_signed_key)},
        {"other", TestCertificates::Tls(c.other_name_cert, c.other_name_key)},
        {"expired", TestCertificates::Tls(c.expired_cert, c.expired_key)},
        {"mute", "mute"},
    });
    SetExtraCaFileForTesting(c.ca_cert);
  }
  static void TearDownTestSuite() {
    SetExtraCaFileForTesting("");
    delete server_;
    delete certs_;
  }
  void SetUp() override {
    ASSERT_TRUE(certs_->ok()) << "openssl could not make the test certificates";
    ASSERT_TRUE(server_->ok()) << "the test server did not start";
    server_->Clear();
  }
  void TearDown() override {
    SetExtraCaFileForTesting(certs_->ca_cert);
    SetConnectionSharingForTesting(true);
  }

  static std::string Url(const std::string& path, const std::string& listener = "https",
                         const std::string& scheme = "https",
                         const std::string& host = "127.0.0.1") {
    return server_->Origin(listener, scheme, host) + path;
  }
  static std::string HostOf(const std::string& listener) {
    return "127.0.0.1:" + std::to_string(server_->Port(listener));
  }
  // The requests the server received, in order.
  static std::vector<RecordedRequest> Received() { return server_->Requests(); }
  static RecordedRequest LastReceived() {
    auto requests = server_->Requests();
    return requests.empty() ? RecordedRequest() : requests.back();
  }

  static TestCertificates* certs_;
  static TestServer* server_;
};

TestCertificates* WebRequestTest::certs_ = nullptr;
TestServer* WebRequestTest::server_ = nullptr;

// The program's three requests, as they leave the client.
TEST_F(WebRequestTest, CallersHeaderSetsGoOutExactlyAndInOrder) {
  ASSERT_TRUE(server_->Route(R"({"path": "*", "body": "ok"})"));
  const std::string url = Url("/gw/generic/hy/h5/m/drawNewMemberRights1?reqData=%7B%22rid%22:7%7D");
  const std::string host = HostOf("https");
  const std::string drawBlock =
      "Accept: application/json\r\n"
      "Accept-Language: zh-CN,zh;q=0.9\r\n"
      "Connection: keep-alive\r\n"
      "Host: " + host + "\r\n"
      "Origin: https://member.example.com\r\n"
      "Referer: https://member.example.com/member/rights/index.html\r\n"
      "Sec-Fetch-Dest: empty\r\n"
      "Sec-Fetch-Mode: cors\r\n"
      "Sec-Fetch-Site: same-site\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like "
      "Gecko) Chrome/50.0.2661.87 Safari/537.36";
  const std::string defaults = "Accept: */*\r\nReferer: " + url +
                               "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kOldAgent +
                               "\r\n";
  const struct {
    const char* caller;
    std::optional<Text> cookieText;
    std::optional<Text> headerText;
    std::string onTheWire;
  } kCases[] = {
      {"announcement", std::nullopt, std::nullopt, "Host: " + host + "\r\n" + defaults},
      {"rights list", "sid=abc; uid=7", std::nullopt,
       "Host: " + host + "\r\nCookie: sid=abc; uid=7\r\n" + defaults},
      // The block's own Host replaces the client's; its keep-alive line stays back.
      {"draw", "sid=abc; uid=7", drawBlock,
       "Cookie: sid=abc; uid=7\r\n" + [&] {
         std::string lines = drawBlock + "\r\n";
         lines.erase(lines.find("Connection: keep-alive\r\n"), 24);
         return lines;
       }()},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.caller);
    server_->Clear();
    ASSERT_TRUE(server_->Route(R"({"path": "*", "body": "ok"})"));
    WebRequestOptions options;
    options.method = 0;
    options.cookieText = c.cookieText;
    options.headerText = c.headerText;
    EXPECT_EQ(WebRequest(url, options), "ok");
    const auto requests = Received();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw.substr(0, requests[0].raw.find("\r\n")),
              "GET /gw/generic/hy/h5/m/drawNewMemberRights1?reqData=%7B%22rid%22:7%7D HTTP/1.1");
    EXPECT_EQ(requests[0].HeaderBlock(), c.onTheWire);
  }
}

// What the fields make of the header text, and what reaches the wire.
TEST_F(WebRequestTest, PreparesHeadersAndCookieAsTheFieldsSay) {
  const std::string url = Url("/h");
  const std::string host = "Host: " + HostOf("https") + "\r\n";
  const std::string defaults = "Accept: */*\r\nReferer: " + url +
                               "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kOldAgent;
  const struct {
    const char* name;
    std::optional<int> method;
    std::optional<Text> cookieText;
    std::optional<Text> headerText;
    std::optional<bool> completeHeaders;
    std::optional<bool> normaliseNames;
    std::string requestLine;
    std::string onTheWire;                 // after Host
    std::optional<Text> cookieWrittenBack;
    std::optional<Text> headerWrittenBack;
  } kCases[] = {
      {"method 8 is GET", 8, {}, {}, {}, {}, "GET /h HTTP/1.1", defaults + "\r\n", {}, {}},
      {"method -1 is GET", -1, {}, {}, {}, {}, "GET /h HTTP/1.1", defaults + "\r\n", {}, {}},
      {"POST gains the form type", 1, {}, {}, {}, {}, "POST /h HTTP/1.1",
       defaults + "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: 0\r\n",
       {}, {}},
      {"written back completed and normalised", 0, {}, "x-a: 1", {}, {}, "GET /h HTTP/1.1",
       "X-A: 1\r\n" + defaults + "\r\n", {}, "X-A: 1\r\n" + defaults},
      {"one line without defaults goes as one header", 0, {}, "x-a:  1", false, {},
       "GET /h HTTP/1.1", "X-A: 1\r\n", {}, "X-A:  1"},
      {"nothing at all", 0, {}, "", false, false, "GET /h HTTP/1.1", "", {}, ""},
      {"single-line keep-alive goes out", 0, {}, "Connection: keep-alive", false, {},
       "GET /h HTTP/1.1", "Connection: keep-alive\r\n", {}, {}},
      {"keep-alive in another case goes out", 0, {}, "A: 1\r\nConnection: Keep-Alive", false,
       {}, "GET /h HTTP/1.1", "A: 1\r\nConnection: Keep-Alive\r\n", {}, {}},
      {"lowercase keep-alive line is normalised, then held back", 0, {},
       "a: 1\r\nconnection: keep-alive", false, {}, "GET /h HTTP/1.1", "A: 1\r\n", {}, {}},
      {"without normalising, no-colon lines have an empty name", 0, {}, "a: 1\r\nplain",
       false, false, "GET /h HTTP/1.1", "a: 1\r\n", {}, "a: 1\r\nplain"},
      {"empty cookie text sends an empty Cookie", 0, "", "", false, false, "GET /h HTTP/1.1",
       "Cookie:\r\n", "", {}},
      {"Cookie: prefix removed, blank kept", 0, "Cookie: a=1", "", false, false,
       "GET /h HTTP/1.1", "Cookie:  a=1\r\n", " a=1", {}},
      {"cookie: prefix removed in any case", 0, "a=1; cookie:b=2", "", false, false,
       "GET /h HTTP/1.1", "Cookie: a=1; b=2\r\n", "a=1; b=2", {}},
      {"line breaks in a cookie add no header line", 0, "a=1\r\nX-Injected: 1\r\n", "", false,
       false, "GET /h HTTP/1.1", "Cookie: a=1X-Injected: 1\r\n", {}, {}},
      {"line breaks in a value are removed", 0, {}, "X-A: 1\nX-Injected: 2", false, false,
       "GET /h HTTP/1.1", "X-A: 1X-Injected: 2\r\n", {}, {}},
      {"a name with a line break is not sent", 0, {}, "X-A\n: 1\r\nX-B: 2", false, false,
       "GET /h HTTP/1.1", "X-B: 2\r\n", {}, {}},
      {"HEAD", 2, {}, "A: 1", false, {}, "HEAD /h HTTP/1.1", "A: 1\r\n", {}, {}},
      {"DELETE", 5, {}, "A: 1", false, {}, "DELETE /h HTTP/1.1", "A: 1\r\n", {}, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    server_->Clear();
    ASSERT_TRUE(server_->Route(R"({"path": "/h", "body": "ok"})"));
    WebRequestOptions options;
    options.method = c.method;
    options.cookieText = c.cookieText;
    options.headerText = c.headerText;
    options.completeHeaders = c.completeHeaders;
    options.normaliseNames = c.normaliseNames;
    options.mergeCookies = false;
    WebRequest(url, options);
    const RecordedRequest request = LastReceived();
    EXPECT_EQ(request.raw.substr(0, request.raw.find("\r\n")), c.requestLine);
    EXPECT_EQ(request.HeaderBlock(), host + c.onTheWire);
    if (c.cookieWrittenBack) {
      EXPECT_EQ(options.cookieText, c.cookieWrittenBack);
    }
    if (c.headerWrittenBack) {
      EXPECT_EQ(options.headerText, c.headerWrittenBack);
    }
  }
}

TEST_F(WebRequestTest, SendsPostBytesBeforePostText) {
  ASSERT_TRUE(server_->Route(R"({"path": "/p", "body": "ok"})"));
  const struct {
    std::optional<Bytes> postBytes;
    std::optional<Text> postText;
    std::string sent;
  } kCases[] = {
      {Bytes("b\0y", 3), "text", Bytes("b\0y", 3)},
      {Bytes(), "a=1&b=2", "a=1&b=2"},
      {std::nullopt, std::nullopt, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.sent);
    server_->Clear();
    ASSERT_TRUE(server_->Route(R"({"path": "/p", "body": "ok"})"));
    WebRequestOptions options;
    options.method = 1;
    options.postBytes = c.postBytes;
    options.postText = c.postText;
    EXPECT_EQ(WebRequest(Url("/p"), options), "ok");
    const RecordedRequest request = LastReceived();
    EXPECT_EQ(request.body, c.sent);
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(c.sent.size()));
  }
}

// Odd Set-Cookie shapes over HTTPS: header names keep the server's case.
TEST_F(WebRequestTest, ReturnsHeadersStatusAndMergedCookies) {
  const std::string headerLines =
      "Content-Type: application/json\r\n"
      "Set-Cookie: sid=abc; Path=/; HttpOnly\r\n"
      "Set-Cookie: old=deleted; Path=/\r\n"
      "set-cookie: low=1\r\n"
      "Set-Cookie:tight=2\r\n"
      "Set-Cookie: flag=on\r\n"
      "X-Spaced:   v  \r\n"
      "Content-Length: 3\r\n";
  ASSERT_TRUE(server_->Route(nlohmann::json{
      {"path", "/c"},
      {"status", 201},
      {"headers", {"Content-Type: application/json", "Set-Cookie: sid=abc; Path=/; HttpOnly",
                   "Set-Cookie: old=deleted; Path=/", "set-cookie: low=1",
                   "Set-Cookie:tight=2", "Set-Cookie: flag=on", "X-Spaced:   v  ",
                   "Content-Length: 3"}},
      {"body_hex", "00ff00"}}));

  WebRequestOptions options;
  options.cookieText = "Cookie: sid=old; old=1; keep=x; keep=y;";
  options.returnedCookies = "";
  options.returnedHeaders = "";
  options.returnedStatus = 0;
  EXPECT_EQ(WebRequest(Url("/c"), options), Bytes("\0\xff\0", 3));
  EXPECT_EQ(options.returnedStatus, 201);
  EXPECT_EQ(options.returnedHeaders, headerLines);
  EXPECT_EQ(options.cookieText, "sid=abc; flag=on; keep=x");
  EXPECT_EQ(options.returnedCookies, "sid=abc; flag=on; keep=x");
  EXPECT_EQ(LastReceived().Header("Cookie"), "sid=old; old=1; keep=x; keep=y;");

  // Without cookie text: what was collected, no merging.
  WebRequestOptions collectOnly;
  collectOnly.returnedCookies = "";
  WebRequest(Url("/c"), collectOnly);
  EXPECT_EQ(collectOnly.returnedCookies, "sid=abc; old=deleted; flag=on");
  EXPECT_FALSE(collectOnly.cookieText.has_value());
  EXPECT_FALSE(collectOnly.returnedStatus.has_value());  // not given, not written

  // Merging switched off leaves the sent text as it went out.
  WebRequestOptions noMerge;
  noMerge.cookieText = "a=1";
  noMerge.mergeCookies = false;
  noMerge.returnedCookies = "";
  WebRequest(Url("/c"), noMerge);
  EXPECT_EQ(noMerge.cookieText, "a=1");
  EXPECT_EQ(noMerge.returnedCookies, "sid=abc; old=deleted; flag=on");
}

// After any failure: empty body, headers and status; merging still runs.
TEST_F(WebRequestTest, FailedExchangesGiveEmptyResults) {
  const int closedPort = test_servers::FreeLoopbackPort();
  const struct {
    const char* name;
    std::string url;
    const char* route;  // for the path /f
    int timeoutSeconds;
  } kCases[] = {
      {"refused", "https://127.0.0.1:" + std::to_string(closedPort) + "/f", nullptr, 1},
      {"self-signed", Url("/f", "self"), R"({"path": "/f", "body": "x"})", 1},
      {"handshake never answered", Url("/f", "mute"), nullptr, 1},
      {"silent server", Url("/f"), R"({"path": "/f", "action": "silent"})", 1},
      {"trickle", Url("/f"),
       R"({"path": "/f", "action": "trickle", "interval_ms": 300, "body": "0123456789012345678901234567890123456789"})",
       1},
      {"reset mid-body", Url("/f"),
       R"({"path": "/f", "action": "reset", "reset_after": 5, "body": "0123456789"})", 1},
      {"closed without answer", Url("/f"), R"({"path": "/f", "action": "close"})", 1},
      {"redirect loop", Url("/f"),
       R"({"path": "/f", "status": 302, "headers": ["Location: /f"], "body": "loop"})", 1},
      {"https to http", Url("/f"),
       nullptr, 1},  // route set below: needs the http port
      {"file scheme", "file:///etc/hostname", nullptr, 1},
      {"ftp scheme", "ftp://127.0.0.1:" + std::to_string(closedPort) + "/", nullptr, 1},
      {"malformed", "https://[::1/x", nullptr, 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    server_->Clear();
    if (c.route != nullptr) {
      ASSERT_TRUE(server_->Route(c.route));
    }
    if (std::string(c.name) == "https to http") {
      ASSERT_TRUE(server_->Route(nlohmann::json{
          {"path", "/f"}, {"listener", "https"}, {"status", 302},
          {"headers", {"Location: " + Url("/g", "http", "http")}}}));
      ASSERT_TRUE(server_->Route(R"({"path": "/g", "body": "plain"})"));
    }
    WebRequestOptions options;
    options.cookieText = "a=1; a=2";
    options.returnedHeaders = "x";
    options.returnedStatus = -5;
    options.returnedCookies = "x";
    options.timeoutSeconds = c.timeoutSeconds;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WebRequest(c.url, options), "");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(options.returnedStatus, 0);
    EXPECT_EQ(options.returnedHeaders, "");
    EXPECT_EQ(options.cookieText, "a=1");
    EXPECT_EQ(options.returnedCookies, "a=1");
    // Each phase gives up after 1 s and the whole exchange after 4 s.
    EXPECT_LT(seconds, 8.0);
  }
  // The loop was followed ten times, then given up.
  server_->Clear();
  ASSERT_TRUE(server_->Route(R"({"path": "/f", "status": 302, "headers": ["Location: /f"]})"));
  WebRequestOptions options;
  WebRequest(Url("/f"), options);
  EXPECT_EQ(Received().size(), 11u);
}

TEST_F(WebRequestTest, TrustsOnlyAuthoritiesItKnows) {
  ASSERT_TRUE(server_->Route(R"({"path": "/t", "body": "trusted"})"));
  // A kept connection was verified when it opened; each row needs a new one.
  SetConnectionSharingForTesting(false);
  const struct {
    const char* name;
    std::string caFile;
    std::string listener;
    std::optional<bool> acceptAnyCertificate;
    const char* body;
  } kCases[] = {
      {"the test CA signed it", certs_->ca_cert, "https", std::nullopt, "trusted"},
      {"no extra CA: unknown authority", "", "https", std::nullopt, ""},
      {"self-signed, not named", certs_->ca_cert, "self", false, ""},
      {"self-signed, named in the CA file", certs_->self_signed_cert, "self", std::nullopt,
       "trusted"},
      {"self-signed, accepted on request", "", "self", true, "trusted"},
      {"wrong name, accepted on request", certs_->ca_cert, "other", true, "trusted"},
      {"expired", certs_->ca_cert, "expired", std::nullopt, ""},
      {"expired, accepted on request", certs_->ca_cert, "expired", true, "trusted"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SetExtraCaFileForTesting(c.caFile);
    WebRequestOptions options;
    options.acceptAnyCertificate = c.acceptAnyCertificate;
    EXPECT_EQ(WebRequest(Url("/t", c.listener), options), c.body);
  }
}

TEST_F(WebRequestTest, RedirectsCarryTheCookieToTheSameOriginOnly) {
  const struct {
    const char* name;
    std::string location;
    std::optional<bool> noRedirect;
    const char* body;
    int status;
    std::string cookieAtTarget;
    std::string hostAtTarget;
  } kCases[] = {
      {"same origin", "/to", std::nullopt, "target", 200, "sid=1", HostOf("https")},
      {"another port", Url("/to", "https2"), std::nullopt, "target", 200, "<none>",
       HostOf("https2")},
      {"another host name", Url("/to", "https", "https", "localhost"), std::nullopt, "target",
       200, "<none>", "localhost:" + std::to_string(server_->Port("https"))},
      {"not followed", "/to", true, "moved", 302, "", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    server_->Clear();
    ASSERT_TRUE(server_->Route(nlohmann::json{
        {"path", "/from"},
        {"status", 302},
        {"headers", {"Location: " + c.location, "Set-Cookie: hop=1"}},
        {"body", "moved"}}));
    ASSERT_TRUE(server_->Route(
        R"({"path": "/to", "headers": ["Set-Cookie: final=2", "X-Final: yes"], "body": "target"})"));
    WebRequestOptions options;
    options.cookieText = "sid=1";
    options.noRedirect = c.noRedirect;
    options.headerText = "Host: " + HostOf("https");  // as the draw gives it
    options.completeHeaders = false;
    options.returnedStatus = 0;
    options.returnedHeaders = "";
    EXPECT_EQ(WebRequest(Url("/from"), options), c.body);
    EXPECT_EQ(options.returnedStatus, c.status);
    const auto requests = Received();
    ASSERT_EQ(requests.size(), c.status == 302 ? 1u : 2u);
    EXPECT_EQ(requests[0].Header("Cookie"), "sid=1");
    if (c.status == 200) {
      EXPECT_EQ(requests[1].Header("Cookie"), c.cookieAtTarget);
      EXPECT_EQ(requests[1].Header("Host"), c.hostAtTarget);
      // Only the final response's headers come back.
      EXPECT_EQ(options.returnedHeaders,
                "Set-Cookie: final=2\r\nX-Final: yes\r\nContent-Length: 6\r\n");
      EXPECT_EQ(options.cookieText, "final=2; sid=1");
    } else {
      EXPECT_EQ(options.cookieText, "hop=1; sid=1");
    }
  }
}

TEST_F(WebRequestTest, BoundsTheBodySize) {
  const std::string mebibyte = std::string(1 << 20, 'x');
  const struct {
    const char* name;
    int repeat;
    bool chunked;
    size_t size;
  } kCases[] = {
      {"64 MiB", 64, false, size_t{64} << 20},
      {"over 64 MiB with a length", 65, false, 0},
      {"over 64 MiB, chunked", 65, true, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(server_->Route(nlohmann::json{{"path", "/big"},
                                              {"body", "0123456789abcdef"},
                                              {"repeat", c.repeat << 16},
                                              {"chunked", c.chunked},
                                              {"chunk_size", 1 << 20}}));
    WebRequestOptions options;
    options.returnedStatus = 0;
    EXPECT_EQ(WebRequest(Url("/big"), options).size(), c.size);
    EXPECT_EQ(options.returnedStatus, c.size > 0 ? 200 : 0);
  }
}

TEST_F(WebRequestTest, CreationFailureWritesNoField) {
  SetRequestObjectCreationFailsForTesting(true);
  WebRequestOptions options;
  options.cookieText = "Cookie: a=1";
  options.headerText = "x-a: 1";
  options.returnedStatus = 77;
  options.returnedHeaders = "h";
  options.returnedCookies = "c";
  EXPECT_EQ(WebRequest(Url("/x"), options), "");
  SetRequestObjectCreationFailsForTesting(false);
  EXPECT_EQ(options.cookieText, "Cookie: a=1");
  EXPECT_EQ(options.headerText, "x-a: 1");
  EXPECT_EQ(options.returnedStatus, 77);
  EXPECT_EQ(options.returnedHeaders, "h");
  EXPECT_EQ(options.returnedCookies, "c");
  EXPECT_TRUE(Received().empty());
}

TEST_F(WebRequestTest, UsesTheCallersObjectWithoutCarryingOverItsOptions) {
  ASSERT_TRUE(server_->Route(R"({"path": "/o", "body": "mine"})"));
  auto object = HttpRequestObject::Create();
  ASSERT_NE(object, nullptr);
  WebRequestOptions options;
  options.requestObject = object.get();
  options.acceptAnyCertificate = true;
  EXPECT_EQ(WebRequest(Url("/o", "self"), options), "mine");
  EXPECT_EQ(object->Status(), 200);
  EXPECT_EQ(object->ResponseBody(), "mine");

  WebRequestOptions again;
  again.requestObject = object.get();
  EXPECT_EQ(WebRequest(Url("/o", "self"), again), "");
  EXPECT_EQ(WebRequest(Url("/o"), again), "mine");
}

class ProxyTest : public WebRequestTest {
 protected:
  static void SetUpTestSuite() {
    WebRequestTest::SetUpTestSuite();
    proxy_ = new test_servers::AuthenticatingProxy("user", "s3cret");
  }
  static void TearDownTestSuite() {
    delete proxy_;
    proxy_ = nullptr;
    WebRequestTest::TearDownTestSuite();
  }
  void SetUp() override {
    WebRequestTest::SetUp();
    ASSERT_TRUE(proxy_->ok()) << "tinyproxy did not start";
  }
  static test_servers::AuthenticatingProxy* proxy_;
};

test_servers::AuthenticatingProxy* ProxyTest::proxy_ = nullptr;

TEST_F(ProxyTest, ReachesTheServerOnlyWithCredentials) {
  const struct {
    const char* name;
    std::string scheme;
    std::string listener;
    std::optional<Text> proxyUser;
    std::optional<Text> proxyPassword;
    std::optional<int> credentialsForProxy;
    int status;
  } kCases[] = {
      {"http, credentials", "http", "http", "user", "s3cret", std::nullopt, 200},
      {"https, credentials", "https", "https", "user", "s3cret", 1, 200},
      {"http, none", "http", "http", std::nullopt, std::nullopt, std::nullopt, 407},
      {"https, none", "https", "https", std::nullopt, std::nullopt, std::nullopt, 0},
      // tinyproxy answers wrong credentials with 401.
      {"http, wrong password", "http", "http", "user", "wrong", 1, 401},
      {"http, credentials for the server", "http", "http", "user", "s3cret", 0, 407},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    server_->Clear();
    ASSERT_TRUE(server_->Route(R"({"path": "/p", "body": "through"})"));
    WebRequestOptions options;
    options.proxy = proxy_->Address();
    options.proxyUser = c.proxyUser;
    options.proxyPassword = c.proxyPassword;
    options.credentialsForProxy = c.credentialsForProxy;
    options.returnedStatus = -1;
    const Bytes body = WebRequest(Url("/p", c.listener, c.scheme), options);
    EXPECT_EQ(options.returnedStatus, c.status);
    EXPECT_EQ(Received().size(), c.status == 200 ? 1u : 0u);
    if (c.status == 200) {
      EXPECT_EQ(body, "through");
      // The proxy's credentials stay with the proxy.
      EXPECT_EQ(LastReceived().Header("Proxy-Authorization"), "<none>");
    }
  }
}

// The test server standing in as a proxy shows what a proxy receives.
TEST_F(ProxyTest, SendsProxyAuthorizationOnlyForTheProxy) {
  const struct {
    const char* name;
    std::optional<Text> proxy;
    std::optional<int> credentialsForProxy;
    const char* proxyAuthorization;
  } kCases[] = {
      {"for the proxy", "proxy", std::nullopt, "Basic dXNlcjpzM2NyZXQ="},
      {"for the server", "proxy", 0, "<none>"},
      {"another target", "proxy", 2, "<none>"},
      {"no proxy", std::nullopt, std::nullopt, "<none>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    server_->Clear();
    ASSERT_TRUE(server_->Route(R"({"path": "/q", "body": "seen"})"));
    WebRequestOptions options;
    if (c.proxy) options.proxy = HostOf("http");
    options.proxyUser = "user";
    options.proxyPassword = "s3cret";
    options.credentialsForProxy = c.credentialsForProxy;
    const std::string url = c.proxy ? "http://service.invalid/q" : Url("/q", "http", "http");
    EXPECT_EQ(WebRequest(url, options), "seen");
    const RecordedRequest request = LastReceived();
    EXPECT_EQ(request.target, c.proxy ? url : "/q");
    EXPECT_EQ(request.Header("Proxy-Authorization"), c.proxyAuthorization);
    EXPECT_EQ(request.Header("Authorization"), "<none>");
  }
}

}  // namespace
}  // namespace net
