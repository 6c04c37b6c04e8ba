#pragma once
// A chart on paper or in a file: printed on one landscape page through Qt's
// print dialog, or exported as a PNG picture, an SVG drawing or a PDF page.
// The charts' menus offer both as "Imprimer" and "Exporter...".

#include <QString>

#include <functional>

class QChartView;
class QMenu;
class QPainter;
class QPrinter;
class QRectF;
class QWidget;

namespace tessel {

// Draws the chart as it is shown, scaled to fit `target` with its proportions.
void RenderChart(QChartView& view, QPainter& painter, const QRectF& target);
// The chart on one page of `printer`, within its margins. The chart's texts
// keep their size relative to the chart only on a printer at the screen's
// resolution (QPrinter::ScreenResolution); its drawing stays vector.
void PrintChart(QChartView& view, QPrinter& printer);
// Saves the chart at `path` as PNG, SVG or PDF, after its extension (any
// other case: PNG). A file that cannot be written raises TesselError naming
// it; the previous file is then left as it was.
void ExportChart(QChartView& view, const QString& path);

// The dialogs the menu commands open; tests replace them. The print dialog
// answers whether the user confirmed; the export one the chosen path, or
// nothing when cancelled.
struct ChartDialogs {
  std::function<bool(QPrinter&, QWidget*)> print;
  std::function<QString(QWidget*)> exportFile;
};
ChartDialogs& chartDialogs();

// Adds "Imprimer" and "Exporter..." for `view` to `menu`; both report their
// failures in the "Erreur" window.
void AddChartOutputItems(QMenu& menu, QChartView& view);

} // namespace tessel
