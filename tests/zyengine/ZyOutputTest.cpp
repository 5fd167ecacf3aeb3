#include <gtest/gtest.h>

#include <ostream>

#include "platform/CodePage.h"
#include "zyengine/ZyJson.h"
#include "zyengine/ZyPath.h"
#include "tests/zyengine/CaseText.h"

namespace qoxa::zy {
namespace {

struct OutputCase {
  const char* document;
  const char* path;
  bool pretty;
  const char* text;
};

using qoxa::zy::testing::PrintCaseText;

void PrintTo(const OutputCase& c, std::ostream* os) {
  PrintCaseText(c.document, os);
  *os << " at '";
  PrintCaseText(c.path, os);
  *os << (c.pretty ? "' pretty" : "'");
}

class OutputCases : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputCases, WritesTheValueAtThePath) {
  const OutputCase& c = GetParam();
  ZyJson doc;
  ASSERT_EQ(doc.Parse(c.document), 1);
  EXPECT_EQ(doc.ToText(c.path, c.pretty), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OutputCases,
    ::testing::Values(
        OutputCase{R"({"a":1,"b":[1,2]})", "", true, "{\r\n\t\"a\":1,\r\n\t\"b\":[1,2]\r\n}"},
        OutputCase{R"({"a":1,"b":[1,2]})", "", false, R"({"a":1,"b":[1,2]})"},
        OutputCase{R"([{"a":1}])", "", true, "[{\r\n\t\t\"a\":1\r\n\t}]"},
        OutputCase{R"({"o":{"p":{},"q":[{"r":2},3]}})", "", true,
                   "{\r\n\t\"o\":{\r\n\t\t\"p\":{\r\n\t\t},\r\n\t\t\"q\":[{\r\n\t\t\t\t\"r\":2\r\n\t\t\t},3]\r\n\t}\r\n}"},
        OutputCase{"{}", "", true, "{\r\n}"},
        OutputCase{"{}", "", false, "{}"},
        OutputCase{R"({'a':{'b':'x/y'}})", "a.b", true, R"("x\/y")"},
        OutputCase{"{'s':'\t\b\f\r\x01'}", "s", false, "\"\\t\\b\\f\\r\x01\""},
        OutputCase{R"({"a":[10,20]})", "a[1]", true, "20"},
        OutputCase{R"({"a":[10,20]})", "a[2]", true, ""},
        OutputCase{R"({"a":[10,20]})", "c", true, ""},
        OutputCase{R"({"a":[10,20]})", "a[-1]", true, ""},
        OutputCase{R"({"x":1,"y":2})", "[1]", true, "2"},
        OutputCase{R"({"x":1,"y":2})", "['y']", true, "1"},
        OutputCase{R"({"a.b":1})", R"(a\.b)", true, "1"},
        OutputCase{R"({"a.b":1})", "a.b", true, ""},
        OutputCase{R"({"a[0]\\":{"k":5}})", R"(a\[0\]\\.k)", true, "5"},
        OutputCase{R"({"a":{"b":[0,{"c":7}]}})", ".a..b[1].c", true, "7"},
        OutputCase{R"({"a":{"1":"one"}})", "a[1", true, R"("one")"},
        OutputCase{R"({"n":1.50,"r":abc})", "n", true, "1.50"},
        OutputCase{R"({"n":1.50,"r":abc})", "r", true, "abc"}));

TEST(Output, EscapeCanBeTurnedOff) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"k/\\":"a\"b/"})"), 1);
  EXPECT_EQ(doc.ToText("", false, true), R"({"k\/\\":"a\"b\/"})");
  EXPECT_EQ(doc.ToText("", false, false), R"({"k/\":"a"b/"})");
}

// The byte text is written in GB18030 directly; it must equal converting the UTF-16 text, also
// for characters outside the basic plane and for a lone surrogate.
TEST(Output, ByteTextEqualsTheConvertedWideText) {
  std::u16string text = u"{\"中文\":\"a\\/文b😀c\",\"x\":[\"é\",\"";
  text.push_back(char16_t{0xD800});
  text += u"z\",1],\"€\":\"\\u4e2d\"}";
  ZyJson doc;
  ASSERT_EQ(doc.ParseW(text, true), 1);
  for (const bool pretty : {false, true}) {
    for (const bool escape : {false, true}) {
      const std::string bytes = doc.ToText("", pretty, escape);
      EXPECT_EQ(bytes, platform::Utf16ToGb18030(doc.ToTextW(u"", pretty, escape)));
      EXPECT_NE(bytes.find(platform::Utf8ToGb18030("😀")), std::string::npos);
    }
  }
}

TEST(Output, HandleWithoutRootWritesNothing) {
  ZyJson doc;
  EXPECT_EQ(doc.ToText(), "");
  EXPECT_EQ(doc.ToTextW(u"a", true), u"");
}

TEST(Paths, TokenizeEscapesAndBrackets) {
  const auto steps = TokenizePath(u"a\\.b[3]\\\\x..[-2]c[z]");
  ASSERT_EQ(steps.size(), 6u);
  EXPECT_EQ(steps[0].kind, ZyPathStep::kKey);
  EXPECT_EQ(steps[0].key, u"a.b");
  EXPECT_EQ(steps[1].kind, ZyPathStep::kIndex);
  EXPECT_EQ(steps[1].index, 3);
  EXPECT_EQ(steps[2].key, u"\\x");
  EXPECT_EQ(steps[3].index, -2);
  EXPECT_EQ(steps[4].key, u"c");
  EXPECT_EQ(steps[5].kind, ZyPathStep::kIndex);
  EXPECT_EQ(steps[5].index, 0);
  EXPECT_TRUE(TokenizePath(u"").empty());
}

}  // namespace
}  // namespace qoxa::zy
