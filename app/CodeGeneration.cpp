// Code generation: the snippet for the checked Mode with the path box's text in it, put on the
// clipboard, and the Mode's message.
#include <string>

#include "app/CodeTemplates.h"
#include "app/MainCommands.h"

namespace qoxa::app {

void MainCommands::OnGenerateCodeClicked() {
  // Tested in the order hx, zy, E2EE, jy; with none checked nothing happens.
  Mode mode;
  if (window_.IsChecked(RadioButton::Hx)) mode = Mode::Hx;
  else if (window_.IsChecked(RadioButton::Zy)) mode = Mode::Zy;
  else if (window_.IsChecked(RadioButton::E2ee)) mode = Mode::E2ee;
  else if (window_.IsChecked(RadioButton::Jy)) mode = Mode::Jy;
  else return;

  // Only the template for E2EE looks at the source text (its first byte), only jy's at the result.
  const std::string source = mode == Mode::E2ee ? window_.Text(EditBox::Source) : std::string();
  const std::string result = mode == Mode::Jy ? window_.Text(EditBox::Result) : std::string();
  const GeneratedCode code = GenerateCode(mode, source, result, window_.Text(EditBox::Path));
  window_.SetClipboardText(code.snippet);
  window_.ShowMessage(code.message, {});
}

}  // namespace qoxa::app
