// The note search window: every comment by its title, narrowed by the words
// typed, the chosen one in the note viewer, editing from the viewer, and what
// it keeps between showings and drops when the document closes.

#include "ui/U_fen_rech_note.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Cadre_visu_OAOR.h"
#include "ui/Sous_cadre_entete_contenu.h"
#include "UiModelFixture.h"
#include "UiTestHelpers.h"
#include "widgets/ProgramValues.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::processDeletions;
using tessel::test::UiModel;

namespace {

QStringList listed(const TForme_rech_note& window) {
  QStringList titles;
  for (int row = 0; row < window.LB_Listsujet->count(); ++row) titles << window.LB_Listsujet->item(row)->text();
  return titles;
}

void clickRow(TForme_rech_note& window, int row) {
  QListWidget* list = window.LB_Listsujet;
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

Mcontenu* carried(Mcontenu* content, Mactivite_tessel* activity, QDate day) {
  Moccurence* entry = Moccurence::CreateEntry(EncodeDate(day.year(), day.month(), day.day()));
  activity->AddEntry(entry);
  entry->SetEntryContent(content);
  return content;
}

Mactivite_tessel* activity(const std::string& name) {
  return ActivityOfCategory(static_cast<Mcategorie*>(TObjRec::CreateNamed(Mcategorie::Class(), name)));
}

} // namespace

class NoteSearchWindowTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void layout();
  void anEmptyDocumentShowsNoViewer();
  void listsEveryCommentByItsTitle();
  void sameTitlesShowTheirOwnText();
  void filtering_data();
  void filtering();
  void hintsNameTheDaysAndActivities();
  void keepsTheChosenCommentBetweenShowings();
  void editsFromTheViewerShowAtOnce();
  void aDeletedCommentLeavesTheList();
  void dropsTheCommentsWhenTheDocumentCloses();

private:
  // Shows the window modally, runs `act` on it, then closes it with "Ok".
  void whileShown(const std::function<void(TForme_rech_note&)>& act);

  std::unique_ptr<UiModel> model_;
  std::unique_ptr<TForme_rech_note> window_;
};

void NoteSearchWindowTest::initTestCase() { setDateLocale(QLocale(QLocale::French, QLocale::France)); }

void NoteSearchWindowTest::init() {
  model_ = std::make_unique<UiModel>();
  window_ = std::make_unique<TForme_rech_note>();
}

void NoteSearchWindowTest::cleanup() {
  window_.reset();
  model_.reset();
}

void NoteSearchWindowTest::whileShown(const std::function<void(TForme_rech_note&)>& act) {
  onNextModal<TForme_rech_note>([&](TForme_rech_note* window) {
    act(*window);
    QTest::mouseClick(window->BB_ok, Qt::LeftButton);
  });
  QCOMPARE(window_->ShowModal(), int(QDialog::Accepted));
}

void NoteSearchWindowTest::layout() {
  whileShown([](TForme_rech_note& window) {
    QCOMPARE(window.size(), QSize(619, 469));
    QCOMPARE(window.windowTitle(), QStringLiteral("Recherche d'un commentaire"));
    QCOMPARE(window.PB_entete->geometry(), QRect(0, 0, 619, 33));
    QCOMPARE(window.Panel_gauche->width(), 249);
    QCOMPARE(window.Panel_bas->geometry(), QRect(0, 469 - 45, 619, 45));
    QCOMPARE(window.BB_ok->geometry(), QRect(264, 8, 89, 33));
    QCOMPARE(window.BB_ok->text(), QStringLiteral("Ok"));
    QCOMPARE(window.Lbl_intitules->text(), QStringLiteral("Intitulés correspondant :"));
    QCOMPARE(window.LB_Listsujet->toolTip(), QStringLiteral("Sujet des commentaires existant"));
    QCOMPARE(window.palette().color(QPalette::Window), WorkspaceColour);
    // The search field above the list, the count below it.
    QVERIFY(window.Ed_recherche->geometry().bottom() < window.LB_Listsujet->geometry().top());
    QVERIFY(window.Lbl_nombre->geometry().top() > window.LB_Listsujet->geometry().bottom());
    QVERIFY(window.Ed_recherche->hasFocus());
  });
  // The workspace colour is taken again at every showing.
  const QColor before = WorkspaceColour;
  WorkspaceColour = QColor(10, 120, 30);
  whileShown([](TForme_rech_note& window) { QCOMPARE(window.palette().color(QPalette::Window), QColor(10, 120, 30)); });
  WorkspaceColour = before;
}

