#include "ui/U_cadre_arbre_obj_rec.h"

#include "foundation/Cp1252.h"
#include "foundation/F_erreur.h"
#include "foundation/UserPrompts.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "objects/U_OR_class.h"
#include "ui/Bmpdialog.h"
#include "ui/Fenetre_definition_categorie.h"
#include "widgets/EditSteps.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"

#include <QAction>
#include <QBitmap>
#include <QCollator>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolTip>
#include <QUuid>
#include <QVBoxLayout>

#include <functional>
#include <memory>
#include <set>
#include <string_view>

namespace tessel {

namespace {

// The frame's texts, by number.
enum Message {
  CannotDelete,
  NothingSelected,
  EmptyName,
  RenameDuplicate,
  DefaultName,
  DialogCaption,
  CreateDuplicate,
  InitialName,
  ConfirmDelete,
  ReservedName,
  CannotEdit,
};

constexpr std::string_view Messages[] = {
    "Impossible de détruire cette catégorie "_w,
    "Aucune catégorie n'a été sélectionnée !"_w,
    "Le nom d'une catégorie ne peut pas être vide !"_w,
    "Ce nom à déjà été utilisé pour une catégorie de même niveau !"_w,
    "Libellé par défaut"_w,
    "Définir un nom pour la nouvelle catégorie "_w,
    "Ce nom à déjà été utilisé pour une catégorie de même niveau !"_w,
    "Nom de la catégorie"_w,
    "La catégorie '%s' contient une ou plusieurs sous-catégories\r\n"
    "Désirez-vous vraiment le(s) supprimer ?\r\n\r\n"
    "Remarque : les notes contenues dans ces catégories et sous-catégories ne seront pas supprimées.\r\n"_w,
    "Nom de la catégorie réservée"_w,
    "Modification de ce noeud impossible !"_w,
};

constexpr std::string_view SubthemeMove = "Impossible de déplacer dans un sous-thème"_w;
// No node may take the bin's name.
constexpr std::string_view ReservedNodeName = "Poubelle";

QString messageText(Message m) { return fromCp1252(Messages[m]); }

void refuse(std::string_view message) { prompts().message(MessageKind::Warning, std::string(message)); }
void refuse(Message m) { refuse(Messages[m]); }

constexpr QSize IconSize{16, 16};

QIcon actionIcon(const char* file) { return QIcon(RenderPicture(QString::fromLatin1(file), IconSize)); }

// Whether `target` is `from` or one of its descendants (guarding against
// lists that loop).
bool reaches(TObjRec* from, const TObjRec* target, std::set<const TObjRec*>& seen) {
  if (from == target) return true;
  if (!seen.insert(from).second) return false;
  for (TObjRec* child : from->Children())
    if (child && reaches(child, target, seen)) return true;
  return false;
}

// Deletes the subtree below `node` (an invariant child goes, its subtree
// stays), each object once `deleting` has seen it; `gone` collects every
// object deleted and guards against nodes listed twice or lists that loop.
void deleteSubtree(TObjRec* node, std::set<const MObject_OCS*>& gone, const std::function<void(TObjRec*)>& deleting) {
  const std::vector<TObjRec*> children = node->Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    TObjRec* child = *it;
    if (!child || !gone.insert(child).second) continue;
    if (!child->Invariant()) deleteSubtree(child, gone, deleting);
    node->RemoveChild(child);
    deleting(child);
    child->Delete();
  }
}

} // namespace

// ---------------------------------------------------------------- items

TaxonomyNodeItem::TaxonomyNodeItem(const QString& text, MObject_OCS* object) : object_(object) {
  setText(0, text);
}

TObjRec* TaxonomyNodeItem::node() const { return dynamic_cast<TObjRec*>(object_); }

bool TaxonomyNodeItem::operator<(const QTreeWidgetItem& other) const {
  static const QCollator collator = [] {
    QCollator c(QLocale(QLocale::French, QLocale::France));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
  }();
  return collator.compare(text(0), other.text(0)) < 0;
}

// ---------------------------------------------------------------- delegate

// Texts typed in place go to the frame, which checks them once the editor
// has closed: a refusal's message box must not take the focus from a live
// editor, which would commit it again.
class TaxonomyNodeDelegate final : public QStyledItemDelegate {
public:
  TaxonomyNodeDelegate(TFrame_obj_rec* frame, QObject* parent) : QStyledItemDelegate(parent), frame_(frame) {}

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return;
    const QPersistentModelIndex node(index);
    const QString typed = line->text();
    QMetaObject::invokeMethod(frame_, Reported([frame = frame_, node, typed] { frame->commitRename(node, typed); }),
                              Qt::QueuedConnection);
  }

