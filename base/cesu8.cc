// base/cesu8.cc: CESU-8 decoding through ICU's "CESU-8" converter. Kept
// apart from the code page 936 tables in gbk.cc; both are the program's only
// ICU users.
#include "base/cesu8.h"

#include <unicode/ucnv.h>

#include <cstdint>

namespace base {
namespace {

// The converter of the calling thread, opened on first use.
class Cesu8Decoder {
 public:
  Cesu8Decoder() {
    UErrorCode err = U_ZERO_ERROR;
    converter_ = ucnv_open("CESU-8", &err);
    if (U_FAILURE(err)) converter_ = nullptr;
  }
  ~Cesu8Decoder() {
    if (converter_) ucnv_close(converter_);
  }
  Cesu8Decoder(const Cesu8Decoder&) = delete;
  Cesu8Decoder& operator=(const Cesu8Decoder&) = delete;

  UConverter* converter() const { return converter_; }

 private:
  UConverter* converter_ = nullptr;
};

}  // namespace

std::u16string Utf16OfCesu8(std::string_view cesu8) {
  thread_local Cesu8Decoder decoder;
  if (cesu8.empty() || decoder.converter() == nullptr ||
      cesu8.size() > INT32_MAX / 2) {
    return std::u16string();
  }
  // Every CESU-8 byte gives at most one UTF-16 unit.
  std::u16string out(cesu8.size(), u'\0');
  UErrorCode err = U_ZERO_ERROR;
  ucnv_resetToUnicode(decoder.converter());
  const int32_t n = ucnv_toUChars(
      decoder.converter(), reinterpret_cast<UChar*>(out.data()),
      static_cast<int32_t>(out.size()), cesu8.data(),
      static_cast<int32_t>(cesu8.size()), &err);
  if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) {
    return std::u16string();
  }
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace base
