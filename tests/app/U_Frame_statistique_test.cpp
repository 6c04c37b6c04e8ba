// The statistics on a fresh document: the period and its title, the slices
// and their whole hours, empty pies, the style of the marks, the colour
// command, printing and exporting the chart, and the document closing under
// the screen.

#include "RecordedWorkspace.h"

#include "app/ChartDecorations.h"
#include "app/ChartOutput.h"
#include "app/U_Frame_statistique.h"
#include "support/RecordingPrompts.h"
#include "widgets/ProgramValues.h"
#include "widgets/ScreenParts.h"

#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace tessel;
using namespace tessel::test;
using Kind = RecordingPrompts::Kind;

namespace {

const QDate FirstOfMarch(2027, 3, 1);

struct Slice {
  QString label;
  qreal value;
  QColor colour;
  bool operator==(const Slice&) const = default;
};

QList<Slice> slicesOf(const QPieSeries* pie) {
  QList<Slice> all;
  for (QPieSlice* s : pie->slices()) all.push_back({s->label(), s->value(), s->color()});
  return all;
}

QByteArray head(const QString& path, int bytes) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

} // namespace

class StatisticsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void fifteenDaysEachSideOfToday();
  void oneSlicePerActivityWorthItsWholeHours();
  void emptyPies_data();
  void emptyPies();
  void theStyleChangesOnlyTheMarks();
  void theColourCommandRecoloursTheChart();
  void printsTheChartOnOnePage();
  void exports_data();
  void exports();
  void anExportThatCannotBeWrittenIsReported();
  void theDocumentClosingEmptiesThePie();

private:
  void showPeriod(const QDate& first, const QDate& last) {
    screen->DTP_debut->setDate(first);
    screen->DTP_fin->setDate(last);
  }
  void recordMarch();
  QAction* menuItem(const QString& text) const {
    for (QAction* item : screen->PM_impression->actions())
      if (item->text() == text) return item;
    return nullptr;
  }

  QTemporaryDir home_;
  std::unique_ptr<RecordingPrompts> prompts_;
  TFrame_Stat* screen = nullptr;
};

