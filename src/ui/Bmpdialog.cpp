#include "ui/Bmpdialog.h"

#include "foundation/Cp1252.h"
#include "foundation/UserPrompts.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/ProgramValues.h"
#include "widgets/UiFonts.h"

#include <QBitmap>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace tessel {

QPixmap TransparentBottomLeft(const QImage& picture) {
  if (picture.isNull()) return {};
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  QPixmap pixmap = QPixmap::fromImage(rgb);
  const QRgb key = rgb.pixel(0, rgb.height() - 1);
  pixmap.setMask(QBitmap::fromImage(rgb.createMaskFromColor(key, Qt::MaskInColor)));
  return pixmap;
}

PicturePlacement PlacePicture(int pictureHeight, int itemHeight) {
  const int side = std::max(0, std::min(pictureHeight, itemHeight));
  const int top = (itemHeight - side) / 2;
  // A picture as high as the item fills it from its corner.
  if (top == 0) return {side, 0, 0};
  return {side, 3, top};
}

QString PictureCaption(const QString& fileName, bool extension, bool lowerCase) {
  QString text = fileName.left(12);
  if (lowerCase) text = text.toLower();
  if (!extension) {
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0) text.truncate(dot);
  }
  return text;
}

namespace {

constexpr int ClientWidth = 573;
constexpr int ClientHeight = 400;
constexpr int LeftPanelWidth = 169;
constexpr int HeaderHeight = 45;
constexpr int StripHeight = 24;
constexpr int FilePathRole = Qt::UserRole;

QLabel* boldLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

QIcon actionIcon(const QString& file) { return QIcon(RenderPicture(file, QSize(16, 16))); }

QString countText(int count) { return QString::number(count) + QStringLiteral(" Image(s)"); }

} // namespace

// Draws one picture file of the list: the picture's top-left square and,
// when names are shown, the file name after it.
class PictureItemDelegate final : public QStyledItemDelegate {
public:
  explicit PictureItemDelegate(TBmp_dialog* dialog) : QStyledItemDelegate(dialog), dialog_(dialog) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect rect = option.rect;
    const int itemHeight = dialog_->ItemHeight();
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, selected ? option.palette.highlight() : option.palette.base());

    const QString text = dialog_->ItemText(index.row());
    if (!text.isEmpty()) {
      painter->setFont(option.font);
      painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
      const QRect textRect(rect.left() + itemHeight + 3, rect.top(), rect.width() - itemHeight - 3, itemHeight);
      painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

    const QPixmap& pixmap = dialog_->pixmapOf(index.data(FilePathRole).toString());
    if (!pixmap.isNull()) {
      const PicturePlacement place = PlacePicture(pixmap.height(), itemHeight);
      painter->drawPixmap(QPoint(rect.left() + place.left, rect.top() + place.top), pixmap,
                          QRect(0, 0, place.side, place.side));
    }

    if (option.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect focus;
      focus.initFrom(option.widget);
      focus.rect = rect;
      focus.backgroundColor = option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
      option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {std::max(1, dialog_->LB_bmp->viewport()->width() / dialog_->Columns()), dialog_->ItemHeight()};
  }

private:
  TBmp_dialog* dialog_;
};

