// json/script_document.h: the document backing that keeps its value in a
// script engine and reads and changes it by script statements.
//
// Every operation joins fixed statement text with the root variable's name
// ("da") and the caller's path or value, and evaluates it in the engine.
// Paths and values go into the statements unquoted: a path is script
// member-access text, and a value is inserted as written. A statement that
// fails (a syntax error, a script error, no engine) gives the empty result
// of its kind, empty text, 0 or false, and changes nothing.
//
// Parse runs its text as a script expression: a hostile text could run any
// code, and the engine cannot stop an endless loop. The program reads
// answers from the network with the native reader only.
#ifndef QUENBROOK_JSON_SCRIPT_DOCUMENT_H_
#define QUENBROOK_JSON_SCRIPT_DOCUMENT_H_

#include <memory>

#include "base/text.h"
#include "json/json_document.h"

namespace json {

using base::TextArray;

// One engine instance with the script prelude loaded; shared by a document
// and its copies.
class ScriptEngine;

class ScriptDocument final : public JsonBacking {
 public:
  // rootName "da", then Init: the root is an empty object.
  ScriptDocument();
  ~ScriptDocument() override;
  ScriptDocument(ScriptDocument&&) noexcept;
  ScriptDocument& operator=(ScriptDocument&&) noexcept;

  // The operations, in the order of the document's operation table.

  // Releases the engine; afterwards every operation gives its empty result.
  void Destroy() override;
  // A document with the same rootName sharing this one's engine: a change
  // made through either is seen through both.
  ScriptDocument Copy() const;
  std::unique_ptr<JsonBacking> CopyBacking() const override;
  // Creates a new engine (replacing the old one only when creation
  // succeeds), loads the prelude, and sets the root to an empty object and
  // the globals g_regexp (U+2400) and g_reg (a global RegExp of it).
  void Init();
  // Replaces the engine by a new one, then "var da=eval(" + text + ")".
  // False when the root is null or undefined afterwards, or without engine.
  bool Parse(const Text& text) override;
  // The root's JSON text, every U+2400 in it turned into a backslash.
  Text ToText();
  // Sets the value at `path`. With `asJson`, `value` is evaluated as script
  // (an empty `value` becomes "{}", in the caller's variable too); without,
  // it is stored as a string whose backslashes are held as U+2400 until
  // ToText. A path whose text alone evaluates to a text (a global holding a
  // string) joins the root without ".".
  void SetText(const Text& path, Text& value, bool asJson = false);
  // Sets the value at `path` to `expression` evaluated as script.
  void SetExpression(const Text& path, const Text& expression);
  // Sets the value at `path` to `number` written with 13 significant digits.
  void SetNumber(const Text& path, double number);
  double GetNumber(const Text& path) override;
  // The value's JSON text; "null" for null, empty when absent.
  Text GetJson(const Text& path);
  Text GetText(const Text& path, bool asJson = false) override;
  // A new document, with an engine of its own, holding a copy of the value.
  ScriptDocument GetObject(const Text& path);
  int Count(const Text& path = {}) override;
  // Appends `value` (a string literal, or script with `asJson`) to the array
  // at `path`, making the member an empty array first when it is none.
  // Without `asJson` the value is not escaped: a single quote in it breaks
  // the statement and nothing changes.
  void Push(const Text& value, const Text& path = {}, bool asJson = false);
  // As GetObject, for element `index` of the array at `path`.
  ScriptDocument GetElementObject(int index, const Text& path = {});
  // Element `index` of the array at `path` as text (JSON text with
  // `asJson`).
  Text GetElementText(int index, const Text& path = {}, bool asJson = false);
  // Sets element `index` of the root array (value unescaped, as in Push).
  void SetElement(int index, const Text& value, bool asJson = false);
  // Removes element `index` of the root array.
  void RemoveElement(int index);
  // Removes the element a path of the form name[n] names; later elements
  // move down. Only the first index counts; a path without "[" changes
  // nothing.
  void RemoveIndexed(const Text& path);
  void DeleteMember(const Text& path);
  // Code 0 or 4: the root becomes an empty object; 5: an empty array; any
  // other code changes nothing.
  void ResetByType(int code);
  // Sets the root to `value` (unescaped, as in Push).
  void SetRoot(const Text& value, bool asJson = false);
  // True unless the value at `path` is null or absent or cannot be read.
  bool Has(const Text& path);
  // Replaces `names` by the enumerable member names of the value at `path`
  // (an array's indices), own members first; returns their number.
  int MemberNames(TextArray& names, const Text& path = {});
  int TypeCode(const Text& path = {}) override;
  // The root becomes an empty object.
  void Clear();
  // The engine this document uses; empty without one.
  std::shared_ptr<ScriptEngine> GetEngine() const;

  // While set, engine creation fails, as when the script component is not
  // available.
  static void SetEngineUnavailableForTesting(bool unavailable);

 private:
  struct NoEngine {};
  explicit ScriptDocument(NoEngine);

  // The engine calls. Statements are GBK; each failed call gives the empty
  // result of its kind.
  void AddCode(const Text& code);
  void Eval(const Text& statement);
  Text EvalText(const Text& statement);
  double EvalNumber(const Text& statement);
  bool EvalBoolean(const Text& statement);

  // rootName + "." + path, or rootName + path when path begins with "[".
  Text BracketJoin(const Text& path) const;
  // rootName + "." + path.
  Text DotJoin(const Text& path) const;
  // rootName when path is empty, else DotJoin(path).
  Text Target(const Text& path) const;
  // The separator the evaluated join puts between rootName and path.
  Text EvaluatedSeparator(const Text& path);

  Text rootName;
  std::shared_ptr<ScriptEngine> engine;
};

}  // namespace json

#endif  // QUENBROOK_JSON_SCRIPT_DOCUMENT_H_
