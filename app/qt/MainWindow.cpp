#include "app/qt/MainWindow.h"

#include <Qsci/qscilexerjson.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <algorithm>
#include <utility>

#include "app/qt/AppIcon.h"
#include "app/qt/FileDropReceiver.h"
#include "app/qt/TreeModel.h"
#include "platform/CodePage.h"

namespace qoxa::qt {

using app::EditBox;
using app::PushButton;
using app::RadioButton;

namespace {

constexpr QPoint kInitialPosition(50, 50);
constexpr QSize kInitialOuterSize(825, 619);

QString FromGb(std::string_view gb) {
  const std::string utf8 = platform::Gb18030ToUtf8(gb);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToGb(const QString& text) { return platform::Utf8ToGb18030(text.toUtf8().toStdString()); }

QFont UiFont(int pixelSize) {
  QFont font;
  font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC")});
  font.setPixelSize(pixelSize);
  return font;
}

// A multi-line JSON box. Its text is exchanged as UTF-8 bytes with the editor itself, so
// nothing converts line ends or copies the text through a QString.
QsciScintilla* MakeJsonEditor(QWidget* parent, const QString& name, bool lineNumbers) {
  auto* editor = new QsciScintilla(parent);
  editor->setObjectName(name);
  editor->setUtf8(true);
  // The editor sizes its styles in points only: the point size that draws 14 pixels here.
  QFont font = UiFont(14);
  font.setPointSizeF(14 * 72.0 / editor->logicalDpiY());
  editor->setFont(font);
  auto* lexer = new QsciLexerJSON(editor);
  lexer->setDefaultFont(font);
  lexer->setFont(font);  // every style
  editor->setLexer(lexer);
  editor->setMarginsFont(font);
  for (int margin = 0; margin < 5; ++margin) editor->setMarginWidth(margin, 0);
  if (lineNumbers) {
    editor->setMarginType(0, QsciScintilla::NumberMargin);
    editor->setMarginLineNumbers(0, true);
    // The margin fits the line count (four digits at least) and widens with it.
    const auto fitMargin = [editor] {
      const qsizetype digits = std::max<qsizetype>(4, QString::number(editor->lines()).size());
      editor->setMarginWidth(0, QString(digits + 1, QLatin1Char('0')));
    };
    fitMargin();
    QObject::connect(editor, &QsciScintilla::linesChanged, editor, fitMargin);
  }
  editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The horizontal scroll bar follows the widest line laid out so far instead of a fixed width.
  editor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1L);
  editor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1L);
  return editor;
}

std::string EditorText(const QsciScintilla* editor) {
  const long length = editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  const auto* bytes = static_cast<const char*>(editor->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
  if (length <= 0 || bytes == nullptr) return {};
  return platform::Utf8ToGb18030(std::string_view(bytes, static_cast<size_t>(length)));
}

// Replaces the whole text. Undo history is not kept across a replacement by program: for big
// documents it would hold a second copy of the old text.
void SetEditorText(QsciScintilla* editor, std::string_view gb) {
  const std::string utf8 = platform::Gb18030ToUtf8(gb);
  editor->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0L);
  editor->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
  editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.data());
  editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
  editor->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1L);
}

int ModifierState(Qt::KeyboardModifiers modifiers) {
  int state = 0;
  if (modifiers & Qt::ControlModifier) state |= 1;
  if (modifiers & Qt::ShiftModifier) state |= 2;
  if (modifiers & Qt::AltModifier) state |= 4;
  return state;
}

// Qt makes the first item current when a view without a current item gets the focus. Here an
// item becomes current only when the user or the program picks one, so node selection never
// runs for an item nobody chose; the view's own current-item change is made quietly and undone.
class ItemTreeView : public QTreeView {
 public:
  ItemTreeView(QWidget* parent, bool& quiet) : QTreeView(parent), quiet_(quiet) {}

 protected:
  void focusInEvent(QFocusEvent* event) override {
    if (currentIndex().isValid()) {
      QTreeView::focusInEvent(event);
      return;
    }
    quiet_ = true;
    QTreeView::focusInEvent(event);
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    quiet_ = false;
  }

 private:
  bool& quiet_;
};

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent), commands_(std::make_unique<app::MainCommands>(*this)) {
  setWindowTitle(QStringLiteral("QOXA-JSON解析工具 V1.0"));
  setWindowIcon(AppIcon());
  CreateControls();
  ConnectEvents();
  move(kInitialPosition);
  resize(kInitialOuterSize);
  // Until the window system reports a frame, the client area is the whole outer size.
  baseClientSize_ = kInitialOuterSize;
  setMinimumSize(baseClientSize_);
  LayOutControls();
  // Files dropped onto the source box go to the drop receiver.
  dropReceiver_->Register(source_->viewport());
  commands_->OnWindowCreated();
}

