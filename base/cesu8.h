// base/cesu8.h: decoding of CESU-8, the form in which the script engine
// hands out its strings (UTF-8 except that a character outside the Basic
// Multilingual Plane is written as two three-byte surrogate halves).
#ifndef QUENBROOK_BASE_CESU8_H_
#define QUENBROOK_BASE_CESU8_H_

#include <string>
#include <string_view>

namespace base {

// The UTF-16 units of CESU-8 `cesu8`. A surrogate pair comes back as the
// pair; a byte sequence that is not CESU-8 gives one U+FFFD. Empty for
// empty input or when the converter cannot be opened.
std::u16string Utf16OfCesu8(std::string_view cesu8);

}  // namespace base

#endif  // QUENBROOK_BASE_CESU8_H_
