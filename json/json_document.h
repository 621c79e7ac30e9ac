// json/json_document.h: a JSON value read by path.
//
// Paths are member names joined by "." with array indices in brackets:
// "resultData.data.subRightsList1[0].name". A path that begins with "["
// indexes the root itself ("[0]"; the script-engine document reads such
// paths in GetText and Count only). A path that does not resolve reads as
// empty text, 0 or false. Texts in and out are GBK.
//
// A JsonDocument is backed either by the native reader (the default, and
// the one the actions use: it never runs the text it is given) or by the
// script-engine document (WithScriptEngine), which evaluates statements in
// a script engine and offers the full set of document operations.
#ifndef QUENBROOK_JSON_JSON_DOCUMENT_H_
#define QUENBROOK_JSON_JSON_DOCUMENT_H_

#include <memory>

#include "base/text.h"

namespace json {

using base::Text;

// Type of the value at a path, as TypeCode gives it. Code 3 is never
// produced.
enum JsonTypeCode : int {
  kJsonUnresolved = -1,  // a function, or the path cannot be evaluated
  kJsonNull = 0,         // null, or absent
  kJsonBoolean = 1,
  kJsonNumber = 2,
  kJsonObject = 4,
  kJsonArray = 5,
  kJsonString = 6,
};

// What a document backing offers: the reads the actions use, Parse,
// Destroy and Copy. Both backings give the same results for JSON answers
// and the program's paths.
class JsonBacking {
 public:
  virtual ~JsonBacking() = default;

  // Releases what the document holds; afterwards Parse gives false and
  // every read its empty result.
  virtual void Destroy() = 0;
  // A further document over the same value: a change made through one is
  // seen through the other.
  virtual std::unique_ptr<JsonBacking> CopyBacking() const = 0;
  // Loads `text`. True when the loaded root is neither null nor undefined
  // (also for the JSON literal false); false for "null", for an empty text
  // and for a text that is not one JSON value, after which every read is
  // empty.
  virtual bool Parse(const Text& text) = 0;
  // A number as "%.13g" with a three-digit exponent ("12.5", "1e+016"), a
  // string's characters, "true"/"false"; empty for null and for an absent
  // or unresolvable path. With `asJson`, the compact JSON text of the value
  // ("null" for null), empty for an absent or unresolvable path. An empty
  // path reads nothing.
  virtual Text GetText(const Text& path, bool asJson) = 0;
  // JsonTypeCode of the value; an empty path types the root. An absent last
  // member gives 0, a path through an absent member -1.
  virtual int TypeCode(const Text& path) = 0;
  // The number at `path`; 0 for absent, null and unresolvable paths.
  virtual double GetNumber(const Text& path) = 0;
  // An array's element count; for an object, its "length" member truncated
  // toward zero; 0 for anything else. An empty path counts the root.
  virtual int Count(const Text& path) = 0;
};

// One JSON value for one action run: construct, Parse, read, Destroy.
class JsonDocument {
 public:
  // A native-reader document whose root is an empty object.
  JsonDocument();
  // A script-engine document whose root is an empty object. Its Parse runs
  // the text as script: never hand it a text from the network.
  static JsonDocument WithScriptEngine();
  explicit JsonDocument(std::unique_ptr<JsonBacking> backing);

  JsonDocument(JsonDocument&&) noexcept;
  JsonDocument& operator=(JsonDocument&&) noexcept;
  ~JsonDocument();

  // See JsonBacking for each result.
  bool Parse(const Text& text);
  Text GetText(const Text& path, bool asJson = false);
  int TypeCode(const Text& path = {});
  double GetNumber(const Text& path);
  int Count(const Text& path = {});
  void Destroy();
  JsonDocument Copy() const;

 private:
  std::unique_ptr<JsonBacking> backing_;
};

}  // namespace json

#endif  // QUENBROOK_JSON_JSON_DOCUMENT_H_
