#include <gtest/gtest.h>

#include "formatengine/JsonCodec.h"
#include "platform/CodePage.h"

namespace qoxa::format {
namespace {

using platform::Utf8ToGb18030;

TEST(CodecReader, MessagesOfFailures) {
  struct Case {
    std::string text;
    std::string message;
  } cases[] = {
      {"", Utf8ToGb18030("要解析的JSON内容为空")},
      {Utf8ToGb18030(" 　 "), Utf8ToGb18030("要解析的JSON内容为空")},
      {"[1 2]", Utf8ToGb18030("未知的符号“2”")},
      {"[abc]", Utf8ToGb18030("未知的符号“abc”")},
      {"[,1]", Utf8ToGb18030("未知的符号“,”")},
      {"[1e5]", Utf8ToGb18030("未知的符号“e5”")},
      {"[1", Utf8ToGb18030("解析出错，JSON格式不正确")},
      {"[", Utf8ToGb18030("JSON文本格式不正确")},
      {"[\"a\nb\"]", Utf8ToGb18030("JSON文本格式不正确")},
      {"{a:1}", Utf8ToGb18030("解析出错，对象名称必须带引号")},
      {"{\"a\" 1}", Utf8ToGb18030("解析出错，未找到分割符 \":\"")},
      {"{\"a\":1 \"b\":2}", Utf8ToGb18030("解析出错，JSON格式不正确")},
      {"{\"a\":[1,}", Utf8ToGb18030("未知的符号“}”")},
      {Utf8ToGb18030("[中]"), Utf8ToGb18030("未知的符号“中”")},
      {"[\xB0\x5D]", Utf8ToGb18030("未知的符号“") + "\xB0\x5D" + Utf8ToGb18030("”")},  // a two-byte word is not cut at its second byte "]"
      {std::string(1001, '[') + std::string(1001, ']'), Utf8ToGb18030("嵌套层数过深")},
      {std::string(100000, '{'), Utf8ToGb18030("解析出错，对象名称必须带引号")},
      {std::string(100000, '['), Utf8ToGb18030("嵌套层数过深")},
  };
  JsonCodec codec;
  for (const Case& c : cases) {
    ParseResult result;
    JsonNode node = codec.ReadJson(c.text, result);
    EXPECT_EQ(result.ok, 0) << c.text.substr(0, 20);
    EXPECT_EQ(result.message, c.message) << c.text.substr(0, 20);
    EXPECT_TRUE(node.IsNullType()) << c.text.substr(0, 20);
  }
}

TEST(CodecReader, AcceptedTexts) {
  struct Case {
    const char* text;
    const char* compact;  // the node written with pretty false, sortMembers false
  } cases[] = {
      {"{\"a\":1,}", "{\"a\":1}"},
      {"[1,]", "[1]"},
      {"[]", "[]"},
      {"{}", "{}"},
      {"[1.5, -2, 3, -, 2.]", "[1.5,-2,3,0,2]"},
      {"123", "[123]"},
      {"\n", "[]"},
      {"{}xyz", "{}"},
      {"[tr ue, null, \"a\\/b\\u0041\"]", "[true,null,\"a\\/b\\\\u0041\"]"},
      {"{\"a\":xyz}", "{\"a\":}"},  // an "unknow" member writes no value
      {"{\"\":1,\"b\":2}", "{\"b\":2}"},
      {"[\"\x81\\\"]", "[\"\x81\\\"]"},  // the lead byte takes the backslash with it
  };
  JsonCodec codec;
  for (const Case& c : cases) {
    ParseResult result;
    JsonNode node = codec.ReadJson(c.text, result);
    EXPECT_EQ(result.ok, 1) << c.text << ": " << result.message;
    EXPECT_EQ(codec.Format(node, false, false), c.compact) << c.text;
  }
  ParseResult result;
  JsonNode node = codec.ReadJson("{\"a\":xyz,\"n\":[1.5,-2]}", result);
  EXPECT_EQ(node.Member("a").TypeName(), "unknow");
  EXPECT_EQ(node.Member("n").Element(1).TypeName(), "double");
  EXPECT_EQ(node.Member("n").Element(2).TypeName(), "long");
  JsonNode nested = codec.ReadJson(std::string(1000, '[') + std::string(1000, ']'), result);
  EXPECT_EQ(result.ok, 1);
}

TEST(CodecReader, Tokens) {
  JsonCodec codec;
  MemoryStream stream;
  stream.Write(" {\"a\\\"\x81\"\" : -1.5e3 tr\tue,\"cut\n");
  stream.Rewind();
  std::vector<std::string> tokens;
  for (std::string t; !(t = codec.NextToken(stream)).empty();) tokens.push_back(t);
  EXPECT_EQ(tokens, (std::vector<std::string>{"{", "\"a\\\"\x81\"\"", ":", "-1.5", "e3true", ","}));
  EXPECT_TRUE(codec.IsNumberToken("-1.2.3"));
  EXPECT_FALSE(codec.IsNumberToken(""));
  EXPECT_FALSE(codec.IsNumberToken("1e5"));
}

}  // namespace
}  // namespace qoxa::format
