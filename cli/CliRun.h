#pragma once
// One run of qoxa-json-cli: the headless window, the window's commands on it, and the output.
#include <string>
#include <string_view>

#include "app/HeadlessServices.h"
#include "app/MainCommands.h"
#include "cli/CliOptions.h"

namespace qoxa::cli {

class CliRun {
 public:
  explicit CliRun(CliOptions options);

  // Loads FILE (or standard input for "-") into the source box as a dropped file is loaded;
  // with --raw the decoded text goes in without the text-changed handling. False: unreadable.
  bool LoadInput();
  // Checks the radio button of --mode, as a click would but without the click's handler.
  void CheckModeButton();

  // Text output: GB18030 text written in the --encoding.
  void Print(std::string_view text) const;
  // JSON output: a UTF-8 document, then a line break.
  void PrintJson(std::string_view utf8Json) const;
  // Every message box the command showed, in the --encoding, each followed by a line break.
  void PrintMessages() const;

  const CliOptions& options() const { return options_; }
  app::HeadlessServices& window() { return window_; }
  app::MainCommands& commands() { return commands_; }

 private:
  CliOptions options_;
  app::HeadlessServices window_;
  app::MainCommands commands_;
};

// Writes bytes to standard output or standard error.
void WriteOut(std::string_view bytes);
void WriteErr(std::string_view bytes);

}  // namespace qoxa::cli
