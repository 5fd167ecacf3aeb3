// The support-library stand-ins: strict loading, path walking and the text of the value found.
#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"
#include "platform/CometJson.h"
#include "platform/E2eeStore.h"

using qoxa::platform::CometJson;
using qoxa::platform::E2eeKeyValueTable;
using qoxa::platform::E2eeList;
using qoxa::platform::Utf8ToGb18030;

namespace {

// Written with blanks everywhere the grammar allows them; 乕 is GB18030 81 5B, whose second
// byte is '[' in the byte text.
const char* const kDoc = R"( {
  "a" : { "b" : [ 10 , [ 20, 21 ] , { "x" : "y" } ] },
  "s" : "q\"\\\/\b\f\n\r\t\u4e2d\ud83d\ude00\u00e9",
  "n" : -1.50e+3, "big": 123456789012345678901234567890, "neg0": -0,
  "t" : true, "f" : false, "z" : null,
  "dup" : 1, "dup" : 2,
  "数据" : { "名称" : "值" },
  "乕" : [ "p" ],
  "\u0061\u0062" : "escaped key",
  "e" : { }, "ea" : [ ],
  "esc" : { "k" : "\u0041\u0001\"\n\/中" },
  "" : "empty name"
} )";

std::string Gb(const char* utf8) { return Utf8ToGb18030(utf8); }

struct PathCase {
  const char* path;  // UTF-8, converted to GB18030 like the caller's text
  const char* text;  // expected, UTF-8
};

const PathCase kCometCases[] = {
    {"a.b[0]", "10"},
    {"a.b[1][1]", "21"},
    {"a.b[2].x", "y"},
    {"a.b[1]", "[20,21]"},
    {"a", R"({"b":[10,[20,21],{"x":"y"}]})"},
    {"a.b[3]", ""},
    {"a.c", ""},
    {"a.b[2].x.y", ""},
    {"a[0]", ""},          // index on an object
    {"a.b.x", ""},         // name on an array
    {"a.b[x]", ""},
    {"a.b[", ""},
    {"a.b[1", ""},
    {"a.b[-1]", ""},
    {"a.b[0]junk", ""},
    {"a.b[99999999999999999999999]", ""},
    {"s", "q\"\\/\b\f\n\r\t中\xF0\x9F\x98\x80\xC3\xA9"},
    {"n", "-1.50e+3"},
    {"big", "123456789012345678901234567890"},
    {"neg0", "-0"},
    {"t", "true"},
    {"f", "false"},
    {"z", "null"},
    {"dup", "1"},
    {"数据.名称", "值"},
    {".数据.名称", "值"},  // the empty segment in front is passed over
    {"乕", R"(["p"])"},
    {"乕[0]", "p"},
    {"ab", "escaped key"},
    {"e", "{}"},
    {"ea", "[]"},
    {"esc", "{\"k\":\"A\\u0001\\\"\\n/中\"}"},
    {"missing", ""},
};

TEST(CometJson, AnswersPathsWithZeroBasedIndexes) {
  CometJson doc;
  ASSERT_TRUE(doc.Parse(Gb(kDoc)));
  for (const auto& c : kCometCases) {
    EXPECT_EQ(doc.Query(Gb(c.path)).TextValue(), Gb(c.text)) << c.path;
  }
}

TEST(CometJson, EmptyPathIsTheWholeDocumentInCompactForm) {
  CometJson doc;
  ASSERT_TRUE(doc.Parse(" [ 1 , \"a b\" , { \"k\" : [ ] } , 2.50 ]\r\n"));
  EXPECT_EQ(doc.Query("").TextValue(), R"([1,"a b",{"k":[]},2.50])");
  EXPECT_EQ(doc.TextValue(), R"([1,"a b",{"k":[]},2.50])");
  EXPECT_EQ(doc.Query("[2].k").TextValue(), "[]");
  EXPECT_EQ(doc.Query("[3]").TextValue(), "2.50");
  EXPECT_EQ(doc.Query("[4]").TextValue(), "");
}

