// The document handle's operations, plain and UTF-16 forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "zyengine/ZyJson.h"

namespace qoxa::zy {
namespace {

// A text of more than a megabyte takes the big-buffer paths of reading and writing; it must come back
// byte for byte, Chinese text and escapes included.
TEST(Handle, BigTextRoundTrips) {
  const std::string word = platform::Utf8ToGb18030("中文数据");
  std::string text = "[";
  for (int i = 0; i < 60000; ++i) {
    if (i) text += ',';
    text += "{\"k" + std::to_string(i % 7) + "\":\"" + word + "\\n" + std::to_string(i) + "\"}";
  }
  text += ']';
  ASSERT_GT(text.size(), size_t{1} << 20);
  ZyJson doc;
  ASSERT_EQ(doc.Parse(text), 1);
  EXPECT_EQ(doc.CountAt(), 60000);
  EXPECT_EQ(doc.StringAt("[59999].k2"), word + "\n59999");
  EXPECT_EQ(doc.ToText(), text);
}

TEST(Handle, CopiesShareTheRoot) {
  ZyJson doc;
  EXPECT_EQ(doc.Root(), nullptr);
  ASSERT_EQ(doc.Create(R"({"a":1})"), 1);
  ZyJson second = doc;
  EXPECT_EQ(second.Root(), doc.Root());
  EXPECT_EQ(doc.Root()->refCount.load(), 2);
  second.SetIntegerAt("a", 5);
  EXPECT_EQ(doc.ToText(), R"({"a":5})");
  doc.ReleaseRoot();
  EXPECT_EQ(doc.Root(), nullptr);
  EXPECT_EQ(second.Root()->refCount.load(), 1);
  EXPECT_EQ(doc.Create("[1,"), 0);
  EXPECT_EQ(doc.Create(), 1);
  EXPECT_EQ(doc.ToText(), "{}");
}

TEST(Handle, MadeValuesAreOwnedByTheirHandle) {
  ZyJson doc;
  const struct {
    ZyJson value;
    const char* text;
  } made[] = {{doc.MakeObject(), "{}"},      {doc.MakeArray(), "[]"},
              {doc.MakeNull(), "null"},      {doc.MakeBool(true), "true"},
              {doc.MakeString("a\"b"), R"("a\"b")"}, {doc.MakeStringW(u"\u4e2d"), "\"\xD6\xD0\""},
              {doc.MakeDouble(0.1), "0.1"},  {doc.MakeInteger(-7), "-7"}};
  for (const auto& m : made) {
    EXPECT_EQ(m.value.Root()->refCount.load(), 1);
    EXPECT_EQ(m.value.ToText(), m.text);
  }
  EXPECT_EQ(made[5].value.ToTextW(), u"\"\u4e2d\"");
}

TEST(Handle, CreatingPathsAndSettingValues) {
  ZyJson doc;
  doc.Create();
  EXPECT_TRUE(doc.SetStringAt("a.b[2]", "x"));
  EXPECT_TRUE(doc.SetBoolAtW(u"a.c", true));
  EXPECT_TRUE(doc.SetDoubleAt("d", 2.5));
  EXPECT_TRUE(doc.SetNullAt("e[0]"));
  EXPECT_TRUE(doc.SetIntegerAtW(u"a.b[0]", 9007199254740993));
  EXPECT_EQ(doc.ToText(), R"({"a":{"b":[9007199254740993,null,"x"],"c":true},"d":2.5,"e":[null]})");
  EXPECT_EQ(doc.IntegerAt("a.b[0]"), 9007199254740993);
  EXPECT_EQ(doc.IntegerAt("d"), 2);
  EXPECT_DOUBLE_EQ(doc.DoubleAtW(u"a.b[0]"), 9007199254740992.0);
  EXPECT_TRUE(doc.BoolAt("a.c"));
  EXPECT_FALSE(doc.BoolAt("d"));
  EXPECT_TRUE(doc.HasPath("a.b[2]"));
  EXPECT_FALSE(doc.HasPathW(u"a.b[3]"));
  EXPECT_FALSE(doc.HasPath(""));
  EXPECT_EQ(doc.CountAt("a.b"), 3);
  EXPECT_EQ(doc.CountAt("d"), 0);
  // A key step on an Array turns it into an Object; an index step on an Object into an Array.
  EXPECT_TRUE(doc.SetIntegerAt("e.k", 1));
  EXPECT_TRUE(doc.SetIntegerAt("a[1]", 2));
  EXPECT_EQ(doc.ToText(), R"({"a":[null,2],"d":2.5,"e":{"k":1}})");
  EXPECT_EQ(doc.ValueAt("z").TypeAt(), static_cast<int>(ZyType::Null));
  EXPECT_TRUE(doc.HasPath("z"));
  EXPECT_EQ(doc.ValueAt("a[-1]").Root(), nullptr);
}

TEST(Handle, RemovingAndResetting) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a":[1,2,3],"b":{"c":1},"d":"s"})"), 1);
  EXPECT_TRUE(doc.RemoveIndex("a", 1));
  EXPECT_FALSE(doc.RemoveIndexW(u"a", 2));
  EXPECT_TRUE(doc.RemoveKeyW(u"b", u"c"));
  EXPECT_FALSE(doc.RemoveKey("b", "c"));
  EXPECT_TRUE(doc.ResetAt("d"));
  EXPECT_EQ(doc.ToText(), R"({"a":[1,3],"b":{},"d":""})");
  EXPECT_TRUE(doc.ResetAtW(u""));
  EXPECT_EQ(doc.ToText(), "{}");
}

