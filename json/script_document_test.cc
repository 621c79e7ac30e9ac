// The script-engine document's statements, checked by what they leave in
// the document (read back with ToText and the reads).
#include "json/script_document.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/gbk.h"

namespace json {
namespace {

using base::TextArray;

TEST(ScriptDocumentTest, ChangesLeaveTheDocumentAsTheirStatementsSay) {
  const struct {
    const char* name;
    const char* start;  // JSON text parsed first
    std::function<void(ScriptDocument&)> change;
    const char* after;  // ToText afterwards
  } kCases[] = {
      {"SetText keeps quotes and line breaks and a bare backslash", "{}",
       [](ScriptDocument& d) {
         Text v = "it's \"q\" a\\u0041\r\nend";
         d.SetText("a", v);
       },
       // The escape the caller wrote reaches the JSON text as written.
       R"({"a":"it's \"q\" a\u0041\r\nend"})"},
      {"SetText of a nested member", R"({"o":{"x":1}})",
       [](ScriptDocument& d) {
         Text v = "y";
         d.SetText("o.x", v);
       },
       R"({"o":{"x":"y"}})"},
      {"SetText as JSON", "{}",
       [](ScriptDocument& d) {
         Text v = R"([1,{"k":"v"}])";
         d.SetText("a", v, true);
       },
       R"({"a":[1,{"k":"v"}]})"},
      {"SetText on a path that evaluates to a text joins without a dot",
       R"({"g_regexp":1})",
       [](ScriptDocument& d) {
         Text v = "x";
         d.SetText("g_regexp", v);  // sets the global dag_regexp instead
       },
       R"({"g_regexp":1})"},
      {"SetExpression", R"({"a":1})",
       [](ScriptDocument& d) { d.SetExpression("b", "[1,2].length*2"); },
       R"({"a":1,"b":4})"},
      {"SetNumber writes 13 significant digits", "{}",
       [](ScriptDocument& d) {
         d.SetNumber("a", 0.1);
         d.SetNumber("b", 1234567890123456.0);
       },
       R"({"a":0.1,"b":1234567890123000})"},
      {"Push onto an absent member makes an array", R"({"a":1})",
       [](ScriptDocument& d) { d.Push("x", "list"); },
       R"({"a":1,"list":["x"]})"},
      {"Push onto a string replaces it by an array", R"({"s":"text"})",
       [](ScriptDocument& d) { d.Push("v", "s"); }, R"({"s":["v"]})"},
      {"Push onto the root array, as JSON", R"([1])",
       [](ScriptDocument& d) { d.Push(R"({"k":2})", "", true); },
       R"([1,{"k":2}])"},
      {"Push of a single quote breaks the statement: nothing changes",
       R"({"s":"text"})", [](ScriptDocument& d) { d.Push("it's", "s"); },
       R"({"s":"text"})"},
      {"SetElement and RemoveElement on the root array", R"([1,2,3])",
       [](ScriptDocument& d) {
         d.SetElement(0, "a");
         d.RemoveElement(1);
       },
       R"(["a",3])"},
      {"RemoveIndexed moves later elements down", R"({"list":[10,20,30]})",
       [](ScriptDocument& d) { d.RemoveIndexed("list[1]"); },
       R"({"list":[10,30]})"},
      {"RemoveIndexed of a path without an index changes nothing",
       R"({"list":[10,20,30]})",
       [](ScriptDocument& d) { d.RemoveIndexed("list"); },
       R"({"list":[10,20,30]})"},
      {"DeleteMember", R"({"a":1,"b":{"c":2,"d":3}})",
       [](ScriptDocument& d) { d.DeleteMember("b.c"); },
       R"({"a":1,"b":{"d":3}})"},
      {"ResetByType 5 makes an empty array", R"({"a":1})",
       [](ScriptDocument& d) { d.ResetByType(5); }, "[]"},
      {"ResetByType 4 makes an empty object", R"([1])",
       [](ScriptDocument& d) { d.ResetByType(4); }, "{}"},
      {"ResetByType 3 changes nothing", R"({"a":1})",
       [](ScriptDocument& d) { d.ResetByType(3); }, R"({"a":1})"},
      {"SetRoot", R"({"a":1})",
       [](ScriptDocument& d) { d.SetRoot("x"); }, R"("x")"},
      {"Clear through a copy is seen through the original", R"({"a":1})",
       [](ScriptDocument& d) { d.Copy().Clear(); }, "{}"},
      {"A change to GetObject's result leaves the original alone",
       R"({"o":{"x":1}})",
       [](ScriptDocument& d) { d.GetObject("o").Clear(); },
       R"({"o":{"x":1}})"},
      {"A second Parse discards what was set before", R"({"a":1})",
       [](ScriptDocument& d) {
         d.SetNumber("b", 2);
         d.Parse(R"({"c":3})");
       },
       R"({"c":3})"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptDocument document;
    ASSERT_TRUE(document.Parse(c.start));
    c.change(document);
    EXPECT_EQ(document.ToText(), c.after);
  }
}

TEST(ScriptDocumentTest, SetTextHoldsBackslashesAsU2400UntilToText) {
  ScriptDocument document;
  Text value = "a\\b";
  document.SetText("a", value);
  // U+2400 has no GBK form; the reads show it as "?".
  EXPECT_EQ(document.GetText("a"), "a?b");
  EXPECT_EQ(document.GetJson("a"), "\"a?b\"");
  EXPECT_EQ(document.ToText(), "{\"a\":\"a\\b\"}");

  Text empty;
  document.SetText("o", empty, true);
  EXPECT_EQ(empty, "{}");
  EXPECT_EQ(document.TypeCode("o"), kJsonObject);
}

TEST(ScriptDocumentTest, ReadsOfSingleValues) {
  ScriptDocument document;
  ASSERT_TRUE(document.Parse(
      R"({"zero":0,"no":false,"empty":"","nil":null,"list":[10,"b",null],)"
      R"("o":{"a":1,"b":2}})"));
  const struct {
    const char* path;
    bool has;
    const char* json;  // GetJson
  } kCases[] = {
      {"zero", true, "0"},     {"no", true, "false"}, {"empty", true, "\"\""},
      {"nil", false, "null"},  {"absent", false, ""}, {"absent.x", false, ""},
      {"list", true, R"([10,"b",null])"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(document.Has(c.path), c.has);
    EXPECT_EQ(document.GetJson(c.path), c.json);
  }
  EXPECT_EQ(document.GetElementText(1, "list"), "b");
  EXPECT_EQ(document.GetElementText(0, "list", true), "10");
  EXPECT_EQ(document.GetElementText(2, "list", true), "null");
  EXPECT_EQ(document.GetElementText(5, "list", true), "");
  EXPECT_EQ(document.GetElementObject(0, "list").TypeCode(), kJsonNumber);
  EXPECT_EQ(document.GetObject("o").GetText("b"), "2");
  EXPECT_EQ(document.GetObject("absent").TypeCode(), kJsonNull);
}

TEST(ScriptDocumentTest, MemberNamesLeaveOutThePreludesMembers) {
  const struct {
    const char* json;
    const char* path;
    TextArray names;
  } kCases[] = {
      {R"({"a":1,"b":{"c":2}})", "", {"a", "b"}},
      {R"({"a":1,"b":{"c":2}})", "b", {"c"}},
      {R"({"o":{}})", "o", {}},
      {R"([7,8,9])", "", {"0", "1", "2"}},
      {R"({"list":[7,8,9]})", "list", {"0", "1", "2"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.json);
    ScriptDocument document;
    ASSERT_TRUE(document.Parse(c.json));
    TextArray names = {"old"};
    EXPECT_EQ(document.MemberNames(names, c.path),
              static_cast<int>(c.names.size()));
    EXPECT_EQ(names, c.names);
  }
}

TEST(ScriptDocumentTest, JsonTextEscapesTheWiderSet) {
  ScriptDocument document;
  // U+00AD, U+200C, U+2028, U+FEFF and U+FFF0 escaped; U+200B (as "?"),
  // 中 and U+2400 not.
  ASSERT_TRUE(document.Parse(
      R"(["\u00ad\u200c\u2028\ufeff\ufff0\u0001\b\t\n\f\r\"\\\/\u200b"])"));
  EXPECT_EQ(document.ToText(),
            R"(["\u00ad\u200c\u2028\ufeff\ufff0\u0001\b\t\n\f\r\"\\/?"])");
  ASSERT_TRUE(document.Parse(base::TextOfUtf8(u8R"(["中\u2400"])")));
  // ToText turns the U+2400 that came in by Parse into a backslash.
  EXPECT_EQ(document.ToText(), base::TextOfUtf8(u8R"(["中\"])"));
  EXPECT_EQ(document.GetText("[0]", true), base::TextOfUtf8(u8R"("中?")"));
}

TEST(ScriptDocumentTest, WithoutAnEngineEveryOperationGivesItsEmptyResult) {
  ScriptDocument::SetEngineUnavailableForTesting(true);
  ScriptDocument document;
  EXPECT_FALSE(document.Parse(R"({"a":1})"));
  EXPECT_EQ(document.GetText("a"), "");
  EXPECT_EQ(document.Count(), 0);
  EXPECT_EQ(document.TypeCode(), kJsonUnresolved);
  EXPECT_EQ(document.GetEngine(), nullptr);
  document.Destroy();
  ScriptDocument::SetEngineUnavailableForTesting(false);

  // After Destroy nothing reaches an engine again.
  ScriptDocument destroyed;
  destroyed.Destroy();
  EXPECT_FALSE(destroyed.Parse("1"));
  EXPECT_EQ(destroyed.GetText("a", true), "");
}

}  // namespace
}  // namespace json