TBmp_dialog::TBmp_dialog(QWidget* parent)
    : QDialog(parent),
      Cmb_disque(new QComboBox),
      TV_repertoire(new QTreeView),
      Cmb_colonnes(new QComboBox),
      Cmb_pixels(new QComboBox),
      LB_bmp(new QListWidget),
      Label_bmp(new QLabel(QStringLiteral("Label_bmp"))),
      Label_nb_bmp(new QLabel),
      PM_bmp(new QMenu(this)),
      Act_nom_fichier(PM_bmp->addAction(QStringLiteral("Nom Fichier"))),
      Act_extension(PM_bmp->addAction(QStringLiteral("Extension"))),
      Act_minuscules(PM_bmp->addAction(QStringLiteral("Minuscules"))),
      Act_valider(new QAction(actionIcon(QStringLiteral("action-ok.svg")), QStringLiteral("Valider"), this)),
      Act_effacer(new QAction(actionIcon(QStringLiteral("action-clear.svg")), QStringLiteral("Effacer"), this)),
      Act_annuler(new QAction(actionIcon(QStringLiteral("action-cancel.svg")), QStringLiteral("Annuler"), this)),
      folders_(new QFileSystemModel(this)) {
  setObjectName(QStringLiteral("TBmp_dialog"));
  setWindowTitle(QStringLiteral("Choisir une icone"));
  setWindowIcon(actionIcon(QStringLiteral("action-category-change-icon.svg")));
  QFont font = MsSansSerif();
  font.setPixelSize(12);
  setFont(font);
  resize(ClientWidth, ClientHeight);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName(QStringLiteral("Splitter"));
  splitter->setChildrenCollapsible(false);
  splitter->setHandleWidth(3);
  splitter->addWidget(buildLeftPanel());
  splitter->addWidget(buildRightPanel());
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({LeftPanelWidth, ClientWidth - LeftPanelWidth - splitter->handleWidth()});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);

  PM_bmp->setObjectName(QStringLiteral("PM_bmp"));
  for (QAction* option : {Act_nom_fichier, Act_extension, Act_minuscules}) {
    option->setCheckable(true);
    option->setChecked(true);
    connect(option, &QAction::toggled, LB_bmp->viewport(), qOverload<>(&QWidget::update));
  }
  PM_bmp->addSeparator();

  connect(Act_valider, &QAction::triggered, this, Reported([this] { Valider(); }));
  connect(Act_effacer, &QAction::triggered, this, Reported([this] { Effacer(); }));
  connect(Act_annuler, &QAction::triggered, this, &QDialog::reject);
}

TBmp_dialog::~TBmp_dialog() {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.setValue(QStringLiteral("Options/SaveSettings"), 0);
}

QString TBmp_dialog::SettingsFile() {
  // Beside the program's own settings ($XDG_CONFIG_HOME/Tessel/Tessel.conf),
  // whatever names the running application carries.
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(ProductNameText() + QStringLiteral("/BMPPROP.INI"));
}

QWidget* TBmp_dialog::buildLeftPanel() {
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("Panel_gauche"));
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);

  layout->addWidget(boldLabel(QStringLiteral(" Disque source"), panel));
  Cmb_disque->setObjectName(QStringLiteral("Cmb_disque"));
  fillPlaces();
  layout->addWidget(Cmb_disque);
  connect(Cmb_disque, &QComboBox::activated, this,
          [this](int index) { SetDirectory(Cmb_disque->itemData(index).toString()); });

  layout->addWidget(boldLabel(QStringLiteral(" Répertoire source"), panel));
  TV_repertoire->setObjectName(QStringLiteral("TV_repertoire"));
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  folders_->setRootPath(QDir::rootPath());
  TV_repertoire->setModel(folders_);
  for (int column = 1; column < folders_->columnCount(); ++column) TV_repertoire->hideColumn(column);
  TV_repertoire->setHeaderHidden(true);
  TV_repertoire->setRootIndex(folders_->index(QDir::rootPath()));
  connect(TV_repertoire->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!movingTree_ && current.isValid()) SetDirectory(folders_->filePath(current));
          });
  // Folders load and sort in the background and shift the rows: keep the
  // current folder in view until the user takes over the list.
  const auto follow = [this] {
    if (!followCurrent_) return;
    const QModelIndex current = TV_repertoire->currentIndex();
    if (current.isValid() && !TV_repertoire->viewport()->rect().contains(TV_repertoire->visualRect(current)))
      TV_repertoire->scrollTo(current, QAbstractItemView::PositionAtCenter);
  };
  connect(folders_, &QFileSystemModel::rowsInserted, this, follow);
  connect(folders_, &QFileSystemModel::layoutChanged, this, follow);
  connect(folders_, &QFileSystemModel::directoryLoaded, this, follow);
  connect(TV_repertoire->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { followCurrent_ = false; });
  TV_repertoire->viewport()->installEventFilter(this);
  layout->addWidget(TV_repertoire, 1);
  return panel;
}

