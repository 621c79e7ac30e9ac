// Time per draw-shaped HTTPS GET on loopback, certificate verification on:
// WebRequest on a kept connection, WebRequest with a new connection (and TLS
// handshake) per call, and a bare libcurl GET on one kept handle.
//
//   QUENBROOK_SOURCE_DIR=. build/bench/web_request_bench [N] [source dir]
//
// Starts the local test server (tests/server/test_server.py) itself; needs
// python3 and openssl. N requests per variant (default 500).
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "net/http_request_object.h"
#include "net/web_request.h"
#include "tests/server/local_servers.h"

namespace {

constexpr char kCookie[] =
    "pt_key=AAJmZ3Rlc3Qta2V5LXdpdGgtc29tZS1sZW5ndGgtdG8tbG9vay1yZWFs; pt_pin=member_7; "
    "pwdt_id=member_7; sid=0f4c2a9e7b1d4c8a9e3f5b6a7c8d9e0f; __jda=122270672.1700000000."
    "1700000000.1700000000.1700000000.1; unpl=V2_ZzNtbUVRQkF2WxVcKR5VVWJTRlgRV0YQIg";

constexpr char kAnswer[] =
    R"({"resultCode":"0000","resultMsg":"success","resultData":{"resultCode":"2",)"
    R"("resultMessage":"\u60a8\u5df2\u9886\u53d6\u8fc7\u8be5\u6743\u76ca","data":null}})";

struct Figures {
  double median;
  double p99;
};

Figures Summarise(std::vector<double> micros) {
  std::sort(micros.begin(), micros.end());
  return {micros[micros.size() / 2],
          micros[std::min(micros.size() - 1, micros.size() * 99 / 100)]};
}

// Runs the variants in turn, one call each per round, so that load from
// elsewhere on the machine falls on all of them alike.
std::vector<Figures> Measure(int n, const std::vector<std::function<bool()>>& variants) {
  std::vector<std::vector<double>> micros(variants.size());
  std::vector<int> failures(variants.size());
  for (const auto& call : variants) call();  // warm-up: connections, trust store
  for (int i = 0; i < n; ++i) {
    for (size_t v = 0; v < variants.size(); ++v) {
      const auto start = std::chrono::steady_clock::now();
      if (!variants[v]()) ++failures[v];
      micros[v].push_back(std::chrono::duration<double, std::micro>(
                              std::chrono::steady_clock::now() - start)
                              .count());
    }
  }
  std::vector<Figures> figures;
  for (size_t v = 0; v < variants.size(); ++v) {
    if (failures[v] > 0) std::printf("  (variant %zu: %d of %d calls failed)\n", v, failures[v], n);
    figures.push_back(Summarise(micros[v]));
  }
  return figures;
}

size_t Collect(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

void Print(const char* name, const Figures& f) {
  std::printf("%-44s median %8.0f us   p99 %8.0f us\n", name, f.median, f.p99);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  if (argc > 2) setenv("QUENBROOK_SOURCE_DIR", argv[2], 1);

  test_servers::TestCertificates certs;
  if (!certs.ok()) {
    std::fprintf(stderr, "openssl could not make the test certificates\n");
    return 1;
  }
  test_servers::TestServer server(
      {{"https", test_servers::TestCertificates::Tls(certs.server_cert, certs.server_key)}});
  if (!server.ok() ||
      !server.Route(nlohmann::json{{"path", "*"},
                                   {"headers", {"Content-Type: application/json;charset=UTF-8"}},
                                   {"body", kAnswer}})) {
    std::fprintf(stderr, "the test server did not start (set QUENBROOK_SOURCE_DIR)\n");
    return 1;
  }
  net::SetExtraCaFileForTesting(certs.ca_cert);

  const std::string host = "127.0.0.1:" + std::to_string(server.Port("https"));
  const std::string url = "https://" + host +
                          "/gw/generic/hy/h5/m/drawNewMemberRights1?reqData=%7B%22appCode%22:"
                          "%22jr-vip%22,%22rid%22:12345,%22drawEnv%22:%22H5%22%7D";
  const std::vector<std::string> blockLines = {
      "Accept: application/json",
      "Accept-Language: zh-CN,zh;q=0.9",
      "Connection: keep-alive",
      "Host: " + host,
      "Origin: https://member.example.com",
      "Referer: https://member.example.com/member/rights/index.html",
      "Sec-Fetch-Dest: empty",
      "Sec-Fetch-Mode: cors",
      "Sec-Fetch-Site: same-site",
      "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like "
      "Gecko) Chrome/50.0.2661.87 Safari/537.36"};
  std::string block;
  for (const std::string& line : blockLines) block += (block.empty() ? "" : "\r\n") + line;

  auto draw = [&] {
    net::WebRequestOptions options;
    options.method = 0;
    options.cookieText = kCookie;
    options.headerText = block;
    return net::WebRequest(url, options) == kAnswer;
  };

  auto freshDraw = [&] {
    net::SetConnectionSharingForTesting(false);
    const bool ok = draw();
    net::SetConnectionSharingForTesting(true);
    return ok;
  };

  // The floor: one easy handle kept open, the same headers, the same checks.
  CURL* easy = curl_easy_init();
  curl_slist* headers = curl_slist_append(nullptr, (std::string("Cookie: ") + kCookie).c_str());
  for (const std::string& line : blockLines) {
    if (line != "Connection: keep-alive") headers = curl_slist_append(headers, line.c_str());
  }
  std::string body;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CAINFO, certs.ca_cert.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  auto bareGet = [&] {
    body.clear();
    return curl_easy_perform(easy) == CURLE_OK && body == kAnswer;
  };

  std::printf("%d draw-shaped HTTPS GETs per variant on loopback, verification on\n", n);
  const std::vector<Figures> f = Measure(n, {draw, freshDraw, bareGet});
  curl_easy_cleanup(easy);
  curl_slist_free_all(headers);
  const Figures& reused = f[0];
  const Figures& fresh = f[1];
  const Figures& bare = f[2];
  Print("WebRequest, shared connection", reused);
  Print("WebRequest, new connection per call", fresh);
  Print("bare libcurl GET, one kept handle", bare);

  std::printf("shared / bare libcurl (median): %.2fx   (target: at most 1.5x)\n",
              reused.median / bare.median);
  std::printf("new connection / shared (median): %.1fx   (target: at least 5x)\n",
              fresh.median / reused.median);
  return 0;
}
