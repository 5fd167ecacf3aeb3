#include "app/CodeTemplates.h"

#include <initializer_list>

#include "app/LabelSearch.h"
#include "platform/CodePage.h"

namespace qoxa::app {
namespace {

// "\x73pec" is the name of a support library every snippet declares.
constexpr std::string_view kSupportLibraryLine = ".支持库 \x73pec";
constexpr std::string_view kPathMarker = "替换";

// The templates are written here as UTF-8 lines and handed out as GB18030.
std::string JoinLines(std::initializer_list<std::string_view> lines) {
  std::string text;
  bool first = true;
  for (std::string_view line : lines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

std::string HxTemplate() {
  return JoinLines({
      ".版本 2",
      ".支持库 CometHttp",
      kSupportLibraryLine,
      "",
      ".子程序 json_彗星解析, , , 本子程序由【QOXA菜鸟工具】生成",
      ".局部变量 hx1, 彗星JSON, , , 支持库下载  https://example.com/download/cometclient",
      ".局部变量 hx2, 彗星JSON",
      "",
      "hx1.解析 (“源文本”, )",
      "hx2 ＝ hx1.查询 (“替换”)",
      "调试输出 (hx2.取文本值 ())",
  });
}

std::string ZyTemplate() {
  return JoinLines({
      ".版本 2",
      "",
      ".子程序 json_zy解析, , , 本子程序由【QOXA菜鸟工具】生成",
      ".局部变量 json, json解析, , , 模块下载  https://example.com/download/zyjson",
      "",
      "json.解析 (“源文本”)",
      "调试输出 (json.到文本 (“替换”，真))",
  });
}

std::string E2eeTemplate(bool list) {
  const std::string_view variable = list ? "局_成员" : "局_键值";
  const std::string declaration = std::string(".局部变量 ") + std::string(variable) + ", " +
                                  (list ? "存取列表" : "存取键值表") +
                                  ", , , 支持库下载  https://example.com/download/e2ee";
  const std::string load = std::string(variable) + ".从JSON载入 (“源文本”, 真, 真)";
  const std::string read = "调试输出 (" + std::string(variable) + ".取文本 (“替换”))";
  std::string text = JoinLines({
      ".版本 2",
      ".支持库 e2ee",
      kSupportLibraryLine,
      "",
      ".子程序 json_E2EE解析, , , 本子程序由【QOXA菜鸟工具】生成",
      declaration,
      "",
      load,
      read,
  });
  if (!list) text += "\r\n";  // only the key-value table template ends with a line break
  return text;
}

std::string JyTemplate(bool keepTrue) {
  return JoinLines({
      ".版本 2",
      kSupportLibraryLine,
      "",
      ".子程序 json_精易解析, , , 本子程序由【QOXA菜鸟工具】生成",
      ".局部变量 json, 类_json, , , 精易模块 https://example.com/jy-module",
      "",
      "json.解析 (“源文本”)",
      keepTrue ? "调试输出 (json.取通用属性 (“替换”, 真))" : "调试输出 (json.取通用属性 (“替换”, ))",
  });
}

// Every marker of the template replaced by the path; the path itself is never searched, so
// a path that holds the marker's characters is copied whole.
std::string PutPath(const std::string& templateGb, std::string_view pathGb) {
  const std::string marker = platform::Utf8ToGb18030(kPathMarker);
  std::string out;
  size_t from = 0;
  for (size_t at = templateGb.find(marker); at != std::string::npos; at = templateGb.find(marker, from)) {
    out.append(templateGb, from, at - from);
    out += pathGb;
    from = at + marker.size();
  }
  out.append(templateGb, from);
  return out;
}

}  // namespace

GeneratedCode GenerateCode(Mode mode, std::string_view sourceText, std::string_view resultText,
                           std::string_view pathText) {
  std::string templateUtf8;
  std::string_view message;
  switch (mode) {
    case Mode::Hx:
      templateUtf8 = HxTemplate();
      message = "彗星解析-代码生成完毕，粘贴到易语言即可！";
      break;
    case Mode::Zy:
      templateUtf8 = ZyTemplate();
      message = "zyjson解析-代码生成完毕，粘贴到易语言即可！";
      break;
    case Mode::E2ee:
      templateUtf8 = E2eeTemplate(sourceText.starts_with('['));
      message = "E2EE-代码生成完毕，粘贴到易语言即可！";
      break;
    case Mode::Jy: {
      // A string value (a double quote without `["`) is read without the argument 真.
      const bool dropTrue = resultText.find('"') != std::string_view::npos &&
                            !ContainsAtCharBoundary(resultText, "[\"");
      templateUtf8 = JyTemplate(!dropTrue);
      message = "精易解析-代码生成完毕，粘贴到易语言即可！";
      break;
    }
  }
  return {PutPath(platform::Utf8ToGb18030(templateUtf8), pathText), platform::Utf8ToGb18030(message)};
}

}  // namespace qoxa::app