QWidget* TBmp_dialog::buildRightPanel() {
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("Panel_droit"));
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* header = new QWidget(panel);
  header->setObjectName(QStringLiteral("Panel_entete"));
  header->setFixedHeight(HeaderHeight);
  auto* headerLayout = new QGridLayout(header);
  headerLayout->setContentsMargins(4, 2, 4, 2);
  headerLayout->setHorizontalSpacing(8);
  headerLayout->setVerticalSpacing(1);
  headerLayout->addWidget(boldLabel(QStringLiteral(" Colonnes"), header), 0, 0);
  headerLayout->addWidget(boldLabel(QStringLiteral(" Pixels "), header), 0, 1);
  Cmb_colonnes->setObjectName(QStringLiteral("Cmb_colonnes"));
  Cmb_colonnes->addItem(QStringLiteral("1 colonne"));
  for (int n = 2; n <= 6; ++n) Cmb_colonnes->addItem(QString::number(n) + QStringLiteral(" colonnes"));
  Cmb_colonnes->setCurrentIndex(1);
  Cmb_pixels->setObjectName(QStringLiteral("Cmb_pixels"));
  for (int i = 0; i <= 6; ++i) Cmb_pixels->addItem(QString::number(i * 4 + 16) + QStringLiteral(" Pixels"));
  Cmb_pixels->setCurrentIndex(4);
  headerLayout->addWidget(Cmb_colonnes, 1, 0);
  headerLayout->addWidget(Cmb_pixels, 1, 1);
  headerLayout->setColumnStretch(2, 1);
  connect(Cmb_colonnes, &QComboBox::currentIndexChanged, this, [this](int index) { SetColumns(index + 1); });
  connect(Cmb_pixels, &QComboBox::currentIndexChanged, this, [this](int index) { SetItemHeight(index * 4 + 16); });
  layout->addWidget(header);

  // Multi-column list: items run down a column, then on to the next one.
  LB_bmp->setObjectName(QStringLiteral("LB_bmp"));
  LB_bmp->setFrameShape(QFrame::NoFrame);
  LB_bmp->setToolTip(QStringLiteral("Bouton droit = menu contextuel"));
  LB_bmp->setViewMode(QListView::ListMode);
  LB_bmp->setFlow(QListView::TopToBottom);
  LB_bmp->setWrapping(true);
  LB_bmp->setResizeMode(QListView::Adjust);
  LB_bmp->setUniformItemSizes(true);
  LB_bmp->setSpacing(0);
  LB_bmp->setSelectionMode(QAbstractItemView::SingleSelection);
  LB_bmp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  LB_bmp->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  LB_bmp->setItemDelegate(new PictureItemDelegate(this));
  LB_bmp->setContextMenuPolicy(Qt::CustomContextMenu);
  LB_bmp->installEventFilter(this);
  LB_bmp->viewport()->installEventFilter(this);
  connect(LB_bmp, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PM_bmp->popup(LB_bmp->viewport()->mapToGlobal(at)); });
  connect(LB_bmp, &QListWidget::currentRowChanged, this, [this] { showSize(); });
  connect(LB_bmp, &QListWidget::itemClicked, this, [this] { showSize(); });
  connect(LB_bmp, &QListWidget::itemDoubleClicked, this, Reported([this] { Valider(); }));
  layout->addWidget(LB_bmp, 1);

  auto* strip = new QWidget(panel);
  strip->setObjectName(QStringLiteral("Panel_infos"));
  strip->setFixedHeight(StripHeight);
  auto* stripLayout = new QHBoxLayout(strip);
  stripLayout->setContentsMargins(4, 0, 4, 0);
  Label_bmp->setObjectName(QStringLiteral("Label_bmp"));
  Label_nb_bmp->setObjectName(QStringLiteral("Label_nb_bmp"));
  Label_nb_bmp->setText(countText(0));
  stripLayout->addWidget(Label_bmp);
  stripLayout->addStretch();
  stripLayout->addWidget(Label_nb_bmp);
  layout->addWidget(strip);

  auto* tools = new QToolBar(panel);
  tools->setObjectName(QStringLiteral("TB_bmp"));
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tools->setIconSize(QSize(16, 16));
  tools->addAction(Act_valider);
  tools->addAction(Act_effacer);
  tools->addAction(Act_annuler);
  layout->addWidget(tools);
  return panel;
}

