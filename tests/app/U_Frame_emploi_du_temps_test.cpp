// The weekly timetable on a fresh document, driven with real key and mouse
// events: weeks and titles, typing and clearing times, refusals, the
// quarter-hour menu, totals and their colours, rows added from the category
// tree and removed, the note of a cell, the panels, failing commands, the
// document closing under the screen, and a week saved and opened again.

// Mouse events go through the window, as the window system delivers them:
// context menus, double clicks and drags then happen as they do for the user.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/U_DM_intro.h"
#include "app/U_DM_metier_tessel.h"
#include "app/U_Frame_emploi_du_temps.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "model/RunningTimer.h"
#include "support/ModalWindows.h"
#include "support/RecordingPrompts.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Cadre_visu_OAOR.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Sous_cadre_description.h"
#include "ui/Sous_cadre_entete_contenu.h"
#include "ui/Fenetre_definition_categorie.h"
#include "ui/U_cadre_arbre_obj_rec.h"
#include "widgets/IconSet.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSplitter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;
using namespace tessel::test;
using Kind = RecordingPrompts::Kind;

namespace {

const QDate Thursday(2002, 9, 5); // in the week of Monday 2 September 2002

DocumentManager& documents() { return DocumentManager::instance(); }

Mcategorie* categoryNamed(const QString& name) {
  for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
    if (fromCp1252(static_cast<Mcategorie*>(o)->Name()) == name) return static_cast<Mcategorie*>(o);
  return nullptr;
}

// Sends `keys` one after the other to the open popup menus, waiting for a
// submenu to come up after each Right.
void drivePopups(QList<int> keys) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  auto waitingAfter = std::make_shared<QPointer<QWidget>>();
  auto ticks = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, keys, waitingAfter, ticks]() mutable {
    QWidget* popup = QApplication::activePopupWidget();
    if (++*ticks > 500) {
      poll->stop();
      poll->deleteLater();
      if (popup) popup->close();
      return;
    }
    if (!popup || popup == waitingAfter->data()) return;
    const int key = keys.takeFirst();
    *waitingAfter = key == Qt::Key_Right ? popup : nullptr;
    QTest::keyClick(popup, Qt::Key(key));
    if (keys.isEmpty()) {
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start();
}

// The context menu event of a right click. (The test's own mouse press would
// outlive the menu it opens, which the user's release never does.)
void rightClick(QWidget* widget) {
  const QPoint centre = widget->rect().center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, centre, widget->mapToGlobal(centre));
  QApplication::sendEvent(widget, &event);
}

// The strongest contrast between a pixel of `area` and what lies behind it
// on its row: what a reader can make out at best.
double strongestContrast(const QImage& image, const QRect& area, const std::function<QColor(int)>& behind) {
  double best = 1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      best = std::max(best, ContrastRatio(image.pixelColor(x, y), behind(y)));
  return best;
}

// Times as the cells show them: the stored times are exact to the second only.
QString timeText(TDateTime time) { return fromCp1252(WeekTimetable::timeText(time)); }

} // namespace

class TimetableTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void cleanupTestCase();

  void anEmptyWeek();
  void weekButtonsMoveTitleDaysAndReportPeriod();
  void screenLayout();
  void typedTimesMakeEntriesAndTotals_data();
  void typedTimesMakeEntriesAndTotals();
  void deleteThenLeaveRemovesTheEntry();
  void refusedTexts_data();
  void refusedTexts();
  void quarterHourMenu();
  void hoursPerDayRowTakesFreeText();
  void doubleClickingTheRootAddsEveryCategoryButTheRoot();
  void droppingANodeAddsItsRow();
  void deletingACategoryNeverLeavesItsTimeBehind();
  void removingARowDeletesOnlyThisWeeksEntries();
  void keysMoveTheFocus_data();
  void keysMoveTheFocus();
  void theNoteOfTheCell();
  void aNewCommentIsKeptOnlyWhenConfirmed_data();
  void aNewCommentIsKeptOnlyWhenConfirmed();
  void validatedEntriesCannotBeEdited();
  void aTimeBeingTypedIsNeverLost();
  void editingTheRowsCategory();
  void aChangedCategoryRecoloursItsRow();
  void panelsAndTheAboutPage();
  void textsReadOnAnyColour_data();
  void textsReadOnAnyColour();
  void failingCommandsLeaveTheScreenUsable_data();
  void failingCommandsLeaveTheScreenUsable();
  void theDocumentClosingTakesRowsNodesAndNote();
  void aWeekTypedSavedAndOpenedAgain();
  void lastWeeksRowsAreTakenWithoutTheirTimes();
  void aValidatedWeekIsLockedUntilReopened();
  void theTimerRecordsIntoTodaysCell();

private:
  void openFreshDocument();
  void showWeekOf(const QDate& date) { screen->DTP_jour->setDate(date); }
  TFrame_obj_rec* tree() const { return screen->taxonomyTree(); }
  TFrame_visu_OAOR* viewer() const { return screen->noteViewer(); }
  QTreeWidgetItem* node(const QString& name) const {
    const QList<QTreeWidgetItem*> found = tree()->TV_arbre->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
  }
  void doubleClickNode(const QString& name);
  void addRows(const QStringList& names) {
    for (const QString& name : names) doubleClickNode(name);
  }
  QLineEdit* cell(int row, int day) const { return screen->cell(row, day); }
  // Clicks in the cell, types `keys` and leaves it with Enter.
  void typeInto(int row, int day, const QString& keys);
  void clickCell(int row, int day) { QTest::mouseClick(cell(row, day), Qt::LeftButton); }
  Moccurence* entry(int row, int day) const { return screen->week().entry(row, day); }
  int entries() const { return Moccurence::Class().LoadedCount(); }

  QTemporaryDir home_;
  std::unique_ptr<TDM_intro> intro_;
  std::unique_ptr<TDM_metier_tessel> tessel_;
  std::unique_ptr<RecordingPrompts> prompts_;
  TFrame_emploi_du_temps* screen = nullptr;
};

