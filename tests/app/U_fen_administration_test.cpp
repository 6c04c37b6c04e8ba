// The administration window: its tabs follow the document's users, the
// person editor stores into the user it shows when the tab changes and when
// the window closes, a user that cannot take the fields keeps the window as
// it is, and the window lets go of the users when the document closes.

#include "app/U_Frame_administration.h"
#include "app/U_fen_administration.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_class_ressource_societe.h"
#include "model/U_class_user_tessel.h"
#include "ui/Cadre_res_personne.h"
#include "ui/UiModelFixture.h"
#include "widgets/ProgramValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QtTest>

#include <cstdlib>
#include <memory>
#include <utility>

using namespace tessel;
using tessel::test::RecordingPrompts;
using tessel::test::UiModel;

namespace {

DocumentManager& documents() { return DocumentManager::instance(); }

Mutilisateur_tessel* user(int index) {
  return static_cast<Mutilisateur_tessel*>(Mutilisateur_tessel::Class().LoadedItem(index));
}

QStringList tabsOf(const QTabBar* tabs) {
  QStringList captions;
  for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
  return captions;
}

} // namespace

class AdministrationTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void aNewDocumentShowsItsAdministrator();
  void editsAreStored_data();
  void editsAreStored();
  void closingWithoutChangesLeavesTheDocumentUnmodified();
  void everyKindOfFieldCountsAsAnEdit_data();
  void everyKindOfFieldCountsAsAnEdit();
  void fieldsTheUserCannotTakeStayOnScreen_data();
  void fieldsTheUserCannotTakeStayOnScreen();
  void theDocumentClosingTakesTheUsersAway();
  void showingPaintsTheWorkspaceColour();

private:
  TFrame_personne* editor() const { return window_->Frame_administration->Frame_personne; }
  QTabBar* tabs() const { return window_->Frame_administration->TC_utilisateurs; }

  std::unique_ptr<UiModel> model_;
  std::unique_ptr<TForme_administration> window_;
};

void AdministrationTest::init() {
  model_ = std::make_unique<UiModel>();
  // The users as every loaded document has them.
  documents().AfterDocumentLoaded();
  window_ = std::make_unique<TForme_administration>();
}

void AdministrationTest::cleanup() {
  window_.reset();
  model_.reset();
}

void AdministrationTest::aNewDocumentShowsItsAdministrator() {
  window_->show();
  QCOMPARE(window_->windowTitle(), QStringLiteral("Tessel Administration"));
  QVERIFY(window_->isModal());
  QVERIFY(window_->width() >= 496 && window_->height() >= 478);
  QCOMPARE(window_->minimumSize(), window_->maximumSize());
  QCOMPARE(window_->PB_bandeau->height(), 41);
  QCOMPARE(tabsOf(tabs()), QStringList{"administrateur"});
  QCOMPARE(editor()->Object(), user(0));
  QCOMPARE(editor()->Mio_edit_nom->text(), QStringLiteral("administrateur"));
  QCOMPARE(editor()->width(), 265);
  QVERIFY(!editor()->Panel_OR->isVisible());
  QVERIFY(editor()->Panel_commentaire->isVisible());
  // Everything the editor holds fits in the window.
  QVERIFY(editor()->geometry().bottom() < window_->Frame_administration->height());
  QVERIFY(editor()->height() >= editor()->minimumSizeHint().height());
}

void AdministrationTest::editsAreStored_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("changing tab") << "tab";
  QTest::newRow("closing") << "close";
  QTest::newRow("Escape") << "escape";
}

void AdministrationTest::editsAreStored() {
  QFETCH(QString, how);
  (new Mutilisateur_tessel)->SetNom("dupont");
  documents().SetDocumentModified(false);
  window_->show();
  QCOMPARE(tabsOf(tabs()), (QStringList{"administrateur", "dupont"}));
  editor()->Mio_edit_nom->setText(QStringLiteral("Admin"));
  editor()->Mio_edit_prenom->setText(QStringLiteral("Hélène"));
  editor()->Ed_mel->setText(QStringLiteral("helene@exemple.fr"));
  if (how == "tab") {
    tabs()->setCurrentIndex(1);
    QCOMPARE(editor()->Object(), user(1));
    QCOMPARE(editor()->Mio_edit_nom->text(), QStringLiteral("dupont"));
    // The tab of the user just stored shows its new name.
    QCOMPARE(tabsOf(tabs()), (QStringList{"Admin", "dupont"}));
  } else if (how == "close") {
    QVERIFY(window_->close());
  } else {
    QTest::keyClick(window_.get(), Qt::Key_Escape);
  }
  QVERIFY(how == "tab" || !window_->isVisible());
  QCOMPARE(user(0)->Nom(), std::string("Admin"));
  QCOMPARE(user(0)->Prenom(), std::string("Hélène"_w));
  QCOMPARE(user(0)->Mail(), std::string("helene@exemple.fr"));
  QVERIFY(documents().DocumentModified());
  QCOMPARE(user(1)->Nom(), std::string("dupont"));

  // Shown again: afresh, on the first user.
  window_->close();
  window_->show();
  QCOMPARE(tabs()->currentIndex(), 0);
  QCOMPARE(tabsOf(tabs()), (QStringList{"Admin", "dupont"}));
}