MainWindow::~MainWindow() {
  // The commands go first; signals raised while the controls are torn down find none to run.
  commands_.reset();
}

void MainWindow::CreateControls() {
  const QFont font12 = UiFont(12);
  const QFont font14 = UiFont(14);

  treeGroup_ = new QGroupBox(QStringLiteral("json列表"), this);
  treeGroup_->setObjectName(QStringLiteral("分组框11"));
  treeGroup_->setFont(font12);
  tree_ = new ItemTreeView(treeGroup_, quietTree_);
  tree_->setObjectName(QStringLiteral("解析结果树形框"));
  tree_->setFont(font14);
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  treeModel_ = new TreeModel(this);
  tree_->setModel(treeModel_);
  // One column as wide as its longest visible label, so long labels scroll sideways.
  tree_->header()->setStretchLastSection(false);
  tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

  sourceGroup_ = new QGroupBox(QStringLiteral("json数据"), this);
  sourceGroup_->setObjectName(QStringLiteral("分组框10"));
  sourceGroup_->setFont(font12);
  source_ = MakeJsonEditor(sourceGroup_, QStringLiteral("JSON_源文本"), true);
  dropReceiver_ = new FileDropReceiver(sourceGroup_, [this](const std::string& fileName) {
    if (commands_) commands_->OnFileDropped(fileName);
  });
  dropReceiver_->setObjectName(QStringLiteral("拖放对象1"));

  const char* radioNames[] = {"精易", "zyjson", "彗星", "E2EE"};
  const char* radioTexts[] = {"jy", "zy", "hx", "E2EE"};
  radioGroup_ = new QButtonGroup(this);
  radioGroup_->setExclusive(true);
  for (size_t i = 0; i < radios_.size(); ++i) {
    radios_[i] = new QRadioButton(QString::fromUtf8(radioTexts[i]), this);
    radios_[i]->setObjectName(QString::fromUtf8(radioNames[i]));
    radios_[i]->setFont(font12);
    radioGroup_->addButton(radios_[i], static_cast<int>(i));
  }
  Radio(RadioButton::Jy)->setChecked(true);

  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("JSON_编辑框_查找"));

  // In the order of the PushButton enumeration.
  const char* buttonNames[] = {"寻找json文本", "JSON解析_按钮_解析", "JSON解析_按钮_格式化", "还原化", "JSON解析_按钮_清空", "JSON生成代码"};
  const char* buttonTexts[] = {"寻找文本", "导入树", "格式化", "还原化", "清空文本", "生成代码"};
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i] = new QPushButton(QString::fromUtf8(buttonTexts[i]), this);
    buttons_[i]->setObjectName(QString::fromUtf8(buttonNames[i]));
    buttons_[i]->setFont(font12);
    buttons_[i]->setAutoDefault(false);
  }

  path_ = new QLineEdit(this);
  path_->setObjectName(QStringLiteral("json语法编辑框"));
  path_->setFont(font14);
  QPalette red = path_->palette();
  red.setColor(QPalette::Text, QColor(255, 0, 0));
  path_->setPalette(red);

  result_ = MakeJsonEditor(this, QStringLiteral("json_结果编辑框"), false);
}

void MainWindow::ConnectEvents() {
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (commands_ && !quietTree_) commands_->OnTreeItemChanged();
  });
  // The editor reports a change from inside its modification notice, where the document must not
  // be changed again; the handler (which may rewrite the text) runs right after it instead, once
  // for a burst of changes.
  connect(source_, &QsciScintilla::textChanged, this, [this] {
    if (programWrites_ > 0 || !commands_ || sourceChangePending_) return;
    sourceChangePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          sourceChangePending_ = false;
          if (commands_) commands_->OnSourceTextChanged();
        },
        Qt::QueuedConnection);
  });
  // Every change of a box's text raises its revision, whoever made it.
  for (const auto& [box, editor] : {std::pair{EditBox::Source, source_}, std::pair{EditBox::Result, result_}}) {
    connect(editor, &QsciScintilla::textChanged, this, [this, box = box] { ++revisions_[static_cast<size_t>(box)]; });
  }
  for (const auto& [box, line] : {std::pair{EditBox::Path, path_}, std::pair{EditBox::Find, find_}}) {
    connect(line, &QLineEdit::textChanged, this, [this, box = box] { ++revisions_[static_cast<size_t>(box)]; });
  }
  source_->installEventFilter(this);

  for (QRadioButton* radio : radios_) {
    connect(radio, &QRadioButton::clicked, this, [this] {
      if (commands_) commands_->OnModeClicked();
    });
  }
  const std::pair<PushButton, void (app::MainCommands::*)()> handlers[] = {
      {PushButton::Find, &app::MainCommands::OnFindClicked},
      {PushButton::Import, &app::MainCommands::OnImportClicked},
      {PushButton::Format, &app::MainCommands::OnFormatClicked},
      {PushButton::Compact, &app::MainCommands::OnCompactClicked},
      {PushButton::Clear, &app::MainCommands::OnClearClicked},
      {PushButton::GenerateCode, &app::MainCommands::OnGenerateCodeClicked},
  };
  for (const auto& [button, handler] : handlers) {
    connect(Button(button), &QPushButton::clicked, this, [this, handler = handler] {
      if (commands_) (commands_.get()->*handler)();
    });
  }
}

