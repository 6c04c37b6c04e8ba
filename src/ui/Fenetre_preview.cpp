#include "ui/Fenetre_preview.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "model/DocumentManager.h"
#include "reports/BandedReport.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"

#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tessel {

namespace {

// Room around the sheet in the preview area.
constexpr int SheetMargin = 12;

QToolButton* pageButton(QWidget* parent, const char* name, const char* icon, const QString& hint, int x) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setIcon(QIcon(RenderPicture(QString::fromLatin1(icon), QSize(16, 16))));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  button->setGeometry(x, 0, 25, 25);
  return button;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QLatin1String(name));
  l->move(x, y);
  return l;
}

QSpinBox* spinBox(QWidget* parent, const char* name, const QString& hint, int x, int width) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QLatin1String(name));
  spin->setToolTip(hint);
  spin->setGeometry(x, 0, width, 25);
  return spin;
}

} // namespace

// ---------------------------------------------------------------- page view

ReportPageView::ReportPageView(QWidget* parent) : QWidget(parent) { resizeToSheet(); }

void ReportPageView::setPage(const ReportPage* page, const QSizeF& paper) {
  page_ = page;
  paper_ = paper;
  resizeToSheet();
  update();
}

void ReportPageView::setZoom(int percent) {
  zoom_ = std::clamp(percent, TForme_preview::MinimumZoom, TForme_preview::MaximumZoom);
  resizeToSheet();
  update();
}

qreal ReportPageView::scale() const { return zoom_ / 100.0 * logicalDpiX() / 96.0; }

int ReportPageView::zoomToFit(const QSize& area) const {
  const qreal dpi = logicalDpiX() / 96.0;
  const qreal w = (area.width() - 2 * SheetMargin) / (paper_.width() * dpi);
  const qreal h = (area.height() - 2 * SheetMargin) / (paper_.height() * dpi);
  return std::clamp(int(std::floor(std::min(w, h) * 100)), TForme_preview::MinimumZoom, TForme_preview::MaximumZoom);
}

int ReportPageView::zoomToWidth(const QSize& area) const {
  const qreal dpi = logicalDpiX() / 96.0;
  const qreal w = (area.width() - 2 * SheetMargin) / (paper_.width() * dpi);
  return std::clamp(int(std::floor(w * 100)), TForme_preview::MinimumZoom, TForme_preview::MaximumZoom);
}

void ReportPageView::resizeToSheet() {
  setFixedSize(int(std::ceil(paper_.width() * scale())) + 2 * SheetMargin,
               int(std::ceil(paper_.height() * scale())) + 2 * SheetMargin);
}

void ReportPageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRectF sheet(SheetMargin, SheetMargin, paper_.width() * scale(), paper_.height() * scale());
  painter.fillRect(sheet.translated(3, 3), palette().color(QPalette::Shadow));
  painter.fillRect(sheet, Qt::white);
  if (!page_) return;
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  painter.setClipRect(sheet);
  painter.translate(sheet.topLeft());
  painter.scale(scale(), scale());
  PaintPage(painter, *page_);
}

// ---------------------------------------------------------------- window

