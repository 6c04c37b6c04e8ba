// The "Édition" menu on the whole program: each command of a screen is one
// step named after what it did; undoing it gives back the very bytes saved
// before it and the screens show it; the keys; a time still being typed; the
// saved state across undo and redo; New clearing the history.

// Mouse events go through the window, as the window system delivers them.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/Main.h"
#include "app/MainForm.h"
#include "app/U_Frame_emploi_du_temps.h"
#include "app/U_frame_Tessel.h"
#include "foundation/Cp1252.h"
#include "foundation/FileAccess.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_contenu.h"
#include "support/ModalWindows.h"
#include "support/ProgramTestMain.h"
#include "support/RecordingPrompts.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Fenetre_definition_categorie.h"
#include "ui/Sous_cadre_entete_contenu.h"
#include "ui/U_cadre_arbre_obj_rec.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tessel;
using namespace tessel::test;

namespace {

const QDate Thursday(2002, 9, 5); // in the week of Monday 2 September 2002

DocumentManager& documents() { return DocumentManager::instance(); }

void triggerFromEventLoop(QAction* action) {
  QTimer::singleShot(0, action, &QAction::trigger);
  QTest::qWait(20);
}

// Presses Enter on the popup menu once it is up: its first item.
void chooseFirstItemOfNextPopup() {
  QTimer::singleShot(50, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      QTest::keyClick(popup, Qt::Key_Down);
      QTest::keyClick(popup, Qt::Key_Return);
    }
  });
}

} // namespace

class EditMenuTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void theMenuNamesTheLastStep();
  void everyScreenCommandIsUndoneToTheSavedBytes();
  void aTimeBeingTypedIsUndoneFirst();
  void theWeekAndRowsOfTheStepComeBack();
  void lastWeeksRowsComeAsOneStep();
  void theSavedStateAndNewDocuments();

private:
  TMainForm& form() { return program_->mainForm; }
  TFrame_emploi_du_temps* timetable() {
    return static_cast<TFrame_emploi_du_temps*>(form().Frame_tessel->screen(TFrame_Tessel::Page::Timetable));
  }
  TFrame_obj_rec* tree() { return timetable()->taxonomyTree(); }
  QTreeWidgetItem* node(const QString& name) {
    const QList<QTreeWidgetItem*> found = tree()->TV_arbre->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
  }
  void addRow(const QString& name) {
    QTreeWidgetItem* item = node(name);
    QVERIFY(item);
    QTreeWidget* view = tree()->TV_arbre;
    view->scrollToItem(item);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
  }
  QLineEdit* cell(int row, int day) { return timetable()->cell(row, day); }
  void typeInto(int row, int day, const QString& keys) {
    QTest::mouseClick(cell(row, day), Qt::LeftButton);
    QTest::keyClicks(cell(row, day), keys);
    QTest::keyClick(cell(row, day), Qt::Key_Return);
  }
  std::string saved() {
    documents().Save();
    return ReadFile(documents().CurrentFile()).bytes;
  }
  // Ctrl+Z and Ctrl+Y where the focus is, as the user presses them.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : static_cast<QWidget*>(&form()), key, modifiers);
  }

  std::unique_ptr<RecordingPrompts> prompts_;
  std::unique_ptr<TesselProgram> program_;
};

void EditMenuTest::init() {
  QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
  Storage::reset();
  documents().reset();
  prompts_ = std::make_unique<RecordingPrompts>();
  program_ = std::make_unique<TesselProgram>();
  program_->start({});
  form().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form()));
  timetable()->DTP_jour->setDate(Thursday);
}

void EditMenuTest::cleanup() {
  program_.reset();
  prompts_.reset();
  Storage::reset();
  documents().reset();
}

void EditMenuTest::theMenuNamesTheLastStep() {
  QAction* undo = form().Act_annuler;
  QAction* redo = form().Act_retablir;
  QVERIFY(!undo->isEnabled());
  QVERIFY(!redo->isEnabled());
  QCOMPARE(undo->text(), QStringLiteral("Annuler"));

  addRow("Pause");
  typeInto(0, 1, "2:30");
  QVERIFY(undo->isEnabled());
  QCOMPARE(undo->text(), QStringLiteral("Annuler la saisie de 2:30 (Pause, mardi 3)"));

  // The focus is in a cell whose time is committed: the keys go to the history.
  press(Qt::Key_Z);
  QCOMPARE(cell(0, 1)->text(), QStringLiteral(":"));
  QCOMPARE(undo->text(), QStringLiteral("Annuler l'ajout de la ligne « Pause »"));
  QCOMPARE(redo->text(), QStringLiteral("Rétablir la saisie de 2:30 (Pause, mardi 3)"));
  QVERIFY(redo->isEnabled());
  press(Qt::Key_Y);
  QCOMPARE(cell(0, 1)->text(), QStringLiteral("02:30"));
  press(Qt::Key_Z);
  press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(cell(0, 1)->text(), QStringLiteral("02:30"));
  QVERIFY(!redo->isEnabled());
  QCOMPARE(redo->text(), QStringLiteral("Rétablir"));
  // Nothing to redo: the key reaches the empty cell, which stays empty.
  QTest::mouseClick(cell(0, 2), Qt::LeftButton);
  press(Qt::Key_Y);
  QCOMPARE(cell(0, 2)->text(), QStringLiteral(":"));
  QVERIFY(prompts_->shown.empty());
}

