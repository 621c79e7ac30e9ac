// The native reader on broken and hostile answers, and on paths beyond the
// program's own.
#include "json/native_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "base/gbk.h"
#include "json/json_text.h"

namespace json {
namespace {

// After a failed Parse every read is empty.
void ExpectEmptyReads(NativeReader& reader) {
  for (const char* path : {"a", "a[0]", "[0]", "resultMsg"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(reader.GetText(path), "");
    EXPECT_EQ(reader.GetText(path, true), "");
    EXPECT_EQ(reader.Count(path), 0);
    EXPECT_EQ(reader.GetNumber(path), 0);
  }
  EXPECT_EQ(reader.Count(), 0);
}

TEST(NativeReaderTest, RefusesBrokenAnswers) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const std::string deepObjects = [] {
    std::string s;
    for (int i = 0; i < 100000; ++i) s += "{\"a\":";
    return s + "1" + std::string(100000, '}');
  }();
  const struct {
    const char* name;
    std::string utf8;
    int rootType;  // TypeCode() afterwards: null, or undefined for blank
  } kCases[] = {
      {"100,000 nested arrays", deep, kJsonNull},
      {"100,000 nested objects", deepObjects, kJsonNull},
      {"nested one level too deep",
       std::string(NativeReader::kMaxDepth + 1, '[') +
           std::string(NativeReader::kMaxDepth + 1, ']'),
       kJsonNull},
      {"invalid UTF-8 in a string", "{\"a\":\"\xC3\x28\"}", kJsonNull},
      {"a lone surrogate half in UTF-8", "{\"a\":\"\xED\xA0\x80\"}", kJsonNull},
      {"cut in a string", R"({"a":"abc)", kJsonNull},
      {"cut after a member", R"({"a":[1,2],)", kJsonNull},
      {"two values", R"({"a":1} {"b":2})", kJsonNull},
      {"script, not JSON", "{a:'x'}", kJsonNull},
      {"an endless loop as script", "0);for(;;){}(0", kJsonNull},
      {"blank", " \r\n\t", kJsonNull},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    NativeReader reader;
    // A reader that recursed per level would exhaust the stack here.
    EXPECT_FALSE(reader.ParseUtf8(c.utf8));
    EXPECT_EQ(reader.TypeCode(), c.rootType);
    ExpectEmptyReads(reader);
  }

  // Nesting up to the limit is read.
  NativeReader reader;
  EXPECT_TRUE(reader.ParseUtf8(std::string(NativeReader::kMaxDepth, '[') +
                               std::string(NativeReader::kMaxDepth, ']')));
  EXPECT_EQ(reader.Count(), 1);
}

TEST(NativeReaderTest, RefusesBrokenGbkAnswers) {
  // The GBK text a handler passes: cut inside a double-byte character, or
  // cut in the middle of the answer.
  const Text whole = base::TextOfUtf8(u8R"({"resultMsg":"成功"})");
  for (const Text& text : {whole.substr(0, 15), whole.substr(0, 8)}) {
    SCOPED_TRACE(text);
    NativeReader reader;
    EXPECT_FALSE(reader.Parse(text));
    ExpectEmptyReads(reader);
  }
}

TEST(NativeReaderTest, ReadsPathsAsScriptWould) {
  NativeReader reader;
  ASSERT_TRUE(reader.Parse(base::TextOfUtf8(
      u8R"({"s":"ab中😀","list":[10,20,30],"o":{"1":"one","b c":2,"length":1e10},)"
      u8R"("名字":"值","n":null})")));
  const struct {
    const char* path;
    const char8_t* text;
    int typeCode;
  } kCases[] = {
      {"s.length", u8"5", kJsonNumber},      // UTF-16 units
      {"s[2]", u8"中", kJsonString},
      {"s[9]", u8"", kJsonNull},
      {"list.length", u8"3", kJsonNumber},
      {"list[01]", u8"20", kJsonNumber},     // 01 is 1
      {"list[010]", u8"", kJsonNull},        // legacy octal: 8
      {"list[-1]", u8"", kJsonNull},
      {"list.x", u8"", kJsonNull},
      {"o[1]", u8"one", kJsonString},
      {"o['b c']", u8"2", kJsonNumber},
      {"o[\"1\"]", u8"one", kJsonString},
      {"名字", u8"值", kJsonString},
      {"n.x", u8"", kJsonUnresolved},
      {"s.x.y", u8"", kJsonUnresolved},
      {"list[1", u8"", kJsonUnresolved},
      {"list..x", u8"", kJsonUnresolved},
      {"1a", u8"", kJsonUnresolved},
      {"s + 1", u8"", kJsonUnresolved},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.path);
    const Text path = base::TextOfUtf8(
        std::u8string_view(reinterpret_cast<const char8_t*>(c.path)));
    EXPECT_EQ(reader.GetText(path), base::TextOfUtf8(c.text));
    EXPECT_EQ(reader.TypeCode(path), c.typeCode);
  }
  // An object's length member counts, truncated toward zero; one beyond
  // int counts 0.
  EXPECT_EQ(reader.Count("o"), 0);
}

TEST(NativeReaderTest, CopiesShareTheValueUntilParseOrDestroy) {
  NativeReader reader;
  EXPECT_EQ(reader.TypeCode(), kJsonObject);  // constructed: empty object
  ASSERT_TRUE(reader.Parse(R"({"a":1})"));
  const std::unique_ptr<JsonBacking> copy = reader.CopyBacking();
  EXPECT_EQ(copy->GetText("a", false), "1");

  // Parse loads a new value; the copy keeps the old one.
  ASSERT_TRUE(reader.Parse(R"({"a":2})"));
  EXPECT_EQ(copy->GetText("a", false), "1");

  reader.Destroy();
  EXPECT_FALSE(reader.Parse(R"({"a":3})"));
  EXPECT_EQ(reader.GetText("a"), "");
  EXPECT_EQ(reader.TypeCode(), kJsonUnresolved);
  EXPECT_EQ(copy->GetText("a", false), "1");
}

TEST(JsonTextTest, NumbersAsTheEngineWritesAndReadsThem) {
  const struct {
    double x;
    const char* text;
  } kCases[] = {
      {158, "158"},          {12.5, "12.5"},      {0.1, "0.1"},
      {-3, "-3"},            {1e21, "1e+21"},     {1e20, "100000000000000000000"},
      {5e-7, "5e-7"},        {1.5e-6, "0.0000015"}, {-0.0, "0"},
      {1.2345e-30, "1.2345e-30"}, {0.30000000000000004, "0.30000000000000004"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ScriptNumberText(c.x), c.text);
  }

  const struct {
    const char* text;
    std::optional<double> n;
  } kTexts[] = {
      {"158", 158},  {" 12.5 ", 12.5}, {"", 0},          {"-.5e1", -5},
      {"1e400", std::numeric_limits<double>::infinity()},
      {"12px", std::nullopt},          {"0x10", std::nullopt},
      {"1,5", std::nullopt},           {".", std::nullopt},
  };
  for (const auto& c : kTexts) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(NumberOfText(c.text), c.n);
  }
  EXPECT_EQ(IntTowardZero(-3.9), -3);
  EXPECT_EQ(IntTowardZero(1e10), 0);
}

}  // namespace
}  // namespace json