void TBmp_dialog::fillPlaces() {
  // No drive letters here: the file system root and the user's usual places.
  const std::pair<QStandardPaths::StandardLocation, QString> places[] = {
      {QStandardPaths::HomeLocation, QStringLiteral("Dossier personnel")},
      {QStandardPaths::PicturesLocation, QStringLiteral("Images")},
      {QStandardPaths::DesktopLocation, QStringLiteral("Bureau")},
      {QStandardPaths::DocumentsLocation, QStringLiteral("Documents")},
      {QStandardPaths::DownloadLocation, QStringLiteral("Téléchargements")},
  };
  QFileIconProvider icons;
  QStringList paths{QDir::rootPath()};
  Cmb_disque->addItem(icons.icon(QFileIconProvider::Computer), QStringLiteral("Racine (/)"), QDir::rootPath());
  for (const auto& [location, label] : places) {
    const QString path = QDir::cleanPath(QStandardPaths::writableLocation(location));
    if (path.isEmpty() || paths.contains(path) || !QFileInfo(path).isDir()) continue;
    paths << path;
    Cmb_disque->addItem(icons.icon(QFileInfo(path)), label, path);
    Cmb_disque->setItemData(Cmb_disque->count() - 1, path, Qt::ToolTipRole);
  }
}

void TBmp_dialog::showInTree(const QString& path) {
  movingTree_ = true;
  followCurrent_ = true;
  const QModelIndex index = folders_->index(path);
  TV_repertoire->setCurrentIndex(index);
  if (index.isValid()) {
    TV_repertoire->expand(index);
    TV_repertoire->scrollTo(index);
  }
  movingTree_ = false;

  // The place that holds the folder, the deepest one when several do.
  int best = -1;
  qsizetype bestLength = -1;
  for (int i = 0; i < Cmb_disque->count(); ++i) {
    const QString place = Cmb_disque->itemData(i).toString();
    const bool holds = path == place || path.startsWith(place.endsWith(QLatin1Char('/')) ? place : place + u'/');
    if (holds && place.size() > bestLength) {
      best = i;
      bestLength = place.size();
    }
  }
  Cmb_disque->setCurrentIndex(best);
}

void TBmp_dialog::ReadPictures() {
  directory_ = QDir::currentPath();
  showInTree(directory_);
  listPictures();
}

void TBmp_dialog::SetDirectory(const QString& path) {
  const QString clean = QDir::cleanPath(QDir(path).absolutePath());
  if (clean == directory_) return;
  directory_ = clean;
  showInTree(directory_);
  listPictures();
}