void EditMenuTest::everyScreenCommandIsUndoneToTheSavedBytes() {
  struct Command {
    const char* caption;
    std::function<void()> run;
    std::function<bool()> shown; // what the screen shows once the command is done
  };
  auto contents = [] { return Mcontenu::Class().LoadedCount(); };
  const int contentsBefore = contents();
  const Command commands[] = {
      {"l'ajout de la ligne « Pause »", [&] { addRow("Pause"); },
       [&] { return timetable()->rowCount() == 1; }},
      {"la saisie de 2:30 (Pause, mardi 3)", [&] { typeInto(0, 1, "2:30"); },
       [&] { return cell(0, 1)->text() == "02:30"; }},
      {"l'effacement de 2:30 (Pause, mardi 3)",
       [&] {
         QTest::mouseClick(cell(0, 1), Qt::LeftButton);
         QTest::keyClick(cell(0, 1), Qt::Key_Delete);
         QTest::keyClick(cell(0, 1), Qt::Key_Return);
       },
       [&] { return cell(0, 1)->text() == ":"; }},
      {"la saisie de 1:00 (Pause, mercredi 4)", [&] { typeInto(0, 2, "1:00"); },
       [&] { return cell(0, 2)->text() == "01:00"; }},
      {"la validation de la semaine",
       [&] {
         prompts_->answer(Answer::Yes);
         timetable()->Act_valider->trigger();
       },
       [&] { return timetable()->weekValidated() && !cell(0, 2)->isEnabled(); }},
      {"la réouverture de la semaine",
       [&] {
         prompts_->answer(Answer::Yes);
         timetable()->Act_rouvrir->trigger();
       },
       [&] { return !timetable()->weekValidated() && cell(0, 2)->isEnabled(); }},
      {"la suppression de la ligne « Pause »",
       [&] {
         chooseFirstItemOfNextPopup();
         QWidget* label = timetable()->rowLabel(0);
         const QPoint centre = label->rect().center();
         QContextMenuEvent event(QContextMenuEvent::Mouse, centre, label->mapToGlobal(centre));
         QApplication::sendEvent(label, &event);
         QTest::qWait(50);
       },
       [&] { return timetable()->rowCount() == 0; }},
      {"la création de « Projet »",
       [&] {
         tree()->TV_arbre->setCurrentItem(node("Toutes les activités"));
         onNextModal<TForme_DefCatDialog>([](TForme_DefCatDialog* dialog) {
           dialog->Ed_nom_categorie->setText("Projet");
           dialog->BB_oui->click();
         });
         triggerFromEventLoop(tree()->Act_nouveau);
       },
       [&] { return node("Projet") != nullptr; }},
      {"le déplacement de « Pause » sous « Projet »", [&] { tree()->MoveNode(node("Pause"), node("Projet")); },
       [&] { return node("Pause")->parent() == node("Projet"); }},
      {"la suppression de « Réunion »",
       [&] {
         tree()->TV_arbre->setCurrentItem(node("Réunion"));
         prompts_->answer(Answer::Yes); // it has sub-categories
         triggerFromEventLoop(tree()->Act_supprimer);
       },
       [&] { return node("Réunion") == nullptr && node("Réunion hebdomadaire") == nullptr; }},
      {"la création de « Compte rendu »",
       [&] {
         emit form().freeCommentRequested();
         TMDIChild_OAOR* window = TMDIChild_OAOR::OpenWindows().back();
         qobject_cast<TFrame_contenu*>(window->Frame())->Frame_entete->Ed_titre_note->setText("Compte rendu");
         window->BB_valider->click();
       },
       [&] { return contents() == contentsBefore + 1; }},
  };
  for (const Command& command : commands) {
    const QString caption = QString::fromUtf8(command.caption);
    const std::string before = saved();
    command.run();
    QVERIFY2(command.shown(), command.caption);
    QCOMPARE(form().Act_annuler->text(), "Annuler " + caption);
    const std::string after = saved();
    triggerFromEventLoop(form().Act_annuler);
    QVERIFY2(!command.shown(), command.caption);
    QVERIFY2(saved() == before, command.caption);
    QCOMPARE(form().Act_retablir->text(), "Rétablir " + caption);
    triggerFromEventLoop(form().Act_retablir);
    QVERIFY2(command.shown(), command.caption);
    QVERIFY2(saved() == after, command.caption);
  }
  QVERIFY(prompts_->shown.size() == 3); // the questions of the validation, the reopening and the deletion
}

