#include "app/MainForm.h"

#include "app/ExportMenu.h"
#include "app/Fenetre_calc_date.h"
#include "app/U_DM_intro.h"
#include "app/U_DM_metier_tessel.h"
#include "app/U_Frame_emploi_du_temps.h"
#include "app/U_Frame_statistique.h"
#include "app/U_Frame_vue.h"
#include "app/U_fen_administration.h"
#include "app/U_frame_Tessel.h"
#include "foundation/FileAccess.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "model/U_class_contenu.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Fenetre_liste_obj.h"
#include "ui/Fenetre_restauration.h"
#include "ui/U_fen_rech_note.h"
#include "widgets/ActionHints.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/ProgramValues.h"
#include "widgets/U_DM_metier.h"
#include "widgets/UiFonts.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <tuple>

namespace tessel {

namespace {

constexpr int TopStripHeight = 37;
constexpr int ButtonHeight = 36;
constexpr int LeftButtonWidth = 84;
constexpr int RightButtonWidth = 82;

// Indexes in the common icon list.
enum CommonIcon {
  IconNew = 2, IconOpen = 3, IconSave = 4, IconSaveAs = 5, IconQuit = 6, IconOptions = 7,
  IconAbout = 12, IconColour = 15, IconAdministration = 17, IconCalculator = 18,
  IconComments = 19, IconCommentSearch = 20, IconCommentNew = 21, IconReport = 22,
  IconWeeklyReport = 23, IconWeeklyReportNotes = 24, IconWebPage = 31
};

QAction* newAction(QObject* owner, const char* name, const QString& caption, const QString& hint = {}) {
  auto* action = new QAction(owner);
  action->setObjectName(QLatin1String(name));
  SetCaption(action, caption);
  if (!hint.isEmpty()) SetHint(action, hint);
  return action;
}

QMenu* newMenu(QWidget* parent, const char* name, const QString& title) {
  auto* menu = new QMenu(title, parent);
  menu->setObjectName(QLatin1String(name));
  return menu;
}

QToolBar* newToolBar(QWidget* parent, const char* name) {
  auto* bar = new QToolBar(parent);
  bar->setObjectName(QLatin1String(name));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(16, 16));
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bar->setFont(MsSansSerif(8));
  bar->setContentsMargins(0, 0, 0, 0);
  bar->layout()->setSpacing(0);
  bar->layout()->setContentsMargins(0, 0, 0, 0);
  return bar;
}

QToolButton* addButton(QToolBar* bar, QAction* action, const char* name, int width) {
  bar->addAction(action);
  auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
  button->setObjectName(QLatin1String(name));
  // The designed width is a minimum: the desktop's font may need more room
  // than the one the bars were designed with.
  button->setMinimumSize(width, ButtonHeight);
  button->setMaximumHeight(ButtonHeight);
  return button;
}

} // namespace

