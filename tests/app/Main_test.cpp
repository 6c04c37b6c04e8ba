// The program as it starts and runs: the start document, the document
// commands with the save question and the file dialogs, the close sequence,
// commands that fail, the free-comment command, and New and Open while every
// screen shows objects.

#include "app/Main.h"
#include "app/MainForm.h"
#include "app/U_Frame_emploi_du_temps.h"
#include "app/U_Frame_administration.h"
#include "app/U_fen_administration.h"
#include "app/U_frame_Tessel.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"
#include "model/DocumentManager.h"
#include "model/RecoveryCopy.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_contenu.h"
#include "model/U_class_user_tessel.h"
#include "model/WeekTimetable.h"
#include "objects/U_OR_class.h"
#include "support/ModalWindows.h"
#include "support/ProgramTestMain.h"
#include "support/RecordingPrompts.h"
#include "widgets/MessageBoxPrompts.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Cadre_res_personne.h"
#include "ui/Cadre_visu_OAOR.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Fenetre_liste_obj.h"
#include "ui/Fenetre_restauration.h"
#include "ui/Sous_cadre_entete_contenu.h"
#include "ui/U_cadre_arbre_obj_rec.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <QPushButton>
#include <QTabBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::RecordingPrompts;
using Kind = RecordingPrompts::Kind;

namespace {

DocumentManager& documents() { return DocumentManager::instance(); }

int categoryCount() { return Mcategorie::Class().LoadedCount(); }

// A change a user could make: a new category under the root.
void addCategory(const char* name) {
  auto* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  root->AddSubcategory(name);
  documents().SetDocumentModified(true);
}

// An object whose handling of a user event fails.
class Failing : public QObject {
protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw ConvertError("'x' n'est pas correct", "x");
    return QObject::event(event);
  }
};

TFrame_contenu* contentFrame(const TMDIChild_OAOR* window) { return qobject_cast<TFrame_contenu*>(window->Frame()); }

// Runs the action from the event loop, as a click does, so that what it
// throws goes where a user's command's exception goes.
void triggerFromEventLoop(QAction* action) {
  QTimer::singleShot(0, action, &QAction::trigger);
  QTest::qWait(20);
}

} // namespace

class StartupTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void aFirstStartCreatesAndOpensAGeneratedDocument();
  void theLastSavedDocumentOrTheCommandLineOpensAtStart();
  void saveFollowsChanges();
  void closeSequence_data();
  void closeSequence();
  void newAndOpenAskFirst();
  void aFailingCommandIsReportedAndTheProgramGoesOn();
  void portalAndTheTimetablesLeftPanelGoTogether();
  void aSaveThatFailsOnClosingKeepsTheWindowOpen();
  void theFreeCommentCommandBringsBackTheFirstWindow();
  void newAndOpenWhileEveryScreenShowsObjects_data();
  void newAndOpenWhileEveryScreenShowsObjects();
  void administrationEditsTheUsersOfTheDocument();
  void aPreviousVersionOpensAsANewDocument();
  void aCopyLeftByACrashIsOffered_data();
  void aCopyLeftByACrashIsOffered();

private:
  QString data(const QString& name) const { return QDir(documents().generatedFolder()).filePath(name); }
  QString other(const QString& name) const { return files_.filePath(name); }
  TMainForm& form() { return program_->mainForm; }
  TDM_metier& metier() { return program_->dmMetier; }

  QTemporaryDir files_;
  std::unique_ptr<RecordingPrompts> prompts_;
  std::unique_ptr<TesselProgram> program_;
  QStringList opened_; // what the open dialog was asked, in order
  QString chosen_;     // what the file dialogs answer
};

void StartupTest::init() {
  QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
  QFile::remove(QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + "/Tessel/Tessel.conf");
  Storage::reset();
  documents().reset();
  prompts_ = std::make_unique<RecordingPrompts>();
  program_ = std::make_unique<TesselProgram>();
  opened_.clear();
  chosen_.clear();
  const auto chooser = [this](QWidget*, const QString& caption, const QString&, const QString& filter) {
    opened_ << caption + " " + filter;
    return chosen_;
  };
  metier().chooseFileToOpen = chooser;
  metier().chooseFileToSave = chooser;
}