void NoteSearchWindowTest::anEmptyDocumentShowsNoViewer() {
  whileShown([](TForme_rech_note& window) {
    QCOMPARE(window.LB_Listsujet->count(), 0);
    QCOMPARE(window.Lbl_nombre->text(), QStringLiteral("Nombre de sujets trouvés: 0"));
    QVERIFY(!window.Panel_visu->isVisible());
    // Return in the field with nothing listed chooses nothing and keeps the window open.
    QTest::keyClick(window.Ed_recherche, Qt::Key_Return);
    QVERIFY(window.isVisible());
    QVERIFY(!window.Panel_visu->isVisible());
  });
  QVERIFY(!window_->Chosen());
}

void NoteSearchWindowTest::listsEveryCommentByItsTitle() {
  UiModel::comment("Budget", "texte");
  UiModel::comment("", std::string("Première ligne\r\nseconde"_w));
  UiModel::comment("", "");
  UiModel::comment("", "\r\nsous une ligne vide");
  activity("Pause"); // a content too, but no comment
  whileShown([](TForme_rech_note& window) {
    QCOMPARE(listed(window), (QStringList{"Budget", "Première ligne", "<Note Vide>", ""}));
    QCOMPARE(window.Lbl_nombre->text(), QStringLiteral("Nombre de sujets trouvés: 4"));
    QVERIFY(!window.Panel_visu->isVisible());
  });
}

void NoteSearchWindowTest::sameTitlesShowTheirOwnText() {
  Mcontenu* first = UiModel::comment(std::string("Réunion"_w), "premier texte");
  Mcontenu* second = UiModel::comment(std::string("Réunion"_w), "second texte");
  whileShown([&](TForme_rech_note& window) {
    QCOMPARE(listed(window), (QStringList{"Réunion", "Réunion"}));
    clickRow(window, 1);
    QVERIFY(window.Panel_visu->isVisible());
    QCOMPARE(window.Frame_visu->CurrentObject(), second);
    QCOMPARE(window.Frame_visu->RE_texte->toPlainText(), QStringLiteral("second texte"));
    QCOMPARE(window.Frame_visu->Colour(), WorkspaceColour);
    clickRow(window, 0);
    QCOMPARE(window.Chosen(), first);
    QCOMPARE(window.Frame_visu->RE_texte->toPlainText(), QStringLiteral("premier texte"));
    // The keys move through the list and show each comment in turn.
    window.LB_Listsujet->setFocus();
    QTest::keyClick(window.LB_Listsujet, Qt::Key_Down);
    QCOMPARE(window.Chosen(), second);
  });
}

void NoteSearchWindowTest::filtering_data() {
  QTest::addColumn<QString>("words");
  QTest::addColumn<QStringList>("titles");
  const QStringList all{"Réunion budget", "Café avec Zoé", "Cœur de métier"};
  QTest::newRow("nothing typed") << "" << all;
  QTest::newRow("blanks") << "   " << all;
  QTest::newRow("case and accents") << "REUNION" << QStringList{"Réunion budget"};
  QTest::newRow("two words, title and text") << "zoe croissants" << QStringList{"Café avec Zoé"};
  QTest::newRow("ligature") << "coeur" << QStringList{"Cœur de métier"};
  QTest::newRow("a word of no comment") << "cafe absent" << QStringList{};
}

void NoteSearchWindowTest::filtering() {
  QFETCH(QString, words);
  QFETCH(QStringList, titles);
  UiModel::comment(std::string("Réunion budget"_w), "salle 4");
  UiModel::comment(std::string("Café avec Zoé"_w), "et des croissants");
  UiModel::comment(std::string("Cœur de métier"_w), "");
  whileShown([&](TForme_rech_note& window) {
    QTest::keyClicks(window.Ed_recherche, words);
    QCOMPARE(listed(window), titles);
    QCOMPARE(window.Lbl_nombre->text(), QStringLiteral("Nombre de sujets trouvés: %1").arg(titles.size()));
    // Return shows the first comment found.
    QTest::keyClick(window.Ed_recherche, Qt::Key_Return);
    QCOMPARE(window.Panel_visu->isVisible(), !titles.isEmpty());
    if (!titles.isEmpty()) QCOMPARE(window.Chosen()->DisplayText(), toCp1252(titles.first()));
    // Emptying the field lists everything again.
    window.Ed_recherche->clear();
    QCOMPARE(listed(window).size(), 3);
  });
}

void NoteSearchWindowTest::hintsNameTheDaysAndActivities() {
  Mactivite_tessel* meeting = activity(std::string("Réunion"_w));
  Mactivite_tessel* pause = activity("Pause");
  Mcontenu* twice = UiModel::comment("Deux fois");
  carried(twice, pause, QDate(2002, 9, 3));
  carried(twice, meeting, QDate(2002, 9, 2));
  UiModel::comment("Jamais");
  Mcontenu* often = UiModel::comment("Souvent");
  for (int d = 0; d < 14; ++d) carried(often, pause, QDate(2002, 10, 1).addDays(d));
  whileShown([](TForme_rech_note& window) {
    QCOMPARE(window.LB_Listsujet->item(0)->toolTip(),
             QStringLiteral("lundi 2 septembre 2002 : Réunion\nmardi 3 septembre 2002 : Pause"));
    QCOMPARE(window.LB_Listsujet->item(1)->toolTip(), QStringLiteral("Aucune saisie de temps ne porte ce commentaire"));
    const QStringList lines = window.LB_Listsujet->item(2)->toolTip().split('\n');
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines.first(), QStringLiteral("mardi 1 octobre 2002 : Pause"));
    QCOMPARE(lines.last(), QStringLiteral("… et 2 autre(s)"));
  });
}

