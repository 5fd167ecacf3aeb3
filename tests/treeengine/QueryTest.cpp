// Queries by node id and by path, on full, partial and empty documents.
#include <gtest/gtest.h>

#include "tests/treeengine/TreeTestSupport.h"

namespace qoxa::tree::testing {
namespace {

TEST(JsonDocQueries, EmptyAndFailedDocumentsFindNothing) {
  JsonDoc doc;
  std::string message;
  for (bool parsed : {false, true}) {
    if (parsed) {
      EXPECT_FALSE(doc.ParseText("  ", 0, &message));
    }
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(doc.TypeOf(), -1);
    EXPECT_EQ(doc.ValueText(), "");
    EXPECT_EQ(doc.ElementCount(), 0);
    EXPECT_EQ(doc.MemberNames({}, 0, names), -1);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(doc.FindFromRoot(), 0);
    EXPECT_EQ(doc.Locate("a"), 0);
    EXPECT_TRUE(doc.IsNull());
    EXPECT_FALSE(doc.Exists());
    EXPECT_EQ(doc.NumberValue(), 0);
  }
}

TEST(JsonDocQueries, TypedValues) {
  JsonDoc doc;
  ASSERT_TRUE(doc.ParseText(
      "{\"arr\":[1,{}],\"s\":\"a\\nb\",\"e\":1E+5,\"neg\":-2.7,\"t\":true,\"f\":false,\"st\":\"true\","
      "\"n12\":\"12\",\"nul\":null,\"x\":\"abc\",\"big\":1e+300}"));
  const int arr = doc.Locate("arr");
  EXPECT_EQ(doc.ValueText("arr"), Gb("数组"));
  EXPECT_EQ(doc.ValueText({}, doc.ElementAt({}, arr, 2)), Gb("对象"));
  EXPECT_EQ(doc.ValueText(), Gb("对象"));
  EXPECT_EQ(doc.ValueText("s"), "a\nb");
  EXPECT_EQ(doc.ValueText("e"), "1e+5");
  EXPECT_EQ(doc.NumberValue("e"), 100000);
  EXPECT_EQ(doc.LongValue("neg"), -2);
  EXPECT_EQ(doc.LongValue("big"), INT64_MAX);
  EXPECT_TRUE(doc.BoolValue("t"));
  EXPECT_FALSE(doc.BoolValue("f"));
  EXPECT_FALSE(doc.BoolValue("st"));
  EXPECT_EQ(doc.NumberValue("n12"), 12);
  EXPECT_EQ(doc.NumberValue("x"), 0);
  EXPECT_EQ(doc.NumberValue("t"), 0);
  EXPECT_EQ(doc.ValueText("nul"), "null");
  EXPECT_TRUE(doc.IsNull("nul"));
  EXPECT_FALSE(doc.IsNull("t"));
  EXPECT_TRUE(doc.IsNull("missing"));
  EXPECT_TRUE(doc.Exists("t"));
  EXPECT_EQ(doc.ElementCount("arr"), 2);
  EXPECT_EQ(doc.ElementCount("s"), 0);
  EXPECT_EQ(doc.ElementAt("arr", 0, 0), 0);
  EXPECT_EQ(doc.ElementAt("arr", 0, 3), 0);
  EXPECT_EQ(doc.ElementAt({}, 0, 1), 0);  // not an array
  std::vector<std::string> names{"stale"};
  EXPECT_EQ(doc.MemberNames("arr", 0, names), 0);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(doc.MemberByName("arr", 0, "x"), 0);
  EXPECT_EQ(doc.Locate({}, doc.ValueCount() + 1), 0);
  EXPECT_EQ(doc.TypeOf({}, doc.ValueCount()), 4);
}

TEST(JsonDocQueries, Paths) {
  JsonDoc doc;
  ASSERT_TRUE(doc.ParseText("{\"a\":{\"b\":[10,{\"c.d\":true,\"x[1]\":7}]}," + Gb("\"中\":5") + "}"));
  struct Case {
    std::string path;
    std::string value;  // "" = not found
  };
  for (const Case& c : {Case{"a.b[1]", "10"}, Case{"a.b[2]['c.d']", "true"}, Case{"a[\"b\"][2][\"c.d\"]", "true"},
                        Case{".a.b[1]", "10"}, Case{"['a'].b[2]['x[1]']", "7"}, Case{Gb("中"), "5"},
                        Case{"a.x", ""}, Case{"a[1]", ""}, Case{"a.b.c", ""}, Case{"a.b[0]", ""}, Case{"a.b[3]", ""},
                        Case{"a..b", ""}, Case{"a.", ""}, Case{"a.b[", ""}, Case{"a.b[x]", ""}, Case{"a.b[1", ""},
                        Case{"a['b]", ""}, Case{"a.b[1]c", ""}, Case{"a.b[99999999999]", ""}}) {
    EXPECT_EQ(doc.ValueText(c.path), c.value) << c.path;
    EXPECT_EQ(doc.Exists(c.path), !c.value.empty()) << c.path;
  }
  const int a = doc.FindFromRoot("a");
  EXPECT_EQ(doc.ValueText("b[1]", a), "10");
  EXPECT_EQ(doc.FindFrom(a, "b[2]"), doc.FindFromRoot("a.b[2]"));

  std::vector<PathSegment> segments;
  ASSERT_EQ(JsonDoc::SplitPath("a[2][\"c.d\"].e", segments), 4);
  using Kind = PathSegment::Kind;
  EXPECT_EQ(segments, (std::vector<PathSegment>{{Kind::Name, "a", 0}, {Kind::Element, "", 2},
                                                {Kind::Name, "c.d", 0}, {Kind::Name, "e", 0}}));
  EXPECT_EQ(JsonDoc::SplitPath("a..b", segments), -1);
}

}  // namespace
}  // namespace qoxa::tree::testing
