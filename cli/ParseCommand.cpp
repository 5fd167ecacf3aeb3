// parse --engine ENGINE: one engine parses the source box's text; "ok" or its failure.
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "platform/CodePage.h"
#include "formatengine/JsonCodec.h"
#include "platform/CometJson.h"
#include "platform/E2eeStore.h"
#include "scripthost/JyJson.h"
#include "treeengine/JsonDoc.h"
#include "zyengine/ZyJson.h"

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

// The codec's own reader: its message.
ParseOutcome ParseWithCodec(CliRun& run) {
  ParseOutcome outcome;
  format::ParseResult result;
  run.commands().Codec().ReadJson(run.window().Text(app::EditBox::Source), result);
  outcome.ok = result.ok != 0;
  if (!outcome.ok) outcome.message = result.message;
  return outcome;
}

// The zy engine: its scanner's result code.
ParseOutcome ParseWithZy(CliRun& run) {
  ParseOutcome outcome;
  zy::ZyJson document;
  int resultCode = 0;
  outcome.ok = document.Parse(run.window().Text(app::EditBox::Source), false, &resultCode) != 0;
  if (!outcome.ok) outcome.message = std::to_string(resultCode);
  return outcome;
}

ParseOutcome Failed(bool ok) { return ok ? ParseOutcome{true, {}} : ParseOutcome{false, "failed"}; }

ParseOutcome ParseWithJy(CliRun& run) {
  return Failed(script::JyJson("da").Parse(run.window().Text(app::EditBox::Source)));
}

ParseOutcome ParseWithHx(CliRun& run) {
  return Failed(platform::CometJson().Parse(run.window().Text(app::EditBox::Source)));
}

// The list for a text whose first byte is "[", the key-value table otherwise.
ParseOutcome ParseWithE2ee(CliRun& run) {
  const std::string source = run.window().Text(app::EditBox::Source);
  if (source.starts_with('[')) return Failed(platform::E2eeList().LoadJson(source, true, true));
  return Failed(platform::E2eeKeyValueTable().LoadJson(source, true, true));
}

struct Engine {
  const char* name;
  ParseOutcome (*parse)(CliRun& run);  // nullptr: not available yet
};

constexpr Engine kEngines[] = {
    {"doc", ParseWithDoc}, {"codec", ParseWithCodec}, {"zy", ParseWithZy},
    {"jy", ParseWithJy},   {"hx", ParseWithHx},       {"e2ee", ParseWithE2ee},
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