void NoteSearchWindowTest::keepsTheChosenCommentBetweenShowings() {
  UiModel::comment("Premier");
  Mcontenu* chosen = UiModel::comment("Choisi", "le texte choisi");
  whileShown([](TForme_rech_note& window) {
    QTest::keyClicks(window.Ed_recherche, QStringLiteral("choisi"));
    clickRow(window, 0);
  });
  UiModel::comment(std::string("Ajouté depuis"_w));
  whileShown([&](TForme_rech_note& window) {
    // Refilled with the comment added since; the words stay, ready to be typed over.
    QCOMPARE(window.Ed_recherche->selectedText(), QStringLiteral("choisi"));
    window.Ed_recherche->clear();
    QCOMPARE(listed(window), (QStringList{"Premier", "Choisi", "Ajouté depuis"}));
    QVERIFY(window.Panel_visu->isVisible());
    QCOMPARE(window.Chosen(), chosen);
    QCOMPARE(window.Frame_visu->RE_texte->toPlainText(), QStringLiteral("le texte choisi"));
    QCOMPARE(window.LB_Listsujet->currentRow(), 1);
  });
}

void NoteSearchWindowTest::editsFromTheViewerShowAtOnce() {
  Mcontenu* content = UiModel::comment("Avant", "texte");
  whileShown([&](TForme_rech_note& window) {
    clickRow(window, 0);
    onNextModal<TMDIChild_OAOR>([](TMDIChild_OAOR* editor) {
      auto* frame = qobject_cast<TFrame_contenu*>(editor->Frame());
      QVERIFY(frame);
      frame->Frame_entete->Ed_titre_note->setText(QStringLiteral("Après"));
      QTest::mouseClick(editor->BB_valider, Qt::LeftButton);
    });
    QTest::mouseClick(window.Frame_visu->TLB_mod, Qt::LeftButton);
    QCOMPARE(listed(window), QStringList{"Après"});
    QCOMPARE(window.Chosen(), content);
    QCOMPARE(window.LB_Listsujet->currentRow(), 0);
    QVERIFY(window.isVisible());
  });
  processDeletions();
}

void NoteSearchWindowTest::aDeletedCommentLeavesTheList() {
  UiModel::comment("Reste");
  Mcontenu* doomed = UiModel::comment(std::string("Supprimé"_w));
  whileShown([&](TForme_rech_note& window) {
    clickRow(window, 1);
    doomed->Delete();
    QVERIFY(!window.Chosen());
    // The viewer then makes a new comment, which the list shows at once.
    onNextModal<TMDIChild_OAOR>([](TMDIChild_OAOR* editor) {
      auto* frame = qobject_cast<TFrame_contenu*>(editor->Frame());
      QVERIFY(frame);
      frame->Frame_entete->Ed_titre_note->setText(QStringLiteral("Nouveau"));
      QTest::mouseClick(editor->BB_valider, Qt::LeftButton);
    });
    QTest::mouseClick(window.Frame_visu->TLB_mod, Qt::LeftButton);
    QCOMPARE(listed(window), (QStringList{"Reste", "Nouveau"}));
    QCOMPARE(window.Chosen()->DisplayText(), std::string("Nouveau"));
  });
  processDeletions();
  // A stale row chosen before the list is refilled only refills it.
  Mcontenu* other = UiModel::comment("Autre");
  whileShown([&](TForme_rech_note& window) {
    other->Delete();
    clickRow(window, 2);
    QCOMPARE(listed(window), (QStringList{"Reste", "Nouveau"}));
    QCOMPARE(window.Chosen()->DisplayText(), std::string("Nouveau"));
  });
}

void NoteSearchWindowTest::dropsTheCommentsWhenTheDocumentCloses() {
  UiModel::comment("Titre", "texte");
  whileShown([](TForme_rech_note& window) { clickRow(window, 0); });
  QVERIFY(window_->Chosen());
  DocumentManager::instance().CloseDocument();
  QCOMPARE(window_->LB_Listsujet->count(), 0);
  QVERIFY(!window_->Chosen());
  QVERIFY(window_->Panel_visu->isHidden());
  QCOMPARE(window_->Lbl_nombre->text(), QStringLiteral("Nombre de sujets trouvés: 0"));
}

QTEST_MAIN(NoteSearchWindowTest)
#include "U_fen_rech_note_test.moc"