void StartupTest::cleanup() {
  program_.reset();
  prompts_.reset();
  Storage::reset();
}

void StartupTest::aFirstStartCreatesAndOpensAGeneratedDocument() {
  program_->start({});
  QCOMPARE(documents().CurrentFile(), data("TesselFile1.TSF"));
  QVERIFY(QFile::exists(data("TesselFile1.TSF")));
  QCOMPARE(form().windowTitle(), QStringLiteral("Tessel 0.96 - TesselFile1.TSF"));
  QVERIFY(form().isVisible());
  QVERIFY(!program_->introduction.isVisible());
  QCOMPARE(categoryCount(), 8);
  QVERIFY(!metier().Act_enregistrer->isEnabled());
  QVERIFY(prompts_->shown.empty());
}

void StartupTest::theLastSavedDocumentOrTheCommandLineOpensAtStart() {
  program_->start({});
  addCategory("Sieste");
  chosen_ = other("mien.TSF");
  triggerFromEventLoop(metier().Act_enregistrer_sous);
  QCOMPARE(DocumentManager::ReadSetting("dernier_fichier"), other("mien.TSF"));
  program_.reset();
  Storage::reset();
  // The generated file was saved under another name: it stays.
  QVERIFY(QFile::exists(data("TesselFile1.TSF")));

  struct Case {
    QStringList arguments;
    QString expected;
  };
  const Case cases[] = {
      {{}, other("mien.TSF")},
      {{"-min", other("mien.TSF")}, other("mien.TSF")},
      {{other("absent.TSF")}, data("TesselFile2.TSF")},
  };
  for (const Case& c : cases) {
    program_ = std::make_unique<TesselProgram>();
    program_->start(c.arguments);
    QCOMPARE(documents().CurrentFile(), c.expected);
    QCOMPARE(categoryCount(), c.expected == other("mien.TSF") ? 9 : 8);
    program_.reset();
    Storage::reset();
  }
}

void StartupTest::saveFollowsChanges() {
  program_->start({});
  QAction* save = metier().Act_enregistrer;
  QVERIFY(!save->isEnabled());
  addCategory("Sieste");
  QVERIFY(save->isEnabled());
  form().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form()));
  QTest::keyClick(&form(), Qt::Key_S, Qt::ControlModifier);
  QVERIFY(!save->isEnabled());
  QVERIFY(!documents().IsGeneratedDocument());
  QCOMPARE(DocumentManager::ReadSetting("dernier_fichier"), data("TesselFile1.TSF"));
}

void StartupTest::closeSequence_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("closes");
  QTest::addColumn<bool>("fileStays");
  QTest::addColumn<bool>("changeSaved");
  QTest::newRow("Annuler") << int(Answer::Cancel) << false << true << false;
  QTest::newRow("Non") << int(Answer::No) << true << false << false;
  QTest::newRow("Oui") << int(Answer::Yes) << true << true << true;
}

void StartupTest::closeSequence() {
  QFETCH(int, answer);
  QFETCH(bool, closes);
  QFETCH(bool, fileStays);
  QFETCH(bool, changeSaved);
  program_->start({});
  addCategory("Sieste");
  prompts_->answer(Answer(answer));
  QCOMPARE(form().close(), closes);
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::YesNoCancel);
  QCOMPARE(form().isVisible(), !closes);
  if (!closes) {
    // Nothing changed: the document and its change are still there.
    QCOMPARE(categoryCount(), 9);
    QVERIFY(metier().Act_enregistrer->isEnabled());
    QVERIFY(QFile::exists(data("TesselFile1.TSF")));
    return;
  }
  program_.reset();
  QCOMPARE(QFile::exists(data("TesselFile1.TSF")), fileStays);
  if (fileStays) {
    Storage::reset();
    Storage::BindStorage();
    Storage::OpenBase(data("TesselFile1.TSF"), {&Mcategorie::Class()});
    QCOMPARE(categoryCount(), changeSaved ? 9 : 0);
  }
}

