#pragma once
// The program's one window. It builds the controls, implements the window services over them and
// turns the controls' events into calls of the commands, which it owns.
#include <QSize>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/MainCommands.h"
#include "app/WindowServices.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;
class QsciScintilla;

namespace qoxa::qt {

class FileDropReceiver;
class TreeModel;

class MainWindow : public QWidget, public app::WindowServices {
  Q_OBJECT

 public:
  // Creates the commands (and with them the program-wide objects), then the controls; the window
  // is placed and sized but not shown.
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  app::MainCommands& Commands() { return *commands_; }

  // Window services
  std::string Text(app::EditBox box) const override;
  void SetText(app::EditBox box, std::string_view text) override;
  uint64_t TextRevision(app::EditBox box) const override { return revisions_[static_cast<size_t>(box)]; }
  void FocusAndSelectAll(app::EditBox box) override;
  void DropFocus(app::EditBox box) override;
  std::string Caption(app::PushButton button) const override;
  void SetCaption(app::PushButton button, std::string_view caption) override;
  bool IsEnabled(app::PushButton button) const override;
  void SetEnabled(app::PushButton button, bool enabled) override;
  bool IsChecked(app::RadioButton radio) const override;
  void SetChecked(app::RadioButton radio, bool checked) override;
  void LoadTree(app::TreeItemTable items) override;
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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void ConnectEvents();
  void LayOutControls();
  void FitOuterSize();
  QsciScintilla* Editor(app::EditBox box) const;
  QLineEdit* LineEdit(app::EditBox box) const;
  QPushButton* Button(app::PushButton button) const { return buttons_[static_cast<size_t>(button)]; }
  QRadioButton* Radio(app::RadioButton radio) const { return radios_[static_cast<size_t>(radio)]; }
  bool HandleSourceKey(QKeyEvent* event);

  // Created first: the commands create the tree document, the path table and the codec.
  std::unique_ptr<app::MainCommands> commands_;

  QGroupBox* treeGroup_ = nullptr;    // 分组框11
  QTreeView* tree_ = nullptr;         // 解析结果树形框
  TreeModel* treeModel_ = nullptr;
  QGroupBox* sourceGroup_ = nullptr;  // 分组框10
  FileDropReceiver* dropReceiver_ = nullptr;  // 拖放对象1: takes files dropped onto the source box
  QsciScintilla* source_ = nullptr;   // JSON_源文本
  std::array<QRadioButton*, 4> radios_{};
  QButtonGroup* radioGroup_ = nullptr;
  QLineEdit* find_ = nullptr;         // JSON_编辑框_查找
  std::array<QPushButton*, 6> buttons_{};
  QLineEdit* path_ = nullptr;         // json语法编辑框
  QsciScintilla* result_ = nullptr;   // json_结果编辑框

  // The client size at which every control stands where the layout table puts it; the window
  // never gets smaller than this.
  QSize baseClientSize_;
  bool outerSizeFitted_ = false;
  // Per edit box: raised by every change of its text, by the program or the user (never 0).
  std::array<uint64_t, 4> revisions_{1, 1, 1, 1};
  int programWrites_ = 0;             // > 0 while the program writes into the source box
  bool sourceChangePending_ = false;  // the text-changed handler is queued to run
  bool quietTree_ = false;  // the tree is being replaced or focused: its current-item changes are not events
};

}  // namespace qoxa::qt
