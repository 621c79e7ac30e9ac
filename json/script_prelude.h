// json/script_prelude.h: the script every engine of a script-engine
// document runs before anything else.
#ifndef QUENBROOK_JSON_SCRIPT_PRELUDE_H_
#define QUENBROOK_JSON_SCRIPT_PRELUDE_H_

namespace json {

// Two lines separated by CR LF. The first defines get__count, which Count
// calls: an object's length member (an array's element count), 0 for
// anything that is not an object. The second installs the document's
// JSON.stringify, whose strings escape more characters than the engine's
// own (see AppendQuotedJson), and, where the engine lacks them, JSON,
// JSON.parse, the toJSON functions of Date, String, Number and Boolean,
// and the enumerable toJSONString and parseJSON members of every object.
extern const char kScriptPrelude[];

}  // namespace json

#endif  // QUENBROOK_JSON_SCRIPT_PRELUDE_H_