void StartupTest::newAndOpenAskFirst() {
  program_->start({});
  const QString first = documents().CurrentFile();

  // Cancelled questions and dialogs change nothing.
  prompts_->answer(Answer::Cancel);
  triggerFromEventLoop(form().Act_nouveau);
  prompts_->answer(Answer::Cancel);
  triggerFromEventLoop(metier().Act_ouvrir);
  prompts_->answer(Answer::No);
  triggerFromEventLoop(metier().Act_ouvrir);
  QCOMPARE(prompts_->shown.size(), std::size_t(3));
  QCOMPARE(opened_, QStringList{"Ouvrir Tessel (*.TSF);;Tous (*)"});
  QCOMPARE(documents().CurrentFile(), first);
  QVERIFY(QFile::exists(first));

  // New after No: the fresh document nobody kept goes, the next one opens.
  prompts_->answer(Answer::No);
  triggerFromEventLoop(form().Act_nouveau);
  QCOMPARE(documents().CurrentFile(), data("TesselFile1.TSF"));
  addCategory("Sieste");
  chosen_ = other("mien.TSF");
  triggerFromEventLoop(metier().Act_enregistrer_sous);
  QCOMPARE(form().windowTitle(), QStringLiteral("Tessel 0.96 - mien.TSF"));

  prompts_->answer(Answer::No);
  triggerFromEventLoop(form().Act_nouveau);
  QCOMPARE(documents().CurrentFile(), data("TesselFile2.TSF"));
  QCOMPARE(categoryCount(), 8);

  prompts_->answer(Answer::No);
  chosen_ = other("mien.TSF");
  triggerFromEventLoop(metier().Act_ouvrir);
  QCOMPARE(documents().CurrentFile(), other("mien.TSF"));
  QCOMPARE(form().windowTitle(), QStringLiteral("Tessel 0.96 - mien.TSF"));
  QCOMPARE(categoryCount(), 9);
  QVERIFY(!QFile::exists(data("TesselFile2.TSF")));
  QVERIFY(!metier().Act_enregistrer->isEnabled());
}

void StartupTest::aFailingCommandIsReportedAndTheProgramGoesOn() {
  program_->start({});
  addCategory("Sieste");
  chosen_ = other("absent/dossier/mien.TSF");
  triggerFromEventLoop(metier().Act_enregistrer_sous);
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::Error);
  QVERIFY(QString::fromStdString(prompts_->shown[0].text).contains("mien.TSF"));
  // The document keeps its name and its change, and can still be saved.
  QCOMPARE(documents().CurrentFile(), data("TesselFile1.TSF"));
  QCOMPARE(form().windowTitle(), QStringLiteral("Tessel 0.96 - TesselFile1.TSF"));
  QVERIFY(metier().Act_enregistrer->isEnabled());
  triggerFromEventLoop(metier().Act_enregistrer);
  QVERIFY(!metier().Act_enregistrer->isEnabled());

  // Whatever an event handler throws, the event loop goes on.
  Failing failing;
  QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  QCOMPARE(prompts_->shown.back().kind, Kind::Error);
  QCOMPARE(prompts_->shown.back().text, std::string("'x' n'est pas correct"));
  QVERIFY(form().isVisible());
}

void StartupTest::portalAndTheTimetablesLeftPanelGoTogether() {
  program_->start({});
  auto* timetable =
      qobject_cast<TFrame_emploi_du_temps*>(form().Frame_tessel->screen(TFrame_Tessel::Page::Timetable));
  QVERIFY(timetable);
  QVERIFY(timetable->leftPanelVisible());
  QVERIFY(form().Act_portail->isChecked());
  form().Act_portail->trigger();
  QVERIFY(!timetable->leftPanelVisible());
  timetable->toggleLeftPanel();
  QVERIFY(timetable->leftPanelVisible());
  QVERIFY(form().Act_portail->isChecked());
}