void TimetableTest::initTestCase() {
  qputenv("XDG_DATA_HOME", home_.filePath("data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_.filePath("config").toLocal8Bit());
  setDateLocale(QLocale(QLocale::French, QLocale::France));
  intro_ = std::make_unique<TDM_intro>();
  tessel_ = std::make_unique<TDM_metier_tessel>();
}

void TimetableTest::init() {
  prompts_ = std::make_unique<RecordingPrompts>();
  screen = new TFrame_emploi_du_temps;
  screen->resize(1500, 700);
  openFreshDocument();
  screen->show();
  screen->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(screen));
}

void TimetableTest::openFreshDocument() {
  Storage::reset();
  documents().reset();
  Tadministration_FRAME::instance().clear();
  SetUpApplicationModel();
  documents().initialiseWorkspace = [this] { screen->initialise(); };
  documents().OpenDocument(QString());
  documents().AfterDocumentLoaded();
}

void TimetableTest::cleanup() {
  screen->finalise();
  delete screen;
  screen = nullptr;
  Storage::reset();
  documents().reset();
  prompts_.reset();
}

void TimetableTest::cleanupTestCase() {
  tessel_.reset();
  intro_.reset();
}

void TimetableTest::doubleClickNode(const QString& name) {
  QTreeWidgetItem* item = node(name);
  QVERIFY2(item, qPrintable(name));
  QTreeWidget* view = tree()->TV_arbre;
  view->scrollToItem(item);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
}

void TimetableTest::typeInto(int row, int day, const QString& keys) {
  clickCell(row, day);
  QTest::keyClicks(cell(row, day), keys);
  QTest::keyClick(cell(row, day), Qt::Key_Return);
}

// ---------------------------------------------------------------- weeks

void TimetableTest::anEmptyWeek() {
  // A fresh document shows today's week.
  QCOMPARE(screen->DTP_jour->date(), QDate::currentDate());
  QCOMPARE(tessel_->firstDay(), MondayOf(Today()));
  QVERIFY(!documents().DocumentModified());

  showWeekOf(Thursday);
  QCOMPARE(screen->rowCount(), 0);
  QCOMPARE(screen->weekTitle(), QStringLiteral("Du lundi 02/09/2002 au dimanche 08/09/2002"));
  const QStringList headings = {"lundi\n2", "mardi\n3", "mercredi\n4", "jeudi\n5", "vendredi\n6", "samedi\n7",
                                "dimanche\n8"};
  for (int d = 0; d < 7; ++d) {
    QCOMPARE(screen->dayHeading(d)->text(), headings[d]);
    QVERIFY(screen->dayHeading(d)->isVisible());
    QCOMPARE(screen->dayTotalText(d), QString());
  }
  QCOMPARE(screen->weekTotalText(), QStringLiteral("0:00"));
  QCOMPARE(tessel_->firstDay(), EncodeDate(2002, 9, 2));
  QCOMPARE(tessel_->lastDay(), EncodeDate(2002, 9, 8));
  QVERIFY(!documents().DocumentModified());
}

void TimetableTest::weekButtonsMoveTitleDaysAndReportPeriod() {
  showWeekOf(Thursday);
  QTest::mouseClick(screen->SB_semaine_suivante, Qt::LeftButton);
  QCOMPARE(screen->DTP_jour->date(), Thursday.addDays(7));
  QCOMPARE(screen->weekTitle(), QStringLiteral("Du lundi 09/09/2002 au dimanche 15/09/2002"));
  QCOMPARE(screen->dayHeading(0)->text(), QStringLiteral("lundi\n9"));
  QCOMPARE(screen->dayHeading(6)->text(), QStringLiteral("dimanche\n15"));
  QCOMPARE(tessel_->firstDay(), EncodeDate(2002, 9, 9));
  QCOMPARE(tessel_->lastDay(), EncodeDate(2002, 9, 15));

  QTest::mouseClick(screen->SB_semaine_precedente, Qt::LeftButton);
  QTest::mouseClick(screen->SB_semaine_precedente, Qt::LeftButton);
  QCOMPARE(screen->weekTitle(), QStringLiteral("Du lundi 26/08/2002 au dimanche 01/09/2002"));
  QCOMPARE(tessel_->firstDay(), EncodeDate(2002, 8, 26));

  // From the keyboard too, the focus being anywhere on the screen.
  screen->DTP_jour->setFocus();
  QTest::keyClick(screen->DTP_jour, Qt::Key_PageDown, Qt::ControlModifier);
  QTRY_COMPARE(tessel_->firstDay(), EncodeDate(2002, 9, 2));
  QTest::keyClick(screen->DTP_jour, Qt::Key_PageUp, Qt::ControlModifier);
  QTRY_COMPARE(tessel_->firstDay(), EncodeDate(2002, 8, 26));
}

void TimetableTest::screenLayout() {
  showWeekOf(Thursday);
  addRows({"Pause", QStringLiteral("Réunion")});
  QCOMPARE(screen->Panel_entete->height(), 35);
  QCOMPARE(screen->Panel_hebdo_barre->width(), 60);
  QCOMPARE(screen->Panel_somme_journaliere->height(), 41);
  QCOMPARE(screen->Panel_gauche_activite->width(), 185);
  QCOMPARE(screen->Splitter_gauche->handleWidth(), 4);
  QVERIFY(!screen->Panel_note->isVisible());
  QCOMPARE(screen->Lbl_activites->text(), QStringLiteral("Activités"));
  QCOMPARE(screen->Panel_gauche_activite->toolTip(),
           QStringLiteral("Pour ajouter une activite, doublecliquer sur le noeud"));
  QVERIFY(tree()->PB_titre->isHidden());
  // The week buttons keep to the right end.
  QCOMPARE(screen->SB_semaine_suivante->x(), screen->Panel_entete->width() - 80);
  QCOMPARE(screen->SB_commentaires->x(), screen->Panel_entete->width() - 36);
  QCOMPARE(screen->SB_semaine_precedente->x(), screen->DTP_jour->geometry().right() + 3);

  const int width = screen->ScrollBox_grille->viewport()->width();
  const int label = int(width / 3.5);
  const int column = (width - label) / 7;
  QCOMPARE(screen->Panel_grille->width(), width);
  QCOMPARE(screen->Panel_grille->palette().color(QPalette::Window), WorkspaceColour);
  QCOMPARE(screen->dayHeading(3)->geometry(), QRect(label + 3 * column, 10, column - 15,
                                                    screen->dayHeading(3)->height()));
  QCOMPARE(screen->rowLabel(1)->geometry(), QRect(5, 95, label - 30, 25));
  QCOMPARE(cell(1, 4)->geometry(), QRect(label + 4 * column, 95, 48, 25));
  QCOMPARE(cell(1, 4)->inputMask(), QStringLiteral("90:99;_"));
  QCOMPARE(cell(1, 4)->toolTip(), QStringLiteral("Aucune note"));
  QCOMPARE(cell(1, 4)->palette().color(QPalette::Base), QColor(Qt::white));

  // The lay-out follows the width of the grid area.
  screen->resize(1200, 700);
  QCoreApplication::processEvents();
  const int narrower = screen->ScrollBox_grille->viewport()->width();
  QCOMPARE(cell(0, 6)->x(), int(narrower / 3.5) + 6 * ((narrower - int(narrower / 3.5)) / 7));
  QCOMPARE(screen->SB_commentaires->x(), screen->Panel_entete->width() - 36);
}

// ---------------------------------------------------------------- typing

void TimetableTest::typedTimesMakeEntriesAndTotals_data() {
  QTest::addColumn<QString>("first");
  QTest::addColumn<QString>("second");
  QTest::addColumn<QString>("dayTotal");
  QTest::addColumn<QColor>("colour");
  QTest::newRow("7:30") << "7:30" << "" << "7:30" << QColor(Qt::black);
  QTest::newRow("8 hours") << "05:15" << "2:45" << "8:00" << QColor(Qt::yellow);
  QTest::newRow("just under 8") << "05:15" << "2:44" << "7:59" << QColor(Qt::black);
  QTest::newRow("24 hours") << "12:00" << "12:00" << "24:00" << QColor(Qt::red);
  QTest::newRow("beyond 24") << "17:45" << "7:30" << "25:15" << QColor(Qt::red);
}

void TimetableTest::typedTimesMakeEntriesAndTotals() {
  QFETCH(QString, first);
  QFETCH(QString, second);
  QFETCH(QString, dayTotal);
  QFETCH(QColor, colour);
  showWeekOf(Thursday);
  addRows({"Pause", "Administration"});
  documents().SetDocumentModified(false);

  typeInto(0, 3, first);
  QVERIFY(documents().DocumentModified());
  QVERIFY(entry(0, 3));
  QCOMPARE(entry(0, 3)->StartDate(), EncodeDate(2002, 9, 5));
  QCOMPARE(timeText(entry(0, 3)->TimeSpent()), timeText(WeekTimetable::parseTime(toCp1252(first), false)));
  QCOMPARE(cell(0, 3)->text(), timeText(entry(0, 3)->TimeSpent()));
  if (!second.isEmpty()) typeInto(1, 3, second);

  QCOMPARE(screen->dayTotalText(3), dayTotal);
  QCOMPARE(screen->dayTotalColour(3), colour);
  QCOMPARE(screen->weekTotalText(), dayTotal);
  QCOMPARE(screen->rowTotalText(0), fromCp1252(DurationText(entry(0, 3)->TimeSpent())));
  QCOMPARE(screen->dayTotalText(2), QStringLiteral("0:00"));
  QCOMPARE(entries(), second.isEmpty() ? 1 : 2);
  QVERIFY(prompts_->shown.empty());
}

void TimetableTest::deleteThenLeaveRemovesTheEntry() {
  showWeekOf(Thursday);
  addRows({"Pause"});
  typeInto(0, 1, "7:30");
  typeInto(0, 2, "1:00");
  QCOMPARE(screen->rowTotalText(0), QStringLiteral("8:30"));
  documents().SetDocumentModified(false);

  clickCell(0, 1);
  QTest::keyClick(cell(0, 1), Qt::Key_Delete);
  QCOMPARE(cell(0, 1)->text(), QStringLiteral("00:00"));
  QVERIFY(entry(0, 1)); // until the cell is left
  QTest::keyClick(cell(0, 1), Qt::Key_Return);
  QCOMPARE(entry(0, 1), nullptr);
  QCOMPARE(entries(), 1);
  QCOMPARE(cell(0, 1)->displayText(), QStringLiteral("__:__"));
  QCOMPARE(screen->rowTotalText(0), QStringLiteral("1:00"));
  QCOMPARE(screen->dayTotalText(1), QStringLiteral("0:00"));
  QVERIFY(documents().DocumentModified());

  // Typing 00:00 clears a cell the same way; an empty cell stays without
  // entry and the document unchanged.
  typeInto(0, 2, "00:00");
  QCOMPARE(entries(), 0);
  documents().SetDocumentModified(false);
  clickCell(0, 5);
  QTest::keyClick(cell(0, 5), Qt::Key_Delete);
  QTest::keyClick(cell(0, 5), Qt::Key_Return);
  QCOMPARE(entries(), 0);
  QVERIFY(!documents().DocumentModified());
  QVERIFY(prompts_->shown.empty());
}

void TimetableTest::refusedTexts_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("message");
  QTest::newRow("24:00") << "24:00" << "'24:00:00' n'est pas une heure correcte";
  QTest::newRow("12:75") << "12:75" << "'12:75:00' n'est pas une heure correcte";
  QTest::newRow("minutes missing") << "7:3"
                                   << "Valeur d'entrée incorrecte. Utiliser Echap pour abandonner les modifications";
  QTest::newRow("hour missing") << ":30"
                                << "Valeur d'entrée incorrecte. Utiliser Echap pour abandonner les modifications";
}

