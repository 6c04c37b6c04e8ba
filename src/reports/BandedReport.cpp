#include "reports/BandedReport.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace tessel {

namespace {

// Room left between a box's edges and its text.
constexpr qreal TextInset = 2;
// Placing compares sums of fractional pixels.
constexpr qreal Tolerance = 0.01;

} // namespace

QFont ReportPixelFont(int pixels, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  // The same text widths on screen, on paper and in PDF files.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QFont ReportFont(qreal points, bool bold) { return ReportPixelFont(qRound(points * 96 / 72), bold); }

QRectF ReportField::rectIn(const QSizeF& band) const {
  const qreal w = placement.width() > 0 ? placement.width() : band.width() - placement.left() + placement.width();
  const qreal h = placement.height() > 0 ? placement.height() : band.height() - placement.top() + placement.height();
  const qreal x = placement.left() < 0 ? band.width() + placement.left() - w : placement.left();
  return {x, placement.top(), std::max<qreal>(0, w), std::max<qreal>(0, h)};
}

ReportField& ReportBand::add(ReportField field) { return fields.emplace_back(std::move(field)); }

ReportField& ReportBand::operator[](const QString& name) {
  return const_cast<ReportField&>(std::as_const(*this)[name]);
}

const ReportField& ReportBand::operator[](const QString& name) const {
  for (const ReportField& f : fields)
    if (f.name == name) return f;
  throw std::out_of_range("no report field " + name.toStdString());
}

// ---------------------------------------------------------------- text

namespace {

// The box's lines wrapped to `width`, each with the text it prints.
QStringList wrap(const QString& text, const QFont& font, qreal width) {
  QStringList out;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    if (paragraph.isEmpty()) {
      out << QString();
      continue;
    }
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(std::max<qreal>(1, width));
      out << paragraph.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
  }
  return out;
}

// The height a rich-text box needs for all its lines.
qreal neededHeight(const ReportField& box, qreal width) {
  const int lines = static_cast<int>(WrappedLines(box, width).size());
  return lines * QFontMetricsF(box.font).lineSpacing() + 2 * TextInset;
}

} // namespace

QStringList WrappedLines(const ReportField& box, qreal width) {
  if (box.lines.isEmpty()) return {};
  return wrap(box.lines.join(QLatin1Char('\n')), box.font, width - 2 * TextInset);
}

qreal StretchedHeight(const ReportBand& band, qreal width) {
  qreal height = band.height;
  for (const ReportField& f : band.fields) {
    if (f.kind != ReportField::Kind::RichText || !f.stretch || !f.enabled || f.lines.isEmpty()) continue;
    const QRectF r = f.rectIn({width, band.height});
    height = std::max(height, r.top() + neededHeight(f, r.width()));
  }
  return height;
}

// ---------------------------------------------------------------- running

class BandedReport::Run {
public:
  explicit Run(BandedReport& report) : r_(report) {}

  void go() {
    r_.pages_.clear();
    r_.status_ = Status::Busy;
    r_.newColumn = false;
    if (r_.beforePrint) r_.beforePrint();
    while (r_.needData && r_.needData()) placeDetail();
    if (!pageOpen_) openPage();
    // The last page is announced with the run finished.
    r_.status_ = Status::Finished;
    closePage();
  }

private:
  qreal left() const { return r_.margin(); }
  qreal printableWidth() const { return r_.pageWidth() - 2 * r_.margin(); }
  qreal footerTop() const { return r_.pageLength() - r_.bottomMargin() - r_.pageFooter.height; }
  qreal columnLeft() const { return left() + column_ * (r_.columnWidth() + r_.columnSpacing); }

  void place(PlacedBand::Role role, const ReportBand& band, const QRectF& rect) {
    ReportPage& page = r_.pages_.back();
    PlacedBand& placed = page.bands.emplace_back(PlacedBand{role, rect, band});
    for (ReportField& f : placed.band.fields)
      if (f.kind == ReportField::Kind::PageNumber) f.caption = QString::number(page.number);
  }

