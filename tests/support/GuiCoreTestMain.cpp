// Test entry point for the core parts that lay out and draw text (reports):
// the GUI application without a window system, dates and numbers the French way.

#include "foundation/ZEP_Dates.h"

#include <QGuiApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Test discovery runs the program outside CTest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  tessel::setDateLocale(QLocale(QLocale::French, QLocale::France));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
