#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "zyengine/ZyCodePage.h"
#include "zyengine/ZyJson.h"
#include "zyengine/ZyNumberText.h"
#include "zyengine/ZyScanner.h"
#include "tests/zyengine/CaseText.h"

namespace qoxa::zy {
namespace {

struct ScanCase {
  const char* input;
  int code;
  const char* compact;  // the root written back without pretty; after a failure, what is left
};

using qoxa::zy::testing::PrintCaseText;

void PrintTo(const ScanCase& c, std::ostream* os) {
  PrintCaseText(c.input, os);
  *os << " -> " << c.code;
}

class ScannerCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScannerCases, ResultCodeAndDocument) {
  const ScanCase& c = GetParam();
  ZyJson doc;
  int code = 99;
  EXPECT_EQ(doc.Parse(c.input, false, &code), c.code == 0 ? 1 : 0);
  EXPECT_EQ(code, c.code);
  EXPECT_EQ(doc.ToText(), c.compact);
}

INSTANTIATE_TEST_SUITE_P(
    Lenient, ScannerCases,
    ::testing::Values(
        ScanCase{R"({'a':'b'})", 0, R"({"a":"b"})"},
        ScanCase{R"({a:1, b : x })", 0, R"({"a":1,"b":x})"},
        ScanCase{R"({" a ":1})", 0, R"({"a":1})"},
        ScanCase{R"({"a":hello world})", 0, R"({"a":hello world})"},
        ScanCase{R"({"a":"it's",'b':'say "hi"'})", 0, R"({"a":"it's","b":"say \"hi\""})"},
        ScanCase{R"({"a":"x\"y\\"})", 0, R"({"a":"x\"y\\"})"},
        ScanCase{"[1,,2]", 0, "[1,2]"},
        ScanCase{"[ ]", 0, "[]"},
        ScanCase{"[[], {}, [ 1 , 2 ] ]", 0, "[[],{},[1,2]]"},
        ScanCase{R"({"a":1,})", 0, R"({"a":1,"":})"},
        ScanCase{R"({"a":1} {"b":2})", 0, R"({"a":1,"b":2})"},
        ScanCase{R"({"a":1} xyz)", 0, R"({"a":1})"},
        ScanCase{R"({"a":{}})", 0, R"({"a":{}})"},
        ScanCase{"{[1]}", 0, R"({"":[1]})"},
        ScanCase{R"({"":{"b":1}})", 0, R"({"":{"b":1}})"},
        ScanCase{R"({"a":1])", 0, "[1]"},
        ScanCase{R"({"a":1,"a":2,"b":3})", 0, R"({"a":2,"b":3})"},
        ScanCase{"[1.50,-0,1e5,+,.]", 0, "[1.50,-0,1e5,+,.]"},
        ScanCase{"  12  ", 0, "12"},
        ScanCase{" 1.50 ", 0, "1.5"},
        ScanCase{"true", 0, "true"},
        ScanCase{"abc", 0, "abc"},
        ScanCase{R"(""{"a":1}")", 0, R"("")"},  // a top-level string ends the scan at its closing quote
        ScanCase{R"(["a","b":"c",{"d":"e"}])", -8, "[]"},
        ScanCase{"", 0, "{}"},
        ScanCase{"[1,]", -7, "[]"},
        ScanCase{R"([{"a":1}, ])", -7, "[]"},
        ScanCase{R"({"a":1)", -5, "{}"},
        ScanCase{R"({"a":[1,2)", -5, "{}"},
        ScanCase{"[1],", -5, "[]"},
        ScanCase{"{{}}", -4, "{}"},
        ScanCase{R"(["a":1])", -4, "[]"},
        ScanCase{"[1}", -4, "[]"},
        ScanCase{"[1,2:3]", -8, "[]"}));

TEST(Scanner, TopLevelStringKeepsItsTextAsWritten) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"("a\"b" trailing)"), 1);
  EXPECT_EQ(doc.TypeAt(), static_cast<int>(ZyType::String));
  EXPECT_EQ(doc.StringAt(), R"(a\"b)");
  EXPECT_EQ(doc.ToText(), R"("a\\\"b")");
}

TEST(Scanner, TypesAndTextForms) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"n":null,"t":true,"f":false,"i":-42,"d":1.50,"e":2E3,"r":abc,"s":"12"})"), 1);
  const struct {
    const char* path;
    ZyType type;
    const char* textForm;
  } expected[] = {{"n", ZyType::Null, "null"},   {"t", ZyType::Bool, "true"},      {"f", ZyType::Bool, "false"},
                  {"i", ZyType::Integer, "-42"}, {"d", ZyType::Double, "1.50"},     {"e", ZyType::Double, "2E3"},
                  {"r", ZyType::Raw, "abc"},     {"s", ZyType::String, ""}};
  for (const auto& e : expected) {
    EXPECT_EQ(doc.TypeAt(e.path), static_cast<int>(e.type)) << e.path;
    EXPECT_EQ(doc.TextFormAt(e.path), e.textForm) << e.path;
  }
  EXPECT_EQ(doc.IntegerAt("i"), -42);
  EXPECT_DOUBLE_EQ(doc.DoubleAt("e"), 2000.0);
  EXPECT_EQ(doc.TypeAt("missing"), -1);
}

