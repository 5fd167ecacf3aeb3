#include "app/qt/FileDropReceiver.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <utility>

namespace qoxa::qt {

namespace {

// The first local file among the dragged URLs, or an empty text.
QString FirstLocalFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

}  // namespace

FileDropReceiver::FileDropReceiver(QObject* parent, std::function<void(const std::string&)> onFileDropped)
    : QObject(parent), onFileDropped_(std::move(onFileDropped)) {}

void FileDropReceiver::Register(QWidget* target) {
  target->setAcceptDrops(true);
  target->installEventFilter(this);
}

// Of several dropped files the first one is loaded.
bool FileDropReceiver::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
    return QObject::eventFilter(watched, event);
  }
  auto* drag = static_cast<QDropEvent*>(event);
  const QString file = FirstLocalFile(drag->mimeData());
  if (file.isEmpty()) return false;
  drag->acceptProposedAction();
  if (type == QEvent::Drop) onFileDropped_(QFile::encodeName(file).toStdString());
  return true;
}

}  // namespace qoxa::qt
