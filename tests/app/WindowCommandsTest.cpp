#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/DroppedFile.h"
#include "tests/app/AppTestSupport.h"

namespace qoxa::app::testing {
namespace {

TEST(ClearCommand, EmptiesBoxesAndTreeAndChecksJy) {
  TestWindow t;
  t.window.SetChecked(RadioButton::E2ee, true);
  t.SetSource(R"({"a":1})");
  t.commands.OnImportClicked();
  for (EditBox box : {EditBox::Path, EditBox::Result, EditBox::Find}) t.window.SetText(box, "x");
  t.commands.OnClearClicked();
  for (EditBox box : {EditBox::Source, EditBox::Path, EditBox::Result, EditBox::Find}) EXPECT_EQ(t.window.Text(box), "");
  EXPECT_TRUE(t.window.IsChecked(RadioButton::Jy));
  for (RadioButton radio : {RadioButton::Zy, RadioButton::Hx, RadioButton::E2ee}) EXPECT_FALSE(t.window.IsChecked(radio));
  EXPECT_EQ(t.commands.CheckedMode(), Mode::Jy);
  EXPECT_EQ(t.window.TreeItemCount(), 0);
  EXPECT_EQ(t.commands.PathTable().Size(), 2u) << "the path table waits for the next import";
}

TEST(ModeCommand, EmptySourceClearsPathAndResultThenShowsTheImportMessage) {
  TestWindow t;
  t.window.SetText(EditBox::Path, "a");
  t.window.SetText(EditBox::Result, "1");
  t.window.SetChecked(RadioButton::Hx, true);
  t.commands.OnModeClicked();
  EXPECT_EQ(t.window.Text(EditBox::Path), "");
  EXPECT_EQ(t.window.Text(EditBox::Result), "");
  ASSERT_EQ(t.window.Messages().size(), 1u);
  EXPECT_EQ(Utf8(t.window.Messages()[0].text), "JSON原文本内容为空，请输入数据！");
}

TEST(ModeCommand, RebuildsTheTreeForTheCheckedMode) {
  TestWindow t;
  t.SetSource(R"({"x1":2})");
  t.commands.OnModeClicked();  // jy, the button already checked
  EXPECT_EQ(t.Items()[1].path, "['x1']");
  t.window.SetChecked(RadioButton::Zy, true);
  t.commands.OnModeClicked();
  EXPECT_EQ(t.Items()[1].path, "x1");
  EXPECT_EQ(t.commands.CheckedMode(), Mode::Zy);
  t.SetSource(R"({"y2":3})");
  t.commands.OnModeClicked();  // zy again: rebuilt all the same
  EXPECT_EQ(t.Items()[1].path, "y2");
}

// Ctrl+Z selects all, the next Ctrl+Z drops the selection, and so on; nothing else is acted on.
TEST(SourceKeyDown, CtrlZTogglesSelectAll) {
  struct Press {
    int key;
    int modifiers;
    bool selectedAfter;
  };
  const Press presses[] = {
      {90, 1, true},   // 1st Ctrl+Z
      {90, 3, true},   // Ctrl+Shift+Z: ignored
      {90, 0, true},   // plain Z: ignored
      {89, 1, true},   // Ctrl+Y: ignored
      {90, 5, true},   // Ctrl+Alt+Z: ignored
      {90, 1, false},  // 2nd Ctrl+Z
      {90, 2, false},  // Shift+Z: ignored
      {90, 1, true},   // 3rd Ctrl+Z
      {90, 1, false},
  };
  TestWindow t;
  t.SetSource("[1,2]");
  int step = 0;
  for (const Press& press : presses) {
    t.commands.OnSourceKeyDown(press.key, press.modifiers);
    EXPECT_EQ(t.window.AllSelected(EditBox::Source), press.selectedAfter) << "step " << step;
    EXPECT_EQ(t.window.HasFocus(EditBox::Source), press.selectedAfter) << "step " << step;
    ++step;
  }
  EXPECT_EQ(t.window.Text(EditBox::Source), "[1,2]");
}

class DroppedFileTest : public ::testing::Test {
 protected:
  std::string WriteFile(const std::string& bytes) {
    const std::string path = (dir_ / ("drop" + std::to_string(count_++))).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("qoxa-drop-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
  int count_ = 0;
};

TEST_F(DroppedFileTest, BytesBecomeTheSourceText) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;  // GB18030
  };
  const std::string zhongGb = Gb("中");
  const Case cases[] = {
      {"ascii", "[1, 2]", "[1, 2]"},
      {"zero byte ends the text", std::string("[1]\0[2]", 7), "[1]"},
      {"gb18030 taken as is", "[\"" + Gb("中文数据") + "\"]", "[\"" + Gb("中文数据") + "\"]"},
      {"utf-8 without mark", "[\"\xE4\xB8\xAD\"]", "[\"" + zhongGb + "\"]"},
      {"utf-8 with mark", "\xEF\xBB\xBF[\"\xE4\xB8\xAD\"]", "[\"" + zhongGb + "\"]"},
      {"utf-8 mark, ascii", "\xEF\xBB\xBF{}", "{}"},
      {"utf-16le", std::string("\xFF\xFE[\0\x2D\x4E]\0", 8), "[" + zhongGb + "]"},
      {"utf-16be", std::string("\xFE\xFF\0[\x4E\x2D\0]", 8), "[" + zhongGb + "]"},
      {"utf-16le, zero unit ends", std::string("\xFF\xFE" "1\0\0\0" "2\0", 8), "1"},
      {"utf-16le outside the BMP", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), Gb("\xF0\x9F\x98\x80")},
      {"empty file", "", ""},
  };
  for (const Case& c : cases) {
    TestWindow t;
    t.SetSource("old");
    t.commands.OnFileDropped(WriteFile(c.bytes));
    EXPECT_EQ(t.window.Text(EditBox::Source), c.expected) << c.name;
  }
}

TEST_F(DroppedFileTest, UnreadableFileEmptiesTheSourceBox) {
  const std::string missing = (dir_ / "missing.json").string();
  const std::string unreadable = WriteFile("[1]");
  chmod(unreadable.c_str(), 0);
  const bool rootReadsAnyway = access(unreadable.c_str(), R_OK) == 0;
  // A sparse file larger than the machine's memory: refused before anything is read.
  const std::string huge = (dir_ / "huge.json").string();
  {
    std::ofstream(huge, std::ios::binary) << "[";
  }
  const auto memoryBytes = static_cast<uintmax_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<uintmax_t>(sysconf(_SC_PAGESIZE));
  std::error_code error;
  std::filesystem::resize_file(huge, memoryBytes + (1u << 20), error);
  for (const std::string& name : {missing, dir_.string(), unreadable, huge}) {
    if (name == unreadable && rootReadsAnyway) continue;
    if (name == huge && error) continue;
    TestWindow t;
    t.SetSource("[1]");
    t.commands.OnFileDropped(name);
    EXPECT_EQ(t.window.Text(EditBox::Source), "") << name;
  }
}

TEST_F(DroppedFileTest, DroppedTextGoesThroughEscapeDecoding) {
  TestWindow t;
  t.commands.OnFileDropped(WriteFile(R"({"a":"\u4e2d\u6587"})"));
  EXPECT_EQ(t.TextOf(EditBox::Source), R"({"a":"中文"})");
}

// A window that reports the program's own writes into the source box as changes, the way some
// toolkits do: the handler's own write must not run it again.
class EchoingWindow : public HeadlessServices {
 public:
  void SetText(EditBox box, std::string_view text) override {
    HeadlessServices::SetText(box, text);
    if (box != EditBox::Source || commands == nullptr) return;
    ++sourceWrites;
    commands->OnSourceTextChanged();
  }
  MainCommands* commands = nullptr;
  int sourceWrites = 0;
};

TEST(SourceTextChanged, HandlerDoesNotRunForItsOwnWrites) {
  EchoingWindow window;
  MainCommands commands(window);
  // The escaped backslash stays escaped, so the decoded text still holds a backslash-u: were the
  // handler run for its own write it would decode again and again.
  window.SetText(EditBox::Source, R"(["\u005c\u4e2d"])");
  window.commands = &commands;
  commands.OnSourceTextChanged();  // the user's edit
  EXPECT_EQ(Utf8(window.Text(EditBox::Source)), R"(["\u005c中"])");
  EXPECT_EQ(window.sourceWrites, 1);
}

TEST(DroppedBytes, ReadFailsWithoutThrowing) {
  std::string bytes = "left over";
  EXPECT_FALSE(ReadDroppedFile("/nonexistent/qoxa/file", bytes));
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace qoxa::app::testing