void TimetableTest::refusedTexts() {
  QFETCH(QString, typed);
  QFETCH(QString, message);
  showWeekOf(Thursday);
  addRows({"Pause"});
  for (const bool hadEntry : {false, true}) {
    prompts_->clear();
    if (hadEntry) typeInto(0, 4, "2:15");
    const int before = entries();
    clickCell(0, 4);
    QTest::keyClicks(cell(0, 4), typed);
    const QString shown = cell(0, 4)->displayText();
    QTest::keyClick(cell(0, 4), Qt::Key_Return);

    QCOMPARE(prompts_->shown.size(), std::size_t(1));
    QCOMPARE(prompts_->shown[0].kind, Kind::Error);
    QCOMPARE(fromCp1252(prompts_->shown[0].text), message);
    // Nothing is written, no entry without duration is left, and the cell
    // keeps the focus and the text for the user to correct.
    QCOMPARE(entries(), before);
    QCOMPARE(screen->week().cellText(0, 4), hadEntry ? "02:15" : "");
    QCOMPARE(QApplication::focusWidget(), cell(0, 4));
    QCOMPARE(cell(0, 4)->displayText(), shown);
    QCOMPARE(cell(0, 4)->palette().color(QPalette::Base), QColor(255, 255, 0));

    // Escape gives the cell its text back, and leaving it then commits nothing new.
    QTest::keyClick(cell(0, 4), Qt::Key_Escape);
    QCOMPARE(cell(0, 4)->text(), hadEntry ? QStringLiteral("02:15") : QStringLiteral(":"));
    QTest::keyClick(cell(0, 4), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), cell(0, 5));
    QCOMPARE(prompts_->shown.size(), std::size_t(1));
    QCOMPARE(entries(), before);
  }
}

void TimetableTest::quarterHourMenu() {
  QMenu* menu = screen->quarterHourMenu();
  QCOMPARE(menu->actions().size(), 9);
  for (int h = 0; h <= 8; ++h) {
    const QAction* hour = menu->actions().at(h);
    QCOMPARE(hour->text(), QStringLiteral("%1:00").arg(h));
    QStringList items;
    for (const QAction* item : hour->menu()->actions()) items << item->text();
    QCOMPARE(items, QStringList({QStringLiteral("%1:00").arg(h), QStringLiteral("%1:15").arg(h),
                                 QStringLiteral("%1:30").arg(h), QStringLiteral("%1:45").arg(h)}));
  }

  showWeekOf(Thursday);
  addRows({"Pause"});
  documents().SetDocumentModified(false);
  // Hour 2, then its item 45.
  drivePopups({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
               Qt::Key_Return});
  rightClick(cell(0, 2));
  QTRY_VERIFY(!QApplication::activePopupWidget());
  QVERIFY(entry(0, 2));
  QCOMPARE(timeText(entry(0, 2)->TimeSpent()), QStringLiteral("02:45"));
  QCOMPARE(cell(0, 2)->text(), QStringLiteral("02:45"));
  QCOMPARE(screen->dayTotalText(2), QStringLiteral("2:45"));
  QVERIFY(documents().DocumentModified());

  // Closing the menu without a choice changes nothing.
  drivePopups({Qt::Key_Escape});
  rightClick(cell(0, 2));
  QTRY_VERIFY(!QApplication::activePopupWidget());
  QCOMPARE(timeText(entry(0, 2)->TimeSpent()), QStringLiteral("02:45"));
}

void TimetableTest::hoursPerDayRowTakesFreeText() {
  auto* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  root->AddSubcategory("Nombre d'heures/jour");
  tree()->ShowTaxonomy(Mcategorie::Class(), ImageList());
  showWeekOf(Thursday);
  addRows({"Nombre d'heures/jour"});
  QCOMPARE(cell(0, 0)->inputMask(), QString());
  QCOMPARE(cell(0, 0)->width(), 48);

  typeInto(0, 0, "8");
  QVERIFY(entry(0, 0));
  QCOMPARE(timeText(entry(0, 0)->TimeSpent()), QStringLiteral("08:00"));
  QCOMPARE(cell(0, 0)->text(), QStringLiteral("08:00"));
  typeInto(0, 1, "7:45");
  QCOMPARE(screen->rowTotalText(0), QStringLiteral("15:45"));

  typeInto(0, 2, "huit");
  QCOMPARE(prompts_->texts(), std::vector<std::string>{"'huit:00' n'est pas une heure correcte"});
  QCOMPARE(entries(), 2);
}

// ---------------------------------------------------------------- rows

void TimetableTest::doubleClickingTheRootAddsEveryCategoryButTheRoot() {
  showWeekOf(Thursday);
  documents().SetDocumentModified(false);
  // The tree stays as it was: nothing opens or closes.
  const auto openNodes = [this] {
    QStringList open;
    for (QTreeWidgetItemIterator it(tree()->TV_arbre); *it; ++it)
      if ((*it)->isExpanded()) open << (*it)->text(0);
    return open;
  };
  const QStringList open = openNodes();
  QVERIFY(open.contains(QStringLiteral("Toutes les activités")));
  doubleClickNode(QStringLiteral("Toutes les activités"));
  QCOMPARE(openNodes(), open);
  const int categories = Mcategorie::Class().LoadedCount();
  QCOMPARE(screen->rowCount(), categories - 1);
  QVERIFY(documents().DocumentModified());
  QStringList names;
  for (int r = 0; r < screen->rowCount(); ++r) names << fromCp1252(screen->week().category(r)->Name());
  QVERIFY(!names.contains(QStringLiteral("Toutes les activités")));
  QCOMPARE(names.first(), fromCp1252(static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(categories - 1))->Name()));
  QCOMPARE(names.last(), fromCp1252(static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1))->Name()));

  // A category that has its row already adds nothing and keeps the values.
  const int pause = names.indexOf(QStringLiteral("Pause"));
  typeInto(pause, 0, "3:00");
  documents().SetDocumentModified(false);
  doubleClickNode(QStringLiteral("Pause"));
  doubleClickNode(QStringLiteral("Toutes les activités"));
  doubleClickNode(QStringLiteral("Réunion"));
  QCOMPARE(openNodes(), open);
  // The top node has no arrow: the keyboard cannot close it either.
  tree()->TV_arbre->setCurrentItem(node(QStringLiteral("Toutes les activités")));
  QTest::keyClick(tree()->TV_arbre, Qt::Key_Left);
  QCOMPARE(openNodes(), open);
  QCOMPARE(screen->rowCount(), categories - 1);
  QVERIFY(!documents().DocumentModified());
  QCOMPARE(cell(pause, 0)->text(), QStringLiteral("03:00"));

  // Rows added while visiting a week stay only while it is shown.
  QTest::mouseClick(screen->SB_semaine_suivante, Qt::LeftButton);
  QTest::mouseClick(screen->SB_semaine_precedente, Qt::LeftButton);
  QCOMPARE(screen->rowCount(), 1);
  QCOMPARE(cell(0, 0)->text(), QStringLiteral("03:00"));
}