TForme_preview::TForme_preview(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      Panel_outils(new QWidget(this)),
      Label_page(label(Panel_outils, "Label_page", QStringLiteral("Pa&ge"), 1, 3)),
      SE_page(spinBox(Panel_outils, "SE_page", QStringLiteral("Go to the specified page number"), 32, 41)),
      TLB_premiere_page(pageButton(Panel_outils, "TLB_premiere_page", "action-page-first.svg",
                                   QStringLiteral("Première page"), 76)),
      TLB_page_precedente(pageButton(Panel_outils, "TLB_page_precedente", "action-page-previous.svg",
                                     QStringLiteral("Page précédente"), 101)),
      TLB_page_suivante(pageButton(Panel_outils, "TLB_page_suivante", "action-page-next.svg",
                                   QStringLiteral("Page suivante"), 126)),
      TLB_derniere_page(pageButton(Panel_outils, "TLB_derniere_page", "action-page-last.svg",
                                   QStringLiteral("Dernière page"), 151)),
      Label_zoom(label(Panel_outils, "Label_zoom", QStringLiteral("&Zoom"), 184, 3)),
      SE_zoom(spinBox(Panel_outils, "SE_zoom", QStringLiteral("Zoom to the specified percentage"), 216, 49)),
      TLB_page_entiere(pageButton(Panel_outils, "TLB_page_entiere", "action-zoom-whole-page.svg",
                                  QStringLiteral("Voir toute la page"), 268)),
      TLB_zoom_100(pageButton(Panel_outils, "TLB_zoom_100", "action-zoom-100.svg", QStringLiteral("100 %"), 293)),
      TLB_largeur_page(pageButton(Panel_outils, "TLB_largeur_page", "action-zoom-page-width.svg",
                                  QStringLiteral("Largeur Page"), 318)),
      Label_copies(label(Panel_outils, "Label_copies", QStringLiteral("&Copies"), 352, 4)),
      SE_copies(spinBox(Panel_outils, "SE_copies", QStringLiteral("Set the number of copies to print"), 388, 41)),
      TLB_imprimante(pageButton(Panel_outils, "TLB_imprimante", "action-printer-setup.svg",
                                QStringLiteral("Configuration de l'imprimante"), 433)),
      TLB_imprimer(pageButton(Panel_outils, "TLB_imprimer", "common-print.svg", QStringLiteral("Impression"), 458)),
      BB_quitter(new QPushButton(QStringLiteral("Quitter"), Panel_outils)),
      BB_exporter_pdf(new QPushButton(QStringLiteral("Exporter en PDF..."), Panel_outils)),
      SB_preview(new QScrollArea(this)),
      QRPreview(new ReportPageView),
      zoomModes_(new QButtonGroup(this)) {
  setObjectName(QStringLiteral("TForme_preview"));
  setWindowTitle(QStringLiteral("Preview"));
  setSizeGripEnabled(true);
  Panel_outils->setFixedHeight(25);
  Label_page->setBuddy(SE_page);
  Label_zoom->setBuddy(SE_zoom);
  Label_copies->setBuddy(SE_copies);
  SE_page->setRange(1, 1);
  SE_zoom->setRange(MinimumZoom, MaximumZoom);
  SE_zoom->setSingleStep(10);
  SE_zoom->setValue(100);
  SE_copies->setRange(1, 999);
  SE_copies->setValue(1);
  for (QToolButton* mode : {TLB_page_entiere, TLB_zoom_100, TLB_largeur_page}) {
    mode->setCheckable(true);
    zoomModes_->addButton(mode);
  }
  zoomModes_->setExclusive(true);
  TLB_largeur_page->setChecked(true);
  BB_quitter->setObjectName(QStringLiteral("BB_quitter"));
  BB_quitter->setToolTip(QStringLiteral("Exit the report preview"));
  BB_quitter->setIcon(QIcon(RenderPicture(QStringLiteral("common-quit.svg"), QSize(16, 16))));
  BB_quitter->setGeometry(564, 0, 77, 25);
  BB_quitter->setAutoDefault(false);
  BB_exporter_pdf->setObjectName(QStringLiteral("BB_exporter_pdf"));
  BB_exporter_pdf->setToolTip(QStringLiteral("Enregistrer les pages dans un fichier PDF"));
  BB_exporter_pdf->setIcon(QIcon(RenderPicture(QStringLiteral("common-file-save-as.svg"), QSize(16, 16))));
  BB_exporter_pdf->setGeometry(649, 0, 130, 25);
  BB_exporter_pdf->setAutoDefault(false);

  // The designed positions, moved right where this desktop's font needs more room.
  int right = 0;
  for (QWidget* control : Panel_outils->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const bool isLabel = qobject_cast<QLabel*>(control) != nullptr;
    if (isLabel) control->adjustSize();
    control->move(std::max(control->x(), right), control->y());
    right = control->x() + control->width() + (isLabel ? 3 : 0);
  }

  SB_preview->setObjectName(QStringLiteral("SB_preview"));
  SB_preview->setBackgroundRole(QPalette::Button);
  SB_preview->setAlignment(Qt::AlignCenter);
  SB_preview->setWidget(QRPreview);
  SB_preview->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel_outils);
  layout->addWidget(SB_preview, 1);
  resize(982, 599);

  connect(SE_page, &QSpinBox::valueChanged, this, [this](int page) { showPage(page); });
  connect(TLB_premiere_page, &QToolButton::clicked, this, &TForme_preview::FirstPage);
  connect(TLB_page_precedente, &QToolButton::clicked, this, &TForme_preview::PreviousPage);
  connect(TLB_page_suivante, &QToolButton::clicked, this, &TForme_preview::NextPage);
  connect(TLB_derniere_page, &QToolButton::clicked, this, &TForme_preview::LastPage);
  connect(SE_zoom, &QSpinBox::valueChanged, QRPreview, &ReportPageView::setZoom);
  connect(TLB_page_entiere, &QToolButton::clicked, this, &TForme_preview::ZoomToFit);
  connect(TLB_zoom_100, &QToolButton::clicked, this, &TForme_preview::Zoom100);
  connect(TLB_largeur_page, &QToolButton::clicked, this, &TForme_preview::ZoomToWidth);
  connect(TLB_imprimante, &QToolButton::clicked, this, Reported([this] { PrinterSetup(); }));
  connect(TLB_imprimer, &QToolButton::clicked, this, Reported([this] { Print(); }));
  connect(BB_quitter, &QPushButton::clicked, this, &QDialog::reject);
  connect(BB_exporter_pdf, &QPushButton::clicked, this, Reported([this] { ExportPdf(); }));

  printer_.setFullPage(true);
  choosePrinter = [this](QPrinter& printer, int pages) {
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, std::max(1, pages));
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    return dialog.exec() == QDialog::Accepted;
  };
  choosePdfFile = [this](const QString& proposed) {
    return QFileDialog::getSaveFileName(this, QStringLiteral("Exporter en PDF"), proposed,
                                        QStringLiteral("Documents PDF (*.pdf)"));
  };
}

