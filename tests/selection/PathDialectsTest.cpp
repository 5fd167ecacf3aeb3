// The text steps of node selection: counting, bracket conversion, index raising, read-only jy paths.
#include <gtest/gtest.h>

#include <string>

#include "app/PathDialects.h"
#include "platform/CodePage.h"
#include "scripthost/Regex.h"

namespace qoxa::app {
namespace {

std::string Gb(std::string_view utf8) { return platform::Utf8ToGb18030(utf8); }

TEST(PathDialects, CountOccurrencesIsCaseInsensitiveWithoutOverlaps) {
  struct Case {
    std::string text, part;
    int count;
  } cases[] = {
      {"", "a", 0},
      {"abc", "", 0},
      {"aaa", "aa", 1},  // searching goes on after the found occurrence
      {"aaaa", "aa", 2},
      {"a.b.c", ".", 2},
      {"AbAB", "ab", 2},
      {"['x']['y']", "['", 2},
      // 中 is D6 D0 and 文 is CE C4: "\xD0\xCE" lies across two characters and is not counted.
      {"\xD6\xD0\xCE\xC4", "\xD0\xCE", 0},
      {"\xD6\xD0\xCE\xC4\xD6\xD0", "\xD6\xD0", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(CountOccurrences(c.text, c.part), c.count) << c.text << " / " << c.part;
}

TEST(PathDialects, BracketConversion) {
  struct Case {
    std::string path, converted;
  } cases[] = {
      {"", ""},
      {"a.b[2]", "a.b[2]"},
      {"['数据']", "数据"},
      {"['数据']['名称']", ".数据.名称"},
      {"['数据'][0].x", "数据[0].x"},
      {"a['b c']", "ab c"},
      {"a['b c']['d']", "a.b c.d"},
      {"[0]['x y']", "[0]x y"},
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertBrackets(Gb(c.path)), Gb(c.converted)) << c.path;
}

TEST(PathDialects, ElementIndexesRaisedOneByOne) {
  struct Case {
    std::string path, raised;
  } cases[] = {
      {"", ""},
      {"a.b", "a.b"},
      {"[0].a", "[1].a"},
      {"a[1]", "a[2]"},
      {"[0].a[0].b[1]", "[1].a[1].b[2]"},
      {"[9][99][1][0]", "[10][100][2][1]"},
      {"[007]", "[8]"},
      {"[99999999999999999999999]", "[100000000000000000000000]"},
      {"数据[3].名称", "数据[4].名称"},
      {"a[x][2]", "a[x][3]"},
  };
  for (const Case& c : cases) {
    script::Regex regex;
    EXPECT_EQ(RaiseElementIndexes(Gb(c.path), regex), Gb(c.raised)) << c.path;
  }
}

TEST(PathDialects, ReadOnlyJyPaths) {
  for (const char* path : {"", "a", "a.b", "[0]", "[0].a[12].b", "['数据']", "a['b c']", "['x']['y'][3]", "$a._b"}) {
    EXPECT_TRUE(IsReadOnlyJyPath(Gb(path))) << path;
  }
  for (const char* path : {"a=1", "['x']=5,da['y']", "a.b()", "[0]++", "['a\\'']", "a..b", "[x]", "a b", "['a'"}) {
    EXPECT_FALSE(IsReadOnlyJyPath(Gb(path))) << path;
  }
}

}  // namespace
}  // namespace qoxa::app
