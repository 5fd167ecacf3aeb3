#include "app/EscapeDecoding.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"

namespace qoxa::app {
namespace {

using platform::Utf8ToGb18030;

struct DecodeCase {
  const char* input;     // UTF-8, converted to GB18030 before decoding
  const char* expected;  // UTF-8
};

class DecodeEscapesTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeEscapesTable, DecodesOnlyTheMeantEscapes) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(DecodeEscapes(Utf8ToGb18030(c.input)), Utf8ToGb18030(c.expected)) << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeEscapesTable,
    ::testing::Values(
        DecodeCase{R"({"a":"\u4e2d\u6587"})", R"({"a":"中文"})"},
        DecodeCase{R"({"a":"\u4e2d\"y"})", R"({"a":"中\"y"})"},
        DecodeCase{R"({"a":"x\"y"})", R"({"a":"x\"y"})"},
        DecodeCase{R"(\U4E2D \u4E2D \u4e2)", R"(\U4E2D 中 \u4e2)"},
        // Surrogate pairs become one character; lone halves stay as written.
        DecodeCase{R"(["\ud83d\ude00","\uD83D\uDE00x"])", R"(["😀","😀x"])"},
        DecodeCase{R"(["\ud83d","\ude00\u4e2d","\ud83dA\ude00"])", R"(["\ud83d","\ude00中","\ud83dA\ude00"])"},
        // Escapes that JSON needs stay; so does everything a backslash escapes.
        DecodeCase{R"(["\u0022","\u005c","\u005C\u4e2d","\u001f\u0020"])", R"(["\u0022","\u005c","\u005C中","\u001f "])"},
        DecodeCase{R"({"p":"C:\\users\\u4e2d","q":"\\\u4e2d","r":"\n\t\/"})",
                   R"({"p":"C:\\users\\u4e2d","q":"\\中","r":"\n\t\/"})"},
        // Everything else stays byte for byte.
        DecodeCase{"{\"a\":\"it's\\u4e2d\"}\r\n{$}\r100%25 %u4e2d \u2019",
                   "{\"a\":\"it's中\"}\r\n{$}\r100%25 %u4e2d \u2019"},
        DecodeCase{"no escapes at all 中文", "no escapes at all 中文"},
        DecodeCase{R"(trailing \)", R"(trailing \)"}, DecodeCase{"", ""},
        // Characters GB18030 writes in four bytes.
        DecodeCase{R"(\u20ac\u00e9\u0080)", "€é\u0080"}));

TEST(DecodeEscapes, TwoByteCharacterEndingInBackslashByteIsNotABackslash) {
  // 0x81 0x5C is a two-byte character; the "\u4e2d" after it is a real escape, while a
  // backslash byte right after a lead byte does not escape anything.
  const std::string text = std::string("\x81\x5C") + "\\u4e2d" + "\x81\x5C" + "u4e2d";
  EXPECT_EQ(DecodeEscapes(text), std::string("\x81\x5C") + Utf8ToGb18030("中") + "\x81\x5C" + "u4e2d");
  // Invalid bytes are kept as they are.
  const std::string invalid = std::string("\xFF\x80 \\u4e2d \xFE");
  EXPECT_EQ(DecodeEscapes(invalid), std::string("\xFF\x80 ") + Utf8ToGb18030("中") + " \xFE");
}

TEST(EscapeTriggers, FindTheExactSequences) {
  EXPECT_TRUE(ContainsBackslashU("a\\u1"));
  EXPECT_FALSE(ContainsBackslashU("a\\U1 /u"));
  EXPECT_TRUE(ContainsPercentE("%E4"));
  EXPECT_FALSE(ContainsPercentE("%e4"));
}

TEST(Utf8ToAnsi, ConvertsOnlyWholeValidUtf8WithNonAscii) {
  // The garbled case: UTF-8 bytes of Chinese text.
  EXPECT_EQ(Utf8ToAnsi("%E4 \xE4\xB8\xAD\xE6\x96\x87"), Utf8ToGb18030("%E4 中文"));
  // ASCII only, such as a URL holding %E4%B8%AD, is unchanged.
  EXPECT_EQ(Utf8ToAnsi("http://x/?q=%E4%B8%AD"), "http://x/?q=%E4%B8%AD");
  // Correct GB18030 Chinese text is not valid UTF-8 and is left alone.
  const std::string chinese = Utf8ToGb18030("中文 %E4%B8%AD 网址");
  EXPECT_EQ(Utf8ToAnsi(chinese), chinese);
  // Mostly valid UTF-8 with one stray byte is left alone too.
  EXPECT_EQ(Utf8ToAnsi("%E \xE4\xB8\xAD\xFF"), "%E \xE4\xB8\xAD\xFF");
  EXPECT_EQ(Utf8ToAnsi(""), "");
}

}  // namespace
}  // namespace qoxa::app
