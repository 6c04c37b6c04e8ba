#pragma once
// What the object layer needs of a tree view: items with titles, objects and
// pictures. The desktop program implements it with its tree widget; tests
// with a plain recorder. Keeps the object layer free of widgets.

#include <QImage>

#include <optional>
#include <string>

namespace tessel {

class MObject_OCS;

// An item of the sink's tree: each sink derives its own.
struct TreeItem {
  virtual ~TreeItem() = default;

protected:
  TreeItem() = default;
};

class TreeSink {
public:
  virtual ~TreeSink() = default;

  // A new last child of `parent` (a top-level item when null). Titles are
  // Windows-1252 texts.
  virtual TreeItem* addItem(TreeItem* parent, const std::string& title, MObject_OCS* object) = 0;
  virtual MObject_OCS* objectOf(TreeItem* item) const = 0;
  virtual TreeItem* parentOf(TreeItem* item) const = 0;
  // Children of `item`, or the top-level items when null.
  virtual int childCount(TreeItem* item) const = 0;
  virtual TreeItem* child(TreeItem* item, int index) const = 0;
  virtual std::string titleOf(TreeItem* item) const = 0;

  // The view's picture list. A picture added with a mask colour shows that
  // colour as transparent; answers its index.
  virtual QImage image(int index) const = 0;
  virtual int addImage(const QImage& picture, std::optional<QRgb> maskColour) = 0;
  virtual int imageIndex(TreeItem* item) const = 0;
  // Sets both the image and the selected image of the item.
  virtual void setImageIndex(TreeItem* item, int index) = 0;
};

} // namespace tessel