TEST(CometJson, QueriesChainAndEmptyValuesStayEmpty) {
  CometJson doc;
  ASSERT_TRUE(doc.Parse(R"({"a":{"b":[1,{"c":"d"}]},"z":null})"));
  const CometJson a = doc.Query("a");
  EXPECT_EQ(a.Query("b[1].c").TextValue(), "d");
  EXPECT_EQ(a.Query("").TextValue(), R"({"b":[1,{"c":"d"}]})");
  const CometJson missing = doc.Query("nope");
  EXPECT_TRUE(missing.IsEmpty());
  EXPECT_EQ(missing.TextValue(), "");
  EXPECT_EQ(missing.Query("").TextValue(), "");
  // A JSON null is a value; only a step that finds nothing gives the empty value.
  EXPECT_FALSE(doc.Query("z").IsEmpty());
  EXPECT_EQ(doc.Query("z").TextValue(), "null");
}

TEST(CometJson, ScalarDocuments) {
  struct Case { const char* text; const char* value; };
  const Case cases[] = {
      {" 12.0 ", "12.0"}, {"\"s\\u0020t\"", "s t"}, {"null", "null"}, {"-0", "-0"}, {"1E+2", "1E+2"},
  };
  for (const auto& c : cases) {
    CometJson doc;
    ASSERT_TRUE(doc.Parse(c.text)) << c.text;
    EXPECT_EQ(doc.Query("").TextValue(), c.value) << c.text;
    EXPECT_EQ(doc.Query("a").TextValue(), "") << c.text;
    EXPECT_EQ(doc.Query("[0]").TextValue(), "") << c.text;
  }
}

TEST(CometJson, RejectsWhatIsNotOneStrictJsonValue) {
  const char* const rejected[] = {
      "", " ", "{a:1}", "[1,]", "{\"a\":1,}", "01", "'x'", "[1] [2]", "NaN", "{\"a\":1",
      "\"\\x\"", "1.", ".5", "+1", "[1]x", "// c\n[1]", "[\"a\tb\"]", "True", "{\"a\" 1}",
  };
  for (const char* text : rejected) {
    CometJson doc;
    EXPECT_FALSE(doc.Parse(text)) << text;
    EXPECT_EQ(doc.Query("").TextValue(), "") << text;
  }
  CometJson doc;
  ASSERT_TRUE(doc.Parse("[1]"));
  EXPECT_FALSE(doc.Parse("[1"));  // a failed parse drops the previous document
  EXPECT_EQ(doc.Query("[0]").TextValue(), "");
}

TEST(CometJson, SurvivesDeepNesting) {
  const size_t depth = 100000;
  const std::string text = std::string(depth, '[') + std::string(depth, ']');
  CometJson doc;
  ASSERT_TRUE(doc.Parse(text));
  EXPECT_EQ(doc.TextValue(), text);
  std::string path;
  for (size_t i = 1; i < depth; ++i) path += "[0]";
  EXPECT_EQ(doc.Query(path).TextValue(), "[]");
  EXPECT_EQ(doc.Query(path + "[0]").TextValue(), "");
}

const PathCase kTableCases[] = {
    {"//a[2]", "6"},
    {"//a[1]", "5"},
    {"a[1]", "5"},
    {"//a[0]", ""},  // indexes count from 1
    {"//a[3]", ""},
    {"a", "[5,6]"},
    {"//b.c", "x"},
    {"b.c", "x"},
    {"//", R"({"a":[5,6],"b":{"c":"x","m":[[1,2],[3,4]]},"数据":{"名称":1.0}})"},
    {"", R"({"a":[5,6],"b":{"c":"x","m":[[1,2],[3,4]]},"数据":{"名称":1.0}})"},
    {"//b.m[2][1]", "3"},
    {"//.数据.名称", "1.0"},
    {"////a", ""},  // only one leading "//" is taken off
};

