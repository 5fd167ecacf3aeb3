// decode: the source box's text after loading, that is after the text-changed handling.
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"

namespace qoxa::cli {

int PrintSourceBox(CliRun& run) {
  const std::string text = run.window().Text(app::EditBox::Source);
  if (run.options().json) {
    std::string out = "{\"text\": ";
    AppendJsonStringGb(out, text);
    out += '}';
    run.PrintJson(out);
  } else {
    run.Print(text);
  }
  return 0;
}

int RunDecodeCommand(CliRun& run) { return PrintSourceBox(run); }

}  // namespace qoxa::cli
