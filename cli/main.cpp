// qoxa-json-cli: the window's commands without a window.
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/Commands.h"
#include "platform/HeapReuse.h"

namespace qoxa::cli {
namespace {

constexpr int kBadUsage = 2;

std::string UsageText() {
  std::string text =
      "Usage: qoxa-json-cli COMMAND [OPTIONS] [FILE]\n"
      "\n"
      "Runs the commands of the QOXA-JSON window on the text of FILE (a path, or - for standard\n"
      "input), loaded as a file dropped onto the source box.\n"
      "\n"
      "Commands:\n";
  for (const CommandSpec& command : AllCommands()) {
    std::string line = "  " + std::string(command.name);
    line.resize(12, ' ');
    text += line + command.summary + (command.run == nullptr ? " (not available yet)" : "") + "\n";
  }
  text +=
      "\n"
      "Options:\n"
      "  --mode jy|zy|hx|e2ee       the checked mode radio button (default jy)\n"
      "  --json                     print one JSON document (UTF-8) instead of text\n"
      "  --encoding utf-8|gb18030   encoding of the text output (default utf-8)\n"
      "  --raw                      put the text into the source box without escape decoding\n"
      "  --engine ENGINE            parse, get: doc, codec, zy, jy, hx or e2ee\n"
      "  --item N, --find TEXT      select, code: the item to make current\n"
      "  --path P, --result R       code, get: the path (and result) to use\n"
      "  --compact                  get --engine zy: compact output\n"
      "  --help, --version          this text, the version\n"
      "\n"
      "Exit status: 0 the command ran, 1 the command reported a failure, 2 bad usage or an\n"
      "unreadable FILE. Message boxes are written to standard error.\n";
  return text;
}

int BadUsage(const std::string& problem) {
  WriteErr("qoxa-json-cli: " + problem + "\nTry 'qoxa-json-cli --help'.\n");
  return kBadUsage;
}

int Main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  CliOptions options;
  const CommandSpec* command = nullptr;
  std::string problem;
  if (!ParseCommandLine(args, options, command, problem)) return BadUsage(problem);
  if (options.help) {
    WriteOut(UsageText());
    return 0;
  }
  if (options.version) {
    WriteOut("qoxa-json-cli 1.0.0\n");
    return 0;
  }
  if (command->run == nullptr) {
    WriteErr("qoxa-json-cli: the command '" + options.command + "' is not available yet\n");
    return kBadUsage;
  }
  if (command->needsFile && !options.file) return BadUsage("the command '" + options.command + "' needs a FILE");

  CliRun run(options);
  run.CheckModeButton();
  if (!run.LoadInput()) {
    WriteErr("qoxa-json-cli: cannot read '" + *options.file + "'\n");
    return kBadUsage;
  }
  const int status = command->run(run);
  run.PrintMessages();
  return status;
}

}  // namespace
}  // namespace qoxa::cli

int main(int argc, char** argv) {
  qoxa::platform::KeepFreedMemoryForReuse();
  return qoxa::cli::Main(argc, argv);
}