void AdministrationTest::closingWithoutChangesLeavesTheDocumentUnmodified() {
  documents().SetDocumentModified(false);
  window_->show();
  window_->close();
  // Stored all the same, as the editor stores an untouched user (the
  // comment's placeholder among others), yet nothing to save.
  QCOMPARE(fromCp1252(DecodeText(user(0)->Commentaire())), QStringLiteral("<Sans commentaire>"));
  QVERIFY(!documents().DocumentModified());
  // A field changed and changed back is no change either.
  window_->show();
  editor()->Mio_edit_prenom->setText(QStringLiteral("x"));
  editor()->Mio_edit_prenom->clear();
  tabs()->setCurrentIndex(0);
  window_->close();
  QVERIFY(!documents().DocumentModified());
}

void AdministrationTest::everyKindOfFieldCountsAsAnEdit_data() {
  QTest::addColumn<QString>("field");
  QTest::newRow("civility") << "civility";
  QTest::newRow("company") << "company";
  QTest::newRow("date of birth") << "date";
  QTest::newRow("date picked") << "picked";
  QTest::newRow("staff") << "staff";
  QTest::newRow("comment") << "comment";
}

void AdministrationTest::everyKindOfFieldCountsAsAnEdit() {
  QFETCH(QString, field);
  auto* company = new TSociete;
  company->SetNom("Varnelle");
  window_->show();
  window_->close();
  documents().SetDocumentModified(false);
  window_->show();
  TFrame_personne* person = editor();
  if (field == "civility") person->CB_Civilite->setEditText(QStringLiteral("Mme"));
  else if (field == "company") person->CB_societe->setCurrentIndex(0);
  else if (field == "date") person->CB_ddn->click();
  else if (field == "picked") person->DTP_ddn->setDate(person->DTP_ddn->date().addDays(-1));
  else if (field == "staff") person->CB_personnel->click();
  else person->RE_commentaire->setPlainText(QStringLiteral("Responsable"));
  window_->close();
  QVERIFY(documents().DocumentModified());
}

void AdministrationTest::fieldsTheUserCannotTakeStayOnScreen_data() {
  QTest::addColumn<bool>("changingTab");
  QTest::newRow("closing") << false;
  QTest::newRow("changing tab") << true;
}

// A comment longer than a file stores: said, and nothing typed is lost.
void AdministrationTest::fieldsTheUserCannotTakeStayOnScreen() {
  QFETCH(bool, changingTab);
  (new Mutilisateur_tessel)->SetNom("dupont");
  window_->show();
  const QString tooLong(20001, QLatin1Char('x'));
  editor()->RE_commentaire->setPlainText(tooLong);
  if (changingTab) tabs()->setCurrentIndex(1);
  else window_->close();
  QVERIFY(window_->isVisible());
  QCOMPARE(tabs()->currentIndex(), 0);
  QCOMPARE(editor()->Object(), user(0));
  QCOMPARE(editor()->RE_commentaire->toPlainText(), tooLong);
  QCOMPARE(model_->prompts.shown.size(), std::size_t(1));
  QCOMPARE(model_->prompts.shown.front().kind, RecordingPrompts::Kind::Error);
  // Shortened, it goes.
  editor()->RE_commentaire->setPlainText(QStringLiteral("court"));
  QVERIFY(window_->close());
  QCOMPARE(user(0)->Commentaire(), std::string("court"));
}

void AdministrationTest::theDocumentClosingTakesTheUsersAway() {
  window_->show();
  window_->hide();
  emit documents().aboutToClose();
  QCOMPARE(tabs()->count(), 0);
  QVERIFY(!editor()->Object());
  QVERIFY(!window_->Frame_administration->ShownUser());
  // Nothing to store, and no user made up for it.
  QVERIFY(window_->Frame_administration->SaveShownUser());
  QCOMPARE(Mutilisateur_tessel::Class().LoadedCount(), 1);
  window_->RefreshUsers();
  QCOMPARE(tabsOf(tabs()), QStringList{"administrateur"});
  QCOMPARE(editor()->Object(), user(0));
}

void AdministrationTest::showingPaintsTheWorkspaceColour() {
  const QColor previous = WorkspaceColour;
  WorkspaceColour = QColor(20, 180, 60);
  window_->show();
  // The band's gradient ends on the colour, within its last step.
  const QImage band = window_->PB_bandeau->grab().toImage();
  const QColor bottom = band.pixelColor(2, band.height() - 1);
  for (const auto& [shown, wanted] : {std::pair{bottom.red(), WorkspaceColour.red()},
                                      std::pair{bottom.green(), WorkspaceColour.green()},
                                      std::pair{bottom.blue(), WorkspaceColour.blue()}})
    QVERIFY2(std::abs(shown - wanted) <= 4, qPrintable(bottom.name()));
  const QImage body = window_->Frame_administration->grab().toImage();
  QCOMPARE(body.pixelColor(body.width() - 4, body.height() - 4), WorkspaceColour);
  WorkspaceColour = previous;
}

QTEST_MAIN(AdministrationTest)
#include "U_fen_administration_test.moc"