void TimetableTest::deletingACategoryNeverLeavesItsTimeBehind() {
  const QString refusal = QStringLiteral(
      "Des durées d'activités sont associées à cette activité !\r\nImpossible de détruire cette activite");
  showWeekOf(Thursday);
  addRows({"Pause", "Administration", QStringLiteral("Rédaction")});
  typeInto(0, 0, "2:00");
  const auto names = [this] {
    QStringList shown;
    for (int r = 0; r < screen->rowCount(); ++r) shown << screen->rowName(r);
    return shown;
  };

  // A category with time keeps its row, its node and the totals.
  tree()->TV_arbre->setCurrentItem(node("Pause"));
  tree()->Act_supprimer->trigger();
  QCOMPARE(prompts_->texts(), std::vector<std::string>{toCp1252(refusal)});
  QVERIFY(node("Pause"));
  QCOMPARE(names(), (QStringList{"Pause", "Administration", QStringLiteral("Rédaction")}));

  // A time still being typed counts: the tree takes the focus first.
  prompts_->clear();
  tree()->TV_arbre->setCurrentItem(node(QStringLiteral("Rédaction")));
  clickCell(2, 1);
  QTest::keyClicks(cell(2, 1), "1:15");
  tree()->Act_supprimer->trigger();
  QCOMPARE(prompts_->texts(), std::vector<std::string>{toCp1252(refusal)});
  QCOMPARE(names(), (QStringList{"Pause", "Administration", QStringLiteral("Rédaction")}));
  QCOMPARE(screen->weekTotalText(), QStringLiteral("3:15"));

  // A category without time takes its row (and its activity) along.
  prompts_->clear();
  const int activities = Mactivite_tessel::Class().LoadedCount();
  tree()->TV_arbre->setCurrentItem(node("Administration"));
  tree()->Act_supprimer->trigger();
  QCOMPARE(prompts_->texts(), std::vector<std::string>{});
  QVERIFY(!node("Administration"));
  QCOMPARE(names(), (QStringList{"Pause", QStringLiteral("Rédaction")}));
  QCOMPARE(Mactivite_tessel::Class().LoadedCount(), activities - 1);
  QCOMPARE(screen->rowTotalText(0), QStringLiteral("2:00"));
  QCOMPARE(screen->rowTotalText(1), QStringLiteral("1:15"));
  QCOMPARE(screen->weekTotalText(), QStringLiteral("3:15"));
  QCOMPARE(cell(1, 1)->text(), QStringLiteral("01:15"));
}

void TimetableTest::droppingANodeAddsItsRow() {
  showWeekOf(Thursday);
  QTreeWidget* view = tree()->TV_arbre;
  // Item data from anywhere but a drag out of the tree is refused.
  QTreeWidgetItem* writing = node(QStringLiteral("Rédaction"));
  view->setCurrentItem(writing);
  std::unique_ptr<QMimeData> data(view->model()->mimeData({view->currentIndex()}));
  const QPoint centre = screen->Panel_grille->rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
  QApplication::sendEvent(screen->Panel_grille, &enter);
  QVERIFY(!enter.isAccepted());
  QDropEvent drop(QPointF(centre), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
  QApplication::sendEvent(screen->Panel_grille, &drop);
  QCOMPARE(screen->rowCount(), 0);

  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    QSKIP("Drags need a window system: this part runs under xvfb (timetable_drag_tests).");
  const auto drag = [&](const QString& name) {
    const QPoint from = view->visualItemRect(node(name)).center();
    const QPoint to = screen->Panel_grille->rect().center();
    // The drag runs its own loop: it is finished from inside.
    QTimer::singleShot(50, [this, to] {
      QTest::mouseMove(screen->Panel_grille, to);
      QTest::mouseMove(screen->Panel_grille, to + QPoint(2, 2));
      QTest::mouseRelease(screen->Panel_grille, Qt::LeftButton, {}, to + QPoint(2, 2));
    });
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view->viewport(), from + QPoint(0, 10));
    QTest::mouseMove(view->viewport(), from + QPoint(0, 40));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from + QPoint(0, 40));
  };
  documents().SetDocumentModified(false);
  drag(QStringLiteral("Rédaction"));
  QCOMPARE(screen->rowCount(), 1);
  QCOMPARE(fromCp1252(screen->week().category(0)->Name()), QStringLiteral("Rédaction"));
  QVERIFY(documents().DocumentModified());
  QVERIFY(node(QStringLiteral("Rédaction"))); // nothing moved out of the tree
  // The top node is refused.
  drag(QStringLiteral("Toutes les activités"));
  QCOMPARE(screen->rowCount(), 1);
}

void TimetableTest::removingARowDeletesOnlyThisWeeksEntries() {
  showWeekOf(Thursday);
  addRows({"Pause", "Administration"});
  typeInto(0, 0, "1:00");
  typeInto(0, 1, "2:00");
  typeInto(1, 0, "0:30");
  QTest::mouseClick(screen->SB_semaine_suivante, Qt::LeftButton);
  addRows({"Pause"});
  typeInto(0, 0, "3:00");
  QTest::mouseClick(screen->SB_semaine_precedente, Qt::LeftButton);
  QCOMPARE(screen->rowCount(), 2);
  const int pause = fromCp1252(screen->week().category(0)->Name()) == QStringLiteral("Pause") ? 0 : 1;
  documents().SetDocumentModified(false);

  QList<QAction*> actions = screen->rowMenu()->actions();
  QCOMPARE(actions.at(0)->text(), QStringLiteral("Supprimer toute la ligne"));
  QCOMPARE(actions.at(1)->text(), QStringLiteral("Modifier caractéristiques activités..."));
  drivePopups({Qt::Key_Down, Qt::Key_Return});
  rightClick(screen->rowLabel(pause));
  QTRY_COMPARE(screen->rowCount(), 1);
  QCOMPARE(fromCp1252(screen->week().category(0)->Name()), QStringLiteral("Administration"));
  QCOMPARE(cell(0, 0)->text(), QStringLiteral("00:30"));
  QCOMPARE(entries(), 2);
  QVERIFY(documents().DocumentModified());
  QCOMPARE(screen->weekTotalText(), QStringLiteral("0:30"));
  // The activity and its entries of other weeks stay.
  QTest::mouseClick(screen->SB_semaine_suivante, Qt::LeftButton);
  QCOMPARE(screen->rowCount(), 1);
  QCOMPARE(cell(0, 0)->text(), QStringLiteral("03:00"));
}

// ---------------------------------------------------------------- keyboard

void TimetableTest::keysMoveTheFocus_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("day");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("toRow");
  QTest::addColumn<int>("toDay");
  QTest::newRow("Enter: next day") << 0 << 2 << int(Qt::Key_Return) << 0 << 3;
  QTest::newRow("Enter: next row") << 0 << 6 << int(Qt::Key_Return) << 1 << 0;
  QTest::newRow("keypad Enter") << 1 << 3 << int(Qt::Key_Enter) << 1 << 4;
  QTest::newRow("Enter: wraps") << 2 << 6 << int(Qt::Key_Return) << 0 << 0;
  QTest::newRow("Down") << 0 << 4 << int(Qt::Key_Down) << 1 << 4;
  QTest::newRow("Down: wraps") << 2 << 4 << int(Qt::Key_Down) << 0 << 4;
  QTest::newRow("Up") << 2 << 1 << int(Qt::Key_Up) << 1 << 1;
  QTest::newRow("Up: wraps") << 0 << 1 << int(Qt::Key_Up) << 2 << 1;
  QTest::newRow("Tab") << 1 << 6 << int(Qt::Key_Tab) << 2 << 0;
}

