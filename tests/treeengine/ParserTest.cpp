// The parser: what it accepts, what it refuses with which message and position, and what a
// document holds afterwards.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/treeengine/TreeTestSupport.h"

namespace qoxa::tree::testing {
namespace {

struct ParseCase {
  std::string text;
  std::string rendered;  // the document afterwards (also after a failure: what was stored)
  std::string message;   // UTF-8; empty when the parse succeeds
};

class ParseCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCases, ResultMessageAndStoredValues) {
  const ParseCase& c = GetParam();
  JsonDoc doc;
  std::string message = "untouched";
  const bool ok = doc.ParseBytes(c.text, 0, &message);
  EXPECT_EQ(ok, c.message.empty());
  EXPECT_EQ(Utf8(message), c.message.empty() ? "untouched" : c.message);
  EXPECT_EQ(Render(doc), c.rendered);
}

INSTANTIATE_TEST_SUITE_P(
    Leniency, ParseCases,
    ::testing::Values(
        ParseCase{"{\"a\":1,}", "{a:1}", ""}, ParseCase{"{,,\"a\":1 \"b\":2}", "{a:1,b:2}", ""},
        ParseCase{"[1 2]", "[1,2]", ""}, ParseCase{"[,1]", "[1]", ""},
        ParseCase{"[1] trailing text", "[1]", ""}, ParseCase{"[1] [2]", "[1]", ""}, ParseCase{"{} x", "{}", ""},
        ParseCase{"[1, /*x*/ 2]", "[1,2]", ""}, ParseCase{"[1, // c\n 2]", "[1,2]", ""},
        ParseCase{"/* only a comment */", "<empty>", ""}, ParseCase{"/**/", "<empty>", ""},
        ParseCase{" \t\r\n{\"b\":[true,false,null],\"a\":{\"c\":\"d\"}}", "{a:{c:\"d\"},b:[true,false,null]}", ""},
        ParseCase{"[0,-0,007,.5,-.5,1-2,15,1.5,1e+5,1E-5]", "[0,-0,007,.5,-.5,1-2,15,1.5,1e+5,1e-5]", ""},
        ParseCase{"[-]", "[-]", ""}, ParseCase{"15", "15", ""}, ParseCase{"1.5", "1.5", ""},
        ParseCase{"1e+5", "1e+5", ""}, ParseCase{"1.5E-3", "1.5e-3", ""},
        // A comment right after the digits: the number's text is its digits.
        ParseCase{"[15/*x*/]", "[15]", ""}, ParseCase{"[1.5/*x*/]", "[1.5]", ""}));

INSTANTIATE_TEST_SUITE_P(
    Errors, ParseCases,
    ::testing::Values(
        ParseCase{"", "<empty>", "JSON内容不完整(1:1)"}, ParseCase{"   ", "<empty>", "JSON内容不完整(1:4)"},
        ParseCase{"{a:1}", "{}", "对象格式错误(1:2)"}, ParseCase{"{\"a\" 1}", "{}", "对象键值定义形式错误(1:6)"},
        ParseCase{"[1,\n2,]", "[1,2]", "无法解析的内容(2:2)"}, ParseCase{"[1,]", "[1]", "无法解析的内容(1:4)"},
        ParseCase{"[1,", "[1]", "JSON内容不完整(1:4)"}, ParseCase{"[1, 2, x]", "[1,2]", "无法解析的内容(1:8)"},
        ParseCase{"[truex]", "[true]", "无法解析的内容(1:6)"}, ParseCase{"[trUE]", "[]", "解析逻辑型出错(1:2)"},
        ParseCase{"[fals]", "[]", "解析逻辑型出错(1:2)"}, ParseCase{"[tru", "[]", "解析逻辑型出错(1:2)"},
        ParseCase{"[True]", "[]", "无法解析的内容(1:2)"}, ParseCase{"[nul]", "[]", "解析空值出错(1:2)"},
        ParseCase{"{\"a\": /*x*/ 1}", "{}", "对象格式错误(1:13)"},
        ParseCase{"{\"a\":1", "{a:1}", "对象定义格式不完整(1:7)"}, ParseCase{"{\"a\"", "{}", "对象定义格式不完整(1:5)"},
        ParseCase{"[1", "[1]", "数组定义格式不完整(1:3)"},
        ParseCase{"[.]", "[]", "解析数值出错(1:3)"}, ParseCase{"[5.]", "[]", "解析数值出错(1:4)"},
        ParseCase{"[1e5]", "[]", "解析数值出错(1:4)"}, ParseCase{"-", "<empty>", "解析数值出错(1:2)"},
        ParseCase{"1e+", "<empty>", "解析数值出错(1:4)"}, ParseCase{"1.", "<empty>", "解析数值出错(1:3)"},
        ParseCase{"1-", "<empty>", "解析数值出错(1:3)"}, ParseCase{"1e", "<empty>", "解析数值出错(1:3)"},
        ParseCase{"[1e+x]", "[]", "解析数值出错(1:5)"}, ParseCase{"[1.5e-]", "[]", "解析数值出错(1:7)"},
        ParseCase{"// note", "<empty>", "解析注释文本出错(1:8)"}, ParseCase{"/*/", "<empty>", "解析注释文本出错(1:4)"},
        ParseCase{"[/x]", "[]", "解析注释文本出错(1:3)"}, ParseCase{"// c\r", "<empty>", "解析注释文本出错(1:6)"},
        ParseCase{"[\"a\\x\"]", "[]", "解析文本出错：未知的转义符(1:5)"},
        ParseCase{"[\"\\u12g4\"]", "[]", "解析文本出错：Unicode定义出错(1:7)"},
        ParseCase{"[\"a\nb\"]", "[]", "解析文本出错：文本定义包含换行(1:4)"},
        ParseCase{"[\"abc", "[]", "解析文本出错：文本定义未正确收尾(1:6)"},
        ParseCase{"[\"\\u12", "[]", "解析文本出错：文本定义未正确收尾(1:7)"},
        // A lead byte takes the closing quote as its second byte.
        ParseCase{"[\"a\x81\"]", "[]", "解析文本出错：文本定义未正确收尾(1:7)"},
        ParseCase{"{\"abc", "{}", "无法读取对象名称(1:6)"}, ParseCase{"{\"a\\q\":1}", "{}", "无法读取对象名称(1:5)"},
        // Line tracking: a CR alone does not count, a line comment's CR takes the next byte along,
        // a block comment counts its line feeds; columns on later lines start at 0.
        ParseCase{"[\r\n\r\n x]", "[]", "无法解析的内容(3:1)"}, ParseCase{"[\r\r x]", "[]", "无法解析的内容(1:5)"},
        ParseCase{"[// c\r\n x]", "[]", "无法解析的内容(2:1)"}, ParseCase{"[/*\n*/ x]", "[]", "无法解析的内容(2:3)"},
        ParseCase{"{\n\"a\":\nx}", "{}", "无法解析的内容(3:0)"},
        ParseCase{"{ \"a\" \n : \t1 ,, \r\n \"b\" : 2 \n }", "{a:1,b:2}", ""},
        ParseCase{"{\"a\" \n x}", "{}", "对象键值定义形式错误(2:1)"},
        ParseCase{"{\"a\" : \n ", "{}", "对象定义格式不完整(2:1)"}));

TEST(JsonDocParse, NumberKindsAndTypes) {
  struct Case {
    const char* text;
    int type;
    int kind;
  };
  for (const Case& c : {Case{"1", 4, 4}, Case{"-1.25", 5, 5}, Case{"1e+5", 4, 12}, Case{"1.5E-3", 5, 11}}) {
    JsonDoc doc;
    ASSERT_TRUE(doc.ParseText(c.text)) << c.text;
    EXPECT_EQ(doc.Value(1)->type, c.type) << c.text;
    EXPECT_EQ(doc.Value(1)->aux, c.kind) << c.text;
  }
}

TEST(JsonDocParse, NodeIdsArePreOrderAndErrorsKeepWhatWasStored) {
  JsonDoc doc;
  std::string message;
  ASSERT_FALSE(doc.ParseText("[1,\n2,]", 0, &message));
  EXPECT_EQ(doc.ValueCount(), 3);
  EXPECT_EQ(doc.ElementAt({}, 1, 1), 2);
  EXPECT_EQ(doc.ElementAt({}, 1, 2), 3);

  ASSERT_TRUE(doc.ParseText("{\"x\":[{\"y\":null}],\"z\":1}"));
  EXPECT_EQ(doc.ValueCount(), 5);
  EXPECT_EQ(doc.TypeOf({}, 2), 2);
  EXPECT_EQ(doc.TypeOf({}, 3), 1);
  EXPECT_EQ(doc.TypeOf({}, 4), 0);
  EXPECT_EQ(doc.ValueText({}, 5), "1");
}

TEST(JsonDocParse, ReparseStartsFromEmptyTablesAndPositions) {
  JsonDoc doc;
  std::string message;
  ASSERT_FALSE(doc.ParseText("[1,2,\n\n3", 0, &message));
  ASSERT_TRUE(doc.ParseText("[true]", 0, &message));
  EXPECT_EQ(Render(doc), "[true]");
  EXPECT_EQ(doc.ValueCount(), 2);
  ASSERT_FALSE(doc.ParseText("x", 0, &message));
  EXPECT_EQ(Utf8(message), "无法解析的内容(1:1)");  // line count restarted
  EXPECT_EQ(doc.ValueCount(), 0);
}

// A parse keeps the memory of the last one: nothing of the earlier document may show through,
// whatever the sizes, the member order setting and the outcome.
TEST(JsonDocParse, ReusedDocumentReadsLikeAFreshOne) {
  std::string wide = "{";
  for (int i = 0; i < 40; ++i) wide += "\"m" + std::to_string(i) + "\":[" + std::to_string(i) + ",\"s\\n\"],";
  wide += "\"end\":{\"x\":null}}";
  const std::vector<std::pair<std::string, int>> texts = {
      {wide, 0}, {"{\"b\":1,\"a\":2}", 1}, {wide, 1}, {"[\"abc\"", 0}, {"{\"b\":1,\"a\":2}", 0}, {wide, 0}, {"7", 0}};
  JsonDoc reused;
  for (const auto& [text, keepOrder] : texts) {
    JsonDoc fresh;
    std::string freshMessage;
    std::string reusedMessage;
    const bool freshOk = fresh.ParseText(text, keepOrder, &freshMessage);
    EXPECT_EQ(reused.ParseText(text, keepOrder, &reusedMessage), freshOk) << text;
    EXPECT_EQ(reusedMessage, freshMessage) << text;
    EXPECT_EQ(reused.ValueCount(), fresh.ValueCount()) << text;
    EXPECT_EQ(Render(reused), Render(fresh)) << text;
    EXPECT_EQ(reused.MemberByName({}, 0, "m39"), fresh.MemberByName({}, 0, "m39")) << text;
  }
}

TEST(JsonDocParse, ParseTextStopsAtZeroByteParseBytesDoesNot) {
  JsonDoc doc;
  std::string message;
  EXPECT_FALSE(doc.ParseText(std::string_view("[1\0]", 4), 0, &message));
  EXPECT_EQ(Utf8(message), "数组定义格式不完整(1:3)");
  // Inside a string a zero byte is content, but every text taken from the document ends there.
  ASSERT_TRUE(doc.ParseBytes(std::string_view("[\"a\0b\"]", 7)));
  EXPECT_EQ(doc.ValueText({}, 2), "a");
}

// The zero byte that ends a long text: read as the end wherever it stands.
TEST(JsonDocParse, ParseTextEndsAtAZeroByteFarIn) {
  for (const size_t zeroAt : {size_t{65535}, size_t{65536}, size_t{65537}, size_t{200001}}) {
    std::string text = "[";
    while (text.size() < zeroAt) text += "1,";
    text.resize(zeroAt);
    text.back() = '1';  // the last byte before the zero is a digit
    text += std::string("\0,2]", 4);
    JsonDoc doc;
    std::string message;
    EXPECT_FALSE(doc.ParseText(text, 0, &message));
    EXPECT_EQ(Utf8(message), "数组定义格式不完整(1:" + std::to_string(zeroAt + 1) + ")") << zeroAt;
    EXPECT_EQ(doc.ValueCount(), 1 + static_cast<int>(zeroAt / 2)) << zeroAt;
  }
}

TEST(JsonDocParse, ClearEmptiesAndReleasesButKeepsTheError) {
  JsonDoc doc;
  std::string message;
  ASSERT_FALSE(doc.ParseText("{\"a\":[1,2,{\"b\":\"c\"}],\"d\":x}", 0, &message));
  ASSERT_GT(doc.MemoryUse().values, 0u);
  doc.Clear();
  EXPECT_EQ(doc.ValueCount(), 0);
  EXPECT_EQ(doc.TypeOf(), -1);
  const DocMemoryUse use = doc.MemoryUse();
  EXPECT_EQ(use.text + use.values + use.objects + use.arrays, 0u);
  EXPECT_EQ(Utf8(doc.ErrorText()), "无法解析的内容");
  EXPECT_EQ(doc.ErrorPosition(), 26);
}

TEST(JsonDocParse, CopyIsDeep) {
  JsonDoc original;
  ASSERT_TRUE(original.ParseText("{\"k\":[\"v\"]}"));
  const JsonDoc copy = original;
  original.ParseText("[]");
  EXPECT_EQ(Render(copy), "{k:[\"v\"]}");
  EXPECT_EQ(Render(original), "[]");
}

// Nesting stops at 1,000 levels with its own message at the bracket that opens level 1,001.
TEST(JsonDocParse, DepthLimit) {
  JsonDoc doc;
  std::string message;
  EXPECT_TRUE(doc.ParseText(std::string(1000, '[') + std::string(1000, ']'), 0, &message));
  EXPECT_EQ(doc.ValueCount(), 1000);

  EXPECT_FALSE(doc.ParseText(std::string(1001, '[') + std::string(1001, ']'), 0, &message));
  EXPECT_EQ(Utf8(message), "嵌套层数过深(1:1001)");
  EXPECT_EQ(doc.ValueCount(), 1000);

  std::string objects;
  for (int i = 0; i < 1001; ++i) objects += "{\"a\":";
  EXPECT_FALSE(doc.ParseText(objects, 0, &message));
  EXPECT_EQ(Utf8(message), "嵌套层数过深(1:5001)");
  // The begun name of the innermost stored object has no value: it lists nothing.
  std::vector<std::string> names;
  EXPECT_EQ(doc.MemberNames({}, 1000, names), 0);
}

TEST(JsonDocParse, HundredThousandLevelsAreRefusedSafely) {
  const int depth = 100000;
  for (const auto& [open, close] : {std::pair{"[", "]"}, std::pair{"{\"k\":", "}"}}) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    for (int i = 0; i < depth; ++i) text += close;
    JsonDoc doc;
    std::string message;
    EXPECT_FALSE(doc.ParseText(text, 0, &message));
    EXPECT_EQ(Utf8(message).substr(0, std::string("嵌套层数过深").size()), "嵌套层数过深");
    EXPECT_EQ(doc.ValueCount(), 1000);
    EXPECT_EQ(doc.FindFromRoot(std::string(open) == "[" ? "[1][1][1]" : "k.k.k"), 4);
  }
}

}  // namespace
}  // namespace qoxa::tree::testing
