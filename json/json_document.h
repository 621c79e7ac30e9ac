// json/json_document.h: a JSON value read by path.
//
// Paths are member names joined by "." with array indices in brackets:
// "resultData.data.subRightsList1[0].name". A path that does not resolve
// reads as empty text, 0 or false. Texts in and out are GBK.
#ifndef QUENBROOK_JSON_JSON_DOCUMENT_H_
#define QUENBROOK_JSON_JSON_DOCUMENT_H_

#include "base/text.h"

namespace json {

using base::Text;

// Placeholder of the document's shape; the real class lives here.
class JsonDocument {
 public:
  JsonDocument();   // root: an empty object
  bool Parse(const Text& text);
  Text GetText(const Text& path, bool asJson = false);
  int TypeCode(const Text& path = {});
  double GetNumber(const Text& path);
  int Count(const Text& path = {});
  void Destroy();
};

}  // namespace json

#endif  // QUENBROOK_JSON_JSON_DOCUMENT_H_