TEST(Handle, CopiesGoIntoTheDocument) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"list":[1,2],"obj":{"k":1}})"), 1);
  ZyJson piece;
  ASSERT_EQ(piece.Parse(R"({"p":[true]})"), 1);
  EXPECT_TRUE(doc.PutMember("obj", "new", piece));
  EXPECT_TRUE(doc.AppendCopy("list", piece));
  EXPECT_TRUE(doc.InsertCopyW(u"list", 0, piece.ValueAt("p[0]")));
  EXPECT_FALSE(doc.InsertCopy("list", 9, piece));
  EXPECT_TRUE(doc.PutItem("list", 1, doc.MakeString("one")));
  EXPECT_TRUE(doc.PutItemW(u"list", 6, doc.MakeInteger(6)));
  EXPECT_FALSE(doc.PutMember("obj", "none", ZyJson()));
  EXPECT_EQ(doc.ToText(),
            R"({"list":[true,"one",2,{"p":[true]},null,null,6],"obj":{"k":1,"new":{"p":[true]}}})");
  // The copies are independent of the source.
  piece.SetIntegerAt("p[0]", 0);
  EXPECT_EQ(doc.ToText("obj.new"), R"({"p":[true]})");
  // Putting a document into a part of itself copies it first.
  EXPECT_TRUE(doc.PutMember("obj", "self", doc));
  EXPECT_EQ(doc.CountAt("obj.self.obj"), 2);
}

TEST(Handle, ChildrenKeysAndParents) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse("{\"b\":1,\"\xD6\xD0\":[5,6],\"a\":{\"x\":0}}"), 1);
  std::vector<std::string> keys;
  EXPECT_EQ(doc.KeysAt("", keys), 3);
  EXPECT_EQ(keys, (std::vector<std::string>{"b", "\xD6\xD0", "a"}));
  std::vector<std::u16string> wideKeys;
  EXPECT_EQ(doc.KeysAtW(u"\u4e2d", wideKeys), 0);
  std::vector<ZyJson> children;
  EXPECT_EQ(doc.ChildrenAtW(u"\u4e2d", children), 2);
  EXPECT_EQ(children[1].ToText(), "6");
  EXPECT_EQ(doc.ItemAt("", 2).ToText(), R"({"x":0})");
  EXPECT_EQ(doc.ItemAtW(u"\u4e2d", 0).IntegerAt(), 5);
  EXPECT_EQ(doc.MemberAtW(u"a", u"x").TypeAt(), static_cast<int>(ZyType::Integer));
  EXPECT_EQ(doc.KeyAtW(u"a.x"), u"x");
  EXPECT_EQ(doc.KeyAt("[1]"), "\xD6\xD0");
  EXPECT_EQ(doc.KeyAt("[1][0]"), "");
  EXPECT_EQ(doc.ParentAt("a.x").Root(), doc.MemberAt("", "a").Root());
  EXPECT_EQ(doc.ParentAtW(u"").Root(), nullptr);

  // A handle on a member can take it out of its document.
  ZyJson member = doc.MemberAt("", "b");
  member.DetachRoot();
  EXPECT_EQ(doc.ToText(), "{\"\xD6\xD0\":[5,6],\"a\":{\"x\":0}}");
  EXPECT_EQ(member.ToText(), "1");
  EXPECT_EQ(member.Root()->refCount.load(), 1);  // the container's reference went with it
}

