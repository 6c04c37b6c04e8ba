#include "app/Main.h"

#include "app/U_frame_Tessel.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/ProgramValues.h"

namespace tessel {

TesselApplication::TesselApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TesselApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    return ReportEscapedException();
  }
}

TesselProgram::TesselProgram() : mainForm(dmIntro, dmMetier, dmMetierTessel) {
  dmIntro.setIntroduction(&introduction);
  introduction.Prepare(QStringLiteral("Gestion de vos rapports d'activités"));
}

TesselProgram::~TesselProgram() = default;

void TesselProgram::start(const QStringList& arguments) {
  // Only the splash screen shows while the start document opens, the
  // after-load step runs and the remaining windows are built.
  introduction.StartSplash();
  EditHistory::instance().setEnabled(true);
  DocumentManager& documents = DocumentManager::instance();
  documents.OpenDocument(documents.startDocumentName(arguments));
  mainForm.AfterDocumentLoaded();
  mainForm.Frame_tessel->RefreshWorkScreens();
  EditHistory::instance().documentLoaded();
  introduction.EndSplash();
  mainForm.showMaximized();
}

int RunTessel(int argc, char** argv) {
  TesselApplication app(argc, argv);
  QApplication::setApplicationName(ProductNameText());
  QApplication::setOrganizationName(ProductNameText());
  QApplication::setWindowIcon(ApplicationIcon());
  InstallFrenchUserInterface(app);

  TesselProgram program;
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  program.start(arguments);
  return QApplication::exec();
}

} // namespace tessel
