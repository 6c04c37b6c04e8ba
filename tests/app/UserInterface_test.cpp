// The whole program as a user meets it: a week typed from the keyboard on a
// fresh document, a row added from the category tree, a comment written in
// the note viewer's editor, saved, and found again at the next start; a
// comment found by its words and edited from the note search window; the
// week's reports in their preview.

#include "app/Main.h"
#include "app/U_Frame_emploi_du_temps.h"
#include "app/U_frame_Tessel.h"
#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dates.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/DocumentManager.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "reports/BandedReport.h"
#include "support/ModalWindows.h"
#include "support/ProgramTestMain.h"
#include "support/RecordingPrompts.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Cadre_visu_OAOR.h"
#include "ui/Fenetre_preview.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Sous_cadre_entete_contenu.h"
#include "ui/U_cadre_arbre_obj_rec.h"
#include "ui/U_fen_rech_note.h"

#include <QAbstractItemView>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;

namespace {

const QDate Thursday(2026, 12, 10);

TFrame_emploi_du_temps* timetableOf(TesselProgram& program) {
  return qobject_cast<TFrame_emploi_du_temps*>(program.mainForm.Frame_tessel->screen(TFrame_Tessel::Page::Timetable));
}

void typeAndLeave(QWidget* cell, const QString& keys, Qt::Key leave = Qt::Key_Return) {
  QTest::keyClicks(cell, keys);
  QTest::keyClick(cell, leave);
}

} // namespace

class ProgramTest : public QObject {
  Q_OBJECT

private slots:
  void aWeekTypedCommentedSavedAndFoundAgain();
  void reportsPreviewTheShownWeek();
  void aCommentFoundByAWordOpensInTheEditor();
};

void ProgramTest::aWeekTypedCommentedSavedAndFoundAgain() {
  test::RecordingPrompts prompts;
  auto program = std::make_unique<TesselProgram>();
  program->start({});
  program->mainForm.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&program->mainForm));
  TFrame_emploi_du_temps* timetable = timetableOf(*program);
  QVERIFY(timetable);
  timetable->DTP_jour->setDate(Thursday);
  QCOMPARE(timetable->rowCount(), 0);

  // A double click on a category of the real tree adds its row.
  QAbstractItemView* tree = timetable->taxonomyTree()->TreeView();
  const QModelIndexList found =
      tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("Rédaction"), 1,
                           Qt::MatchExactly | Qt::MatchRecursive);
  QCOMPARE(found.size(), 1);
  tree->scrollTo(found.first());
  // As a desktop delivers it: a click, then the double click.
  const QPoint node = tree->visualRect(found.first()).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, node);
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, node);
  QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, node);
  QCOMPARE(timetable->rowCount(), 1);

  // Monday, Tuesday and Thursday from the keyboard.
  QTest::mouseClick(timetable->cell(0, 0), Qt::LeftButton);
  typeAndLeave(QApplication::focusWidget(), "7:30");
  typeAndLeave(QApplication::focusWidget(), "0815", Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), timetable->cell(0, 3));
  typeAndLeave(QApplication::focusWidget(), "2:00");

  // A comment on Tuesday: the note viewer's "+ " opens a new comment.
  QTest::mouseClick(timetable->cell(0, 1), Qt::LeftButton);
  auto* viewer = qobject_cast<TFrame_visu_OAOR*>(timetable->noteViewer());
  QVERIFY(viewer);
  test::onNextModal<TMDIChild_OAOR>([](TMDIChild_OAOR* editor) {
    auto* content = qobject_cast<TFrame_contenu*>(editor->Frame());
    QVERIFY(content);
    content->Frame_entete->Ed_titre_note->setText(QStringLiteral("Relecture du chapitre 3"));
    QTest::mouseClick(editor->BB_valider, Qt::LeftButton);
  });
  viewer->TLB_mod->click();
  QVERIFY(viewer->CurrentObject());
  // Back in the week, leaving the cell gives its entry the comment.
  program->mainForm.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&program->mainForm));
  QTest::mouseClick(timetable->cell(0, 1), Qt::LeftButton);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QVERIFY(DocumentManager::instance().DocumentModified());

  QTest::keyClick(&program->mainForm, Qt::Key_S, Qt::ControlModifier);
  QVERIFY(!DocumentManager::instance().DocumentModified());
  const QString file = DocumentManager::instance().CurrentFile();
  program.reset();
  QVERIFY(QFile::exists(file));

  // The next start opens the last saved document on the same week.
  program = std::make_unique<TesselProgram>();
  program->start({});
  QCOMPARE(DocumentManager::instance().CurrentFile(), file);
  timetable = timetableOf(*program);
  timetable->DTP_jour->setDate(Thursday);
  QCOMPARE(timetable->rowCount(), 1);
  const QStringList cells = {"07:30", "08:15", ":", "02:00", ":", ":", ":"};
  for (int d = 0; d < 7; ++d) QCOMPARE(timetable->cell(0, d)->text().remove(' ').remove('_'), cells[d]);
  QCOMPARE(timetable->rowTotalText(0), QStringLiteral("17:45"));
  QCOMPARE(timetable->weekTotalText(), QStringLiteral("17:45"));
  const Moccurence* tuesday = timetable->week().entry(0, 1);
  QVERIFY(tuesday && tuesday->EntryContent());
  QCOMPARE(tuesday->EntryContent()->DisplayText(), std::string("Relecture du chapitre 3"));
  QCOMPARE(timetable->cell(0, 1)->toolTip(), QStringLiteral("Note : Relecture du chapitre 3"));
  QVERIFY(prompts.shown.empty());
  program.reset();
}

