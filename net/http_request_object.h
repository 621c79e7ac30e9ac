// net/http_request_object.h: the HTTP client beneath WebRequest.
//
// One HttpRequestObject makes one exchange at a time, synchronously, over
// HTTP/1.1, so response header names keep the server's case. It sends only
// the headers it is handed, plus Host and what HTTP/1.1 framing needs (no
// Accept of its own). Server certificates are verified against the system
// trust store and the program's own CA file. Open connections, TLS sessions
// and host-name answers are shared by all objects of the process, so
// repeated requests to one host skip the TCP and TLS handshakes; cookies are
// never kept by the client.
//
// Redirects are followed to http and https only, at most 10 in a row; one
// from https down to http, or an eleventh, fails the exchange. The Cookie,
// Host and Authorization headers and server credentials go to the origin
// (scheme, host and port) of the first URL only. A 303, and a 301 or 302
// after a POST, go on as a GET without body. A body over 64 MiB fails the
// exchange. After a failed exchange the body, the headers and the status are
// all empty.
#ifndef QUENBROOK_NET_HTTP_REQUEST_OBJECT_H_
#define QUENBROOK_NET_HTTP_REQUEST_OBJECT_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/text.h"

namespace net {

// Indexes for HttpRequestObject::SetOption.
inline constexpr int kOptionSslErrorIgnoreFlags = 4;
inline constexpr int kOptionEnableRedirects = 6;

// Certificate errors for kOptionSslErrorIgnoreFlags; ignoring any of the
// first three turns off the check of the certificate chain as a whole.
inline constexpr int kIgnoreUnknownCa = 0x0100;
inline constexpr int kIgnoreWrongUsage = 0x0200;
inline constexpr int kIgnoreCertDateInvalid = 0x2000;
inline constexpr int kIgnoreCertNameInvalid = 0x1000;

// Targets for HttpRequestObject::SetCredentials.
inline constexpr int kCredentialsForServer = 0;
inline constexpr int kCredentialsForProxy = 1;

// Exchanges end with a failure once the body grows beyond this.
inline constexpr size_t kMaxResponseBodyBytes = 64u << 20;

class HttpRequestObject {
 public:
  // A new object, or null when the client cannot make one.
  static std::unique_ptr<HttpRequestObject> Create();

  HttpRequestObject(const HttpRequestObject&) = delete;
  HttpRequestObject& operator=(const HttpRequestObject&) = delete;
  ~HttpRequestObject();

  // Milliseconds that each phase may take; 0 sets no limit of its own.
  // Resolving the host, the TCP connection and the TLS handshake together
  // end after `connectMs` (or `resolveMs` when larger); a server that sends
  // nothing for `receiveMs` is cut off; the whole exchange, redirects
  // included, ends after the sum of all four. Until called: no resolve
  // limit, 60 s connect, 30 s send, 30 s receive. Kept across Open.
  void SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs);

  // `setting` 2 sends the exchanges through the proxy server `proxy`
  // (host:port); any other setting, or an empty `proxy`, goes direct.
  // Proxies named in the environment are never used. Kept across Open.
  void SetProxy(int setting, std::string_view proxy);

  // Prepares an exchange of `method` on `url` and forgets the headers,
  // credentials, options and response of the one before. Only synchronous
  // exchanges exist: `async` true gives false and nothing is prepared.
  bool Open(std::string_view method, std::string_view url, bool async = false);

  // kOptionEnableRedirects: 0 keeps a redirect response as the result,
  // anything else follows redirects (the default).
  // kOptionSslErrorIgnoreFlags: the certificate errors to ignore (the kIgnore
  // flags above); 0, the default, ignores none. Other indexes are ignored.
  void SetOption(int index, int value);

  // Answers challenges from `target` (kCredentialsForServer or
  // kCredentialsForProxy) with `user` and `password`; other targets are
  // ignored. Server credentials never go to another host.
  void SetCredentials(std::string_view user, std::string_view password,
                      int target);

  // Adds a header to the prepared exchange; headers go out in the order
  // given. An empty `name`, or one holding CR or LF, is dropped; CR and LF
  // are removed from `value`, so a value never adds a header line. An empty
  // value goes out as an empty value. Proxy-Authorization goes to the proxy
  // only, and nowhere without one.
  void SetRequestHeader(std::string_view name, std::string_view value);

  // Performs the prepared exchange with `body` (none when empty) and waits
  // for its end. False when it failed: no Open, a malformed or non-http(s)
  // URL, a refused or timed-out connection, a certificate that fails
  // verification, a broken or oversized response.
  bool Send(std::string_view body = {});

  // The body of the final response; empty after a failure.
  const base::Bytes& ResponseBody() const;
  // The final response's header lines (no status line), each ended by CR LF,
  // byte for byte as the server sent them; empty after a failure.
  const base::Text& GetAllResponseHeaders() const;
  // The final response's status code; 0 after a failure.
  int Status() const;

 // The client's own state, opaque to users of the object.
  struct State;

 private:
  explicit HttpRequestObject(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// For tests and benchmarks only; the program never calls these.
//
// Trusts the authority in the PEM file `path` besides the usual ones, for
// every new connection from now on; empty: none besides the usual ones.
void SetExtraCaFileForTesting(const std::string& path);
// false: objects created from now on open a new connection and TLS session
// for every exchange and share nothing. Default true.
void SetConnectionSharingForTesting(bool shared);
// true: HttpRequestObject::Create gives null from now on. Default false.
void SetRequestObjectCreationFailsForTesting(bool fails);

}  // namespace net

#endif  // QUENBROOK_NET_HTTP_REQUEST_OBJECT_H_
