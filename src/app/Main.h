#pragma once
// The program's start-up: the application object, the shared modules and
// windows in their order, the splash screen while the start document opens.

#include "app/Fenetre_introduction.h"
#include "app/MainForm.h"
#include "app/U_DM_intro.h"
#include "app/U_DM_metier_tessel.h"
#include "widgets/U_DM_metier.h"

#include <QApplication>
#include <QStringList>

namespace tessel {

// An exception that escapes a command is reported in an "Erreur" box instead
// of ending the program; the window that ran the command stays usable.
class TesselApplication : public QApplication {
public:
  TesselApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

class TesselProgram {
public:
  // The modules, the main window and the introduction window, in this order.
  TesselProgram();
  ~TesselProgram();

  // The splash screen while the start document (from the command line
  // `arguments`, program name excluded, or the last one) opens and is
  // prepared; then the maximised main window.
  void start(const QStringList& arguments);
  // A recovery copy left by a run that crashed, opened as a new document
  // when the user wants it; answers whether one was.
  bool openCopyLeftByACrash();

  TDM_intro dmIntro;
  TDM_metier dmMetier;
  TDM_metier_tessel dmMetierTessel;
  TMainForm mainForm;
  TForme_introduction introduction;
};

// The whole program: start-up, then the event loop.
int RunTessel(int argc, char** argv);

} // namespace tessel
