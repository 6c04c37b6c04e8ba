#include "widgets/IconSet.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <map>

namespace tessel {

namespace {

// list name -> (index -> file), read once from the manifest.
using Manifest = std::map<QString, std::map<int, QString>>;

const Manifest& manifest() {
  static const Manifest table = [] {
    Manifest result;
    QFile file(QStringLiteral(":/icons/manifest.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return result;
    QTextStream in(&file);
    in.readLine(); // column names
    while (!in.atEnd()) {
      const QStringList fields = in.readLine().split(QLatin1Char('\t'));
      if (fields.size() < 3) continue;
      bool isIndex = false;
      const int index = fields[1].toInt(&isIndex);
      if (isIndex) result[fields[0]][index] = fields[2]; // "-": not part of a list
    }
    return result;
  }();
  return table;
}

qreal screenRatio() {
  return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

} // namespace

QString IconPath(const QString& file) { return QStringLiteral(":/icons/") + file; }

QPixmap RenderPicture(const QString& file, QSize size) {
  QSvgRenderer renderer(IconPath(file));
  if (!renderer.isValid() || size.isEmpty()) return {};
  const qreal ratio = screenRatio();
  QPixmap pixmap(size * ratio);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    renderer.render(&painter);
  }
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

QStringList ManifestFiles(const QString& listName) {
  QStringList files;
  const auto found = manifest().find(listName);
  if (found == manifest().end()) return files;
  // Indexes are contiguous from 0; a gap keeps its slot empty so that the
  // later pictures stay at their indexes.
  for (const auto& [index, file] : found->second) {
    while (files.size() < index) files.append(QString());
    files.append(file);
  }
  return files;
}

ImageList::ImageList(const QString& listName, QSize size)
    : name_(listName), size_(size), files_(ManifestFiles(listName)) {
  for (const QString& file : files_) pixmaps_.append(RenderPicture(file, size));
}

QPixmap ImageList::pixmap(int index) const {
  return index >= 0 && index < count() ? pixmaps_[index] : QPixmap();
}

QIcon ImageList::icon(int index) const {
  if (index < 0 || index >= count() || files_[index].isEmpty()) return {};
  // The SVG itself, so that menus and tool bars get it sharp at any size.
  QIcon result(IconPath(files_[index]));
  result.addPixmap(pixmaps_[index]);
  return result;
}

void ImageList::draw(QPainter& canvas, int x, int y, int index) const {
  if (index < 0 || index >= count()) return;
  canvas.drawPixmap(x, y, pixmaps_[index]);
}

QPixmap ProductPicture() { return RenderPicture(QStringLiteral("product-picture.svg"), QSize(160, 116)); }

QPixmap ProductLogo(QSize size) { return RenderPicture(QStringLiteral("product-logo.svg"), size); }

QIcon ApplicationIcon() { return QIcon(IconPath(QStringLiteral("app-icon.svg"))); }

QPixmap MakerLogo(QSize size) { return RenderPicture(QStringLiteral("maker-logo.svg"), size); }

} // namespace tessel
