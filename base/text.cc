// base/text.cc: text primitives over GBK byte strings.
#include "base/text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace base {
namespace {

// A text ends at its first zero byte.
std::string_view AsText(std::string_view s) {
  const size_t zero = s.find('\0');
  return zero == std::string_view::npos ? s : s.substr(0, zero);
}

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Whether `pattern` equals the bytes of `text` at `pos` (which must fit).
bool MatchesAt(std::string_view text, size_t pos, std::string_view pattern,
               bool fold) {
  if (!fold) return text.compare(pos, pattern.size(), pattern) == 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (FoldAscii(text[pos + i]) != FoldAscii(pattern[i])) return false;
  }
  return true;
}

// Bytes taken by the character at `pos`: 2 for a lead byte, 1 otherwise;
// a lead byte that is the last byte of the text takes 1.
size_t CharSize(std::string_view text, size_t pos) {
  return (IsLeadByte(text[pos]) && pos + 1 < text.size()) ? 2 : 1;
}

// Character-wise scan of the window [first, last) of `text`; returns the
// 0-based offset of the first (or last) match or npos.
size_t ScanWindow(std::string_view text, size_t first, size_t last,
                  std::string_view pattern, bool fold, bool wantLast) {
  size_t found = std::string_view::npos;
  if (pattern.empty() || last > text.size()) return found;
  for (size_t i = first; i < last;) {
    // A lead byte that is the last byte of the text ends the scan.
    if (IsLeadByte(text[i]) && i + 1 >= text.size()) break;
    if (i + pattern.size() <= last && MatchesAt(text, i, pattern, fold)) {
      found = i;
      if (!wantLast) return found;
    }
    i += IsLeadByte(text[i]) ? 2 : 1;
  }
  return found;
}

int PositionOf(size_t offset) {
  return offset == std::string_view::npos ? -1 : static_cast<int>(offset) + 1;
}

size_t Clamp(long long v, size_t hi) {
  if (v < 0) return 0;
  return static_cast<unsigned long long>(v) > hi ? hi : static_cast<size_t>(v);
}

}  // namespace

int TextLength(std::string_view text) {
  return static_cast<int>(AsText(text).size());
}

Text ConcatText(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view p : parts) total += AsText(p).size();
  Text out;
  out.reserve(total);
  for (std::string_view p : parts) out.append(AsText(p));
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  a = AsText(a);
  b = AsText(b);
  const size_t n = std::min(a.size(), b.size());
  const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text TextLeft(std::string_view text, int n) {
  text = AsText(text);
  if (n <= 0) return Text();
  return Text(text.substr(0, static_cast<size_t>(n)));
}

Text TextRight(std::string_view text, int n) {
  text = AsText(text);
  if (n <= 0) return Text();
  const size_t k = std::min(static_cast<size_t>(n), text.size());
  return Text(text.substr(text.size() - k));
}

Text TextMid(std::string_view text, int start, int n) {
  text = AsText(text);
  const long long p = static_cast<long long>(start) - 1;
  if (p < 0 || p >= static_cast<long long>(text.size()) || n <= 0) {
    return Text();
  }
  return Text(text.substr(static_cast<size_t>(p), static_cast<size_t>(n)));
}

int CharCode(std::string_view text, int position) {
  text = AsText(text);
  if (position < 1 || static_cast<size_t>(position) > text.size()) return 0;
  return static_cast<signed char>(text[static_cast<size_t>(position) - 1]);
}

Text CharFromCode(unsigned char code) {
  if (code == 0) return Text();
  return Text(1, static_cast<char>(code));
}

Text BlankText(int n) {
  if (n < 1) return Text();
  return Text(static_cast<size_t>(n), ' ');
}

Text ToUpper(std::string_view text) {
  text = AsText(text);
  Text out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    if (IsLeadByte(out[i])) {
      ++i;  // the trail byte stays as it is
    } else if (out[i] >= 'a' && out[i] <= 'z') {
      out[i] = static_cast<char>(out[i] - 'a' + 'A');
    }
  }
  return out;
}

