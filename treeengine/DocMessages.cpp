#include "treeengine/DocMessages.h"

#include <array>

#include "platform/CodePage.h"

namespace qoxa::tree {
namespace {

// Written here in UTF-8 and converted to GB18030 once, at first use.
constexpr std::array kUtf8Texts = {
    "JSON内容不完整",
    "无法解析的内容",
    "解析逻辑型出错",
    "解析空值出错",
    "解析数值出错",
    "解析注释文本出错",
    "无法读取对象名称",
    "对象格式错误",
    "对象键值定义形式错误",
    "对象定义格式不完整",
    "数组定义格式不完整",
    "解析文本出错：文本定义包含换行",
    "解析文本出错：未知的转义符",
    "解析文本出错：Unicode定义出错",
    "解析文本出错：文本定义未正确收尾",
    "嵌套层数过深",
    "数组",
    "对象",
};

}  // namespace

const std::string& MessageText(DocMessage message) {
  static const auto texts = [] {
    std::array<std::string, kUtf8Texts.size()> converted;
    for (size_t i = 0; i < kUtf8Texts.size(); ++i) converted[i] = platform::Utf8ToGb18030(kUtf8Texts[i]);
    return converted;
  }();
  return texts[static_cast<size_t>(message)];
}

}  // namespace qoxa::tree
