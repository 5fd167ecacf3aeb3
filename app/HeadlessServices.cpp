#include "app/HeadlessServices.h"

#include <utility>

#include "platform/CodePage.h"

namespace qoxa::app {
namespace {

size_t Index(auto value) { return static_cast<size_t>(value); }

}  // namespace

HeadlessServices::HeadlessServices() {
  const char* captions[] = {"寻找文本", "导入树", "格式化", "还原化", "清空文本", "生成代码"};
  for (size_t i = 0; i < captions_.size(); ++i) captions_[i] = platform::Utf8ToGb18030(captions[i]);
  enabled_.fill(true);
  checked_[Index(RadioButton::Jy)] = true;
}

std::string HeadlessServices::Text(EditBox box) const { return texts_[Index(box)]; }

void HeadlessServices::SetText(EditBox box, std::string_view text) {
  texts_[Index(box)].assign(text);
  ++revisions_[Index(box)];
  if (allSelected_ == static_cast<int>(box)) allSelected_ = -1;  // a new text drops the selection
}

uint64_t HeadlessServices::TextRevision(EditBox box) const { return revisions_[Index(box)]; }

void HeadlessServices::FocusAndSelectAll(EditBox box) {
  focused_ = static_cast<int>(box);
  allSelected_ = static_cast<int>(box);
  treeHasFocus_ = false;
}

void HeadlessServices::DropFocus(EditBox box) {
  if (focused_ == static_cast<int>(box)) focused_ = -1;
  if (allSelected_ == static_cast<int>(box)) allSelected_ = -1;
}

std::string HeadlessServices::Caption(PushButton button) const { return captions_[Index(button)]; }
void HeadlessServices::SetCaption(PushButton button, std::string_view caption) { captions_[Index(button)].assign(caption); }
bool HeadlessServices::IsEnabled(PushButton button) const { return enabled_[Index(button)]; }
void HeadlessServices::SetEnabled(PushButton button, bool enabled) { enabled_[Index(button)] = enabled; }

bool HeadlessServices::IsChecked(RadioButton radio) const { return checked_[Index(radio)]; }

void HeadlessServices::SetChecked(RadioButton radio, bool checked) {
  if (checked) checked_.fill(false);
  checked_[Index(radio)] = checked;
}

void HeadlessServices::LoadTree(TreeItemTable items) {
  tree_ = std::move(items);
  parents_ = ParentsFromDepths(tree_.depths);
  expanded_.assign(tree_.Size(), false);
  current_ = -1;
}

void HeadlessServices::ClearTree() { LoadTree(TreeItemTable{}); }

int HeadlessServices::TreeItemCount() const { return static_cast<int>(tree_.Size()); }

std::string HeadlessServices::TreeLabel(int position) const {
  if (position < 0 || position >= TreeItemCount()) return {};
  return std::string(tree_.labels.At(static_cast<size_t>(position)));
}

int HeadlessServices::CurrentItem() const { return current_; }

void HeadlessServices::SetCurrentItem(int position) {
  if (position < 0 || position >= TreeItemCount()) position = -1;
  if (position == current_) return;
  current_ = position;
  if (onCurrentItemChanged) onCurrentItemChanged();
}

bool HeadlessServices::IsExpanded(int position) const {
  return position >= 0 && position < TreeItemCount() && expanded_[static_cast<size_t>(position)];
}

void HeadlessServices::Expand(int position) {
  if (position >= 0 && position < TreeItemCount()) expanded_[static_cast<size_t>(position)] = true;
}

void HeadlessServices::FocusTree() {
  treeHasFocus_ = true;
  focused_ = -1;
}

void HeadlessServices::ShowMessage(std::string_view text, std::string_view title) {
  messages_.push_back({std::string(text), std::string(title)});
}

void HeadlessServices::SetClipboardText(std::string_view text) { clipboard_.assign(text); }

void HeadlessServices::DispatchPendingEvents() {
  ++dispatchCount_;
  if (onDispatch) onDispatch();
}

int HeadlessServices::TreeLevel(int position) const {
  int level = 0;
  if (position < 0 || position >= TreeItemCount()) return level;
  for (int32_t p = parents_[static_cast<size_t>(position)]; p >= 0; p = parents_[static_cast<size_t>(p)]) ++level;
  return level;
}

}  // namespace qoxa::app