TEST(Scanner, UnicodeEscapesDecodeOnlyWhenAsked) {
  ZyJson plain;
  ASSERT_EQ(plain.Parse(R"(["\u4e2d\n"])"), 1);
  EXPECT_EQ(plain.StringAtW(u"[0]"), u"\\u4e2d\n");
  EXPECT_EQ(plain.ToText(), R"(["\\u4e2d\n"])");

  ZyJson decoded;
  ASSERT_EQ(decoded.Parse(R"(["\u4e2d\u00E9 \u12 \'"])", true), 1);
  EXPECT_EQ(decoded.StringAtW(u"[0]"), u"\u4e2d\u00e9 \\u12 \\'");
}

TEST(Scanner, EmptyTextLeavesTheDocumentAlone) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a":1})"), 1);
  int code = 99;
  EXPECT_EQ(doc.Parse("", false, &code), 1);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(doc.ToText(), R"({"a":1})");
  EXPECT_EQ(ParseInto(nullptr, u"[1]", 3, false), kParseNoInput);
}

TEST(Scanner, NonAsciiTextRoundTripsThroughGb18030) {
  // "{"名":"数据😀"}" in GB18030, including a four-byte character.
  const std::string text = "{\"\xC3\xFB\":\"\xCA\xFD\xBE\xDD\x94\x39\xFC\x36\"}";
  ZyJson doc;
  ASSERT_EQ(doc.Parse(text), 1);
  EXPECT_EQ(doc.StringAtW(u"\u540d"), u"\u6570\u636e\U0001F600");
  EXPECT_EQ(doc.ToText(), text);
}

// Parse reads the GB18030 bytes without converting the whole text first. Trail bytes that look
// like '\\', '[', ']', '{' or '}', malformed and truncated sequences, and runs longer than the
// scanner's 16-byte steps must give exactly what the scan of the converted text gives.
TEST(Scanner, BytesScanLikeTheirUtf16Conversion) {
  std::string longString = "[\"";
  for (int i = 0; i < 40; ++i) longString += "\xD6\xD0";
  longString += "\\\"";
  for (int i = 0; i < 20; ++i) longString += "ab\x95\x5C\x95\x5B";
  longString += "\",\"end\"]";
  const std::string texts[] = {
      "{\"a\x95\x5C\":\"x\x95\x5C]y\",\"b\":[\x95\x5C,\x95\x5B,\x95\x7B\x95\x7D]}",
      "[\"\x81\"]",
      "{\"k\":\"\x81\x30\x81\"}",
      "[\x84\x31\xA5\x30,\"\xE3\x32\x9A\x36\",\x81\x30\x81\x30]",
      "{\"\xFF\x80\":\x80,\"z\":\x81\x7F}",
      "[1,\xA1]",
      "[abcdefghijklmnopqrstuvwxyz\x95\x5D" "abcdefghijklmnopqrstuvwxyz, 2 ]",
      "  \x95\x5C  ",
      "\"\xD6\xD0\\\"x\" rest",
      "{\"\x95\x5C\" :{\"\xD6\xD0\":[\"\x95\x5C\\\x95\x5C\"]}}",
      longString,
      "[\"trailing lead\x81",
      // Escapes decoded while the bytes are converted: next to two-byte characters, short and
      // non-hexadecimal \\u, a backslash before a lead byte or at the end, and escapes after a
      // four-byte character (where the platform's decoder takes over).
      "[\"\xD6\xD0\\n\xD6\xD0\\u4e2d\\u12\xD6\xD0\\\xD6\xD0\\q\\/\\\\\", \"\\u00e9\\uZZZZ\\\"]",
      "{\"k\\t\":\"\x81\x30\x81\x30\\n\\\"\\u0041\xD6\xD0\\b\"}",
      "[\"abcdefghijklmnopqrstuvwxyz\\r\\n0123456789abcdefghij\\u4E2D\"]",
  };
  for (const bool decodeUnicode : {true, false}) {
    for (const std::string& text : texts) {
      ZyJson bytes, wide;
      int bytesCode = 99, wideCode = 99;
      bytes.Parse(text, decodeUnicode, &bytesCode);
      wide.ParseW(ToUtf16(text), decodeUnicode, &wideCode);
      EXPECT_EQ(bytesCode, wideCode) << text;
      EXPECT_EQ(bytes.ToTextW(), wide.ToTextW()) << text;
    }
  }
}

// A string's length can outlive its start: here the value after the second ':' is read with the
// length of the string before it, reaching past the '}' into text not yet scanned, and the
// escape found there is decoded all the same.
TEST(Scanner, StringLengthReachingPastTheScanStillDecodesEscapes) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"([{"k":"0123456789":x}, "\n"])"), 1);
  EXPECT_EQ(doc.ToText(), R"([{"k":"x}, \"\n\"]"},"\n"])");
}

TEST(NumberText, LenientRecognitionAndReading) {
  const struct {
    const char16_t* token;
    int kind;
  } cases[] = {{u"12", 2}, {u"-12", 2}, {u"+", 2}, {u".", 1}, {u"1.5", 1}, {u"1e5", 1}, {u"1-2", 1},
               {u"1 2", 2}, {u"1..2", -1}, {u"e5", -1}, {u"1e5e", -1}, {u"", -1}, {u"0x1", -1}, {u"nul", -1}};
  for (const auto& c : cases) EXPECT_EQ(ClassifyToken(c.token), c.kind) << std::u16string(c.token).size();
  EXPECT_EQ(TextToInteger(u" -123x"), -123);
  EXPECT_EQ(TextToInteger(u"9007199254740993"), 9007199254740992);  // read in double precision
  EXPECT_DOUBLE_EQ(TextToDouble(u"-1.25e2"), -125.0);
  EXPECT_DOUBLE_EQ(TextToDouble(u"5E-1"), 0.5);
  EXPECT_EQ(DoubleToText(0.1), u"0.1");
}

}  // namespace
}  // namespace qoxa::zy