void StartupTest::aSaveThatFailsOnClosingKeepsTheWindowOpen() {
  program_->start({});
  QVERIFY(QDir(files_.path()).mkdir("dossier"));
  chosen_ = other("dossier/mien.TSF");
  triggerFromEventLoop(metier().Act_enregistrer_sous);
  QVERIFY(QDir(other("dossier")).removeRecursively());
  addCategory("Sieste");
  prompts_->answer(Answer::Yes);
  QVERIFY(!form().close());
  QVERIFY(form().isVisible());
  QCOMPARE(prompts_->shown.back().kind, Kind::Error);
  QCOMPARE(categoryCount(), 9);
  QVERIFY(metier().Act_enregistrer->isEnabled());
}

void StartupTest::theFreeCommentCommandBringsBackTheFirstWindow() {
  program_->start({});
  form().Act_creer_commentaire->trigger();
  QCOMPARE(TMDIChild_OAOR::OpenWindows().size(), 1);
  TMDIChild_OAOR* first = TMDIChild_OAOR::OpenWindows().front();
  QCOMPARE(first->windowTitle(), QStringLiteral("Post-it"));
  QVERIFY(first->isVisible());
  QCOMPARE(first->parentWidget(), &form());
  QVERIFY(!first->Frame()->Object());

  // Typed but not saved: the second command brings this window back.
  QLineEdit* title = contentFrame(first)->Frame_entete->Ed_titre_note;
  QTest::keyClicks(title, QStringLiteral("a moitie"));
  form().Act_creer_commentaire->trigger();
  QCOMPARE(TMDIChild_OAOR::OpenWindows(), QList<TMDIChild_OAOR*>{first});
  QCOMPARE(title->text(), QStringLiteral("a moitie"));
  QCOMPARE(Mcontenu::Class().LoadedCount(), 0);

  // Once the first one is saved, the command opens a new window.
  QTest::mouseClick(first->BB_valider, Qt::LeftButton);
  form().Act_creer_commentaire->trigger();
  QCOMPARE(TMDIChild_OAOR::OpenWindows().size(), 1);
  QVERIFY(TMDIChild_OAOR::OpenWindows().front() != first);

  // The selection window of the run belongs to the main window too.
  QVERIFY(TForme_liste_objets::instance());
  QCOMPARE(TForme_liste_objets::instance()->parentWidget(), &form());
  program_.reset(); // takes the editor windows and the selection window along
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  QVERIFY(!TForme_liste_objets::instance());
}

void StartupTest::newAndOpenWhileEveryScreenShowsObjects_data() {
  QTest::addColumn<bool>("useOpen");
  QTest::addColumn<QString>("opened"); // what the open dialog answers
  QTest::newRow("Nouveau") << false << QString();
  QTest::newRow("Ouvrir...") << true << "mien.TSF";
  QTest::newRow("Ouvrir... a file that cannot be read") << true << "illisible.TSF";
}