  void openPage() {
    r_.pages_.push_back({static_cast<int>(r_.pages_.size()) + 1, {}});
    place(PlacedBand::Role::PageHeader, r_.pageHeader,
          {left(), r_.topMargin(), printableWidth(), r_.pageHeader.height});
    bodyTop_ = r_.topMargin() + r_.pageHeader.height;
    column_ = 0;
    columnStarted_ = false;
    pageOpen_ = true;
  }

  void closePage() {
    place(PlacedBand::Role::PageFooter, r_.pageFooter, {left(), footerTop(), printableWidth(), r_.pageFooter.height});
    pageOpen_ = false;
    if (r_.pageReady) r_.pageReady(static_cast<int>(r_.pages_.size()));
  }

  // The column header goes on top of a column when its first band comes, so
  // that it shows what need-data set for that band.
  void startColumn() {
    y_ = bodyTop_;
    if (r_.columnHeader.height > 0) {
      place(PlacedBand::Role::ColumnHeader, r_.columnHeader, {columnLeft(), y_, r_.columnWidth(), r_.columnHeader.height});
      y_ += r_.columnHeader.height;
    }
    columnStarted_ = true;
  }

  void nextColumn() {
    if (column_ + 1 < r_.columns) {
      ++column_;
      columnStarted_ = false;
    } else {
      closePage();
      openPage();
    }
  }

  void placeDetail() {
    ReportBand band = r_.detail;
    band.height = StretchedHeight(band, r_.columnWidth());
    const bool forced = std::exchange(r_.newColumn, false);
    if (!pageOpen_) openPage();
    if (columnStarted_ && (forced || y_ + band.height > footerTop() + Tolerance)) nextColumn();
    if (!columnStarted_) startColumn();
    // A band taller than a whole column prints what fits.
    const qreal height = std::min(band.height, std::max<qreal>(0, footerTop() - y_));
    place(PlacedBand::Role::Detail, band, {columnLeft(), y_, r_.columnWidth(), height});
    y_ += height;
  }

  BandedReport& r_;
  bool pageOpen_ = false;
  bool columnStarted_ = false;
  int column_ = 0;
  qreal bodyTop_ = 0;
  qreal y_ = 0;
};

QSizeF BandedReport::pageSize() const {
  const QSizeF mm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
  const QSizeF px = mm * PixelsPerMillimetre;
  return orientation == QPageLayout::Landscape ? px.transposed() : px;
}

qreal BandedReport::columnWidth() const {
  const int n = std::max(1, columns);
  return (pageWidth() - 2 * margin() - (n - 1) * columnSpacing) / n;
}

