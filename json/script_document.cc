// json/script_document.cc: the script-engine document over Duktape. The
// only file of the program that talks to the engine.
//
// Duktape reads its source as UTF-8 and hands out strings as CESU-8;
// statements are converted from GBK on the way in and results back to GBK
// on the way out.
#include "json/script_document.h"

#include <duktape.h>

#include <string>
#include <string_view>
#include <utility>

#include "base/cesu8.h"
#include "base/gbk.h"
#include "base/numbers_dates.h"
#include "json/json_text.h"
#include "json/script_prelude.h"

namespace json {

class ScriptEngine {
 public:
  explicit ScriptEngine(duk_context* context) : context_(context) {}
  ~ScriptEngine() { duk_destroy_heap(context_); }
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  duk_context* context() const { return context_; }

 private:
  duk_context* context_;
};

namespace {

bool& EngineUnavailable() {
  static bool unavailable = false;
  return unavailable;
}

std::shared_ptr<ScriptEngine> CreateEngine() {
  if (EngineUnavailable()) return nullptr;
  duk_context* context = duk_create_heap_default();
  if (context == nullptr) return nullptr;
  return std::make_shared<ScriptEngine>(context);
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Evaluates GBK `statement` in the engine's global scope. True with the
// value on top of the stack; false (stack unchanged) when there is no
// engine or the statement fails.
bool Evaluate(ScriptEngine* engine, const Text& statement) {
  if (engine == nullptr) return false;
  duk_context* context = engine->context();
  const std::string source =
      IsAscii(statement) ? statement : base::Utf8OfText(statement);
  if (duk_peval_lstring(context, source.data(), source.size()) != 0) {
    duk_pop(context);  // the error
    return false;
  }
  return true;
}

duk_ret_t ConvertTopToString(duk_context* context, void* /*udata*/) {
  duk_to_string(context, -1);
  return 1;
}

// Pops the top value as GBK text: empty for null and undefined and when
// the conversion raises an error.
Text PopText(duk_context* context) {
  if (duk_is_null_or_undefined(context, -1)) {
    duk_pop(context);
    return Text();
  }
  if (duk_safe_call(context, ConvertTopToString, nullptr, 1, 1) !=
      DUK_EXEC_SUCCESS) {
    duk_pop(context);
    return Text();
  }
  duk_size_t length = 0;
  const char* bytes = duk_get_lstring(context, -1, &length);
  Text text;
  if (bytes != nullptr) {
    const std::string_view cesu8(bytes, length);
    text = IsAscii(cesu8)
               ? Text(cesu8.substr(0, cesu8.find('\0')))
               : base::TextOfUtf16(base::Utf16OfCesu8(cesu8));
  }
  duk_pop(context);
  return text;
}

// Pops the top value as a number: numbers, booleans as 1 and 0, strings
// holding a decimal number; 0 for the rest.
double PopNumber(duk_context* context) {
  double n = 0;
  switch (duk_get_type(context, -1)) {
    case DUK_TYPE_NUMBER:
      n = duk_get_number(context, -1);
      break;
    case DUK_TYPE_BOOLEAN:
      n = duk_get_boolean(context, -1) ? 1 : 0;
      break;
    case DUK_TYPE_STRING: {
      duk_size_t length = 0;
      const char* bytes = duk_get_lstring(context, -1, &length);
      n = NumberOfText(std::string_view(bytes, length)).value_or(0);
      break;
    }
    default:
      break;
  }
  duk_pop(context);
  return n;
}

// Pops the top value as a boolean: false for null and undefined, else the
// script truth of the value.
bool PopBoolean(duk_context* context) {
  const bool b = !duk_is_null_or_undefined(context, -1) &&
                 duk_to_boolean(context, -1);
  duk_pop(context);
  return b;
}

}  // namespace

ScriptDocument::ScriptDocument() : rootName("da") { Init(); }

ScriptDocument::ScriptDocument(NoEngine) {}

ScriptDocument::~ScriptDocument() = default;
ScriptDocument::ScriptDocument(ScriptDocument&&) noexcept = default;
ScriptDocument& ScriptDocument::operator=(ScriptDocument&&) noexcept = default;

void ScriptDocument::SetEngineUnavailableForTesting(bool unavailable) {
  EngineUnavailable() = unavailable;
}

// Engine calls.

void ScriptDocument::AddCode(const Text& code) {
  if (Evaluate(engine.get(), code)) duk_pop(engine->context());
}

void ScriptDocument::Eval(const Text& statement) {
  if (Evaluate(engine.get(), statement)) duk_pop(engine->context());
}

Text ScriptDocument::EvalText(const Text& statement) {
  return Evaluate(engine.get(), statement) ? PopText(engine->context())
                                           : Text();
}

double ScriptDocument::EvalNumber(const Text& statement) {
  return Evaluate(engine.get(), statement) ? PopNumber(engine->context()) : 0;
}

bool ScriptDocument::EvalBoolean(const Text& statement) {
  return Evaluate(engine.get(), statement) && PopBoolean(engine->context());
}

// Joins.

Text ScriptDocument::BracketJoin(const Text& path) const {
  return !path.empty() && path[0] == '[' ? rootName + path
                                         : rootName + "." + path;
}

Text ScriptDocument::DotJoin(const Text& path) const {
  return rootName + "." + path;
}

Text ScriptDocument::Target(const Text& path) const {
  return path.empty() ? rootName : DotJoin(path);
}

Text ScriptDocument::EvaluatedSeparator(const Text& path) {
  return EvalText(path).empty() ? "." : "";
}

// The operations, in table order.

void ScriptDocument::Destroy() {
  engine.reset();
  rootName.clear();
}

ScriptDocument ScriptDocument::Copy() const {
  ScriptDocument copy{NoEngine{}};
  copy.rootName = rootName;
  copy.engine = engine;
  return copy;
}

std::unique_ptr<JsonBacking> ScriptDocument::CopyBacking() const {
  return std::make_unique<ScriptDocument>(Copy());
}

void ScriptDocument::Init() {
  if (std::shared_ptr<ScriptEngine> created = CreateEngine()) {
    engine = std::move(created);
  }
  AddCode(kScriptPrelude);
  Eval("var " + rootName + "={}");
  Eval("var g_regexp = String.fromCharCode(9216)");
  Eval("var g_reg = new RegExp(g_regexp, 'g')");
}

bool ScriptDocument::Parse(const Text& text) {
  if (engine) {
    engine.reset();
    Init();
  }
  if (!engine) return false;
  Eval("var " + rootName + "=null");
  AddCode("var " + rootName + "=eval(" + text + ")");
  return EvalBoolean("null !=" + rootName);
}

Text ScriptDocument::ToText() {
  Eval("var strScr = JSON.stringify(" + rootName + ")");
  return EvalText("strScr.replace(g_reg, '\\\\')");
}

void ScriptDocument::SetText(const Text& path, Text& value, bool asJson) {
  const Text separator = EvaluatedSeparator(path);
  if (asJson) {
    if (value.empty()) value = "{}";
    Eval(rootName + separator + path + " = eval(" + value + ")");
    return;
  }
  // A single-quoted literal that reads back as `value`. The replacements
  // step over double-byte characters, so a GBK trail byte 0x5C is kept.
  Text literal = base::ReplaceText(value, "\\", "\\\\", true);
  literal = base::ReplaceText(literal, "'", "\\'", true);
  literal = base::ReplaceText(literal, "\"", "\\\"", true);
  literal = base::ReplaceText(literal, "\r", "\\r", true);
  literal = base::ReplaceText(literal, "\n", "\\n", true);
  Eval("var g_Str = '" + literal + "'.replace(/\\\\/g, g_regexp)");
  Eval(rootName + separator + path + " = g_Str");
}

void ScriptDocument::SetExpression(const Text& path, const Text& expression) {
  Eval(DotJoin(path) + "= eval(" + expression + ")");
}

void ScriptDocument::SetNumber(const Text& path, double number) {
  Eval(DotJoin(path) + "=" + base::TextOfReal(number));
}

double ScriptDocument::GetNumber(const Text& path) {
  return EvalNumber(DotJoin(path));
}

Text ScriptDocument::GetJson(const Text& path) {
  return EvalText("JSON.stringify(" + DotJoin(path) + ")");
}

Text ScriptDocument::GetText(const Text& path, bool asJson) {
  const Text separator = !path.empty() && path[0] == '[' ? "" : ".";
  if (asJson) {
    return EvalText("JSON.stringify(" + rootName + separator + path + ")");
  }
  if (!engine) return Text();
  if (TypeCode(path) == kJsonNumber) return base::TextOfReal(GetNumber(path));
  return EvalText(rootName + separator + path);
}

ScriptDocument ScriptDocument::GetObject(const Text& path) {
  ScriptDocument temporary;
  temporary.Parse(EvalText("JSON.stringify(" + BracketJoin(path) + ")"));
  ScriptDocument result = temporary.Copy();
  temporary.Destroy();
  return result;
}

int ScriptDocument::Count(const Text& path) {
  const Text r = path.empty() ? rootName : BracketJoin(path);
  return IntTowardZero(EvalNumber("get__count(" + r + ")"));
}

void ScriptDocument::Push(const Text& value, const Text& path, bool asJson) {
  const Text t = Target(path);
  const Text quote = asJson ? "" : "'";
  Eval("if (Object.prototype.toString.call(" + t +
       ") != '[object Array]') { " + t + "=new Array();} " + t + ".push(" +
       quote + value + quote + ")");
}

ScriptDocument ScriptDocument::GetElementObject(int index, const Text& path) {
  ScriptDocument temporary;
  temporary.Parse(EvalText("JSON.stringify(" + Target(path) + "[" +
                           base::TextOfInt(index) + "])"));
  ScriptDocument result = temporary.Copy();
  temporary.Destroy();
  return result;
}

Text ScriptDocument::GetElementText(int index, const Text& path,
                                    bool asJson) {
  const Text element = Target(path) + "[" + base::TextOfInt(index) + "]";
  return EvalText(asJson ? "JSON.stringify(" + element + ")" : element);
}

void ScriptDocument::SetElement(int index, const Text& value, bool asJson) {
  const Text quote = asJson ? "" : "'";
  Eval(rootName + "[" + base::TextOfInt(index) + "]=" + quote + value +
       quote);
}

void ScriptDocument::RemoveElement(int index) {
  Eval(rootName + ".splice(" + base::TextOfInt(index) + ",1)");
}

void ScriptDocument::RemoveIndexed(const Text& path) {
  ScriptDocument temporary;
  const Text array = base::TextBefore(path, "[");
  const Text index = base::TextBetween(path, "[", "]");
  temporary.Parse(GetText(array, true));
  temporary.RemoveElement(base::IntOfText(index));
  SetExpression(array, temporary.ToText());
  temporary.Destroy();
}

void ScriptDocument::DeleteMember(const Text& path) {
  const Text separator = EvaluatedSeparator(path);
  Eval("delete " + rootName + separator + path);
}

void ScriptDocument::ResetByType(int code) {
  if (code == kJsonNull || code == kJsonObject) {
    Eval("var " + rootName + "={}");
  } else if (code == kJsonArray) {
    Eval("var " + rootName + "=new Array()");
  }
}

void ScriptDocument::SetRoot(const Text& value, bool asJson) {
  const Text quote = asJson ? "" : "'";
  Eval(rootName + "=" + quote + value + quote);
}

bool ScriptDocument::Has(const Text& path) {
  return EvalBoolean(DotJoin(path) + " !=null");
}

int ScriptDocument::MemberNames(TextArray& names, const Text& path) {
  const Text t = path.empty() ? rootName : BracketJoin(path);
  Text list = EvalText("var ary=''; for (var key in " + t +
                       ") {ary=ary+ key+','; }");
  list = base::ReplaceText(list, "toJSONString,", "", true);
  list = base::ReplaceText(list, "parseJSON,", "", true);
  Eval("ary=null");
  names = base::SplitText(list, ",");
  return static_cast<int>(names.size());
}

int ScriptDocument::TypeCode(const Text& path) {
  const Text r = path.empty() ? rootName : DotJoin(path);
  if (EvalBoolean(r + "==null")) return kJsonNull;
  const Text type = EvalText("typeof (" + r + ")");
  if (type == "string") return kJsonString;
  if (type == "object") {
    // The JSON text of the value just typed; for the root too.
    const Text json = EvalText("JSON.stringify(" + r + ")");
    return !json.empty() && json[0] == '[' ? kJsonArray : kJsonObject;
  }
  if (type == "number") return kJsonNumber;
  if (type == "boolean") return kJsonBoolean;
  return kJsonUnresolved;
}

void ScriptDocument::Clear() { Eval(rootName + "={}"); }

std::shared_ptr<ScriptEngine> ScriptDocument::GetEngine() const {
  return engine;
}

}  // namespace json
