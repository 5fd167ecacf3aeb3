#pragma once
// The source box's drop target: it takes files dragged onto the widget it watches (the other
// drags, such as text, stay the widget's own) and hands over the first dropped local file.
#include <QObject>
#include <functional>
#include <string>

namespace qoxa::qt {

class FileDropReceiver : public QObject {
 public:
  // `onFileDropped` gets the file's name in the file system's encoding.
  FileDropReceiver(QObject* parent, std::function<void(const std::string&)> onFileDropped);

  // Makes `target` (a widget that accepts drops) raise file drops here.
  void Register(QWidget* target);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const std::string&)> onFileDropped_;
};

}  // namespace qoxa::qt
