// net/cookies.h: the cookies a server sets, reduced to cookie text and merged
// into the cookie text that was sent.
//
// A cookie text is items of a name, "=" and a value separated by exactly
// "; ". Text between two separators is one item whatever it holds, so
// ⟨a=1;b=2⟩ is a single item named ⟨a⟩. Attributes such as a path or an
// expiry date never enter a cookie text. Names compare byte for byte.
#ifndef QUENBROOK_NET_COOKIES_H_
#define QUENBROOK_NET_COOKIES_H_

#include <string_view>

#include "base/text.h"

namespace net {

using base::Text;
using base::TextArray;

// The cookie pairs of the response header lines (separated by CR LF) named
// exactly "Set-Cookie" followed by ": ", in line order, joined by "; ". From
// a line with a ";" the pair is the text between "Set-Cookie:" and the first
// ";"; from a line without, the line less every "Set-Cookie:" (any case).
// Pairs are trimmed; a pair of blanks only gives an empty item. No such line
// gives the empty text. ⟨set-cookie: a=1⟩ and ⟨Set-Cookie:a=1⟩ do not count.
Text CollectSetCookies(std::string_view responseHeaders);

// Merges `received`, the cookies of one exchange, into `cookieText`, writes
// the result into `cookieText` and returns a copy. The received items come
// first, in order, then every sent item whose name was neither received nor
// sent before. Items ending in "=deleted" are dropped (a received one thus
// deletes the sent cookie of that name), and an item identical to an earlier
// one goes. Both texts are trimmed first; a trailing ";" counts as "; ".
// Example: sent ⟨ sid=old; old=1; keep=x; keep=y;⟩ and received
// ⟨sid=abc; old=deleted; flag=on⟩ give ⟨sid=abc; flag=on; keep=x⟩.
Text MergeCookies(Text& cookieText, std::string_view received);

// The trimmed text before the first "=" of `item`, or the whole trimmed item
// when it has none.
Text CookieName(std::string_view item);

// True when some item of `items` has the CookieName `name`.
bool HasCookieName(const TextArray& items, std::string_view name);

// `text` split at `delimiter` with every item equal to an earlier one left
// out, joined again with `delimiter`. The empty text gives the empty text.
Text SplitDedupeJoin(std::string_view text, std::string_view delimiter);

// The 1-based index of the first item of `items` equal to `text`, or -1.
int IndexOfText(const TextArray& items, std::string_view text);

}  // namespace net

#endif  // QUENBROOK_NET_COOKIES_H_
