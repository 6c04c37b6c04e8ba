#include "ui/U_cadre_LB_et_arbre_rec.h"

#include "foundation/Cp1252.h"
#include "model/DocumentManager.h"
#include "objects/U_OR_class.h"
#include "ui/Fenetre_definition_categorie.h"
#include "ui/U_cadre_arbre_obj_rec.h"
#include "widgets/PaintHelpers.h"

#include <QAction>
#include <QCollator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace tessel {

namespace {

constexpr int TitleHeight = 32;
constexpr int ObjectItemHeight = 20;
constexpr int ResultItemHeight = 18;
constexpr int ResultsPanelHeight = 122;
constexpr int ObjectRole = Qt::UserRole;

// Drags from the object list carry this format, naming the frame they come
// from: the results accept nothing else.
const QString DragFormat = QStringLiteral("application/x-tessel-liste-objets");

QByteArray frameToken(const TFrame_LB_obj* frame) { return QByteArray::number(quintptr(frame)); }

// Items of the object list sort by their text as a French reader expects:
// without regard to case, accented letters beside their base letter.
class SortedItem : public QListWidgetItem {
public:
  using QListWidgetItem::QListWidgetItem;
  bool operator<(const QListWidgetItem& other) const override {
    static const QCollator collator = [] {
      QCollator c{QLocale(QLocale::French, QLocale::France)};
      c.setCaseSensitivity(Qt::CaseInsensitive);
      return c;
    }();
    return collator.compare(text(), other.text()) < 0;
  }
};

template <class Item>
Item* newItem(const QString& text, MObject_OCS* object) {
  auto* item = new Item(text);
  item->setData(ObjectRole, QVariant::fromValue(quintptr(object)));
  return item;
}

MObject_OCS* objectAt(const QModelIndex& index) {
  return reinterpret_cast<MObject_OCS*>(index.data(ObjectRole).value<quintptr>());
}

int rowOf(const QListWidget* list, const MObject_OCS* object) {
  for (int row = 0; row < list->count(); ++row)
    if (ItemObject(list->item(row)) == object) return row;
  return -1;
}

QListWidgetItem* selectedItem(const QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

// The selected item of `from` goes to `to`, unless `to` holds its object
// already. The next item is then selected, ready for another key press.
template <class Item>
void moveSelected(QListWidget* from, QListWidget* to) {
  QListWidgetItem* item = selectedItem(from);
  if (!item) return;
  MObject_OCS* object = ItemObject(item);
  if (rowOf(to, object) < 0) to->addItem(newItem<Item>(item->text(), object));
  const int row = from->row(item);
  delete from->takeItem(row);
  if (from->count() > 0) from->setCurrentRow(std::min(row, from->count() - 1));
}

// Each item on its object's colour, with its picture and its name.
class ObjectItemDelegate : public QStyledItemDelegate {
public:
  ObjectItemDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const MObject_OCS* object = objectAt(index);
    QColor back = Qt::white;
    QColor fore = Qt::black;
    QString name = index.data(Qt::DisplayRole).toString();
    const QImage* picture = nullptr;
    if (object) {
      if (!object->GetString("Couleur").empty()) back = ColourFromBgr(std::uint32_t(object->GetInteger("Couleur")));
      picture = object->GetPicture("bitmap");
      // Objects without a name of their own show their text.
      if (const std::string own = object->GetString("Nom"); !own.empty()) name = fromCp1252(own);
    }
    if (option.state & QStyle::State_Selected) {
      back = option.palette.color(QPalette::Active, QPalette::Highlight);
      fore = option.palette.color(QPalette::Active, QPalette::HighlightedText);
    }
    painter->save();
    painter->fillRect(option.rect, back);
    if (picture && !picture->isNull()) {
      QImage shown = TObjRec::Masked(*picture);
      if (shown.width() > 16 || shown.height() > 16) shown = shown.scaled(16, 16, Qt::KeepAspectRatio);
      painter->drawImage(option.rect.left(), option.rect.top() + 2, shown);
    }
    painter->setPen(fore);
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(20, 0, 0, 0), int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine,
                      name);
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
  }

private:
  int height_;
};

// The object list: its drags name the frame.
class ObjectListBox : public QListWidget {
public:
  ObjectListBox(const TFrame_LB_obj* frame, QWidget* parent) : QListWidget(parent), frame_(frame) {}

protected:
  QStringList mimeTypes() const override { return {DragFormat}; }
  QMimeData* mimeData(const QList<QListWidgetItem*>&) const override {
    auto* data = new QMimeData;
    data->setData(DragFormat, frameToken(frame_));
    return data;
  }

private:
  const TFrame_LB_obj* frame_;
};

