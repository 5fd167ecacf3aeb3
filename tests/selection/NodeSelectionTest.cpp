// Node selection through the headless window: each Mode's dialect, its engine's answer, its
// failure message, and the kept parse that must answer exactly as a fresh one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SelectionMessages.h"
#include "tests/app/AppTestSupport.h"

namespace qoxa::app::testing {
namespace {

const char* NameOf(Mode mode) {
  switch (mode) {
    case Mode::Zy: return "zy";
    case Mode::Hx: return "hx";
    case Mode::E2ee: return "e2ee";
    case Mode::Jy: break;
  }
  return "jy";
}

struct SelectionWindow : TestWindow {
  // Imports `source` with `mode` checked.
  void Import(Mode mode, std::string_view source) {
    window.SetChecked(RadioOf(mode), true);
    SetSource(source);
    commands.OnImportClicked();
  }
  // The position of the item whose path table entry is `path` (UTF-8), or -1.
  int ItemWithPath(std::string_view path) const {
    const TextTable& paths = commands.PathTable();
    for (size_t i = 0; i < paths.Size(); ++i) {
      if (paths.At(i) == Gb(path)) return static_cast<int>(i);
    }
    return -1;
  }
  // Makes the item current; an item that is current already is left first, so that the change
  // is raised (leaving it runs node selection with no current item, which does nothing).
  void Select(int position) {
    if (window.CurrentItem() == position) window.SetCurrentItem(-1);
    window.SetCurrentItem(position);
  }
  std::string Path() const { return TextOf(EditBox::Path); }
  std::string Result() const { return TextOf(EditBox::Result); }
};

struct PathCase {
  Mode mode;
  std::string source;     // imported, then looked up
  std::string tablePath;  // the item's path table entry
  std::string path;       // the path box afterwards
  std::string result;     // the result box afterwards
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << NameOf(c.mode) << " " << c.source << " @ " << c.tablePath; }

class PathCases : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathCases, PathBoxAndResultBox) {
  const PathCase& c = GetParam();
  SelectionWindow w;
  w.Import(c.mode, c.source);
  const int item = w.ItemWithPath(c.tablePath);
  ASSERT_GE(item, 0) << "no item with the path " << c.tablePath;
  w.Select(item);
  EXPECT_EQ(w.Path(), c.path);
  EXPECT_EQ(w.Result(), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, PathCases,
    ::testing::Values(
        // zy: one bracketed name loses its brackets, several become dotted (the engine passes
        // over the empty first segment); [n] counts from 0.
        PathCase{Mode::Zy, R"({"数据":"x"})", "['数据']", "数据", R"("x")"},
        PathCase{Mode::Zy, R"({"数据":{"名称":7}})", "['数据']['名称']", ".数据.名称", "7"},
        PathCase{Mode::Zy, R"({"a":{"b":[1,2,3]}})", "a.b[2]", "a.b[2]", "3"},
        PathCase{Mode::Zy, R"({"a":{"b":{"c":[1,2]}}})", "a.b", "a.b", "{\r\n\t\"c\":[1,2]\r\n}"},
        // hx: the same conversion, 0-based indexes.
        PathCase{Mode::Hx, R"({"数据":[{"x":"y"}]})", "['数据'][0].x", "数据[0].x", "y"},
        PathCase{Mode::Hx, R"({"a":[5,{"b":null}]})", "a[1]", "a[1]", R"({"b":null})"},
        PathCase{Mode::Hx, R"([true,"s"])", "", "", R"([true,"s"])"},
        // E2EE list: indexes raised, no "//".
        PathCase{Mode::E2ee, R"([{"a":1}])", "[0].a", "[1].a", "1"},
        PathCase{Mode::E2ee, R"([[1,[2,3]]])", "[0][1][0]", "[1][2][1]", "2"},
        // E2EE key-value table: "//" in front of paths with "[" (indexes raised) or ".".
        PathCase{Mode::E2ee, R"({"a":[5,6]})", "a[1]", "//a[2]", "6"},
        PathCase{Mode::E2ee, R"({"a":[5,6]})", "a", "a", "[5,6]"},
        PathCase{Mode::E2ee, R"({"a":{"b":true}})", "a.b", "//a.b", "true"},
        PathCase{Mode::E2ee, R"({"数据":{"名称":"值"}})", "['数据']['名称']", "//.数据.名称", "值"},
        // jy: the path as it is; the root gives the whole document and the path box stays empty.
        PathCase{Mode::Jy, R"({"a":{"b":[1,"x"]}})", "", "", R"({"a":{"b":[1,"x"]}})"},
        PathCase{Mode::Jy, R"({"a":{"b":[1,"x"]}})", "a.b[1]", "a.b[1]", R"("x")"},
        PathCase{Mode::Jy, R"({"数据":{"k2":3}})", "['数据']['k2']", "['数据']['k2']", "3"}));

TEST(NodeSelection, JyFallbacksRewriteThePathBox) {
  SelectionWindow w;
  w.Import(Mode::Jy, R"({"a":{"b":1},"c":2})");
  const int ab = w.ItemWithPath("a.b");
  const int c = w.ItemWithPath("c");
  // The text changed after the import: the paths no longer lead anywhere.
  w.SetSource(R"({"a":{}})");
  w.Select(ab);
  EXPECT_EQ(w.Path(), "a['b']");
  EXPECT_EQ(w.Result(), "");
  w.Select(c);
  EXPECT_EQ(w.Path(), "['c']");
  EXPECT_EQ(w.Result(), "");
  // A value found by the first form keeps the path as it is.
  w.SetSource(R"({"a":{"b":0},"c":""})");
  w.Select(c);
  EXPECT_EQ(w.Path(), "c");
  EXPECT_EQ(w.Result(), R"("")");
}

TEST(NodeSelection, UnreadableSourceShowsTheModesMessage) {
  struct Case {
    Mode mode;
    std::string source;
    std::string path;  // the path box still shows the rewritten path
  } cases[] = {
      {Mode::Zy, "{\"x\":[1,", "x[0]"},
      {Mode::Hx, "{\"x\":[1,2],}", "x[0]"},
      {Mode::E2ee, "{'x':[1]}", "x[0]"},
      {Mode::E2ee, " [1]", "x[0]"},   // a blank before "[": the key-value table, which takes no array
      {Mode::E2ee, "[{\"x\":1}", "x[0]"},
      {Mode::Jy, "", "x[0]"},         // the empty text evaluates to no value
      {Mode::Jy, "null", "x[0]"},
  };
  for (const Case& c : cases) {
    SelectionWindow w;
    w.Import(c.mode, R"({"x":[1]})");
    w.SetSource(c.source);
    w.Select(w.ItemWithPath("x[0]"));
    EXPECT_EQ(w.Path(), c.path) << NameOf(c.mode) << " " << c.source;
    EXPECT_EQ(w.window.Text(EditBox::Result), UnreadableSourceMessage(c.mode)) << NameOf(c.mode) << " " << c.source;
  }
}

TEST(NodeSelection, ClickedItemIsExpandedAndNoItemChangesNothing) {
  SelectionWindow w;
  w.Import(Mode::Zy, R"({"a":{"b":1},"c":[2]})");
  const int a = w.ItemWithPath("a");
  EXPECT_FALSE(w.window.IsExpanded(a));
  w.Select(a);
  EXPECT_TRUE(w.window.IsExpanded(a));

  w.window.SetText(EditBox::Path, Gb("before"));
  w.window.SetText(EditBox::Result, Gb("kept"));
  w.window.SetCurrentItem(-1);
  w.commands.OnTreeItemChanged();
  EXPECT_EQ(w.Path(), "before");
  EXPECT_EQ(w.Result(), "kept");
}

// The kept parse: the same text is not parsed again, a changed text always is, and the answers
// are those of a fresh parse.
TEST(NodeSelection, KeptParseFollowsTheSourceText) {
  for (Mode mode : {Mode::Zy, Mode::Hx, Mode::E2ee, Mode::Jy}) {
    SCOPED_TRACE(NameOf(mode));
    SelectionWindow w;
    w.Import(mode, R"({"k":{"v":1},"w":2})");
    const int v = w.ItemWithPath("k.v");
    const int wItem = w.ItemWithPath("w");
    SelectionCache& cache = w.commands.SelectionEngines();
    w.Select(v);
    const std::string first = w.Result();
    const int64_t parses = cache.ParseCount();
    w.Select(wItem);
    w.Select(v);
    EXPECT_EQ(w.Result(), first);
    EXPECT_EQ(cache.ParseCount(), parses);  // the same text: nothing parsed again
    w.SetSource(R"({"k":{"v":1},"w":2})");  // written again, byte for byte the same
    w.Select(wItem);
    EXPECT_EQ(cache.ParseCount(), parses);

    // The same length, one byte different, written without any change event.
    w.SetSource(R"({"k":{"v":9},"w":2})");
    w.Select(v);
    EXPECT_EQ(w.Result(), "9");
    EXPECT_EQ(cache.ParseCount(), parses + 1);

    w.SetSource(R"({"k":{"v":[1,)");
    w.Select(v);
    EXPECT_EQ(w.window.Text(EditBox::Result), UnreadableSourceMessage(mode));
    w.SetSource(R"({"k":{"v":3},"w":2})");
    w.Select(v);
    EXPECT_EQ(w.Result(), "3");
  }
}

TEST(NodeSelection, JyPathThatAssignsIsNotAnsweredFromAKeptParse) {
  SelectionWindow w;
  // The third member's name makes a path that assigns to the script variable when evaluated.
  w.Import(Mode::Jy, R"({"x":1,"y":2,"x']=5,da['y":3})");
  const int x = w.ItemWithPath("x");
  const int writer = w.ItemWithPath("['x']=5,da['y']");
  ASSERT_GE(writer, 0);
  w.Select(x);
  EXPECT_EQ(w.Result(), "1");
  w.Select(writer);
  w.Select(x);
  EXPECT_EQ(w.Result(), "1");  // as a fresh parse of the text gives it
}

TEST(NodeSelection, JyTextThatIsNotJsonIsParsedForEverySelection) {
  SelectionWindow w;
  w.Import(Mode::Jy, R"({"a":1,"b":2})");
  const int a = w.ItemWithPath("a");
  // Evaluated as a program: reading a runs a getter that changes b.
  w.SetSource("{get a(){ this.b = this.b + 1; return 1 }, b: 2}");
  SelectionCache& cache = w.commands.SelectionEngines();
  const int b = w.ItemWithPath("b");
  w.Select(a);
  const int64_t parses = cache.ParseCount();
  w.Select(b);
  w.Select(a);
  w.Select(b);
  EXPECT_EQ(cache.ParseCount(), parses + 3);
  EXPECT_EQ(w.Result(), "2");
}

TEST(NodeSelection, ChangeEventAndClearDropTheKeptParse) {
  SelectionWindow w;
  w.Import(Mode::Zy, R"({"a":1})");
  w.Select(w.ItemWithPath("a"));
  SelectionCache& cache = w.commands.SelectionEngines();
  const int64_t parses = cache.ParseCount();
  w.commands.OnSourceTextChanged();
  w.Select(w.ItemWithPath("a"));
  EXPECT_EQ(cache.ParseCount(), parses + 1);
  w.commands.OnClearClicked();
  EXPECT_EQ(w.window.TreeItemCount(), 0);
}

}  // namespace
}  // namespace qoxa::app::testing
