// tests/server/rights_service.h: the stand-in rights service
// (rights_service.py beside this file) as a child process, for the window's
// end-to-end tests and the benchmarks.
//
// Header-only; POSIX. Nothing here throws: a service that cannot start
// leaves ok() false.
//
//   test_servers::RightsService service(/*nonFinalDraws=*/2);
//   net::SetExtraCaFileForTesting(service.CaFile());
//   net::RequestFunction request = test_servers::StandInRequest(service.Port());
//   ... the actions run with `request` ...
//   service.Log()[0].HeaderBlock()  // the first request's header lines
#ifndef QUENBROOK_TESTS_SERVER_RIGHTS_SERVICE_H_
#define QUENBROOK_TESTS_SERVER_RIGHTS_SERVICE_H_

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/web_request.h"
#include "tests/server/local_servers.h"

namespace test_servers {

// One request the service received.
struct ServiceLogEntry {
  double time = 0;  // seconds since the epoch, once the request had been read
  std::string path, target;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string raw;  // the request's bytes as received
  std::string rid;  // a draw's reqData rid as text; empty for other pages

  // The header lines exactly as sent (request line left out), each ended by
  // CR LF.
  std::string HeaderBlock() const {
    const size_t start = raw.find("\r\n");
    const size_t end = raw.find("\r\n\r\n");
    if (start == std::string::npos || end == std::string::npos) return "";
    return raw.substr(start + 2, end - start);
  }
};

class RightsService {
 public:
  // Draws of each right answer "活动未开始，请稍后再试" `nonFinalDraws` times,
  // then "恭喜，已领取成功：" and the right's name.
  explicit RightsService(int nonFinalDraws = 3) {
    if (dir_.path().empty()) return;
    const std::vector<std::string> argv = {
        "python3", SourceDir() + "/tests/server/rights_service.py", "--dir", dir_.path(),
        "--non-final", std::to_string(nonFinalDraws)};
    if (!process_.Start(argv, true)) return;
    const nlohmann::json ready = nlohmann::json::parse(process_.ReadLine(), nullptr, false);
    if (!ready.is_object() || !ready.contains("ports") || !ready.contains("ca_file")) return;
    port_ = ready["ports"].value("https", 0);
    caFile_ = ready.value("ca_file", "");
    ok_ = port_ != 0;
  }

  bool ok() const { return ok_; }
  int Port() const { return port_; }
  // The authority that signed the service's certificate (PEM).
  const std::string& CaFile() const { return caFile_; }

  // Forgets the log and the draws counted; the three pages answer as at the
  // start again (routes added since are dropped).
  bool Clear() { return Ok(Command({{"cmd", "clear"}})); }
  // Non-final draws per right from now on; forgets the draws counted.
  bool SetNonFinalDraws(int n) {
    return Ok(Command({{"cmd", "scenario"}, {"non_final_draws", n}}));
  }
  // The text the announcement page carries between its markers (UTF-8).
  bool SetAnnouncement(std::string_view utf8) {
    return Ok(Command({{"cmd", "announcement"}, {"text", std::string(utf8)}}));
  }
  // A route of test_server.py, e.g. {"path": ..., "action": "close"}; it
  // replaces the page of the same path until Clear.
  bool Route(nlohmann::json route) {
    route["cmd"] = "route";
    return Ok(Command(route));
  }

  std::vector<ServiceLogEntry> Log() {
    std::vector<ServiceLogEntry> log;
    const nlohmann::json reply = Command({{"cmd", "log"}});
    if (!reply.contains("log")) return log;
    for (const auto& e : reply["log"]) {
      ServiceLogEntry entry;
      entry.time = e.value("time", 0.0);
      entry.path = e.value("path", "");
      entry.target = e.value("target", "");
      entry.raw = HexToBytes(e.value("raw_hex", ""));
      if (e.contains("rid") && e["rid"].is_string()) entry.rid = e["rid"].get<std::string>();
      for (const auto& h : e["headers"]) {
        entry.headers.emplace_back(h[0].get<std::string>(), h[1].get<std::string>());
      }
      log.push_back(std::move(entry));
    }
    return log;
  }

 private:
  static bool Ok(const nlohmann::json& reply) { return reply.value("ok", false); }
  nlohmann::json Command(const nlohmann::json& command) {
    if (!ok_ || !process_.WriteLine(command.dump())) return nlohmann::json::object();
    nlohmann::json reply = nlohmann::json::parse(process_.ReadLine(), nullptr, false);
    return reply.is_object() ? reply : nlohmann::json::object();
  }

  TempDir dir_;
  ChildProcess process_;
  int port_ = 0;
  std::string caFile_;
  bool ok_ = false;
};

// `url` with the host (and port) of an https or http URL replaced by
// "127.0.0.1:`port`"; unchanged when it has no such scheme.
inline std::string OnLoopback(std::string_view url, int port) {
  const size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return std::string(url);
  const size_t hostStart = scheme + 3;
  size_t hostEnd = url.find_first_of("/?#", hostStart);
  if (hostEnd == std::string_view::npos) hostEnd = url.size();
  return std::string(url.substr(0, hostStart)) + "127.0.0.1:" + std::to_string(port) +
         std::string(url.substr(hostEnd));
}

// The program's WebRequest, with every URL sent to 127.0.0.1:`port`: the
// hosts compiled into the program need not resolve. Headers (Host included)
// go out as the program made them. `beforeSend`, when set, runs just before
// each request with the rewritten URL.
inline net::RequestFunction StandInRequest(
    int port, std::function<void(const std::string& url)> beforeSend = {}) {
  return [port, beforeSend = std::move(beforeSend)](const net::Text& url,
                                                    net::WebRequestOptions& options) {
    const std::string local = OnLoopback(url, port);
    if (beforeSend) beforeSend(local);
    return net::WebRequest(local, options);
  };
}

}  // namespace test_servers

#endif  // QUENBROOK_TESTS_SERVER_RIGHTS_SERVICE_H_
