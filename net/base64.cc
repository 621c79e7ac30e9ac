#include "net/base64.h"

#include <cstdint>
#include <string>

namespace net {

base::Text Base64Encode(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  base::Text out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<uint8_t>(bytes[i + 2]);
    out += kAlphabet[(group >> 18) & 0x3F];
    out += kAlphabet[(group >> 12) & 0x3F];
    out += left > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    out += left > 2 ? kAlphabet[group & 0x3F] : '=';
  }
  return out;
}

base::Text BasicCredentials(std::string_view user, std::string_view password) {
  std::string credentials(user);
  credentials += ':';
  credentials += password;
  return "Basic " + Base64Encode(credentials);
}

}  // namespace net
