#include "cli/CliOptions.h"

#include <algorithm>

#include "cli/Commands.h"

namespace qoxa::cli {
namespace {

bool Contains(std::span<const char* const> names, std::string_view name) {
  return std::any_of(names.begin(), names.end(), [&](const char* candidate) { return name == candidate; });
}

bool IsOneOf(const std::string& value, std::initializer_list<const char*> allowed) {
  return std::any_of(allowed.begin(), allowed.end(), [&](const char* candidate) { return value == candidate; });
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options, const CommandSpec*& command,
                      std::string& problem) {
  command = nullptr;
  // --help and --version win wherever they stand.
  for (const std::string& arg : args) {
    if (arg == "--help") options.help = true;
    if (arg == "--version") options.version = true;
  }
  if (options.help || options.version) return true;

  std::vector<std::string> positionals;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      positionals.push_back(arg);  // "-" stands for standard input
      if (positionals.size() == 1) {
        command = FindCommand(arg);
        if (command == nullptr) {
          problem = "unknown command '" + arg + "'";
          return false;
        }
      }
      continue;
    }
    std::string name = arg.substr(2);
    std::optional<std::string> inlineValue;
    if (const size_t equals = name.find('='); equals != std::string::npos) {
      inlineValue = name.substr(equals + 1);
      name.resize(equals);
    }
    const bool common = IsOneOf(name, {"mode", "encoding", "json", "raw"});
    const bool takesValue = name == "mode" || name == "encoding" ||
                            (command != nullptr && Contains(command->valueOptions, name));
    const bool isFlag = name == "json" || name == "raw" || (command != nullptr && Contains(command->flagOptions, name));
    if (!common && !takesValue && !isFlag) {
      problem = command == nullptr ? "unknown option '" + arg + "' (the command comes first)"
                                   : "unknown option '" + arg + "' for " + command->name;
      return false;
    }
    if (isFlag) {
      if (inlineValue) {
        problem = "option '--" + name + "' takes no value";
        return false;
      }
      if (name == "json") options.json = true;
      else if (name == "raw") options.raw = true;
      else options.flags[name] = true;
      continue;
    }
    std::string value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      problem = "option '--" + name + "' needs a value";
      return false;
    }
    if (name == "mode") {
      if (!IsOneOf(value, {"jy", "zy", "hx", "e2ee"})) {
        problem = "--mode must be jy, zy, hx or e2ee";
        return false;
      }
      options.mode = value;
    } else if (name == "encoding") {
      if (!IsOneOf(value, {"utf-8", "gb18030"})) {
        problem = "--encoding must be utf-8 or gb18030";
        return false;
      }
      options.encoding = value;
    } else {
      options.values[name] = value;
    }
  }
  if (command == nullptr) {
    problem = "no command given";
    return false;
  }
  options.command = command->name;
  if (positionals.size() > 2) {
    problem = "more than one FILE given";
    return false;
  }
  if (positionals.size() == 2) options.file = positionals[1];
  return true;
}

}  // namespace qoxa::cli
