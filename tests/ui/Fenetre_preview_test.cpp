// The report preview: its caption while the pages come, page navigation that
// stops at either end, the zoom and its three modes, printing directly or
// through the printer dialog, the PDF export, and closing.

#include "ui/Fenetre_preview.h"

#include "model/DocumentManager.h"
#include "reports/BandedReport.h"
#include "support/ModalWindows.h"
#include "support/PdfReader.h"
#include "support/RecordingPrompts.h"
#include "widgets/MessageBoxPrompts.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::ReadPdfFacts;
using tessel::test::ReadPdfText;
using tessel::test::RecordingPrompts;

namespace {

// A landscape report with one band to a page, "page N" on each.
struct PagedReport {
  PagedReport(const QString& title, int pages) : rows(pages) {
    report.title = title;
    report.orientation = QPageLayout::Landscape;
    report.pageHeader.height = 30;
    report.pageFooter.height = 20;
    report.detail.height = 600;
    ReportField text;
    text.name = "texte";
    report.detail.add(text);
    report.beforePrint = [this] {
      ++runs;
      row = 0;
    };
    report.needData = [this] {
      if (row == rows) return false;
      report.detail["texte"].caption = "page " + QString::number(++row);
      return true;
    };
  }
  BandedReport report;
  int rows;
  int row = 0;
  int runs = 0;
};

} // namespace

class PreviewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void captionFollowsTheGeneration_data();
  void captionFollowsTheGeneration();
  void navigationStopsAtEitherEnd();
  void zoomStaysBetweenTenAndThreeHundred();
  void printingPrintsTheGeneratedPages();
  void aPrinterThatCannotPrintIsReported();
  void cancellingThePrinterDialogPrintsNothing();
  void confirmingThePrinterDialogRunsTheReportAgain();
  void exportWritesThePagesToAPdfFile();
  void closingLetsTheReportGo();

private:
  // A shown preview of a three-page report titled "Essai".
  void open(int pages = 3, const QString& title = "Essai");

  QTemporaryDir dir_;
  std::unique_ptr<PagedReport> paged_;
  std::unique_ptr<TForme_preview> preview_;
};

void PreviewTest::initTestCase() { InstallFrenchUserInterface(*qApp); }

void PreviewTest::init() {}

void PreviewTest::cleanup() {
  preview_.reset();
  paged_.reset();
}

void PreviewTest::open(int pages, const QString& title) {
  paged_ = std::make_unique<PagedReport>(title, pages);
  preview_ = std::make_unique<TForme_preview>();
  preview_->resize(1000, 700);
  preview_->show();
  QVERIFY(QTest::qWaitForWindowExposed(preview_.get()));
  preview_->Preview(paged_->report);
}

void PreviewTest::captionFollowsTheGeneration_data() {
  QTest::addColumn<QString>("title");
  QTest::addColumn<int>("pages");
  QTest::addColumn<QStringList>("captions");
  const QString waiting = QStringLiteral("Génération de report, Veuillez patienter...");
  QTest::newRow("untitled, one page") << QString() << 1 << QStringList{waiting, " - 1 page TERMINEE"};
  QTest::newRow("three pages") << "Essai" << 3
                               << QStringList{waiting, "Essai - 1 page OCCUPEE", "Essai - 2 pages OCCUPEE",
                                              "Essai - 3 pages TERMINEE"};
}

void PreviewTest::captionFollowsTheGeneration() {
  QFETCH(QString, title);
  QFETCH(int, pages);
  QFETCH(QStringList, captions);
  paged_ = std::make_unique<PagedReport>(title, pages);
  preview_ = std::make_unique<TForme_preview>();
  QCOMPARE(preview_->windowTitle(), QStringLiteral("Preview"));
  preview_->resize(1000, 700);
  preview_->show();
  QVERIFY(QTest::qWaitForWindowExposed(preview_.get()));
  QStringList shown;
  connect(preview_.get(), &QWidget::windowTitleChanged, [&](const QString& t) { shown << t; });
  preview_->Preview(paged_->report);
  QCOMPARE(shown, captions);

  // The first page, whole, with its zoom in the spin box.
  QCOMPARE(preview_->SE_page->minimum(), 1);
  QCOMPARE(preview_->SE_page->maximum(), pages);
  QCOMPARE(preview_->CurrentPage(), 1);
  QCOMPARE(preview_->QRPreview->page(), &paged_->report.pages()[0]);
  QVERIFY(preview_->TLB_page_entiere->isChecked());
  QCOMPARE(preview_->SE_zoom->value(), preview_->QRPreview->zoom());
  QCOMPARE(preview_->QRPreview->zoom(), preview_->QRPreview->zoomToFit(preview_->SB_preview->viewport()->size()));
  // The whole sheet shows.
  QVERIFY(preview_->QRPreview->width() <= preview_->SB_preview->viewport()->width());
  QVERIFY(preview_->QRPreview->height() <= preview_->SB_preview->viewport()->height());
}

