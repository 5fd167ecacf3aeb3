// The format and compact commands: pretty-print the source box through the codec, or remove the
// white space after "{" and "," and before "}".
#include "app/MainCommands.h"
#include "formatengine/JsonCodec.h"
#include "formatengine/JsonNode.h"
#include "formatengine/WhiteSpaceCompactor.h"
#include "platform/CodePage.h"

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

// The three regular-expression replacements that remove the white space after "{" and "," and
// before "}" are done in one pass over the characters (same result, no code-page round trips; a
// byte that forms no character stays as it is instead of becoming U+FFFD).
void MainCommands::OnCompactClicked() {
  window_.SetText(EditBox::Source, format::CompactWhiteSpace(window_.Text(EditBox::Source)));
}

}  // namespace qoxa::app
