// The real window on the offscreen platform: its controls, layout, text exchange and event wiring.
#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <fstream>
#include <memory>

#include "app/qt/MainWindow.h"
#include "app/qt/TreeModel.h"
#include "platform/CodePage.h"

using qoxa::app::EditBox;
using qoxa::app::PushButton;
using qoxa::app::RadioButton;
using qoxa::platform::Utf8ToGb18030;

namespace {

QString ControlText(const QWidget* control) {
  if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (auto* line = qobject_cast<const QLineEdit*>(control)) return line->text();
  if (auto* editor = qobject_cast<const QsciScintilla*>(control)) return editor->text();
  return {};
}

// The pixel size the control really draws with (an editor draws with its lexer's fonts).
int DrawnPixelSize(const QWidget* control) {
  if (auto* editor = qobject_cast<const QsciScintilla*>(control)) return QFontInfo(editor->lexer()->font(0)).pixelSize();
  return control->font().pixelSize();
}

long EditorCall(const QsciScintilla* editor, unsigned int message) { return editor->SendScintilla(message); }

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<qoxa::qt::MainWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  void controlsAtInitialSize_data();
  void controlsAtInitialSize();
  void windowAndModeGroup();
  void growingWindowKeepsButtonsBesideBoxes();
  void editorsKeepTextsByteForByte();
  void sourceBoxKeysAndDroppedFiles();
  void importClickFillsTreeAndSelectionRunsNodeSelection();
  void messagesAreOwnedByTheWindow();
  void treeMapsPositionsAtAnyDepth();

 private:
  template <typename T>
  T* Control(const char* name) {
    return window_->findChild<T*>(QString::fromUtf8(name));
  }

  std::unique_ptr<qoxa::qt::MainWindow> window_;
};

void WindowTest::controlsAtInitialSize_data() {
  QTest::addColumn<QString>("container");
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QRect>("geometry");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("pixelSize");  // -1: the application's default font

  struct Row {
    const char* name;
    const char* container;
    const char* kind;
    QRect geometry;
    const char* text;
    int pixelSize;
  };
  const Row rows[] = {
      {"分组框11", "", "QGroupBox", {4, 2, 412, 414}, "json列表", 12},
      {"解析结果树形框", "分组框11", "QTreeView", {8, 20, 396, 386}, "", 14},
      {"分组框10", "", "QGroupBox", {420, 2, 394, 358}, "json数据", 12},
      {"JSON_源文本", "分组框10", "QsciScintilla", {8, 20, 378, 330}, "", 14},
      {"精易", "", "QRadioButton", {426, 363, 40, 24}, "jy", 12},
      {"zyjson", "", "QRadioButton", {474, 363, 46, 24}, "zy", 12},
      {"彗星", "", "QRadioButton", {523, 363, 47, 24}, "hx", 12},
      {"E2EE", "", "QRadioButton", {569, 363, 48, 24}, "E2EE", 12},
      {"JSON_编辑框_查找", "", "QLineEdit", {624, 364, 112, 21}, "", -1},
      {"寻找json文本", "", "QPushButton", {744, 361, 69, 25}, "寻找文本", 12},
      {"JSON解析_按钮_解析", "", "QPushButton", {419, 391, 50, 25}, "导入树", 12},
      {"JSON解析_按钮_格式化", "", "QPushButton", {482, 391, 50, 25}, "格式化", 12},
      {"还原化", "", "QPushButton", {545, 391, 50, 25}, "还原化", 12},
      {"JSON解析_按钮_清空", "", "QPushButton", {651, 391, 64, 25}, "清空文本", 12},
      {"JSON生成代码", "", "QPushButton", {744, 391, 68, 25}, "生成代码", 12},
      {"json语法编辑框", "", "QLineEdit", {4, 421, 810, 21}, "", 14},
      {"json_结果编辑框", "", "QsciScintilla", {4, 448, 810, 135}, "", 14},
  };
  for (const Row& row : rows) {
    QTest::newRow(row.name) << QString::fromUtf8(row.container) << QString::fromUtf8(row.kind) << row.geometry
                            << QString::fromUtf8(row.text) << row.pixelSize;
  }
}

