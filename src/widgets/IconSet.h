#pragma once
// The program's pictures: SVG files compiled into the resources under
// ":/icons/", and the named image lists whose indexes the manifest
// (":/icons/manifest.tsv") fixes. Screens address pictures by list and index,
// as the image lists of the designed screens did.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

class QPainter;

namespace tessel {

// Resource path of one picture file, e.g. ":/icons/common-file-new.svg".
QString IconPath(const QString& file);

// A picture file rendered at `size` (device-independent pixels, sharp on
// high-density screens). A null pixmap when the file is missing.
QPixmap RenderPicture(const QString& file, QSize size);

// The files of a named list in index order, as the manifest gives them.
QStringList ManifestFiles(const QString& listName);

class ImageList {
public:
  ImageList() = default;
  // The list `listName` of the manifest, every picture rendered at `size`.
  ImageList(const QString& listName, QSize size);

  const QString& name() const { return name_; }
  QSize size() const { return size_; }
  int count() const { return int(pixmaps_.size()); }
  // Null pixmap / icon for an index out of range.
  QPixmap pixmap(int index) const;
  QIcon icon(int index) const;
  // Draws picture `index` with its top-left corner at (x, y); nothing for an
  // index out of range.
  void draw(QPainter& canvas, int x, int y, int index) const;

private:
  QString name_;
  QSize size_;
  QStringList files_;
  QList<QPixmap> pixmaps_;
};

// The product picture of 160 by 116 pixels, the square product logo and the
// application icon.
QPixmap ProductPicture();
QPixmap ProductLogo(QSize size);
QIcon ApplicationIcon();
// The maker's logo picture (265 by 56 as designed).
QPixmap MakerLogo(QSize size);

} // namespace tessel
