#pragma once
// Helpers of the widget tests: driving modal windows and writing small
// picture files.

#include "support/ModalWindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace tessel::test {

// A Windows bitmap of `size` filled with `fill`, whose file is then padded
// with zeros to `bytes` (when larger) so that its size on disk is exact.
inline QString writeBitmap(const QString& folder, const QString& name, QSize size, const QColor& fill,
                           qint64 bytes = 0) {
  QImage picture(size, QImage::Format_RGB888);
  picture.fill(fill);
  const QString path = QDir(folder).filePath(name);
  if (!picture.save(path, "BMP")) return {};
  if (bytes > 0) {
    QFile file(path);
    if (file.size() > bytes || !file.resize(bytes)) return {};
  }
  return path;
}

} // namespace tessel::test
