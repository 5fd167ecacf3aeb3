// The generate-code and find commands through the headless window.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/CodeTemplates.h"
#include "tests/app/AppTestSupport.h"

namespace qoxa::app::testing {
namespace {

std::string LastLine(const std::string& text) {
  std::string body = text;
  if (body.ends_with("\r\n")) body.resize(body.size() - 2);
  const size_t at = body.rfind("\r\n");
  return at == std::string::npos ? body : body.substr(at + 2);
}

TEST(GenerateCode, EachModesSnippetGoesToTheClipboardWithItsMessage) {
  struct Case {
    RadioButton radio;
    std::string source, result, path;
    std::string lastLine, message;
    bool list = false;
  } cases[] = {
      {RadioButton::Zy, "{}", "", "a.b", "调试输出 (json.到文本 (“a.b”，真))", "zyjson解析-代码生成完毕，粘贴到易语言即可！"},
      {RadioButton::Hx, "{}", "", "a[0]", "调试输出 (hx2.取文本值 ())", "彗星解析-代码生成完毕，粘贴到易语言即可！"},
      {RadioButton::E2ee, "[1]", "", "[1]", "调试输出 (局_成员.取文本 (“[1]”))", "E2EE-代码生成完毕，粘贴到易语言即可！", true},
      {RadioButton::E2ee, " [1]", "", "//a.b", "调试输出 (局_键值.取文本 (“//a.b”))", "E2EE-代码生成完毕，粘贴到易语言即可！"},
      {RadioButton::Jy, "{}", "\"x\"", "a", "调试输出 (json.取通用属性 (“a”, ))", "精易解析-代码生成完毕，粘贴到易语言即可！"},
      {RadioButton::Jy, "{}", "[\"x\"]", "a", "调试输出 (json.取通用属性 (“a”, 真))", "精易解析-代码生成完毕，粘贴到易语言即可！"},
      {RadioButton::Jy, "{}", "12", "真", "调试输出 (json.取通用属性 (“真”, 真))", "精易解析-代码生成完毕，粘贴到易语言即可！"},
      {RadioButton::Jy, "{}", "", "", "调试输出 (json.取通用属性 (“”, 真))", "精易解析-代码生成完毕，粘贴到易语言即可！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lastLine);
    TestWindow w;
    w.window.SetChecked(c.radio, true);
    w.SetSource(c.source);
    w.window.SetText(EditBox::Result, Gb(c.result));
    w.window.SetText(EditBox::Path, Gb(c.path));
    w.commands.OnGenerateCodeClicked();
    const std::string snippet = Utf8(w.window.Clipboard());
    EXPECT_EQ(LastLine(snippet), c.lastLine);
    if (c.radio == RadioButton::E2ee) {
      EXPECT_EQ(snippet.find(c.list ? "存取列表" : "存取键值表") != std::string::npos, true);
      EXPECT_EQ(snippet.ends_with("\r\n"), !c.list);  // only the key-value template ends with a line break
    }
    ASSERT_EQ(w.window.Messages().size(), 1u);
    EXPECT_EQ(Utf8(w.window.Messages()[0].text), c.message);
    EXPECT_EQ(w.window.Messages()[0].title, "");
  }
}

TEST(GenerateCode, NothingHappensWithNoModeChecked) {
  TestWindow w;
  w.window.SetChecked(RadioButton::Jy, false);
  w.window.SetClipboardText("kept");
  w.commands.OnGenerateCodeClicked();
  EXPECT_EQ(w.window.Clipboard(), "kept");
  EXPECT_TRUE(w.window.Messages().empty());
}

TEST(GenerateCode, SnippetUsesThePathNodeSelectionLeft) {
  TestWindow w;
  w.window.SetChecked(RadioButton::E2ee, true);
  w.SetSource(R"({"a":[5,6]})");
  w.commands.OnImportClicked();
  w.window.SetCurrentItem(3);  // "[1] 6"
  ASSERT_EQ(w.TextOf(EditBox::Path), "//a[2]");
  w.commands.OnGenerateCodeClicked();
  EXPECT_EQ(w.window.Clipboard(), GenerateCode(Mode::E2ee, Gb(R"({"a":[5,6]})"), {}, Gb("//a[2]")).snippet);
}

struct FindWindow : TestWindow {
  explicit FindWindow(std::string_view source) {
    SetSource(source);
    commands.OnImportClicked();
    window.onCurrentItemChanged = [this] {
      // Node selection runs while the search is still on.
      captionDuringSelection = Utf8(window.Caption(PushButton::Find));
      enabledDuringSelection = window.IsEnabled(PushButton::Find);
      commands.OnTreeItemChanged();
    };
  }
  int Find(std::string_view findTextGb) {
    window.SetText(EditBox::Find, findTextGb);
    commands.OnFindClicked();
    EXPECT_EQ(Utf8(window.Caption(PushButton::Find)), "寻找文本");
    EXPECT_TRUE(window.IsEnabled(PushButton::Find));
    return window.CurrentItem();
  }
  std::string captionDuringSelection;
  bool enabledDuringSelection = true;
};

TEST(FindInTree, FirstMatchingLabelBecomesCurrent) {
  const std::string source = R"([{"Name":"a"},["甲","乙",1,"A"],"中文"])";
  struct Case {
    std::string findText;  // GB18030 bytes
    std::string label;     // the label of the item found, "" for none
  } cases[] = {
      {Gb("对象"), "[0] 对象"},
      {Gb("数组"), "数组"},         // the root of an array document
      {Gb("“"), "Name: “a”"},      // the first string item
      {Gb("乙"), "[1] “乙”"},
      {Gb("A"), "[3] “A”"},        // case-sensitive: "a" does not match
      {Gb("name"), ""},
      {"", "数组"},                 // an empty find text: the first non-empty label
      {"\xD0\xCE", ""},            // bytes across the characters 中 (D6 D0) and 文 (CE C4)
      {Gb("nothing"), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FindWindow w(source);
    const int found = w.Find(c.findText);
    if (c.label.empty()) {
      EXPECT_EQ(found, -1);
      EXPECT_FALSE(w.window.TreeHasFocus());
      continue;
    }
    ASSERT_GE(found, 0);
    EXPECT_EQ(Utf8(w.window.TreeLabel(found)), c.label);
    EXPECT_TRUE(w.window.TreeHasFocus());
    EXPECT_EQ(w.captionDuringSelection, "寻找中…");
    EXPECT_FALSE(w.enabledDuringSelection);
    EXPECT_EQ(w.TextOf(EditBox::Path), Utf8(w.commands.PathTable().At(static_cast<size_t>(found))));
  }
}

TEST(FindInTree, EmptyTree) {
  FindWindow w(R"([1,2])");
  w.window.ClearTree();
  EXPECT_EQ(w.Find(Gb("数组")), -1);
}

// A long search dispatches pending events; an import they run may remove the items still to be
// searched, which then have empty labels.
TEST(FindInTree, DispatchesEventsWhileSearching) {
  std::string source = "[";
  for (int i = 0; i < 400000; ++i) source += "1,";
  source += "\"last\"]";
  FindWindow w(source);

  // Nothing matches, so the time is the search's alone.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(w.Find(Gb("absent")), -1);
  if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(50)) {
    EXPECT_GT(w.window.DispatchCount(), 0);
  }

  bool cleared = false;
  w.window.onDispatch = [&] {
    if (!cleared) w.window.ClearTree();
    cleared = true;
  };
  const int found = w.Find(Gb("last"));
  if (cleared) {
    EXPECT_EQ(found, -1);
  }
}

}  // namespace
}  // namespace qoxa::app::testing
