// json/native_reader.h: the document backing that reads JSON text itself.
//
// It gives the results the script-engine document gives for JSON text and
// the program's paths, without running anything: a hostile answer is only
// ever data. Strings are decoded from their JSON escapes and handed out as
// GBK; numbers are doubles, as in script.
//
// Paths read as script reads them: besides member names and indices a path
// may name the "length" of an array or string, index a string's characters
// or quote a member name in brackets (a["b c"]). A member of null or of an
// absent value cannot be read (TypeCode -1); a member that a value does not
// have is absent (TypeCode 0). A path that is not such text cannot be read.
#ifndef QUENBROOK_JSON_NATIVE_READER_H_
#define QUENBROOK_JSON_NATIVE_READER_H_

#include <memory>
#include <string_view>

#include "json/json_document.h"

namespace json {

class NativeReader final : public JsonBacking {
 public:
  // Deepest nesting of arrays and objects Parse accepts; a deeper text is
  // refused as not JSON.
  static constexpr int kMaxDepth = 1000;

  // The root is an empty object.
  NativeReader();
  ~NativeReader() override;

  void Destroy() override;
  std::unique_ptr<JsonBacking> CopyBacking() const override;
  // Converts GBK `text` to UTF-8 and reads it as ParseUtf8 does.
  bool Parse(const Text& text) override;
  // Reads UTF-8 `utf8` (a leading byte-order mark is skipped). Invalid
  // UTF-8, a cut text, trailing text, nesting beyond kMaxDepth and script
  // that is not JSON (single quotes, comments) leave the root null and give
  // false; an empty or all-blank text leaves it undefined and gives false.
  bool ParseUtf8(std::string_view utf8);
  Text GetText(const Text& path, bool asJson = false) override;
  int TypeCode(const Text& path = {}) override;
  double GetNumber(const Text& path) override;
  int Count(const Text& path = {}) override;

  // The loaded value, shared by the copies of a document.
  struct State;

 private:
  explicit NativeReader(std::shared_ptr<State> state);

  std::shared_ptr<State> state_;
};

}  // namespace json

#endif  // QUENBROOK_JSON_NATIVE_READER_H_
