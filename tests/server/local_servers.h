// tests/server/local_servers.h: real servers on 127.0.0.1 for tests and
// benchmarks: the scriptable test server (test_server.py beside this file),
// the certificates it serves, and an authenticating proxy (tinyproxy).
//
// Header-only; POSIX. Nothing here throws: a server that cannot start leaves
// ok() false, and the caller skips or fails.
//
//   test_servers::TestCertificates certs;           // a CA and server certificates
//   test_servers::TestServer server({{"https", "tls:" + certs.server_cert + ":" +
//                                certs.server_key}, {"http", "plain"}});
//   server.Route(R"({"path": "/x", "headers": ["Set-Cookie: a=1"], "body": "hi"})");
//   ... https://127.0.0.1:<server.Port("https")>/x ...
//   server.Requests()[0].raw  // the request's bytes as received
#ifndef QUENBROOK_TESTS_SERVER_LOCAL_SERVERS_H_
#define QUENBROOK_TESTS_SERVER_LOCAL_SERVERS_H_

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace test_servers {

// The repository root: QUENBROOK_SOURCE_DIR, else the working directory.
inline std::string SourceDir() {
  const char* dir = std::getenv("QUENBROOK_SOURCE_DIR");
  return dir != nullptr && *dir != '\0' ? dir : ".";
}

// A fresh directory under /tmp, removed with its files on destruction.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/quenbrook-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = pattern;
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string HexToBytes(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
  }
  return bytes;
}

inline std::string BytesToHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// Certificates made with the openssl command, all with P-256 keys:
//   ca_cert           a test certificate authority
//   server_cert/key   127.0.0.1 and localhost, signed by the CA
//   other_name_cert/key  other.invalid only, signed by the CA
//   self_signed_cert/key 127.0.0.1 and localhost, signed by itself
//   expired_cert/key  127.0.0.1 and localhost, signed by the CA, expired in 2020
class TestCertificates {
 public:
  TestCertificates() {
    const std::string d = dir_.path();
    const std::string quiet = " >/dev/null 2>&1";
    auto key = [&](const std::string& name) {
      return "openssl ecparam -name prime256v1 -genkey -noout -out " + d + "/" +
             name + ".key" + quiet;
    };
    const std::string subjectAlt = "subjectAltName=IP:127.0.0.1,DNS:localhost";
    auto signedBy = [&](const std::string& name, const std::string& alt) {
      const std::string ext = d + "/" + name + ".ext";
      std::ofstream(ext) << alt << "\nbasicConstraints=CA:FALSE\n"
                         << "extendedKeyUsage=serverAuth\n";
      return key(name) + " && openssl req -new -key " + d + "/" + name +
             ".key -subj /CN=" + name + " -out " + d + "/" + name + ".csr" + quiet +
             " && openssl x509 -req -in " + d + "/" + name + ".csr -CA " + d +
             "/ca.pem -CAkey " + d + "/ca.key -CAcreateserial -days 30 -extfile " +
             ext + " -out " + d + "/" + name + ".pem" + quiet;
    };
    const std::string commands =
        key("ca") + " && openssl req -x509 -new -key " + d + "/ca.key -subj " +
        "'/CN=Quenbrook Test CA' -days 30 -addext basicConstraints=critical,CA:TRUE " +
        "-addext keyUsage=critical,keyCertSign,cRLSign -out " + d + "/ca.pem" + quiet +
        " && " + signedBy("server", subjectAlt) + " && " +
        signedBy("other", "subjectAltName=DNS:other.invalid") + " && " + key("self") +
        " && openssl req -x509 -new -key " + d + "/self.key -subj /CN=self -days 30 " +
        "-addext " + subjectAlt + " -out " + d + "/self.pem" + quiet + " && " +
        Expired(d, subjectAlt, quiet);
    ok_ = !dir_.path().empty() && std::system(commands.c_str()) == 0;
    ca_cert = dir_.File("ca.pem");
    server_cert = dir_.File("server.pem");
    server_key = dir_.File("server.key");
    other_name_cert = dir_.File("other.pem");
    other_name_key = dir_.File("other.key");
    self_signed_cert = dir_.File("self.pem");
    self_signed_key = dir_.File("self.key");
    expired_cert = dir_.File("expired.pem");
    expired_key = dir_.File("expired.key");
  }
  bool ok() const { return ok_; }
  // "tls:CERT:KEY" for a TestServer listener.
  static std::string Tls(const std::string& cert, const std::string& key) {
    return "tls:" + cert + ":" + key;
  }

