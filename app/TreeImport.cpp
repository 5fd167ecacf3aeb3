// The import command: the source text parsed by the tree document, walked depth first into one
// item list for the tree view and the path table, entry i being the path of item i.
#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "app/MainCommands.h"
#include "platform/CodePage.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::app {
namespace {

constexpr int kObject = 1;
constexpr int kArray = 2;
constexpr int kString = 3;
// The full-width quotation marks “ and ” around a string's label text, in GB18030.
constexpr std::string_view kOpenQuote = "\xA1\xB0";
constexpr std::string_view kCloseQuote = "\xA1\xB1";

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Whether a member name may be written dotted (a.name) or needs brackets (a['name']). Mode jy
// takes letters only; the other modes also take digits and the underscore, a leading digit too.
bool PassesNameTest(std::string_view name, bool lettersOnly) {
  if (name.empty()) return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsAsciiLetter(c)) continue;
    if (!lettersOnly && (IsAsciiDigit(c) || c == '_')) continue;
    return false;
  }
  return true;
}

void AppendDecimal(std::string& text, int value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  text.append(digits, result.ptr);
}

// One open container of the walk. The pool of frames is reused, so the member-name lists keep
// their storage from one object to the next.
struct WalkFrame {
  int node = 0;
  int type = 0;
  int depth = 0;      // the depth of the container's children minus one
  size_t pathLength = 0;  // the container's path is the first pathLength bytes of the path buffer
  int count = 0;
  int next = 0;       // 0-based index of the next element or member
  std::vector<std::string> names;
};

}  // namespace

void MainCommands::OnImportClicked() {
  if (window_.Text(EditBox::Source).empty()) {
    window_.ShowMessage(platform::Utf8ToGb18030("JSON原文本内容为空，请输入数据！"), platform::Utf8ToGb18030("json解析"));
    return;
  }
  window_.SetText(EditBox::Path, {});
  window_.SetText(EditBox::Result, {});
  window_.SetText(EditBox::Find, {});
  window_.SetCaption(PushButton::Import, platform::Utf8ToGb18030("请稍后"));
  window_.SetEnabled(PushButton::Import, false);
  ImportTree();
  window_.SetEnabled(PushButton::Import, true);
  window_.SetCaption(PushButton::Import, platform::Utf8ToGb18030("导入树"));
}

void MainCommands::ImportTree() {
  std::string errorMessage;
  {
    const std::string source = window_.Text(EditBox::Source);
    // Success or not, the walk reads whatever the document holds: after an error, the values
    // stored before it.
    treeDocument_->ParseText(source, 0, &errorMessage);
  }
  pathTable_ = TextTable();
  TreeItemTable items;
  const size_t valueCount = static_cast<size_t>(std::max(treeDocument_->ValueCount(), 1));
  items.depths.reserve(valueCount);
  items.nodeIds.reserve(valueCount);
  items.labels.Reserve(valueCount, 0);
  pathTable_.Reserve(valueCount, 0);
  BuildTree(1, 0, true, {}, items);
  window_.LoadTree(std::move(items));
  if (window_.TreeItemCount() > 0) window_.Expand(0);
}

int MainCommands::NodeText(int node, std::string& text) const {
  const int type = node > 0 ? treeDocument_->TypeOf({}, node) : -1;
  if (type == -1) {
    text.clear();
  } else if (type == kString) {
    text.assign(kOpenQuote);
    text += treeDocument_->ValueText({}, node);
    text += kCloseQuote;
  } else {
    text = treeDocument_->ValueText({}, node);
  }
  return type;
}

void MainCommands::AddItem(std::string_view label, int node, int depth, std::string_view path, TreeItemTable& items) {
  items.Add(label, node, depth);
  pathTable_.Append(path);
}

// Depth first with an explicit stack, so any nesting depth is walked without deep recursion.
// Each container's children are added by the container's own loop; a nested container is then
// opened as a new frame, so every value gets exactly one item.
void MainCommands::BuildTree(int node, int depth, bool addSelf, std::string_view path, TreeItemTable& items) {
  std::string text;
  const int type = NodeText(node, text);
  if (type != kArray && type != kObject) {
    AddItem(text, node, depth, path, items);
    return;
  }
  if (addSelf) AddItem(text, node, depth, path, items);

  std::string pathBuffer(path);
  std::string label;
  std::vector<WalkFrame> frames;
  size_t open = 0;  // frames[0 .. open) are the open containers
  const auto openFrame = [&](int container, int containerType, int containerDepth) {
    if (open == frames.size()) frames.emplace_back();
    WalkFrame& frame = frames[open++];
    frame.node = container;
    frame.type = containerType;
    frame.depth = containerDepth;
    frame.pathLength = pathBuffer.size();
    frame.next = 0;
    if (containerType == kArray) {
      frame.count = treeDocument_->ElementCount({}, container);
    } else {
      treeDocument_->MemberNames({}, container, frame.names);
      frame.count = static_cast<int>(frame.names.size());
    }
  };
  openFrame(node, type, depth);

  while (open > 0) {
    WalkFrame& frame = frames[open - 1];
    if (frame.next >= frame.count) {
      --open;
      continue;
    }
    const int index = frame.next++;
    pathBuffer.resize(frame.pathLength);
    label.clear();
    int child = 0;
    if (frame.type == kArray) {
      child = treeDocument_->ElementAt({}, frame.node, index + 1);
      pathBuffer += '[';
      AppendDecimal(pathBuffer, index);
      pathBuffer += ']';
      label += '[';
      AppendDecimal(label, index);
      label += "] ";
    } else {
      const std::string& name = frame.names[static_cast<size_t>(index)];
      child = treeDocument_->MemberByName({}, frame.node, name);
      // The name test follows the radio buttons as they are at this member.
      const bool lettersOnly = !window_.IsChecked(RadioButton::Zy) && !window_.IsChecked(RadioButton::Hx) &&
                               !window_.IsChecked(RadioButton::E2ee);
      if (PassesNameTest(name, lettersOnly)) {
        if (frame.pathLength > 0) pathBuffer += '.';
        pathBuffer += name;
      } else {
        pathBuffer += "['";
        pathBuffer += name;
        pathBuffer += "']";
      }
      label += name;
      label += ": ";
    }
    const int childType = NodeText(child, text);
    label += text;
    const int childDepth = frame.depth + 1;
    AddItem(label, child, childDepth, pathBuffer, items);
    if (childType == kArray || childType == kObject) openFrame(child, childType, childDepth + 1);  // invalidates `frame`
  }
}

}  // namespace qoxa::app