TMainForm::TMainForm(TDM_intro& intro, TDM_metier& metier, TDM_metier_tessel& tessel, QWidget* parent)
    : QMainWindow(parent),
      Frame_tessel(new TFrame_Tessel),
      ToolBar_principale(newToolBar(this, "ToolBar_principale")),
      TlBar_fenetre(newToolBar(this, "TlBar_fenetre")),
      Act_portail(newAction(this, "Act_portail", QStringLiteral("Portail..."))),
      Grp_pages(new QActionGroup(this)),
      Act_emploi_du_temps(newAction(this, "Act_emploi_du_temps", QStringLiteral("Emploi du temps"),
                                    QStringLiteral("Visualiser votre emploi du temps"))),
      Act_statistique(newAction(this, "Act_statistique", QStringLiteral("Statistiques"), QStringLiteral("Voir statistique"))),
      Act_vues(newAction(this, "Act_vues", QStringLiteral("Vues"), QStringLiteral("Voir vue mensuelle"))),
      Act_btn_administration(newAction(this, "Act_btn_administration", QStringLiteral("Administration..."))),
      Act_btn_couleur(newAction(this, "Act_btn_couleur", QStringLiteral("Couleur"))),
      Act_commentaires(newAction(this, "Act_commentaires", QStringLiteral("Commentaires..."))),
      Act_rapport(newAction(this, "Act_rapport", QStringLiteral("Compte-rendu..."))),
      PM_commentaires(newMenu(this, "PM_commentaires", QString())),
      Act_chercher_commentaire(newAction(this, "Act_chercher_commentaire", QStringLiteral("Chercher un commentaire..."))),
      Act_creer_commentaire(newAction(this, "Act_creer_commentaire", QStringLiteral("Créer un commentaire non associé ..."))),
      PM_rapports(newMenu(this, "PM_rapports", QString())),
      MM_fichier(newMenu(this, "MM_fichier", QStringLiteral("&Fichier"))),
      MM_edition(newMenu(this, "MM_edition", QStringLiteral("&Édition"))),
      MM_rapports(newMenu(this, "MM_rapports", QStringLiteral("&Rapports"))),
      MM_outils(newMenu(this, "MM_outils", QStringLiteral("&Outils"))),
      MM_aide(newMenu(this, "MM_aide", QStringLiteral("?"))),
      Act_nouveau(newAction(this, "Act_nouveau", QStringLiteral("Nouveau"))),
      Act_restaurer(newAction(this, "Act_restaurer", QStringLiteral("Restaurer une version précédente..."),
                              QStringLiteral("Ouvrir une version gardée à un enregistrement précédent"))),
      Act_quitter(newAction(this, "Act_quitter", QStringLiteral("Quitter"))),
      Act_annuler(newAction(this, "Act_annuler", QStringLiteral("Annuler"))),
      Act_retablir(newAction(this, "Act_retablir", QStringLiteral("Rétablir"))),
      Act_administration(newAction(this, "Act_administration", QStringLiteral("Administration"))),
      Act_couleur(newAction(this, "Act_couleur", QStringLiteral("Couleur"))),
      intro_(intro),
      metier_(metier),
      tessel_(tessel) {
  setObjectName(QStringLiteral("TMainForm"));
  setWindowTitle(ProductNameText());
  setWindowIcon(ApplicationIcon());
  resize(982, 599);
  setMinimumWidth(600);

  buildToolBars();
  buildMenus();

  // The tool bars over the workspace, which fills the rest.
  auto* client = new QWidget(this);
  auto* clientLayout = new QVBoxLayout(client);
  clientLayout->setContentsMargins(0, 0, 0, 0);
  clientLayout->setSpacing(0);
  auto* strip = new QWidget(client);
  strip->setObjectName(QStringLiteral("Panel_barres"));
  strip->setFixedHeight(TopStripHeight);
  auto* stripLayout = new QHBoxLayout(strip);
  stripLayout->setContentsMargins(0, 0, 0, 1);
  stripLayout->setSpacing(0);
  stripLayout->addWidget(ToolBar_principale);
  stripLayout->addStretch(1);
  stripLayout->addWidget(TlBar_fenetre);
  clientLayout->addWidget(strip);
  Frame_tessel->setParent(client);
  clientLayout->addWidget(Frame_tessel, 1);
  setCentralWidget(client);

  auto* timetable = new TFrame_emploi_du_temps;
  auto* periodView = new Tframe_vue;
  Frame_tessel->setScreen(TFrame_Tessel::Page::Timetable, timetable);
  Frame_tessel->setScreen(TFrame_Tessel::Page::Statistics, new TFrame_Stat);
  Frame_tessel->setScreen(TFrame_Tessel::Page::PeriodView, periodView);
  // The weekly routine's commands of the timetable, in the menus too.
  MM_exporter = new ExportMenu(*timetable, *periodView, this);
  MM_fichier->insertMenu(Act_quitter, MM_exporter);
  MM_fichier->insertSeparator(Act_quitter);
  MM_edition->addSeparator();
  MM_edition->addAction(timetable->Act_reprendre);
  MM_edition->addAction(timetable->Act_valider);
  MM_edition->addAction(timetable->Act_rouvrir);
  connect(timetable, &TFrame_emploi_du_temps::timerCaptionChanged, this, [this](const QString& caption) {
    timerCaption_ = caption;
    showCaption();
  });
  // "Portail..." and the timetable's own button show and hide the same panel.
  connect(Act_portail, &QAction::toggled, timetable, &TFrame_emploi_du_temps::setLeftPanelVisible);
  connect(timetable, &TFrame_emploi_du_temps::leftPanelVisibilityChanged, Act_portail, &QAction::setChecked);

  // The selection window and the editor windows go with the main window;
  // so does the administration window, after which the timetable shows its
  // week again.
  new TForme_liste_objets(this);
  TMDIChild_OAOR::SetOwnerWindow(this);
  auto* administration = new TForme_administration(this);
  connect(this, &TMainForm::administrationRequested, administration, [administration, timetable] {
    administration->exec();
    timetable->loadWeek();
  });
  connect(this, &TMainForm::administrationRefreshRequested, administration, &TForme_administration::RefreshUsers);
  connect(this, &TMainForm::freeCommentRequested, this, [] { EditObject(nullptr, Mcontenu::Class()); });
  // So do the calculator, hidden until "Chronodatrice...", and the note search window.
  metier_.setCalculatorWindow(new Tforme_calc_date(this));
  auto* noteSearch = new TForme_rech_note(this);
  connect(this, &TMainForm::noteSearchRequested, noteSearch, &TForme_rech_note::ShowModal);

  setDocumentHooks(metier_.ConfigureDocuments(*this));
  // The document's caption goes through this window, which adds the timer's.
  DocumentManager& documents = DocumentManager::instance();
  documents.captionChanged = [window = QPointer<TMainForm>(this), &documents] {
    if (window) window->setMainCaption(documents.MainCaption());
  };
}

