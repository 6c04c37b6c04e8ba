#pragma once
// A small banded report engine on QPainter. A report has a page header, a
// column header, a detail band and a page footer, each laid out as data: a
// height, a colour, rules and named fields placed in band pixels at 96 dpi.
// Running the report asks its need-data callback before each detail band;
// the callback may change the bands and their fields, and the engine keeps a
// copy of each band as it was placed. The placed pages can then be painted
// on any paged device (PDF writer, printer, preview) as often as needed.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace tessel {

// Arial (Liberation Sans, same metrics) at a size in points at 96 dpi.
QFont ReportFont(qreal points, bool bold = false);
// The same, sized in pixels.
QFont ReportPixelFont(int pixels, bool bold = false);

struct ReportField {
  enum class Kind { Label, RichText, Image, PageNumber };

  Kind kind = Kind::Label;
  QString name;
  // Band pixels. A negative left is measured from the band's right edge to
  // the field's right edge; a width or height of zero or less reaches the
  // band's right or bottom edge less that much.
  QRectF placement;
  QFont font = ReportPixelFont(13);
  QColor textColour = Qt::black;
  QColor background = Qt::white;
  bool transparent = true;
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
  // A disabled field is not printed.
  bool enabled = true;
  QString caption; // a label's text
  QStringList lines; // a rich-text box's lines, wrapped to its width
  QImage picture;
  // Room kept free at the left of a label's text, for a picture drawn over it.
  qreal indent = 0;
  // A label as wide as its caption (nothing shows when it is empty).
  bool autoSize = false;
  // A label whose font shrinks until its caption fits.
  bool shrinkToFit = false;
  // A rich-text box that grows its band so that every line shows.
  bool stretch = false;

  // Where the field lies in a band of that size.
  QRectF rectIn(const QSizeF& band) const;
};

struct ReportBand {
  qreal height = 0;
  QColor colour = Qt::white;
  bool transparent = false;
  // Rules drawn inside the band's edges.
  struct Rules {
    bool top = false, left = false, bottom = false, right = false;
    qreal width = 1;
    QColor colour = Qt::black;
  } rules;
  std::vector<ReportField> fields;

  ReportField& add(ReportField field);
  // The field of that name; std::out_of_range when there is none.
  ReportField& operator[](const QString& name);
  const ReportField& operator[](const QString& name) const;
};

// A band as it was placed on a page, in page pixels.
struct PlacedBand {
  enum class Role { PageHeader, ColumnHeader, Detail, PageFooter };
  Role role;
  QRectF rect;
  ReportBand band;
};

struct ReportPage {
  int number = 0;
  std::vector<PlacedBand> bands;
};

class BandedReport {
public:
  enum class Status { Ready, Busy, Finished };

  static constexpr qreal PixelsPerMillimetre = 96 / 25.4;

  // The printer's title: the preview's caption and the PDF document's title.
  QString title;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  qreal marginMillimetres = 10;
  int columns = 1;
  qreal columnSpacing = 0;

  ReportBand pageHeader;
  ReportBand columnHeader; // a height of zero: no column header
  ReportBand detail;
  ReportBand pageFooter;

  // Called once at the start of each run, before anything is placed.
  std::function<void()> beforePrint;
  // Called before each detail band; answers whether a band follows.
  std::function<bool()> needData;
  // Called each time a page is complete, with the number of pages so far.
  std::function<void(int)> pageReady;

  // Set by need-data: the band it has just filled starts a new column
  // (unless the current column is still empty).
  bool newColumn = false;

  // Page geometry in pixels at 96 dpi, A4 in the report's orientation.
  QSizeF pageSize() const;
  qreal pageLength() const { return pageSize().height(); }
  qreal pageWidth() const { return pageSize().width(); }
  qreal margin() const { return marginMillimetres * PixelsPerMillimetre; }
  qreal topMargin() const { return margin(); }
  qreal bottomMargin() const { return margin(); }
  qreal columnWidth() const;
  QPageLayout pageLayout() const;

  // Runs the report from the start and answers its pages; also kept as pages().
  const std::vector<ReportPage>& generate();
  const std::vector<ReportPage>& pages() const { return pages_; }
  Status status() const { return status_; }

private:
  class Run;
  std::vector<ReportPage> pages_;
  Status status_ = Status::Ready;
};

// The height the band needs once its stretching boxes show all their lines.
qreal StretchedHeight(const ReportBand& band, qreal width);
// The lines of a rich-text box as they print, once wrapped to its width.
QStringList WrappedLines(const ReportField& box, qreal width);

// Paints one page; the painter works in page pixels at 96 dpi.
void PaintPage(QPainter& painter, const ReportPage& page);
// Paints pages `from` to `to` (1-based, both included; 0 for the last) on the
// device, from the paper's corner, each on its own sheet. Answers false when
// the device could not be painted on.
bool RenderPages(const std::vector<ReportPage>& pages, const BandedReport& report, QPagedPaintDevice& device,
                 int from = 1, int to = 0);
// Writes the pages of the last run to a PDF file with selectable text. On
// failure no file is made (an existing one is left as it was) and `error`
// says why, in French.
bool WritePdf(const BandedReport& report, const QString& path, QString& error);

} // namespace tessel
