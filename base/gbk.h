// base/gbk.h: conversion between UTF-8, UTF-16 and code page 936 (GBK).
//
// Matches the Windows code page 936 tables byte for byte: characters GBK
// cannot hold become "?", invalid UTF-8 gives one "?" per bad sequence.
// A failed conversion gives the empty text.
#ifndef QUENBROOK_BASE_GBK_H_
#define QUENBROOK_BASE_GBK_H_

#include <string>
#include <string_view>

#include "base/text.h"

namespace base {

// A UTF-8 response body as GBK text, cut at the first U+0000.
Text Utf8ToGbk(std::string_view body);
// The program's own UTF-8 literals ("未选择奖品") as GBK text.
Text TextOfUtf8(std::string_view utf8);
Text TextOfUtf8(std::u8string_view utf8);
// GBK text as UTF-8 / UTF-16, for the window and the JSON reader.
std::string Utf8OfText(std::string_view text);
std::u16string Utf16OfText(std::string_view text);
Text TextOfUtf16(std::u16string_view utf16);

}  // namespace base

#endif  // QUENBROOK_BASE_GBK_H_
