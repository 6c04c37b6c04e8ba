#pragma once
// The report preview: the pages of a report one at a time, with page and zoom
// controls, printing directly or through the printer dialog, and export to a
// PDF file. A window is made for each preview; the report action waits until
// it is closed.

#include <QDialog>
#include <QPrinter>
#include <QSizeF>

#include <functional>

class QButtonGroup;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace tessel {

class BandedReport;
struct ReportPage;

// One page of a report, drawn at a zoom on a paper sheet.
class ReportPageView : public QWidget {
  Q_OBJECT
public:
  explicit ReportPageView(QWidget* parent = nullptr);

  // The page (null for none) and the paper's size in pixels at 96 dpi.
  void setPage(const ReportPage* page, const QSizeF& paper);
  const ReportPage* page() const { return page_; }
  // Percent of the paper's real size.
  int zoom() const { return zoom_; }
  void setZoom(int percent);
  // The zooms at which the whole sheet, or its width, fits `area`.
  int zoomToFit(const QSize& area) const;
  int zoomToWidth(const QSize& area) const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  qreal scale() const;
  void resizeToSheet();

  const ReportPage* page_ = nullptr;
  QSizeF paper_{793.7, 1122.5};
  int zoom_ = 100;
};

class TForme_preview : public QDialog {
  Q_OBJECT
public:
  explicit TForme_preview(QWidget* parent = nullptr);
  ~TForme_preview() override;

  static constexpr int MinimumZoom = 10;
  static constexpr int MaximumZoom = 300;

  // Runs the report into this window: the waiting caption, then each page
  // as it comes.
  void Preview(BandedReport& report);
  // Called by the report each time a page is ready, with the pages so far.
  void PageAvailable(int pages);

  int CurrentPage() const;
  QPrinter& Printer() { return printer_; }

  QWidget* const Panel_outils;
  QLabel* const Label_page;
  QSpinBox* const SE_page;
  QToolButton* const TLB_premiere_page;
  QToolButton* const TLB_page_precedente;
  QToolButton* const TLB_page_suivante;
  QToolButton* const TLB_derniere_page;
  QLabel* const Label_zoom;
  QSpinBox* const SE_zoom;
  QToolButton* const TLB_page_entiere;
  QToolButton* const TLB_zoom_100;
  QToolButton* const TLB_largeur_page;
  QLabel* const Label_copies;
  QSpinBox* const SE_copies;
  QToolButton* const TLB_imprimante;
  QToolButton* const TLB_imprimer;
  QPushButton* const BB_quitter;
  QPushButton* const BB_exporter_pdf;
  QScrollArea* const SB_preview;
  ReportPageView* const QRPreview;

  // The printer dialog and the PDF file chooser; tests stand in for them.
  // The first answers whether the user confirmed.
  std::function<bool(QPrinter&, int pages)> choosePrinter;
  std::function<QString(const QString& proposed)> choosePdfFile;

public Q_SLOTS:
  void FirstPage();
  void PreviousPage();
  void NextPage();
  void LastPage();
  void ZoomToFit();
  void Zoom100();
  void ZoomToWidth();
  // Prints the generated pages on the printer.
  void Print();
  // The printer dialog; on confirmation the report runs again with the
  // dialog's orientation and prints the chosen pages.
  void PrinterSetup();
  // Writes the generated pages to a PDF file chosen in a save dialog.
  void ExportPdf();

protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  int pageCount() const;
  void showPage(int page);
  void showZoom(int percent);
  void applyZoomMode();
  void printPages(int from, int to);

  QButtonGroup* const zoomModes_;
  BandedReport* report_ = nullptr;
  QPrinter printer_{QPrinter::HighResolution};
  bool firstPagePending_ = false;
};

// Shows the report in a new preview window, runs it there and waits until
// the window is closed; the window is gone when this returns.
void OpenReportPreview(BandedReport& report, QWidget* parent = nullptr);

} // namespace tessel
