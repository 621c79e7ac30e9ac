// net/web_request.h: the program's one road to the network.
//
// WebRequest performs one synchronous HTTP exchange and returns the response
// body. Around it, it completes and normalises the caller's header text,
// sends the cookie text as the Cookie header, merges the cookies the server
// sets back into it, and can go through an authenticating proxy. A failed
// exchange gives an empty body, empty headers and status 0.
#ifndef QUENBROOK_NET_WEB_REQUEST_H_
#define QUENBROOK_NET_WEB_REQUEST_H_

#include <functional>
#include <optional>
#include <string_view>

#include "base/text.h"

namespace net {

using base::Bytes;
using base::Text;

class HttpRequestObject;

// Every field carries whether the caller gave it (an engaged optional).
// A field not given reads as its zero value unless noted.
struct WebRequestOptions {
  std::optional<int> method;                // 0 GET .. 7 CONNECT; else GET
  std::optional<Text> postText;
  std::optional<Text> cookieText;           // in/out
  std::optional<Text> returnedCookies;      // out
  std::optional<Text> headerText;           // in/out
  std::optional<Text> returnedHeaders;      // out
  std::optional<int> returnedStatus;        // out
  std::optional<bool> noRedirect;
  std::optional<Bytes> postBytes;
  std::optional<Text> proxy;
  std::optional<int> timeoutSeconds;        // -1 keep, <=0 15 s, else seconds
  std::optional<Text> proxyUser;
  std::optional<Text> proxyPassword;
  std::optional<int> credentialsForProxy;   // not given: 1 (the proxy)
  HttpRequestObject* requestObject = nullptr;  // not given: a new one per call
  std::optional<bool> mergeCookies;         // not given: true
  std::optional<bool> completeHeaders;      // not given: true
  std::optional<bool> normaliseNames;       // not given: true
  // Accept a server certificate that fails verification. Not given: false.
  std::optional<bool> acceptAnyCertificate;
};

// Performs one exchange on `url` and returns the response body; the empty
// buffer after a failure. Completes and normalises `headerText` (unless
// switched off) and writes it back, sends `cookieText` as the Cookie header
// (after removing every "Cookie:" prefix from it, written back too), goes
// through `proxy` with `proxyUser`'s credentials, then writes the response
// headers, status and collected cookies into the out fields and, with
// merging on, the merged cookies into `cookieText`. Only given fields are
// written. When no request object can be created nothing is written at all.
// The headers reach the client in this order: Proxy-Authorization, Cookie,
// then the lines of `headerText`.
Bytes WebRequest(const Text& url, WebRequestOptions& options);

// The text before the first ":" of `line`, trimmed; empty without ":".
Text HeaderName(std::string_view line);

// The text after the first ":" of `line`, trimmed; empty without ":". Later
// colons belong to the value.
Text HeaderValue(std::string_view line);

// Hands the lines of `headerText` to `object` as SetRequestHeader calls, in
// order. A text without CR LF is one header, whatever it holds (an empty
// text gives an empty name and value). Otherwise empty lines are passed over
// and so is a line exactly "Connection" / "keep-alive" by name and value
// (case-sensitive); a line without ":" goes out with an empty name and value.
void ApplyRequestHeaders(HttpRequestObject& object, std::string_view headerText);

// How the actions reach the network; tests hand in their own.
using RequestFunction = std::function<Bytes(const Text& url, WebRequestOptions& options)>;

}  // namespace net

#endif  // QUENBROOK_NET_WEB_REQUEST_H_
