#include "net/request_headers.h"

#include <string>

namespace net {

namespace {

constexpr char kLineBreak[] = "\r\n";

struct DefaultHeader {
  const char* marker;
  const char* line;
  bool withUrl;  // the request URL follows the line
};

}  // namespace

Text CompleteDefaultHeaders(std::string_view headerText, std::string_view url,
                            int method) {
  static constexpr DefaultHeader kDefaults[] = {
      {"Accept:", "\r\nAccept: */*", false},
      {"Referer:", "\r\nReferer: ", true},
      {"Accept-Language:", "\r\nAccept-Language: zh-cn", false},
      {"User-Agent:",
       "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
       false},
  };
  Text text(headerText);
  for (const DefaultHeader& header : kDefaults) {
    if (base::FindText(text, header.marker, 0, true) != -1) continue;
    text += header.line;
    if (header.withUrl) text += url;
  }
  if (method == 1 && base::FindText(text, "Content-Type:", 0, true) == -1) {
    text += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  return text;
}

Text NormaliseHeaderNames(std::string_view headerText) {
  Text result;
  for (const Text& line : base::SplitText(headerText, kLineBreak)) {
    const int colon = base::FindText(line, ":");
    if (colon == -1) continue;
    const Text name = base::TextLeft(line, colon - 1);
    Text newName;
    if (base::FindText(name, "-") != -1) {
      const base::TextArray words = base::SplitText(name, "-");
      for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0) newName += '-';
        newName += CapitaliseFirst(words[i]);
      }
    } else {
      newName = CapitaliseFirst(name);
    }
    // Taken by length: a name ending in "-" yields a shorter new name, and
    // the rest then starts with those "-" bytes of the line.
    const int lineLength = base::TextLength(line);
    const Text rest = base::TextRight(line, lineLength - base::TextLength(newName));
    result += newName;
    result += rest;
    result += kLineBreak;
  }
  return base::TextLeft(result, base::TextLength(result) - 2);
}

Text CapitaliseFirst(std::string_view text) {
  Text result(text);
  if (!result.empty() && result[0] >= 'a' && result[0] <= 'z') {
    result[0] = static_cast<char>(result[0] - 'a' + 'A');
  }
  return result;
}

}  // namespace net