TEST(Handle, DeepCopyIsIndependentAndRenumbersNumbers) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a":[1.50,{"b":raw}],"s":"t\"","n":null,"f":false})"), 1);
  ZyJson copy = doc.CopyAt();
  EXPECT_NE(copy.Root(), doc.Root());
  EXPECT_EQ(copy.ToText(), R"({"a":[1.5,{"b":raw}],"s":"t\"","n":null,"f":false})");
  copy.SetIntegerAt("a[1].b", 1);
  EXPECT_EQ(doc.TextFormAt("a[1].b"), "raw");
  EXPECT_EQ(doc.CopyAtW(u"a[1]").ToText(), R"({"b":raw})");
}

TEST(Handle, SortKeys) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"b":1,"B":2,"a":3,"ab":4,"":5})"), 1);
  doc.SortKeys();
  EXPECT_EQ(doc.ToText(), R"({"":5,"B":2,"a":3,"ab":4,"b":1})");  // code-unit order
  doc.SortKeysW(u"", true);
  EXPECT_EQ(doc.ToText(), R"({"b":1,"ab":4,"a":3,"B":2,"":5})");
  EXPECT_EQ(doc.IntegerAt("B"), 2);  // lookups still find every member after sorting
  EXPECT_EQ(doc.IntegerAt("[1]"), 4);
}

TEST(Handle, Merges) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a":{"x":1,"y":{"z":1}},"b":[1],"c":2})"), 1);
  EXPECT_TRUE(doc.MergeText("", R"({"a":{"y":{"z":2,"w":3},"v":4},"c":[9],"new":1})", false, false));
  EXPECT_EQ(doc.ToText(), R"({"a":{"x":1,"y":{"z":2}},"b":[1],"c":[9]})");
  EXPECT_TRUE(doc.MergeTextW(u"a", u"{y:{w:3},v:4}", false, true));
  EXPECT_EQ(doc.ToText("a"), R"({"x":1,"y":{"z":2,"w":3},"v":4})");
  EXPECT_FALSE(doc.MergeText("", "[1,", false, true));
  // Merging into a value that is not an Object replaces it under its key.
  EXPECT_TRUE(doc.MergeText("c", R"({"k":1})", false, true));
  EXPECT_EQ(doc.ToText("c"), R"({"k":1})");
  // Not a member and not an Object: the merge fails.
  EXPECT_FALSE(doc.MergeText("b[0]", R"({"k":1})", false, true));

  ZyJson other;
  ASSERT_EQ(other.Parse(R"({"c":"over","d":[1]})"), 1);
  EXPECT_TRUE(doc.MergeObject("", other));
  EXPECT_EQ(doc.ToText("c"), R"("over")");
  EXPECT_EQ(doc.KeyAt("[3]"), "d");
  EXPECT_FALSE(doc.MergeObject("", doc.ValueAt("b")));
  EXPECT_TRUE(doc.AppendAll("b", other.ValueAt("d")));
  EXPECT_TRUE(doc.AppendAll("b", doc.ValueAt("b")));  // appending an Array to itself doubles it once
  EXPECT_EQ(doc.ToText("b"), "[1,1,1,1]");
  EXPECT_FALSE(doc.AppendAll("b", other));
}

TEST(Handle, OperationsOnAnEmptyHandleDoNothing) {
  ZyJson empty;
  EXPECT_EQ(empty.TypeAt(), -1);
  EXPECT_EQ(empty.CountAt(), 0);
  EXPECT_FALSE(empty.SetIntegerAt("a", 1));
  EXPECT_FALSE(empty.ResetAt());
  EXPECT_EQ(empty.CopyAt().Root(), nullptr);
  EXPECT_EQ(empty.StringAt(), "");
  EXPECT_EQ(empty.Parse("[1]"), 1);  // parsing gives it a root
  EXPECT_EQ(empty.ToText(), "[1]");
}

}  // namespace
}  // namespace qoxa::zy
