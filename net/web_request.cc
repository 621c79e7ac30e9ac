// The web request routine and the HTTP client it drives, over libcurl. This
// is the only file that talks to libcurl and OpenSSL.
#include "net/web_request.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cctype>
#include <climits>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "net/base64.h"
#include "net/cookies.h"
#include "net/http_request_object.h"
#include "net/request_headers.h"

#ifndef QUENBROOK_CA_FILE
#define QUENBROOK_CA_FILE ""
#endif

namespace net {

namespace {

// ---------------------------------------------------------------------------
// Process-wide client state: libcurl's global set-up, the share handle that
// holds open connections, TLS sessions and host-name answers, and the trust
// store, read once and handed to every TLS handshake.

struct ClientSettings {
  std::mutex mutex;
  std::string extraCaFile;
  bool shared = true;
  bool creationFails = false;
};

ClientSettings& Settings() {
  static ClientSettings* settings = new ClientSettings;
  return *settings;
}

std::array<std::mutex, CURL_LOCK_DATA_LAST>& ShareLocks() {
  static auto* locks = new std::array<std::mutex, CURL_LOCK_DATA_LAST>;
  return *locks;
}

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
  ShareLocks()[data].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void*) {
  ShareLocks()[data].unlock();
}

// Set up once, never released: connections stay open for the next request
// until the process ends. Null when libcurl could not be set up.
CURLSH* SharedHandle() {
  static CURLSH* share = [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return (CURLSH*)nullptr;
    CURLSH* s = curl_share_init();
    if (s == nullptr) return s;
    curl_share_setopt(s, CURLSHOPT_LOCKFUNC, LockShare);
    curl_share_setopt(s, CURLSHOPT_UNLOCKFUNC, UnlockShare);
    curl_share_setopt(s, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    curl_share_setopt(s, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl_share_setopt(s, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    return s;
  }();
  return share;
}

struct TrustStore {
  std::mutex mutex;
  X509_STORE* store = nullptr;
  std::string extraCaFile;  // the one `store` was built with
};

// The system trust store plus the program's CA file and the extra one of
// the tests. Reading the system store costs tens of milliseconds of CPU, so
// it is read once, not per connection. Null when it cannot be built.
X509_STORE* SharedTrustStore() {
  static TrustStore* trust = new TrustStore;
  std::string extra;
  {
    std::lock_guard<std::mutex> lock(Settings().mutex);
    extra = Settings().extraCaFile;
  }
  std::lock_guard<std::mutex> lock(trust->mutex);
  if (trust->store != nullptr && trust->extraCaFile == extra) {
    return trust->store;
  }
  X509_STORE* store = X509_STORE_new();
  if (store == nullptr) return nullptr;
  X509_STORE_set_default_paths(store);
  for (const std::string& file : {std::string(QUENBROOK_CA_FILE), extra}) {
    // A missing file leaves the store as it was.
    if (!file.empty()) X509_STORE_load_file(store, file.c_str());
  }
  if (trust->store != nullptr) X509_STORE_free(trust->store);
  trust->store = store;
  trust->extraCaFile = extra;
  return store;
}

CURLcode UseSharedTrustStore(CURL*, void* sslContext, void*) {
  X509_STORE* store = SharedTrustStore();
  if (store == nullptr) return CURLE_SSL_CACERT_BADFILE;
  SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(sslContext), store);
  return CURLE_OK;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// A curl_slist that frees itself.
class HeaderList {
 public:
  HeaderList() = default;
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(const HeaderList&) = delete;
  ~HeaderList() { curl_slist_free_all(list_); }
  bool Append(const std::string& line) {
    curl_slist* grown = curl_slist_append(list_, line.c_str());
    if (grown == nullptr) return false;
    list_ = grown;
    return true;
  }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

long ClampToLong(int64_t value) {
  return static_cast<long>(std::clamp<int64_t>(value, 0, LONG_MAX));
}

}  // namespace

// ---------------------------------------------------------------------------
// HttpRequestObject

struct HttpRequestObject::State {
  CURL* easy = nullptr;

  // Kept across Open.
  int resolveMs = 0;
  int connectMs = 60000;
  int sendMs = 30000;
  int receiveMs = 30000;
  std::string proxy;

  // Set by Open and the calls after it.
  bool opened = false;
  std::string method;
  std::string url;
  bool followRedirects = true;
  int ignoredCertErrors = 0;
  std::string serverUser, serverPassword;
  std::string proxyUser, proxyPassword;
  bool hasServerCredentials = false;
  bool hasProxyCredentials = false;
  std::vector<std::pair<std::string, std::string>> headers;

  // The response.
  base::Bytes body;
  base::Text responseHeaders;
  int status = 0;
  bool inHeaderBlock = false;
  bool bodyTooLarge = false;

  bool shared = false;  // `easy` uses the process's share handle

  ~State();
  void ClearResponse() {
    body.clear();
    responseHeaders.clear();
    status = 0;
    inHeaderBlock = false;
    bodyTooLarge = false;
  }
};

namespace {

size_t CollectBody(char* data, size_t size, size_t count, void* userData) {
  auto* state = static_cast<HttpRequestObject::State*>(userData);
  const size_t length = size * count;
  if (state->body.size() + length > kMaxResponseBodyBytes) {
    state->bodyTooLarge = true;
    return 0;  // ends the exchange with an error
  }
  state->body.append(data, length);
  return length;
}

// Keeps the header lines of the last response only: every status line
// (a redirect's, an interim 100's, a proxy's CONNECT answer) starts afresh,
// and the blank line ends the block, so trailers are left out.
size_t CollectHeaderLine(char* data, size_t size, size_t count, void* userData) {
  auto* state = static_cast<HttpRequestObject::State*>(userData);
  const size_t length = size * count;
  const std::string_view line(data, length);
  if (line.substr(0, 5) == "HTTP/") {
    state->responseHeaders.clear();
    state->body.clear();
    state->inHeaderBlock = true;
  } else if (line == "\r\n" || line == "\n") {
    state->inHeaderBlock = false;
  } else if (state->inHeaderBlock) {
    state->responseHeaders.append(line);
  }
  return length;
}

}  // namespace

HttpRequestObject::HttpRequestObject(std::unique_ptr<State> state)
    : state_(std::move(state)) {}

HttpRequestObject::~HttpRequestObject() = default;

namespace {

// Easy handles of released objects, kept for the next object. A new libcurl
// handle costs tens of microseconds, close to a whole request on a kept
// loopback connection (its first transfer also sets up a transfer loop of its
// own); a recycled one is reset, so nothing of the last exchange carries over
// but the shared connections.
// Only handles on the share handle are kept, and never more than a few.
class IdleHandles {
 public:
  CURL* Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (handles_.empty()) return nullptr;
    CURL* easy = handles_.back();
    handles_.pop_back();
    return easy;
  }
  void Give(CURL* easy) {
    curl_easy_reset(easy);
    std::lock_guard<std::mutex> lock(mutex_);
    if (handles_.size() < kMaxIdle) {
      handles_.push_back(easy);
      return;
    }
    curl_easy_cleanup(easy);
  }

 private:
  static constexpr size_t kMaxIdle = 4;
  std::mutex mutex_;
  std::vector<CURL*> handles_;
};

IdleHandles& Idle() {
  static IdleHandles* idle = new IdleHandles;
  return *idle;
}

}  // namespace

HttpRequestObject::State::~State() {
  if (easy == nullptr) return;
  if (shared) {
    Idle().Give(easy);
  } else {
    curl_easy_cleanup(easy);
  }
}

std::unique_ptr<HttpRequestObject> HttpRequestObject::Create() {
  bool shared;
  {
    std::lock_guard<std::mutex> lock(Settings().mutex);
    if (Settings().creationFails) return nullptr;
    shared = Settings().shared;
  }
  CURLSH* share = SharedHandle();
  if (share == nullptr) return nullptr;
  auto state = std::make_unique<State>();
  if (shared) {
    state->easy = Idle().Take();
    state->shared = state->easy != nullptr;
  }
  if (state->easy == nullptr) {
    state->easy = curl_easy_init();
    if (state->easy == nullptr) return nullptr;
    if (shared) {
      if (curl_easy_setopt(state->easy, CURLOPT_SHARE, share) != CURLE_OK) return nullptr;
      state->shared = true;
    }
  }
  return std::unique_ptr<HttpRequestObject>(new HttpRequestObject(std::move(state)));
}

void HttpRequestObject::SetTimeouts(int resolveMs, int connectMs, int sendMs,
                                    int receiveMs) {
  state_->resolveMs = std::max(resolveMs, 0);
  state_->connectMs = std::max(connectMs, 0);
  state_->sendMs = std::max(sendMs, 0);
  state_->receiveMs = std::max(receiveMs, 0);
}

void HttpRequestObject::SetProxy(int setting, std::string_view proxy) {
  state_->proxy = setting == 2 ? std::string(proxy) : std::string();
}

bool HttpRequestObject::Open(std::string_view method, std::string_view url,
                             bool async) {
  State& s = *state_;
  s.opened = false;
  s.followRedirects = true;
  s.ignoredCertErrors = 0;
  s.serverUser.clear();
  s.serverPassword.clear();
  s.proxyUser.clear();
  s.proxyPassword.clear();
  s.hasServerCredentials = false;
  s.hasProxyCredentials = false;
  s.headers.clear();
  s.ClearResponse();
  if (async) return false;
  s.method = method;
  s.url = url;
  s.opened = true;
  return true;
}

void HttpRequestObject::SetOption(int index, int value) {
  if (index == kOptionEnableRedirects) state_->followRedirects = value != 0;
  if (index == kOptionSslErrorIgnoreFlags) state_->ignoredCertErrors = value;
}

void HttpRequestObject::SetCredentials(std::string_view user,
                                       std::string_view password, int target) {
  if (target == kCredentialsForServer) {
    state_->serverUser = user;
    state_->serverPassword = password;
    state_->hasServerCredentials = true;
  } else if (target == kCredentialsForProxy) {
    state_->proxyUser = user;
    state_->proxyPassword = password;
    state_->hasProxyCredentials = true;
  }
}

void HttpRequestObject::SetRequestHeader(std::string_view name,
                                         std::string_view value) {
  if (name.empty() || name.find_first_of("\r\n") != std::string_view::npos) {
    return;
  }
  std::string cleanValue;
  for (char c : value) {
    if (c != '\r' && c != '\n') cleanValue += c;
  }
  state_->headers.emplace_back(name, std::move(cleanValue));
}

namespace {

// Scheme, host and port of a URL, for telling origins apart. Empty when the
// URL does not parse.
std::string OriginOf(const std::string& url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return "";
  std::string origin;
  char* scheme = nullptr;
  char* host = nullptr;
  char* port = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
    origin = std::string(scheme) + "://" + host + ":" + port;
    std::transform(origin.begin(), origin.end(), origin.begin(),
                   [](unsigned char c) { return std::tolower(c); });
  }
  curl_free(scheme);
  curl_free(host);
  curl_free(port);
  curl_url_cleanup(parsed);
  return origin;
}

bool IsRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 ||
         status == 308;
}

constexpr int kMaxRedirects = 10;

}  // namespace

// One request of an exchange: the first, or one hop of a redirect. Cookie,
// Host and server credentials go to the origin of the first URL only.
static CURLcode PerformRequest(HttpRequestObject::State& s, const std::string& url,
                               const std::string& method, std::string_view body,
                               bool sameOrigin, long timeoutMs) {
  CURL* easy = s.easy;
  curl_easy_reset(easy);  // keeps the share and the connections

  // The header lists. A header line "Name;" is libcurl's way to send a name
  // with an empty value ("Name:" would remove the header instead), and a
  // name alone with a colon holds back libcurl's own header of that name.
  HeaderList serverHeaders;
  HeaderList proxyHeaders;
  bool gaveAccept = false, gaveContentType = false, gaveExpect = false;
  bool listsOk = true;
  // libcurl moves a given Host header to the front. A bare "Host:" first in
  // the list makes it send no Host of its own, so the given one goes out in
  // its place.
  const bool gaveHost =
      sameOrigin && std::any_of(s.headers.begin(), s.headers.end(), [](const auto& h) {
        return EqualsIgnoringCase(h.first, "Host") && !h.second.empty();
      });
  if (gaveHost) listsOk &= serverHeaders.Append("Host:");
  for (const auto& [name, value] : s.headers) {
    const bool blankValue = value.find_first_not_of(" \t") == std::string::npos;
    const std::string line = blankValue ? name + ";" : name + ": " + value;
    if (EqualsIgnoringCase(name, "Proxy-Authorization")) {
      listsOk &= proxyHeaders.Append(line);
      continue;
    }
    if (!sameOrigin && (EqualsIgnoringCase(name, "Cookie") ||
                        EqualsIgnoringCase(name, "Host") ||
                        EqualsIgnoringCase(name, "Authorization"))) {
      continue;
    }
    gaveAccept |= EqualsIgnoringCase(name, "Accept");
    gaveContentType |= EqualsIgnoringCase(name, "Content-Type");
    gaveExpect |= EqualsIgnoringCase(name, "Expect");
    listsOk &= serverHeaders.Append(line);
  }
  if (!gaveAccept) listsOk &= serverHeaders.Append("Accept:");
  if (!gaveContentType) listsOk &= serverHeaders.Append("Content-Type:");
  if (!gaveExpect) listsOk &= serverHeaders.Append("Expect:");
  if (!listsOk) return CURLE_OUT_OF_MEMORY;

  CURLcode rc = CURLE_OK;
  auto set = [&](CURLoption option, auto value) {
    if (rc == CURLE_OK) rc = curl_easy_setopt(easy, option, value);
  };
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_FOLLOWLOCATION, 0L);  // followed in Send, hop by hop
  set(CURLOPT_WRITEFUNCTION, CollectBody);
  set(CURLOPT_WRITEDATA, &s);
  set(CURLOPT_HEADERFUNCTION, CollectHeaderLine);
  set(CURLOPT_HEADERDATA, &s);

