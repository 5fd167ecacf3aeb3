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

// A lead byte takes the next byte along, whatever it is: in a run of lead-range bytes they pair
// up from the first, so an odd run swallows the quote, backslash or zero byte after it, and an
// even run does not. The runs stand at every offset around the reader's 16-byte blocks, also
// behind an escape (which makes the reader move the bytes after it).
TEST(JsonDocStrings, LeadByteRunsPairUpAtAnyOffset) {
  for (const bool escapeFirst : {false, true}) {
    for (size_t offset = 0; offset < 40; ++offset) {
      for (size_t run = 1; run <= 6; ++run) {
        for (const char after : {'"', '\\', '\0'}) {
          if (run % 2 == 0 && after != '"') continue;  // a plain escape or zero byte: covered above
          std::string body(escapeFirst ? "\\t" : "");
          std::string expected(escapeFirst ? "\t" : "");
          // 0x80 is a single byte, like ASCII; 0xA1 is in the lead range.
          std::string tail(offset, 'a');
          tail.push_back('\x80');
          tail.append(run, '\xA1');
          if (run % 2 == 1) {
            tail.push_back(after);
            tail.push_back('z');
          }
          body.append(tail);
          expected.append(tail);
          std::string text("[\"");
          text.append(body).append("\",\"tail\"]");
          const std::string label = "offset " + std::to_string(offset) + " run " + std::to_string(run) + " after " +
                                    std::to_string(static_cast<int>(after));
          JsonDoc doc;
          ASSERT_TRUE(doc.ParseBytes(text)) << label;
          EXPECT_EQ(doc.ValueText({}, 3), "tail") << label;
          EXPECT_EQ(doc.ValueText({}, 2), expected.substr(0, expected.find('\0'))) << label;
          const DocValue* value = doc.Value(2);
          EXPECT_EQ(value->end - value->start + 1, static_cast<int>(expected.size())) << label;
        }
      }
    }
  }
}

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
