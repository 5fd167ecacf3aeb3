#include <array>

#include "cli/Commands.h"

namespace qoxa::cli {
namespace {

constexpr std::array<const char*, 0> kNone{};
constexpr std::array<const char*, 2> kSelectValues{"item", "find"};
constexpr std::array<const char*, 4> kCodeValues{"item", "find", "path", "result"};
constexpr std::array<const char*, 1> kParseValues{"engine"};
constexpr std::array<const char*, 2> kGetValues{"engine", "path"};
constexpr std::array<const char*, 1> kGetFlags{"compact"};

constexpr std::array<CommandSpec, 8> kCommands{{
    {"tree", true, kNone, kNone, RunTreeCommand, "import the text and print the tree items with their paths"},
    {"select", true, kSelectValues, kNone, RunSelectCommand, "import, make one item current, print its path and value"},
    {"code", false, kCodeValues, kNone, RunCodeCommand, "generate the code snippet for the current path"},
    {"format", true, kNone, kNone, RunFormatCommand, "pretty-print the text"},
    {"compact", true, kNone, kNone, RunCompactCommand, "compact the text"},
    {"decode", true, kNone, kNone, RunDecodeCommand, "print the text after escape decoding"},
    {"parse", true, kParseValues, kNone, RunParseCommand, "parse with one engine and report the outcome"},
    {"get", true, kGetValues, kGetFlags, RunGetCommand, "print the text one engine gives for a path"},
}};

}  // namespace

std::span<const CommandSpec> AllCommands() { return kCommands; }

const CommandSpec* FindCommand(std::string_view name) {
  for (const CommandSpec& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

}  // namespace qoxa::cli
