// base/hex_for_test.h: bytes as spaced hex pairs ("CB B5"), so a failing
// test shows GBK bytes readably. For tests only.
#ifndef QUENBROOK_BASE_HEX_FOR_TEST_H_
#define QUENBROOK_BASE_HEX_FOR_TEST_H_

#include <string>
#include <string_view>

namespace base {

inline std::string Hex(std::string_view s) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

}  // namespace base

#endif  // QUENBROOK_BASE_HEX_FOR_TEST_H_