void PreviewTest::navigationStopsAtEitherEnd() {
  open();
  const auto shown = [this] { return preview_->QRPreview->page() ? preview_->QRPreview->page()->number : 0; };
  struct Step {
    QToolButton* button;
    int page;
  };
  const Step steps[] = {
      {preview_->TLB_page_precedente, 1}, // nothing before the first page
      {preview_->TLB_page_suivante, 2},   {preview_->TLB_page_suivante, 3},
      {preview_->TLB_page_suivante, 3}, // nothing after the last
      {preview_->TLB_premiere_page, 1},   {preview_->TLB_derniere_page, 3},
      {preview_->TLB_page_precedente, 2},
  };
  for (const Step& step : steps) {
    QTest::mouseClick(step.button, Qt::LeftButton);
    QCOMPARE(preview_->CurrentPage(), step.page);
    QCOMPARE(shown(), step.page);
  }
  // A typed page shows; the spin box keeps to the report's pages.
  preview_->SE_page->selectAll();
  QTest::keyClicks(preview_->SE_page, "1");
  QTest::keyClick(preview_->SE_page, Qt::Key_Return);
  QCOMPARE(shown(), 1);
  for (const auto& [asked, page] : {std::pair{9, 3}, {0, 1}}) {
    preview_->SE_page->setValue(asked);
    QCOMPARE(shown(), page);
  }
}

void PreviewTest::zoomStaysBetweenTenAndThreeHundred() {
  open();
  QCOMPARE(preview_->SE_zoom->minimum(), 10);
  QCOMPARE(preview_->SE_zoom->maximum(), 300);
  QCOMPARE(preview_->SE_zoom->singleStep(), 10);
  const auto checkedModes = [this] {
    int n = 0;
    for (QToolButton* b : {preview_->TLB_page_entiere, preview_->TLB_zoom_100, preview_->TLB_largeur_page})
      n += b->isChecked();
    return n;
  };
  for (const char* typed : {"300", "120"}) {
    preview_->SE_zoom->selectAll();
    QTest::keyClicks(preview_->SE_zoom, typed);
    QTest::keyClick(preview_->SE_zoom, Qt::Key_Return);
    QCOMPARE(preview_->QRPreview->zoom(), QString(typed).toInt());
    QCOMPARE(checkedModes(), 1);
  }
  for (const auto& [asked, zoom] : {std::pair{450, 300}, {5, 10}}) {
    preview_->SE_zoom->setValue(asked);
    QCOMPARE(preview_->QRPreview->zoom(), zoom);
  }
  const QSize area = preview_->SB_preview->viewport()->size();
  QTest::mouseClick(preview_->TLB_zoom_100, Qt::LeftButton);
  QCOMPARE(preview_->QRPreview->zoom(), 100);
  QCOMPARE(preview_->SE_zoom->value(), 100);
  QVERIFY(preview_->TLB_zoom_100->isChecked());
  QTest::mouseClick(preview_->TLB_largeur_page, Qt::LeftButton);
  QVERIFY(preview_->TLB_largeur_page->isChecked());
  QCOMPARE(preview_->SE_zoom->value(), preview_->QRPreview->zoom());
  // The page's width fits, its height does not.
  QVERIFY(preview_->QRPreview->width() <= area.width());
  QVERIFY(preview_->QRPreview->width() > area.width() - 40);
  QTest::mouseClick(preview_->TLB_page_entiere, Qt::LeftButton);
  QVERIFY(preview_->QRPreview->height() <= preview_->SB_preview->viewport()->height());
  QCOMPARE(checkedModes(), 1);
}

void PreviewTest::printingPrintsTheGeneratedPages() {
  open();
  const QString file = dir_.filePath("impression.pdf");
  preview_->Printer().setOutputFormat(QPrinter::PdfFormat);
  preview_->Printer().setOutputFileName(file);
  QTest::mouseClick(preview_->TLB_imprimer, Qt::LeftButton);
  QVERIFY(preview_->TLB_imprimer->isEnabled());
  QCOMPARE(paged_->runs, 1); // the pages as generated
  const auto facts = ReadPdfFacts(file);
  QCOMPARE(facts.pages, 3);
  QVERIFY(facts.landscape());
  QVERIFY(ReadPdfText(file).contains("page 3"));
}