void WindowTest::controlsAtInitialSize() {
  QFETCH(QString, container);
  QFETCH(QString, kind);
  QFETCH(QRect, geometry);
  QFETCH(QString, text);
  QFETCH(int, pixelSize);

  const QString name = QString::fromUtf8(QTest::currentDataTag());
  auto* control = window_->findChild<QWidget*>(name);
  QVERIFY2(control != nullptr, qPrintable(name));
  QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
  QCOMPARE(control->parentWidget(), container.isEmpty() ? window_.get() : window_->findChild<QWidget*>(container));
  QCOMPARE(control->geometry(), geometry);
  QCOMPARE(ControlText(control), text);
  QVERIFY(control->isVisible());
  if (pixelSize < 0) {
    QCOMPARE(control->font(), QApplication::font(control));
  } else {
    QCOMPARE(DrawnPixelSize(control), pixelSize);
    QCOMPARE(control->font().families().value(0), QStringLiteral("Microsoft YaHei"));
  }
}

void WindowTest::windowAndModeGroup() {
  QCOMPARE(window_->windowTitle(), QStringLiteral("QOXA-JSON解析工具 V1.0"));
  QVERIFY(!window_->windowIcon().isNull());
  // The outer size includes the frame; the initial client size is the smallest one.
  QTRY_COMPARE(window_->frameGeometry(), QRect(50, 50, 825, 619));
  QCOMPARE(window_->minimumSize(), window_->size());
  const QObject* dropReceiver = window_->findChild<QObject*>(QStringLiteral("拖放对象1"));
  QVERIFY(dropReceiver != nullptr);
  QCOMPARE(dropReceiver->parent(), Control<QObject>("分组框10"));

  auto* path = Control<QLineEdit>("json语法编辑框");
  QCOMPARE(path->palette().color(QPalette::Text), QColor(255, 0, 0));

  // One exclusive group, 精易 checked at start; unchecking by program leaves none checked.
  auto* jy = Control<QRadioButton>("精易");
  auto* hx = Control<QRadioButton>("彗星");
  QVERIFY(jy->isChecked());
  QVERIFY(window_->IsChecked(RadioButton::Jy));
  window_->SetChecked(RadioButton::Hx, true);
  QVERIFY(hx->isChecked() && !jy->isChecked());
  window_->SetChecked(RadioButton::Hx, false);
  for (RadioButton radio : {RadioButton::Jy, RadioButton::Zy, RadioButton::Hx, RadioButton::E2ee}) {
    QVERIFY(!window_->IsChecked(radio));
  }
  window_->SetChecked(RadioButton::E2ee, true);
  window_->SetChecked(RadioButton::Jy, true);
  QVERIFY(jy->isChecked() && !window_->IsChecked(RadioButton::E2ee));

  // The clear command through its button empties the boxes and brings the group back to 精易.
  window_->SetChecked(RadioButton::Zy, true);
  window_->SetText(EditBox::Find, "x");
  window_->SetText(EditBox::Source, "[1]");
  QTest::mouseClick(Control<QPushButton>("JSON解析_按钮_清空"), Qt::LeftButton);
  QVERIFY(jy->isChecked());
  QCOMPARE(window_->Text(EditBox::Source), std::string());
  QCOMPARE(window_->Text(EditBox::Find), std::string());
}

void WindowTest::growingWindowKeepsButtonsBesideBoxes() {
  const QSize initial = window_->size();
  window_->resize(initial + QSize(100, 90));
  QTRY_COMPARE(window_->size(), initial + QSize(100, 90));
  // Width: half to each side; height: two thirds to the group boxes, one third to the result box.
  const std::pair<const char*, QRect> expected[] = {
      {"分组框11", {4, 2, 462, 474}},
      {"解析结果树形框", {8, 20, 446, 446}},
      {"分组框10", {470, 2, 444, 418}},
      {"JSON_源文本", {8, 20, 428, 390}},
      {"精易", {476, 423, 40, 24}},
      {"E2EE", {619, 423, 48, 24}},
      {"JSON_编辑框_查找", {674, 424, 162, 21}},
      {"寻找json文本", {844, 421, 69, 25}},
      {"JSON解析_按钮_解析", {469, 451, 50, 25}},
      {"JSON解析_按钮_清空", {751, 451, 64, 25}},
      {"JSON生成代码", {844, 451, 68, 25}},
      {"json语法编辑框", {4, 481, 910, 21}},
      {"json_结果编辑框", {4, 508, 910, 165}},
  };
  for (const auto& [name, geometry] : expected) {
    auto* control = Control<QWidget>(name);
    QVERIFY2(control != nullptr, name);
    QCOMPARE(control->geometry(), geometry);
  }
  // Back to the initial size: back to the table.
  window_->resize(initial);
  QTRY_COMPARE(Control<QWidget>("JSON生成代码")->geometry(), QRect(744, 391, 68, 25));
  QCOMPARE(Control<QWidget>("json_结果编辑框")->geometry(), QRect(4, 448, 810, 135));
}