void StatisticsTest::initTestCase() {
  qputenv("XDG_DATA_HOME", home_.filePath("data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_.filePath("config").toLocal8Bit());
  setDateLocale(QLocale(QLocale::French, QLocale::France));
}

void StatisticsTest::init() {
  prompts_ = std::make_unique<RecordingPrompts>();
  screen = new TFrame_Stat;
  screen->resize(1200, 800);
  openFreshDocument([this] { screen->initialise(); });
  screen->show();
  QVERIFY(QTest::qWaitForWindowExposed(screen));
}

void StatisticsTest::cleanup() {
  documents().CloseDocument();
  delete screen;
  screen = nullptr;
  closeDocument();
  prompts_.reset();
}

// 0:45 in Pause, 2:50 in Réunion, 26:10 in Administration, in March 2027.
void StatisticsTest::recordMarch() {
  categoryNamed(QStringLiteral("Administration"))->SetColour(0x0000FF);
  record(QStringLiteral("Pause"), FirstOfMarch, 0, 45);
  record(QStringLiteral("Réunion"), FirstOfMarch.addDays(1), 2, 50);
  record(QStringLiteral("Administration"), FirstOfMarch.addDays(2), 20, 0);
  record(QStringLiteral("Administration"), FirstOfMarch.addDays(3), 6, 10);
}

void StatisticsTest::fifteenDaysEachSideOfToday() {
  const QDate today = QDate::currentDate();
  QCOMPARE(screen->DTP_debut->date(), today.addDays(-15));
  QCOMPARE(screen->DTP_fin->date(), today.addDays(15));
  QVERIFY(screen->RB_valeurs->isChecked());
  QCOMPARE(screen->pie()->count(), 0);
  showPeriod(FirstOfMarch, QDate(2027, 3, 31));
  QCOMPARE(screen->title(), QStringLiteral("lundi 1 mars 2027   -->   mercredi 31 mars 2027"));
  QCOMPARE(screen->RG_style->title(), QStringLiteral("Style des valeurs"));
  QCOMPARE(screen->chart()->title(), QStringLiteral("Répartition du temps travaillé par activité(s)"));

  // Time recorded meanwhile shows once the page is shown again.
  record(QStringLiteral("Pause"), FirstOfMarch, 3, 0);
  QCOMPARE(screen->pie()->count(), 0);
  screen->pageShown();
  QCOMPARE(screen->pie()->count(), 1);
}

void StatisticsTest::oneSlicePerActivityWorthItsWholeHours() {
  recordMarch();
  showPeriod(FirstOfMarch, QDate(2027, 3, 31));
  // In the order their first entry is met, the last recorded first; the
  // categories left white take colours that tell them apart.
  const QList<Slice> expected = {{"Administration", 26, QColor(255, 0, 0)},
                                 {"Réunion", 2, QColor(230, 159, 0)},
                                 {"Pause", 0, QColor(0, 158, 115)}};
  QCOMPARE(slicesOf(screen->pie()), expected);
  QCOMPARE(screen->marks(), (std::vector<QString>{"Administration 26 h", "Réunion 2 h", "Pause 0 h"}));
  QCOMPARE(screen->decoration()->shownLabels(), 3);
  QCOMPARE(screen->legend()->entries().size(), std::size_t(3));
  QCOMPARE(screen->legend()->entries()[0].text, QStringLiteral("Administration"));
  QVERIFY(!screen->showsNothingNote());
}

void StatisticsTest::emptyPies_data() {
  QTest::addColumn<QDate>("first");
  QTest::addColumn<QDate>("last");
  QTest::newRow("no entry in the period") << QDate(2027, 4, 1) << QDate(2027, 4, 30);
  QTest::newRow("an end before the start") << QDate(2027, 3, 31) << FirstOfMarch;
  QTest::newRow("nothing but minutes") << FirstOfMarch << FirstOfMarch;
}

void StatisticsTest::emptyPies() {
  QFETCH(QDate, first);
  QFETCH(QDate, last);
  recordMarch();
  showPeriod(FirstOfMarch, QDate(2027, 3, 31));
  QCOMPARE(screen->pie()->count(), 3);
  showPeriod(first, last);
  QCOMPARE(screen->pie()->count(), 0);
  QVERIFY(screen->marks().empty());
  QVERIFY(screen->legend()->entries().empty());
  QVERIFY(screen->showsNothingNote());
}

void StatisticsTest::theStyleChangesOnlyTheMarks() {
  recordMarch();
  showPeriod(FirstOfMarch, QDate(2027, 3, 31));
  const QList<Slice> slices = slicesOf(screen->pie());
  QTest::mouseClick(screen->RB_pourcentage, Qt::LeftButton);
  QVERIFY(screen->showsPercentages());
  QCOMPARE(slicesOf(screen->pie()), slices);
  QCOMPARE(screen->marks(), (std::vector<QString>{"Administration 92,9 %", "Réunion 7,1 %", "Pause 0,0 %"}));
  QTest::mouseClick(screen->RB_valeurs, Qt::LeftButton);
  QCOMPARE(slicesOf(screen->pie()), slices);
  QCOMPARE(screen->marks().front(), QStringLiteral("Administration 26 h"));
}

void StatisticsTest::theColourCommandRecoloursTheChart() {
  WorkspaceColour = QColor(200, 40, 40);
  screen->refresh();
  QCOMPARE(screen->palette().color(QPalette::Window), WorkspaceColour);
  const QGradientStops stops = screen->chart()->backgroundBrush().gradient()->stops();
  QCOMPARE(stops.front().second, QColor(192, 192, 192));
  QCOMPARE(stops.back().second, WorkspaceColour);
  // The chart's bottom edge and the header's bottom take the new colour.
  const QImage chart = screen->Chart_stat->grab().toImage();
  QCOMPARE(chart.pixelColor(chart.width() / 2, chart.height() - 1), WorkspaceColour);
  const QImage header = screen->Panel_entete->grab().toImage();
  QCOMPARE(header.pixelColor(header.width() / 2, header.height() - 1), WorkspaceColour);
}

// ---------------------------------------------------------------- paper and files

void StatisticsTest::printsTheChartOnOnePage() {
  recordMarch();
  showPeriod(FirstOfMarch, QDate(2027, 3, 31));
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("imprime.pdf"));
  bool confirm = false;
  int resolution = 0;
  chartDialogs().print = [&](QPrinter& printer, QWidget*) {
    resolution = printer.resolution();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return confirm;
  };
  QAction* print = menuItem(QStringLiteral("Imprimer"));
  QVERIFY(print);
  print->trigger();
  QVERIFY(!QFile::exists(path)); // cancelled
  confirm = true;
  print->trigger();
  QFile printed(path);
  QVERIFY(printed.open(QIODevice::ReadOnly));
  const QByteArray pdf = printed.readAll();
  QVERIFY(pdf.startsWith("%PDF"));
  // At the screen's resolution, the chart's texts keep their size on paper.
  QCOMPARE(resolution, screen->Chart_stat->logicalDpiX());
  QCOMPARE(pdf.count("/Type /Page") - pdf.count("/Type /Pages"), 1);
  QVERIFY(prompts_->shown.empty());
}

void StatisticsTest::exports_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QByteArray>("start");
  QTest::newRow("PNG") << "camembert.png" << QByteArray("\x89PNG");
  QTest::newRow("SVG") << "camembert.svg" << QByteArray("<?xml");
  QTest::newRow("PDF") << "camembert.pdf" << QByteArray("%PDF");
}

