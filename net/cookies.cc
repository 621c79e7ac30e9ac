#include "net/cookies.h"

namespace net {

namespace {

constexpr char kSeparator[] = "; ";

// Trimmed, and ending in "; " when it ended in ";".
Text TrimCookieText(std::string_view text) {
  Text trimmed = base::TrimBoth(text);
  if (!trimmed.empty() && trimmed.back() == ';') trimmed += ' ';
  return trimmed;
}

Text JoinTexts(const TextArray& items, std::string_view delimiter) {
  Text joined;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined += delimiter;
    joined += items[i];
  }
  return joined;
}

}  // namespace

Text CollectSetCookies(std::string_view responseHeaders) {
  Text result;
  for (const Text& line : base::SplitText(responseHeaders, "\r\n")) {
    if (base::TextBefore(line, ": ") != "Set-Cookie") continue;
    Text piece;
    if (base::FindText(line, ";") != -1) {
      piece = base::TextBetween(line, "Set-Cookie:", ";");
    } else {
      piece = base::ReplaceText(line, "Set-Cookie:", "", false);
    }
    result += base::TrimBoth(piece);
    result += kSeparator;
  }
  if (base::TextRight(result, 2) == kSeparator) {
    result = base::TextLeft(result, base::TextLength(result) - 2);
  }
  return result;
}

Text MergeCookies(Text& cookieText, std::string_view received) {
  const TextArray old = base::SplitText(TrimCookieText(cookieText), kSeparator);
  TextArray merged = base::SplitText(TrimCookieText(received), kSeparator);
  for (const Text& item : old) {
    if (!HasCookieName(merged, CookieName(item))) merged.push_back(item);
  }
  Text text;
  for (const Text& item : merged) {
    if (base::TextRight(item, 8) == "=deleted") continue;
    text += item;
    text += kSeparator;
  }
  text = base::TextLeft(text, base::TextLength(text) - 2);
  cookieText = SplitDedupeJoin(text, kSeparator);
  return cookieText;
}

Text CookieName(std::string_view item) {
  const int equals = base::FindText(item, "=");
  if (equals == -1) return base::TrimBoth(item);
  return base::TrimBoth(base::TextLeft(item, equals - 1));
}

bool HasCookieName(const TextArray& items, std::string_view name) {
  for (const Text& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

Text SplitDedupeJoin(std::string_view text, std::string_view delimiter) {
  TextArray kept;
  for (const Text& item : base::SplitText(text, delimiter)) {
    if (IndexOfText(kept, item) == -1) kept.push_back(item);
  }
  return JoinTexts(kept, delimiter);
}

int IndexOfText(const TextArray& items, std::string_view text) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i) + 1;
  }
  return -1;
}

}  // namespace net
