#pragma once
// A fresh object base per test with the program's classes registered, the
// user's folders and settings redirected to private test places, and prompts
// recorded.

#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "support/RecordingPrompts.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tessel::test {

class ModelTest : public testing::Test {
protected:
  ModelTest() {
    // Each test process has its own folders, so tests may run side by side.
    static const QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + "/Tessel/Tessel.conf");
    Storage::reset();
    DocumentManager::instance().reset();
    Tadministration_FRAME::instance().clear();
    SetUpApplicationModel();
  }
  ~ModelTest() override {
    Storage::reset();
    DocumentManager::instance().reset();
  }

  QString path(const QString& name) const { return dir.filePath(name); }
  // Opens a document as the program does, after-load step included.
  void openDocument(const QString& name) {
    DocumentManager::instance().OpenDocument(name.isEmpty() ? QString() : path(name));
    DocumentManager::instance().AfterDocumentLoaded();
  }

  QTemporaryDir dir;
  RecordingPrompts prompts;
};

inline TDateTime at(int y, int m, int d, int h = 0, int mi = 0) { return EncodeDate(y, m, d) + EncodeTime(h, mi, 0); }

} // namespace tessel::test
