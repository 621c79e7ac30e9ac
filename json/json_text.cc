#include "json/json_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace json {
namespace {

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True for the characters JSON.stringify writes as "\u" escapes.
bool NeedsUnicodeEscape(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD ||
         (c >= 0x600 && c <= 0x604) || c == 0x70F || c == 0x17B4 ||
         c == 0x17B5 || (c >= 0x200C && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F) ||
         c == 0xFEFF || (c >= 0xFFF0 && c <= 0xFFFF);
}

// Length of the UTF-8 sequence led by `lead` (1 for a stray byte).
size_t SequenceLength(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

}  // namespace

std::string ScriptNumberText(double x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
  if (x == 0) return "0";
  if (x < 0) return "-" + ScriptNumberText(-x);

  // Shortest round-trip digits, then laid out the way the engine does.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, x,
                                    std::chars_format::scientific);
  const std::string_view sci(buffer, result.ptr - buffer);
  const size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e)) {
    if (c != '.') digits += c;
  }
  int exponent = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1),
                  sci.data() + sci.size(), exponent);
  const int k = static_cast<int>(digits.size());
  const int n = exponent + 1;  // position of the decimal point

  if (k <= n && n <= 21) return digits + std::string(n - k, '0');
  if (0 < n && n <= 21) return digits.substr(0, n) + "." + digits.substr(n);
  if (-6 < n && n <= 0) return "0." + std::string(-n, '0') + digits;
  std::string out = digits.substr(0, 1);
  if (k > 1) out += "." + digits.substr(1);
  out += n - 1 < 0 ? "e-" : "e+";
  out += std::to_string(std::abs(n - 1));
  return out;
}

void AppendQuotedJson(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = std::min(SequenceLength(lead), utf8.size() - i);
    char32_t c = lead;
    if (length == 2) {
      c = ((lead & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
    } else if (length == 3) {
      c = ((lead & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) |
          (utf8[i + 2] & 0x3F);
    } else if (length == 4) {
      c = 0x10000;  // outside the escaped ranges
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        if (NeedsUnicodeEscape(c)) {
          out += "\\u";
          for (int shift = 12; shift >= 0; shift -= 4) {
            out += kHex[(c >> shift) & 0xF];
          }
        } else {
          out.append(utf8.substr(i, length));
        }
    }
    i += length;
  }
  out += '"';
}

std::optional<double> NumberOfText(std::string_view text) {
  while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
  if (text.empty()) return 0.0;

  bool negative = false;
  std::string_view body = text;
  if (body.front() == '+' || body.front() == '-') {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (body == "Infinity") {
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }

  // digits [. digits] or . digits, then an optional exponent.
  size_t i = 0;
  size_t mantissaDigits = 0;
  while (i < body.size() && IsDigit(body[i])) ++i, ++mantissaDigits;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && IsDigit(body[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < body.size() && IsDigit(body[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != body.size()) return std::nullopt;

  // strtod in the "C" locale: overflow gives infinity and underflow 0, as
  // the engine reads such numbers.
  static const locale_t kCLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  const std::string digits(body);
  const double value = kCLocale ? strtod_l(digits.c_str(), nullptr, kCLocale)
                                : std::strtod(digits.c_str(), nullptr);
  return negative ? -value : value;
}

int IntTowardZero(double n) {
  if (!std::isfinite(n)) return 0;
  const double t = std::trunc(n);
  if (t < std::numeric_limits<int>::min() ||
      t > std::numeric_limits<int>::max()) {
    return 0;
  }
  return static_cast<int>(t);
}

}  // namespace json
