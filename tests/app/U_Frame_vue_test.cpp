// The period view on a fresh document: its days and title, what the grid
// holds and how its headings and totals are coloured, the bar chart in its
// three modes and in "3D", the navigation buttons, the colour command, the
// columns, the chart's menu, and the document closing under the screen.

#include "RecordedWorkspace.h"

#include "app/ChartDecorations.h"
#include "app/ChartOutput.h"
#include "app/U_Frame_vue.h"
#include "model/U_class_contenu.h"
#include "support/RecordingPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"
#include "widgets/ScreenParts.h"
#include "widgets/StringGrid.h"
#include "widgets/U_DM_metier.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;
using namespace tessel::test;

namespace {

const QDate FirstOfMarch(2027, 3, 1); // a Monday, in a year that is not a leap year

QList<qreal> values(const QBarSet* set) {
  QList<qreal> all;
  for (int i = 0; i < set->count(); ++i) all << set->at(i);
  return all;
}

} // namespace

class PeriodViewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void cleanupTestCase();

  void startsOnThisWeeksMondayAndRebuildsWhenShown();
  void showsTheDaysUpToTheEndDayOnly();
  void fromTheLastDayOfJanuary();
  void chartModes_data();
  void chartModes();
  void theLegendComesWithASecondActivity();
  void threeDChangesTheChart();
  void dayTotalsAndTheirColours_data();
  void dayTotalsAndTheirColours();
  void headingColours_data();
  void headingColours();
  void navigationButtonsAndTheirHints();
  void theColourCommandRecoloursTheView();
  void columnsAreDraggedAndResetOnResize();
  void theChartExportsFromItsMenu();
  void theDocumentClosingEmptiesTheView();

private:
  void showFrom(const QDate& date) { screen->DTP_debut->setDate(date); }
  QBarSet* set(int row) const { return screen->bars()->barSets().at(row); }

  QTemporaryDir home_;
  std::unique_ptr<TDM_metier> metier_;
  std::unique_ptr<RecordingPrompts> prompts_;
  Tframe_vue* screen = nullptr;
};

