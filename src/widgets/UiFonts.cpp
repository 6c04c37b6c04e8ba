#include "widgets/UiFonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace tessel {

QFont MsSansSerif(int pointSize) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSize(pointSize);
  return font;
}

QFont Arial(int pointSize) {
  QFont font(QStringLiteral("Liberation Sans"), pointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QFont Courier(int pointSize) {
  QFont font(QStringLiteral("Liberation Mono"), pointSize);
  font.setStyleHint(QFont::Monospace);
  return font;
}

QFont WithCellHeight(QFont font, int cellHeight) {
  // The cell is a fixed multiple of the pixel size for a given face; measure
  // it once at a large size for precision.
  constexpr int reference = 100;
  font.setPixelSize(reference);
  const qreal cell = QFontMetricsF(font).height();
  const qreal ratio = cell > 0 ? cell / reference : 1.0;
  font.setPixelSize(std::max(1, int(std::lround(cellHeight / ratio))));
  return font;
}

} // namespace tessel
