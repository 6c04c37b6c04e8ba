#pragma once
// The entry point of a test of the whole program: the program's own
// application object (which reports what escapes a command), its names, and
// private user folders so that test programs may run side by side.

#include "app/Main.h"
#include "foundation/ZEP_Dates.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

namespace tessel::test {

template <typename Test>
int RunProgramTest(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
  TesselApplication app(argc, argv);
  QApplication::setApplicationName("Tessel");
  QApplication::setOrganizationName("Tessel");
  setDateLocale(QLocale(QLocale::French, QLocale::France));
  Test test;
  return QTest::qExec(&test, argc, argv);
}

} // namespace tessel::test
