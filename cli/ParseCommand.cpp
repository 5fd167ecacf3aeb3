// parse --engine ENGINE: one engine parses the source box's text; "ok" or its failure.
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "platform/CodePage.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::cli {
namespace {

struct ParseOutcome {
  bool ok = false;
  std::string message;  // GB18030; empty on success
};

// The tree document's ParseText: its message ends in (line:column).
ParseOutcome ParseWithDoc(CliRun& run) {
  ParseOutcome outcome;
  const std::string source = run.window().Text(app::EditBox::Source);
  outcome.ok = run.commands().TreeDocument().ParseText(source, 0, &outcome.message);
  if (outcome.ok) outcome.message.clear();
  return outcome;
}

struct Engine {
  const char* name;
  ParseOutcome (*parse)(CliRun& run);  // nullptr: not available yet
};

constexpr Engine kEngines[] = {
    {"doc", ParseWithDoc}, {"codec", nullptr}, {"zy", nullptr}, {"jy", nullptr}, {"hx", nullptr}, {"e2ee", nullptr},
};

}  // namespace

int RunParseCommand(CliRun& run) {
  const std::string* engineName = run.options().Value("engine");
  const Engine* engine = nullptr;
  for (const Engine& candidate : kEngines) {
    if (engineName != nullptr && *engineName == candidate.name) engine = &candidate;
  }
  if (engine == nullptr) {
    WriteErr("qoxa-json-cli: parse needs --engine doc, codec, zy, jy, hx or e2ee\n");
    return 2;
  }
  if (engine->parse == nullptr) {
    WriteErr("qoxa-json-cli: parse --engine " + *engineName + " is not available yet\n");
    return 2;
  }
  const ParseOutcome outcome = engine->parse(run);
  if (run.options().json) {
    std::string out = std::string("{\"ok\": ") + (outcome.ok ? "true" : "false") + ", \"message\": ";
    AppendJsonStringGb(out, outcome.message);
    out += '}';
    run.PrintJson(out);
  } else {
    run.Print(outcome.ok ? std::string("ok") : outcome.message);
  }
  return outcome.ok ? 0 : 1;
}

}  // namespace qoxa::cli