void PreviewTest::aPrinterThatCannotPrintIsReported() {
  open();
  RecordingPrompts prompts;
  preview_->Printer().setOutputFormat(QPrinter::PdfFormat);
  preview_->Printer().setOutputFileName(dir_.filePath("absent/impression.pdf"));
  QTest::mouseClick(preview_->TLB_imprimer, Qt::LeftButton);
  QCOMPARE(prompts.shown.size(), 1u);
  QCOMPARE(prompts.shown[0].kind, RecordingPrompts::Kind::Error);
  QVERIFY(QString::fromStdString(prompts.shown[0].text).startsWith("Impossible d'imprimer le rapport"));
  QVERIFY(preview_->TLB_imprimer->isEnabled());
}

void PreviewTest::cancellingThePrinterDialogPrintsNothing() {
  open();
  const QString file = dir_.filePath("annule.pdf");
  preview_->Printer().setOutputFormat(QPrinter::PdfFormat);
  preview_->Printer().setOutputFileName(file);
  QString caption;
  onNextModal<QPrintDialog>([&](QPrintDialog* dialog) {
    caption = dialog->windowTitle();
    dialog->reject();
  });
  QTest::mouseClick(preview_->TLB_imprimante, Qt::LeftButton);
  QCOMPARE(caption, QStringLiteral("Imprimer")); // Qt's own dialog, in French
  QVERIFY(!QFile::exists(file));
  QCOMPARE(paged_->runs, 1);
  QCOMPARE(preview_->windowTitle(), QStringLiteral("Essai - 3 pages TERMINEE"));
}

void PreviewTest::confirmingThePrinterDialogRunsTheReportAgain() {
  open();
  const QString file = dir_.filePath("pages.pdf");
  int offered = 0;
  preview_->choosePrinter = [&](QPrinter& printer, int pages) {
    offered = pages;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    return true;
  };
  QTest::mouseClick(preview_->TLB_imprimante, Qt::LeftButton);
  QCOMPARE(offered, 3);
  QCOMPARE(paged_->runs, 2);
  QCOMPARE(paged_->report.orientation, QPageLayout::Portrait);
  const auto facts = ReadPdfFacts(file);
  QCOMPARE(facts.pages, 2);
  QVERIFY(!facts.landscape());
  const QString text = ReadPdfText(file);
  QVERIFY(text.contains("page 2") && text.contains("page 3") && !text.contains("page 1"));
  QCOMPARE(preview_->windowTitle(), QStringLiteral("Essai - 3 pages TERMINEE"));
}

void PreviewTest::exportWritesThePagesToAPdfFile() {
  open();
  RecordingPrompts prompts;
  QString proposed;
  QString answer;
  preview_->choosePdfFile = [&](const QString& offered) {
    proposed = offered;
    return answer;
  };
  // No file chosen: nothing written.
  QTest::mouseClick(preview_->BB_exporter_pdf, Qt::LeftButton);
  QVERIFY(proposed.endsWith("/Essai.pdf"));
  answer = dir_.filePath("rapport");
  QTest::mouseClick(preview_->BB_exporter_pdf, Qt::LeftButton);
  const auto facts = ReadPdfFacts(dir_.filePath("rapport.pdf"));
  QCOMPARE(facts.pages, 3);
  QCOMPARE(facts.title, QStringLiteral("Essai"));
  QVERIFY(ReadPdfText(dir_.filePath("rapport.pdf")).contains("page 2"));
  QVERIFY(prompts.shown.empty());
  // A folder that is not there: said in the error box, nothing made.
  answer = dir_.filePath("absent/rapport.pdf");
  QTest::mouseClick(preview_->BB_exporter_pdf, Qt::LeftButton);
  QCOMPARE(prompts.shown.size(), 1u);
  QCOMPARE(prompts.shown[0].kind, RecordingPrompts::Kind::Error);
  QVERIFY(QString::fromStdString(prompts.shown[0].text).contains("n'existe pas"));
  QVERIFY(!QFile::exists(dir_.filePath("absent")));
}

void PreviewTest::closingLetsTheReportGo() {
  open();
  QTest::mouseClick(preview_->BB_quitter, Qt::LeftButton);
  QVERIFY(!preview_->isVisible());
  QVERIFY(!paged_->report.pageReady);
  QCOMPARE(preview_->QRPreview->page(), nullptr);

  // The modal preview of a report action ends with its document.
  PagedReport other("Autre", 2);
  bool shown = false;
  onNextModal<TForme_preview>([&](TForme_preview* preview) {
    shown = preview->windowTitle() == "Autre - 2 pages TERMINEE" && preview->isMaximized();
    Q_EMIT DocumentManager::instance().aboutToClose();
  });
  OpenReportPreview(other.report);
  QVERIFY(shown);
  QVERIFY(!other.report.pageReady);
}

QTEST_MAIN(PreviewTest)
#include "Fenetre_preview_test.moc"
