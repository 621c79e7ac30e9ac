#include "json/native_reader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/gbk.h"
#include "base/numbers_dates.h"
#include "json/json_text.h"

namespace json {

using Json = nlohmann::ordered_json;

struct NativeReader::State {
  bool defined = true;  // false: the root is undefined (an empty text)
  Json root = Json::object();
};

namespace {

// What a path reads as: a value, undefined, or an error (a member of null
// or undefined, or a path that is not member-access text).
struct Resolved {
  enum Kind { kError, kUndefined, kValue } kind = kError;
  const Json* value = nullptr;
  Json owned;  // a value made on the way: a length, a string's character

  const Json& get() const { return value ? *value : owned; }
};

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool IsIdentifierStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c == '$' || c >= 0x80;
}

bool IsIdentifierPart(unsigned char c) {
  return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

// The member name a number written in brackets stands for: 01 and 1 both
// name "1", a legacy octal 010 names "8", -1 names "-1".
std::optional<std::string> KeyOfNumber(std::string_view digits, bool negative) {
  double value = 0;
  bool octal = digits.size() > 1 && digits[0] == '0';
  for (char c : digits) octal = octal && c <= '7';
  if (octal) {
    for (char c : digits) value = value * 8 + (c - '0');
  } else {
    const std::optional<double> decimal = NumberOfText(digits);
    if (!decimal) return std::nullopt;
    value = *decimal;
  }
  return ScriptNumberText(negative ? -value : value);
}

// The member names of a UTF-8 path, in order; std::nullopt when the path
// is not member-access text. A path that begins with "[" starts at the
// root without a ".".
std::optional<std::vector<std::string>> SplitPath(std::string_view path) {
  std::vector<std::string> keys;
  size_t i = 0;
  while (i < path.size()) {
    if (path[i] == '[') {
      ++i;
      if (i < path.size() && (path[i] == '"' || path[i] == '\'')) {
        const char quote = path[i++];
        const size_t end = path.find(quote, i);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view name = path.substr(i, end - i);
        if (name.find_first_of("\\\r\n") != std::string_view::npos) {
          return std::nullopt;
        }
        keys.emplace_back(name);
        i = end + 1;
      } else {
        const bool negative = i < path.size() && path[i] == '-';
        if (negative) ++i;
        const size_t start = i;
        while (i < path.size() && path[i] >= '0' && path[i] <= '9') ++i;
        if (i == start) return std::nullopt;
        std::optional<std::string> key =
            KeyOfNumber(path.substr(start, i - start), negative);
        if (!key) return std::nullopt;
        keys.push_back(std::move(*key));
      }
      if (i >= path.size() || path[i] != ']') return std::nullopt;
      ++i;
    } else {
      if (!keys.empty() || i > 0) {
        if (path[i] != '.') return std::nullopt;
        ++i;
      }
      const size_t start = i;
      if (i >= path.size() ||
          !IsIdentifierStart(static_cast<unsigned char>(path[i]))) {
        return std::nullopt;
      }
      while (i < path.size() &&
             IsIdentifierPart(static_cast<unsigned char>(path[i]))) {
        ++i;
      }
      keys.emplace_back(path.substr(start, i - start));
    }
  }
  return keys;
}

// The array index `key` names: "0" or digits without a leading zero, below
// 2^32 - 1.
std::optional<uint32_t> ArrayIndexOf(std::string_view key) {
  if (key.empty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) {
    return std::nullopt;
  }
  uint64_t n = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<uint64_t>(c - '0');
  }
  if (n >= 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(n);
}

// UTF-16 units of valid UTF-8 `s`, as script strings count characters.
std::u16string UnitsOf(std::string_view s) {
  std::u16string units;
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    char32_t c;
    size_t length;
    if (lead < 0x80) {
      c = lead, length = 1;
    } else if (lead < 0xE0) {
      c = lead & 0x1F, length = 2;
    } else if (lead < 0xF0) {
      c = lead & 0x0F, length = 3;
    } else {
      c = lead & 0x07, length = 4;
    }
    for (size_t k = 1; k < length && i + k < s.size(); ++k) {
      c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      units += static_cast<char16_t>(0xD800 + (c >> 10));
      units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      units += static_cast<char16_t>(c);
    }
    i += length;
  }
  return units;
}

// One UTF-16 unit as UTF-8 (a lone surrogate as its three-byte form).
std::string Utf8OfUnit(char16_t u) {
  std::string out;
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

double NumberOf(const Json& v) {
  // Unsigned first: an unsigned value also counts as an integer.
  if (const auto* u = v.get_ptr<const Json::number_unsigned_t*>()) {
    return static_cast<double>(*u);
  }
  if (const auto* i = v.get_ptr<const Json::number_integer_t*>()) {
    return static_cast<double>(*i);
  }
  if (const auto* f = v.get_ptr<const Json::number_float_t*>()) return *f;
  return 0;
}

// A value read as a number: numbers, booleans as 1 and 0, strings holding
// a decimal number; 0 for the rest.
double ValueNumber(const Json& v) {
  if (v.is_number()) return NumberOf(v);
  if (const auto* b = v.get_ptr<const Json::boolean_t*>()) return *b ? 1 : 0;
  if (const auto* s = v.get_ptr<const Json::string_t*>()) {
    return NumberOfText(*s).value_or(0);
  }
  return 0;
}

// Replaces `r` by its member `key`.
void Step(Resolved& r, const std::string& key) {
  if (r.kind != Resolved::kValue || r.get().is_null()) {
    r.kind = Resolved::kError;
    return;
  }
  const Json& v = r.get();
  Resolved next;
  next.kind = Resolved::kUndefined;
  if (v.is_object()) {
    const auto it = v.find(key);
    if (it != v.end()) {
      next.kind = Resolved::kValue;
      next.value = &*it;
    }
  } else if (v.is_array()) {
    if (key == "length") {
      next.kind = Resolved::kValue;
      next.owned = static_cast<double>(v.size());
    } else if (const auto index = ArrayIndexOf(key); index && *index < v.size()) {
      next.kind = Resolved::kValue;
      next.value = &v[*index];
    }
  } else if (const auto* s = v.get_ptr<const Json::string_t*>()) {
    const auto index = ArrayIndexOf(key);
    if (key == "length" || index) {
      const std::u16string units = UnitsOf(*s);
      if (key == "length") {
        next.kind = Resolved::kValue;
        next.owned = static_cast<double>(units.size());
      } else if (*index < units.size()) {
        next.kind = Resolved::kValue;
        next.owned = Utf8OfUnit(units[*index]);
      }
    }
  }
  r = std::move(next);
}

Resolved Root(const NativeReader::State* state) {
  Resolved r;
  if (state) {
    r.kind = state->defined ? Resolved::kValue : Resolved::kUndefined;
    r.value = &state->root;
  }
  return r;
}

// Reads `path` (GBK) from the root; an empty path reads the root.
Resolved Resolve(const NativeReader::State* state, const Text& path) {
  Resolved r = Root(state);
  if (path.empty() || r.kind == Resolved::kError) return r;
  const std::optional<std::vector<std::string>> keys =
      SplitPath(IsAscii(path) ? std::string(path) : base::Utf8OfText(path));
  if (!keys) return Resolved();
  for (const std::string& key : *keys) {
    Step(r, key);
    if (r.kind == Resolved::kError) break;
  }
  return r;
}

void AppendJsonText(std::string& out, const Json& v);

// An object's members in the engine's order: array-index names ascending,
// then the other names as they first appeared.
std::vector<std::pair<const std::string*, const Json*>> MembersInOrder(
    const Json& object) {
  std::vector<std::pair<uint32_t, std::pair<const std::string*, const Json*>>>
      indexed;
  std::vector<std::pair<const std::string*, const Json*>> named;
  for (auto it = object.begin(); it != object.end(); ++it) {
    const std::string& key = it.key();
    if (const auto index = ArrayIndexOf(key)) {
      indexed.push_back({*index, {&key, &it.value()}});
    } else {
      named.push_back({&key, &it.value()});
    }
  }
  if (indexed.empty()) return named;
  std::sort(indexed.begin(), indexed.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::pair<const std::string*, const Json*>> members;
  members.reserve(indexed.size() + named.size());
  for (const auto& m : indexed) members.push_back(m.second);
  members.insert(members.end(), named.begin(), named.end());
  return members;
}

// Compact JSON text of `v`, written as the document's JSON.stringify
// writes it.
void AppendJsonText(std::string& out, const Json& v) {
  switch (v.type()) {
    case Json::value_t::null:
      out += "null";
      break;
    case Json::value_t::boolean:
      out += v.get<bool>() ? "true" : "false";
      break;
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: {
      const double x = NumberOf(v);
      out += std::isfinite(x) ? ScriptNumberText(x) : "null";
      break;
    }
    case Json::value_t::string:
      AppendQuotedJson(out, *v.get_ptr<const Json::string_t*>());
      break;
    case Json::value_t::array: {
      out += '[';
      bool first = true;
      for (const Json& element : v) {
        if (!first) out += ',';
        first = false;
        AppendJsonText(out, element);
      }
      out += ']';
      break;
    }
    case Json::value_t::object: {
      out += '{';
      bool first = true;
      for (const auto& [key, value] : MembersInOrder(v)) {
        if (!first) out += ',';
        first = false;
        AppendQuotedJson(out, *key);
        out += ':';
        AppendJsonText(out, *value);
      }
      out += '}';
      break;
    }
    default:
      out += "null";
  }
}

// `v` converted to text the way script converts a value: an array as its
// elements joined by "," (null elements empty), an object as
// "[object Object]".
void AppendScriptText(std::string& out, const Json& v) {
  if (v.is_array()) {
    bool first = true;
    for (const Json& element : v) {
      if (!first) out += ',';
      first = false;
      if (!element.is_null()) AppendScriptText(out, element);
    }
  } else if (v.is_object()) {
    out += "[object Object]";
  } else if (v.is_number()) {
    out += ScriptNumberText(NumberOf(v));
  } else if (const auto* s = v.get_ptr<const Json::string_t*>()) {
    out += *s;
  } else if (v.is_boolean()) {
    out += v.get<bool>() ? "true" : "false";
  } else {
    out += "null";
  }
}

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' &&
        c != '\f') {
      return false;
    }
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of the "\uXXXX" escape at `i`, or -1.
int EscapedUnitAt(std::string_view text, size_t i) {
  if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u') return -1;
  int value = 0;
  for (size_t k = i + 2; k < i + 6; ++k) {
    const int digit = HexValue(text[k]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

bool IsHighSurrogate(int u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(int u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Checks JSON text `text` before it is parsed. False when arrays and
// objects nest deeper than `limit` (brackets inside strings do not count).
// A "\u" escape of half a surrogate pair (an emoji cut in two by the
// service) would make the whole text unreadable; the text is copied to
// `repaired` with each such escape written as "?", the character the
// engine's reads give for it in GBK. `repaired` stays empty when there
// are none.
bool CheckText(std::string_view text, int limit, std::string& repaired) {
  repaired.clear();
  size_t copied = 0;  // text[0, copied) is in `repaired` already
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '"') {
        inString = false;
      } else if (c == '\\') {
        const int unit = EscapedUnitAt(text, i);
        if (IsHighSurrogate(unit) &&
            IsLowSurrogate(EscapedUnitAt(text, i + 6))) {
          i += 11;  // a whole pair
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
          repaired.append(text.substr(copied, i - copied));
          repaired += '?';
          copied = i + 6;
          i += 5;
        } else {
          ++i;
        }
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  if (copied > 0) repaired.append(text.substr(copied));
  return true;
}

}  // namespace

NativeReader::NativeReader() : state_(std::make_shared<State>()) {}

NativeReader::NativeReader(std::shared_ptr<State> state)
    : state_(std::move(state)) {}

NativeReader::~NativeReader() = default;

void NativeReader::Destroy() { state_.reset(); }

std::unique_ptr<JsonBacking> NativeReader::CopyBacking() const {
  return std::unique_ptr<JsonBacking>(new NativeReader(state_));
}

bool NativeReader::Parse(const Text& text) {
  if (!state_) return false;
  if (IsAscii(text)) return ParseUtf8(text);
  const std::string utf8 = base::Utf8OfText(text);
  return ParseUtf8(utf8);
}

bool NativeReader::ParseUtf8(std::string_view utf8) {
  if (!state_) return false;
  // A new value for this document; copies made earlier keep the old one.
  auto state = std::make_shared<State>();
  state->root = nullptr;
  std::string repaired;
  if (IsBlank(utf8)) {
    state->defined = false;
  } else if (CheckText(utf8, kMaxDepth, repaired)) {
    if (!repaired.empty()) utf8 = repaired;
    try {
      Json value = Json::parse(utf8.begin(), utf8.end(), nullptr,
                               /*allow_exceptions=*/false);
      if (!value.is_discarded()) state->root = std::move(value);
    } catch (...) {
      state->root = nullptr;  // out of memory: as not JSON
    }
  }
  state_ = std::move(state);
  return state_->defined && !state_->root.is_null();
}

Text NativeReader::GetText(const Text& path, bool asJson) {
  if (path.empty()) return Text();
  const Resolved r = Resolve(state_.get(), path);
  if (r.kind != Resolved::kValue) return Text();
  const Json& v = r.get();
  std::string utf8;
  if (asJson) {
    AppendJsonText(utf8, v);
  } else if (v.is_null()) {
    return Text();
  } else if (v.is_number()) {
    return base::TextOfReal(NumberOf(v));
  } else {
    AppendScriptText(utf8, v);
  }
  return IsAscii(utf8) ? Text(utf8.substr(0, utf8.find('\0')))
                       : base::Utf8ToGbk(utf8);
}

int NativeReader::TypeCode(const Text& path) {
  const Resolved r = Resolve(state_.get(), path);
  if (r.kind == Resolved::kError) return kJsonUnresolved;
  if (r.kind == Resolved::kUndefined) return kJsonNull;
  switch (r.get().type()) {
    case Json::value_t::null: return kJsonNull;
    case Json::value_t::boolean: return kJsonBoolean;
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: return kJsonNumber;
    case Json::value_t::object: return kJsonObject;
    case Json::value_t::array: return kJsonArray;
    case Json::value_t::string: return kJsonString;
    default: return kJsonUnresolved;
  }
}

double NativeReader::GetNumber(const Text& path) {
  const Resolved r = Resolve(state_.get(), path);
  return r.kind == Resolved::kValue ? ValueNumber(r.get()) : 0;
}

int NativeReader::Count(const Text& path) {
  const Resolved r = Resolve(state_.get(), path);
  if (r.kind != Resolved::kValue) return 0;
  const Json& v = r.get();
  if (v.is_array()) return IntTowardZero(static_cast<double>(v.size()));
  if (v.is_object()) {
    const auto it = v.find("length");
    return it == v.end() ? 0 : IntTowardZero(ValueNumber(*it));
  }
  return 0;
}

}  // namespace json