private:
  TFrame_obj_rec* frame_;
};

// ---------------------------------------------------------------- title bar and tool bar

class TaxonomyTitleBar final : public QWidget {
public:
  explicit TaxonomyTitleBar(TFrame_obj_rec* frame) : QWidget(frame), frame_(frame) { setFixedHeight(20); }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const ClassRef* cls = frame_->TaxonomyClass();
    if (!cls) {
      painter.fillRect(rect(), Qt::white);
      return;
    }
    PaintGradient(painter, ColourFromBgr(cls->TaxonomyColour()), Qt::white, rect());
    DrawFittedTitle(painter, rect(), fromCp1252(cls->TaxonomyName()), Embossed);
  }

private:
  TFrame_obj_rec* frame_;
};

// A flat tool bar on the frame's background, with etched rules at its top
// and bottom.
class RuledToolBar final : public QToolBar {
public:
  using QToolBar::QToolBar;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, w, 0);
    painter.drawLine(0, h - 2, w, h - 2);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 1, w, 1);
    painter.drawLine(0, h - 1, w, h - 1);
  }
};

// ---------------------------------------------------------------- tree view

TaxonomyTreeView::TaxonomyTreeView(TFrame_obj_rec* frame)
    : QTreeWidget(frame), frame_(frame), dragToken_(QUuid::createUuid().toByteArray()) {
  setHeaderHidden(true);
  setColumnCount(1);
  setFrameShape(QFrame::NoFrame);
  setIndentation(19);
  setRootIsDecorated(false);
  // Top-level nodes have no arrow to open them again: they stay open.
  connect(this, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem* item) {
    if (!item->parent()) item->setExpanded(true);
  });
  setIconSize(IconSize);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setItemDelegate(new TaxonomyNodeDelegate(frame, this));
  // The selection stays as visible when the focus is elsewhere.
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
  colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   colours.color(QPalette::Active, QPalette::HighlightedText));
  setPalette(colours);
}

TaxonomyNodeItem* TaxonomyTreeView::selectedNode() const {
  const QList<QTreeWidgetItem*> items = selectedItems();
  return items.isEmpty() ? nullptr : itemOf(items.first());
}

TaxonomyNodeItem* TaxonomyTreeView::nodeAt(const QPoint& viewportPos) const {
  QTreeWidgetItem* item = itemAt(viewportPos);
  return item ? itemOf(item) : nullptr;
}

TaxonomyNodeItem* TaxonomyTreeView::nodeOfIndex(const QModelIndex& index) const {
  QTreeWidgetItem* item = index.isValid() ? itemFromIndex(index) : nullptr;
  return item ? itemOf(item) : nullptr;
}

std::vector<TaxonomyNodeItem*> TaxonomyTreeView::nodesShowing(const MObject_OCS* object) const {
  std::vector<TaxonomyNodeItem*> nodes;
  for (QTreeWidgetItemIterator it(const_cast<TaxonomyTreeView*>(this)); *it; ++it)
    if (itemOf(*it)->object() == object) nodes.push_back(itemOf(*it));
  return nodes;
}

void TaxonomyTreeView::setImages(const std::vector<QImage>& images) {
  images_.clear();
  icons_.clear();
  for (const QImage& picture : images) addImage(picture, std::nullopt);
}

TreeItem* TaxonomyTreeView::addItem(TreeItem* parent, const std::string& title, MObject_OCS* object) {
  auto* item = new TaxonomyNodeItem(fromCp1252(title), object);
  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
  // The root and the invariant nodes keep their names.
  const TObjRec* node = item->node();
  if (parent && node && !node->Invariant()) flags |= Qt::ItemIsEditable;
  item->setFlags(flags);
  if (parent)
    itemOf(parent)->addChild(item);
  else
    addTopLevelItem(item);
  frame_->setNodeColour(item);
  return item;
}

MObject_OCS* TaxonomyTreeView::objectOf(TreeItem* item) const { return item ? itemOf(item)->object() : nullptr; }

TreeItem* TaxonomyTreeView::parentOf(TreeItem* item) const {
  QTreeWidgetItem* parent = item ? itemOf(item)->parent() : nullptr;
  return parent ? itemOf(parent) : nullptr;
}

