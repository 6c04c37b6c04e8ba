// Entry point of the desktop program: the start-up sequence.

#include "app/EmbeddedFrames.h"
#include "app/Fenetre_introduction.h"
#include "app/IconSet.h"
#include "app/MainForm.h"
#include "app/MessageBoxPrompts.h"
#include "app/ProgramValues.h"
#include "app/U_DM_intro.h"
#include "app/U_DM_metier.h"
#include "app/U_DM_metier_tessel.h"

#include <QApplication>

using namespace tessel;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(ProductNameText());
  QApplication::setWindowIcon(ApplicationIcon());
  InstallFrenchUserInterface(app);

  // Shared modules first: the main window takes its actions and pictures
  // from them.
  TDM_intro dmIntro;
  TDM_metier dmMetier;
  TDM_metier_tessel dmMetierTessel;
  TMainForm mainForm(dmIntro, dmMetier, dmMetierTessel);
  InstallUserInterface(mainForm);
  TForme_introduction introduction;
  dmIntro.setIntroduction(&introduction);
  introduction.Prepare(QStringLiteral("Gestion de vos rapports d'activités"));

  // Only the splash screen shows while the start document opens, the
  // after-load step runs and the remaining windows are built.
  introduction.StartSplash();
  mainForm.AfterDocumentLoaded();
  introduction.EndSplash();

  mainForm.showMaximized();
  return app.exec();
}