// The results: drops from the frame's object list only.
class ResultList : public QListWidget {
public:
  ResultList(const TFrame_LB_obj* frame, std::function<void()> dropped, QWidget* parent)
      : QListWidget(parent), frame_(frame), dropped_(std::move(dropped)) {}

protected:
  void dragEnterEvent(QDragEnterEvent* event) override { acceptOrIgnore(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { acceptOrIgnore(event); }
  void dropEvent(QDropEvent* event) override {
    if (!fromObjectList(event)) {
      event->ignore();
      return;
    }
    // A copy for the toolkit: the frame itself takes the item out of the list.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    dropped_();
  }

private:
  bool fromObjectList(const QDropEvent* event) const {
    return event->mimeData() && event->mimeData()->data(DragFormat) == frameToken(frame_);
  }
  void acceptOrIgnore(QDropEvent* event) {
    if (fromObjectList(event)) {
      event->setDropAction(Qt::CopyAction);
      event->accept();
    } else {
      event->ignore();
    }
  }

  const TFrame_LB_obj* frame_;
  std::function<void()> dropped_;
};

QListWidget* styledList(QListWidget* list, const char* name, int itemHeight) {
  list->setObjectName(QLatin1String(name));
  list->setFrameShape(QFrame::NoFrame);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);
  list->setItemDelegate(new ObjectItemDelegate(itemHeight, list));
  list->setDragEnabled(true);
  return list;
}

} // namespace

MObject_OCS* ItemObject(const QListWidgetItem* item) {
  return item ? reinterpret_cast<MObject_OCS*>(item->data(ObjectRole).value<quintptr>()) : nullptr;
}

TFrame_LB_obj::TFrame_LB_obj(QWidget* parent)
    : QWidget(parent),
      PB_titre(new QWidget(this)),
      PC_pages(new QStackedWidget),
      TS_liste(new QWidget),
      TS_arbre(new QWidget),
      Frame_obj_rec(new TFrame_obj_rec(TS_arbre)),
      LB_obj(styledList(new ObjectListBox(this, TS_liste), "LB_obj", ObjectItemHeight)),
      Splitter(new QSplitter(Qt::Vertical, this)),
      Panel_resultats(new QFrame),
      Label_resultats(new QLabel(QStringLiteral("Résultats          "), Panel_resultats)),
      LB_choix(styledList(new ResultList(this, [this] { Choose(); }, Panel_resultats), "LB_choix", ResultItemHeight)),
      PM_obj(new QMenu(this)),
      Act_creer(PM_obj->addAction(QStringLiteral("Créer"))),
      Act_supprimer(PM_obj->addAction(QStringLiteral("Supprimer"))),
      Act_voir(PM_obj->addAction(QStringLiteral("Voir"))) {
  setObjectName(QStringLiteral("TFrame_LB_obj"));

  PB_titre->setObjectName(QStringLiteral("PB_titre"));
  PB_titre->setFixedHeight(TitleHeight);
  PB_titre->installEventFilter(this);

  PC_pages->setObjectName(QStringLiteral("PC_pages"));
  TS_liste->setObjectName(QStringLiteral("TS_liste"));
  TS_arbre->setObjectName(QStringLiteral("TS_arbre"));
  auto* listLayout = new QVBoxLayout(TS_liste);
  listLayout->setContentsMargins(0, 0, 0, 0);
  listLayout->addWidget(LB_obj);
  // The taxonomy tree page: every caller asks for the list, so the tree is
  // filled only in tree mode.
  auto* treeLayout = new QVBoxLayout(TS_arbre);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  treeLayout->addWidget(Frame_obj_rec);
  Frame_obj_rec->setObjectName(QStringLiteral("Frame_obj_rec"));
  PC_pages->addWidget(TS_liste);
  PC_pages->addWidget(TS_arbre);

  LB_obj->setSortingEnabled(true);
  LB_obj->setDragDropMode(QAbstractItemView::DragOnly);
  LB_obj->setContextMenuPolicy(Qt::CustomContextMenu);
  LB_obj->installEventFilter(this);
  connect(LB_obj, &QListWidget::itemDoubleClicked, this, &TFrame_LB_obj::Choose);
  connect(LB_obj, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PM_obj->popup(LB_obj->viewport()->mapToGlobal(at)); });
  Act_creer->setObjectName(QStringLiteral("Act_creer"));
  Act_supprimer->setObjectName(QStringLiteral("Act_supprimer"));
  Act_voir->setObjectName(QStringLiteral("Act_voir"));
  connect(Act_voir, &QAction::triggered, this, &TFrame_LB_obj::Choose);

  Panel_resultats->setObjectName(QStringLiteral("Panel_resultats"));
  Panel_resultats->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Label_resultats->setObjectName(QStringLiteral("Label_resultats"));
  LB_choix->setAcceptDrops(true);
  LB_choix->setDragDropMode(QAbstractItemView::DragDrop);
  LB_choix->installEventFilter(this);
  auto* resultsLayout = new QVBoxLayout(Panel_resultats);
  resultsLayout->setContentsMargins(1, 1, 1, 1);
  resultsLayout->setSpacing(0);
  resultsLayout->addWidget(Label_resultats);
  resultsLayout->addWidget(LB_choix);

  Splitter->setObjectName(QStringLiteral("Splitter"));
  Splitter->setChildrenCollapsible(false);
  Splitter->addWidget(PC_pages);
  Splitter->addWidget(Panel_resultats);
  Splitter->setStretchFactor(0, 1);
  Splitter->setStretchFactor(1, 0);
  Splitter->setSizes({400, ResultsPanelHeight});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(PB_titre);
  layout->addWidget(Splitter, 1);

  // The window is reused for the whole run: its lists must not outlive the
  // document's objects.
  connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, this, [this] {
    LB_obj->clear();
    LB_choix->clear();
    titleChanged();
  });
}

