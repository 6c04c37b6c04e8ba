// Test entry point for the core: dates and numbers read and written the French way.

#include "foundation/ZEP_Dates.h"

#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  tessel::setDateLocale(QLocale(QLocale::French, QLocale::France));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
