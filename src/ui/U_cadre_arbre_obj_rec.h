#pragma once
// The taxonomy tree frame: one taxonomy (a tree of TObjRec nodes of one
// class) shown as a tree view in which the user creates, renames, edits,
// re-pictures, deletes and moves its nodes. Generic over the taxonomy class;
// the weekly timetable embeds one for the activity categories.

#include "objects/TreeSink.h"

#include <QIcon>
#include <QImage>
#include <QPersistentModelIndex>
#include <QString>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <optional>
#include <string>
#include <vector>

class QAbstractItemView;
class QAction;
class QMenu;
class QToolBar;

namespace tessel {

class ClassRef;
class ImageList;
class TFrame_obj_rec;
class TObjRec;

// A node of the tree: the taxonomy object it shows and its picture's index
// in the view's image list. Siblings sort by text as a French reader
// expects, ignoring case.
class TaxonomyNodeItem final : public QTreeWidgetItem, public TreeItem {
public:
  TaxonomyNodeItem(const QString& text, MObject_OCS* object);

  MObject_OCS* object() const { return object_; }
  TObjRec* node() const;
  int imageIndex() const { return imageIndex_; }
  void setImageIndex(int index) { imageIndex_ = index; }

  bool operator<(const QTreeWidgetItem& other) const override;

private:
  MObject_OCS* object_;
  int imageIndex_ = -1;
};

// The tree view, which is also the tree the object layer fills.
class TaxonomyTreeView final : public QTreeWidget, public TreeSink {
  Q_OBJECT
public:
  explicit TaxonomyTreeView(TFrame_obj_rec* frame);

  static TaxonomyNodeItem* itemOf(TreeItem* item) { return static_cast<TaxonomyNodeItem*>(item); }
  static TaxonomyNodeItem* itemOf(QTreeWidgetItem* item) { return static_cast<TaxonomyNodeItem*>(item); }
  TaxonomyNodeItem* selectedNode() const;
  TaxonomyNodeItem* nodeAt(const QPoint& viewportPos) const;
  TaxonomyNodeItem* nodeOfIndex(const QModelIndex& index) const;
  // The nodes that show `object`: more than one when several nodes list it.
  std::vector<TaxonomyNodeItem*> nodesShowing(const MObject_OCS* object) const;
  // Whether a node's text is being edited in place.
  bool editing() const { return state() == EditingState; }

  // The image list: `images` replaces every picture.
  void setImages(const std::vector<QImage>& images);
  int imageCount() const { return int(images_.size()); }

  // TreeSink.
  TreeItem* addItem(TreeItem* parent, const std::string& title, MObject_OCS* object) override;
  MObject_OCS* objectOf(TreeItem* item) const override;
  TreeItem* parentOf(TreeItem* item) const override;
  int childCount(TreeItem* item) const override;
  TreeItem* child(TreeItem* item, int index) const override;
  std::string titleOf(TreeItem* item) const override;
  QImage image(int index) const override;
  int addImage(const QImage& picture, std::optional<QRgb> maskColour) override;
  int imageIndex(TreeItem* item) const override;
  void setImageIndex(TreeItem* item, int index) override;

  // What a drag of the selected node carries (null without one): the
  // view's items, and under NodeMimeType() a mark of this view for
  // platforms whose drop events do not name their source.
  QMimeData* NodeDragData() const;
  static QString NodeMimeType();

protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  bool startedHere(const QDropEvent* event) const;
  bool acceptsDrag(const QDropEvent* event) const;

  TFrame_obj_rec* frame_;
  std::vector<QImage> images_;
  std::vector<QIcon> icons_;
  QByteArray dragToken_;
};

// The nodes go when the document is about to close; the next ShowTaxonomy
// fills the tree again.
class TFrame_obj_rec : public QWidget {
  Q_OBJECT
public:
  explicit TFrame_obj_rec(QWidget* parent = nullptr);
  ~TFrame_obj_rec() override;

  // Fills the tree with the taxonomy of `cls` (creating its root and default
  // tree when the class has no object yet); node icons come from `images`,
  // copied, to which the nodes' own pictures are added.
  void ShowTaxonomy(const ClassRef& cls, const ImageList& images);
  // The node showing `object` takes its current name and picture; nothing
  // when no node shows it.
  void RefreshNode(MObject_OCS* object);
  // The tree made again from the objects (after an undo or a redo), its open
  // nodes and its selection kept.
  void Reload();
  void SetTitleBarVisible(bool visible);
  // The tree itself, for owners that handle its double clicks, or accept
  // drops from it (a drop's source() is this view; the dragged node is the
  // selected one).
  QAbstractItemView* TreeView() const;
  // The object of the selected node, null when none is selected.
  MObject_OCS* SelectedObject() const;
  // Whether the selected node is the tree's top node.
  bool TopNodeSelected() const;

  // The class shown, null before the first ShowTaxonomy.
  const ClassRef* TaxonomyClass() const { return class_; }

  // The commands of the tool bar and the context menu, on the selected node.
  void CreateNode();
  void DeleteNode();
  // Starts editing the node's text in place; the root and invariant nodes
  // cannot be renamed.
  void RenameNode();
  void ChangeIcon();
  void EditNode();
  // Moves `dragged` below `target`, as a drop does.
  void MoveNode(QTreeWidgetItem* dragged, QTreeWidgetItem* target);

  QWidget* const PB_titre;
  QToolBar* const ToolBar;
  TaxonomyTreeView* const TV_arbre;
  QMenu* const PM_arbre;

  QAction* const Act_nouveau;
  QAction* const Act_supprimer;
  QAction* const Act_renommer;
  QAction* const Act_modifier_icone;
  QAction* const Act_modifier;
  QAction* const Act_rapport;
  QAction* const Act_etat_imprimable;
  QAction* const Act_xml;
  QAction* const Act_nouvelle_note;
  QAction* const Act_importer;
  QAction* const Act_exporter;
  QAction* const Act_detruire_arbre;

signals:
  // After the user renamed a node, changed its icon or edited it in the
  // category dialog.
  void nodeChanged(MObject_OCS* object);
  // Just before a deleted node's object goes (each object of a deleted
  // subtree in turn), while it can still be read.
  void nodeAboutToBeDeleted(MObject_OCS* object);

private:
  friend class TaxonomyNodeDelegate;
  friend class TaxonomyTreeView;

  // `givePictures`: nodes without a picture get their parent's, the top node the first of the image list.
  void fill(bool givePictures = true);
  void updateActions();
  void showContextMenu(const QPoint& pos);
  // The text typed in place for the node at `index`, once its editor closed.
  void commitRename(const QPersistentModelIndex& index, const QString& text);
  void setNodeColour(TaxonomyNodeItem* item);
  void setModified();
  void sort();

  const ClassRef* class_ = nullptr;
};

} // namespace tessel