void TimetableTest::keysMoveTheFocus() {
  QFETCH(int, row);
  QFETCH(int, day);
  QFETCH(int, key);
  QFETCH(int, toRow);
  QFETCH(int, toDay);
  showWeekOf(Thursday);
  addRows({"Pause", "Administration", QStringLiteral("Rédaction")});
  clickCell(row, day);
  QCOMPARE(cell(row, day)->palette().color(QPalette::Base), QColor(255, 255, 0));
  QTest::keyClick(cell(row, day), Qt::Key(key));
  QCOMPARE(QApplication::focusWidget(), cell(toRow, toDay));
  // Only the cell with the focus is yellow; the keyboard selects its text.
  QCOMPARE(cell(toRow, toDay)->palette().color(QPalette::Base), QColor(255, 255, 0));
  QCOMPARE(cell(row, day)->palette().color(QPalette::Base), QColor(Qt::white));
  QCOMPARE(cell(toRow, toDay)->selectedText(), cell(toRow, toDay)->displayText());
  QCOMPARE(entries(), 0);
}

// ---------------------------------------------------------------- notes

void TimetableTest::theNoteOfTheCell() {
  showWeekOf(Thursday);
  addRows({"Administration"});
  auto* note = new Mcontenu;
  note->SetTitre("Budget");
  categoryNamed("Administration")->SetColour(0xFFE0C0);

  // A note shown while a time is typed is attached when the cell is left.
  clickCell(0, 0);
  QCOMPARE(viewer()->CurrentObject(), nullptr); // an empty cell clears the viewer
  QTest::keyClicks(cell(0, 0), "1:30");
  viewer()->ShowNote(note);
  QTest::keyClick(cell(0, 0), Qt::Key_Return);
  QCOMPARE(entry(0, 0)->EntryContent(), note);
  QCOMPARE(cell(0, 0)->toolTip(), QStringLiteral("Note : Budget"));

  // An empty cell clears the viewer; a filled one shows its note in the row's colour.
  QCOMPARE(viewer()->CurrentObject(), nullptr);
  typeInto(0, 2, "2:00");
  QCOMPARE(entry(0, 2)->EntryContent(), nullptr);
  QCOMPARE(cell(0, 2)->toolTip(), QStringLiteral("Aucune note"));
  clickCell(0, 0);
  QCOMPARE(viewer()->CurrentObject(), note);
  QCOMPARE(viewer()->Colour(), QColor(0xC0, 0xE0, 0xFF));
  documents().SetDocumentModified(false);
  clickCell(0, 2); // leaving with the note it has already changes nothing
  QVERIFY(!documents().DocumentModified());
  QCOMPARE(viewer()->CurrentObject(), nullptr); // the entry there has no note
}

void TimetableTest::aNewCommentIsKeptOnlyWhenConfirmed_data() {
  QTest::addColumn<QString>("closing");
  QTest::addColumn<bool>("kept");
  QTest::newRow("OK") << "OK" << true;
  QTest::newRow("Ctrl+W") << "Ctrl+W" << true;
  QTest::newRow("Annuler") << "Annuler" << false;
  QTest::newRow("Escape") << "Escape" << false;
  QTest::newRow("close box") << "close box" << false;
}

// As a user goes about it, with the mouse and the keyboard only: a filled
// cell without a note, "+ ", then at once "Evènement", a title, the
// description on two lines.
void TimetableTest::aNewCommentIsKeptOnlyWhenConfirmed() {
  QFETCH(QString, closing);
  QFETCH(bool, kept);
  showWeekOf(Thursday);
  addRows({"Pause"});
  typeInto(0, 0, "2:00");
  QTest::mouseClick(screen->SB_commentaires, Qt::LeftButton);
  clickCell(0, 0);
  QVERIFY(viewer()->TLB_mod->isVisible());
  QCOMPARE(viewer()->CurrentObject(), nullptr);

  struct Seen {
    QString firstField, title, text;
    bool openAfterReturns = false;
  } seen;
  const auto type = [](const QString& keys) {
    QVERIFY(QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), keys);
  };
  const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QVERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  };
  onNextModal<TMDIChild_OAOR>([&](TMDIChild_OAOR* window) {
    auto* frame = qobject_cast<TFrame_contenu*>(window->Frame());
    QVERIFY(frame);
    // The window holds the keyboard as soon as it is up.
    QTRY_COMPARE(QApplication::activeWindow(), window);
    QVERIFY(QApplication::focusWidget());
    seen.firstField = QApplication::focusWidget()->objectName();
    // A click on a check box leaves the keyboard where it was.
    QTest::mouseClick(frame->Frame_entete->CB_evt, Qt::LeftButton);
    type(QStringLiteral("Point client"));
    // Return after the title goes on to the text, and stores nothing.
    press(Qt::Key_Return);
    QTest::mouseClick(frame->Frame_description->RE_texte->viewport(), Qt::LeftButton);
    type(QStringLiteral("Ligne une"));
    press(Qt::Key_Return);
    type(QStringLiteral("Ligne deux"));
    seen.openAfterReturns = window->isVisible();
    seen.title = frame->Frame_entete->Ed_titre_note->text();
    seen.text = frame->Frame_description->RE_texte->toPlainText();
    if (closing == "OK") QTest::mouseClick(window->BB_valider, Qt::LeftButton);
    else if (closing == "Ctrl+W") press(Qt::Key_W, Qt::ControlModifier);
    else if (closing == "Annuler") QTest::mouseClick(window->BB_annuler, Qt::LeftButton);
    else if (closing == "Escape") press(Qt::Key_Escape);
    else window->close();
  });
  QTest::mouseClick(viewer()->TLB_mod, Qt::LeftButton);

  QCOMPARE(seen.firstField, QStringLiteral("Ed_titre_note"));
  QVERIFY(seen.openAfterReturns);
  QCOMPARE(seen.title, QStringLiteral("Point client"));
  QCOMPARE(seen.text, QStringLiteral("Ligne une\nLigne deux"));
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  // Nothing confirmed leaves nothing behind; a confirmed comment goes to the
  // cell's entry once the cell is left.
  QCOMPARE(Mcontenu::Class().LoadedCount(), kept ? 1 : 0);
  // The window system gives the keyboard back to the screen, whose cell is
  // still the one being edited.
  screen->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(screen));
  QCOMPARE(QApplication::focusWidget(), cell(0, 0));
  clickCell(0, 1);
  auto* comment = static_cast<Mcontenu*>(entry(0, 0)->EntryContent());
  QCOMPARE(comment != nullptr, kept);
  if (kept) {
    QCOMPARE(fromCp1252(comment->Titre()), QStringLiteral("Point client"));
    QCOMPARE(EditorTextOf(comment->Texte()), QStringLiteral("Ligne une\nLigne deux"));
    QVERIFY(comment->Evenement());
  }
}

void TimetableTest::validatedEntriesCannotBeEdited() {
  Mactivite_tessel* activity = ActivityOfCategory(categoryNamed("Pause"));
  Moccurence* validated = Moccurence::CreateEntry(EncodeDate(2002, 9, 3));
  activity->AddEntry(validated);
  validated->SetTimeSpent(EncodeDate(2002, 9, 3), EncodeTime(4, 0, 0));
  validated->SetValid(true);
  showWeekOf(Thursday);
  QCOMPARE(screen->rowCount(), 1);
  QVERIFY(!cell(0, 1)->isEnabled());
  QCOMPARE(cell(0, 1)->text(), QStringLiteral("04:00"));
  clickCell(0, 0);
  QTest::keyClick(cell(0, 0), Qt::Key_Return);
  QCOMPARE(QApplication::focusWidget(), cell(0, 2));
}