TEST(E2eeKeyValueTable, AnswersPathsWithOneBasedIndexes) {
  E2eeKeyValueTable table;
  ASSERT_TRUE(table.LoadJson(Gb(R"({"a":[5,6],"b":{"c":"x","m":[[1,2],[3,4]]},"数据":{"名称":1.0}})"), true, true));
  for (const auto& c : kTableCases) EXPECT_EQ(table.Text(Gb(c.path)), Gb(c.text)) << c.path;
}

TEST(E2eeList, AnswersPathsWithOneBasedIndexes) {
  E2eeList list;
  ASSERT_TRUE(list.LoadJson(R"([{"a":1},[true,"s"]])", true, true));
  EXPECT_EQ(list.Text("[1].a"), "1");
  EXPECT_EQ(list.Text("//[1].a"), "1");
  EXPECT_EQ(list.Text("[0].a"), "");
  EXPECT_EQ(list.Text("[2][2]"), "s");
  EXPECT_EQ(list.Text("[2]"), "[true,\"s\"]");
  EXPECT_EQ(list.Text("[3]"), "");
}

TEST(E2eeStore, LoadsOnlyItsOwnKindOfTopLevelValue) {
  struct Case { const char* text; bool list; bool table; };
  const Case cases[] = {
      {"[1]", true, false},   {"{\"a\":1}", false, true}, {" \r\n[1] ", true, false},
      {" {} ", false, true},  {"1", false, false},        {"\"[\"", false, false},
      {"[1,]", false, false}, {"{\"a\":}", false, false}, {"", false, false},
  };
  for (const auto& c : cases) {
    E2eeList list;
    E2eeKeyValueTable table;
    EXPECT_EQ(list.LoadJson(c.text, true, true), c.list) << c.text;
    EXPECT_EQ(table.LoadJson(c.text, true, true), c.table) << c.text;
    if (!c.list) {
      EXPECT_EQ(list.Text(""), "") << c.text;
    }
  }
  E2eeKeyValueTable table;
  ASSERT_TRUE(table.LoadJson("{\"a\":1}", true, true));
  EXPECT_FALSE(table.LoadJson("[1]", true, true));  // a failed load drops the previous document
  EXPECT_EQ(table.Text("a"), "");
}

}  // namespace

namespace {

// Numbers beyond 64 bits and unpaired surrogate escapes are grammatical JSON: they load, the
// number keeps its token and the lone surrogate reads as U+FFFD.
TEST(CometJson, AcceptsGrammaticalJsonBeyondNumberAndSurrogateLimits) {
  CometJson doc;
  ASSERT_TRUE(doc.Parse(R"({"id":123456789012345678901234567890,"x":[1e400,-1E-400],"s":"a\ud800b\udc00"})"));
  EXPECT_EQ(doc.Query("id").TextValue(), "123456789012345678901234567890");
  EXPECT_EQ(doc.Query("x").TextValue(), "[1e400,-1E-400]");
  EXPECT_EQ(doc.Query("s").TextValue(), Gb("a\xEF\xBF\xBD" "b\xEF\xBF\xBD"));
  // The grammar check that takes over for those texts is as strict as simdjson otherwise.
  const char* const rejected[] = {
      "[1e400,]", "[1e400 2]", "{\"a\":1e400,}", "[1e400", "[01e400]", "[1e400,\"\\x\"]",
      "[\"\\ud800\",1.]", "[\"\\ud80\"]", "[1e400]]", "{\"a\" 1e400}", "[1e400,\"a\tb\"]", "[1e400,tru]",
  };
  for (const char* text : rejected) EXPECT_FALSE(doc.Parse(text)) << text;
  const std::string deep = std::string(100000, '[') + "1e400" + std::string(100000, ']');
  EXPECT_TRUE(doc.Parse(deep));
}

}  // namespace
