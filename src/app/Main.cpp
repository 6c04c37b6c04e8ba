#include "app/Main.h"

#include "app/U_frame_Tessel.h"
#include "foundation/Cp1252.h"
#include "foundation/FileAccess.h"
#include "foundation/UserPrompts.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "model/RecoveryCopy.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/ProgramValues.h"

#include <QFileInfo>

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
  RecoveryCopy::instance().setEnabled(true);
  DocumentManager& documents = DocumentManager::instance();
  if (!openCopyLeftByACrash()) documents.OpenDocument(documents.startDocumentName(arguments));
  mainForm.AfterDocumentLoaded();
  mainForm.Frame_tessel->RefreshWorkScreens();
  EditHistory::instance().documentLoaded();
  introduction.EndSplash();
  mainForm.showMaximized();
}

bool TesselProgram::openCopyLeftByACrash() {
  // Newest first; a copy declined is deleted, the next one offered.
  for (const RecoveryCopy::Left& left : RecoveryCopy::leftByCrashes()) {
    const QString name =
        left.document.isEmpty() ? QStringLiteral("un document") : "« " + QFileInfo(left.document).fileName() + " »";
    const bool open = prompts().askYesNo(toCp1252(
        "Tessel s'est arrêté sans avoir enregistré " + name + ". Une copie de secours du " +
        left.written.toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm")) +
        " garde les modifications faites jusque-là.\r\nL'ouvrir comme nouveau document ? Vous pourrez "
        "l'enregistrer sous le nom de votre choix.\r\n(Non : la copie de secours est supprimée.)"));
    if (!open) {
      RecoveryCopy::remove(left.copy);
      continue;
    }
    const FileContent content = ReadFile(left.copy);
    DocumentManager::instance().OpenAsNewDocument(content.bytes);
    RecoveryCopy::remove(left.copy);
    return true;
  }
  return false;
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