void TimetableTest::aTimeBeingTypedIsNeverLost() {
  showWeekOf(Thursday);
  addRows({"Pause"});
  documents().SetDocumentModified(false);

  // Typing already makes the document modified, so that it can be saved.
  clickCell(0, 0);
  QTest::keyClicks(cell(0, 0), "6:15");
  QVERIFY(documents().DocumentModified());
  QCOMPARE(entries(), 0);
  // The week buttons take no focus: the cell is committed before the week changes.
  QTest::mouseClick(screen->SB_semaine_suivante, Qt::LeftButton);
  QCOMPARE(entries(), 1);
  QCOMPARE(Moccurence::Class().LoadedItem(0)->GetDate("date_de_debut"), EncodeDate(2002, 9, 2));

  // A refused time keeps the week where it is.
  QTest::mouseClick(screen->SB_semaine_precedente, Qt::LeftButton);
  clickCell(0, 1);
  QTest::keyClicks(cell(0, 1), "25:00");
  QTest::mouseClick(screen->SB_semaine_suivante, Qt::LeftButton);
  QCOMPARE(prompts_->texts(), std::vector<std::string>{"'25:00:00' n'est pas une heure correcte"});
  QCOMPARE(screen->DTP_jour->date(), Thursday);
  QCOMPARE(screen->weekTitle(), QStringLiteral("Du lundi 02/09/2002 au dimanche 08/09/2002"));
  QTest::keyClick(cell(0, 1), Qt::Key_Escape);

  // Saving and the save question commit the cell first.
  QTest::keyClicks(cell(0, 1), "1:45");
  documents().SaveAs(QDir(home_.path()).filePath("en_cours.TSF"));
  QCOMPARE(entries(), 2);
  QCOMPARE(timeText(entry(0, 1)->TimeSpent()), QStringLiteral("01:45"));
  QVERIFY(!documents().DocumentModified());
  QTest::keyClicks(cell(0, 1), "2:45");
  prompts_->answer(Answer::No);
  QCOMPARE(documents().AskToSave(), Answer::No);
  QCOMPARE(timeText(entry(0, 1)->TimeSpent()), QStringLiteral("02:45"));
}

// ---------------------------------------------------------------- categories

