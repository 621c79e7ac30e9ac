// net/base64.h: Base64 for the Basic credentials of an authenticating proxy.
#ifndef QUENBROOK_NET_BASE64_H_
#define QUENBROOK_NET_BASE64_H_

#include <string_view>

#include "base/text.h"

namespace net {

// `bytes` in the standard Base64 alphabet with "=" fill (RFC 4648, section
// 4), as one line. The empty buffer gives the empty text; one byte gives four
// characters ending in "==", two bytes four ending in "=".
base::Text Base64Encode(std::string_view bytes);

// The Proxy-Authorization value for `user` and `password`: "Basic " and the
// Base64 of the bytes of `user`, ":" and `password`, unconverted. An empty
// password still gives the user name and the colon.
base::Text BasicCredentials(std::string_view user, std::string_view password);

}  // namespace net

#endif  // QUENBROOK_NET_BASE64_H_