  // Timeouts.
  set(CURLOPT_CONNECTTIMEOUT_MS, ClampToLong(std::max(s.resolveMs, s.connectMs)));
  if (s.receiveMs > 0) {
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, ClampToLong((int64_t{s.receiveMs} + 999) / 1000));
  }
  set(CURLOPT_TIMEOUT_MS, timeoutMs);

  // The proxy; an empty name also keeps libcurl from taking one from the
  // environment.
  set(CURLOPT_PROXY, s.proxy.c_str());
  if (s.hasProxyCredentials) {
    set(CURLOPT_PROXYUSERNAME, s.proxyUser.c_str());
    set(CURLOPT_PROXYPASSWORD, s.proxyPassword.c_str());
    set(CURLOPT_PROXYAUTH, CURLAUTH_ANY);
  }
  if (s.hasServerCredentials && sameOrigin) {
    set(CURLOPT_USERNAME, s.serverUser.c_str());
    set(CURLOPT_PASSWORD, s.serverPassword.c_str());
    set(CURLOPT_HTTPAUTH, CURLAUTH_ANY);
  }
  set(CURLOPT_HTTPHEADER, serverHeaders.get());
  set(CURLOPT_PROXYHEADER, proxyHeaders.get());
  set(CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);

  // Certificates.
  const bool checkChain = (s.ignoredCertErrors & (kIgnoreUnknownCa | kIgnoreWrongUsage |
                                                  kIgnoreCertDateInvalid)) == 0;
  const bool checkName = (s.ignoredCertErrors & kIgnoreCertNameInvalid) == 0;
  set(CURLOPT_SSL_VERIFYPEER, checkChain ? 1L : 0L);
  set(CURLOPT_SSL_VERIFYHOST, checkName ? 2L : 0L);
  set(CURLOPT_CAINFO, static_cast<const char*>(nullptr));
  set(CURLOPT_CAPATH, static_cast<const char*>(nullptr));
  set(CURLOPT_SSL_CTX_FUNCTION, UseSharedTrustStore);
  // libcurl's own store cache would outlive a change of the trusted files.
  set(CURLOPT_CA_CACHE_TIMEOUT, 0L);

  // The method and the body.
  if (method == "HEAD") {
    set(CURLOPT_NOBODY, 1L);
  } else if (method == "POST") {
    set(CURLOPT_POST, 1L);
  } else if (method != "GET") {
    set(CURLOPT_CUSTOMREQUEST, method.c_str());
  } else if (!body.empty()) {
    set(CURLOPT_CUSTOMREQUEST, "GET");
  }
  if (!body.empty() || method == "POST") {
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    set(CURLOPT_COPYPOSTFIELDS, body.empty() ? "" : body.data());
  }

  if (rc == CURLE_OK) rc = curl_easy_perform(easy);
  // The lists die with this call; the handle must not point at them.
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
  curl_easy_setopt(easy, CURLOPT_PROXYHEADER, static_cast<curl_slist*>(nullptr));
  return rc;
}