void WindowTest::editorsKeepTextsByteForByte() {
  // Line ends of every kind, GB18030 two- and four-byte characters, and an escape that the
  // source box's change handler would decode if a write by program ran it.
  const std::string multiLine = Utf8ToGb18030("{\"a\":\"中文\\u4e2d\"}\r\nx\ry\n\t😀𠀀 ’%E4\r\n");
  for (EditBox box : {EditBox::Source, EditBox::Result}) {
    window_->SetText(box, multiLine);
    QCoreApplication::processEvents();
    QCOMPARE(window_->Text(box), multiLine);
  }
  const std::string oneLine = Utf8ToGb18030("['数据'].a[0] 😀");
  for (EditBox box : {EditBox::Path, EditBox::Find}) {
    window_->SetText(box, oneLine);
    QCOMPARE(window_->Text(box), oneLine);
  }
  window_->SetText(EditBox::Source, "");
  QCOMPARE(window_->Text(EditBox::Source), std::string());

  window_->SetCaption(PushButton::Import, Utf8ToGb18030("请稍后"));
  QCOMPARE(Control<QPushButton>("JSON解析_按钮_解析")->text(), QStringLiteral("请稍后"));
  QCOMPARE(window_->Caption(PushButton::Import), Utf8ToGb18030("请稍后"));
}