int TaxonomyTreeView::childCount(TreeItem* item) const {
  return item ? itemOf(item)->childCount() : topLevelItemCount();
}

TreeItem* TaxonomyTreeView::child(TreeItem* item, int index) const {
  QTreeWidgetItem* found = item ? itemOf(item)->child(index) : topLevelItem(index);
  return found ? itemOf(found) : nullptr;
}

std::string TaxonomyTreeView::titleOf(TreeItem* item) const { return toCp1252(itemOf(item)->text(0)); }

QImage TaxonomyTreeView::image(int index) const {
  if (index < 0 || index >= imageCount()) return {};
  return images_[std::size_t(index)];
}

int TaxonomyTreeView::addImage(const QImage& picture, std::optional<QRgb> maskColour) {
  QPixmap shown = QPixmap::fromImage(picture);
  if (maskColour && !shown.isNull()) shown.setMask(shown.createMaskFromColor(QColor::fromRgb(*maskColour)));
  if (!shown.isNull() && shown.size() != IconSize)
    shown = shown.scaled(IconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  images_.push_back(picture);
  icons_.push_back(shown.isNull() ? QIcon() : QIcon(shown));
  return imageCount() - 1;
}

int TaxonomyTreeView::imageIndex(TreeItem* item) const { return itemOf(item)->imageIndex(); }

void TaxonomyTreeView::setImageIndex(TreeItem* item, int index) {
  TaxonomyNodeItem* node = itemOf(item);
  node->setImageIndex(index);
  node->setIcon(0, index >= 0 && index < imageCount() ? icons_[std::size_t(index)] : QIcon());
}

QString TaxonomyTreeView::NodeMimeType() { return QStringLiteral("application/x-tessel-taxonomy-node"); }

void TaxonomyTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && !editing()) {
    RunReported([this] { frame_->DeleteNode(); });
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

bool TaxonomyTreeView::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTreeWidget::viewportEvent(event);
  // The full text of a node that the view's width cuts.
  auto* help = static_cast<QHelpEvent*>(event);
  QTreeWidgetItem* item = itemAt(help->pos());
  if (!item) return QTreeWidget::viewportEvent(event);
  const QRect cell = visualItemRect(item);
  const int needed = iconSize().width() + 12 + fontMetrics().horizontalAdvance(item->text(0));
  if (needed > cell.width() || cell.right() > viewport()->width())
    QToolTip::showText(help->globalPos(), item->text(0), viewport(), cell);
  else
    QToolTip::hideText();
  return true;
}

void TaxonomyTreeView::contextMenuEvent(QContextMenuEvent* event) {
  QPoint pos = event->pos();
  if (event->reason() == QContextMenuEvent::Keyboard) {
    QTreeWidgetItem* current = selectedNode();
    pos = current ? visualItemRect(current).center() : QPoint(0, 0);
  }
  frame_->showContextMenu(pos);
}

QMimeData* TaxonomyTreeView::NodeDragData() const {
  TaxonomyNodeItem* dragged = selectedNode();
  QMimeData* data = dragged ? mimeData({dragged}) : nullptr;
  if (data) data->setData(NodeMimeType(), dragToken_);
  return data;
}

void TaxonomyTreeView::startDrag(Qt::DropActions supportedActions) {
  TaxonomyNodeItem* dragged = selectedNode();
  QMimeData* data = NodeDragData();
  if (!data) return;
  // Moves are made by this view's drop; what the target answers removes
  // nothing here (owners accept drops of nodes on their own widgets).
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  drag->setPixmap(dragged->icon(0).pixmap(IconSize));
  drag->exec(supportedActions | Qt::MoveAction, Qt::MoveAction);
}

bool TaxonomyTreeView::startedHere(const QDropEvent* event) const {
  if (event->source() == this) return true;
  const QMimeData* data = event->mimeData();
  return data && data->data(NodeMimeType()) == dragToken_;
}

bool TaxonomyTreeView::acceptsDrag(const QDropEvent* event) const {
  // Drags from other trees, from lists or from anything else move nothing.
  if (!startedHere(event)) return false;
  const TaxonomyNodeItem* dragged = selectedNode();
  const TObjRec* node = dragged ? dragged->node() : nullptr;
  if (!node || node->Invariant()) return false;
  return dragged->parent() && nodeAt(event->position().toPoint());
}

void TaxonomyTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (!startedHere(event)) {
    event->ignore();
    return;
  }
  QTreeWidget::dragEnterEvent(event);
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void TaxonomyTreeView::dragMoveEvent(QDragMoveEvent* event) {
  QTreeWidget::dragMoveEvent(event); // scrolling and the drop indicator
  if (acceptsDrag(event)) {
    event->setDropAction(Qt::MoveAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void TaxonomyTreeView::dropEvent(QDropEvent* event) {
  stopAutoScroll();
  setState(QAbstractItemView::NoState);
  viewport()->update();
  if (!acceptsDrag(event)) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::MoveAction);
  event->accept();
  // The move (and its refusal box) waits for the drag to end.
  const QPersistentModelIndex dragged(indexFromItem(selectedNode()));
  const QPersistentModelIndex target(indexFromItem(nodeAt(event->position().toPoint())));
  QMetaObject::invokeMethod(this, Reported([this, dragged, target] {
                              TaxonomyNodeItem* from = nodeOfIndex(dragged);
                              TaxonomyNodeItem* to = nodeOfIndex(target);
                              if (from && to) frame_->MoveNode(from, to);
                            }),
                            Qt::QueuedConnection);
}

// ---------------------------------------------------------------- frame

TFrame_obj_rec::TFrame_obj_rec(QWidget* parent)
    : QWidget(parent),
      PB_titre(new TaxonomyTitleBar(this)),
      ToolBar(new RuledToolBar(this)),
      TV_arbre(new TaxonomyTreeView(this)),
      PM_arbre(new QMenu(this)),
      Act_nouveau(new QAction(actionIcon("action-category-add.svg"), QStringLiteral("Nouveau"), this)),
      Act_supprimer(new QAction(actionIcon("action-category-delete.svg"), QStringLiteral("Supprimer"), this)),
      Act_renommer(new QAction(actionIcon("action-category-rename.svg"), QStringLiteral("Renommer"), this)),
      Act_modifier_icone(
          new QAction(actionIcon("action-category-change-icon.svg"), QStringLiteral("Modifier icone..."), this)),
      Act_modifier(new QAction(actionIcon("action-category-edit.svg"),
                               QStringLiteral("Modifier texte, couleur, icone, ..."), this)),
      Act_rapport(new QAction(actionIcon("action-generate-report.svg"), QStringLiteral("Générer un rapport"), this)),
      Act_etat_imprimable(
          new QAction(actionIcon("common-print.svg"), QStringLiteral("Générer un état imprimable"), this)),
      Act_xml(new QAction(actionIcon("action-export-xml.svg"), QStringLiteral("Genération XML"), this)),
      Act_nouvelle_note(
          new QAction(actionIcon("common-comment-new.svg"), QStringLiteral("Créer une nouvelle note"), this)),
      Act_importer(
          new QAction(actionIcon("action-subtree-import.svg"), QStringLiteral("Importer un sous-arbre..."), this)),
      Act_exporter(
          new QAction(actionIcon("action-subtree-export.svg"), QStringLiteral("Exporter un sous-arbre..."), this)),
      Act_detruire_arbre(
          new QAction(actionIcon("action-tree-destroy.svg"), QStringLiteral("Detruire arbre..."), this)) {
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::white);
  setPalette(background);

  Act_nouveau->setToolTip(QStringLiteral("Ajouter une catégorie"));
  Act_supprimer->setToolTip(QStringLiteral("Supprimer une catégorie"));
  Act_modifier_icone->setToolTip(QStringLiteral("Changer l'icone d'une catégorie"));
  Act_detruire_arbre->setToolTip(QStringLiteral("Detruire arbre..."));
  Act_detruire_arbre->setVisible(false);
  for (QAction* never : {Act_etat_imprimable, Act_xml, Act_nouvelle_note, Act_importer, Act_exporter})
    never->setEnabled(false);

  // Keys of the tree itself, not of a node's text being edited.
  Act_nouveau->setShortcut(QKeySequence(Qt::Key_Insert));
  Act_supprimer->setShortcut(QKeySequence(Qt::Key_Delete));
  Act_renommer->setShortcut(QKeySequence(Qt::Key_F2));
  for (QAction* keyed : {Act_nouveau, Act_renommer}) {
    keyed->setShortcutContext(Qt::WidgetShortcut);
    TV_arbre->addAction(keyed);
  }
  // Delete is the tree's own key (see TaxonomyTreeView::keyPressEvent); the
  // action only shows it.
  Act_supprimer->setShortcutContext(Qt::WidgetShortcut);

  connect(Act_nouveau, &QAction::triggered, this, Reported([this] { CreateNode(); }));
  connect(Act_supprimer, &QAction::triggered, this, Reported([this] { DeleteNode(); }));
  connect(Act_renommer, &QAction::triggered, this, Reported([this] { RenameNode(); }));
  connect(Act_modifier_icone, &QAction::triggered, this, Reported([this] { ChangeIcon(); }));
  connect(Act_modifier, &QAction::triggered, this, Reported([this] { EditNode(); }));

  ToolBar->setObjectName(QStringLiteral("ToolBar"));
  ToolBar->setFixedHeight(25);
  ToolBar->setMovable(false);
  ToolBar->setFloatable(false);
  ToolBar->setIconSize(IconSize);
  ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar->addAction(Act_nouveau);
  ToolBar->addAction(Act_supprimer);
  ToolBar->addAction(Act_modifier_icone);
  ToolBar->addSeparator();
  ToolBar->addAction(Act_rapport);
  ToolBar->addAction(Act_detruire_arbre);

  PM_arbre->addActions({Act_nouveau, Act_supprimer, Act_renommer});
  PM_arbre->addSeparator();
  PM_arbre->addActions({Act_modifier_icone, Act_modifier});
  PM_arbre->addSeparator();
  PM_arbre->addActions({Act_rapport, Act_etat_imprimable});
  PM_arbre->addSeparator();
  PM_arbre->addActions({Act_xml, Act_nouvelle_note});
  PM_arbre->addSeparator();
  PM_arbre->addActions({Act_importer, Act_exporter});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(PB_titre);
  layout->addWidget(ToolBar);
  layout->addWidget(TV_arbre, 1);

  connect(TV_arbre, &QTreeWidget::itemSelectionChanged, this, &TFrame_obj_rec::updateActions);
  updateActions();
  connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, this, [this] {
    TV_arbre->clear();
    updateActions();
  });
  connect(&EditHistory::instance(), &EditHistory::restored, this, &TFrame_obj_rec::Reload);
}

