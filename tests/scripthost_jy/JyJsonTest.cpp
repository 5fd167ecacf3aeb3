#include "scripthost/JyJson.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace qoxa::script {
namespace {

using platform::Utf8ToGb18030;

struct LookupCase {
  const char* text;
  const char* path;
  const char* expected;  // UTF-8
};

class JyJsonLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(JyJsonLookup, GivesTheJsonTextOfThePath) {
  const LookupCase& c = GetParam();
  JyJson jy;
  ASSERT_TRUE(jy.Parse(Utf8ToGb18030(c.text))) << c.text;
  EXPECT_EQ(jy.GetValue(Utf8ToGb18030(c.path), true), Utf8ToGb18030(c.expected)) << c.text << " @ " << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JyJsonLookup,
    ::testing::Values(
        LookupCase{R"({"a":1})", "a", "1"}, LookupCase{R"({"a":1})", "", R"({"a":1})"},
        LookupCase{"[1,2]", "[1]", "2"}, LookupCase{R"({"a":"x"})", "a", R"("x")"},
        LookupCase{R"({"a":1})", "b", ""}, LookupCase{R"({"a":1})", "a.b.c", ""},
        LookupCase{R"([{"k":[0,{"z":"中文"}]}])", "[0].k[1].z", R"("中文")"},
        LookupCase{R"({"a":{"b c":true}})", "a['b c']", "true"},
        LookupCase{R"({"名称":{"值":"数据"}})", "名称.值", R"("数据")"},
        LookupCase{R"({"名称":{"值 x":[1]}})", "['名称']['值 x'][0]", "1"},
        // Lenient texts are evaluated as expressions.
        LookupCase{"{a:1}", "a", "1"}, LookupCase{"{'a':'x',b:[1,2,],}", "", R"({"a":"x","b":[1,2]})"},
        LookupCase{"{a:1+2, /* note */ b:0x10}", "", R"({"a":3,"b":16})"},
        // Member names that look like array indexes come first, in ascending order.
        LookupCase{R"({"b":1,"2":2,"a":3,"1":4})", "", R"({"1":4,"2":2,"b":1,"a":3})"},
        // Escapes of the classic writer: controls, quote, backslash and the invisible characters.
        LookupCase{"[\"q\\\"b\\\\t\\t\\u0001\\u007f\\u00ad\\u200d\\u2028\\ufeff\\uffff/\"]", "[0]",
                   "\"q\\\"b\\\\t\\t\\u0001\\u007f\\u00ad\\u200d\\u2028\\ufeff\\uffff/\""},
        LookupCase{"[\"\\u009f\\u00a0\\u0604\\u0605\\u206f\\u2070\\uffef\\ufff0\"]", "[0]",
                   "\"\\u009f\u00a0\\u0604\u0605\\u206f\u2070\uffef\\ufff0\""},
        LookupCase{"[\"\\u00e9\\u4e2d\\ud83d\\ude00\"]", "[0]", "\"é中😀\""},
        // A lone surrogate stays an escape instead of turning into a replacement character.
        LookupCase{"[\"\\ud800x\"]", "[0]", "\"\\ud800x\""},
        // "__proto__" in an object literal sets the prototype, as evaluation gives it.
        LookupCase{R"({"__proto__":{"p":1},"a":2})", "p", "1"},
        LookupCase{R"({"__proto__":{"p":1},"a":2})", "", R"({"a":2})"}));

TEST(JyJson, ParseFailsForTextsWithoutValue) {
  for (const char* text : {"", "null", "undefined", "{", "{\"a\":1} // note", "not json", "\"a\"+", "x=1;y"}) {
    JyJson jy;
    EXPECT_FALSE(jy.Parse(text)) << text;
    EXPECT_EQ(jy.GetValue("a", true), "") << text;
  }
}

TEST(JyJson, TextIsAnExpressionInsideEval) {
  JyJson jy;
  // A string value is evaluated once more, as the script call in the original does.
  ASSERT_TRUE(jy.Parse("\"1+2\""));
  EXPECT_EQ(jy.GetValue("", true), "3");
  ASSERT_TRUE(jy.Parse("0"));
  EXPECT_EQ(jy.GetValue("", true), "0");
  ASSERT_TRUE(jy.Parse("  [1, 2]\r\n"));
  EXPECT_EQ(jy.ToJson(), "[1,2]");
}

TEST(JyJson, EveryParseStartsWithAFreshGlobal) {
  JyJson jy;
  ASSERT_TRUE(jy.Parse("(leak = 5, {a:1})"));
  EXPECT_EQ(jy.GetValue("", true), R"({"a":1})");
  ASSERT_TRUE(jy.Parse("[typeof leak, typeof JSON, typeof get__count]"));
  EXPECT_EQ(jy.GetValue("", true), R"(["undefined","object","function"])");
  // Changes to the built-ins do not outlive their parse either.
  ASSERT_TRUE(jy.Parse("(Array.prototype.push = null, Object.prototype.x = 1, [1])"));
  ASSERT_TRUE(jy.Parse("[typeof Array.prototype.push, typeof ({}).x]"));
  EXPECT_EQ(jy.GetValue("", true), R"(["function","undefined"])");
}

TEST(JyJson, GetValueWithoutJsonGivesThePlainText) {
  JyJson jy;
  ASSERT_TRUE(jy.Parse(Utf8ToGb18030(R"({"s":"中\"x","n":1.5,"b":false,"z":null,"big":1e21})")));
  EXPECT_EQ(jy.GetValue("s", false), Utf8ToGb18030("中\"x"));
  EXPECT_EQ(jy.GetValue("n", false), "1.5");
  EXPECT_EQ(jy.GetValue("big", false), "1e+21");
  EXPECT_EQ(jy.GetValue("b", false), "false");
  EXPECT_EQ(jy.GetValue("z", false), "");
  EXPECT_EQ(jy.GetValue("missing.deeper", false), "");
  EXPECT_DOUBLE_EQ(jy.GetNumber("n"), 1.5);
  EXPECT_DOUBLE_EQ(jy.GetNumber("missing.deeper"), 0);
}

TEST(JyJson, CountAndKeysLeaveThePrototypeMembersOut) {
  JyJson jy;
  ASSERT_TRUE(jy.Parse(R"({"a":{"x":1,"y,z":2,"toJSONString":3,"parseJSONx":4},"l":[5,6,7],"e":{}})"));
  EXPECT_EQ(jy.Count(""), 3);
  EXPECT_EQ(jy.Count("l"), 3);
  EXPECT_EQ(jy.Count("e"), 0);
  EXPECT_EQ(jy.Count("a"), 3);  // its own "toJSONString" is left out like the prototype's
  EXPECT_EQ(jy.Count("missing"), -2);
  std::vector<std::string> names;
  EXPECT_EQ(jy.Keys(names, "a"), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"x", "y,z", "parseJSONx"}));
  EXPECT_EQ(jy.Keys(names, ""), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "l", "e"}));
  EXPECT_EQ(jy.Keys(names, "missing.deeper"), 0);
  EXPECT_TRUE(names.empty());
  // The members are enumerable on every object, as the helper script installs them.
  ASSERT_TRUE(jy.Parse("(function(){var n=[];for(var k in {})n.push(k);return n})()"));
  EXPECT_EQ(jy.ToJson(), R"(["toJSONString","parseJSON"])");
}

