// Entry point of the desktop program.

#include "foundation/ProductIdentity.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString title = QString::fromLatin1(tessel::ProductName.data(), tessel::ProductName.size());
  QApplication::setApplicationName(title);
  QMainWindow window;
  window.setWindowTitle(title);
  window.resize(982, 599);
  window.show();
  return app.exec();
}