void PeriodViewTest::initTestCase() {
  qputenv("XDG_DATA_HOME", home_.filePath("data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_.filePath("config").toLocal8Bit());
  setDateLocale(QLocale(QLocale::French, QLocale::France));
  metier_ = std::make_unique<TDM_metier>();
}

void PeriodViewTest::init() {
  prompts_ = std::make_unique<RecordingPrompts>();
  screen = new Tframe_vue;
  screen->resize(1500, 800);
  openFreshDocument([this] { screen->initialise(); });
  screen->show();
  QVERIFY(QTest::qWaitForWindowExposed(screen));
  screen->pageShown();
}

void PeriodViewTest::cleanup() {
  QVERIFY2(prompts_->shown.empty(), prompts_->shown.empty() ? "" : prompts_->shown.front().text.c_str());
  documents().CloseDocument();
  delete screen;
  screen = nullptr;
  closeDocument();
  prompts_.reset();
}

void PeriodViewTest::cleanupTestCase() { metier_.reset(); }

// ---------------------------------------------------------------- days and grid

void PeriodViewTest::startsOnThisWeeksMondayAndRebuildsWhenShown() {
  const QDate monday = QDate::currentDate().addDays(1 - QDate::currentDate().dayOfWeek());
  QCOMPARE(screen->DTP_debut->date(), monday);
  QVERIFY(screen->RB_jour->isChecked());
  QVERIFY(screen->CB_3D->isChecked());
  QCOMPARE(screen->period().rowCount(), 0);

  // Time recorded meanwhile appears when the page is shown again.
  record(QStringLiteral("Pause"), monday.addDays(2), 1, 30);
  QCOMPARE(screen->period().rowCount(), 0);
  screen->pageShown();
  QCOMPARE(screen->period().rowCount(), 1);
  QCOMPARE(screen->cellText(4, 1), QStringLiteral("01:30"));
  QCOMPARE(screen->SG_temps->rowCount(), 2);

  // So does moving the start day, with a new look at the base.
  record(QStringLiteral("Administration"), monday.addDays(3), 2, 0);
  showFrom(monday.addDays(1));
  QCOMPARE(screen->period().rowCount(), 2);
  QCOMPARE(screen->cellText(1, 0), QString());
  QCOMPARE(screen->cellText(2, 0), QString::number(monday.addDays(1).day()));
}

void PeriodViewTest::showsTheDaysUpToTheEndDayOnly() {
  record(QStringLiteral("Pause"), FirstOfMarch, 1, 0);
  Moccurence* last = record(QStringLiteral("Pause"), QDate(2027, 3, 28), 2, 15);
  record(QStringLiteral("Pause"), QDate(2027, 3, 29), 4, 0);
  record(QStringLiteral("Pause"), QDate(2027, 3, 31), 4, 0);
  record(QStringLiteral("Administration"), QDate(2027, 3, 30), 3, 0); // only after the end day: no row
  record(QStringLiteral("Administration"), QDate(2027, 2, 28), 3, 0); // and before the start day
  showFrom(FirstOfMarch);

  QCOMPARE(screen->title(), QStringLiteral("Du lundi 1 mars 2027 au dimanche 28 mars 2027"));
  QCOMPARE(screen->period().rowCount(), 1);
  QCOMPARE(screen->cellText(0, 1), QStringLiteral("Pause"));
  QCOMPARE(screen->cellObject(0, 1), screen->period().activity(0));
  QCOMPARE(screen->cellText(1, 1), QStringLiteral("3:15"));
  QCOMPARE(screen->cellText(2, 1), QStringLiteral("01:00"));
  QCOMPARE(screen->cellText(29, 1), QStringLiteral("02:15"));
  QCOMPARE(screen->cellObject(29, 1), last);
  // The columns of 29 to 31 March are there, empty.
  for (int column = 30; column < Tframe_vue::Columns; ++column) {
    QCOMPARE(screen->cellText(column, 0), QString::number(column - 1));
    QCOMPARE(screen->cellText(column, 1), QString());
    QCOMPARE(screen->cellObject(column, 1), nullptr);
    QCOMPARE(screen->dayTotalText(column - 2), QStringLiteral("    -"));
  }
}

void PeriodViewTest::fromTheLastDayOfJanuary() {
  record(QStringLiteral("Pause"), QDate(2027, 3, 1), 1, 0); // in the last columns, after the end day
  showFrom(QDate(2027, 1, 31));
  QCOMPARE(screen->title(), QStringLiteral("Du dimanche 31 janvier 2027 au dimanche 28 février 2027"));
  QCOMPARE(screen->period().rowCount(), 0);
  QCOMPARE(screen->cellText(31, 0), QStringLiteral("1"));
}

// ---------------------------------------------------------------- chart

void PeriodViewTest::chartModes_data() {
  QTest::addColumn<QString>("mode");
  QTest::addColumn<QList<qreal>>("pause");
  QTest::addColumn<QStringList>("labels");
  QList<qreal> days(31, 0);
  days[0] = 7;
  days[7] = 2;
  days[27] = 1;
  QStringList numbers;
  for (int d = 1; d <= 31; ++d) numbers << QString::number(d);
  QTest::newRow("Jour") << "RB_jour" << days << numbers;
  QTest::newRow("Semaine") << "RB_semaine" << QList<qreal>{7, 2, 0, 1}
                           << QStringList{"Du 01/03/2027 au 07/03/2027", "Du 08/03/2027 au 14/03/2027",
                                          "Du 15/03/2027 au 21/03/2027", "Du 22/03/2027 au 28/03/2027"};
  QTest::newRow("Mois") << "RB_mois" << QList<qreal>{10}
                        << QStringList{"Du lundi 1 mars 2027 au dimanche 28 mars 2027"};
}

// One series of bars per activity in its colour; whole hours only: 0:45
// counts nothing in the chart but 0:45 in the totals.
void PeriodViewTest::chartModes() {
  QFETCH(QString, mode);
  QFETCH(QList<qreal>, pause);
  QFETCH(QStringList, labels);
  categoryNamed(QStringLiteral("Pause"))->SetColour(0x0000FF);
  record(QStringLiteral("Pause"), FirstOfMarch, 7, 59);
  record(QStringLiteral("Pause"), QDate(2027, 3, 8), 2, 30);
  record(QStringLiteral("Pause"), QDate(2027, 3, 28), 1, 0);
  record(QStringLiteral("Réunion"), QDate(2027, 3, 3), 0, 45);
  showFrom(FirstOfMarch);
  QTest::mouseClick(screen->findChild<QRadioButton*>(mode), Qt::LeftButton);

  QCOMPARE(screen->bars()->count(), 2);
  QCOMPARE(set(1)->label(), QStringLiteral("Pause"));
  QCOMPARE(set(1)->color(), QColor(255, 0, 0));
  QCOMPARE(values(set(1)), pause);
  QCOMPARE(values(set(0)), QList<qreal>(pause.size(), 0));
  QCOMPARE(screen->categoryAxis()->categories(), labels);
  QCOMPARE(screen->cellText(1, 1), QStringLiteral("0:45"));
}

void PeriodViewTest::theLegendComesWithASecondActivity() {
  record(QStringLiteral("Pause"), FirstOfMarch, 1, 0);
  showFrom(FirstOfMarch);
  QCOMPARE(screen->legend()->entries().size(), std::size_t(0));
  record(QStringLiteral("Rédaction"), FirstOfMarch, 1, 0);
  screen->pageShown();
  QCOMPARE(screen->legend()->entries().size(), std::size_t(2));
  QCOMPARE(screen->legend()->shownCount(), 2);
}

void PeriodViewTest::threeDChangesTheChart() {
  categoryNamed(QStringLiteral("Pause"))->SetColour(0x00C0FF);
  for (int d = 0; d < 28; ++d) record(QStringLiteral("Pause"), FirstOfMarch.addDays(d), 3 + d % 5, 0);
  showFrom(FirstOfMarch);
  const QImage deep = screen->Chart_vue->grab().toImage();
  QTest::mouseClick(screen->CB_3D, Qt::LeftButton);
  QVERIFY(!screen->depth()->isOn());
  QCOMPARE(screen->bars()->count(), 1);
  const QImage flat = screen->Chart_vue->grab().toImage();
  QVERIFY(deep != flat);
  QTest::mouseClick(screen->CB_3D, Qt::LeftButton);
  QVERIFY(screen->depth()->isOn());
  QCOMPARE(screen->Chart_vue->grab().toImage(), deep);
}

// ---------------------------------------------------------------- colours

void PeriodViewTest::dayTotalsAndTheirColours_data() {
  QTest::addColumn<int>("day");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QColor>("colour");
  QTest::newRow("under 8 hours") << 0 << "7:59" << QColor(Qt::black);
  QTest::newRow("8 hours") << 1 << "8:00" << QColor(Qt::yellow);
  QTest::newRow("under 24 hours") << 2 << "23:59" << QColor(Qt::yellow);
  QTest::newRow("24 hours") << 3 << "24:00" << QColor(Qt::red);
  QTest::newRow("no time") << 4 << "    -" << QColor(Qt::black);
}

void PeriodViewTest::dayTotalsAndTheirColours() {
  QFETCH(int, day);
  QFETCH(QString, text);
  QFETCH(QColor, colour);
  record(QStringLiteral("Pause"), FirstOfMarch, 7, 59);
  record(QStringLiteral("Pause"), FirstOfMarch.addDays(1), 8, 0);
  record(QStringLiteral("Pause"), FirstOfMarch.addDays(2), 12, 0);
  record(QStringLiteral("Administration"), FirstOfMarch.addDays(2), 11, 59);
  record(QStringLiteral("Pause"), FirstOfMarch.addDays(3), 12, 0);
  record(QStringLiteral("Administration"), FirstOfMarch.addDays(3), 12, 0);
  showFrom(FirstOfMarch);
  QCOMPARE(screen->dayTotalText(day), text);
  QCOMPARE(screen->dayTotalColour(day), colour);
}

void PeriodViewTest::headingColours_data() {
  QTest::addColumn<QDate>("day");
  QTest::addColumn<QColor>("text");
  QTest::addColumn<QColor>("background");
  const QColor yellow(255, 255, 0), grey(128, 128, 128);
  QTest::newRow("Monday") << QDate(2026, 10, 26) << QColor(Qt::black) << QColor(Qt::white);
  QTest::newRow("Saturday") << QDate(2026, 10, 31) << yellow << grey;
  QTest::newRow("All Saints' Day on a Sunday") << QDate(2026, 11, 1) << QColor(Qt::white) << QColor(Qt::black);
  QTest::newRow("Armistice on a Wednesday") << QDate(2026, 11, 11) << QColor(Qt::white) << QColor(Qt::black);
  QTest::newRow("Whit Monday") << QDate(2026, 5, 25) << QColor(Qt::white) << QColor(Qt::black);
}

void PeriodViewTest::headingColours() {
  QFETCH(QDate, day);
  QFETCH(QColor, text);
  QFETCH(QColor, background);
  showFrom(day.addDays(-10));
  const Tframe_vue::Colours colours = screen->headingColours(12);
  QCOMPARE(colours.text, text);
  QCOMPARE(colours.background, background);
  // As painted: the heading's background around its texts.
  const QRect cell = screen->SG_temps->cellRect(12, 0);
  const QImage shown = screen->SG_temps->viewport()->grab().toImage();
  QCOMPARE(shown.pixelColor(cell.right() - 1, cell.bottom() - 1), background);
}

void PeriodViewTest::navigationButtonsAndTheirHints() {
  showFrom(FirstOfMarch);
  QCOMPARE(screen->SB_moins_semaine->text(), QStringLiteral("-1 semaine"));
  QCOMPARE(screen->SB_moins_semaine->toolTip(),
           QStringLiteral("Visualisez vos activités à partir du lundi 22 février 2027"));
  QCOMPARE(screen->SB_plus_mois->toolTip(), QStringLiteral("Visualisez vos activités à partir du jeudi 1 avril 2027"));

  struct Step {
    QToolButton* button;
    QDate after;
  };
  const Step steps[] = {
      {screen->SB_moins_semaine, QDate(2027, 2, 22)}, {screen->SB_moins_jour, QDate(2027, 2, 21)},
      {screen->SB_plus_jour, QDate(2027, 2, 22)},     {screen->SB_plus_semaine, QDate(2027, 3, 1)},
      {screen->SB_moins_mois, QDate(2027, 2, 1)},     {screen->SB_plus_mois, QDate(2027, 3, 1)},
  };
  for (const Step& step : steps) {
    QTest::mouseClick(step.button, Qt::LeftButton);
    QCOMPARE(screen->DTP_debut->date(), step.after);
    QCOMPARE(screen->period().start(), DayOfDate(step.after));
  }
  // Months keep the day, lowered to the month's last.
  showFrom(QDate(2027, 1, 31));
  QTest::mouseClick(screen->SB_plus_mois, Qt::LeftButton);
  QCOMPARE(screen->DTP_debut->date(), QDate(2027, 2, 28));
}

void PeriodViewTest::theColourCommandRecoloursTheView() {
  WorkspaceColour = QColor(10, 120, 30);
  screen->refresh();
  QCOMPARE(screen->palette().color(QPalette::Window), WorkspaceColour);
  const QGradientStops stops = screen->chart()->backgroundBrush().gradient()->stops();
  QCOMPARE(stops.front().second, QColor(192, 192, 192));
  QCOMPARE(stops.back().second, WorkspaceColour);
  // The totals strip runs from the workspace colour at the top.
  const QImage strip = screen->PB_totaux->grab().toImage();
  QImage expected(strip.size(), QImage::Format_RGB32);
  QPainter painter(&expected);
  PaintGradient(painter, WorkspaceColour, ButtonFaceColour(), expected.rect());
  painter.end();
  QCOMPARE(strip.pixelColor(strip.width() - 2, 0), expected.pixelColor(strip.width() - 2, 0));
}

// ---------------------------------------------------------------- columns

void PeriodViewTest::columnsAreDraggedAndResetOnResize() {
  StringGrid* grid = screen->SG_temps;
  QCOMPARE(grid->columnWidth(0), 100);
  const int day = grid->columnWidth(2);
  QVERIFY(day >= 31);
  QVERIFY(grid->columnWidth(1) >= 42);

  // The border between the first two days, dragged 20 pixels right.
  const QPoint border(grid->cellRect(2, 0).right() + 1, 30);
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
  QTest::mouseMove(grid->viewport(), border + QPoint(20, 0));
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + QPoint(20, 0));
  QCOMPARE(grid->columnWidth(2), day + 20);
  QCOMPARE(grid->cellRect(3, 0).left(), grid->cellRect(2, 0).right() + 1 + StringGrid::GridLineWidth);

  // A rebuild keeps it; a new size of the screen sets every width again.
  screen->pageShown();
  QCOMPARE(grid->columnWidth(2), day + 20);
  screen->resize(1400, 800);
  QTRY_COMPARE(grid->columnWidth(2), day);
}

// ---------------------------------------------------------------- menu

void PeriodViewTest::theChartExportsFromItsMenu() {
  record(QStringLiteral("Pause"), FirstOfMarch, 4, 0);
  showFrom(FirstOfMarch);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("mois.png"));
  chartDialogs().exportFile = [path](QWidget*) { return path; };
  const QList<QAction*> items = screen->PM_graphique->actions();
  QCOMPARE(items.size(), 2);
  QCOMPARE(items[0]->text(), QStringLiteral("Imprimer"));
  QCOMPARE(items[1]->text(), QStringLiteral("Exporter..."));
  items[1]->trigger();
  QImage saved(path);
  QCOMPARE(saved.size(), screen->Chart_vue->viewport()->size() * 2);
}

// ---------------------------------------------------------------- lifecycle

void PeriodViewTest::theDocumentClosingEmptiesTheView() {
  auto* note = new Mcontenu;
  note->SetSatisfaction(3);
  record(QStringLiteral("Pause"), FirstOfMarch, 4, 0)->SetEntryContent(note);
  showFrom(FirstOfMarch);
  QCOMPARE(screen->period().rowCount(), 1);
  documents().CloseDocument();
  QCOMPARE(screen->period().rowCount(), 0);
  QCOMPARE(screen->SG_temps->rowCount(), 1);
  QCOMPARE(screen->bars()->count(), 0);
  screen->grab(); // paints nothing freed
  openFreshDocument([this] { screen->initialise(); });
  showFrom(FirstOfMarch);
  QCOMPARE(screen->period().rowCount(), 0);
}

QTEST_MAIN(PeriodViewTest)
#include "U_Frame_vue_test.moc"
