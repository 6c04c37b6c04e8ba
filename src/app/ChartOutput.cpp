#include "app/ChartOutput.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "widgets/MessageBoxPrompts.h"

#include <QChartView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace tessel {

namespace {

[[noreturn]] void fail(const QString& message) { throw TesselError(Message() + toCp1252(message)); }

QString shown(const QString& path) { return QStringLiteral("« ") + QDir::toNativeSeparators(path) + QStringLiteral(" »"); }

constexpr double PageMarginMillimetres = 15;

// The chart on the whole page of a paint device laid out in landscape.
void paintPage(QChartView& view, QPaintDevice& device, const QString& path) {
  QPainter painter;
  if (!painter.begin(&device)) fail(path.isEmpty() ? QStringLiteral("Impossible d'imprimer le graphique.")
                                                   : "Impossible d'écrire le graphique dans " + shown(path) + ".");
  RenderChart(view, painter, QRectF(0, 0, device.width(), device.height()));
  painter.end();
}

} // namespace

void RenderChart(QChartView& view, QPainter& painter, const QRectF& target) {
  const QRect source = view.viewport()->rect();
  if (source.isEmpty()) return;
  QSizeF size = QSizeF(source.size()).scaled(target.size(), Qt::KeepAspectRatio);
  const QRectF placed(target.topLeft() + QPointF((target.width() - size.width()) / 2, (target.height() - size.height()) / 2),
                      size);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  view.render(&painter, placed, source);
  painter.restore();
}

void PrintChart(QChartView& view, QPrinter& printer) {
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setPageMargins(QMarginsF(PageMarginMillimetres, PageMarginMillimetres, PageMarginMillimetres,
                                   PageMarginMillimetres),
                         QPageLayout::Millimeter);
  paintPage(view, printer, QString());
}

void ExportChart(QChartView& view, const QString& path) {
  const QString kind = QFileInfo(path).suffix().toLower();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    fail("Impossible d'écrire le graphique dans " + shown(path) + " : " + file.errorString() + ".");
  const QSize size = view.viewport()->size();
  if (kind == QLatin1String("svg")) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(), size));
    svg.setResolution(view.logicalDpiX());
    svg.setTitle(view.chart() ? view.chart()->title() : QString());
    paintPage(view, svg, path);
  } else if (kind == QLatin1String("pdf")) {
    QPdfWriter pdf(&file);
    pdf.setResolution(view.logicalDpiX());
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(PageMarginMillimetres, PageMarginMillimetres, PageMarginMillimetres,
                                 PageMarginMillimetres),
                       QPageLayout::Millimeter);
    paintPage(view, pdf, path);
  } else {
    // Twice the screen's pixels, for a sharp picture.
    QImage picture(size * 2, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    paintPage(view, picture, path);
    if (!picture.save(&file, "PNG")) fail("Impossible d'écrire le graphique dans " + shown(path) + ".");
  }
  if (!file.commit()) fail("Impossible d'écrire le graphique dans " + shown(path) + " : " + file.errorString() + ".");
}

ChartDialogs& chartDialogs() {
  static ChartDialogs dialogs{
      [](QPrinter& printer, QWidget* owner) {
        QPrintDialog dialog(&printer, owner);
        dialog.setWindowTitle(QStringLiteral("Imprimer le graphique"));
        return dialog.exec() == QDialog::Accepted;
      },
      [](QWidget* owner) {
        QString filter = QStringLiteral("Image PNG (*.png)");
        QString path = QFileDialog::getSaveFileName(
            owner, QStringLiteral("Exporter le graphique"), QDir::home().filePath(QStringLiteral("graphique.png")),
            QStringLiteral("Image PNG (*.png);;Dessin SVG (*.svg);;Document PDF (*.pdf)"), &filter);
        // A name without extension takes the one of the chosen kind.
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
          path += filter.contains(QLatin1String("svg")) ? QStringLiteral(".svg")
                  : filter.contains(QLatin1String("pdf")) ? QStringLiteral(".pdf")
                                                          : QStringLiteral(".png");
        return path;
      }};
  return dialogs;
}

void AddChartOutputItems(QMenu& menu, QChartView& view) {
  QObject::connect(menu.addAction(QStringLiteral("Imprimer")), &QAction::triggered, &view, Reported([&view] {
                     QPrinter printer(QPrinter::ScreenResolution);
                     printer.setPageOrientation(QPageLayout::Landscape);
                     if (chartDialogs().print(printer, &view)) PrintChart(view, printer);
                   }));
  QObject::connect(menu.addAction(QStringLiteral("Exporter...")), &QAction::triggered, &view, Reported([&view] {
                     const QString path = chartDialogs().exportFile(&view);
                     if (!path.isEmpty()) ExportChart(view, path);
                   }));
}

} // namespace tessel
