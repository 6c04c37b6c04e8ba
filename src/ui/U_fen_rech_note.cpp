#include "ui/U_fen_rech_note.h"

#include "foundation/Cp1252.h"
#include "model/DocumentManager.h"
#include "model/U_class_contenu.h"
#include "ui/Cadre_visu_OAOR.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"
#include "widgets/UiFonts.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr int ClientWidth = 619;
constexpr int ClientHeight = 469;
constexpr int HeaderHeight = 33;
constexpr int ColumnWidth = 249;
constexpr int ColumnMargin = 6;
constexpr int ViewerBorder = 10;
constexpr int BottomHeight = 45;
// A comment carried by hundreds of entries keeps a hint that fits the screen.
constexpr int MostHintLines = 12;

QString countText(int count) { return QStringLiteral("Nombre de sujets trouvés: %1").arg(count); }

void paintBackground(QWidget* widget, const QColor& colour) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
}

} // namespace

TForme_rech_note::TForme_rech_note(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      PB_entete(new QWidget(this)),
      Panel_gauche(new QWidget(this)),
      Ed_recherche(new QLineEdit(Panel_gauche)),
      Lbl_intitules(new QLabel(QStringLiteral("Intitulés correspondant :"), Panel_gauche)),
      LB_Listsujet(new QListWidget(Panel_gauche)),
      Lbl_nombre(new QLabel(countText(0), Panel_gauche)),
      Panel_visu(new QFrame(this)),
      Frame_visu(new TFrame_visu_OAOR(Panel_visu)),
      Panel_bas(new QWidget(this)),
      BB_ok(new QPushButton(QIcon(RenderPicture(QStringLiteral("action-ok.svg"), QSize(16, 16))), QStringLiteral("Ok"),
                            Panel_bas)) {
  setObjectName(QStringLiteral("TForme_rech_note"));
  setWindowTitle(QStringLiteral("Recherche d'un commentaire"));
  setFont(MsSansSerif(8));
  setFixedSize(ClientWidth, ClientHeight);

  PB_entete->setObjectName(QStringLiteral("PB_entete"));
  PB_entete->setFixedHeight(HeaderHeight);
  PB_entete->installEventFilter(this);

  Panel_gauche->setObjectName(QStringLiteral("Panel_gauche"));
  Panel_gauche->setFixedWidth(ColumnWidth);
  Ed_recherche->setObjectName(QStringLiteral("Ed_recherche"));
  Ed_recherche->setPlaceholderText(QStringLiteral("Chercher : mots du titre ou du texte"));
  Ed_recherche->setToolTip(QStringLiteral("Les commentaires dont le titre ou le texte contient chacun des mots tapés, "
                                          "sans tenir compte des majuscules ni des accents"));
  Ed_recherche->setClearButtonEnabled(true);
  Ed_recherche->installEventFilter(this);
  Lbl_intitules->setObjectName(QStringLiteral("Lbl_intitules"));
  LB_Listsujet->setObjectName(QStringLiteral("LB_Listsujet"));
  LB_Listsujet->setFrameShape(QFrame::NoFrame);
  LB_Listsujet->setToolTip(QStringLiteral("Sujet des commentaires existant"));
  LB_Listsujet->setUniformItemSizes(true);
  QPalette white = LB_Listsujet->palette();
  white.setColor(QPalette::Base, Qt::white);
  LB_Listsujet->setPalette(white);
  Lbl_nombre->setObjectName(QStringLiteral("Lbl_nombre"));
  auto* column = new QVBoxLayout(Panel_gauche);
  column->setContentsMargins(ColumnMargin, 0, ColumnMargin, ColumnMargin);
  column->setSpacing(4);
  column->addWidget(Ed_recherche);
  column->addWidget(Lbl_intitules);
  column->addWidget(LB_Listsujet, 1);
  column->addWidget(Lbl_nombre);

  Panel_visu->setObjectName(QStringLiteral("Panel_visu"));
  Panel_visu->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* viewerLayout = new QVBoxLayout(Panel_visu);
  viewerLayout->setContentsMargins(ViewerBorder, ViewerBorder, ViewerBorder, ViewerBorder);
  viewerLayout->addWidget(Frame_visu);
  Panel_visu->hide();

  Panel_bas->setObjectName(QStringLiteral("Panel_bas"));
  Panel_bas->setFixedHeight(BottomHeight);
  BB_ok->setObjectName(QStringLiteral("BB_ok"));
  BB_ok->setFlat(true);
  BB_ok->setGeometry(264, 8, 89, 33);
  // Return chooses a comment in the list or the field; only a click closes.
  BB_ok->setAutoDefault(false);
  connect(BB_ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* middle = new QHBoxLayout;
  middle->setContentsMargins(0, ColumnMargin, ColumnMargin, 0);
  middle->setSpacing(0);
  middle->addWidget(Panel_gauche);
  middle->addWidget(Panel_visu, 1);
  // Keeps the column at the left while the viewer is hidden.
  middle->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(PB_entete);
  layout->addLayout(middle, 1);
  layout->addWidget(Panel_bas);

  connect(Ed_recherche, &QLineEdit::textChanged, this, Reported([this] { filter(); }));
  connect(LB_Listsujet, &QListWidget::itemClicked, this, Reported([this](QListWidgetItem* item) { choose(item); }));
  connect(LB_Listsujet, &QListWidget::itemActivated, this, Reported([this](QListWidgetItem* item) { choose(item); }));
  // Moving through the list with the keys shows each comment in turn.
  connect(LB_Listsujet, &QListWidget::currentItemChanged, this,
          Reported([this](QListWidgetItem* current, QListWidgetItem* previous) {
            if (!filling_ && previous && current) choose(current);
          }));
  // Edits made from the viewer show in the list at once.
  connect(Frame_visu, &TFrame_visu_OAOR::noteEdited, this, Reported([this] { reload(); }));
  connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, this, [this] { documentClosing(); });

  applyColour();
}

TForme_rech_note::~TForme_rech_note() = default;

int TForme_rech_note::ShowModal() {
  applyColour();
  Panel_gauche->show();
  PB_entete->update();
  reload();
  Ed_recherche->selectAll();
  Ed_recherche->setFocus();
  if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  return exec();
}

MObject_OCS* TForme_rech_note::Chosen() const { return Frame_visu->CurrentObject(); }

QString TForme_rech_note::UsesHint(const std::vector<NoteUse>& uses) {
  if (uses.empty()) return QStringLiteral("Aucune saisie de temps ne porte ce commentaire");
  QStringList lines;
  for (const NoteUse& use : uses) {
    if (lines.size() == MostHintLines) {
      lines << QStringLiteral("… et %1 autre(s)").arg(uses.size() - MostHintLines);
      break;
    }
    QString line = fromCp1252(DateTextOf(true, use.day));
    if (!use.activity.empty()) line += QStringLiteral(" : ") + fromCp1252(use.activity);
    lines << line;
  }
  return lines.join(u'\n');
}

void TForme_rech_note::applyColour() {
  paintBackground(this, WorkspaceColour);
  PB_entete->update();
}

void TForme_rech_note::reload() {
  search_.load();
  filter();
}

void TForme_rech_note::filter() {
  filling_ = true;
  LB_Listsujet->clear();
  const std::vector<int> found = search_.matching(Ed_recherche->text());
  for (int index : found) {
    const FoundNote& note = search_.note(index);
    auto* item = new QListWidgetItem(fromCp1252(note.title), LB_Listsujet);
    item->setData(Qt::UserRole, index);
    item->setToolTip(UsesHint(note.uses));
  }
  Lbl_nombre->setText(countText(static_cast<int>(found.size())));
  selectChosen();
  filling_ = false;
}

void TForme_rech_note::selectChosen() {
  const int chosen = search_.indexOf(dynamic_cast<Mcontenu*>(Chosen()));
  for (int row = 0; row < LB_Listsujet->count(); ++row) {
    QListWidgetItem* item = LB_Listsujet->item(row);
    if (chosen >= 0 && item->data(Qt::UserRole).toInt() == chosen) {
      LB_Listsujet->setCurrentItem(item);
      return;
    }
  }
}

void TForme_rech_note::choose(QListWidgetItem* item) {
  if (!item) return;
  const int index = item->data(Qt::UserRole).toInt();
  if (index < 0 || index >= search_.count()) return;
  Mcontenu* content = search_.note(index).content();
  // Deleted since the list was made: the list goes without it.
  if (!content) {
    reload();
    return;
  }
  Panel_visu->show();
  Frame_visu->ShowNote(content, WorkspaceColour);
}

void TForme_rech_note::documentClosing() {
  filling_ = true;
  LB_Listsujet->clear();
  filling_ = false;
  search_.clear();
  Lbl_nombre->setText(countText(0));
  Frame_visu->ClearNote();
  Panel_visu->hide();
}

bool TForme_rech_note::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PB_entete && event->type() == QEvent::Paint) {
    QPainter painter(PB_entete);
    PaintCaptionBand(painter, PB_entete->rect(), windowTitle(), ButtonFaceColour(), 100, WorkspaceColour);
    return true;
  }
  if (watched == Ed_recherche && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Return shows the first comment found; Down goes on into the list.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) && LB_Listsujet->count() > 0) {
      RunReported([&] {
        QListWidgetItem* item = LB_Listsujet->currentItem() ? LB_Listsujet->currentItem() : LB_Listsujet->item(0);
        filling_ = true;
        LB_Listsujet->setCurrentItem(item);
        filling_ = false;
        choose(item);
        if (key == Qt::Key_Down) LB_Listsujet->setFocus();
      });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

} // namespace tessel
