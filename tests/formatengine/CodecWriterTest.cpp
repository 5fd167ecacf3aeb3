#include <gtest/gtest.h>

#include "formatengine/JsonCodec.h"
#include "platform/CodePage.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::format {
namespace {

JsonNode Parse(std::string_view text) {
  JsonCodec codec;
  ParseResult result;
  JsonNode node = codec.ParseToNode(text, result);
  EXPECT_EQ(result.ok, 1) << text << ": " << result.message;
  return node;
}

TEST(CodecWriter, PrettyLayoutIsExact) {
  JsonCodec codec;
  const JsonNode node = Parse(R"({"b":[1,2],"a":{"x":"y/z"},"c":true,"d":null,"e":1.50})");
  EXPECT_EQ(codec.Format(node, true, false, 0),
            "{\r\n"
            "    \"a\" : {\r\n"
            "        \"x\" : \"y\\/z\"\r\n"
            "    },\r\n"
            "    \"b\" : [\r\n"
            "        1,\r\n"
            "        2\r\n"
            "    ],\r\n"
            "    \"c\" : true,\r\n"
            "    \"d\" : null,\r\n"
            "    \"e\" : 1.5\r\n"
            "}");
  EXPECT_EQ(codec.Format(node, false, false, 0), R"({"a":{"x":"y\/z"},"b":[1,2],"c":true,"d":null,"e":1.5})");
}

TEST(CodecWriter, LayoutCases) {
  struct Case {
    const char* source;
    bool pretty;
    bool sortMembers;
    int level;
    const char* expected;
  } cases[] = {
      {"[]", true, false, 0, "[\r\n\r\n]"},
      {R"({"e":{}})", true, false, 0, "{\r\n    \"e\" : {\r\n\r\n    }\r\n}"},
      {"[[]]", false, false, 0, "[[]]"},
      {R"({"ab":1,"b":2})", false, false, 0, R"({"b":2,"ab":1})"},
      {R"({"ab":1,"b":2})", false, true, 0, R"({"ab":1,"b":2})"},
      {R"({"a/b":1})", true, false, 0, "{\r\n    \"a\\/b\" : 1\r\n}"},
      {"[1]", true, false, 2, "        [\r\n            1\r\n        ]"},
      {"[\"a\\tb\\nc\\u0001\\\\\"]", false, false, 0, "[\"a\\tb\\nc\x01\\\\\"]"},
      {"[\"\\b\\f\\r\\\"\"]", false, false, 0, "[\"\\b\\f\\r\\\"\"]"},
      {"[12345678901234567, 1.0, 2.50, -0.0]", false, false, 0, "[12345678901234568,1,2.5,-0]"},
      {R"({"x":1,"x":2})", false, false, 0, R"({"x":1})"},
  };
  JsonCodec codec;
  for (const Case& c : cases)
    EXPECT_EQ(codec.Format(Parse(c.source), c.pretty, c.sortMembers, c.level), c.expected) << c.source;
}

TEST(CodecWriter, NodeValuesAsWritten) {
  JsonCodec codec;
  JsonNode n;
  EXPECT_EQ(codec.Format(n), "null");
  n.SetString("1");
  n.TypeName("double");
  EXPECT_EQ(codec.Format(n), "1");
  n.TypeName("LONG");  // type words are matched ignoring case
  n.SetString("-0");
  n.TypeName("Long");
  EXPECT_EQ(codec.Format(n), "0");
  n.TypeName("unknow");
  EXPECT_EQ(codec.Format(n), "");
  n.TypeName("ARRAY");  // only an "array" node counts its elements
  EXPECT_EQ(codec.Format(n, false), "[]");
  std::string builder = "x";
  EXPECT_EQ(codec.WriteNode(codec.MakeBool(true), true, true, 1, builder, false), "");
  EXPECT_EQ(builder, "xtrue");
  EXPECT_EQ(codec.WriteNode(codec.MakeLong(3), true, true, 1, builder, true), "xtrue    3");
}

TEST(CodecWriter, EscapingBothWays) {
  JsonCodec codec;
  // Two-byte characters whose second byte is 0x5C (a backslash) or 0x2F... stay whole.
  const std::string tricky = "\x81\x5C" "n\x95\x5C\"";
  std::string s = tricky;
  EXPECT_EQ(codec.QuoteText(s), "\"\x81\x5C" "n\x95\x5C\\\"\"");
  EXPECT_EQ(s, "\x81\x5C" "n\x95\x5C\\\"");
  s = "\x81\x5C" "n\x81\x5C\\\\";
  EXPECT_EQ(codec.UnquoteText(s), "\x81\x5C" "n\x81\x5C\\");
  struct Case {
    const char* in;
    const char* out;
  } unquote[] = {
      {"a\\\"b", "a\"b"},
      {"x\\\\y", "x\\y"},
      {"\\/\\r\\n\\t\\b\\f", "/\r\n\t\b\f"},
      {"\\\\n", "\\\n"},  // "\\" goes last, so an escaped backslash before n is not restored
      {"\\u4E2D", "\\u4E2D"},
  };
  for (const Case& c : unquote) {
    std::string t = c.in;
    EXPECT_EQ(codec.UnquoteText(t), c.out) << c.in;
    EXPECT_EQ(t, c.out);
  }
  std::string all = "\\\"/\r\n\t\b\f\x01";
  EXPECT_EQ(codec.QuoteText(all), "\"\\\\\\\"\\/\\r\\n\\t\\b\\f\x01\"");
}

TEST(CodecWriter, SortTextsByCharacterCode) {
  JsonCodec codec;
  std::vector<std::string> list{"b", "ab", "B", "\xB0\xA1", "a", "\x7F", "abc", "a"};
  codec.SortTexts(list, false);
  EXPECT_EQ(list, (std::vector<std::string>{"B", "a", "a", "ab", "abc", "b", "\x7F", "\xB0\xA1"}));
  codec.SortTexts(list, true);
  EXPECT_EQ(list, (std::vector<std::string>{"\xB0\xA1", "\x7F", "b", "abc", "ab", "a", "a", "B"}));
  EXPECT_EQ(codec.IndentText(true, 2), "        ");
  EXPECT_EQ(codec.IndentText(true, -1), "");
  EXPECT_EQ(codec.IndentText(false, 2), "");
}

TEST(ParseToNode, ReadsThroughTheTreeEngine) {
  JsonCodec codec;
  ParseResult result;
  JsonNode node = codec.ParseToNode(R"({"b":1,"a":"a\/b","c":[true,null]})", result);
  ASSERT_EQ(result.ok, 1);
  EXPECT_EQ(result.message, "");
  std::vector<std::string> keys;
  EXPECT_EQ(node.Keys(keys), 3);
  EXPECT_EQ(keys, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(node.Member("a").GetText(), "a/b");
  EXPECT_EQ(node.Member("b").TypeName(), "long");
  EXPECT_EQ(node.Member("c").Element(2).TypeName(), "null");
  EXPECT_EQ(codec.Format(result.node, false), codec.Format(node, false));

  ParseResult failed;
  failed.node.SetLong(5);
  JsonNode none = codec.ParseToNode("{", failed);
  EXPECT_EQ(failed.ok, 0);
  EXPECT_NE(failed.message, "");
  EXPECT_TRUE(none.IsNullType());
  EXPECT_TRUE(failed.node.IsNullType());
}

TEST(ParseToNode, FromDocAddsToTheTarget) {
  JsonCodec codec;
  ParseResult result;
  JsonNode twice = codec.ParseToNode("[1,2]", result);
  tree::JsonDoc doc;
  ASSERT_TRUE(doc.ParseText("[1,2]"));
  EXPECT_EQ(codec.FromDoc(doc, twice), 1);
  EXPECT_EQ(codec.Format(twice, false), "[1,2,1,2]");
  JsonNode object;
  object.SetMember("x", codec.MakeString("old"));
  ASSERT_TRUE(doc.ParseText(R"({"x":1,"y":2,"x":3})"));
  EXPECT_EQ(codec.FromDoc(doc, object), 1);
  EXPECT_EQ(codec.Format(object, false), R"({"x":1,"y":2})");
}

TEST(ParseToNode, DeepDocumentsFailWithoutCrashing) {
  JsonCodec codec;
  ParseResult result;
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  JsonNode node = codec.ParseToNode(deep, result);
  EXPECT_EQ(result.ok, 0);
  EXPECT_TRUE(node.IsNullType());
  JsonNode built;
  for (int i = 0; i < 100000; ++i) {
    JsonNode parent;
    parent.AddElement(built);
    built = std::move(parent);
  }
  const std::string text = codec.Format(built, false);
  EXPECT_EQ(text.size(), 200004u);
  EXPECT_EQ(text.substr(99998, 8), "[[null]]");
}

}  // namespace
}  // namespace qoxa::format
