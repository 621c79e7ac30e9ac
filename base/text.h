// base/text.h: text primitives over GBK byte strings.
//
// A Text holds code-page-936 bytes. Lengths and positions count bytes,
// positions start at 1, and a search that finds nothing gives -1. An absent
// text and the empty text are one value. Nothing here fails: out-of-range
// positions and counts give the empty or unchanged result named below.
//
// A byte of 0x80 or more is taken as the lead byte of a two-byte character
// (no table is consulted). Operations marked "character-wise" step over such
// pairs; the byte-wise ones may cut or match inside them.
#ifndef QUENBROOK_BASE_TEXT_H_
#define QUENBROOK_BASE_TEXT_H_

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// GBK bytes; holds no zero byte (a zero byte ends a text).
using Text = std::string;
// Length-counted bytes; zero bytes allowed.
using Bytes = std::string;
// Texts numbered from 1 by the operations below (stored from index 0).
using TextArray = std::vector<Text>;

int TextLength(std::string_view text);
Text ConcatText(std::initializer_list<std::string_view> parts);
// -1, 0 or 1, comparing bytes as unsigned values; a proper prefix is smaller.
int CompareText(std::string_view a, std::string_view b);

Text TextLeft(std::string_view text, int n);
Text TextRight(std::string_view text, int n);
Text TextMid(std::string_view text, int start, int n);
// Signed byte at `position` (-128..127); 0 outside the text.
int CharCode(std::string_view text, int position = 1);
// One-byte text; code 0 gives the empty text.
Text CharFromCode(unsigned char code);
Text BlankText(int n);
Text ToUpper(std::string_view text);
// Trims ASCII spaces and full-width spaces (A1 A1) at both ends.
Text TrimBoth(std::string_view text);

// Character-wise search; `start` 0 or 1 searches the whole text. An empty
// `pattern` finds nothing (-1).
int FindText(std::string_view text, std::string_view pattern, int start = 0,
             bool caseInsensitive = false);
// Last match lying wholly before byte `start`; omitted: the whole text.
int FindTextReverse(std::string_view text, std::string_view pattern,
                    std::optional<int> start = std::nullopt,
                    bool caseInsensitive = false);
// Byte-wise search (may match inside a double-byte character); -1 when
// either text is empty or `start` lies past the end. `start` 0 or less
// means 1. `caseInsensitive` folds every byte A-Z, trail bytes included.
int FindTextEx(std::string_view text, std::string_view pattern, int start = 0,
               bool caseInsensitive = false);
Text TextBefore(std::string_view text, std::string_view marker, int start = 0,
                bool caseInsensitive = false);
Text TextBetween(std::string_view text, std::string_view startMarker,
                 std::string_view endMarker, int start = 0,
                 bool caseInsensitive = false);
// `caseSensitive` is always given by callers, so it comes before the
// optional `start` and `count` here.
Text ReplaceText(std::string_view text, std::string_view find,
                 std::string_view replacement, bool caseSensitive,
                 int start = 1, std::optional<int> count = std::nullopt);
TextArray SplitText(std::string_view text, std::string_view delimiter = ",",
                    std::optional<int> maxCount = std::nullopt);
int ArrayCount(const TextArray& items);

double Modulo(double a, double b);
int BitAnd(int a, int b);
// Shifts by `n` bits: zeros in from the right, or the sign bit copied in
// from the left. A count of 32 or more shifts everything out (0, or -1 for a
// negative `value` shifted right); a negative count leaves `value` as it is.
int ShiftLeft(int value, int n);
int ShiftRight(int value, int n);
unsigned char ByteOf(int n);

Bytes BytesOfText(std::string_view text);
// The bytes up to the first zero byte.
Text TextOfBytes(std::string_view bytes);
int BytesLength(std::string_view bytes);
Bytes BlankBytes(int n);
Bytes BytesMid(std::string_view bytes, int start, int n);
Bytes ConcatBytes(std::initializer_list<std::string_view> parts);
bool BytesEqual(std::string_view a, std::string_view b);

}  // namespace base

#endif  // QUENBROOK_BASE_TEXT_H_
