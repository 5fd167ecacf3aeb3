// Escape decoding whenever the source box's text changes: \u escapes first, then UTF-8 text
// that was taken for GB18030.
#include <new>
#include <string>

#include "app/EscapeDecoding.h"
#include "app/MainCommands.h"

namespace qoxa::app {

void MainCommands::OnSourceTextChanged() {
  selectionCache_.Clear();  // the kept parse belongs to the old text
  // Our own writes below must not run the handling again (a window may report them as changes).
  if (decodingSource_) return;
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(decodingSource_);
  try {
    std::string text = window_.Text(EditBox::Source);
    if (ContainsBackslashU(text)) {
      window_.SetText(EditBox::Source, DecodeEscapes(text));
      text = window_.Text(EditBox::Source);
    }
    if (ContainsPercentE(text)) window_.SetText(EditBox::Source, Utf8ToAnsi(text));
  } catch (const std::bad_alloc&) {
    // Too large to decode in the memory left: the text stays as it is.
  }
}

}  // namespace qoxa::app