Text TrimBoth(std::string_view text) {
  text = AsText(text);
  auto blankAt = [&](size_t i) -> size_t {  // bytes of a blank at i, or 0
    if (text[i] == ' ') return 1;
    if (text[i] == '\xA1' && i + 1 < text.size() && text[i + 1] == '\xA1') {
      return 2;
    }
    return 0;
  };
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t b = blankAt(begin);
    if (b == 0) break;
    begin += b;
  }
  size_t end = text.size();
  size_t runStart = std::string_view::npos;
  for (size_t i = begin; i < text.size();) {
    if (IsLeadByte(text[i]) && i + 1 >= text.size()) {
      // A dangling lead byte is dropped; blanks before it stay.
      end = i;
      runStart = std::string_view::npos;
      break;
    }
    const size_t b = blankAt(i);
    if (b != 0) {
      if (runStart == std::string_view::npos) runStart = i;
      i += b;
    } else {
      runStart = std::string_view::npos;
      i += CharSize(text, i);
    }
  }
  if (runStart != std::string_view::npos) end = runStart;
  return Text(text.substr(begin, end - begin));
}

int FindText(std::string_view text, std::string_view pattern, int start,
             bool caseInsensitive) {
  text = AsText(text);
  pattern = AsText(pattern);
  const size_t offset = Clamp(static_cast<long long>(start) - 1, text.size());
  return PositionOf(ScanWindow(text, offset, text.size(), pattern,
                               caseInsensitive, /*wantLast=*/false));
}

int FindTextReverse(std::string_view text, std::string_view pattern,
                    std::optional<int> start, bool caseInsensitive) {
  text = AsText(text);
  pattern = AsText(pattern);
  const size_t offset =
      start ? Clamp(static_cast<long long>(*start) - 1, text.size())
            : text.size();
  return PositionOf(
      ScanWindow(text, 0, offset, pattern, caseInsensitive, /*wantLast=*/true));
}

int FindTextEx(std::string_view text, std::string_view pattern, int start,
               bool caseInsensitive) {
  text = AsText(text);
  pattern = AsText(pattern);
  if (text.empty() || pattern.empty()) return -1;
  if (start < 1) start = 1;
  if (static_cast<size_t>(start) > text.size()) return -1;
  size_t found;
  if (caseInsensitive) {
    std::string t(text), p(pattern);
    for (char& c : t) c = FoldAscii(c);
    for (char& c : p) c = FoldAscii(c);
    found = std::string_view(t).find(p, static_cast<size_t>(start) - 1);
  } else {
    found = text.find(pattern, static_cast<size_t>(start) - 1);
  }
  return PositionOf(found);
}

Text TextBefore(std::string_view text, std::string_view marker, int start,
                bool caseInsensitive) {
  text = AsText(text);
  const int len = static_cast<int>(text.size());
  int c;
  if (start < 0) {
    long long k = -static_cast<long long>(start);
    if (k == 1) k = 0;
    const long long from = len - k;
    c = FindTextReverse(text, marker,
                        static_cast<int>(std::max<long long>(from, INT32_MIN)),
                        caseInsensitive);
  } else {
    c = FindText(text, marker, start == 0 ? 1 : start, caseInsensitive);
  }
  if (c == -1) return Text();
  return TextLeft(text, c - 1);
}

Text TextBetween(std::string_view text, std::string_view startMarker,
                 std::string_view endMarker, int start, bool caseInsensitive) {
  text = AsText(text);
  // "#引号" in a marker stands for a double quote.
  static constexpr std::string_view kQuoteWord = "#\xD2\xFD\xBA\xC5";
  const Text from = ReplaceText(startMarker, kQuoteWord, "\"", true);
  const Text to = ReplaceText(endMarker, kQuoteWord, "\"", true);
  int c = FindText(text, from, start, caseInsensitive);
  if (c == -1) return Text();
  c += TextLength(from);
  const int d = FindText(text, to, c, caseInsensitive);
  if (d == -1) return Text();
  return TextMid(text, c, d - c);
}