TFrame_LB_obj::~TFrame_LB_obj() = default;

void TFrame_LB_obj::Fill(const ClassRef& cls, const StringsWithObjects* currentChoice, bool treeMode,
                         const TextFunction& text, const ImageList* images, const QString& title) {
  treeMode_ = treeMode;
  class_ = &cls;
  title_ = title;
  images_.reset();
  if (images) images_ = *images;
  titleImage_ = 1;
  text_ = text;

  LB_obj->clear();
  LB_obj->setSortingEnabled(true);
  StringsWithObjects offered;
  MOBJ_AVEC_OBJ_REC::FillStrings(offered, cls.LoadedObjects(), text_);
  for (const auto& [itemText, object] : offered) LB_obj->addItem(newItem<SortedItem>(fromCp1252(itemText), object));

  Panel_resultats->setVisible(currentChoice != nullptr);
  LB_choix->clear();
  if (currentChoice)
    for (const auto& [itemText, object] : *currentChoice)
      LB_choix->addItem(newItem<QListWidgetItem>(fromCp1252(itemText), object));

  for (int row = LB_obj->count() - 1; row >= 0; --row) {
    MObject_OCS* object = ItemObject(LB_obj->item(row));
    if (rowOf(LB_choix, object) >= 0 || (object && object->GetBoolean("invariant"))) delete LB_obj->takeItem(row);
  }

  LB_choix->update();
  titleChanged();
  if (treeMode_) Frame_obj_rec->ShowTaxonomy(cls, images ? *images : ImageList());
  PC_pages->setCurrentWidget(treeMode_ ? TS_arbre : TS_liste);
}

StringsWithObjects TFrame_LB_obj::Chosen() const {
  StringsWithObjects chosen;
  for (int row = 0; row < LB_choix->count(); ++row) {
    const QListWidgetItem* item = LB_choix->item(row);
    chosen.emplace_back(toCp1252(item->text()), ItemObject(item));
  }
  return chosen;
}

QString TFrame_LB_obj::TitleText() const { return QString::number(LB_obj->count()) + QLatin1Char(' ') + title_; }

void TFrame_LB_obj::Choose() {
  moveSelected<QListWidgetItem>(LB_obj, LB_choix);
  titleChanged();
}

void TFrame_LB_obj::Unchoose() {
  moveSelected<SortedItem>(LB_choix, LB_obj);
  titleChanged();
}

bool TFrame_LB_obj::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PB_titre && event->type() == QEvent::Paint) {
    paintTitle();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == LB_obj && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      Choose();
      return true;
    }
    if (watched == LB_choix && key == Qt::Key_Delete) {
      Unchoose();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFrame_LB_obj::paintTitle() {
  QPainter painter(PB_titre);
  PaintGradient(painter, QColor(128, 128, 128), ButtonFaceColour(), PB_titre->rect());
  if (images_) images_->draw(painter, 2, 2, titleImage_);
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  DrawEmbossedText(painter, 26, 2, Engraved, TitleText());
}

void TFrame_LB_obj::titleChanged() { PB_titre->update(); }

} // namespace tessel