void WindowTest::sourceBoxKeysAndDroppedFiles() {
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  auto* source = Control<QsciScintilla>("JSON_源文本");
  source->setFocus();
  const uint64_t before = window_->TextRevision(EditBox::Source);
  QTest::keyClicks(source, "[12]");
  QCOMPARE(window_->Text(EditBox::Source), std::string("[12]"));
  // Typing raises the text revision (which lets commands skip rereading an unchanged text).
  const uint64_t typed = window_->TextRevision(EditBox::Source);
  QVERIFY(typed != before);

  // Ctrl+Z toggles select-all and never undoes the typing.
  QTest::keyClick(source, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(EditorCall(source, QsciScintillaBase::SCI_GETSELECTIONSTART), 0L);
  QCOMPARE(EditorCall(source, QsciScintillaBase::SCI_GETSELECTIONEND), 4L);
  QVERIFY(source->hasFocus());
  QTest::keyClick(source, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(EditorCall(source, QsciScintillaBase::SCI_GETSELECTIONSTART),
           EditorCall(source, QsciScintillaBase::SCI_GETSELECTIONEND));
  QVERIFY(!source->hasFocus());
  QCOMPARE(window_->Text(EditBox::Source), std::string("[12]"));
  QCOMPARE(window_->TextRevision(EditBox::Source), typed);  // selecting is no change
  source->setFocus();
  QTest::keyClick(source, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(EditorCall(source, QsciScintillaBase::SCI_GETSELECTIONEND), 4L);

  // Dropping two files loads the first one.
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString first = folder.filePath(QStringLiteral("第一.json"));
  const QString second = folder.filePath(QStringLiteral("second.json"));
  std::ofstream(QFile::encodeName(first).toStdString(), std::ios::binary) << "{\"dropped\":1}";
  std::ofstream(QFile::encodeName(second).toStdString(), std::ios::binary) << "[2]";
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
  const QPointF point(20, 20);
  QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(source->viewport(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(source->viewport(), &drop);
  QVERIFY(drop.isAccepted());
  QCOMPARE(window_->Text(EditBox::Source), std::string("{\"dropped\":1}"));
  QVERIFY(window_->TextRevision(EditBox::Source) != typed);
}

void WindowTest::importClickFillsTreeAndSelectionRunsNodeSelection() {
  window_->SetText(EditBox::Source, "[1,\"a\",{\"k\":null}]");
  window_->SetText(EditBox::Find, "stale");
  QTest::mouseClick(Control<QPushButton>("JSON解析_按钮_解析"), Qt::LeftButton);

  QCOMPARE(window_->TreeItemCount(), 5);
  QCOMPARE(window_->TreeLabel(2), Utf8ToGb18030("[1] “a”"));
  QCOMPARE(window_->TreeLabel(5), std::string());
  QVERIFY(window_->IsExpanded(0));
  QVERIFY(!window_->IsExpanded(3));
  QCOMPARE(window_->CurrentItem(), -1);
  // Focus alone picks no item (node selection runs only for an item someone chose).
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  window_->FocusTree();
  QTRY_VERIFY(Control<QTreeView>("解析结果树形框")->hasFocus());
  QCOMPARE(window_->CurrentItem(), -1);
  QCOMPARE(window_->Text(EditBox::Find), std::string());
  QCOMPARE(window_->Caption(PushButton::Import), Utf8ToGb18030("导入树"));
  QVERIFY(window_->IsEnabled(PushButton::Import));

  // What the view shows: one root with three children, labels in Unicode.
  auto* tree = Control<QTreeView>("解析结果树形框");
  const QAbstractItemModel* model = tree->model();
  QCOMPARE(model->rowCount(), 1);
  const QModelIndex root = model->index(0, 0);
  QCOMPARE(root.data().toString(), QStringLiteral("数组"));
  QCOMPARE(model->rowCount(root), 3);
  QCOMPARE(model->index(1, 0, root).data().toString(), QStringLiteral("[1] “a”"));
  QCOMPARE(model->index(0, 0, model->index(2, 0, root)).data().toString(), QStringLiteral("k: null"));

  // A click on an item makes it current and runs node selection, which shows its path.
  const QModelIndex second = model->index(1, 0, root);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(second).center());
  QCOMPARE(window_->CurrentItem(), 2);
  QCOMPARE(window_->Text(EditBox::Path), std::string("[1]"));
  // Setting the current item by program runs it just the same.
  window_->SetCurrentItem(4);
  QCOMPARE(window_->CurrentItem(), 4);
  QVERIFY(window_->IsExpanded(3));
  QCOMPARE(window_->Text(EditBox::Path), std::string("[2].k"));
}

void WindowTest::messagesAreOwnedByTheWindow() {
  // An import with an empty source box shows its message box, modal and owned by the window.
  QString title;
  QString text;
  QWidget* owner = nullptr;
  QTimer closer;
  connect(&closer, &QTimer::timeout, this, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      title = box->windowTitle();
      text = box->text();
      owner = box->parentWidget();
      box->button(QMessageBox::Ok)->click();
    }
  });
  closer.start(10);
  QTest::mouseClick(Control<QPushButton>("JSON解析_按钮_解析"), Qt::LeftButton);
  closer.stop();
  QCOMPARE(title, QStringLiteral("json解析"));
  QCOMPARE(text, QStringLiteral("JSON原文本内容为空，请输入数据！"));
  QCOMPARE(owner, window_.get());

  window_->SetClipboardText(Utf8ToGb18030("复制 😀"));
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("复制 😀"));
}

void WindowTest::treeMapsPositionsAtAnyDepth() {
  // [0,[0,[0,...[0,1]...]]] 500 levels deep: each array's items are "[0] 0" and the next array.
  constexpr int kLevels = 500;
  std::string source;
  for (int level = 0; level < kLevels; ++level) source += "[0,";
  source += "1";
  source.append(kLevels, ']');
  window_->SetText(EditBox::Source, source);
  QTest::mouseClick(Control<QPushButton>("JSON解析_按钮_解析"), Qt::LeftButton);
  const int count = 1 + 2 * kLevels;
  QCOMPARE(window_->TreeItemCount(), count);

  auto* tree = Control<QTreeView>("解析结果树形框");
  const auto* model = qobject_cast<const qoxa::qt::TreeModel*>(tree->model());
  QVERIFY(model != nullptr);
  for (int position = 0; position < count; ++position) {
    const QModelIndex index = model->IndexOf(position);
    const int parent = position == 0 ? -1 : 2 * ((position + 1) / 2 - 1);
    QCOMPARE(model->PositionOf(index), position);
    QCOMPARE(model->PositionOf(index.parent()), parent);
    QCOMPARE(index.row(), position == 0 ? 0 : 1 - position % 2);
    QCOMPARE(model->index(index.row(), 0, index.parent()), index);
    QCOMPARE(model->rowCount(index), position % 2 == 0 && position < count - 1 ? 2 : 0);
  }

  // Making the deepest item current opens every level above it.
  window_->SetCurrentItem(count - 1);
  QCOMPARE(window_->CurrentItem(), count - 1);
  QVERIFY(window_->IsExpanded(count - 3));
  QVERIFY(tree->visualRect(model->IndexOf(count - 1)).isValid());
  window_->ClearTree();
  QCOMPARE(window_->TreeItemCount(), 0);
  QCOMPARE(window_->CurrentItem(), -1);
}

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