QPageLayout BandedReport::pageLayout() const {
  return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

const std::vector<ReportPage>& BandedReport::generate() {
  Run(*this).go();
  return pages_;
}

// ---------------------------------------------------------------- painting

namespace {

// Shrinking stops there (7.5 points): smaller text would no longer read on
// paper, and what still does not fit is shortened.
constexpr int SmallestPixelSize = 10;

void paintLabel(QPainter& painter, const ReportField& f, const QRectF& box) {
  const QRectF rect = box.adjusted(std::min(f.indent, box.width()), 0, 0, 0);
  QFont font = f.font;
  while (f.shrinkToFit && font.pixelSize() > SmallestPixelSize &&
         QFontMetricsF(font).horizontalAdvance(f.caption) > rect.width())
    font.setPixelSize(font.pixelSize() - 1);
  const QFontMetricsF metrics(font);
  painter.setFont(font);
  painter.setPen(f.textColour);
  painter.drawText(rect, static_cast<int>(f.alignment), metrics.elidedText(f.caption, Qt::ElideRight, rect.width()));
}

void paintRichText(QPainter& painter, const ReportField& f, const QRectF& rect) {
  const QFontMetricsF metrics(f.font);
  painter.setFont(f.font);
  painter.setPen(f.textColour);
  const QStringList lines = WrappedLines(f, rect.width());
  const qreal right = rect.right() - TextInset;
  qreal top = rect.top() + TextInset;
  for (const QString& line : lines) {
    // Lines that do not fit whole are left out rather than cut.
    if (top + metrics.height() > rect.bottom() + Tolerance) break;
    qreal x = rect.left() + TextInset;
    if (f.alignment & Qt::AlignHCenter) x = rect.center().x() - metrics.horizontalAdvance(line) / 2;
    if (f.alignment & Qt::AlignRight) x = right - metrics.horizontalAdvance(line);
    painter.drawText(QPointF(x, top + metrics.ascent()), line);
    top += metrics.lineSpacing();
  }
}

void paintImage(QPainter& painter, const ReportField& f, const QRectF& rect) {
  if (f.picture.isNull()) return;
  QSizeF size = f.picture.size();
  if (size.width() > rect.width() || size.height() > rect.height()) size.scale(rect.size(), Qt::KeepAspectRatio);
  painter.drawImage(QRectF(rect.topLeft(), size), f.picture);
}

void paintBand(QPainter& painter, const PlacedBand& placed) {
  const ReportBand& band = placed.band;
  const QSizeF size = placed.rect.size();
  painter.save();
  painter.translate(placed.rect.topLeft());
  painter.setClipRect(QRectF(QPointF(0, 0), size));
  if (!band.transparent) painter.fillRect(QRectF(QPointF(0, 0), size), band.colour);
  for (const ReportField& f : band.fields) {
    if (!f.enabled) continue;
    QRectF rect = f.rectIn(size);
    if (f.kind == ReportField::Kind::RichText && f.stretch)
      rect.setHeight(std::max(rect.height(), neededHeight(f, rect.width())));
    if (f.autoSize)
      rect.setWidth(f.caption.isEmpty() ? 0 : QFontMetricsF(f.font).horizontalAdvance(f.caption) + 2 * TextInset);
    if (!f.transparent) painter.fillRect(rect, f.background);
    switch (f.kind) {
    case ReportField::Kind::Label:
    case ReportField::Kind::PageNumber:
      paintLabel(painter, f, rect);
      break;
    case ReportField::Kind::RichText:
      paintRichText(painter, f, rect);
      break;
    case ReportField::Kind::Image:
      paintImage(painter, f, rect);
      break;
    }
  }
  const auto& rules = band.rules;
  const qreal w = rules.width;
  if (rules.top) painter.fillRect(QRectF(0, 0, size.width(), w), rules.colour);
  if (rules.bottom) painter.fillRect(QRectF(0, size.height() - w, size.width(), w), rules.colour);
  if (rules.left) painter.fillRect(QRectF(0, 0, w, size.height()), rules.colour);
  if (rules.right) painter.fillRect(QRectF(size.width() - w, 0, w, size.height()), rules.colour);
  painter.restore();
}

} // namespace

void PaintPage(QPainter& painter, const ReportPage& page) {
  for (const PlacedBand& band : page.bands) paintBand(painter, band);
}

bool RenderPages(const std::vector<ReportPage>& pages, const BandedReport& report, QPagedPaintDevice& device, int from,
                 int to) {
  const int count = static_cast<int>(pages.size());
  from = std::max(1, from);
  to = to <= 0 ? count : std::min(to, count);
  if (from > to) return true;
  device.setPageLayout(report.pageLayout());
  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const qreal sx = device.logicalDpiX() / 96.0;
  const qreal sy = device.logicalDpiY() / 96.0;
  for (int n = from; n <= to; ++n) {
    if (n > from) device.newPage();
    painter.save();
    painter.scale(sx, sy);
    PaintPage(painter, pages[static_cast<std::size_t>(n - 1)]);
    painter.restore();
  }
  return painter.end();
}

bool WritePdf(const BandedReport& report, const QString& path, QString& error) {
  const QFileInfo target(path);
  if (!target.absoluteDir().exists()) {
    error = QStringLiteral("Le dossier « %1 » n'existe pas").arg(QDir::toNativeSeparators(target.absolutePath()));
    return false;
  }
  // Written beside the target and renamed over it once complete.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = QStringLiteral("Impossible d'écrire le fichier « %1 »").arg(QDir::toNativeSeparators(path));
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("Tessel"));
    if (!RenderPages(report.pages(), report, writer)) file.cancelWriting();
  }
  if (!file.commit()) {
    error = QStringLiteral("Impossible d'écrire le fichier « %1 »").arg(QDir::toNativeSeparators(path));
    return false;
  }
  return true;
}

} // namespace tessel
