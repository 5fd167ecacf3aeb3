#pragma once
// The commands of qoxa-json-cli. Each command is one entry of the table in CommandTable.cpp and
// one source file with its run function; a command without a run function is not available yet.
#include <span>
#include <string>

#include "cli/CliRun.h"

namespace qoxa::cli {

struct CommandSpec {
  const char* name;
  bool needsFile;
  std::span<const char* const> valueOptions;  // its own options that take a value, without "--"
  std::span<const char* const> flagOptions;   // its own options without a value
  int (*run)(CliRun& run);                    // the exit status; nullptr: not available yet
  const char* summary;
};

std::span<const CommandSpec> AllCommands();
const CommandSpec* FindCommand(std::string_view name);

int RunTreeCommand(CliRun& run);
int RunParseCommand(CliRun& run);
int RunSelectCommand(CliRun& run);
int RunCodeCommand(CliRun& run);
int RunGetCommand(CliRun& run);
int RunDecodeCommand(CliRun& run);
int RunFormatCommand(CliRun& run);
int RunCompactCommand(CliRun& run);

// Prints the source box's text (--json: {"text": …}); 0.
int PrintSourceBox(CliRun& run);

// select and code: imports, then makes the item of --item N or the first match of --find TEXT
// current. 0 when an item was made current, else the exit status (its message already written).
int ImportAndSelect(CliRun& run);
// A text argument as GB18030: UTF-8 is converted, anything else is taken as GB18030 bytes.
std::string ArgumentText(const std::string& argument);

}  // namespace qoxa::cli