TMainForm::~TMainForm() {
  // The screens and windows let go of the objects as the document closes.
  if (hooks_.closeDocument) hooks_.closeDocument();
}

void TMainForm::buildToolBars() {
  const ImageList& large = tessel_.IL_gros_btn_tessel;
  const ImageList& common = metier_.imgListe_commun;

  Act_portail->setCheckable(true);
  Act_portail->setChecked(true);
  Act_portail->setIcon(large.icon(0));
  connect(Act_portail, &QAction::toggled, this, &TMainForm::portalToggled);

  Grp_pages->setExclusive(true);
  const std::pair<QAction*, void (TFrame_Tessel::*)()> pages[] = {
      {Act_emploi_du_temps, &TFrame_Tessel::showTimetablePage},
      {Act_statistique, &TFrame_Tessel::showStatisticsPage},
      {Act_vues, &TFrame_Tessel::showPeriodViewPage}};
  int icon = 1;
  for (const auto& [action, show] : pages) {
    action->setCheckable(true);
    action->setIcon(large.icon(icon++));
    Grp_pages->addAction(action);
    connect(action, &QAction::triggered, Frame_tessel, show);
  }
  Act_emploi_du_temps->setChecked(true);

  Act_btn_administration->setIcon(large.icon(4));
  connect(Act_btn_administration, &QAction::triggered, this, Reported([this] { emit administrationRequested(); }));
  Act_btn_couleur->setIcon(large.icon(5));
  connect(Act_btn_couleur, &QAction::triggered, this, Reported([this] { ColourCommand(); }));

  addButton(ToolBar_principale, Act_portail, "TLB_activites", LeftButtonWidth);
  ToolBar_principale->addSeparator();
  addButton(ToolBar_principale, Act_emploi_du_temps, "TLB_emloi_du_temps", LeftButtonWidth);
  addButton(ToolBar_principale, Act_statistique, "TLB_statistique", LeftButtonWidth);
  addButton(ToolBar_principale, Act_vues, "TLB_vues", LeftButtonWidth);
  ToolBar_principale->addSeparator();
  addButton(ToolBar_principale, Act_btn_administration, "TLB_administration", LeftButtonWidth);
  addButton(ToolBar_principale, Act_btn_couleur, "TLB_couleur", LeftButtonWidth);

  // Drop-down menus of the right tool bar; a click on the button itself runs
  // the first command of its menu.
  Act_chercher_commentaire->setIcon(common.icon(IconCommentSearch));
  connect(Act_chercher_commentaire, &QAction::triggered, this, Reported([this] { emit noteSearchRequested(); }));
  Act_creer_commentaire->setIcon(common.icon(IconCommentNew));
  connect(Act_creer_commentaire, &QAction::triggered, this, Reported([this] { emit freeCommentRequested(); }));
  PM_commentaires->addAction(Act_chercher_commentaire);
  PM_commentaires->addAction(Act_creer_commentaire);
  Act_commentaires->setIcon(common.icon(IconComments));
  connect(Act_commentaires, &QAction::triggered, Act_chercher_commentaire, &QAction::trigger);

  tessel_.Act_rapport_hebdo->setIcon(common.icon(IconWeeklyReport));
  tessel_.Act_rapport_hebdo_note->setIcon(common.icon(IconWeeklyReportNotes));
  PM_rapports->addAction(tessel_.Act_rapport_hebdo);
  PM_rapports->addAction(tessel_.Act_rapport_hebdo_note);
  Act_rapport->setIcon(common.icon(IconReport));
  connect(Act_rapport, &QAction::triggered, tessel_.Act_rapport_hebdo, &QAction::trigger);

  metier_.Act_enregistrer->setIcon(common.icon(IconSave));
  metier_.Act_calculatrice->setIcon(common.icon(IconCalculator));

  for (auto [action, menu, name] : {std::tuple{Act_commentaires, PM_commentaires, "TLB_commentaires"},
                                     std::tuple{Act_rapport, PM_rapports, "TLB_rapport"}}) {
    QToolButton* button = addButton(TlBar_fenetre, action, name, RightButtonWidth);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    // While its menu holds the pointer, the button is not told that the
    // pointer left it: once the menu has gone, it looks where the pointer is.
    connect(menu, &QMenu::aboutToHide, button, [button] {
      QTimer::singleShot(0, button, [button] {
        if (!button->underMouse() || button->rect().contains(button->mapFromGlobal(QCursor::pos()))) return;
        button->setAttribute(Qt::WA_UnderMouse, false);
        QEvent left(QEvent::Leave);
        QCoreApplication::sendEvent(button, &left);
        button->update();
      });
    });
  }
  addButton(TlBar_fenetre, metier_.Act_enregistrer, "TLB_enregistrer", RightButtonWidth);
  addButton(TlBar_fenetre, metier_.Act_calculatrice, "TLB_calculatrice", RightButtonWidth);
}