  std::string ca_cert, server_cert, server_key, other_name_cert, other_name_key,
      self_signed_cert, self_signed_key, expired_cert, expired_key;

 private:
  // `openssl ca` is the one command that takes dates in the past.
  static std::string Expired(const std::string& d, const std::string& subjectAlt,
                             const std::string& quiet) {
    std::ofstream(d + "/ca.cnf") << "[ca]\ndefault_ca = test\n[test]\ndatabase = " << d
                                 << "/index.txt\nnew_certs_dir = " << d << "\nserial = " << d
                                 << "/serial\ndefault_md = sha256\npolicy = any\n"
                                 << "[any]\ncommonName = supplied\n";
    std::ofstream(d + "/index.txt");
    std::ofstream(d + "/serial") << "1000\n";
    std::ofstream(d + "/expired.ext") << subjectAlt << "\n";
    return "openssl ecparam -name prime256v1 -genkey -noout -out " + d + "/expired.key" +
           quiet + " && openssl req -new -key " + d + "/expired.key -subj /CN=expired -out " +
           d + "/expired.csr" + quiet + " && openssl ca -batch -config " + d +
           "/ca.cnf -cert " + d + "/ca.pem -keyfile " + d + "/ca.key -in " + d +
           "/expired.csr -out " + d + "/expired.pem -notext -startdate 20200101000000Z " +
           "-enddate 20200102000000Z -extfile " + d + "/expired.ext" + quiet;
  }

  TempDir dir_;
  bool ok_ = false;
};

// A child process with its standard input and output on pipes.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() { Stop(); }

  bool Start(const std::vector<std::string>& argv, bool pipes) {
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipes) {
      if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return false;
      posix_spawn_file_actions_adddup2(&actions, in[0], 0);
      posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    } else {
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int rc = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipes) {
      close(in[0]);
      close(out[1]);
      to_child_ = in[1];
      from_child_ = out[0];
    }
    if (rc != 0) pid_ = -1;
    return rc == 0;
  }

  // One line from the child's output, without its line break; empty when
  // nothing came within `timeoutMs`.
  std::string ReadLine(int timeoutMs = 10000) {
    while (true) {
      const size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return line;
      }
      pollfd p{from_child_, POLLIN, 0};
      if (from_child_ < 0 || poll(&p, 1, timeoutMs) <= 0) return "";
      char buffer[65536];
      const ssize_t n = read(from_child_, buffer, sizeof buffer);
      if (n <= 0) return "";
      pending_.append(buffer, n);
    }
  }

  bool WriteLine(const std::string& line) {
    const std::string data = line + "\n";
    size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = write(to_child_, data.data() + done, data.size() - done);
      if (n <= 0) return false;
      done += n;
    }
    return true;
  }

  // Closes the child's input (the test server then ends by itself), asks it
  // to end and waits.
  void Stop() {
    if (to_child_ >= 0) close(to_child_);
    if (from_child_ >= 0) close(from_child_);
    to_child_ = from_child_ = -1;
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

 private:
  pid_t pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  std::string pending_;
};

// One request as the test server received it.
struct RecordedRequest {
  std::string listener;
  std::string raw;  // head and body, byte for byte
  std::string method, target, path;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  // The header lines of the request exactly as sent (request line left out),
  // each ended by CR LF.
  std::string HeaderBlock() const {
    const size_t start = raw.find("\r\n");
    const size_t end = raw.find("\r\n\r\n");
    if (start == std::string::npos || end == std::string::npos) return "";
    return raw.substr(start + 2, end - start);
  }
  // The value of the first header named `name` (any case), or "<none>".
  std::string Header(const std::string& name) const {
    for (const auto& [n, v] : headers) {
      if (strcasecmp(n.c_str(), name.c_str()) == 0) return v;
    }
    return "<none>";
  }
};

