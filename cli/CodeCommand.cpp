// code: optionally import and select, set the path and result boxes, then generate the snippet.
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"

namespace qoxa::cli {

int RunCodeCommand(CliRun& run) {
  if (run.options().Value("item") != nullptr || run.options().Value("find") != nullptr) {
    const int status = ImportAndSelect(run);
    if (status != 0) return status;
  }
  // As a user's edits: neither box has a handler of its own.
  if (const std::string* path = run.options().Value("path")) run.window().SetText(app::EditBox::Path, ArgumentText(*path));
  if (const std::string* result = run.options().Value("result")) {
    run.window().SetText(app::EditBox::Result, ArgumentText(*result));
  }
  run.commands().OnGenerateCodeClicked();

  const std::string& snippet = run.window().Clipboard();
  if (run.options().json) {
    const auto& messages = run.window().Messages();
    std::string out = "{\"path\": ";
    AppendJsonStringGb(out, run.window().Text(app::EditBox::Path));
    out += ", \"result\": ";
    AppendJsonStringGb(out, run.window().Text(app::EditBox::Result));
    out += ", \"snippet\": ";
    AppendJsonStringGb(out, snippet);
    out += ", \"message\": ";
    AppendJsonStringGb(out, messages.empty() ? std::string() : messages.back().text);
    out += '}';
    run.PrintJson(out);
  } else {
    run.Print(snippet);
  }
  return 0;
}

}  // namespace qoxa::cli