// Every screen and window holds objects of the document when it is replaced:
// they let go first, nothing painted meanwhile (under the refusal of a file
// that cannot be read) reads a freed object, and the next document shows
// afresh.
void StartupTest::newAndOpenWhileEveryScreenShowsObjects() {
  QFETCH(bool, useOpen);
  QFETCH(QString, opened);
  QFile broken(other("illisible.TSF"));
  QVERIFY(broken.open(QIODevice::WriteOnly));
  broken.write("ZEP20");
  broken.close();
  program_->start({});
  chosen_ = other("mien.TSF");
  triggerFromEventLoop(metier().Act_enregistrer_sous);
  chosen_ = other(opened);
  auto* timetable =
      qobject_cast<TFrame_emploi_du_temps*>(form().Frame_tessel->screen(TFrame_Tessel::Page::Timetable));
  QAbstractItemView* tree = timetable->taxonomyTree()->TreeView();
  const QModelIndexList pause = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole,
                                                     QStringLiteral("Pause"), 1, Qt::MatchExactly | Qt::MatchRecursive);
  QCOMPARE(pause.size(), 1);
  tree->setCurrentIndex(pause.first());
  emit tree->doubleClicked(pause.first());
  QCOMPARE(timetable->rowCount(), 1);
  form().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form()));
  QTest::mouseClick(timetable->cell(0, 0), Qt::LeftButton);
  QTest::keyClicks(timetable->cell(0, 0), "1:00");
  QTest::keyClick(timetable->cell(0, 0), Qt::Key_Return);
  auto* note = new Mcontenu;
  note->SetTitre("Budget");
  timetable->noteViewer()->ShowNote(note);
  TMDIChild_OAOR* editor = EditObject(note, note->classe());
  TForme_liste_objets::instance()->Frame_LB_obj->Fill(Mcategorie::Class(), nullptr, false,
                                                        [](const MObject_OCS* o) { return o->DisplayText(); },
                                                        nullptr, QString());
  QVERIFY(TForme_liste_objets::instance()->Frame_LB_obj->LB_obj->count() > 0);

  prompts_->answer(Answer::No);
  prompts_->whileShown = [this] { form().grab(); };
  triggerFromEventLoop(useOpen ? metier().Act_ouvrir : form().Act_nouveau);
  prompts_->whileShown = nullptr;
  QVERIFY(!TMDIChild_OAOR::OpenWindows().contains(editor));
  QCOMPARE(TForme_liste_objets::instance()->Frame_LB_obj->LB_obj->count(), 0);
  QCOMPARE(timetable->noteViewer()->CurrentObject(), nullptr);
  // The screens show the next document, ready for the user.
  QCOMPARE(documents().CurrentFile(), opened == "mien.TSF" ? other("mien.TSF") : data("TesselFile2.TSF"));
  QCOMPARE(timetable->rowCount(), 0);
  QVERIFY(tree->model()->rowCount() > 0);
  QCOMPARE(prompts_->shown.size(), std::size_t(opened == "illisible.TSF" ? 2 : 1));
}

// "Administration..." and "Administration" edit the document's users; the
// timetable shows its week again afterwards; New brings the next document's
// users.
void StartupTest::administrationEditsTheUsersOfTheDocument() {
  program_->start({});
  auto* timetable =
      qobject_cast<TFrame_emploi_du_temps*>(form().Frame_tessel->screen(TFrame_Tessel::Page::Timetable));
  QCOMPARE(timetable->rowCount(), 0);
  QVERIFY(!documents().DocumentModified());
  auto* administrator = static_cast<Mutilisateur_tessel*>(Mutilisateur_tessel::Class().LoadedItem(0));
  test::onNextModal<TForme_administration>([&](TForme_administration* window) {
    QCOMPARE(window->parentWidget(), &form());
    TFrame_personne* editor = window->Frame_administration->Frame_personne;
    QCOMPARE(editor->Object(), administrator);
    editor->Mio_edit_prenom->setText(QStringLiteral("Hélène"));
    // Time typed elsewhere meanwhile (the command line, say).
    WeekTimetable week;
    week.load(Today());
    QVERIFY(week.addRow(static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1))));
    QVERIFY(week.commit(0, 0, "1:00"));
    window->close();
  });
  triggerFromEventLoop(form().Act_btn_administration);
  QCOMPARE(administrator->Prenom(), std::string("Hélène"_w));
  QVERIFY(documents().DocumentModified());
  QCOMPARE(timetable->rowCount(), 1);

  // The menu item too.
  bool shown = false;
  test::onNextModal<TForme_administration>([&](TForme_administration* window) {
    shown = true;
    window->close();
  });
  triggerFromEventLoop(form().Act_administration);
  QVERIFY(shown);

  prompts_->answer(Answer::No);
  triggerFromEventLoop(form().Act_nouveau);
  auto* window = form().findChild<TForme_administration*>();
  QVERIFY(window);
  QCOMPARE(window->Frame_administration->TC_utilisateurs->count(), 1);
  QCOMPARE(window->Frame_administration->TC_utilisateurs->tabText(0), QStringLiteral("administrateur"));
  QCOMPARE(window->Frame_administration->ShownUser(), Mutilisateur_tessel::Class().LoadedItem(0));
  QCOMPARE(window->Frame_administration->Frame_personne->Mio_edit_prenom->text(), QString());
}