TEST(JyJson, TypeOfAndExists) {
  JyJson jy;
  ASSERT_TRUE(jy.Parse(R"({"s":"x","n":1,"b":true,"o":{},"l":[1],"z":null})"));
  EXPECT_EQ(jy.TypeOf("s"), 6);
  EXPECT_EQ(jy.TypeOf("n"), 2);
  EXPECT_EQ(jy.TypeOf("b"), 1);
  EXPECT_EQ(jy.TypeOf("o"), 4);
  EXPECT_EQ(jy.TypeOf("l"), 5);
  EXPECT_EQ(jy.TypeOf("z"), 0);
  EXPECT_EQ(jy.TypeOf("missing"), 0);
  EXPECT_EQ(jy.TypeOf("missing.deeper"), -1);
  EXPECT_EQ(jy.TypeOf(""), 4);
  EXPECT_TRUE(jy.Exists("l"));
  EXPECT_TRUE(jy.Exists("l[0]"));
  EXPECT_FALSE(jy.Exists("z"));
  EXPECT_FALSE(jy.Exists("missing.deeper"));
  ASSERT_TRUE(jy.Parse("[[1]]"));
  EXPECT_EQ(jy.TypeOf("[0]"), 5);
  EXPECT_TRUE(jy.Exists("[0][0]"));
}

