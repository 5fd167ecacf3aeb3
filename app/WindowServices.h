#pragma once
// The window-system services the commands rely on. The Qt window implements them for the user;
// HeadlessServices implements them in memory for the tests and the command-line tool.
// All texts are GB18030 bytes, the engines' byte text; implementations convert at their boundary.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/TreeItemTable.h"

namespace qoxa::app {

enum class EditBox {
  Source,  // JSON_源文本
  Path,    // json语法编辑框
  Result,  // json_结果编辑框
  Find,    // JSON_编辑框_查找
};

enum class PushButton {
  Find,          // 寻找json文本
  Import,        // JSON解析_按钮_解析
  Format,        // JSON解析_按钮_格式化
  Compact,       // 还原化
  Clear,         // JSON解析_按钮_清空
  GenerateCode,  // JSON生成代码
};

enum class RadioButton {
  Jy,    // 精易
  Zy,    // zyjson
  Hx,    // 彗星
  E2ee,  // E2EE
};

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Edit boxes. Setting a text by program does not raise the text-changed event; the commands
  // run the text-changed handling themselves where the window would have run it.
  virtual std::string Text(EditBox box) const = 0;
  virtual void SetText(EditBox box, std::string_view text) = 0;
  // A number that changes whenever the box's text may have changed (a program write or a user
  // edit), so that a command can tell an unchanged text without reading it. 0: not counted, the
  // caller compares the text itself.
  virtual uint64_t TextRevision(EditBox /*box*/) const { return 0; }
  // The source box's select-all toggle: focus and select everything, or drop focus and selection.
  virtual void FocusAndSelectAll(EditBox box) = 0;
  virtual void DropFocus(EditBox box) = 0;

  // Push buttons. A disabled button raises no click.
  virtual std::string Caption(PushButton button) const = 0;
  virtual void SetCaption(PushButton button, std::string_view caption) = 0;
  virtual bool IsEnabled(PushButton button) const = 0;
  virtual void SetEnabled(PushButton button, bool enabled) = 0;

  // Radio buttons: one exclusive group; checking one unchecks the others.
  virtual bool IsChecked(RadioButton radio) const = 0;
  virtual void SetChecked(RadioButton radio, bool checked) = 0;

  // The tree view. Positions count items in list order from 0; -1 means no item.
  virtual void LoadTree(TreeItemTable items) = 0;  // replaces every item in one operation
  virtual void ClearTree() = 0;
  virtual int TreeItemCount() const = 0;
  virtual std::string TreeLabel(int position) const = 0;  // "" for a position that does not exist
  virtual int CurrentItem() const = 0;
  // Makes the item current; when the current item changes this raises the current-item-changed
  // event, which runs node selection.
  virtual void SetCurrentItem(int position) = 0;
  virtual bool IsExpanded(int position) const = 0;
  virtual void Expand(int position) = 0;
  virtual void FocusTree() = 0;

  // A modal message box with one OK button; an empty title means the window system's default.
  virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
  virtual void SetClipboardText(std::string_view text) = 0;
  // Dispatches the window messages that are pending (the find command keeps the window responsive).
  virtual void DispatchPendingEvents() = 0;
};

}  // namespace qoxa::app