// Places every control. At the base client size the positions and sizes are those of the layout
// table. Extra width is split evenly between the tree's side and the source's side; extra height
// goes two thirds to the two group boxes and one third to the result box. The radio buttons and
// the buttons under the source box keep their places beside it: those on the left follow its left
// edge, the find box, the find button, the clear and code buttons follow its right edge (the find
// box takes the source side's extra width), and all of them follow its bottom edge.
void MainWindow::LayOutControls() {
  const int dx = std::max(0, width() - baseClientSize_.width());
  const int dy = std::max(0, height() - baseClientSize_.height());
  const int dxTree = dx / 2;
  const int dxSource = dx - dxTree;
  const int dyTop = dy * 2 / 3;
  const int dyResult = dy - dyTop;

  treeGroup_->setGeometry(4, 2, 412 + dxTree, 414 + dyTop);
  tree_->setGeometry(8, 20, 396 + dxTree, 386 + dyTop);
  sourceGroup_->setGeometry(420 + dxTree, 2, 394 + dxSource, 358 + dyTop);
  source_->setGeometry(8, 20, 378 + dxSource, 330 + dyTop);

  const int left = dxTree;  // follows the source side's left edge
  const int right = dx;     // follows its right edge
  Radio(RadioButton::Jy)->setGeometry(426 + left, 363 + dyTop, 40, 24);
  Radio(RadioButton::Zy)->setGeometry(474 + left, 363 + dyTop, 46, 24);
  Radio(RadioButton::Hx)->setGeometry(523 + left, 363 + dyTop, 47, 24);
  Radio(RadioButton::E2ee)->setGeometry(569 + left, 363 + dyTop, 48, 24);
  find_->setGeometry(624 + left, 364 + dyTop, 112 + dxSource, 21);
  Button(PushButton::Find)->setGeometry(744 + right, 361 + dyTop, 69, 25);
  Button(PushButton::Import)->setGeometry(419 + left, 391 + dyTop, 50, 25);
  Button(PushButton::Format)->setGeometry(482 + left, 391 + dyTop, 50, 25);
  Button(PushButton::Compact)->setGeometry(545 + left, 391 + dyTop, 50, 25);
  Button(PushButton::Clear)->setGeometry(651 + right, 391 + dyTop, 64, 25);
  Button(PushButton::GenerateCode)->setGeometry(744 + right, 391 + dyTop, 68, 25);
  path_->setGeometry(4, 421 + dyTop, 810 + dx, 21);
  result_->setGeometry(4, 448 + dyTop, 810 + dx, 135 + dyResult);
}

// The outer size includes the frame. The frame is known only once the window system has
// decorated the shown window; then the client area shrinks by it, once, and that client size
// becomes the base of the layout and the minimum size.
void MainWindow::FitOuterSize() {
  if (outerSizeFitted_ || !isVisible()) return;
  const QSize frame = frameGeometry().size() - geometry().size();
  if (frame.width() <= 0 && frame.height() <= 0) return;
  outerSizeFitted_ = true;
  baseClientSize_ = kInitialOuterSize - frame;
  setMinimumSize(baseClientSize_);
  resize(baseClientSize_);
  move(kInitialPosition);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitOuterSize();
  LayOutControls();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FitOuterSize();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitOuterSize();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == source_ && event->type() == QEvent::KeyPress) {
    return HandleSourceKey(static_cast<QKeyEvent*>(event));
  }
  return QWidget::eventFilter(watched, event);
}

// Every key reaches the editor after the handler has seen it, except Ctrl+Z: the handler's
// select-all toggle is its only effect, so the editor's own undo does not run on top of it.
bool MainWindow::HandleSourceKey(QKeyEvent* event) {
  const int modifierState = ModifierState(event->modifiers());
  if (commands_) commands_->OnSourceKeyDown(event->key(), modifierState);
  return event->key() == Qt::Key_Z && modifierState == 1;
}

