// tree: the import command, then one line (or one JSON object) per tree item.
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/JsonText.h"

namespace qoxa::cli {
namespace {

// Backslash, tab, CR and LF written as \\, \t, \r, \n. The text is GB18030: a byte from 0x81 up
// starts a two-byte unit whose second byte may look like a backslash, so units are copied whole.
void AppendEscapedLineText(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x81 && i + 1 < text.size()) {
      out += c;
      out += text[++i];
      continue;
    }
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c; break;
    }
  }
}

}  // namespace

int RunTreeCommand(CliRun& run) {
  run.commands().OnImportClicked();
  if (!run.window().Messages().empty()) return 1;  // the empty-source message

  const app::TreeItemTable& items = run.window().Tree();
  const std::vector<int32_t>& parents = run.window().TreeParents();
  const app::TextTable& paths = run.commands().PathTable();
  std::vector<int32_t> levels(items.Size(), 0);
  std::string out;
  if (run.options().json) out += '[';
  for (size_t i = 0; i < items.Size(); ++i) {
    if (parents[i] >= 0) levels[i] = levels[static_cast<size_t>(parents[i])] + 1;
    const std::string_view label = items.labels.At(i);
    const std::string_view path = i < paths.Size() ? paths.At(i) : std::string_view();
    if (run.options().json) {
      if (i > 0) out += ", ";
      out += "{\"level\": " + std::to_string(levels[i]) + ", \"label\": ";
      AppendJsonStringGb(out, label);
      out += ", \"path\": ";
      AppendJsonStringGb(out, path);
      out += '}';
    } else {
      out.append(static_cast<size_t>(levels[i]) * 2, ' ');
      AppendEscapedLineText(out, label);
      out += '\t';
      AppendEscapedLineText(out, path);
      out += '\n';
    }
  }
  if (run.options().json) {
    out += ']';
    run.PrintJson(out);
  } else {
    run.Print(out);
  }
  return 0;
}

}  // namespace qoxa::cli