TEST(JyJson, ChangingTheDocument) {
  JyJson jy;
  ASSERT_TRUE(jy.Parse(R"({"a":{}})"));
  EXPECT_TRUE(jy.SetText("a.s", Utf8ToGb18030("it's \\ 中")));
  EXPECT_TRUE(jy.SetText("a.j", "[1,{b:2}]", true));
  EXPECT_TRUE(jy.SetText("a.e", "", true));
  EXPECT_TRUE(jy.SetJson("a.k", "{\"x\":null}"));
  EXPECT_TRUE(jy.SetNumber("a.n", -2.5));
  EXPECT_EQ(jy.GetJson("a"), Utf8ToGb18030(R"({"s":"it's \\ 中","j":[1,{"b":2}],"e":{},"k":{"x":null},"n":-2.5})"));
  EXPECT_FALSE(jy.SetText("missing.deeper", "x"));

  EXPECT_TRUE(jy.Push("x", "l"));  // not an array yet: becomes one
  EXPECT_TRUE(jy.Push("{\"y\":1}", "l", true));
  EXPECT_EQ(jy.GetJson("l"), R"(["x",{"y":1}])");
  EXPECT_EQ(jy.GetElement(1, "l", true), R"({"y":1})");
  EXPECT_EQ(jy.GetElement(0, "l", false), "x");
  EXPECT_EQ(jy.GetElementObject(1, "l").GetValue("y", true), "1");
  EXPECT_EQ(jy.GetObject("a.j").GetValue("[1].b", true), "2");
  EXPECT_TRUE(jy.RemoveAt("a.j[0]"));
  EXPECT_EQ(jy.GetJson("a.j"), R"([{"b":2}])");
  EXPECT_FALSE(jy.RemoveAt("a.j"));

  jy.Reset(5);
  EXPECT_EQ(jy.ToJson(), "[]");
  EXPECT_TRUE(jy.Push("1", "", true));
  EXPECT_TRUE(jy.SetElement(1, "two"));
  EXPECT_TRUE(jy.SetElement(2, "[3]", true));
  EXPECT_EQ(jy.ToJson(), R"([1,"two",[3]])");
  EXPECT_TRUE(jy.RemoveElement(0));
  EXPECT_EQ(jy.ToJson(), R"(["two",[3]])");
  EXPECT_TRUE(jy.RemoveAt("[0]"));
  EXPECT_EQ(jy.ToJson(), R"([[3]])");
  jy.Reset(4);
  EXPECT_EQ(jy.ToJson(), "{}");
  EXPECT_TRUE(jy.SetRoot("'q'", true));
  EXPECT_EQ(jy.ToJson(), R"("q")");
  EXPECT_TRUE(jy.SetRoot("x'y"));
  EXPECT_EQ(jy.ToJson(), R"("x'y")");
  jy.Clear();
  EXPECT_EQ(jy.ToJson(), "{}");
}

TEST(JyJson, CopiesShareTheDocumentUntilOneParsesAgain) {
  JyJson first;
  ASSERT_TRUE(first.Parse("{\"a\":1}"));
  JyJson second = first;
  second.SetNumber("a", 2);
  EXPECT_EQ(first.GetValue("a", true), "2");
  ASSERT_TRUE(second.Parse("[0]"));
  EXPECT_EQ(first.GetValue("", true), R"({"a":2})");
  EXPECT_EQ(second.GetValue("", true), "[0]");
  JyJson named("doc");
  ASSERT_TRUE(named.Parse("[7]"));
  EXPECT_EQ(named.GetValue("[0]", true), "7");
}

}  // namespace
}  // namespace qoxa::script
