// json/json_text.h: the value texts both document backings share, so that
// a native read and a script-engine read of one value give one text.
//
// Internal to json/; the actions do not use these directly.
#ifndef QUENBROOK_JSON_JSON_TEXT_H_
#define QUENBROOK_JSON_JSON_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

namespace json {

// `x` as the script engine writes a number (shortest text that reads back
// as `x`): 0.1 -> "0.1", 1e21 -> "1e+21", 1e-7 -> "1e-7", -0 -> "0",
// 1234567890123456 -> "1234567890123456". NaN and the infinities give
// "NaN", "Infinity" and "-Infinity".
std::string ScriptNumberText(double x);

// Appends UTF-8 `utf8` as a double-quoted JSON string with the document's
// escaping: backslash and double quote escaped, "\b", "\t", "\n", "\f" and
// "\r" for those five, "\u" and four lowercase hex digits for the other
// characters of U+0000-U+001F, U+007F-U+009F, U+00AD, U+0600-U+0604,
// U+070F, U+17B4, U+17B5, U+200C-U+200F, U+2028-U+202F, U+2060-U+206F,
// U+FEFF and U+FFF0-U+FFFF. Everything else, Chinese text included, is
// written unchanged.
void AppendQuotedJson(std::string& out, std::string_view utf8);

// The number a text stands for when a value is read as a number: a
// decimal number or "Infinity" with an optional sign, surrounded by
// optional ASCII white space; a text of white space alone is 0.
// std::nullopt for anything else ("12px", "0x10", "1,5").
std::optional<double> NumberOfText(std::string_view text);

// `n` truncated toward zero; 0 when `n` is not finite or lies outside int.
int IntTowardZero(double n);

}  // namespace json

#endif  // QUENBROOK_JSON_JSON_TEXT_H_
