// format and compact: run the command on the source box and print its new text.
#include "cli/Commands.h"

namespace qoxa::cli {

int RunFormatCommand(CliRun& run) {
  run.commands().OnFormatClicked();
  // A failed format shows its message box (printed by the caller) and leaves the text alone.
  if (!run.window().Messages().empty()) return 1;
  return PrintSourceBox(run);
}

int RunCompactCommand(CliRun& run) {
  run.commands().OnCompactClicked();
  return PrintSourceBox(run);
}

}  // namespace qoxa::cli
