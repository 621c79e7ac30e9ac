// net/request_headers.h: preparing the request header text before it is
// handed to the HTTP client.
//
// A header text is lines of a name, a colon and a value, separated by CR LF.
// WebRequest first completes it with the default headers it lacks, then
// rewrites the header names with capitalised words.
#ifndef QUENBROOK_NET_REQUEST_HEADERS_H_
#define QUENBROOK_NET_REQUEST_HEADERS_H_

#include <string_view>

#include "base/text.h"

namespace net {

using base::Text;

// `headerText` with each default header it lacks appended, in this order:
// Accept "*/*", Referer `url`, Accept-Language "zh-cn", the old browser
// User-Agent and, for `method` 1 (POST) only, the form Content-Type. A
// default counts as present when its name and colon ("Accept:") stand
// anywhere in the text, letters compared without regard to case, so
// ⟨X-Accept: 1⟩ holds back the default Accept. Every appended line starts
// with CR LF, so the completion of an empty text begins with an empty line.
Text CompleteDefaultHeaders(std::string_view headerText, std::string_view url,
                            int method);

// `headerText` with every line that has no ":" dropped (empty lines
// included) and, in each kept line, every lower-case ASCII letter that starts
// the name or follows a "-" in the name turned to upper case. No other byte
// changes: ⟨X-CUSTOM-id:  7⟩ becomes ⟨X-CUSTOM-Id:  7⟩, ⟨a-b-: v⟩ becomes
// ⟨A-B-: v⟩, and a name starting with a blank keeps its first letter. The
// kept lines are joined by CR LF; none kept gives the empty text.
Text NormaliseHeaderNames(std::string_view headerText);

// `text` with its first byte upper-cased when it is an ASCII letter a to z;
// the empty text stays empty.
Text CapitaliseFirst(std::string_view text);

}  // namespace net

#endif  // QUENBROOK_NET_REQUEST_HEADERS_H_
