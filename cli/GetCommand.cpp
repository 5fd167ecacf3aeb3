// get --engine ENGINE --path P: one engine parses the source box's text and gives its text for P,
// P taken in the engine's own dialect as it stands.
#include <optional>
#include <string>

#include "app/SelectionMessages.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "platform/CodePage.h"
#include "platform/CometJson.h"
#include "platform/E2eeStore.h"
#include "scripthost/JyJson.h"
#include "zyengine/ZyJson.h"

namespace qoxa::cli {
namespace {

std::optional<app::Mode> EngineMode(const std::string& name) {
  if (name == "zy") return app::Mode::Zy;
  if (name == "jy") return app::Mode::Jy;
  if (name == "hx") return app::Mode::Hx;
  if (name == "e2ee") return app::Mode::E2ee;
  return std::nullopt;
}

}  // namespace

int RunGetCommand(CliRun& run) {
  const std::string* engineName = run.options().Value("engine");
  const std::optional<app::Mode> mode = engineName != nullptr ? EngineMode(*engineName) : std::nullopt;
  if (!mode) {
    WriteErr("qoxa-json-cli: get needs --engine zy, jy, hx or e2ee\n");
    return 2;
  }
  const std::string* pathOption = run.options().Value("path");
  if (pathOption == nullptr) {
    WriteErr("qoxa-json-cli: get needs --path P\n");
    return 2;
  }
  const std::string path = ArgumentText(*pathOption);

  // The very engines node selection reads, parsed the same way.
  app::SelectionCache& engines = run.commands().SelectionEngines();
  engines.UseSourceBox(run.window());
  std::optional<std::string> text;
  switch (*mode) {
    case app::Mode::Zy:
      if (const zy::ZyJson* document = engines.Zy()) text = document->ToText(path, !run.options().Flag("compact"));
      break;
    case app::Mode::Jy:
      if (script::JyJson* document = engines.Jy()) {
        engines.JyEvaluated(path);
        text = document->GetValue(path, true);
      }
      break;
    case app::Mode::Hx:
      if (const platform::CometJson* document = engines.Hx()) text = document->Query(path).TextValue();
      break;
    case app::Mode::E2ee:
      if (const platform::E2eeStore* store = engines.E2ee()) text = store->Text(path);
      break;
  }
  if (!text) {
    const std::string message = app::UnreadableSourceMessage(*mode);
    WriteErr(run.options().encoding == "gb18030" ? message : platform::Gb18030ToUtf8(message));
    WriteErr("\n");
    return 1;
  }
  if (run.options().json) {
    std::string out = "{\"path\": ";
    AppendJsonStringGb(out, path);
    out += ", \"text\": ";
    AppendJsonStringGb(out, *text);
    out += '}';
    run.PrintJson(out);
  } else {
    run.Print(*text);
  }
  return 0;
}

}  // namespace qoxa::cli
