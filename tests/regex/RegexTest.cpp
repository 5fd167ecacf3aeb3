#include "scripthost/Regex.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace qoxa::script {
namespace {

using platform::Utf8ToGb18030;

// Test texts are written in UTF-8 and handed to the wrapper as GB18030 byte text.
std::string Gb(std::string_view utf8) { return Utf8ToGb18030(utf8); }

TEST(Regex, CompactPassesRemoveWhiteSpaceEverywhere) {
  std::string t = "{ \r\n  \"a\" : [ 1 ],\r\n\t\"b\" : \"x, y\" \v\f}";
  Regex re;
  ASSERT_TRUE(re.Execute("{(\\s+)", t));
  t = re.Replace("{");
  ASSERT_TRUE(re.Execute(",(\\s+)", t));
  t = re.Replace(",");
  ASSERT_TRUE(re.Execute("(\\s+)}", t));
  t = re.Replace("}");
  EXPECT_EQ(t, "{\"a\" : [ 1 ],\"b\" : \"x,y\"}");
}

// Replace may run more than once on one search, and a search on an earlier result, or on a result
// changed afterwards, sees exactly the text it is given.
TEST(Regex, ChainedReplacementsSeeTheTextTheyAreGiven) {
  Regex re;
  ASSERT_TRUE(re.Execute("a", Gb("中a文a")));
  const std::string first = re.Replace("b");
  const std::string second = re.Replace("c");
  EXPECT_EQ(first, Gb("中b文b"));
  EXPECT_EQ(second, Gb("中c文c"));

  ASSERT_TRUE(re.Execute("b", first));  // not the last result
  EXPECT_EQ(re.MatchCount(), 2);
  std::string changed = re.Replace(Gb("字"));
  EXPECT_EQ(changed, Gb("中字文字"));
  changed.replace(changed.size() - 2, 2, Gb("样"));  // same length, other text
  ASSERT_TRUE(re.Execute(Gb("[字样]"), changed));
  EXPECT_EQ(re.Replace("-"), Gb("中-文-"));
  ASSERT_TRUE(re.Execute(Gb("-"), re.Replace("-")));
  EXPECT_EQ(re.Replace("+"), Gb("中+文+"));
}

TEST(Regex, MatchesAndGroupsCountFromOne) {
  Regex re;
  ASSERT_TRUE(re.Execute("\\[(\\d+)\\]", "a[0].b[12]"));
  EXPECT_EQ(re.MatchCount(), 2);
  EXPECT_EQ(re.SubMatchCount(), 1);
  EXPECT_EQ(re.MatchText(1), "[0]");
  EXPECT_EQ(re.SubMatchText(1, 1), "0");
  EXPECT_EQ(re.SubMatchText(2, 1), "12");
  for (auto [i, k] : {std::pair{0, 1}, {3, 1}, {1, 0}, {1, 2}}) EXPECT_EQ(re.SubMatchText(i, k), "") << i << "," << k;
  EXPECT_EQ(re.MatchText(0), "");
  EXPECT_EQ(re.MatchText(3), "");
  Regex copy = re;
  re.Execute("x", "y");
  EXPECT_EQ(copy.SubMatchText(2, 1), "12");
  EXPECT_EQ(copy.PatternText(), "\\[(\\d+)\\]");
}

TEST(Regex, WorksOnCharactersNotBytes) {
  Regex re;
  ASSERT_TRUE(re.Execute(Gb("中(.)"), Gb("中文a中国")));
  ASSERT_EQ(re.MatchCount(), 2);
  EXPECT_EQ(re.SubMatchText(1, 1), Gb("文"));
  EXPECT_EQ(re.SubMatchText(2, 1), Gb("国"));
  int position = 0;
  EXPECT_EQ(re.MatchText(2, &position), Gb("中国"));
  EXPECT_EQ(position, 5);
  // 0x81 0x5C is one character whose second byte is the backslash byte.
  const std::string tricky = "a\x81\x5C" "b";
  ASSERT_TRUE(re.Execute("\\\\", tricky));
  EXPECT_EQ(re.MatchCount(), 0);
  ASSERT_TRUE(re.Execute("a.b", tricky));
  EXPECT_EQ(re.MatchCount(), 1);
  ASSERT_TRUE(re.Execute("a", tricky));
  EXPECT_EQ(re.Replace("-"), "-\x81\x5C" "b");
  // A four-byte GB18030 character is one character too.
  ASSERT_TRUE(re.Execute("^.$", Gb("😀"), false, false));
  EXPECT_EQ(re.MatchCount(), 1);
}

TEST(Regex, ClassesKeepTheirAsciiMeaning) {
  struct Case {
    const char* pattern;
    std::string subject;
    int count;
  } cases[] = {
      {"\\s", " \t\n\r\f\v", 6},
      {"\\s", Gb("\u3000\u00A0"), 0},  // ideographic and no-break space are not white space
      {"\\d", Gb("1２"), 1},             // a full-width digit is not a digit
      {"\\w+", Gb("ab_9中"), 1},
  };
  for (const Case& c : cases) {
    Regex re;
    ASSERT_TRUE(re.Execute(c.pattern, c.subject)) << c.pattern;
    EXPECT_EQ(re.MatchCount(), c.count) << c.pattern;
  }
}

TEST(Regex, OptionsAndDefaults) {
  Regex re;
  ASSERT_TRUE(re.Execute("abc", "x ABC abc"));  // case-insensitive and global by default
  EXPECT_EQ(re.MatchCount(), 2);
  ASSERT_TRUE(re.Execute("abc", "x ABC abc", true));
  EXPECT_EQ(re.MatchCount(), 1);
  ASSERT_TRUE(re.Execute("^b$", "a\r\nb\nc"));  // multi-line by default
  EXPECT_EQ(re.MatchCount(), 1);
  ASSERT_TRUE(re.Execute("^b$", "a\r\nb\nc", false, false));
  EXPECT_EQ(re.MatchCount(), 0);
  ASSERT_TRUE(re.Execute("a", "aaa", false, true, false));  // not global: one match, one replacement
  EXPECT_EQ(re.MatchCount(), 1);
  EXPECT_EQ(re.Replace("b"), "baa");
  ASSERT_TRUE(re.Execute(Gb("#引号(\\w+)#引号"), "x \"abc\" y", false, true, true, true));
  EXPECT_EQ(re.PatternText(), "\"(\\w+)\"");
  EXPECT_EQ(re.SubMatchText(1, 1), "abc");
  ASSERT_TRUE(re.Execute(Gb("#引号"), Gb("#引号"), false, true, true, false));  // taken literally
  EXPECT_EQ(re.MatchCount(), 1);
}

TEST(Regex, ReplacementFollowsEcmaScript) {
  struct Case {
    const char* replacement;
    const char* expected;
  } cases[] = {
      {"[$1]", "x[a]y"},     {"[$&]", "x[a]y"},   {"$$", "x$y"},      {"$2", "xy"},  // unset group is empty
      {"\\1", "x\\1y"},      {"$`", "xxy"},       {"$'", "xyy"},      {"$9", "x$9y"},
      {"$0", "x$0y"},        {"$", "x$y"},        {"$x", "x$xy"},     {"$01", "xay"},
      {"$10", "xa0y"},       {"$1$1", "xaay"},
  };
  for (const Case& c : cases) {
    Regex re;
    ASSERT_TRUE(re.Execute("(a)(b)?", "xay"));
    EXPECT_EQ(re.Replace(c.replacement), c.expected) << c.replacement;
  }
  Regex re;
  ASSERT_TRUE(re.Execute("x*", Gb("a中")));  // empty matches advance by one character
  EXPECT_EQ(re.Replace("-"), Gb("-a-中-"));
}

TEST(Regex, RejectedPatternGivesEmptyResults) {
  Regex re;
  EXPECT_EQ(re.PatternText(), "");
  EXPECT_EQ(re.Replace("x"), "");
  ASSERT_TRUE(re.Execute("a", "a"));
  EXPECT_FALSE(re.Execute("(", "a(b"));
  EXPECT_EQ(re.MatchCount(), 0);
  EXPECT_EQ(re.SubMatchCount(), 0);
  EXPECT_EQ(re.MatchText(1), "");
  EXPECT_EQ(re.Replace("x"), "");
  EXPECT_EQ(re.PatternText(), "(");
}

TEST(Regex, LongSubjectsAndHeavyBacktracking) {
  Regex re;
  const std::string text = std::string(200000, 'a') + "b";
  ASSERT_TRUE(re.Execute("(a|b)*b", text));  // deep backtracking state on a long subject
  ASSERT_EQ(re.MatchCount(), 1);
  EXPECT_EQ(re.MatchText(1).size(), text.size());
}

TEST(Regex, EmptySubject) {
  Regex re;
  ASSERT_TRUE(re.Execute("{(\\s+)", ""));
  EXPECT_EQ(re.MatchCount(), 0);
  EXPECT_EQ(re.Replace("{"), "");
}

}  // namespace
}  // namespace qoxa::script
