#pragma once
// The parser's messages and the value texts of containers, as GB18030 bytes.
#include <string>

namespace qoxa::tree {

enum class DocMessage {
  Incomplete,          // JSON内容不完整
  Unparsable,          // 无法解析的内容
  BadBoolean,          // 解析逻辑型出错
  BadNull,             // 解析空值出错
  BadNumber,           // 解析数值出错
  BadComment,          // 解析注释文本出错
  BadMemberName,       // 无法读取对象名称
  BadObject,           // 对象格式错误
  BadMemberColon,      // 对象键值定义形式错误
  ObjectIncomplete,    // 对象定义格式不完整
  ArrayIncomplete,     // 数组定义格式不完整
  StringLineBreak,     // 解析文本出错：文本定义包含换行
  StringBadEscape,     // 解析文本出错：未知的转义符
  StringBadUnicode,    // 解析文本出错：Unicode定义出错
  StringUnterminated,  // 解析文本出错：文本定义未正确收尾
  TooDeep,             // 嵌套层数过深
  ArrayText,           // 数组
  ObjectText,          // 对象
};

const std::string& MessageText(DocMessage message);

}  // namespace qoxa::tree