void TimetableTest::editingTheRowsCategory() {
  showWeekOf(Thursday);
  addRows({"Pause"});
  Mcategorie* pause = categoryNamed("Pause");
  pause->SetDescription("Café\r\net thé"_w);
  pause->SetColour(0x00FF00);
  documents().SetDocumentModified(false);
  const auto chooseEdit = [this](std::function<void(TForme_DefCatDialog*)> act) {
    onNextModal<TForme_DefCatDialog>(std::move(act));
    drivePopups({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    rightClick(screen->rowLabel(0));
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QTRY_VERIFY(!QApplication::activeModalWidget());
  };

  // Cancelled: nothing changes.
  chooseEdit([](TForme_DefCatDialog* window) {
    QCOMPARE(window->windowTitle(), QStringLiteral("Modifier la catégorie"));
    QVERIFY(window->Shape_couleur->isVisible());
    QCOMPARE(window->Ed_nom_categorie->text(), QStringLiteral("Pause"));
    QCOMPARE(window->RE_description_categorie->toPlainText(), QStringLiteral("Café\net thé"));
    QCOMPARE(window->Colour(), QColor(0, 255, 0));
    window->BB_annuler->click();
  });
  QVERIFY(!documents().DocumentModified());
  QCOMPARE(pause->Name(), "Pause");

  // Confirmed: the category takes the fields and the tree shows it again.
  QImage picture(16, 16, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  chooseEdit([&picture](TForme_DefCatDialog* window) {
    window->Ed_nom_categorie->setText(QStringLiteral("Pause café"));
    window->RE_description_categorie->setPlainText(QStringLiteral("Une\npause"));
    window->SetColour(QColor(255, 0, 0));
    window->SetPicture(picture);
    window->BB_oui->click();
  });
  QCOMPARE(fromCp1252(pause->Name()), QStringLiteral("Pause café"));
  QCOMPARE(pause->Description(), "Une\r\npause");
  QCOMPARE(pause->Colour(), 0x0000FFu);
  QVERIFY(pause->Picture());
  QCOMPARE(pause->Picture()->pixelColor(3, 3), QColor(Qt::blue));
  QVERIFY(documents().DocumentModified());
  QVERIFY(node(QStringLiteral("Pause café")));
  QVERIFY(!node(QStringLiteral("Pause")));
  QCOMPARE(screen->rowLabel(0)->toolTip(), QStringLiteral("Une\npause"));
  QCOMPARE(cell(0, 3)->palette().color(QPalette::Base), QColor(255, 0, 0));
}

void TimetableTest::aChangedCategoryRecoloursItsRow() {
  showWeekOf(Thursday);
  addRows({"Pause", "Administration"});
  documents().SetDocumentModified(false);
  categoryNamed("Pause")->SetColour(0xFF8000);
  emit tree()->nodeChanged(categoryNamed("Pause"));
  QCOMPARE(cell(0, 5)->palette().color(QPalette::Base), QColor(0x00, 0x80, 0xFF));
  QCOMPARE(cell(1, 5)->palette().color(QPalette::Base), QColor(Qt::white));
  QVERIFY(documents().DocumentModified());
}

// ---------------------------------------------------------------- panels

void TimetableTest::panelsAndTheAboutPage() {
  QSignalSpy visibility(screen, &TFrame_emploi_du_temps::leftPanelVisibilityChanged);
  QVERIFY(screen->leftPanelVisible());
  QTest::mouseClick(screen->SB_portail, Qt::LeftButton);
  QVERIFY(!screen->Panel_gauche_activite->isVisible());
  QTRY_VERIFY(!screen->Splitter_gauche->handle(1)->isVisible());
  screen->toggleLeftPanel();
  QVERIFY(screen->Panel_gauche_activite->isVisible());
  screen->setLeftPanelVisible(true); // already: nothing to tell
  QCOMPARE(visibility.size(), 2);
  QCOMPARE(visibility.at(0).at(0).toBool(), false);
  QCOMPARE(visibility.at(1).at(0).toBool(), true);

  QTest::mouseClick(screen->SB_commentaires, Qt::LeftButton);
  QVERIFY(screen->Panel_note->isVisible());
  QVERIFY(screen->SB_commentaires->isChecked());
  QCOMPARE(screen->Panel_informations->width(), 160);
  QVERIFY(screen->noteViewer()->isVisible());
  QTest::mouseClick(screen->SB_commentaires, Qt::LeftButton);
  QVERIFY(!screen->Panel_note->isVisible());
  QVERIFY(!screen->SB_commentaires->isChecked());

  QTest::mouseClick(screen->SB_commentaires, Qt::LeftButton);
  QSignalSpy about(intro_->Act_a_propos, &QAction::triggered);
  QTest::mouseClick(screen->Panel_informations, Qt::LeftButton);
  QCOMPARE(about.size(), 1);
}

// ---------------------------------------------------------------- failures

void TimetableTest::failingCommandsLeaveTheScreenUsable_data() {
  QTest::addColumn<QString>("command");
  QTest::newRow("row removed") << "remove";
  QTest::newRow("time typed") << "type";
  QTest::newRow("row added") << "add";
}

// Whatever fails inside a command is reported in the "Erreur" box, and the
// week is shown again as the base holds it, ready for the next command.
void TimetableTest::failingCommandsLeaveTheScreenUsable() {
  QFETCH(QString, command);
  showWeekOf(Thursday);
  addRows({"Pause", "Administration"});
  typeInto(0, 0, "1:00");
  typeInto(1, 0, "0:30");
  documents().SetDocumentModified(false);
  // Each command ends by marking the document modified: that step fails.
  documents().modifiedChanged = [](bool) { throw ConvertError("'x' n'est pas correct", "x"); };
  if (command == "remove") {
    drivePopups({Qt::Key_Down, Qt::Key_Return});
    rightClick(screen->rowLabel(0));
  } else if (command == "type") {
    typeInto(0, 2, "2:00");
  } else {
    doubleClickNode(QStringLiteral("Rédaction"));
  }
  QTRY_VERIFY(!prompts_->shown.empty());
  for (const RecordingPrompts::Shown& shown : prompts_->shown) {
    QCOMPARE(shown.kind, Kind::Error);
    QCOMPARE(shown.text, std::string("'x' n'est pas correct"));
  }
  documents().modifiedChanged = nullptr;
  prompts_->clear();
  QCoreApplication::processEvents(); // the week comes back once the failed event is over

  // What the base holds: the removed row is gone with its entry, the typed
  // time is there, an added row without time is not kept.
  const int rows = command == "remove" ? 1 : 2;
  QTRY_COMPARE(screen->rowCount(), rows);
  QCOMPARE(screen->weekTotalText(), command == "remove" ? QStringLiteral("0:30")
                                    : command == "type" ? QStringLiteral("3:30")
                                                        : QStringLiteral("1:30"));
  typeInto(rows - 1, 4, "4:00");
  QVERIFY(entry(rows - 1, 4));
  QCOMPARE(cell(rows - 1, 4)->text(), QStringLiteral("04:00"));
  QVERIFY(documents().DocumentModified());
  QVERIFY(prompts_->shown.empty());
}

// New and Open close the document under the screen: rows, tree nodes and the
// note go first, and nothing painted afterwards reads a freed object.
void TimetableTest::textsReadOnAnyColour_data() {
  QTest::addColumn<QColor>("workspace");
  QTest::addColumn<QColor>("category");
  QTest::newRow("the usual colours") << QColor::fromRgb(DefaultWorkspaceColour) << QColor(Qt::white);
  QTest::newRow("dark green workspace") << QColor(0, 85, 0) << QColor(Qt::white);
  QTest::newRow("black workspace, navy category") << QColor(Qt::black) << QColor(0, 0, 128);
  QTest::newRow("white workspace, yellow category") << QColor(Qt::white) << QColor(Qt::yellow);
}

// Whatever colours the user chose, every text can be read; a day of eight
// hours keeps its yellow, outlined where it does not read on the strip.
void TimetableTest::textsReadOnAnyColour() {
  QFETCH(QColor, workspace);
  QFETCH(QColor, category);
  const QColor before = WorkspaceColour;
  WorkspaceColour = workspace;
  categoryNamed("Pause")->SetColour(BgrFromColour(category));
  showWeekOf(Thursday);
  addRows({"Pause"});
  typeInto(0, 0, "8:15");
  screen->refresh();
  const auto plain = [](const QColor& colour) { return [colour](int) { return colour; }; };
  const double readable = ReadableContrast;

  const QImage surface = screen->Panel_grille->grab().toImage();
  QVERIFY(strongestContrast(surface, screen->dayHeading(0)->geometry(), plain(workspace)) >= readable);
  QWidget* label = screen->rowLabel(0);
  const QRect name(label->height() + 5, 3, label->width() - label->height() - 10, label->height() - 6);
  QVERIFY(strongestContrast(label->grab().toImage(), name, plain(category)) >= readable);
  typeInto(0, 1, "1:00");
  QVERIFY(strongestContrast(cell(0, 1)->grab().toImage(), cell(0, 1)->rect().adjusted(3, 3, -3, -3),
                            plain(category)) >= readable);

  const QImage rowTotals = screen->Panel_hebdo_barre->grab().toImage();
  const int rowTop = screen->Panel_grille->mapTo(screen, QPoint(0, label->y())).y() -
                     screen->Panel_hebdo_barre->mapTo(screen, QPoint()).y();
  QVERIFY(strongestContrast(rowTotals, QRect(5, rowTop, 50, label->height()), plain(workspace)) >= readable);

  // The strip's gradient: what lies behind a text is the strip's colour at
  // its left edge, on the same row.
  const QImage strip = screen->Panel_somme_journaliere->grab().toImage();
  const auto stripBehind = [&strip](int y) { return strip.pixelColor(1, y); };
  QVERIFY(strongestContrast(strip, QRect(5, 12, 90, 22), stripBehind) >= readable);
  const int weekLeft = strip.width() - 70;
  QVERIFY(strongestContrast(strip, QRect(weekLeft, 12, 60, 22), stripBehind) >= readable);
  const int dayLeft = screen->Panel_grille->mapTo(screen, QPoint(screen->dayHeading(0)->x(), 0)).x() -
                      screen->Panel_somme_journaliere->mapTo(screen, QPoint()).x();
  const QRect dayTotal(dayLeft - 2, 12, 50, 22);
  QVERIFY(strongestContrast(strip, dayTotal, stripBehind) >= readable);
  // The yellow shows; where it does not read, an outline goes all round it,
  // above it too.
  int top = -1, left = -1;
  for (int y = dayTotal.top(); y <= dayTotal.bottom() && top < 0; ++y)
    for (int x = dayTotal.left(); x <= dayTotal.right() && top < 0; ++x) {
      const QColor pixel = strip.pixelColor(x, y);
      if (pixel.red() > 220 && pixel.green() > 220 && pixel.blue() < 60) top = y, left = x;
    }
  QVERIFY2(top > 0, "no yellow in the day's total");
  if (ContrastRatio(Qt::yellow, stripBehind(top)) < readable)
    QVERIFY(ContrastRatio(strip.pixelColor(left, top - 1), stripBehind(top - 1)) >= 3);
  WorkspaceColour = before;
}

void TimetableTest::theDocumentClosingTakesRowsNodesAndNote() {
  showWeekOf(Thursday);
  categoryNamed("Pause")->SetColour(0x00FF00);
  addRows({"Pause"});
  clickCell(0, 0);
  QTest::keyClicks(cell(0, 0), "1:00");
  auto* note = new Mcontenu;
  note->SetTitre("Budget");
  viewer()->ShowNote(note);
  QVERIFY(tree()->TV_arbre->topLevelItemCount() > 0);

  documents().CloseDocument();
  QCOMPARE(screen->rowCount(), 0);
  QCOMPARE(tree()->TV_arbre->topLevelItemCount(), 0);
  QCOMPARE(viewer()->CurrentObject(), nullptr);
  QCOMPARE(entries(), 0);
  const QImage shown = screen->grab().toImage();
  QCOMPARE(shown.pixelColor(screen->Panel_grille->mapTo(screen, QPoint(20, 60))), WorkspaceColour);

  documents().OpenDocument(QString());
  documents().AfterDocumentLoaded();
  showWeekOf(Thursday);
  QCOMPARE(screen->weekTotalText(), QStringLiteral("0:00"));
  addRows({"Pause"});
  typeInto(0, 0, "2:00");
  QCOMPARE(screen->rowTotalText(0), QStringLiteral("2:00"));
}

// ---------------------------------------------------------------- end to end

void TimetableTest::aWeekTypedSavedAndOpenedAgain() {
  const QString file = QDir(home_.path()).filePath("semaine.TSF");
  QVERIFY(documents().IsGeneratedDocument());
  showWeekOf(Thursday);
  addRows({QStringLiteral("Réunion"), "Pause"});
  auto* comment = new Mcontenu;
  comment->SetTitre("Point projet");

  // Keyboard only from the date picker: Tab through its fields to the first
  // cell, then Enter, Down and typing.
  screen->DTP_jour->setFocus();
  for (int fields = 0; fields < 5 && QApplication::focusWidget() == screen->DTP_jour; ++fields)
    QTest::keyClick(screen->DTP_jour, Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), cell(0, 0));
  QTest::keyClicks(QApplication::focusWidget(), "2:30");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClicks(QApplication::focusWidget(), "0745");
  viewer()->ShowNote(comment); // as the viewer holds a comment just written
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QCOMPARE(QApplication::focusWidget(), cell(1, 2));
  QTest::keyClicks(QApplication::focusWidget(), "1:15");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(entries(), 3);
  QCOMPARE(entry(0, 2)->EntryContent(), comment);
  QVERIFY(documents().DocumentModified());

  documents().SaveAs(file);
  QVERIFY(!documents().DocumentModified());
  QVERIFY(documents().OpenDocument(file));
  documents().AfterDocumentLoaded();
  QCOMPARE(screen->DTP_jour->date(), QDate::currentDate());
  showWeekOf(Thursday);

  QCOMPARE(screen->rowCount(), 2);
  const int meeting = fromCp1252(screen->week().category(0)->Name()) == QStringLiteral("Réunion") ? 0 : 1;
  const int pause = 1 - meeting;
  const QStringList meetingCells = {"02:30", ":", "07:45", ":", ":", ":", ":"};
  const QStringList pauseCells = {":", ":", "01:15", ":", ":", ":", ":"};
  for (int d = 0; d < 7; ++d) {
    QCOMPARE(cell(meeting, d)->text(), meetingCells[d]);
    QCOMPARE(cell(pause, d)->text(), pauseCells[d]);
  }
  QCOMPARE(screen->rowTotalText(meeting), QStringLiteral("10:15"));
  QCOMPARE(screen->rowTotalText(pause), QStringLiteral("1:15"));
  QCOMPARE(screen->dayTotalText(2), QStringLiteral("9:00"));
  QCOMPARE(screen->dayTotalColour(2), QColor(Qt::yellow));
  QCOMPARE(screen->weekTotalText(), QStringLiteral("11:30"));
  const MObject_OCS* note = entry(meeting, 2)->EntryContent();
  QVERIFY(note);
  QCOMPARE(note->DisplayText(), "Point projet");
  QCOMPARE(cell(meeting, 2)->toolTip(), QStringLiteral("Note : Point projet"));
  QVERIFY(!documents().DocumentModified());
}

// ---------------------------------------------------------------- the weekly routine

namespace {

void addEntry(const QString& category, QDate day, int hours) {
  const TDateTime date = EncodeDate(day.year(), day.month(), day.day());
  Moccurence* entry = Moccurence::CreateEntry(date);
  ActivityOfCategory(categoryNamed(category))->AddEntry(entry);
  entry->SetTimeSpent(date, EncodeTime(hours, 0, 0));
}

} // namespace

void TimetableTest::lastWeeksRowsAreTakenWithoutTheirTimes() {
  // A week whose previous week is empty: nothing to take, and it says so.
  showWeekOf(Thursday);
  QVERIFY(screen->BT_reprendre->isVisible());
  QVERIFY(screen->SB_reprendre->isVisible());
  screen->Act_reprendre->trigger();
  QCOMPARE(screen->rowCount(), 0);
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::Information);
  prompts_->clear();

  addEntry(QStringLiteral("Réunion"), Thursday.addDays(-7), 2);
  addEntry("Pause", Thursday.addDays(-6), 1);
  addEntry("Pause", Thursday.addDays(-5), 1);
  documents().SetDocumentModified(false);
  const int before = entries();
  screen->BT_reprendre->click();
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(screen->rowCount(), 2);
  QCOMPARE(entries(), before);
  QCOMPARE(screen->weekTotalText(), QStringLiteral("0:00"));
  QVERIFY(documents().DocumentModified());
  QVERIFY(!screen->BT_reprendre->isVisible());
  // Still a week without time: the small button stays.
  QVERIFY(screen->SB_reprendre->isVisible());
  typeInto(1, 0, "3:00");
  QVERIFY(!screen->SB_reprendre->isVisible());
}

void TimetableTest::aValidatedWeekIsLockedUntilReopened() {
  showWeekOf(Thursday);
  // Nothing to validate in a week without time.
  QVERIFY(!screen->Act_valider->isEnabled());
  QVERIFY(!screen->SB_valider->isEnabled());
  addRows({"Pause", "Administration"});
  typeInto(0, 0, "1:00");
  typeInto(1, 2, "2:30");
  QVERIFY(screen->Act_valider->isEnabled());
  QVERIFY(!screen->Act_rouvrir->isEnabled());

  // Both commands ask first; No changes nothing.
  prompts_->answer(Answer::No);
  screen->SB_valider->click();
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::YesNo);
  QVERIFY(!screen->weekValidated());
  QVERIFY(!screen->SB_valider->isChecked());
  prompts_->clear();

  documents().SetDocumentModified(false);
  prompts_->answer(Answer::Yes);
  screen->Act_valider->trigger();
  QVERIFY(screen->weekValidated());
  QVERIFY(entry(0, 0)->IsValid() && entry(1, 2)->IsValid());
  QVERIFY(documents().DocumentModified());
  QVERIFY(screen->SB_valider->isChecked());
  QVERIFY(!screen->Act_valider->isEnabled() && screen->Act_rouvrir->isEnabled());
  QVERIFY(!screen->Act_reprendre->isEnabled());
  QVERIFY(!cell(0, 0)->isEnabled() && !cell(1, 2)->isEnabled());

  // New times and new rows are refused, with the reason.
  prompts_->clear();
  typeInto(0, 4, "1:00");
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::Error);
  QVERIFY(QString::fromStdString(cp1252ToUtf8(prompts_->shown[0].text)).contains(QStringLiteral("validée")));
  QCOMPARE(cell(0, 4)->text(), QStringLiteral(":"));
  QVERIFY(!entry(0, 4));
  prompts_->clear();
  doubleClickNode(QStringLiteral("Rédaction"));
  QTRY_COMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::Error);
  QVERIFY(QString::fromStdString(cp1252ToUtf8(prompts_->shown[0].text)).contains(QStringLiteral("validée")));
  QCoreApplication::processEvents();
  QTRY_COMPARE(screen->rowCount(), 2);

  // Reopened: the cells take times again.
  prompts_->clear();
  prompts_->answer(Answer::Yes);
  screen->SB_valider->click();
  QVERIFY(!screen->weekValidated());
  for (int r = 0; r < 2; ++r)
    for (int d = 0; d < 7; ++d) {
      QVERIFY(cell(r, d)->isEnabled());
      QVERIFY(!entry(r, d) || !entry(r, d)->IsValid());
    }
  typeInto(0, 3, "0:45");
  QCOMPARE(screen->weekTotalText(), QStringLiteral("4:15"));
}

