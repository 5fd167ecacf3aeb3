#pragma once
// WindowServices kept in memory: the window as the tests and the command-line tool see it.
// Every control's state is a plain field that the owner can read back after a command ran.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/TreeItemTable.h"
#include "app/WindowServices.h"

namespace qoxa::app {

class HeadlessServices : public WindowServices {
 public:
  struct Message {
    std::string text;
    std::string title;
  };

  // The initial captions, 精易 checked, every text empty, an empty tree.
  HeadlessServices();

  std::string Text(EditBox box) const override;
  void SetText(EditBox box, std::string_view text) override;
  uint64_t TextRevision(EditBox box) const override;
  void FocusAndSelectAll(EditBox box) override;
  void DropFocus(EditBox box) override;

  std::string Caption(PushButton button) const override;
  void SetCaption(PushButton button, std::string_view caption) override;
  bool IsEnabled(PushButton button) const override;
  void SetEnabled(PushButton button, bool enabled) override;

  bool IsChecked(RadioButton radio) const override;
  void SetChecked(RadioButton radio, bool checked) override;

  void LoadTree(TreeItemTable items) override;
  void ClearTree() override;
  int TreeItemCount() const override;
  std::string TreeLabel(int position) const override;
  int CurrentItem() const override;
  void SetCurrentItem(int position) override;
  bool IsExpanded(int position) const override;
  void Expand(int position) override;
  void FocusTree() override;

  void ShowMessage(std::string_view text, std::string_view title) override;
  void SetClipboardText(std::string_view text) override;
  void DispatchPendingEvents() override;

  // What the owner reads back.
  const TreeItemTable& Tree() const { return tree_; }
  // The parent of every item (-1 for the top level), worked out when the tree was loaded.
  const std::vector<int32_t>& TreeParents() const { return parents_; }
  // How many ancestors the item has: 0 for a top-level item.
  int TreeLevel(int position) const;
  const std::vector<Message>& Messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  const std::string& Clipboard() const { return clipboard_; }
  // The edit box that has the focus (only the source box's toggle moves it), and whether its
  // whole text is selected.
  bool HasFocus(EditBox box) const { return focused_ == static_cast<int>(box); }
  bool AllSelected(EditBox box) const { return allSelected_ == static_cast<int>(box); }
  bool TreeHasFocus() const { return treeHasFocus_; }
  int DispatchCount() const { return dispatchCount_; }

  // Raised when the current item changes (the window wires it to node selection).
  std::function<void()> onCurrentItemChanged;
  // Runs on each DispatchPendingEvents, standing in for the handlers that pending messages would run.
  std::function<void()> onDispatch;

 private:
  std::array<std::string, 4> texts_;
  std::array<uint64_t, 4> revisions_{1, 1, 1, 1};
  std::array<std::string, 6> captions_;
  std::array<bool, 6> enabled_{};
  std::array<bool, 4> checked_{};
  TreeItemTable tree_;
  std::vector<int32_t> parents_;
  std::vector<bool> expanded_;
  int current_ = -1;
  int focused_ = -1;
  int allSelected_ = -1;
  bool treeHasFocus_ = false;
  std::vector<Message> messages_;
  std::string clipboard_;
  int dispatchCount_ = 0;
};

}  // namespace qoxa::app
