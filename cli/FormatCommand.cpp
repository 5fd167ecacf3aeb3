// format and compact: run the command on the source box and print its new text.
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"

namespace qoxa::cli {
namespace {

int PrintSourceText(CliRun& run) {
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

}  // namespace

int RunFormatCommand(CliRun& run) {
  run.commands().OnFormatClicked();
  // A failed format shows its message box (printed by the caller) and leaves the text alone.
  if (!run.window().Messages().empty()) return 1;
  return PrintSourceText(run);
}

int RunCompactCommand(CliRun& run) {
  run.commands().OnCompactClicked();
  return PrintSourceText(run);
}

}  // namespace qoxa::cli
