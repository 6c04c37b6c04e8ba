#pragma once
// Small stand-ins for the frames the user-interface layer gives the screens:
// a category tree on a QTreeWidget, a note viewer that remembers what it was
// told to show, and a category dialog answering from the test. Install()
// puts them in place of the real ones; Uninstall() takes them away again.

#include "app/EmbeddedFrames.h"
#include "foundation/Cp1252.h"
#include "objects/U_OR_class.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace tessel::test {

class FakeTaxonomyTree final : public TaxonomyTreeFrame {
public:
  explicit FakeTaxonomyTree(QWidget* parent) : TaxonomyTreeFrame(parent), tree(new QTreeWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree);
    tree->setHeaderHidden(true);
    tree->setDragEnabled(true);
    tree->setDragDropMode(QAbstractItemView::DragOnly);
    tree->setDefaultDropAction(Qt::CopyAction);
  }

  // The first loaded object is the root; its children follow the class's links.
  void ShowTaxonomy(const ClassRef& cls, const ImageList&) override {
    tree->clear();
    ++shown;
    if (cls.LoadedCount() > 0) add(nullptr, static_cast<TObjRec*>(cls.LoadedItem(0)));
    tree->expandAll();
  }
  void RefreshNode(MObject_OCS* object) override {
    refreshed.push_back(object);
    if (QTreeWidgetItem* item = itemOf(object))
      item->setText(0, fromCp1252(static_cast<TObjRec*>(object)->Name()));
  }
  void SetTitleBarVisible(bool visible) override { titleBarVisible = visible; }
  QAbstractItemView* TreeView() const override { return tree; }
  MObject_OCS* SelectedObject() const override {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : objectOf(selected.front());
  }
  bool TopNodeSelected() const override {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return !selected.isEmpty() && selected.front() == tree->topLevelItem(0);
  }

  QTreeWidgetItem* itemOf(const MObject_OCS* object) const {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
      if (objectOf(*it) == object) return *it;
    return nullptr;
  }
  QTreeWidgetItem* itemNamed(const QString& name) const {
    const QList<QTreeWidgetItem*> found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
  }
  void changed(MObject_OCS* object) { emit nodeChanged(object); }

  QTreeWidget* const tree;
  int shown = 0;
  bool titleBarVisible = true;
  std::vector<MObject_OCS*> refreshed;

private:
  static MObject_OCS* objectOf(const QTreeWidgetItem* item) {
    return reinterpret_cast<MObject_OCS*>(item->data(0, Qt::UserRole).value<quintptr>());
  }
  void add(QTreeWidgetItem* parent, TObjRec* node) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, fromCp1252(node->Name()));
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(node)));
    for (TObjRec* child : node->Children()) add(item, child);
  }
};

class FakeNoteViewer final : public NoteViewerFrame {
public:
  using NoteViewerFrame::NoteViewerFrame;
  void ShowNote(MObject_OCS* object, const QColor& colour) override {
    current = object;
    this->colour = colour;
    ++shows;
  }
  void ClearNote() override {
    current = nullptr;
    ++clears;
  }
  MObject_OCS* CurrentObject() const override { return current; }

  MObject_OCS* current = nullptr;
  QColor colour;
  int shows = 0;
  int clears = 0;
};

// What the fake category dialog saw, and how it answers: `edit` changes the
// fields and answers whether the user confirmed.
struct FakeCategoryDialog {
  std::vector<CategoryDialogFields> opened;
  std::function<bool(CategoryDialogFields&)> edit = [](CategoryDialogFields&) { return false; };
};

inline void Install(FakeCategoryDialog& dialog) {
  EmbeddedFrames& frames = embeddedFrames();
  frames.taxonomyTree = [](QWidget* parent) { return new FakeTaxonomyTree(parent); };
  frames.noteViewer = [](QWidget* parent) { return new FakeNoteViewer(parent); };
  frames.categoryDialog = [&dialog](QWidget*, CategoryDialogFields& fields) {
    dialog.opened.push_back(fields);
    return dialog.edit(fields);
  };
}

inline void Uninstall() { embeddedFrames() = EmbeddedFrames(); }

} // namespace tessel::test