TForme_preview::~TForme_preview() {
  if (report_) report_->pageReady = nullptr;
}

void TForme_preview::Preview(BandedReport& report) {
  setWindowTitle(QStringLiteral("Génération de report, Veuillez patienter..."));
  report_ = &report;
  report.pageReady = [this](int pages) { PageAvailable(pages); };
  firstPagePending_ = true;
  report.generate();
}

int TForme_preview::pageCount() const { return report_ ? static_cast<int>(report_->pages().size()) : 0; }

int TForme_preview::CurrentPage() const { return SE_page->value(); }

void TForme_preview::PageAvailable(int pages) {
  if (firstPagePending_) {
    firstPagePending_ = false;
    const QSignalBlocker quiet(SE_page);
    SE_page->setRange(1, std::max(1, pages));
    SE_page->setValue(1);
    showPage(1);
    TLB_page_entiere->setChecked(true);
    ZoomToFit();
  }
  SE_page->setMaximum(std::max(1, pages));
  QString caption = report_->title + (pages == 1 ? QStringLiteral(" - 1 page") : QStringLiteral(" - %1 pages").arg(pages));
  switch (report_->status()) {
  case BandedReport::Status::Ready:
    caption += QStringLiteral(" PRETE");
    break;
  case BandedReport::Status::Busy:
    caption += QStringLiteral(" OCCUPEE");
    break;
  case BandedReport::Status::Finished:
    caption += QStringLiteral(" TERMINEE");
    break;
  }
  setWindowTitle(caption);
  // A run after the first (printing again) may leave fewer pages.
  if (SE_page->value() <= pages) showPage(SE_page->value());
}

void TForme_preview::showPage(int page) {
  const bool shown = report_ && page >= 1 && page <= pageCount();
  QRPreview->setPage(shown ? &report_->pages()[static_cast<std::size_t>(page - 1)] : nullptr,
                     report_ ? report_->pageSize() : QSizeF(793.7, 1122.5));
  applyZoomMode();
}

void TForme_preview::FirstPage() { SE_page->setValue(1); }

void TForme_preview::PreviousPage() {
  if (SE_page->value() >= 2) SE_page->setValue(SE_page->value() - 1);
}

void TForme_preview::NextPage() {
  if (SE_page->value() < pageCount()) SE_page->setValue(SE_page->value() + 1);
}

