// Strings: escapes unescaped in place, two-byte units, \u decoding and surrogate pairs.
#include <gtest/gtest.h>

#include "tests/treeengine/TreeTestSupport.h"

namespace qoxa::tree::testing {
namespace {

struct StringCase {
  std::string literal;   // one JSON string token
  std::string expected;  // content bytes (GB18030)
};

class StringCases : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringCases, UnescapedContent) {
  const StringCase& c = GetParam();
  JsonDoc doc;
  // Inside an array, followed by a second element that must survive the in-place rewrite.
  ASSERT_TRUE(doc.ParseBytes("[" + c.literal + ",\"tail\"]")) << c.literal;
  EXPECT_EQ(doc.ValueText({}, 2), c.expected) << c.literal;
  EXPECT_EQ(doc.ValueText({}, 3), "tail");
  const DocValue* value = doc.Value(2);
  EXPECT_EQ(value->end - value->start + 1, static_cast<int>(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, StringCases,
    ::testing::Values(StringCase{"\"a\\\"b\"", "a\"b"}, StringCase{"\"\\/\"", "/"}, StringCase{"\"\\t\"", "\t"},
                      StringCase{"\"\"", ""}, StringCase{"\"\\\\\\b\\f\\n\\r\"", "\\\b\f\n\r"},
                      StringCase{"\"raw\ttab\"", "raw\ttab"}, StringCase{"\"\\u0041\\u00e9\"", Gb("Aé")},
                      StringCase{"\"\\u00E9\"", Gb("é")}, StringCase{"\"a\\u0000b\"", "ab"},
                      StringCase{"\"x\\u4e2dy\"", Gb("x中y")},
                      // A second byte 0x5C is not a backslash.
                      StringCase{"\"\x81\\\"", "\x81\\"}, StringCase{Gb("\"中文\\n\""), Gb("中文\n")},
                      // Surrogate pairs become one four-byte character; a lone half is "?".
                      StringCase{"\"\\ud83d\\ude00\"", Gb("😀")}, StringCase{"\"\\uD83D\\uDE00!\"", Gb("😀!")},
                      StringCase{"\"\\udbff\\udfff\"", Gb("\U0010FFFF")}, StringCase{"\"\\ud83dx\"", "?x"},
                      StringCase{"\"\\ude00\"", "?"}, StringCase{"\"\\ud83d\\u0041\"", "?A"},
                      StringCase{"\"\\ud83d\\ud83d\\ude00\"", Gb("?😀")},
                      StringCase{"\"\\u0080\\uffff\"", Gb("\u0080\uffff")}));

TEST(JsonDocStrings, UndecodedEscapesKeepTheUnitBytesLowFirst) {
  JsonDoc doc;
  ASSERT_TRUE(doc.ParseBytes("\"\\u4e2d\\ud83d\\ude00\"", 0, nullptr, 0));
  EXPECT_EQ(doc.ValueText(), std::string("\x2d\x4e\x3d\xd8\x00\xde", 6).substr(0, 4));  // a zero byte ends the text
  EXPECT_EQ(doc.Value(1)->end - doc.Value(1)->start + 1, 6);
}

TEST(JsonDocStrings, MemberNamesAreUnescapedToo) {
  JsonDoc doc;
  ASSERT_TRUE(doc.ParseText("{\"a\\u0062\":1,\"\\u4e2d\":2}"));
  EXPECT_EQ(doc.MemberByName({}, 0, "ab"), 2);
  EXPECT_EQ(doc.MemberByName({}, 0, Gb("中")), 3);
}

TEST(JsonDocUnitToAnsi, OneCodeUnit) {
  EXPECT_EQ(JsonDoc::UnitToAnsi(0), "");
  EXPECT_EQ(JsonDoc::UnitToAnsi(u'A'), "A");
  EXPECT_EQ(JsonDoc::UnitToAnsi(u'中'), "\xD6\xD0");
  EXPECT_EQ(JsonDoc::UnitToAnsi(0x20AC), Gb("€"));
  EXPECT_EQ(JsonDoc::UnitToAnsi(0xD83D), "?");
  EXPECT_EQ(JsonDoc::UnitToAnsi(0xDE00), "?");
  // Other units match the code-page layer converting them one by one.
  for (char32_t unit = 1; unit <= 0xFFFF; unit += 61) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const std::u16string one(1, static_cast<char16_t>(unit));
    ASSERT_EQ(JsonDoc::UnitToAnsi(static_cast<char16_t>(unit)), platform::Utf16ToGb18030(one)) << static_cast<uint32_t>(unit);
  }
}

}  // namespace
}  // namespace qoxa::tree::testing
