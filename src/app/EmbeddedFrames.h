#pragma once
// Frames of the user-interface layer that the screens of this layer embed or
// open: the taxonomy tree, the note viewer and the category dialog. Screens
// know them only through these interfaces; the user-interface layer installs
// the factories at start-up (InstallUserInterface), so this layer never
// depends on the one above it.

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

class QAbstractItemView;

namespace tessel {

class ClassRef;
class ImageList;
class MObject_OCS;
class TMainForm;

// A taxonomy shown as a tree that the user edits in place.
class TaxonomyTreeFrame : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;

  // Fills the tree with the taxonomy of `cls` (creating its root and default
  // tree when the class has no object yet); node icons come from `images`,
  // copied, to which the nodes' own pictures are added.
  virtual void ShowTaxonomy(const ClassRef& cls, const ImageList& images) = 0;
  // The node showing `object` takes its current name and picture; nothing
  // when no node shows it.
  virtual void RefreshNode(MObject_OCS* object) = 0;
  virtual void SetTitleBarVisible(bool visible) = 0;

  // The tree itself, for owners that handle its double clicks, or accept
  // drops from it (a drop's source() is this view; the dragged node is the
  // selected one).
  virtual QAbstractItemView* TreeView() const = 0;
  // The object of the selected node, null when none is selected.
  virtual MObject_OCS* SelectedObject() const = 0;
  // Whether the selected node is the tree's top node.
  virtual bool TopNodeSelected() const = 0;

signals:
  // After the user renamed a node, changed its icon or edited it in the
  // category dialog.
  void nodeChanged(MObject_OCS* object);
};

// The read-only view of one note under the timetable's grid.
class NoteViewerFrame : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;

  // Shows `object` (or nothing) on `colour`; an invalid colour means the
  // colour of the object's class in the class registry.
  virtual void ShowNote(MObject_OCS* object, const QColor& colour = QColor()) = 0;
  virtual void ClearNote() = 0;
  virtual MObject_OCS* CurrentObject() const = 0;
};

// What the category dialog edits.
struct CategoryDialogFields {
  QString caption;
  QString name;
  QString defaultName; // shown while the name is empty
  QString description; // lines end with "\n"
  QColor colour = Qt::white;
  bool colourEditable = false;
  QImage picture;
};

struct EmbeddedFrames {
  std::function<TaxonomyTreeFrame*(QWidget* parent)> taxonomyTree;
  std::function<NoteViewerFrame*(QWidget* parent)> noteViewer;
  // Modal; true when the user confirmed, `fields` then holding the edits.
  std::function<bool(QWidget* owner, CategoryDialogFields& fields)> categoryDialog;
};

// The factories of this run; empty members until the user-interface layer
// installs them.
EmbeddedFrames& embeddedFrames();

// Defined by the user-interface layer: installs the factories above and wires
// the main window's commands that open its windows.
void InstallUserInterface(TMainForm& mainWindow);

} // namespace tessel
