#pragma once
// The fonts the screens were designed with, mapped to fonts of this desktop:
// "MS Sans Serif" is the desktop's default user-interface font, "Arial" is
// Liberation Sans and "Courier" Liberation Mono (same metrics).

#include <QFont>

namespace tessel {

QFont MsSansSerif(int pointSize = 8);
QFont Arial(int pointSize);
QFont Courier(int pointSize);

// `font` resized so that its character cell (ascent + descent) is
// `cellHeight` pixels, the way the screens size fonts in pixels.
QFont WithCellHeight(QFont font, int cellHeight);

} // namespace tessel
