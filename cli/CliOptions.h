#pragma once
// The command line of qoxa-json-cli: COMMAND [OPTIONS] [FILE].
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qoxa::cli {

struct CliOptions {
  std::string command;
  std::string mode = "jy";
  bool json = false;
  std::string encoding = "utf-8";
  bool raw = false;
  std::optional<std::string> file;         // a path, or "-" for standard input
  std::map<std::string, std::string> values;  // the command's own options with a value, e.g. "engine"
  std::map<std::string, bool> flags;          // the command's own options without a value
  bool help = false;
  bool version = false;

  const std::string* Value(const std::string& name) const {
    auto found = values.find(name);
    return found == values.end() ? nullptr : &found->second;
  }
  bool Flag(const std::string& name) const { return flags.count(name) != 0; }
};

struct CommandSpec;

// Reads the arguments. The command's own options are those its entry declares; anything else
// is bad usage, described in `problem`.
bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options, const CommandSpec*& command,
                      std::string& problem);

}  // namespace qoxa::cli