bool HttpRequestObject::Send(std::string_view body) {
  State& s = *state_;
  s.ClearResponse();
  if (!s.opened) return false;

  const int64_t totalMs = int64_t{s.resolveMs} + s.connectMs + s.sendMs + s.receiveMs;
  const auto start = std::chrono::steady_clock::now();
  const std::string firstOrigin = OriginOf(s.url);
  std::string url = s.url;
  std::string method = s.method;
  bool ok = false;
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    long timeoutMs = 0;  // none
    if (totalMs > 0) {
      const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start).count();
      if (spent >= totalMs) break;
      timeoutMs = ClampToLong(totalMs - spent);
    }
    s.ClearResponse();
    const bool sameOrigin = !firstOrigin.empty() && OriginOf(url) == firstOrigin;
    if (PerformRequest(s, url, method, body, sameOrigin, timeoutMs) != CURLE_OK ||
        s.bodyTooLarge) {
      break;
    }
    long status = 0;
    curl_easy_getinfo(s.easy, CURLINFO_RESPONSE_CODE, &status);
    s.status = static_cast<int>(status);
    char* location = nullptr;
    curl_easy_getinfo(s.easy, CURLINFO_REDIRECT_URL, &location);
    if (!s.followRedirects || !IsRedirect(status) || location == nullptr) {
      ok = true;
      break;
    }
    const std::string next = location;
    // Onward to http or https only, and never from https down to http.
    const bool fromHttps = StartsWithIgnoringCase(url, "https:");
    if (!StartsWithIgnoringCase(next, "https:") &&
        (fromHttps || !StartsWithIgnoringCase(next, "http:"))) {
      break;
    }
    // As browsers do: 303 turns into GET, and so do 301 and 302 after a POST.
    if ((status == 303 && method != "HEAD") ||
        ((status == 301 || status == 302) && method == "POST")) {
      method = "GET";
      body = {};
    }
    url = next;
  }
  if (!ok) s.ClearResponse();
  return ok;
}

