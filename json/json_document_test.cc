// The two backings side by side: for JSON answers and the program's paths
// the native reader gives what the script-engine document gives.
#include "json/json_document.h"

#include <gtest/gtest.h>

#include <string>

#include "base/gbk.h"

namespace json {
namespace {

Text Gbk(const char8_t* utf8) { return base::TextOfUtf8(utf8); }

// Answers as the handlers see them: GBK text after Utf8ToGbk.
const char8_t* const kAnswers[] = {
    // A list answer with both arrays; 特权 written as escapes in one name.
    u8R"({"resultCode":"0","resultMsg":"成功","resultData":{"data":{)"
    u8R"("subRightsList1":[{"name":"视频\u7279\u6743","subRightsVal":158,)"
    u8R"("subTitle":"月卡","userLevel":"3","rightsTarget":"V2","rightsId":"1001"},)"
    u8R"({"name":"外卖券","subRightsVal":12.5,"subTitle":"","userLevel":null,)"
    u8R"("rightsTarget":"V1","rightsId":1002}],)"
    u8R"("subRightsList2":[{"name":"加油卡","subRightsVal":0.1,"rightsId":"2001"}]}}})",
    // A draw answer.
    u8R"({"resultCode":"0","resultData":{"resultMessage":"领取成功\n请查收"}})",
    u8R"({"a":158,"b":12.5,"c":0.1,"d":1234567890123456,"e":-3,"f":1e21,)"
    u8R"("g":5e-7,"h":"158","i":"12px","j":true,"k":false})",
    u8R"( {"q":"say \"hi\"\\ \/ \t \u4e2d\u6587 \ud83d\ude00 \u2400 \u00ad",)"
    u8R"("z":"a\u0000b","u":"中文\r\n"} )",
    // Halves of a surrogate pair alone (an emoji cut in two), then whole.
    u8R"({"a":"x\ud83dy","b":"\ude00","c":"\ud83d\ude00","d":"\ud83d"})",
    u8R"([10,{"x":"y"},[1,null,"s",[2,3]],true,"汉字"])",
    u8R"({"length":3.7,"obj":{"length":"2","b":1,"2":"two","1":"one"},)"
    u8R"("n":null,"dup":1,"dup":2,"big":12345678901234567890})",
    u8"null",
    u8"false",
    u8"158",
    u8"",
    u8"   ",
    u8"<html><body><h1>502 Bad Gateway</h1></body></html>",
    u8"\uFEFF{\"a\":1}",  // the BOM arrives as "?"
    u8R"({"a":[1,2)",      // cut in the middle
};

// Reads whose result the design leaves to each backing: the engine builds
// an invalid statement for them, where the native reader reads the value.
enum LeftOpen {
  kNone = 0,
  kTypeCode = 1,   // a path that begins with "[" ("da.[0]")
  kGetNumber = 2,  // a path that begins with "[", or the empty path
  kGetText = 4,    // GetText without asJson: the number formatting of a
                   // path that begins with "[", and the empty path ("da.")
};

const struct {
  const char* path;
  int leftOpen;
} kPaths[] = {
    {"resultMsg", kNone},
    {"resultCode", kNone},
    {"resultData.resultMessage", kNone},
    {"resultData.data", kNone},
    {"resultData.data.subRightsList1", kNone},
    {"resultData.data.subRightsList1[0].name", kNone},
    {"resultData.data.subRightsList1[0].subRightsVal", kNone},
    {"resultData.data.subRightsList1[1].subRightsVal", kNone},
    {"resultData.data.subRightsList1[1].userLevel", kNone},
    {"resultData.data.subRightsList1[1].rightsId", kNone},
    {"resultData.data.subRightsList2", kNone},
    {"resultData.data.subRightsList2[0].subRightsVal", kNone},
    {"resultData.data.subRightsList2[1].name", kNone},
    {"resultData.data.subRightsList3[0].name", kNone},
    {"a", kNone}, {"b", kNone}, {"c", kNone}, {"d", kNone}, {"e", kNone},
    {"f", kNone}, {"g", kNone}, {"h", kNone}, {"i", kNone}, {"j", kNone},
    {"k", kNone}, {"q", kNone}, {"z", kNone}, {"u", kNone},
    {"q.length", kNone},
    {"u[0]", kNone},
    {"length", kNone},
    {"obj", kNone},
    {"obj[2]", kNone},
    {"obj.b", kNone},
    {"n", kNone},
    {"n.x", kNone},
    {"dup", kNone},
    {"big", kNone},
    {"missing", kNone},
    {"missing.x", kNone},
    {"a.x", kNone},
    {"[0]", kTypeCode | kGetNumber | kGetText},
    {"[1].x", kTypeCode | kGetNumber | kGetText},
    {"[2]", kTypeCode | kGetNumber | kGetText},
    {"[2][3]", kTypeCode | kGetNumber | kGetText},
    {"[4]", kTypeCode | kGetNumber | kGetText},
    {"[9]", kTypeCode | kGetNumber | kGetText},
    {"", kGetNumber | kGetText},
};

TEST(JsonDocumentTest, NativeReaderReadsWhatTheScriptEngineReads) {
  for (const char8_t* const& answer : kAnswers) {
    const Text text = base::Utf8ToGbk(reinterpret_cast<const char*>(answer));
    SCOPED_TRACE(testing::Message() << "answer " << (&answer - kAnswers)
                                    << ": " << text);
    JsonDocument native;
    JsonDocument engine = JsonDocument::WithScriptEngine();
    EXPECT_EQ(native.Parse(text), engine.Parse(text));
    for (const auto& p : kPaths) {
      SCOPED_TRACE(testing::Message() << "path \"" << p.path << "\"");
      EXPECT_EQ(native.GetText(p.path, true), engine.GetText(p.path, true));
      EXPECT_EQ(native.Count(p.path), engine.Count(p.path));
      if (!(p.leftOpen & kGetText)) {
        EXPECT_EQ(native.GetText(p.path), engine.GetText(p.path));
      }
      if (!(p.leftOpen & kTypeCode)) {
        EXPECT_EQ(native.TypeCode(p.path), engine.TypeCode(p.path));
      }
      if (!(p.leftOpen & kGetNumber)) {
        EXPECT_EQ(native.GetNumber(p.path), engine.GetNumber(p.path));
      }
    }
    native.Destroy();
    engine.Destroy();
  }
}

// The same answers read with the results fixed, so that agreement is not
// agreement on a wrong value.
TEST(JsonDocumentTest, ReadsAnswersAsTheHandlersNeed) {
  const struct {
    int answer;  // index into kAnswers
    const char* path;
    const char8_t* text;  // UTF-8; nullptr: not checked
    const char8_t* json;
    int typeCode;
    int count;
  } kCases[] = {
      {0, "resultMsg", u8"成功", u8"\"成功\"", 6, 0},
      {0, "resultData.data.subRightsList1[0].name", u8"视频特权",
       u8"\"视频特权\"", 6, 0},
      {0, "resultData.data.subRightsList1", nullptr, nullptr, 5, 2},
      {0, "resultData.data.subRightsList2[0].subRightsVal", u8"0.1", u8"0.1",
       2, 0},
      {0, "resultData.data.subRightsList1[1].userLevel", u8"", u8"null", 0, 0},
      {0, "resultData.resultMessage", u8"", u8"", 0, 0},
      {0, "resultData.data.subRightsList3[0].name", u8"", u8"", -1, 0},
      {1, "resultData.resultMessage", u8"领取成功\n请查收",
       u8"\"领取成功\\n请查收\"", 6, 0},
      {2, "a", u8"158", u8"158", 2, 0},
      {2, "b", u8"12.5", u8"12.5", 2, 0},
      {2, "d", u8"1.234567890123e+015", u8"1234567890123456", 2, 0},
      {2, "f", u8"1e+021", u8"1e+21", 2, 0},
      {2, "g", u8"5e-007", u8"5e-7", 2, 0},
      {2, "h", u8"158", u8"\"158\"", 6, 0},
      {2, "k", u8"false", u8"false", 1, 0},
      // The emoji gives one "?" per UTF-16 unit; U+00AD has a best fit.
      {3, "q", u8"say \"hi\"\\ / \t 中文 ?? ? -",
       u8R"("say \"hi\"\\ / \t 中文 ?? ? \u00ad")", 6, 0},
      {3, "z", u8"a", u8R"("a\u0000b")", 6, 0},
      {4, "a", u8"x?y", u8R"("x?y")", 6, 0},
      {4, "c", u8"??", u8R"("??")", 6, 0},
      {5, "[2]", u8"1,,s,2,3", u8R"([1,null,"s",[2,3]])", 5, 4},
      {5, "[1]", u8"[object Object]", u8R"({"x":"y"})", 4, 0},
      {6, "obj", u8"[object Object]", u8R"({"1":"one","2":"two","length":"2","b":1})", 4, 2},
      {6, "", nullptr, nullptr, 4, 3},
      {6, "dup", u8"2", u8"2", 2, 0},
      {6, "big", u8"1.234567890123e+019", u8"12345678901234567000", 2, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "answer " << c.answer << ", " << c.path);
    JsonDocument document;
    ASSERT_TRUE(document.Parse(
        base::Utf8ToGbk(reinterpret_cast<const char*>(kAnswers[c.answer]))));
    if (c.text) {
      EXPECT_EQ(document.GetText(c.path), Gbk(c.text));
    }
    if (c.json) {
      EXPECT_EQ(document.GetText(c.path, true), Gbk(c.json));
    }
    EXPECT_EQ(document.TypeCode(c.path), c.typeCode);
    EXPECT_EQ(document.Count(c.path), c.count);
  }
}

}  // namespace
}  // namespace json
