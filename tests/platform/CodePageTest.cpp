#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace qoxa::platform;

TEST(CodePage, RoundTripsChineseAndCharactersOutsideCodePage936) {
  const std::string utf8 = "中文 a\xF0\x9F\x98\x80 \xE2\x82\xAC";  // 中文, an emoji, the euro sign
  const std::string gb = Utf8ToGb18030(utf8);
  EXPECT_EQ(gb.substr(0, 4), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(Gb18030ToUtf8(gb), utf8);
  EXPECT_EQ(Utf16ToGb18030(Gb18030ToUtf16(gb)), gb);
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(utf8)), utf8);
}

TEST(CodePage, InvalidBytesBecomeReplacementCharactersAndConversionGoesOn) {
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Gb18030ToUtf8("a\xFF"), "a\xEF\xBF\xBD");  // a lead byte cut off at the end
  const char16_t lone[] = {u'x', 0xD800, u'y', 0};
  EXPECT_EQ(Utf16ToUtf8(lone), "x\xEF\xBF\xBDy");
  EXPECT_EQ(Utf8ToGb18030(""), "");
}

TEST(CodePage, Utf8Validation) {
  struct Case { std::string bytes; bool valid; };
  const Case cases[] = {
      {"plain", true}, {"中", true}, {"\xF0\x9F\x98\x80", true},
      {"\xC0\xAF", false}, {"\xED\xA0\x80", false}, {"\xE4\xB8", false}, {"\xD6\xD0", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
  EXPECT_TRUE(HasNonAscii("a\x80"));
  EXPECT_FALSE(HasNonAscii("%E4%B8%AD"));
}

TEST(CodePage, EveryCharacterRoundTripsThroughGb18030) {
  // A few private-use characters have no GB18030 code in the system tables; they become U+FFFD.
  const std::string replacement = Utf16ToGb18030(u"\uFFFD");
  std::u16string all;
  int unencodable = 0;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::u16string one(1, static_cast<char16_t>(c));
    if (c != 0xFFFD && Utf16ToGb18030(one) == replacement) {
      EXPECT_GE(c, 0xE000u);
      EXPECT_LE(c, 0xF8FFu);
      ++unencodable;
      continue;
    }
    all += one;
  }
  EXPECT_LT(unencodable, 100);
  all += u"\U0001F600\U0010FFFD";
  const std::string gb = Utf16ToGb18030(all);
  EXPECT_EQ(Gb18030ToUtf16(gb), all);
  EXPECT_EQ(Utf8ToGb18030(Utf16ToUtf8(all)), gb);
}
