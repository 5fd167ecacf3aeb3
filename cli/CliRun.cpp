#include "cli/CliRun.h"

#include <cstdio>
#include <new>
#include <stdexcept>

#include "app/DroppedFile.h"
#include "platform/CodePage.h"

namespace qoxa::cli {
namespace {

void Write(std::FILE* stream, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

}  // namespace

void WriteOut(std::string_view bytes) { Write(stdout, bytes); }
void WriteErr(std::string_view bytes) { Write(stderr, bytes); }

CliRun::CliRun(CliOptions options) : options_(std::move(options)), commands_(window_) {
  window_.onCurrentItemChanged = [this] { commands_.OnTreeItemChanged(); };
}

bool CliRun::LoadInput() {
  if (!options_.file) return true;  // the source box stays empty
  const std::string& name = *options_.file;
  std::string bytes;
  if (!app::ReadDroppedFile(name == "-" ? "/dev/stdin" : name, bytes)) return false;
  if (!options_.raw) {
    commands_.LoadDroppedBytes(bytes);
    return true;
  }
  try {
    window_.SetText(app::EditBox::Source, app::DecodeDroppedBytes(bytes));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

void CliRun::CheckModeButton() {
  app::RadioButton radio = app::RadioButton::Jy;
  if (options_.mode == "zy") radio = app::RadioButton::Zy;
  else if (options_.mode == "hx") radio = app::RadioButton::Hx;
  else if (options_.mode == "e2ee") radio = app::RadioButton::E2ee;
  window_.SetChecked(radio, true);
}

void CliRun::Print(std::string_view text) const {
  if (options_.encoding == "gb18030") WriteOut(text);
  else WriteOut(platform::Gb18030ToUtf8(text));
}

void CliRun::PrintJson(std::string_view utf8Json) const {
  WriteOut(utf8Json);
  WriteOut("\n");
}

void CliRun::PrintMessages() const {
  for (const app::HeadlessServices::Message& message : window_.Messages()) {
    WriteErr(options_.encoding == "gb18030" ? message.text : platform::Gb18030ToUtf8(message.text));
    WriteErr("\n");
  }
}

}  // namespace qoxa::cli
