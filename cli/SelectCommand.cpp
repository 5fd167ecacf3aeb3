// select: import, make one item current (which runs node selection), print the path and result boxes.
#include <charconv>
#include <string>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "platform/CodePage.h"

namespace qoxa::cli {

std::string ArgumentText(const std::string& argument) {
  // Arguments come in the terminal's UTF-8; bytes that are not UTF-8 are taken as GB18030 already.
  return platform::IsValidUtf8(argument) ? platform::Utf8ToGb18030(argument) : argument;
}

int ImportAndSelect(CliRun& run) {
  const std::string* item = run.options().Value("item");
  const std::string* find = run.options().Value("find");
  if ((item == nullptr) == (find == nullptr)) {
    WriteErr("qoxa-json-cli: " + run.options().command + " needs either --item N or --find TEXT\n");
    return 2;
  }
  int position = -1;
  if (item != nullptr) {
    const auto parsed = std::from_chars(item->data(), item->data() + item->size(), position);
    if (parsed.ec != std::errc() || parsed.ptr != item->data() + item->size() || position < 0) {
      WriteErr("qoxa-json-cli: --item needs a number from 0 up\n");
      return 2;
    }
  }

  run.commands().OnImportClicked();
  if (!run.window().Messages().empty()) return 1;  // the empty-source message
  if (item != nullptr) {
    if (position >= run.window().TreeItemCount()) {
      WriteErr("qoxa-json-cli: there is no item " + *item + "\n");
      return 1;
    }
    run.window().SetCurrentItem(position);
  } else {
    run.window().SetText(app::EditBox::Find, ArgumentText(*find));
    run.commands().OnFindClicked();
    if (run.window().CurrentItem() < 0) return 1;  // nothing matched
  }
  return 0;
}

int RunSelectCommand(CliRun& run) {
  const int status = ImportAndSelect(run);
  if (status != 0) return status;
  const std::string path = run.window().Text(app::EditBox::Path);
  const std::string result = run.window().Text(app::EditBox::Result);
  if (run.options().json) {
    std::string out = "{\"item\": " + std::to_string(run.window().CurrentItem()) + ", \"path\": ";
    AppendJsonStringGb(out, path);
    out += ", \"result\": ";
    AppendJsonStringGb(out, result);
    out += '}';
    run.PrintJson(out);
  } else {
    run.Print(path + "\n" + result);
  }
  return 0;
}

}  // namespace qoxa::cli