void ProgramTest::reportsPreviewTheShownWeek() {
  test::RecordingPrompts prompts;
  auto program = std::make_unique<TesselProgram>();
  program->start({});
  TFrame_emploi_du_temps* timetable = timetableOf(*program);
  QVERIFY(timetable);
  // 1:30 of Pause on Tuesday 8 December, then the week shown.
  Mcategorie* pause = nullptr;
  for (MObject_OCS* c : Mcategorie::Class().LoadedObjects())
    if (static_cast<Mcategorie*>(c)->Name() == "Pause") pause = static_cast<Mcategorie*>(c);
  QVERIFY(pause);
  const TDateTime tuesday = EncodeDate(2026, 12, 8);
  Moccurence* entry = Moccurence::CreateEntry(tuesday);
  entry->SetTimeSpent(tuesday, EncodeTime(1, 30, 0));
  ActivityOfCategory(pause)->AddEntry(entry);
  timetable->DTP_jour->setDate(Thursday);

  auto* reportButton = program->mainForm.findChild<QToolButton*>(QStringLiteral("TLB_rapport"));
  QVERIFY(reportButton);
  const struct {
    std::function<void()> run;
    QString caption;
    QStringList texts;
  } cases[] = {
      {[&] { QTest::mouseClick(reportButton, Qt::LeftButton, {}, QPoint(10, reportButton->height() / 2)); },
       "Rapport hebdomadaire - 1 page TERMINEE",
       {"Du lundi 7 décembre 2026 au dimanche 13 décembre 2026", "08/12/2026", "   Pause", "01:30"}},
      {[&] { program->dmMetierTessel.Act_rapport_hebdo_note->trigger(); },
       "Rapport hebdomadaire avec note(s) - 1 page TERMINEE",
       {"Du lundi 7 décembre 2026 au dimanche 13 décembre 2026", " mardi 8 décembre 2026", "Pause", "01:30",
        "Aucun commentaire associe"}},
  };
  for (const auto& c : cases) {
    QString caption;
    QStringList texts;
    test::onNextModal<TForme_preview>([&](TForme_preview* preview) {
      caption = preview->windowTitle();
      for (const PlacedBand& band : preview->QRPreview->page()->bands)
        for (const ReportField& field : band.band.fields)
          if (field.enabled) texts << field.caption << field.lines;
      QTest::mouseClick(preview->BB_quitter, Qt::LeftButton);
    });
    c.run();
    QCOMPARE(caption, c.caption);
    for (const QString& text : c.texts) QVERIFY2(texts.contains(text), qPrintable(text));
  }
  QVERIFY(prompts.shown.empty());
  program.reset();
}

void ProgramTest::aCommentFoundByAWordOpensInTheEditor() {
  test::RecordingPrompts prompts;
  auto program = std::make_unique<TesselProgram>();
  program->start({});
  auto* comment = new Mcontenu;
  comment->SetTexte(EncodeText("Préparer la réunion budgétaire\r\navec les chiffres de mars"_w));
  auto* other = new Mcontenu;
  other->SetTitre("Autre chose");

  test::onNextModal<TForme_rech_note>([&](TForme_rech_note* search) {
    QTest::keyClicks(search->Ed_recherche, QStringLiteral("BUDGETAIRE mars"));
    QCOMPARE(search->LB_Listsujet->count(), 1);
    QCOMPARE(search->LB_Listsujet->item(0)->text(), QStringLiteral("Préparer la réunion budgétaire"));
    QTest::keyClick(search->Ed_recherche, Qt::Key_Down);
    QCOMPARE(search->Chosen(), comment);
    // The viewer's "+ " opens it in the content editor; its new title shows at once.
    test::onNextModal<TMDIChild_OAOR>([&](TMDIChild_OAOR* editor) {
      auto* content = qobject_cast<TFrame_contenu*>(editor->Frame());
      QVERIFY(content);
      QCOMPARE(content->Object(), comment);
      content->Frame_entete->Ed_titre_note->setText(QStringLiteral("Budget de mars"));
      QTest::mouseClick(editor->BB_valider, Qt::LeftButton);
    });
    QTest::mouseClick(search->Frame_visu->TLB_mod, Qt::LeftButton);
    QCOMPARE(search->LB_Listsujet->item(0)->text(), QStringLiteral("Budget de mars"));
    QTest::mouseClick(search->BB_ok, Qt::LeftButton);
  });
  program->mainForm.Act_chercher_commentaire->trigger();
  QCOMPARE(comment->Titre(), std::string("Budget de mars"));
  QVERIFY(DocumentManager::instance().DocumentModified());
  QVERIFY(prompts.shown.empty());
  program.reset();
}

int main(int argc, char** argv) { return test::RunProgramTest<ProgramTest>(argc, argv); }

#include "UserInterface_test.moc"
