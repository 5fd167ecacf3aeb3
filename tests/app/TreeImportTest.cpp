#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/AppTestSupport.h"
#include "treeengine/DocMemberTable.h"

namespace qoxa::app::testing {
namespace {

struct ImportCase {
  const char* name;
  const char* source;  // UTF-8
  std::vector<Mode> modes;
  std::vector<Item> items;
};

const std::vector<Mode> kAllModes{Mode::Jy, Mode::Zy, Mode::Hx, Mode::E2ee};
const std::vector<Mode> kLooseModes{Mode::Zy, Mode::Hx, Mode::E2ee};

const ImportCase kImportCases[] = {
    {"MixedArray", R"([1,"a",{"k":null}])", kAllModes,
     {{"数组", "", 0}, {"[0] 1", "[0]", 1}, {"[1] “a”", "[1]", 1}, {"[2] 对象", "[2]", 1}, {"k: null", "[2].k", 3}}},
    {"MembersInBucketOrder", R"({"b":1,"a":2})", kAllModes, {{"对象", "", 0}, {"a: 2", "a", 1}, {"b: 1", "b", 1}}},
    {"SpaceInNameIsBracketed", R"({"a b":1})", kAllModes, {{"对象", "", 0}, {"a b: 1", "['a b']", 1}}},
    {"DigitInNameJy", R"({"x1":{"y":2}})", {Mode::Jy}, {{"对象", "", 0}, {"x1: 对象", "['x1']", 1}, {"y: 2", "['x1'].y", 3}}},
    {"DigitInNameOtherModes", R"({"x1":{"y":2}})", kLooseModes, {{"对象", "", 0}, {"x1: 对象", "x1", 1}, {"y: 2", "x1.y", 3}}},
    {"UnderscoreJy", R"({"_id":1})", {Mode::Jy}, {{"对象", "", 0}, {"_id: 1", "['_id']", 1}}},
    {"UnderscoreOtherModes", R"({"_id":1})", kLooseModes, {{"对象", "", 0}, {"_id: 1", "_id", 1}}},
    {"ChineseNameBracketedEverywhere", R"({"数据":1})", kAllModes, {{"对象", "", 0}, {"数据: 1", "['数据']", 1}}},
    {"EmptyName", R"({"":1})", kAllModes, {{"对象", "", 0}, {": 1", "['']", 1}}},
    {"EachNameJudgedAlone", R"({"a1":1,"z":2})", {Mode::Jy}, {{"对象", "", 0}, {"a1: 1", "['a1']", 1}, {"z: 2", "z", 1}}},
    {"QuoteInNameNotEscaped", R"({"it's":{"a.b":[true]}})", {Mode::Zy},
     {{"对象", "", 0}, {"it's: 对象", "['it's']", 1}, {"a.b: 数组", "['it's']['a.b']", 3}, {"[0] true", "['it's']['a.b'][0]", 5}}},
    {"ScalarRoot", "123", kAllModes, {{"123", "", 0}}},
    {"StringRoot", R"("text")", kAllModes, {{"“text”", "", 0}}},
    {"NothingReadable", "x", kAllModes, {{"", "", 0}}},
    {"PartialDocument", "[1,\n2,]", kAllModes, {{"数组", "", 0}, {"[0] 1", "[0]", 1}, {"[1] 2", "[1]", 1}}},
    {"RepeatedNameTakesFirstValue", R"({"a":1,"a":2})", kAllModes, {{"对象", "", 0}, {"a: 1", "a", 1}, {"a: 1", "a", 1}}},
    {"NestedArrays", R"([[[]],{"k":[{}]}])", {Mode::Jy},
     {{"数组", "", 0},
      {"[0] 数组", "[0]", 1},
      {"[0] 数组", "[0][0]", 3},
      {"[1] 对象", "[1]", 1},
      {"k: 数组", "[1].k", 3},
      {"[0] 对象", "[1].k[0]", 5}}},
};

class ImportCases : public ::testing::TestWithParam<ImportCase> {};

TEST_P(ImportCases, LabelsPathsAndDepths) {
  const ImportCase& c = GetParam();
  for (Mode mode : c.modes) {
    TestWindow t;
    t.window.SetChecked(RadioOf(mode), true);
    t.SetSource(c.source);
    t.commands.OnImportClicked();
    SCOPED_TRACE(static_cast<int>(mode));
    EXPECT_EQ(t.Items(), c.items);
    EXPECT_EQ(t.commands.PathTable().Size(), t.window.Tree().Size());
    EXPECT_TRUE(t.window.IsExpanded(0)) << "the root is expanded after the import";
    for (int i = 1; i < t.window.TreeItemCount(); ++i) EXPECT_FALSE(t.window.IsExpanded(i));
    EXPECT_TRUE(t.window.Messages().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Import, ImportCases, ::testing::ValuesIn(kImportCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Import, HierarchyFollowsDepths) {
  TestWindow t;
  t.SetSource(R"({"a":[1,{"b":2}],"c":3})");
  t.commands.OnImportClicked();
  // items: 对象, a: 数组, [0] 1, [1] 对象, b: 2, c: 3
  ASSERT_EQ(t.window.TreeItemCount(), 6);
  EXPECT_EQ(t.window.TreeParents(), (std::vector<int32_t>{-1, 0, 1, 1, 3, 0}));
}

// The button shows "请稍后" and is disabled while the import runs, and the boxes are cleared.
class ObservingWindow : public HeadlessServices {
 public:
  void LoadTree(TreeItemTable items) override {
    captionDuringLoad = Caption(PushButton::Import);
    enabledDuringLoad = IsEnabled(PushButton::Import);
    HeadlessServices::LoadTree(std::move(items));
  }
  std::string captionDuringLoad;
  bool enabledDuringLoad = true;
};

TEST(Import, ButtonBusyWhileRunningAndBoxesCleared) {
  ObservingWindow window;
  MainCommands commands(window);
  window.SetText(EditBox::Source, "[1]");
  window.SetText(EditBox::Path, "old path");
  window.SetText(EditBox::Result, "old result");
  window.SetText(EditBox::Find, "old find");
  commands.OnImportClicked();
  EXPECT_EQ(Utf8(window.captionDuringLoad), "请稍后");
  EXPECT_FALSE(window.enabledDuringLoad);
  EXPECT_EQ(Utf8(window.Caption(PushButton::Import)), "导入树");
  EXPECT_TRUE(window.IsEnabled(PushButton::Import));
  for (EditBox box : {EditBox::Path, EditBox::Result, EditBox::Find}) EXPECT_EQ(window.Text(box), "");
  EXPECT_EQ(window.Text(EditBox::Source), "[1]");
}

TEST(Import, EmptySourceShowsMessageAndChangesNothing) {
  TestWindow t;
  t.SetSource("[1]");
  t.commands.OnImportClicked();
  const auto before = t.Items();
  t.SetSource("");
  t.window.SetText(EditBox::Path, "[0]");
  t.window.SetText(EditBox::Result, "1");
  t.commands.OnImportClicked();
  ASSERT_EQ(t.window.Messages().size(), 1u);
  EXPECT_EQ(Utf8(t.window.Messages()[0].text), "JSON原文本内容为空，请输入数据！");
  EXPECT_EQ(Utf8(t.window.Messages()[0].title), "json解析");
  EXPECT_EQ(t.Items(), before);
  EXPECT_EQ(t.TextOf(EditBox::Path), "[0]");
  EXPECT_EQ(t.TextOf(EditBox::Result), "1");
  EXPECT_EQ(Utf8(t.window.Caption(PushButton::Import)), "导入树");
}

TEST(Import, ReplacesThePreviousTreeAndPathTable) {
  TestWindow t;
  t.SetSource(R"({"a":{"b":{"c":1}}})");
  t.commands.OnImportClicked();
  t.SetSource("[true]");
  t.commands.OnImportClicked();
  EXPECT_EQ(t.Items(), (std::vector<Item>{{"数组", "", 0}, {"[0] true", "[0]", 1}}));
}

// Nesting far beyond what the document keeps: the import walks whatever was stored, without
// deep recursion, and the depths keep rising by two per level.
TEST(Import, DeepNestingSurvives) {
  TestWindow t;
  std::string source(100000, '[');
  t.SetSource(source);
  t.commands.OnImportClicked();
  const TreeItemTable& tree = t.window.Tree();
  ASSERT_GT(tree.Size(), 100u);
  ASSERT_EQ(t.commands.PathTable().Size(), tree.Size());
  for (size_t i = 1; i < tree.Size(); ++i) {
    ASSERT_EQ(tree.depths[i], static_cast<int32_t>(2 * i - 1));
    ASSERT_EQ(t.commands.PathTable().At(i).size(), 3 * i);  // "[0]" once per level
  }
  EXPECT_EQ(t.window.TreeLevel(static_cast<int>(tree.Size()) - 1), static_cast<int>(tree.Size()) - 1);
}

TEST(Import, ManyMembersKeepBucketOrderAndPaths) {
  TestWindow t;
  std::string source = "{";
  for (int i = 0; i < 5000; ++i) source += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
  source += "}";
  t.window.SetChecked(RadioButton::Zy, true);
  t.SetSource(source);
  t.commands.OnImportClicked();
  const auto items = t.Items();
  ASSERT_EQ(items.size(), 5001u);
  int lastBucket = 0;
  int lastNumber = -1;
  for (size_t i = 1; i < items.size(); ++i) {
    const std::string& name = items[i].path;
    ASSERT_EQ(items[i].label, name + ": " + name.substr(1));
    // By bucket, and in document order inside a bucket.
    const int bucket = tree::DocMemberTable::BucketOf(tree::DocMemberTable::Hash(name));
    const int number = std::stoi(name.substr(1));
    ASSERT_GE(bucket, lastBucket);
    if (bucket == lastBucket) {
      ASSERT_GT(number, lastNumber);
    }
    lastBucket = bucket;
    lastNumber = number;
  }
}

}  // namespace
}  // namespace qoxa::app::testing