// Fichier ▸ Restaurer une version précédente...: the window lists what each
// save kept, newest first, with its week total; the version chosen opens as
// a new document and the document's file stays as it was.
void StartupTest::aPreviousVersionOpensAsANewDocument() {
  program_->start({});
  addCategory("Sieste");
  chosen_ = other("versions.TSF");
  triggerFromEventLoop(metier().Act_enregistrer_sous);
  addCategory("Repos");
  triggerFromEventLoop(metier().Act_enregistrer);
  const std::string saved = ReadFile(other("versions.TSF")).bytes;

  QStringList rows;
  test::onNextModal<TForme_restauration>([&](TForme_restauration* window) {
    QTreeWidget* list = window->LV_sauvegardes;
    QTRY_COMPARE(list->topLevelItem(0)->text(2), QStringLiteral("0:00"));
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      rows << list->topLevelItem(i)->text(1) + " " + list->topLevelItem(i)->text(2);
    QVERIFY(window->Lbl_explication->text().contains("« versions.TSF »"));
    window->BB_ouvrir->click();
  });
  prompts_->answer(Answer::No);
  triggerFromEventLoop(form().Act_restaurer);
  QCOMPARE(rows.size(), 1);
  QVERIFY(rows[0].endsWith(" Ko 0:00"));
  QVERIFY(documents().IsGeneratedDocument());
  QCOMPARE(categoryCount(), 9); // Sieste, without Repos
  QCOMPARE(ReadFile(other("versions.TSF")).bytes, saved);
  QCOMPARE(form().windowTitle(), "Tessel 0.96 - " + QFileInfo(documents().CurrentFile()).fileName());

  // Nothing chosen: nothing asked, nothing changed.
  const QString current = documents().CurrentFile();
  form().chooseBackup = [](QWidget*, const QString&) { return QString(); };
  prompts_->clear();
  triggerFromEventLoop(form().Act_restaurer);
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(documents().CurrentFile(), current);
}

void StartupTest::aCopyLeftByACrashIsOffered_data() {
  QTest::addColumn<bool>("open");
  QTest::newRow("ouverte") << true;
  QTest::newRow("refusée") << false;
}

// A run that crashed left its recovery copy: the next start offers it, opens
// it as a new document or deletes it; a clean exit leaves no copy behind.
void StartupTest::aCopyLeftByACrashIsOffered() {
  QFETCH(bool, open);
  program_->start({});
  addCategory("Sieste");
  chosen_ = other("mien.TSF");
  triggerFromEventLoop(metier().Act_enregistrer_sous);
  RunReported([] { addCategory("Repos"); });
  // The run's own copy goes with a clean exit.
  QVERIFY(RecoveryCopy::instance().copyNow());
  RecoveryCopy::instance().waitForCopy();
  const QString copy = RecoveryCopy::instance().copyPath();
  QVERIFY(QFile::exists(copy));
  const QString left = QDir(RecoveryCopy::folder()).filePath("perdu.TSF");
  QVERIFY(QFile::copy(copy, left));
  QVERIFY(QFile::copy(copy + ".document", left + ".document"));
  program_.reset();
  QVERIFY(!QFile::exists(copy));
  Storage::reset();
  documents().reset();

  prompts_->clear();
  prompts_->answer(open ? Answer::Yes : Answer::No);
  program_ = std::make_unique<TesselProgram>();
  program_->start({});
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::YesNo);
  QVERIFY(QString::fromStdString(cp1252ToUtf8(prompts_->shown[0].text)).contains("« mien.TSF »"));
  QVERIFY(!QFile::exists(left));
  // Opened: a new document holding the work after the save; declined: the last file.
  QCOMPARE(documents().IsGeneratedDocument(), open);
  QCOMPARE(categoryCount(), open ? 10 : 9);
  QVERIFY(RecoveryCopy::leftByCrashes().empty());
}

int main(int argc, char** argv) { return test::RunProgramTest<StartupTest>(argc, argv); }

#include "Main_test.moc"