TFrame_obj_rec::~TFrame_obj_rec() = default;

void TFrame_obj_rec::ShowTaxonomy(const ClassRef& cls, const ImageList& images) {
  std::vector<QImage> pictures;
  for (int i = 0; i < images.count(); ++i) {
    QImage picture = images.pixmap(i).toImage();
    if (picture.size() != images.size())
      picture = picture.scaled(images.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(1);
    pictures.push_back(picture);
  }
  TV_arbre->setImages(pictures);
  class_ = &cls;
  PB_titre->update();
  fill();
}

void TFrame_obj_rec::fill(bool givePictures) {
  const ClassRef& cls = *class_;
  TV_arbre->setUpdatesEnabled(false);
  TV_arbre->clear();
  if (cls.LoadedCount() > 0) {
    // The roots: nodes that no node of the class lists. Roots after the
    // first show below it.
    for (MObject_OCS* object : cls.LoadedObjects()) {
      auto* node = dynamic_cast<TObjRec*>(object);
      if (!node || !Storage::ReferencingObjects(node->entite(), &cls).empty()) continue;
      QTreeWidgetItem* first = TV_arbre->topLevelItem(0);
      TObjRec::AddSubtree(*TV_arbre, first ? TaxonomyTreeView::itemOf(first) : nullptr, node);
    }
    if (TV_arbre->topLevelItemCount() == 0)
      if (auto* node = dynamic_cast<TObjRec*>(cls.LoadedItem(0))) TObjRec::AddSubtree(*TV_arbre, nullptr, node);
  } else {
    TreeItem* root = TObjRec::AddDefaultNode(cls, *TV_arbre, nullptr, true, 1, cls.TaxonomyName());
    cls.BuildDefaultTree(*TV_arbre, root);
  }
  if (QTreeWidgetItem* top = TV_arbre->topLevelItem(0); top && givePictures) {
    TaxonomyNodeItem* first = TaxonomyTreeView::itemOf(top);
    if (first->imageIndex() == -1) {
      TObjRec::CopyImageToNode(*TV_arbre, first, 0);
      // The nodes below that follow it show its new icon too.
      TObjRec::RefreshImages(*TV_arbre, first);
    }
  }
  if (auto* first = dynamic_cast<TObjRec*>(cls.LoadedCount() > 0 ? cls.LoadedItem(0) : nullptr); first && givePictures)
    TObjRec::PropagatePictures(first);
  sort();
  if (QTreeWidgetItem* top = TV_arbre->topLevelItem(0)) top->setExpanded(true);
  TV_arbre->setUpdatesEnabled(true);
  updateActions();
}

void TFrame_obj_rec::Reload() {
  if (!class_) return;
  // The nodes open and the one selected stay so, as long as their objects live.
  struct Kept {
    MObject_OCS* object;
    std::shared_ptr<const bool> alive;
  };
  std::vector<Kept> expanded;
  Kept selected{};
  for (QTreeWidgetItemIterator it(TV_arbre); *it; ++it) {
    MObject_OCS* object = TaxonomyTreeView::itemOf(*it)->object();
    if (!object) continue;
    if ((*it)->isExpanded()) expanded.push_back({object, object->liveness()});
    if ((*it)->isSelected()) selected = {object, object->liveness()};
  }
  const int scrolled = TV_arbre->verticalScrollBar()->value();
  // Showing must not change the document an undo just put back.
  fill(false);
  for (const Kept& kept : expanded)
    if (*kept.alive)
      for (TaxonomyNodeItem* item : TV_arbre->nodesShowing(kept.object)) item->setExpanded(true);
  if (selected.alive && *selected.alive) {
    const std::vector<TaxonomyNodeItem*> shown = TV_arbre->nodesShowing(selected.object);
    if (!shown.empty()) TV_arbre->setCurrentItem(shown.front());
  }
  TV_arbre->verticalScrollBar()->setValue(scrolled);
  updateActions();
}

void TFrame_obj_rec::RefreshNode(MObject_OCS* object) {
  auto* node = dynamic_cast<TObjRec*>(object);
  const std::vector<TaxonomyNodeItem*> shown = node ? TV_arbre->nodesShowing(node) : std::vector<TaxonomyNodeItem*>();
  for (TaxonomyNodeItem* item : shown) {
    item->setText(0, fromCp1252(node->Name()));
    TObjRec::SetNodeImage(*TV_arbre, item);
    setNodeColour(item);
  }
  if (!shown.empty()) sort();
}

void TFrame_obj_rec::SetTitleBarVisible(bool visible) { PB_titre->setVisible(visible); }

QAbstractItemView* TFrame_obj_rec::TreeView() const { return TV_arbre; }

MObject_OCS* TFrame_obj_rec::SelectedObject() const {
  TaxonomyNodeItem* item = TV_arbre->selectedNode();
  return item ? item->object() : nullptr;
}

bool TFrame_obj_rec::TopNodeSelected() const {
  TaxonomyNodeItem* item = TV_arbre->selectedNode();
  return item && item == TV_arbre->topLevelItem(0);
}

void TFrame_obj_rec::updateActions() {
  const bool selected = TV_arbre->selectedNode() != nullptr;
  for (QAction* action : {Act_nouveau, Act_supprimer, Act_modifier_icone, Act_rapport}) action->setEnabled(selected);
}

void TFrame_obj_rec::showContextMenu(const QPoint& pos) {
  PM_arbre->popup(TV_arbre->viewport()->mapToGlobal(pos));
}

void TFrame_obj_rec::setNodeColour(TaxonomyNodeItem* item) {
  const TObjRec* node = item->node();
  if (!class_ || !class_->HasColour() || !node) return;
  const QColor colour = ColourFromBgr(node->Colour());
  item->setBackground(0, colour);
  // Dark categories keep a readable text.
  item->setForeground(0, colour.lightness() < 110 ? QColor(Qt::white) : QColor(Qt::black));
}

void TFrame_obj_rec::setModified() { DocumentManager::instance().SetDocumentModified(true); }

void TFrame_obj_rec::sort() { TV_arbre->sortItems(0, Qt::AscendingOrder); }

// ---------------------------------------------------------------- commands

void TFrame_obj_rec::CreateNode() {
  TaxonomyNodeItem* selected = TV_arbre->selectedNode();
  if (!selected || !class_) {
    refuse(NothingSelected);
    return;
  }
  const bool colours = class_->HasColour();
  TdefCat_Dialog dialog(this);
  dialog.cat_bitmap = TV_arbre->image(selected->imageIndex());
  dialog.cat_couleur_modif = colours;
  dialog.cat_nom_par_defaut = messageText(DefaultName);
  dialog.cat_caption = messageText(DialogCaption);
  dialog.cat_nom = messageText(InitialName);
  dialog.cat_description.clear();
  dialog.cat_couleur = Qt::white; // no colour
  if (!dialog.Execute()) return;

  const std::string name = toCp1252(dialog.cat_nom.trimmed());
  // Without a picture the new node shows its parent's.
  const int image = dialog.cat_bitmap.isNull() ? -1 : TV_arbre->addImage(dialog.cat_bitmap, std::nullopt);
  if (SameText(name, ReservedNodeName)) {
    refuse(ReservedName);
    return;
  }
  if (TObjRec::HasChildNamed(*TV_arbre, selected, name)) {
    refuse(CreateDuplicate);
    return;
  }
  TreeItem* created = TObjRec::AddDefaultNode(*class_, *TV_arbre, selected, false, image, name);
  TObjRec* node = TaxonomyTreeView::itemOf(created)->node();
  node->SetDescription(toEngineLines(dialog.cat_description));
  if (colours) node->SetColour(BgrFromColour(dialog.cat_couleur));
  setNodeColour(TaxonomyTreeView::itemOf(created));
  setModified();
  NameEditStep(QStringLiteral("la création de %1").arg(QuotedName(node->Name())));
  selected->setExpanded(true);
  sort();
  TV_arbre->scrollToItem(TaxonomyTreeView::itemOf(created));
}

void TFrame_obj_rec::RenameNode() {
  TaxonomyNodeItem* selected = TV_arbre->selectedNode();
  if (!selected || !(selected->flags() & Qt::ItemIsEditable)) return;
  TV_arbre->setFocus();
  TV_arbre->editItem(selected, 0);
}

void TFrame_obj_rec::commitRename(const QPersistentModelIndex& index, const QString& typed) {
  TaxonomyNodeItem* item = TV_arbre->nodeOfIndex(index);
  TObjRec* node = item ? item->node() : nullptr;
  if (!node) return;
  const QString trimmed = typed.trimmed();
  if (trimmed.isEmpty()) {
    refuse(EmptyName);
    return;
  }
  const std::string name = toCp1252(trimmed);
  if (SameText(name, ReservedNodeName)) {
    refuse(ReservedName);
    return;
  }
  // The node itself counts: confirming its unchanged name is refused too.
  if (TObjRec::HasChildNamed(*TV_arbre, TV_arbre->parentOf(item), name)) {
    refuse(RenameDuplicate);
    return;
  }
  const std::string former = node->Name();
  node->SetName(name);
  NameEditStep(QStringLiteral("le renommage de %1 en %2").arg(QuotedName(former), QuotedName(name)));
  for (TaxonomyNodeItem* shown : TV_arbre->nodesShowing(node)) shown->setText(0, fromCp1252(name));
  sort();
  TV_arbre->scrollToItem(item);
  emit nodeChanged(node);
  setModified();
}

void TFrame_obj_rec::ChangeIcon() {
  TaxonomyNodeItem* selected = TV_arbre->selectedNode();
  TObjRec* node = selected ? selected->node() : nullptr;
  if (!node) {
    refuse(NothingSelected);
    return;
  }
  TBitmapEditor editor(this);
  if (!editor.Execute()) return;
  const QImage picture = editor.Picture();
  node->SetPicture(&picture); // an empty picture: the node shows its parent's
  NameEditStep(QStringLiteral("le changement d'icône de %1").arg(QuotedName(node->Name())));
  for (TaxonomyNodeItem* shown : TV_arbre->nodesShowing(node)) TObjRec::RefreshImages(*TV_arbre, shown);
  TV_arbre->viewport()->update();
  emit nodeChanged(node);
  setModified();
}

void TFrame_obj_rec::EditNode() {
  TaxonomyNodeItem* selected = TV_arbre->selectedNode();
  TObjRec* node = selected ? selected->node() : nullptr;
  if (!node || !class_) return;
  if (node->Invariant()) {
    refuse(CannotEdit);
    return;
  }
  const bool colours = class_->HasColour();
  TdefCat_Dialog dialog(this);
  dialog.cat_caption = messageText(DialogCaption);
  dialog.cat_couleur_modif = colours;
  dialog.cat_nom_par_defaut.clear();
  dialog.cat_nom = fromCp1252(node->Name());
  dialog.cat_description = fromEngineLines(node->Description());
  dialog.cat_couleur = ColourFromBgr(node->Colour());
  if (const QImage* picture = node->Picture()) dialog.cat_bitmap = *picture;
  if (!dialog.Execute()) return;

  const std::string name = toCp1252(dialog.cat_nom.trimmed());
  node->SetName(name);
  node->SetDescription(toEngineLines(dialog.cat_description));
  if (colours) node->SetColour(BgrFromColour(dialog.cat_couleur));
  node->SetPicture(&dialog.cat_bitmap);
  NameEditStep(QStringLiteral("la modification de %1").arg(QuotedName(name)));
  for (TaxonomyNodeItem* shown : TV_arbre->nodesShowing(node)) {
    TObjRec::RefreshImages(*TV_arbre, shown);
    shown->setText(0, fromCp1252(name));
    setNodeColour(shown);
  }
  sort();
  TV_arbre->scrollToItem(selected);
  emit nodeChanged(node);
  setModified();
}

void TFrame_obj_rec::DeleteNode() {
  if (TV_arbre->editing()) return;
  // A value still being typed elsewhere (a time in the timetable) is
  // committed when it loses the focus: before the refusal looks for time.
  TV_arbre->setFocus();
  TaxonomyNodeItem* selected = TV_arbre->selectedNode();
  TObjRec* node = selected ? selected->node() : nullptr;
  if (!node) {
    refuse(NothingSelected);
    return;
  }
  QTreeWidgetItem* parentItem = selected->parent();
  if (!parentItem) {
    refuse(CannotDelete);
    return;
  }
  if (std::string refusal; node->RefuseDeletion(refusal)) {
    refuse(refusal);
    return;
  }
  if (node->Invariant()) {
    refuse(CannotDelete);
    return;
  }
  if (selected->childCount() > 0) {
    std::string question(Messages[ConfirmDelete]);
    question.replace(question.find("%s"), 2, toCp1252(selected->text(0)));
    if (!prompts().askYesCancel(question)) return;
  }

  const QString caption = QStringLiteral("la suppression de %1").arg(QuotedName(node->Name()));
  std::set<const MObject_OCS*> gone{node};
  const auto deleting = [this](TObjRec* object) { emit nodeAboutToBeDeleted(object); };
  deleteSubtree(node, gone, deleting);
  if (TObjRec* parent = TaxonomyTreeView::itemOf(parentItem)->node()) parent->RemoveChild(node);
  deleting(node);
  node->Delete();
  NameEditStep(caption);

  // Every node that showed a deleted object goes, wherever it was listed.
  std::vector<QTreeWidgetItem*> doomed;
  for (QTreeWidgetItemIterator it(TV_arbre); *it; ++it)
    if (gone.count(TaxonomyTreeView::itemOf(*it)->object())) doomed.push_back(*it);
  const bool parentStays = !gone.count(TaxonomyTreeView::itemOf(parentItem)->object());
  // In reverse tree order, children before their parents: no item is freed twice.
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) delete *it;
  if (parentStays) TV_arbre->setCurrentItem(parentItem);
  updateActions();
  setModified();
  TV_arbre->setFocus();
}

void TFrame_obj_rec::MoveNode(QTreeWidgetItem* draggedItem, QTreeWidgetItem* targetItem) {
  TaxonomyNodeItem* dragged = TaxonomyTreeView::itemOf(draggedItem);
  TaxonomyNodeItem* target = TaxonomyTreeView::itemOf(targetItem);
  TObjRec* node = dragged ? dragged->node() : nullptr;
  TObjRec* newParent = target ? target->node() : nullptr;
  if (!node || !newParent) return;
  std::set<const TObjRec*> seen;
  if (reaches(node, newParent, seen)) {
    refuse(SubthemeMove);
    return;
  }
  QTreeWidgetItem* oldParentItem = dragged->parent();
  if (!oldParentItem) return;
  if (TObjRec* oldParent = TaxonomyTreeView::itemOf(oldParentItem)->node()) oldParent->RemoveChild(node);
  newParent->AddChild(node);
  NameEditStep(
      QStringLiteral("le déplacement de %1 sous %2").arg(QuotedName(node->Name()), QuotedName(newParent->Name())));
  TObjRec::AddSubtree(*TV_arbre, target, node);
  delete dragged;
  TV_arbre->setCurrentItem(target);
  sort();
}

} // namespace tessel
