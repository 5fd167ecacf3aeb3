// Find in tree's containment test on GB18030 labels.
#include <gtest/gtest.h>

#include <string>

#include "app/LabelSearch.h"
#include "platform/CodePage.h"

using qoxa::app::LabelContains;
using qoxa::platform::Utf8ToGb18030;

namespace {

TEST(LabelSearch, MatchesOnlyAtCharacterBoundaries) {
  struct Case { const char* label; const char* find; bool found; };
  const Case cases[] = {
      {"数组", "数组", true},
      {"a: “x”", "“", true},
      {"[0] 1", "[0]", true},
      {"name: 1", "1", true},
      {"abc", "abcd", false},
      {"abc", "A", false},  // case-sensitive
      {"ABC", "A", true},
      {"中文", "文", true},
      {"", "a", false},
      {"乕", "[", false},    // 乕 is 81 5B: "[" is its second byte
      {"乕[", "[", true},    // the second candidate starts a character
      {"乕乕x", "[", false},
      {"乕乕[", "[", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LabelContains(Utf8ToGb18030(c.label), Utf8ToGb18030(c.find)), c.found)
        << c.label << " / " << c.find;
  }
}

TEST(LabelSearch, RawBytesInsideATwoByteCharacterNeverStartAMatch) {
  // 中文 is D6 D0 CE C4: "D0 CE" straddles the two characters.
  EXPECT_FALSE(LabelContains("\xD6\xD0\xCE\xC4", "\xD0\xCE"));
  EXPECT_TRUE(LabelContains("\xD6\xD0\xCE\xC4 \xD0\xCE", "\xD0\xCE"));
  EXPECT_FALSE(LabelContains("x\xD6", "\xD6\xD0"));  // a lead byte cut off at the end
}

TEST(LabelSearch, EmptyFindTextIsInEveryNonEmptyLabel) {
  EXPECT_TRUE(LabelContains("a", ""));
  EXPECT_TRUE(LabelContains("\xD6\xD0", ""));
  EXPECT_FALSE(LabelContains("", ""));
}

}  // namespace