const base::Bytes& HttpRequestObject::ResponseBody() const { return state_->body; }

const base::Text& HttpRequestObject::GetAllResponseHeaders() const {
  return state_->responseHeaders;
}

int HttpRequestObject::Status() const { return state_->status; }

void SetExtraCaFileForTesting(const std::string& path) {
  std::lock_guard<std::mutex> lock(Settings().mutex);
  Settings().extraCaFile = path;
}

void SetConnectionSharingForTesting(bool shared) {
  std::lock_guard<std::mutex> lock(Settings().mutex);
  Settings().shared = shared;
}

void SetRequestObjectCreationFailsForTesting(bool fails) {
  std::lock_guard<std::mutex> lock(Settings().mutex);
  Settings().creationFails = fails;
}

// ---------------------------------------------------------------------------
// WebRequest

namespace {

constexpr const char* kMethodNames[] = {"GET",     "POST",   "HEAD",  "PUT",
                                        "OPTIONS", "DELETE", "TRACE", "CONNECT"};

int TimeoutMilliseconds(int timeoutSeconds) {
  if (timeoutSeconds <= 0) return 15000;
  return static_cast<int>(std::min<int64_t>(int64_t{timeoutSeconds} * 1000, INT_MAX));
}

// Writes `value` into the caller's field when the caller gave it.
template <typename T, typename V>
void WriteBack(std::optional<T>& field, V&& value) {
  if (field.has_value()) *field = std::forward<V>(value);
}

}  // namespace

