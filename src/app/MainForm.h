#pragma once
// The main window: two tool bars, the main menu and the workspace frame. It
// does no business of its own; each command goes to the module or screen
// that owns it, through the hooks and signals below.

#include "widgets/U_DM_metier.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QToolButton;

namespace tessel {

class ExportMenu;
class TDM_intro;
class TDM_metier;
class TDM_metier_tessel;
class TFrame_Tessel;
class TFrame_emploi_du_temps;

class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  // What the document manager does for the main window's commands (the
  // shared module gives them; tests replace them).
  using DocumentHooks = DocumentCommands;

  // Also makes the run's selection window, and the editor windows belong to
  // this window.
  TMainForm(TDM_intro& intro, TDM_metier& metier, TDM_metier_tessel& tessel, QWidget* parent = nullptr);
  ~TMainForm() override;

  void setDocumentHooks(DocumentHooks hooks);

  // "Restaurer une version précédente...": the backup the user chooses
  // among those of the document (the restore window; tests replace it);
  // empty when none is chosen.
  std::function<QString(QWidget*, const QString& document)> chooseBackup;
  // The caption: "Tessel" at creation; the document manager's main caption
  // after each load and save-as, followed by the running timer's while one
  // runs for the document.
  void setMainCaption(const QString& caption);

  // The after-load step: the document manager's part, then the workspace is
  // initialised (timetable page shown, its button down).
  void AfterDocumentLoaded();

  // "Couleur": a colour dialog; a confirmed colour becomes the workspace
  // colour and the work screens are refreshed.
  void ColourCommand();

  TFrame_Tessel* const Frame_tessel;
  QToolBar* const ToolBar_principale;
  QToolBar* const TlBar_fenetre;

  // Left tool bar.
  QAction* const Act_portail;           // checked while the category tree panel shows
  QActionGroup* const Grp_pages;
  QAction* const Act_emploi_du_temps;
  QAction* const Act_statistique;
  QAction* const Act_vues;
  QAction* const Act_btn_administration;
  QAction* const Act_btn_couleur;
  // Right tool bar (besides the shared save and calculator actions).
  QAction* const Act_commentaires;
  QAction* const Act_rapport;
  // Menus.
  QMenu* const PM_commentaires;
  QAction* const Act_chercher_commentaire;
  QAction* const Act_creer_commentaire;
  QMenu* const PM_rapports;
  QMenu* const MM_fichier;
  QMenu* const MM_edition;
  QMenu* const MM_rapports;
  QMenu* const MM_outils;
  QMenu* const MM_aide;
  QAction* const Act_nouveau;
  QAction* const Act_restaurer;
  QAction* const Act_quitter;
  ExportMenu* MM_exporter = nullptr;
  // "Annuler …" and "Rétablir …", named after the step they take back or do again.
  QAction* const Act_annuler;
  QAction* const Act_retablir;
  QAction* const Act_administration;
  QAction* const Act_couleur;

signals:
  // The requests are emitted inside RunReported (the refresh inside New's and
  // Open's): a slot connected directly runs within it.
  void portalToggled(bool visible);
  void administrationRequested();     // modal administration window
  void administrationRefreshRequested(); // user tabs, after New and Open
  void noteSearchRequested();          // modal note search window
  void freeCommentRequested();         // editor for a comment attached to nothing

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void buildToolBars();
  void buildMenus();
  void buildEditMenu();
  void showCaption();
  void followHistory();
  void documentReplaced(const std::function<bool()>& load);
  // The chosen backup opened as a new document, after the save question.
  bool openBackup();

  TDM_intro& intro_;
  TDM_metier& metier_;
  TDM_metier_tessel& tessel_;
  DocumentHooks hooks_;
  QString mainCaption_;
  QString timerCaption_;
};

} // namespace tessel
