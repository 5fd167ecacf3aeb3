// The format and compact commands: pretty-print the source box through the codec, or remove the
// white space after "{" and "," and before "}" with three regular-expression replacements.
#include "app/MainCommands.h"
#include "formatengine/JsonCodec.h"
#include "formatengine/JsonNode.h"
#include "platform/CodePage.h"
#include "scripthost/Regex.h"

namespace qoxa::app {

void MainCommands::OnFormatClicked() {
  format::ParseResult result;
  const format::JsonNode node = codec_->ParseToNode(window_.Text(EditBox::Source), result);
  if (result.ok == 0) {
    window_.ShowMessage(platform::Utf8ToGb18030("格式化失败"), platform::Utf8ToGb18030("json解析"));
    return;
  }
  window_.SetText(EditBox::Source, codec_->Format(node, true, false, 0));
}

void MainCommands::OnCompactClicked() {
  script::Regex regex;
  std::string text = window_.Text(EditBox::Source);
  const struct {
    const char* pattern;
    const char* replacement;
  } passes[] = {{"{(\\s+)", "{"}, {",(\\s+)", ","}, {"(\\s+)}", "}"}};
  for (const auto& pass : passes) {
    regex.Execute(pass.pattern, text);
    text = regex.Replace(pass.replacement);
  }
  window_.SetText(EditBox::Source, text);
}

}  // namespace qoxa::app