void TForme_preview::LastPage() { SE_page->setValue(std::max(1, pageCount())); }

void TForme_preview::showZoom(int percent) {
  QRPreview->setZoom(percent);
  const QSignalBlocker quiet(SE_zoom);
  SE_zoom->setValue(QRPreview->zoom());
}

void TForme_preview::ZoomToFit() {
  TLB_page_entiere->setChecked(true);
  showZoom(QRPreview->zoomToFit(SB_preview->viewport()->size()));
}

void TForme_preview::Zoom100() {
  TLB_zoom_100->setChecked(true);
  showZoom(100);
}

void TForme_preview::ZoomToWidth() {
  TLB_largeur_page->setChecked(true);
  // Room for the vertical scroll bar that a page this wide needs.
  QSize area = SB_preview->viewport()->size();
  if (!SB_preview->verticalScrollBar()->isVisible()) area.rwidth() -= SB_preview->verticalScrollBar()->sizeHint().width();
  showZoom(QRPreview->zoomToWidth(area));
}

// The fitting zooms follow the window's size.
void TForme_preview::applyZoomMode() {
  if (TLB_page_entiere->isChecked()) ZoomToFit();
  if (TLB_largeur_page->isChecked()) ZoomToWidth();
}

bool TForme_preview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SB_preview->viewport() && event->type() == QEvent::Resize) applyZoomMode();
  return QDialog::eventFilter(watched, event);
}

void TForme_preview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  applyZoomMode();
}

// The pages `from` to `to` (0: the last) on the printer; a printer that
// cannot be painted on is a failure of the command.
void TForme_preview::printPages(int from, int to) {
  printer_.setDocName(report_->title);
  if (RenderPages(report_->pages(), *report_, printer_, from, to)) return;
  if (printer_.outputFormat() == QPrinter::NativeFormat && !printer_.isValid())
    throw TesselError(
        "Aucune imprimante n'est installée : « Configuration de l'imprimante » permet d'imprimer dans un fichier PDF."_w);
  if (printer_.outputFormat() == QPrinter::PdfFormat)
    throw TesselError(Message("Impossible d'imprimer le rapport dans le fichier « "_w) +
                      toCp1252(QDir::toNativeSeparators(printer_.outputFileName())) + " »."_w);
  throw TesselError(Message("Impossible d'imprimer le rapport sur « "_w) + toCp1252(printer_.printerName()) + " »."_w);
}

void TForme_preview::Print() {
  if (!report_) return;
  TLB_imprimer->setEnabled(false);
  const struct Enable {
    QToolButton* button;
    ~Enable() { button->setEnabled(true); }
  } enable{TLB_imprimer};
  printPages(1, 0);
}

void TForme_preview::PrinterSetup() {
  if (!report_) return;
  printer_.setPageOrientation(report_->orientation);
  if (!choosePrinter(printer_, pageCount())) return;
  // The report takes the dialog's orientation and runs again from its start.
  report_->orientation = printer_.pageLayout().orientation();
  report_->generate();
  const bool all = printer_.printRange() == QPrinter::AllPages;
  printPages(all ? 1 : printer_.fromPage(), all ? 0 : printer_.toPage());
}

void TForme_preview::ExportPdf() {
  if (!report_) return;
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!QDir(folder).exists()) folder = QDir::homePath();
  QString path = choosePdfFile(QDir(folder).filePath(report_->title + QStringLiteral(".pdf")));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
  QString error;
  if (!WritePdf(*report_, path, error)) throw TesselError(Message() + toCp1252(error));
}

void TForme_preview::done(int result) {
  if (report_) {
    report_->pageReady = nullptr;
    QRPreview->setPage(nullptr, report_->pageSize());
  }
  report_ = nullptr;
  QDialog::done(result);
}

void OpenReportPreview(BandedReport& report, QWidget* parent) {
  TForme_preview preview(parent);
  preview.setWindowModality(Qt::ApplicationModal);
  // The report's objects go with the document: so does the preview.
  QObject::connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, &preview, &QDialog::reject);
  preview.showMaximized();
  preview.Preview(report);
  preview.exec();
}

} // namespace tessel
