// The format and compact commands through the headless window.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <utility>

#include "app/HeadlessServices.h"
#include "app/MainCommands.h"
#include "platform/CodePage.h"
#include "scripthost/Regex.h"

namespace qoxa::app {
namespace {

class FormatCommandsTest : public ::testing::Test {
 protected:
  std::string Run(void (MainCommands::*command)(), std::string_view source) {
    window.SetText(EditBox::Source, source);
    (commands.*command)();
    return window.Text(EditBox::Source);
  }

  HeadlessServices window;
  MainCommands commands{window};
};

TEST_F(FormatCommandsTest, FormatWritesMembersInKeyOrderWithFourSpacesAndCrLf) {
  const std::string formatted =
      Run(&MainCommands::OnFormatClicked, R"({"b":[1,2],"a":{"x":"y/z"},"c":true,"d":null,"e":1.50})");
  EXPECT_EQ(formatted,
            "{\r\n    \"a\" : {\r\n        \"x\" : \"y\\/z\"\r\n    },\r\n    \"b\" : [\r\n        1,\r\n        2\r\n"
            "    ],\r\n    \"c\" : true,\r\n    \"d\" : null,\r\n    \"e\" : 1.5\r\n}");
  EXPECT_TRUE(window.Messages().empty());
}

TEST_F(FormatCommandsTest, FormatOfTextThatDoesNotParseShowsItsMessageAndKeepsTheText) {
  EXPECT_EQ(Run(&MainCommands::OnFormatClicked, "nonsense"), "nonsense");
  ASSERT_EQ(window.Messages().size(), 1u);
  EXPECT_EQ(window.Messages()[0].text, platform::Utf8ToGb18030("格式化失败"));
  EXPECT_EQ(window.Messages()[0].title, platform::Utf8ToGb18030("json解析"));
}

TEST_F(FormatCommandsTest, FormatSurvivesNestingDeeperThanTheParserAllows) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_EQ(Run(&MainCommands::OnFormatClicked, deep), deep);
  EXPECT_EQ(window.Messages().size(), 1u);
}

TEST_F(FormatCommandsTest, CompactRemovesWhiteSpaceAfterBraceAndCommaAndBeforeClosingBrace) {
  const struct {
    const char* source;
    const char* compacted;
  } cases[] = {
      {"{\r\n    \"a\" : 1,\r\n    \"b\" : [\r\n        1,\r\n        2\r\n    ]\r\n}",
       "{\"a\" : 1,\"b\" : [\r\n        1,2\r\n    ]}"},
      {"[\"a, b\"]", "[\"a,b\"]"},  // inside strings too
      {"[ 1 ]", "[ 1 ]"},
      {"", ""},
      {"{\t\f\v}", "{}"},
  };
  for (const auto& c : cases) EXPECT_EQ(Run(&MainCommands::OnCompactClicked, c.source), c.compacted) << c.source;
}

TEST_F(FormatCommandsTest, CompactKeepsChineseText) {
  const std::string source = platform::Utf8ToGb18030("{ \"名称\" : \"中文, 数据\" }");
  EXPECT_EQ(Run(&MainCommands::OnCompactClicked, source), platform::Utf8ToGb18030("{\"名称\" : \"中文,数据\"}"));
}

// The command does the three replacements in one pass; on any text of valid characters the
// result must be the one of the three Regex passes, braces hidden in two-byte characters included.
TEST_F(FormatCommandsTest, CompactEqualsTheThreeRegularExpressionReplacements) {
  const std::string pieces[] = {"{", "}", ",", " ", "\t", "\r\n", "\v", "\f", "a", "\"", "[", ":",
                                platform::Utf8ToGb18030("中"), "\x81\x7B", "\x81\x7D", "\x81\x30\x81\x30"};
  std::mt19937 random(20261211);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
    std::string expected = text;
    script::Regex regex;
    for (const auto& [pattern, replacement] : {std::pair{"{(\\s+)", "{"}, {",(\\s+)", ","}, {"(\\s+)}", "}"}}) {
      ASSERT_TRUE(regex.Execute(pattern, expected));
      expected = regex.Replace(replacement);
    }
    ASSERT_EQ(Run(&MainCommands::OnCompactClicked, text), expected) << text;
  }
}

TEST_F(FormatCommandsTest, CompactKeepsBytesThatFormNoCharacter) {
  EXPECT_EQ(Run(&MainCommands::OnCompactClicked, "{ \xFF, \x81}\x80 }"), "{\xFF,\x81}\x80}");
}

}  // namespace
}  // namespace qoxa::app
