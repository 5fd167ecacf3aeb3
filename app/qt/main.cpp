// The program's entry: the window (with the commands it owns) and the message loop.
#include <QApplication>

#include "app/qt/MainWindow.h"
#include "platform/HeapReuse.h"

int main(int argc, char* argv[]) {
  qoxa::platform::KeepFreedMemoryForReuse();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("qoxa-json"));
  {
    // The commands create the program-wide objects first, then the window builds its controls
    // and runs the window-created step; closing the window ends the loop, and destroying the
    // window releases the program-wide objects.
    qoxa::qt::MainWindow window;
    window.show();
    application.exec();
  }
  return 0;
}
