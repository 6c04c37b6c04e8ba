#include "widgets/PaintHelpers.h"

#include "widgets/IconSet.h"
#include "widgets/U_DM_metier.h"
#include "widgets/UiFonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace tessel {

QColor ButtonFaceColour() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }

QColor ColourFromBgr(std::uint32_t bgr) {
  return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

std::uint32_t BgrFromColour(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return std::uint32_t(rgb.red()) | std::uint32_t(rgb.green()) << 8 | std::uint32_t(rgb.blue()) << 16;
}

void PaintGradient(QPainter& canvas, const QColor& top, const QColor& bottom, const QRect& rect) {
  const int left = rect.left();
  const int right = rect.left() + rect.width(); // exclusive, like the band fills
  const int t = rect.top();
  const int h = rect.height();
  const double step = h / 256.0;
  if (step <= 0) return;

  const QColor a = top.toRgb();
  const QColor b = bottom.toRgb();
  const int dr = b.red() - a.red();
  const int dg = b.green() - a.green();
  const int db = b.blue() - a.blue();

  // Low rectangles take every k-th colour so that each band is about a pixel.
  const int k = step < 0.5 ? int(1 / step) : 1;

  const QBrush previous = canvas.brush();
  double y = 0;
  int i = 0;
  do {
    const int bandTop = t + int(y);
    y += k * step;
    const int bandBottom = t + int(y);
    const auto component = [i](int from, int delta) { return std::clamp(from + i * delta / 255, 0, 255); };
    canvas.fillRect(left, bandTop, right - left, bandBottom - bandTop,
                    QColor(component(a.red(), dr), component(a.green(), dg), component(a.blue(), db)));
    i += k;
  } while (y < h);
  canvas.setBrush(previous);
}

void DrawEmbossedText(QPainter& canvas, int x, int y, int style, const QString& text) {
  const Qt::BGMode previousMode = canvas.backgroundMode();
  const QPen previousPen = canvas.pen();
  canvas.setBackgroundMode(Qt::TransparentMode);
  // Drawn at the baseline; (x, y) is the top of the text cell.
  const int ascent = canvas.fontMetrics().ascent();
  const auto draw = [&](int px, int py) { canvas.drawText(px, py + ascent, text); };
  switch (style) {
  case Embossed:
    canvas.setPen(QColor(227, 228, 234));
    draw(x, y);
    canvas.setPen(Qt::black);
    draw(x + 1, y + 1);
    break;
  case Engraved:
    canvas.setPen(QColor(128, 128, 128));
    draw(x, y);
    canvas.setPen(Qt::white);
    draw(x + 1, y + 1);
    break;
  default:
    draw(x, y);
    break;
  }
  canvas.setPen(previousPen);
  canvas.setBackgroundMode(previousMode);
}

void PaintCaptionBand(QPainter& canvas, const QRect& box, const QString& title, const QColor& top,
                      int leftOffset, const QColor& bottom) {
  PaintGradient(canvas, top, bottom, box);
  const QFontMetrics metrics = canvas.fontMetrics();
  const int width = box.width();
  const int height = box.height();
  const int x = leftOffset + (width - leftOffset) / 2 - metrics.horizontalAdvance(title) / 2;
  const int y = (height - 2) / 2 - metrics.height() / 2;
  DrawEmbossedText(canvas, box.left() + x, box.top() + y, Embossed, title);
}

namespace {

double luminance(const QColor& colour) {
  const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  const QColor rgb = colour.toRgb();
  return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ContrastingColour(const QColor& background) {
  return ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background) ? QColor(Qt::black)
                                                                                       : QColor(Qt::white);
}

QColor ReadableColour(const QColor& colour, const QColor& background) {
  return ContrastRatio(colour, background) >= ReadableContrast ? colour : ContrastingColour(background);
}

QColor GradientColourAt(const QColor& top, const QColor& bottom, const QRect& rect, int y) {
  const double t = rect.height() > 0 ? std::clamp(double(y - rect.top()) / rect.height(), 0.0, 1.0) : 0.0;
  const QColor a = top.toRgb();
  const QColor b = bottom.toRgb();
  const auto mix = [t](int from, int to) { return from + int((to - from) * t); };
  return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

void DrawOutlinedText(QPainter& canvas, int x, int y, const QString& text, const QColor& colour,
                      const QColor& background) {
  const QPen previous = canvas.pen();
  if (ContrastRatio(colour, background) < ReadableContrast) {
    canvas.setPen(ContrastingColour(background));
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        if (dx || dy) DrawEmbossedText(canvas, x + dx, y + dy, PlainText, text);
  }
  canvas.setPen(colour);
  DrawEmbossedText(canvas, x, y, PlainText, text);
  canvas.setPen(previous);
}

int EngravedStyleOn(const QColor& background) {
  // Bold titles read from a ratio of 3.
  return ContrastRatio(Qt::white, background) >= 3 ? Engraved : Embossed;
}

QString FitText(const QFontMetrics& metrics, const QRect& rect, const QString& text, const QString& suffix) {
  const int limit = rect.width() - 10;
  if (metrics.horizontalAdvance(text) < limit) return text;
  QString shortened = text;
  while (!shortened.isEmpty()) {
    // Never split a surrogate pair.
    const qsizetype cut = shortened.size() >= 2 && shortened.back().isLowSurrogate() ? 2 : 1;
    shortened.chop(cut);
    if (metrics.horizontalAdvance(shortened + suffix) < limit) break;
  }
  return shortened + suffix;
}

QString FitText(const QPainter& canvas, const QRect& rect, const QString& text, const QString& suffix) {
  return FitText(canvas.fontMetrics(), rect, text, suffix);
}

void DrawFittedTitle(QPainter& canvas, const QRect& rect, const QString& text, int style) {
  const QFont base = MsSansSerif();
  int cellHeight = rect.height();
  int textWidth = 0;
  do {
    cellHeight = std::max(cellHeight - 10, SmallestTitleHeight);
    canvas.setFont(WithCellHeight(base, cellHeight));
    textWidth = canvas.fontMetrics().horizontalAdvance(text);
  } while (textWidth >= rect.width() - 10 && cellHeight > SmallestTitleHeight);
  const int x = rect.left() + rect.width() / 2 - textWidth / 2;
  const int y = rect.top() + rect.height() / 2 - canvas.fontMetrics().height() / 2;
  DrawEmbossedText(canvas, x, y, style, text);
}

std::vector<SmileyPlacement> SmileyPlacements(const QRect& rect, int mark) {
  const int y = rect.top() + 1;
  const QPoint first(rect.left() + 3, y);
  const QPoint second(rect.left() + 23, y);
  if (mark >= 1 && mark <= 5) return {{mark - 1, first}};
  if (mark >= 6 && mark <= 15) {
    // Pairs of distinct pictures in ascending order: 6 is (0,1), 7 (0,2) ... 15 (3,4).
    int n = 6;
    for (int a = 0; a < 5; ++a)
      for (int b = a + 1; b < 5; ++b, ++n)
        if (n == mark) return {{a, first}, {b, second}};
  }
  return {};
}

void DrawSmileys(QPainter& canvas, const QRect& rect, int mark, const ImageList& moods) {
  canvas.fillRect(rect, canvas.brush());
  for (const SmileyPlacement& p : SmileyPlacements(rect, mark)) moods.draw(canvas, p.topLeft.x(), p.topLeft.y(), p.index);
}

void DrawSmileys(QPainter& canvas, const QRect& rect, int mark) {
  if (TDM_metier* module = TDM_metier::instance()) {
    DrawSmileys(canvas, rect, mark, module->IL_smiley);
  } else {
    canvas.fillRect(rect, canvas.brush());
  }
}

} // namespace tessel