void TMainForm::buildMenus() {
  const ImageList& common = metier_.imgListe_commun;

  Act_nouveau->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  Act_nouveau->setIcon(common.icon(IconNew));
  connect(Act_nouveau, &QAction::triggered, this, Reported([this] { documentReplaced(hooks_.newDocument); }));
  metier_.Act_ouvrir->setIcon(common.icon(IconOpen));
  connect(metier_.Act_ouvrir, &QAction::triggered, this,
          Reported([this] { documentReplaced(hooks_.openDocument); }));
  Act_restaurer->setIcon(QIcon(IconPath(QStringLiteral("common-file-restore.svg"))));
  chooseBackup = [](QWidget* owner, const QString& document) { return TForme_restauration::Choose(owner, document); };
  connect(Act_restaurer, &QAction::triggered, this,
          Reported([this] { documentReplaced([this] { return openBackup(); }); }));
  connect(metier_.Act_enregistrer, &QAction::triggered, this, Reported([this] {
            if (hooks_.save) hooks_.save();
          }));
  metier_.Act_enregistrer_sous->setIcon(common.icon(IconSaveAs));
  connect(metier_.Act_enregistrer_sous, &QAction::triggered, this, Reported([this] {
            if (hooks_.saveAs) hooks_.saveAs();
          }));
  Act_quitter->setIcon(common.icon(IconQuit));
  connect(Act_quitter, &QAction::triggered, this, &QWidget::close);

  MM_fichier->addAction(Act_nouveau);
  MM_fichier->addAction(metier_.Act_ouvrir);
  MM_fichier->addAction(Act_restaurer);
  MM_fichier->addSeparator();
  MM_fichier->addAction(metier_.Act_enregistrer);
  MM_fichier->addAction(metier_.Act_enregistrer_sous);
  MM_fichier->addSeparator();
  MM_fichier->addAction(Act_quitter);

  buildEditMenu();

  MM_rapports->addAction(tessel_.Act_rapport_hebdo);
  MM_rapports->addAction(tessel_.Act_rapport_hebdo_note);

  SetHint(MM_outils->menuAction(), QStringLiteral("Commandes relatives au fenêtres"));
  intro_.Act_options->setIcon(common.icon(IconOptions));
  Act_administration->setIcon(common.icon(IconAdministration));
  connect(Act_administration, &QAction::triggered, this, Reported([this] { emit administrationRequested(); }));
  Act_couleur->setIcon(common.icon(IconColour));
  connect(Act_couleur, &QAction::triggered, this, Reported([this] { ColourCommand(); }));
  MM_outils->addAction(intro_.Act_options);
  MM_outils->addSeparator();
  MM_outils->addAction(Act_administration);
  MM_outils->addAction(Act_couleur);
  MM_outils->addSeparator();
  MM_outils->addAction(metier_.Act_calculatrice);

  intro_.Act_a_propos->setIcon(common.icon(IconAbout));
  metier_.Act_page_produit->setIcon(common.icon(IconWebPage));
  MM_aide->addAction(intro_.Act_a_propos);
  MM_aide->addAction(metier_.Act_page_produit);
  MM_aide->setToolTipsVisible(true);

  for (QMenu* menu : {MM_fichier, MM_edition, MM_rapports, MM_outils, MM_aide}) menuBar()->addMenu(menu);
}