Text HeaderName(std::string_view line) {
  const int colon = base::FindText(line, ":");
  if (colon == -1) return Text();
  return base::TrimBoth(base::TextLeft(line, colon - 1));
}

Text HeaderValue(std::string_view line) {
  const int colon = base::FindText(line, ":");
  if (colon == -1) return Text();
  return base::TrimBoth(line.substr(colon));
}

void ApplyRequestHeaders(HttpRequestObject& object, std::string_view headerText) {
  if (base::FindText(headerText, "\r\n") == -1) {
    object.SetRequestHeader(HeaderName(headerText), HeaderValue(headerText));
    return;
  }
  for (const Text& line : base::SplitText(headerText, "\r\n")) {
    if (line.empty()) continue;
    const Text name = HeaderName(line);
    const Text value = HeaderValue(line);
    if (name == "Connection" && value == "keep-alive") continue;
    object.SetRequestHeader(name, value);
  }
}

Bytes WebRequest(const Text& url, WebRequestOptions& options) {
  const bool mergeCookies = options.mergeCookies.value_or(true);
  const bool completeHeaders = options.completeHeaders.value_or(true);
  const bool normaliseNames = options.normaliseNames.value_or(true);
  const int credentialsForProxy = options.credentialsForProxy.value_or(1);

  int method = options.method.value_or(0);
  if (method < 0 || method > 7) method = 0;

  std::unique_ptr<HttpRequestObject> created;
  HttpRequestObject* object = options.requestObject;
  if (object == nullptr) {
    created = HttpRequestObject::Create();
    if (created == nullptr) return Bytes();
    object = created.get();
  }

  const int timeoutSeconds = options.timeoutSeconds.value_or(0);
  if (timeoutSeconds != -1) {
    const int t = TimeoutMilliseconds(timeoutSeconds);
    object->SetTimeouts(t, t, t, t);
  }
  const Text proxy = options.proxy.value_or(Text());
  if (!proxy.empty()) object->SetProxy(2, proxy);
  object->Open(kMethodNames[method], url, false);
  if (options.noRedirect.value_or(false)) {
    object->SetOption(kOptionEnableRedirects, 0);
  }
  if (options.acceptAnyCertificate.value_or(false)) {
    object->SetOption(kOptionSslErrorIgnoreFlags,
                      kIgnoreUnknownCa | kIgnoreWrongUsage | kIgnoreCertNameInvalid |
                          kIgnoreCertDateInvalid);
  }

  Text headerText = options.headerText.value_or(Text());
  if (completeHeaders) {
    headerText = CompleteDefaultHeaders(headerText, url, method);
    WriteBack(options.headerText, headerText);
  }
  if (normaliseNames) {
    headerText = NormaliseHeaderNames(headerText);
    WriteBack(options.headerText, headerText);
  }

  const Text proxyUser = options.proxyUser.value_or(Text());
  if (!proxy.empty() && !proxyUser.empty()) {
    const Text proxyPassword = options.proxyPassword.value_or(Text());
    object->SetCredentials(proxyUser, proxyPassword, credentialsForProxy);
    if (credentialsForProxy == 1) {
      object->SetRequestHeader("Proxy-Authorization",
                               BasicCredentials(proxyUser, proxyPassword));
    }
  }

  if (options.cookieText.has_value()) {
    Text& cookieText = *options.cookieText;
    if (!cookieText.empty() && base::FindText(cookieText, "Cookie:", 0, true) != -1) {
      cookieText = base::ReplaceText(cookieText, "Cookie:", "", false);
    }
    object->SetRequestHeader("Cookie", cookieText);
  }

  ApplyRequestHeaders(*object, headerText);

  const Bytes postBytes = options.postBytes.value_or(Bytes());
  const Text postText = options.postText.value_or(Text());
  object->Send(!postBytes.empty() ? postBytes : postText);

  Bytes body = object->ResponseBody();
  const Text responseHeaders = object->GetAllResponseHeaders();
  WriteBack(options.returnedHeaders, responseHeaders);
  WriteBack(options.returnedStatus, object->Status());
  Text returnedCookies = CollectSetCookies(responseHeaders);
  if (mergeCookies && options.cookieText.has_value()) {
    returnedCookies = MergeCookies(*options.cookieText, returnedCookies);
  }
  WriteBack(options.returnedCookies, returnedCookies);
  return body;
}

}  // namespace net