void StatisticsTest::exports() {
  QFETCH(QString, file);
  QFETCH(QByteArray, start);
  recordMarch();
  showPeriod(FirstOfMarch, QDate(2027, 3, 31));
  QTemporaryDir dir;
  const QString path = dir.filePath(file);
  chartDialogs().exportFile = [path](QWidget*) { return path; };
  menuItem(QStringLiteral("Exporter..."))->trigger();
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(head(path, start.size()), start);
  if (file.endsWith(QLatin1String(".svg"))) {
    QFile svg(path);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().contains("Administration 26 h"));
  }
  // Cancelling the file dialog writes nothing.
  QFile::remove(path);
  chartDialogs().exportFile = [](QWidget*) { return QString(); };
  menuItem(QStringLiteral("Exporter..."))->trigger();
  QVERIFY(!QFile::exists(path));
}

void StatisticsTest::anExportThatCannotBeWrittenIsReported() {
  QTemporaryDir dir;
  QFile blocker(dir.filePath(QStringLiteral("fichier")));
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const QString path = dir.filePath(QStringLiteral("fichier/camembert.png")); // under a file, not a folder
  chartDialogs().exportFile = [path](QWidget*) { return path; };
  menuItem(QStringLiteral("Exporter..."))->trigger();
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, Kind::Error);
  QVERIFY2(fromCp1252(prompts_->shown[0].text).startsWith("Impossible d'écrire le graphique dans « "),
           prompts_->shown[0].text.c_str());
  QVERIFY(fromCp1252(prompts_->shown[0].text).contains(QStringLiteral("camembert.png")));
  QCOMPARE(blocker.size(), 0);
}

void StatisticsTest::theDocumentClosingEmptiesThePie() {
  recordMarch();
  showPeriod(FirstOfMarch, QDate(2027, 3, 31));
  QCOMPARE(screen->pie()->count(), 3);
  documents().CloseDocument();
  QCOMPARE(screen->pie()->count(), 0);
  QVERIFY(screen->statistics().slices().empty());
  screen->grab(); // paints nothing freed
}

QTEST_MAIN(StatisticsTest)
#include "U_Frame_statistique_test.moc"
