// base/gbk.cc: conversion between UTF-8, UTF-16 and code page 936 through
// ICU. The only file of the program that talks to ICU.
//
// The encoder reproduces the Windows code page 936 conversion: best-fit
// (fallback) mappings on, one "?" for every UTF-16 unit the code page cannot
// hold (ICU would silently drop default-ignorable characters such as U+FEFF),
// and the half-width forms U+FFE9..U+FFEC and U+FFEE written as "?" (ICU maps
// them to control bytes).
#include "base/gbk.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <string>

namespace base {
namespace {

constexpr char kCodePage[] = "windows-936";

// Writes one "?" for every UTF-16 unit that has no mapping.
void WriteQuestionMarks(const void* /*context*/,
                        UConverterFromUnicodeArgs* args,
                        const UChar* /*codeUnits*/, int32_t length,
                        UChar32 /*codePoint*/, UConverterCallbackReason reason,
                        UErrorCode* err) {
  if (reason != UCNV_UNASSIGNED && reason != UCNV_ILLEGAL &&
      reason != UCNV_IRREGULAR) {
    return;  // reset, close, clone: nothing to write
  }
  static constexpr char kMarks[] = "????";
  *err = U_ZERO_ERROR;
  while (length > 0 && U_SUCCESS(*err)) {
    const int32_t n = length < 4 ? length : 4;
    ucnv_cbFromUWriteBytes(args, kMarks, n, 0, err);
    length -= n;
  }
}

// The converters of the calling thread, opened on first use.
class Converters {
 public:
  Converters() {
    UErrorCode err = U_ZERO_ERROR;
    encoder_ = ucnv_open(kCodePage, &err);
    if (U_FAILURE(err)) {
      encoder_ = nullptr;
    } else {
      ucnv_setFallback(encoder_, true);
      ucnv_setFromUCallBack(encoder_, WriteQuestionMarks, nullptr, nullptr,
                            nullptr, &err);
      if (U_FAILURE(err)) {
        ucnv_close(encoder_);
        encoder_ = nullptr;
      }
    }
    err = U_ZERO_ERROR;
    decoder_ = ucnv_open(kCodePage, &err);
    if (U_FAILURE(err)) decoder_ = nullptr;
  }
  ~Converters() {
    if (encoder_) ucnv_close(encoder_);
    if (decoder_) ucnv_close(decoder_);
  }
  Converters(const Converters&) = delete;
  Converters& operator=(const Converters&) = delete;

  UConverter* encoder() const { return encoder_; }
  UConverter* decoder() const { return decoder_; }
  // Scratch buffer reused between calls of this thread.
  std::u16string& scratch() { return scratch_; }

 private:
  UConverter* encoder_ = nullptr;
  UConverter* decoder_ = nullptr;
  std::u16string scratch_;
};

Converters& ThreadConverters() {
  thread_local Converters converters;
  return converters;
}

std::string_view UpToZero(std::string_view s) {
  const size_t zero = s.find('\0');
  return zero == std::string_view::npos ? s : s.substr(0, zero);
}

std::u16string_view UpToZero(std::u16string_view s) {
  const size_t zero = s.find(u'\0');
  return zero == std::u16string_view::npos ? s : s.substr(0, zero);
}

// Encodes `units` (no zero unit inside) as GBK; the empty text on failure.
// `units` may be changed in place (the half-width forms become "?").
Text EncodeUnits(Converters& cv, char16_t* units, size_t count) {
  if (count == 0 || cv.encoder() == nullptr || count > INT32_MAX / 2) {
    return Text();
  }
  for (size_t i = 0; i < count; ++i) {
    const char16_t u = units[i];
    if ((u >= 0xFFE9 && u <= 0xFFEC) || u == 0xFFEE) units[i] = u'?';
  }
  // Code page 936 takes at most two bytes per UTF-16 unit.
  Text out(count * 2, '\0');
  UErrorCode err = U_ZERO_ERROR;
  int32_t n = ucnv_fromUChars(cv.encoder(), out.data(),
                              static_cast<int32_t>(out.size()),
                              reinterpret_cast<const UChar*>(units),
                              static_cast<int32_t>(count), &err);
  if (err == U_BUFFER_OVERFLOW_ERROR && n > 0) {
    out.assign(static_cast<size_t>(n), '\0');
    err = U_ZERO_ERROR;
    n = ucnv_fromUChars(cv.encoder(), out.data(),
                        static_cast<int32_t>(out.size()),
                        reinterpret_cast<const UChar*>(units),
                        static_cast<int32_t>(count), &err);
  }
  if (U_FAILURE(err) || n <= 0) return Text();
  out.resize(static_cast<size_t>(n));
  out.resize(UpToZero(out).size());
  return out;
}

// Decodes GBK `text` (no zero byte inside) to UTF-16; empty on failure.
std::u16string DecodeText(Converters& cv, std::string_view text) {
  if (text.empty() || cv.decoder() == nullptr || text.size() > INT32_MAX / 2) {
    return std::u16string();
  }
  // Every GBK byte gives at most one UTF-16 unit.
  std::u16string out(text.size(), u'\0');
  UErrorCode err = U_ZERO_ERROR;
  const int32_t n = ucnv_toUChars(
      cv.decoder(), reinterpret_cast<UChar*>(out.data()),
      static_cast<int32_t>(out.size()), text.data(),
      static_cast<int32_t>(text.size()), &err);
  if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) {
    return std::u16string();
  }
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace

Text Utf8ToGbk(std::string_view body) {
  body = UpToZero(body);
  if (body.empty() || body.size() > INT32_MAX / 2) return Text();
  Converters& cv = ThreadConverters();
  std::u16string& units = cv.scratch();
  // A UTF-8 sequence of k bytes gives at most k UTF-16 units.
  units.resize(body.size());
  int32_t length = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()),
                       static_cast<int32_t>(units.size()), &length,
                       body.data(), static_cast<int32_t>(body.size()), 0xFFFD,
                       nullptr, &err);
  if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) return Text();
  if (length <= 0 || static_cast<size_t>(length) > units.size()) return Text();
  return EncodeUnits(cv, units.data(), static_cast<size_t>(length));
}

Text TextOfUtf8(std::string_view utf8) { return Utf8ToGbk(utf8); }

Text TextOfUtf8(std::u8string_view utf8) {
  return Utf8ToGbk(std::string_view(reinterpret_cast<const char*>(utf8.data()),
                                    utf8.size()));
}

std::string Utf8OfText(std::string_view text) {
  text = UpToZero(text);
  const std::u16string units = DecodeText(ThreadConverters(), text);
  if (units.empty()) return std::string();
  // A UTF-16 unit takes at most three UTF-8 bytes.
  std::string out(units.size() * 3, '\0');
  int32_t length = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                     reinterpret_cast<const UChar*>(units.data()),
                     static_cast<int32_t>(units.size()), 0xFFFD, nullptr, &err);
  if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) {
    return std::string();
  }
  out.resize(static_cast<size_t>(length));
  return out;
}

std::u16string Utf16OfText(std::string_view text) {
  return DecodeText(ThreadConverters(), UpToZero(text));
}

Text TextOfUtf16(std::u16string_view utf16) {
  utf16 = UpToZero(utf16);
  if (utf16.empty()) return Text();
  Converters& cv = ThreadConverters();
  std::u16string& units = cv.scratch();
  units.assign(utf16);
  return EncodeUnits(cv, units.data(), units.size());
}

}  // namespace base
