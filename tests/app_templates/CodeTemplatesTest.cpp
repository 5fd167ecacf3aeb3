// The generated snippets byte for byte, with their messages.
#include <gtest/gtest.h>

#include <string>

#include "app/CodeTemplates.h"
#include "platform/CodePage.h"

using qoxa::app::GenerateCode;
using qoxa::app::Mode;
using qoxa::platform::Utf8ToGb18030;

namespace {

std::string Gb(const std::string& utf8) { return Utf8ToGb18030(utf8); }

// ".支持库 " followed by the name of the support library every snippet declares.
const std::string kLibraryLine = ".支持库 \x73pec";

struct TemplateCase {
  Mode mode;
  const char* source;
  const char* result;
  const char* path;
  std::string snippet;  // UTF-8
  const char* message;  // UTF-8
};

const TemplateCase kCases[] = {
    {Mode::Hx, "{}", "", "a.b[0]",
     ".版本 2\r\n.支持库 CometHttp\r\n" + kLibraryLine +
         "\r\n\r\n.子程序 json_彗星解析, , , 本子程序由【QOXA菜鸟工具】生成\r\n"
         ".局部变量 hx1, 彗星JSON, , , 支持库下载  https://example.com/download/cometclient\r\n"
         ".局部变量 hx2, 彗星JSON\r\n\r\nhx1.解析 (“源文本”, )\r\nhx2 ＝ hx1.查询 (“a.b[0]”)\r\n"
         "调试输出 (hx2.取文本值 ())",
     "彗星解析-代码生成完毕，粘贴到易语言即可！"},
    {Mode::Zy, "{}", "", "a.b",
     ".版本 2\r\n\r\n.子程序 json_zy解析, , , 本子程序由【QOXA菜鸟工具】生成\r\n"
     ".局部变量 json, json解析, , , 模块下载  https://example.com/download/zyjson\r\n\r\n"
     "json.解析 (“源文本”)\r\n调试输出 (json.到文本 (“a.b”，真))",
     "zyjson解析-代码生成完毕，粘贴到易语言即可！"},
    {Mode::E2ee, "[1]", "", "[1]",
     ".版本 2\r\n.支持库 e2ee\r\n" + kLibraryLine +
         "\r\n\r\n.子程序 json_E2EE解析, , , 本子程序由【QOXA菜鸟工具】生成\r\n"
         ".局部变量 局_成员, 存取列表, , , 支持库下载  https://example.com/download/e2ee\r\n\r\n"
         "局_成员.从JSON载入 (“源文本”, 真, 真)\r\n调试输出 (局_成员.取文本 (“[1]”))",
     "E2EE-代码生成完毕，粘贴到易语言即可！"},
    // Only the very first byte counts: a blank before "[" gives the key-value table template,
    // the only one that ends with a line break.
    {Mode::E2ee, " [1]", "", "//a[2]",
     ".版本 2\r\n.支持库 e2ee\r\n" + kLibraryLine +
         "\r\n\r\n.子程序 json_E2EE解析, , , 本子程序由【QOXA菜鸟工具】生成\r\n"
         ".局部变量 局_键值, 存取键值表, , , 支持库下载  https://example.com/download/e2ee\r\n\r\n"
         "局_键值.从JSON载入 (“源文本”, 真, 真)\r\n调试输出 (局_键值.取文本 (“//a[2]”))\r\n",
     "E2EE-代码生成完毕，粘贴到易语言即可！"},
    {Mode::Jy, "{}", "12", "a['b']",
     ".版本 2\r\n" + kLibraryLine +
         "\r\n\r\n.子程序 json_精易解析, , , 本子程序由【QOXA菜鸟工具】生成\r\n"
         ".局部变量 json, 类_json, , , 精易模块 https://example.com/jy-module\r\n\r\n"
         "json.解析 (“源文本”)\r\n调试输出 (json.取通用属性 (“a['b']”, 真))",
     "精易解析-代码生成完毕，粘贴到易语言即可！"},
};

TEST(CodeTemplates, EveryTemplateByteForByteWithItsMessage) {
  for (const auto& c : kCases) {
    const auto code = GenerateCode(c.mode, Gb(c.source), Gb(c.result), Gb(c.path));
    EXPECT_EQ(code.snippet, Gb(c.snippet)) << c.snippet;
    EXPECT_EQ(code.message, Gb(c.message)) << c.message;
  }
}

TEST(CodeTemplates, FullWidthMarksAndBlanksAreTheExpectedBytes) {
  const std::string hx = GenerateCode(Mode::Hx, "", "", "p").snippet;
  EXPECT_NE(hx.find("(\xA1\xB0p\xA1\xB1)"), std::string::npos);  // “p”
  EXPECT_NE(hx.find("hx2 \xA3\xBD hx1"), std::string::npos);      // ＝
  EXPECT_NE(hx.find("\xCF\xC2\xD4\xD8  https://"), std::string::npos);  // 下载, two spaces
  EXPECT_EQ(hx.back(), ')');
  const std::string zy = GenerateCode(Mode::Zy, "", "", "p").snippet;
  EXPECT_NE(zy.find("\xA1\xB1\xA3\xAC\xD5\xE6))"), std::string::npos);  // ”，真
  const std::string jy = GenerateCode(Mode::Jy, "", "", "p").snippet;
  EXPECT_NE(jy.find("\xC4\xA3\xBF\xE9 https://"), std::string::npos);  // 模块, one space
}

// The path goes in whole, whatever it holds; an empty path gives “”.
TEST(CodeTemplates, PathIsCopiedWhole) {
  struct Case { const char* path; const char* lastLine; };
  const Case cases[] = {
      {"", "调试输出 (json.到文本 (“”，真))"},
      {"真.替换", "调试输出 (json.到文本 (“真.替换”，真))"},
      {"['数据']", "调试输出 (json.到文本 (“['数据']”，真))"},
  };
  for (const auto& c : cases) {
    const std::string snippet = GenerateCode(Mode::Zy, "", "", Gb(c.path)).snippet;
    const std::string last = Gb(c.lastLine);
    ASSERT_GE(snippet.size(), last.size());
    EXPECT_EQ(snippet.substr(snippet.size() - last.size()), last) << c.path;
  }
}

// jy drops the argument 真 for a result that holds a double quote but no `["`.
TEST(CodeTemplates, JyDropsTrueForStringResults) {
  struct Case { const char* result; bool keepsTrue; };
  const Case cases[] = {
      {"\"x\"", false},
      {"{\"a\":1}", false},
      {"[\"x\"]", true},
      {"[1,\"x\"]", false},  // no `["` directly
      {"{\"a\":[\"x\"]}", true},
      {"12", true},
      {"", true},
      {"乕\"", false},  // 乕 is 81 5B: its second byte is no "[" before the quote
  };
  for (const auto& c : cases) {
    const std::string snippet = GenerateCode(Mode::Jy, "", Gb(c.result), Gb("a.真")).snippet;
    const std::string last =
        Gb(c.keepsTrue ? "调试输出 (json.取通用属性 (“a.真”, 真))" : "调试输出 (json.取通用属性 (“a.真”, ))");
    ASSERT_GE(snippet.size(), last.size());
    EXPECT_EQ(snippet.substr(snippet.size() - last.size()), last) << c.result;
  }
}

}  // namespace