void EditMenuTest::lastWeeksRowsComeAsOneStep() {
  timetable()->DTP_jour->setDate(Thursday.addDays(-7));
  addRow("Pause");
  addRow("Administration");
  typeInto(0, 0, "1:00");
  typeInto(1, 1, "2:00");
  timetable()->DTP_jour->setDate(Thursday);
  QCOMPARE(timetable()->rowCount(), 0);
  timetable()->BT_reprendre->click();
  QCOMPARE(timetable()->rowCount(), 2);
  QCOMPARE(form().Act_annuler->text(), QStringLiteral("Annuler la reprise des activités de la semaine précédente"));
  triggerFromEventLoop(form().Act_annuler);
  QCOMPARE(timetable()->rowCount(), 0);
  QCOMPARE(timetable()->weekTitle(), QStringLiteral("Du lundi 02/09/2002 au dimanche 08/09/2002"));
  triggerFromEventLoop(form().Act_retablir);
  QCOMPARE(timetable()->rowCount(), 2);
  QVERIFY(prompts_->shown.empty());
}

void EditMenuTest::aTimeBeingTypedIsUndoneFirst() {
  addRow("Pause");
  typeInto(0, 1, "1:00");
  QTest::mouseClick(cell(0, 2), Qt::LeftButton);
  QTest::keyClicks(cell(0, 2), "3:15");
  // Ctrl+Z in the cell takes back the typing itself.
  press(Qt::Key_Z);
  QVERIFY(cell(0, 2)->text() != "03:15");
  QTest::keyClicks(cell(0, 2), "3:15");
  // The menu commits it first: it is the step undone.
  triggerFromEventLoop(form().Act_annuler);
  QCOMPARE(cell(0, 2)->text(), QStringLiteral(":"));
  QCOMPARE(cell(0, 1)->text(), QStringLiteral("01:00"));
  QCOMPARE(form().Act_retablir->text(), QStringLiteral("Rétablir la saisie de 3:15 (Pause, mercredi 4)"));

  // A text that is no time is refused, stays in its cell, and nothing is undone.
  QTest::mouseClick(cell(0, 3), Qt::LeftButton);
  QTest::keyClicks(cell(0, 3), "9:75");
  triggerFromEventLoop(form().Act_annuler);
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(cell(0, 3)->text(), QStringLiteral("9:75"));
  QCOMPARE(cell(0, 1)->text(), QStringLiteral("01:00"));
}

// Undone, a time typed in another week shows that week again, with the rows
// that were there (one of them without any time); redone, the same.
void EditMenuTest::theWeekAndRowsOfTheStepComeBack() {
  addRow("Pause");
  addRow("Administration");
  typeInto(1, 0, "4:00");
  timetable()->DTP_jour->setDate(Thursday.addDays(7));
  QCOMPARE(timetable()->rowCount(), 0);
  triggerFromEventLoop(form().Act_annuler);
  QCOMPARE(timetable()->DTP_jour->date(), Thursday);
  QCOMPARE(timetable()->rowCount(), 2);
  QCOMPARE(timetable()->rowName(0), QStringLiteral("Pause"));
  QCOMPARE(cell(1, 0)->text(), QStringLiteral(":"));
  timetable()->DTP_jour->setDate(Thursday.addDays(14));
  triggerFromEventLoop(form().Act_retablir);
  QCOMPARE(timetable()->DTP_jour->date(), Thursday);
  QCOMPARE(timetable()->rowCount(), 2);
  QCOMPARE(cell(1, 0)->text(), QStringLiteral("04:00"));
}

void EditMenuTest::theSavedStateAndNewDocuments() {
  QAction* save = program_->dmMetier.Act_enregistrer;
  addRow("Pause");
  typeInto(0, 1, "1:00");
  documents().Save();
  QVERIFY(!save->isEnabled());
  typeInto(0, 2, "2:00");
  QVERIFY(save->isEnabled());
  triggerFromEventLoop(form().Act_annuler);
  QVERIFY(!save->isEnabled()); // back to what is saved
  triggerFromEventLoop(form().Act_annuler);
  QVERIFY(save->isEnabled());
  triggerFromEventLoop(form().Act_retablir);
  QVERIFY(!save->isEnabled());

  prompts_->answer(Answer::No);
  triggerFromEventLoop(form().Act_nouveau);
  QVERIFY(!form().Act_annuler->isEnabled());
  QVERIFY(!form().Act_retablir->isEnabled());
  QCOMPARE(EditHistory::instance().count(), 0);
}

int main(int argc, char** argv) { return RunProgramTest<EditMenuTest>(argc, argv); }

#include "EditMenu_test.moc"
