#pragma once
// The 易语言 code snippets of the generate-code command: one fixed template per library,
// with the access path put in place of the marker 替换.
#include <string>
#include <string_view>

#include "app/Mode.h"

namespace qoxa::app {

struct GeneratedCode {
  std::string snippet;  // GB18030, lines joined by CR LF
  std::string message;  // GB18030, the text of the message box that follows the copy
};

// The snippet and message for the checked Mode. The radio buttons are tested in the order
// hx, zy, E2EE, jy; with one Mode checked at a time that order decides nothing here, and the
// caller does nothing when no button is checked. Inputs are GB18030:
// - sourceText: only its very first byte counts; "[" picks the E2EE list template, anything
//   else (an empty text, a blank before "[") the key-value table template;
// - resultText: for jy, a text that holds a double quote but no `["` drops the argument 真;
// - pathText: copied whole in place of every 替换 of the template (empty gives “”).
GeneratedCode GenerateCode(Mode mode, std::string_view sourceText, std::string_view resultText,
                           std::string_view pathText);

}  // namespace qoxa::app
