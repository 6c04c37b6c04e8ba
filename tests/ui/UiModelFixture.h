#pragma once
// A fresh object base with the program's classes for one widget test, the
// shared picture lists, recorded prompts, and private user folders. Editor
// windows still open at the end are closed.

#include "foundation/ZEP_Dictionnaire.h"
#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_class_contenu.h"
#include "support/RecordingPrompts.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "widgets/U_DM_metier.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace tessel::test {

class UiModel {
public:
  UiModel() {
    // Each test process has folders of its own.
    static const QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    Storage::reset();
    DocumentManager::instance().reset();
    Tadministration_FRAME::instance().clear();
    SetUpApplicationModel();
    Storage::OpenBase(dir.filePath(QStringLiteral("test.TSF")), Tadministration_FRAME::instance().loadList());
  }
  ~UiModel() {
    closeEditorWindows();
    Storage::reset();
    DocumentManager::instance().reset();
  }
  UiModel(const UiModel&) = delete;
  UiModel& operator=(const UiModel&) = delete;

  static void closeEditorWindows() {
    for (TMDIChild_OAOR* window : QList<TMDIChild_OAOR*>(TMDIChild_OAOR::OpenWindows())) delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // A comment as the editors store them.
  static Mcontenu* comment(const std::string& title, const std::string& text = {}) {
    auto* content = new Mcontenu;
    content->SetTitre(title);
    if (!text.empty()) content->SetTexte(EncodeText(text));
    return content;
  }

  QTemporaryDir dir;
  RecordingPrompts prompts;
  TDM_metier module; // the picture lists
};

// Windows closed with WA_DeleteOnClose go at the next deferred deletion.
inline void processDeletions() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace tessel::test