void TBmp_dialog::listPictures() {
  BusyCursor busy;
  LB_bmp->clear();
  pixmaps_.clear();
  // Name filters ignore case by default: "*.bmp" also finds "X.BMP".
  const QFileInfoList files =
      QDir(directory_).entryInfoList({QStringLiteral("*.bmp")}, QDir::Files | QDir::Hidden | QDir::System,
                                     QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  for (const QFileInfo& file : files) {
    if (file.size() > LargestPictureFile) continue;
    auto* item = new QListWidgetItem(file.fileName(), LB_bmp);
    item->setData(FilePathRole, file.absoluteFilePath());
  }
  updateCount();
}

void TBmp_dialog::updateCount() { Label_nb_bmp->setText(countText(LB_bmp->count())); }

QString TBmp_dialog::ItemText(int row) const {
  const QListWidgetItem* item = LB_bmp->item(row);
  if (!item || !Act_nom_fichier->isChecked()) return {};
  return PictureCaption(item->text(), Act_extension->isChecked(), Act_minuscules->isChecked());
}

QString TBmp_dialog::ItemFile(int row) const {
  const QListWidgetItem* item = LB_bmp->item(row);
  return item ? item->data(FilePathRole).toString() : QString();
}

const QPixmap& TBmp_dialog::pixmapOf(const QString& file) const {
  auto found = pixmaps_.find(file);
  if (found == pixmaps_.end()) found = pixmaps_.insert(file, TransparentBottomLeft(QImage(file)));
  return *found;
}

void TBmp_dialog::SetColumns(int columns) {
  columns_ = std::clamp(columns, 1, 6);
  if (Cmb_colonnes->currentIndex() != columns_ - 1) Cmb_colonnes->setCurrentIndex(columns_ - 1);
  updateGrid();
}

void TBmp_dialog::SetItemHeight(int height) {
  itemHeight_ = std::max(1, height);
  updateGrid();
}

void TBmp_dialog::updateGrid() {
  LB_bmp->setGridSize(QSize(std::max(1, LB_bmp->viewport()->width() / columns_), itemHeight_));
}

void TBmp_dialog::showSize() {
  const int row = LB_bmp->currentRow();
  if (row < 0) return;
  const QPixmap& pixmap = pixmapOf(ItemFile(row));
  Label_bmp->setText(QStringLiteral("%1x%2").arg(pixmap.width()).arg(pixmap.height()));
}

void TBmp_dialog::Valider() {
  const QListWidgetItem* item = LB_bmp->currentItem();
  if (!item || !item->isSelected()) {
    reject();
    return;
  }
  const QString file = item->data(FilePathRole).toString();
  // The file may have gone since the folder was read.
  if (!QFileInfo::exists(file)) {
    reject();
    return;
  }
  QImage picture(file);
  if (picture.isNull()) {
    prompts().message(MessageKind::Error,
                      toCp1252(QStringLiteral("Le fichier « %1 » n'est pas une image lisible.").arg(item->text())));
    return;
  }
  picture_ = picture;
  accept();
}

void TBmp_dialog::Effacer() {
  picture_ = QImage();
  accept();
}

void TBmp_dialog::DeleteSelected() {
  const int row = LB_bmp->currentRow();
  QListWidgetItem* item = LB_bmp->item(row);
  if (!item || !item->isSelected()) return;
  // To the trash rather than gone for good: the user may want it back.
  if (!QFile::moveToTrash(item->data(FilePathRole).toString())) {
    prompts().message(MessageKind::Error,
                      toCp1252(QStringLiteral("Impossible de mettre le fichier « %1 » à la corbeille ; "
                                              "il reste dans la liste.")
                                   .arg(item->text())));
    return;
  }
  if (row == LB_bmp->count() - 1) LB_bmp->setCurrentRow(row - 1);
  pixmaps_.remove(item->data(FilePathRole).toString());
  delete LB_bmp->takeItem(row);
  updateCount();
}

void TBmp_dialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  TV_repertoire->scrollTo(TV_repertoire->currentIndex(), QAbstractItemView::PositionAtCenter);
}

bool TBmp_dialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TV_repertoire->viewport() &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)) {
    followCurrent_ = false;
  } else if (watched == LB_bmp->viewport() && event->type() == QEvent::Resize) {
    updateGrid();
  } else if (watched == LB_bmp && event->type() == QEvent::KeyPress &&
             static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    DeleteSelected();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

TBitmapEditor::TBitmapEditor(QWidget* owner) : QObject(owner), window_(new TBmp_dialog(owner)) {}

TBitmapEditor::~TBitmapEditor() { delete window_.data(); }

bool TBitmapEditor::Execute() {
  window_->SetPicture(picture_);
  window_->ReadPictures();
  if (window_->exec() != QDialog::Accepted) return false;
  picture_ = window_->Picture();
  return true;
}

} // namespace tessel
