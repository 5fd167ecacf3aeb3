// The format and compact commands through the headless window.
#include <gtest/gtest.h>

#include "app/HeadlessServices.h"
#include "app/MainCommands.h"
#include "platform/CodePage.h"

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

}  // namespace
}  // namespace qoxa::app