void TMainForm::buildEditMenu() {
  Act_annuler->setIcon(QIcon(IconPath(QStringLiteral("action-undo.svg"))));
  Act_annuler->setShortcut(QKeySequence::Undo);
  Act_retablir->setIcon(QIcon(IconPath(QStringLiteral("action-redo.svg"))));
  Act_retablir->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  // The keys work in the main window only: a modal window or an editor
  // window keeps them for its own fields.
  for (QAction* action : {Act_annuler, Act_retablir}) addAction(action);
  EditHistory& history = EditHistory::instance();
  connect(Act_annuler, &QAction::triggered, this, Reported([&history] { history.undo(); }));
  connect(Act_retablir, &QAction::triggered, this, Reported([&history] { history.redo(); }));
  connect(&history, &EditHistory::changed, this, &TMainForm::followHistory);
  MM_edition->addAction(Act_annuler);
  MM_edition->addAction(Act_retablir);
  followHistory();
}

void TMainForm::followHistory() {
  const EditHistory& history = EditHistory::instance();
  Act_annuler->setText(history.undoText());
  Act_annuler->setEnabled(history.canUndo());
  Act_retablir->setText(history.redoText());
  Act_retablir->setEnabled(history.canRedo());
}

void TMainForm::setDocumentHooks(DocumentHooks hooks) { hooks_ = std::move(hooks); }

void TMainForm::setMainCaption(const QString& caption) {
  mainCaption_ = caption;
  showCaption();
}

void TMainForm::showCaption() {
  const QString main = mainCaption_.isEmpty() ? ProductNameText() : mainCaption_;
  setWindowTitle(timerCaption_.isEmpty() ? main : main + QStringLiteral(" — ") + timerCaption_);
}

void TMainForm::AfterDocumentLoaded() {
  if (hooks_.afterDocumentLoaded) hooks_.afterDocumentLoaded();
  Frame_tessel->initialise();
  Act_emploi_du_temps->setChecked(true);
  // What the screens wrote while showing the fresh document is part of it.
  EditHistory::instance().documentLoaded();
}

void TMainForm::documentReplaced(const std::function<bool()>& load) {
  if (!load || !load()) return;
  AfterDocumentLoaded();
  emit administrationRefreshRequested();
  Frame_tessel->RefreshWorkScreens();
  EditHistory::instance().documentLoaded();
}

bool TMainForm::openBackup() {
  DocumentManager& documents = DocumentManager::instance();
  const QString chosen = chooseBackup ? chooseBackup(this, documents.CurrentFile()) : QString();
  if (chosen.isEmpty()) return false;
  // Read before the save question: the save it may make can prune the backup.
  const FileContent content = ReadFile(chosen);
  if (documents.AskToSave() == Answer::Cancel) return false;
  documents.Discard();
  documents.OpenAsNewDocument(content.bytes);
  return true;
}

void TMainForm::ColourCommand() {
  const QColor chosen = QColorDialog::getColor(WorkspaceColour, this);
  if (!chosen.isValid()) return;
  WorkspaceColour = chosen;
  Frame_tessel->RefreshWorkScreens();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  Answer answer = Answer::No;
  // A save that failed must not let the window close on unsaved work.
  if (hooks_.askToSave && !RunReported([&] { answer = hooks_.askToSave(); })) answer = Answer::Cancel;
  if (answer == Answer::Cancel) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

} // namespace tessel