QsciScintilla* MainWindow::Editor(EditBox box) const {
  switch (box) {
    case EditBox::Source:
      return source_;
    case EditBox::Result:
      return result_;
    default:
      return nullptr;
  }
}

QLineEdit* MainWindow::LineEdit(EditBox box) const {
  switch (box) {
    case EditBox::Path:
      return path_;
    case EditBox::Find:
      return find_;
    default:
      return nullptr;
  }
}

std::string MainWindow::Text(EditBox box) const {
  if (const QsciScintilla* editor = Editor(box)) return EditorText(editor);
  return ToGb(LineEdit(box)->text());
}

void MainWindow::SetText(EditBox box, std::string_view text) {
  ++revisions_[static_cast<size_t>(box)];
  if (QsciScintilla* editor = Editor(box)) {
    ++programWrites_;
    SetEditorText(editor, text);
    --programWrites_;
    return;
  }
  LineEdit(box)->setText(FromGb(text));
}

void MainWindow::FocusAndSelectAll(EditBox box) {
  if (QsciScintilla* editor = Editor(box)) {
    editor->setFocus(Qt::OtherFocusReason);
    editor->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
    return;
  }
  LineEdit(box)->setFocus(Qt::OtherFocusReason);
  LineEdit(box)->selectAll();
}

void MainWindow::DropFocus(EditBox box) {
  if (QsciScintilla* editor = Editor(box)) {
    const long caret = editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    editor->SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret));
    editor->clearFocus();
    return;
  }
  LineEdit(box)->deselect();
  LineEdit(box)->clearFocus();
}

std::string MainWindow::Caption(PushButton button) const { return ToGb(Button(button)->text()); }

void MainWindow::SetCaption(PushButton button, std::string_view caption) { Button(button)->setText(FromGb(caption)); }

bool MainWindow::IsEnabled(PushButton button) const { return Button(button)->isEnabled(); }

void MainWindow::SetEnabled(PushButton button, bool enabled) { Button(button)->setEnabled(enabled); }

bool MainWindow::IsChecked(RadioButton radio) const { return Radio(radio)->isChecked(); }

void MainWindow::SetChecked(RadioButton radio, bool checked) {
  if (checked || !Radio(radio)->isChecked()) {
    Radio(radio)->setChecked(checked);
    return;
  }
  // An exclusive group keeps its checked button checked; unchecking it by program leaves none.
  radioGroup_->setExclusive(false);
  Radio(radio)->setChecked(false);
  radioGroup_->setExclusive(true);
}

// Replacing the items drops the current item without raising the current-item-changed event:
// there is no item to select any more.
void MainWindow::LoadTree(app::TreeItemTable items) {
  quietTree_ = true;
  treeModel_->Load(std::move(items));
  quietTree_ = false;
}

void MainWindow::ClearTree() {
  quietTree_ = true;
  treeModel_->Clear();
  quietTree_ = false;
}

int MainWindow::TreeItemCount() const { return treeModel_->ItemCount(); }

std::string MainWindow::TreeLabel(int position) const { return std::string(treeModel_->Label(position)); }

int MainWindow::CurrentItem() const { return treeModel_->PositionOf(tree_->currentIndex()); }

void MainWindow::SetCurrentItem(int position) {
  const QModelIndex index = treeModel_->IndexOf(position);
  tree_->setCurrentIndex(index);  // raises the current-item-changed event when it changes
  if (index.isValid()) tree_->scrollTo(index);  // also expands its ancestors
}

bool MainWindow::IsExpanded(int position) const {
  const QModelIndex index = treeModel_->IndexOf(position);
  return index.isValid() && tree_->isExpanded(index);
}

void MainWindow::Expand(int position) {
  const QModelIndex index = treeModel_->IndexOf(position);
  if (index.isValid()) tree_->expand(index);
}

void MainWindow::FocusTree() { tree_->setFocus(Qt::OtherFocusReason); }

void MainWindow::ShowMessage(std::string_view text, std::string_view title) {
  const QString caption = title.empty() ? QGuiApplication::applicationDisplayName() : FromGb(title);
  QMessageBox box(QMessageBox::NoIcon, caption, FromGb(text), QMessageBox::Ok, this);
  box.exec();
}

void MainWindow::SetClipboardText(std::string_view text) { QGuiApplication::clipboard()->setText(FromGb(text)); }

void MainWindow::DispatchPendingEvents() { QCoreApplication::processEvents(); }

}  // namespace qoxa::qt