void TimetableTest::theTimerRecordsIntoTodaysCell() {
  QSettings settings(home_.filePath("timer.ini"), QSettings::IniFormat);
  settings.clear();
  auto now = std::make_shared<QDateTime>(QDateTime(QDate::currentDate(), QTime(9, 0)));
  screen->useTimer(std::make_unique<RunningTimer>(&settings, [now] { return *now; }));
  QSignalSpy captions(screen, &TFrame_emploi_du_temps::timerCaptionChanged);
  addRows({"Pause", "Administration"});

  // An unsaved document has no name to find the timer by.
  screen->toggleTimer(0);
  QCOMPARE(screen->timerRow(), -1);
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::Information);
  prompts_->clear();

  const QString file = QDir(home_.path()).filePath("chrono.TSF");
  documents().SaveAs(file);
  QCOMPARE(screen->rowCount(), 2);
  screen->toggleTimer(0);
  QCOMPARE(screen->timerRow(), 0);
  QVERIFY(prompts_->shown.empty());
  *now = now->addSecs(65 * 60 + 12);
  screen->timerTick();
  QCOMPARE(screen->timerElapsedText(), QStringLiteral("1:05:12"));
  QCOMPARE(captions.last().at(0).toString(), QStringLiteral("chronomètre « Pause » 1:05:12"));

  // Another row's timer asks first; No keeps the running one.
  prompts_->answer(Answer::No);
  screen->toggleTimer(1);
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::YesNo);
  QCOMPARE(screen->timerRow(), 0);
  QCOMPARE(screen->weekTotalText(), QStringLiteral("0:00"));

  // Yes stops it, its time recorded in today's cell, and starts the other.
  prompts_->answer(Answer::Yes);
  screen->toggleTimer(1);
  QCOMPARE(screen->timerRow(), 1);
  const int today = QDate::currentDate().dayOfWeek() - 1;
  QCOMPARE(cell(0, today)->text(), QStringLiteral("01:05"));
  QVERIFY(documents().DocumentModified());

  // The timer outlives the document's closing: opened again, it runs on.
  documents().Save();
  QVERIFY(documents().OpenDocument(file));
  documents().AfterDocumentLoaded();
  QCOMPARE(screen->rowCount(), 1); // the row with time
  addRows({"Administration"});
  QCOMPARE(screen->timerRow(), 1);
  *now = now->addSecs(30 * 60);
  prompts_->clear();
  screen->toggleTimer(1);
  QCOMPARE(screen->timerRow(), -1);
  QCOMPARE(captions.last().at(0).toString(), QString());
  QCOMPARE(cell(1, today)->text(), QStringLiteral("00:30"));
  QCOMPARE(screen->weekTotalText(), QStringLiteral("1:35"));
  QVERIFY(prompts_->shown.empty());
}

QTEST_MAIN(TimetableTest)
#include "U_Frame_emploi_du_temps_test.moc"