// The scriptable test server; see test_server.py for the route fields.
class TestServer {
 public:
  // `listeners`: name and kind, e.g. {"https", TestCertificates::Tls(...)}.
  explicit TestServer(const std::vector<std::pair<std::string, std::string>>& listeners) {
    std::vector<std::string> argv = {"python3", SourceDir() + "/tests/server/test_server.py"};
    for (const auto& [name, kind] : listeners) {
      argv.push_back("--listen");
      argv.push_back(name + "=" + kind);
    }
    if (!process_.Start(argv, true)) return;
    const nlohmann::json ready = nlohmann::json::parse(process_.ReadLine(), nullptr, false);
    if (!ready.is_object() || !ready.contains("ports")) return;
    for (const auto& [name, port] : ready["ports"].items()) ports_[name] = port.get<int>();
    ok_ = true;
  }

  bool ok() const { return ok_; }
  int Port(const std::string& listener) const {
    auto it = ports_.find(listener);
    return it == ports_.end() ? 0 : it->second;
  }
  // "http://127.0.0.1:PORT" or "https://...", by the listener's name.
  std::string Origin(const std::string& listener, const std::string& scheme,
                     const std::string& host = "127.0.0.1") const {
    return scheme + "://" + host + ":" + std::to_string(Port(listener));
  }

  // Adds a route given as a JSON object text; true when the server took it.
  bool Route(const char* routeJson) {
    const nlohmann::json route = nlohmann::json::parse(routeJson, nullptr, false);
    return route.is_object() && Route(route);
  }
  bool Route(const std::string& routeJson) { return Route(routeJson.c_str()); }
  bool Route(nlohmann::json route) {
    route["cmd"] = "route";
    return Command(route).value("ok", false);
  }
  // Forgets the routes and the recorded requests.
  bool Clear() { return Command({{"cmd", "clear"}}).value("ok", false); }

  std::vector<RecordedRequest> Requests() {
    std::vector<RecordedRequest> requests;
    const nlohmann::json reply = Command({{"cmd", "requests"}});
    if (!reply.contains("requests")) return requests;
    for (const auto& r : reply["requests"]) {
      RecordedRequest request;
      request.listener = r.value("listener", "");
      request.raw = HexToBytes(r.value("raw_hex", ""));
      request.method = r.value("method", "");
      request.target = r.value("target", "");
      request.path = r.value("path", "");
      request.body = HexToBytes(r.value("body_hex", ""));
      for (const auto& h : r["headers"]) {
        request.headers.emplace_back(h[0].get<std::string>(), h[1].get<std::string>());
      }
      requests.push_back(std::move(request));
    }
    return requests;
  }

 private:
  nlohmann::json Command(const nlohmann::json& command) {
    if (!ok_ || !process_.WriteLine(command.dump())) return nlohmann::json::object();
    nlohmann::json reply = nlohmann::json::parse(process_.ReadLine(), nullptr, false);
    return reply.is_object() ? reply : nlohmann::json::object();
  }

  ChildProcess process_;
  std::map<std::string, int> ports_;
  bool ok_ = false;
};

// A loopback port that was free a moment ago.
inline int FreeLoopbackPort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(s);
  return port;
}

// Debian's tinyproxy on a loopback port, asking for Basic credentials.
class AuthenticatingProxy {
 public:
  AuthenticatingProxy(const std::string& user, const std::string& password) {
    port_ = FreeLoopbackPort();
    const std::string config = dir_.File("tinyproxy.conf");
    std::ofstream(config) << "Port " << port_ << "\nListen 127.0.0.1\nTimeout 30\n"
                          << "MaxClients 20\nAllow 127.0.0.1\nDisableViaHeader Yes\n"
                          << "LogLevel Critical\nBasicAuth " << user << " " << password
                          << "\n";
    if (port_ == 0 || !process_.Start({"tinyproxy", "-d", "-c", config}, false)) return;
    // Ready once it accepts connections.
    for (int i = 0; i < 100 && !ok_; ++i) {
      const int s = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(port_);
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      ok_ = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      close(s);
      if (!ok_) usleep(20000);
    }
  }
  bool ok() const { return ok_; }
  // "127.0.0.1:PORT"
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  TempDir dir_;
  ChildProcess process_;
  int port_ = 0;
  bool ok_ = false;
};

}  // namespace test_servers

#endif  // QUENBROOK_TESTS_SERVER_LOCAL_SERVERS_H_