Text ReplaceText(std::string_view text, std::string_view find,
                 std::string_view replacement, bool caseSensitive, int start,
                 std::optional<int> count) {
  text = AsText(text);
  find = AsText(find);
  replacement = AsText(replacement);
  const long long off = std::max<long long>(static_cast<long long>(start) - 1, 0);
  if (text.empty() || find.empty() || off >= static_cast<long long>(text.size()) ||
      (count && *count == 0)) {
    return Text(text);
  }
  long long remaining = count ? *count : -1;  // negative: no limit
  Text out;
  out.reserve(text.size());
  out.append(text.substr(0, static_cast<size_t>(off)));
  size_t i = static_cast<size_t>(off);
  while (i < text.size()) {
    if (i + find.size() <= text.size() &&
        MatchesAt(text, i, find, !caseSensitive)) {
      out.append(replacement);
      i += find.size();
      if (remaining > 0 && --remaining == 0) {
        out.append(text.substr(i));
        return out;
      }
      continue;
    }
    if (IsLeadByte(text[i])) {
      if (i + 1 >= text.size()) break;  // a dangling lead byte is dropped
      out.append(text.substr(i, 2));
      i += 2;
    } else {
      out.push_back(text[i]);
      ++i;
    }
  }
  return out;
}

TextArray SplitText(std::string_view text, std::string_view delimiter,
                    std::optional<int> maxCount) {
  text = AsText(text);
  delimiter = AsText(delimiter);
  const size_t limit =
      maxCount ? static_cast<size_t>(std::max(*maxCount, 0)) : SIZE_MAX;
  TextArray items;
  if (text.empty() || limit == 0) return items;
  if (delimiter.empty()) {
    items.emplace_back(text);
    return items;
  }
  size_t cut = 0;
  for (size_t i = 0; i < text.size();) {
    if (i + delimiter.size() <= text.size() &&
        MatchesAt(text, i, delimiter, /*fold=*/false)) {
      items.emplace_back(text.substr(cut, i - cut));
      if (items.size() >= limit) return items;
      i += delimiter.size();
      cut = i;
    } else {
      i += CharSize(text, i);
    }
  }
  if (cut < text.size()) items.emplace_back(text.substr(cut));
  return items;
}

int ArrayCount(const TextArray& items) { return static_cast<int>(items.size()); }

double Modulo(double a, double b) { return std::fmod(a, b); }

int BitAnd(int a, int b) { return a & b; }

int ShiftLeft(int value, int n) {
  if (n < 0) return value;
  if (n >= 32) return 0;
  return static_cast<int>(static_cast<uint32_t>(value) << n);
}

int ShiftRight(int value, int n) {
  if (n < 0) return value;
  if (n >= 32) return value < 0 ? -1 : 0;
  return value >> n;  // arithmetic in C++20
}

unsigned char ByteOf(int n) { return static_cast<unsigned char>(n & 0xFF); }

Bytes BytesOfText(std::string_view text) { return Bytes(AsText(text)); }

Text TextOfBytes(std::string_view bytes) { return Text(AsText(bytes)); }

int BytesLength(std::string_view bytes) {
  return static_cast<int>(bytes.size());
}

Bytes BlankBytes(int n) {
  if (n <= 0) return Bytes();
  return Bytes(static_cast<size_t>(n), '\0');
}

Bytes BytesMid(std::string_view bytes, int start, int n) {
  const size_t off = Clamp(static_cast<long long>(start) - 1, bytes.size());
  if (n <= 0) return Bytes();
  return Bytes(bytes.substr(off, static_cast<size_t>(n)));
}

Bytes ConcatBytes(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view p : parts) total += p.size();
  Bytes out;
  out.reserve(total);
  for (std::string_view p : parts) out.append(p);
  return out;
}

bool BytesEqual(std::string_view a, std::string_view b) { return a == b; }

}  // namespace base
