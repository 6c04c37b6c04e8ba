#include "app/U_Frame_emploi_du_temps.h"

#include "app/EmbeddedFrames.h"
#include "app/IconSet.h"
#include "app/PaintHelpers.h"
#include "app/ProgramValues.h"
#include "app/U_DM_intro.h"
#include "app/U_DM_metier_tessel.h"
#include "app/UiFonts.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/UserPrompts.h"
#include "model/DocumentManager.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_occurence.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <functional>

namespace tessel {

namespace {

constexpr int HeaderHeight = 35;
constexpr int TitleOffset = 200;        // the week title is centred right of it
constexpr int LeftPanelWidth = 185;
constexpr int LeftPanelMinimum = 80;
constexpr int SplitterWidth = 4;
constexpr int RowTotalsWidth = 60;
constexpr int DayTotalsHeight = 41;
constexpr int NotePanelHeight = 120;
constexpr int GridMinimumHeight = 140;  // what the note panel's splitter leaves above it
constexpr int InformationWidth = 160;
constexpr int RowPitch = 40;
constexpr int RowHeight = 25;
// 12 pixels for each character of the masked text "  :  " but one. The
// free-text cells of "Nombre d'heures/jour" rows hold the same kind of text
// and get the same width.
constexpr int CellWidth = (5 - 1) * 12;
const QColor FocusedCellColour(255, 255, 0);

// One optional and one required hour digit, ":", two required minute
// digits, blanks shown as "_". (Qt's mask letters are the reverse of the
// designed ones: 9 is a required digit, 0 an optional one; the optional hour
// digit comes second so that "7:30" can be typed as it is read.)
const QString TimeMask = QStringLiteral("90:99;_");

TDateTime dayOf(const QDate& date) { return EncodeDate(date.year(), date.month(), date.day()); }

QDate dateOf(TDateTime day) {
  int y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  return QDate(y, m, d);
}

QFont totalsFont() {
  QFont font = MsSansSerif(10);
  font.setBold(true);
  return font;
}

void markModified() { DocumentManager::instance().SetDocumentModified(true); }

QIcon actionIcon(const char* file) { return QIcon(IconPath(QLatin1String(file))); }

// A panel drawn by its owner, which may also follow its size and its clicks.
class PaintedPanel final : public QWidget {
public:
  using QWidget::QWidget;
  std::function<void(QPainter&)> paint;
  std::function<void()> resized;
  std::function<void()> clicked;

protected:
  void paintEvent(QPaintEvent*) override {
    if (!paint) return;
    QPainter painter(this);
    paint(painter);
  }
  void resizeEvent(QResizeEvent*) override {
    if (resized) resized();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (clicked && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) clicked();
  }
};

// The surface the rows are placed on; tree nodes are dropped on it.
class GridSurface final : public QWidget {
public:
  using QWidget::QWidget;
  std::function<bool(const QObject*)> accepts;
  std::function<void()> dropped;

protected:
  void dragEnterEvent(QDragEnterEvent* event) override { consider(*event); }
  void dragMoveEvent(QDragMoveEvent* event) override { consider(*event); }
  void dropEvent(QDropEvent* event) override {
    if (!consider(*event)) return;
    dropped();
  }

private:
  bool consider(QDropEvent& event) {
    if (!accepts || !accepts(event.source())) {
      event.ignore();
      return false;
    }
    // A row is added, nothing leaves the tree: never accept a move when the
    // source offers anything else.
    if (event.possibleActions() & Qt::CopyAction) event.setDropAction(Qt::CopyAction);
    else if (event.possibleActions() & Qt::LinkAction) event.setDropAction(Qt::LinkAction);
    else event.setDropAction(event.proposedAction());
    event.accept();
    return true;
  }
};

// The panels fit together edge to edge.
template <typename Layout>
Layout* flatLayout(QWidget* owner) {
  auto* layout = new Layout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

PaintedPanel* newPanel(const char* name) {
  auto* panel = new PaintedPanel;
  panel->setObjectName(QLatin1String(name));
  return panel;
}

QToolButton* newButton(const char* name, const QString& hint, const char* icon) {
  auto* button = new QToolButton;
  button->setObjectName(QLatin1String(name));
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setIcon(actionIcon(icon));
  button->setIconSize(QSize(20, 20));
  button->setAutoRaise(true);
  button->setFixedSize(32, 27);
  return button;
}

} // namespace

// ---------------------------------------------------------------- cells

class TFrame_emploi_du_temps::Cell final : public QLineEdit {
public:
  Cell(TFrame_emploi_du_temps& screen, int row, int day, bool freeText, QWidget* parent)
      : QLineEdit(parent), row(row), day(day), freeText(freeText), screen_(screen) {
    setObjectName(QStringLiteral("Ed_%1_%2").arg(row + 1).arg(day + 1));
    // Size 12 in the narrow face of the design, so that a time fits the cell.
    setFont(Arial(12));
    if (!freeText) setInputMask(TimeMask);
    setToolTip(QStringLiteral("Aucune note"));
    connect(this, &QLineEdit::textEdited, this, [this] { screen_.userEdited(); });
  }

  const int row;
  const int day;
  const bool freeText;
  QString committedText; // what Escape brings back
  bool entered = false;  // between the user's move into the cell and out of it

  void setBackground(const QColor& colour) {
    QPalette p = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      p.setColor(group, QPalette::Base, colour);
      p.setColor(group, QPalette::Text, Qt::black);
    }
    setPalette(p);
  }

  // The mask with no digit typed: reads as no time.
  bool emptyMask() const {
    const QString typed = text();
    return !freeText && std::none_of(typed.begin(), typed.end(), [](QChar c) { return c.isDigit(); });
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    const bool modifierOnly = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                              key == Qt::Key_Meta || key == Qt::Key_AltGr;
    const bool hadTime = IsNonZeroDuration(toCp1252(text()));
    if (emptyMask() && !modifierOnly) {
      // Typed characters then replace the whole text.
      setText(QStringLiteral("00:00"));
      selectAll();
    }
    switch (key) {
    case Qt::Key_Delete:
      // The next commit deletes the entry.
      setText(QStringLiteral("00:00"));
      selectAll();
      if (hadTime) {
        setModified(true);
        screen_.userEdited();
      }
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter: screen_.moveFocus(*this, Move::Next); return;
    case Qt::Key_Up: screen_.moveFocus(*this, Move::Up); return;
    case Qt::Key_Down: screen_.moveFocus(*this, Move::Down); return;
    case Qt::Key_Escape:
      setText(committedText);
      setModified(false);
      selectAll();
      return;
    default: break;
    }
    QLineEdit::keyPressEvent(event);
  }

  // A popup menu or another window taking the focus for a while neither
  // leaves the cell nor enters it again.
  static bool userMove(const QFocusEvent* event) {
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
  }

  // Whatever way the cell is entered, its text is selected, so that what
  // the user types replaces it.
  void focusInEvent(QFocusEvent* event) override {
    QLineEdit::focusInEvent(event);
    if (screen_.quiet_ || entered) return;
    entered = true;
    if (!userMove(event)) {
      // The window coming back with the focus here: only the look of a
      // cell with the focus (the document may be changing under a message box).
      setBackground(FocusedCellColour);
      return;
    }
    if (event->reason() == Qt::MouseFocusReason) selectOnPress_ = true;
    else selectAll();
    screen_.cellEntered(*this);
  }

  void mousePressEvent(QMouseEvent* event) override {
    QLineEdit::mousePressEvent(event);
    if (selectOnPress_) selectAll();
    selectOnPress_ = false;
  }

  void focusOutEvent(QFocusEvent* event) override {
    QLineEdit::focusOutEvent(event);
    if (screen_.quiet_ || !userMove(event)) return;
    entered = false;
    screen_.cellLeft(*this);
  }

  void contextMenuEvent(QContextMenuEvent* event) override {
    const QPointer<Cell> guard(this);
    const QAction* chosen = screen_.PM_quart_heure->exec(event->globalPos());
    if (!guard || !chosen || !chosen->data().toBool()) return;
    setText(chosen->text());
    setModified(true);
    screen_.userEdited();
    screen_.commitCell(*this);
  }

private:
  TFrame_emploi_du_temps& screen_;
  bool selectOnPress_ = false;
};

// ---------------------------------------------------------------- row labels

// Paints what it was last given, never the objects themselves: between the
// closing of a document and the next initialise, a message box may make it
// repaint while those objects are gone.
class TFrame_emploi_du_temps::RowLabel final : public QWidget {
public:
  RowLabel(TFrame_emploi_du_temps& screen, int row, QWidget* parent) : QWidget(parent), row_(row), screen_(screen) {
    setObjectName(QStringLiteral("PB_ligne_%1").arg(row + 1));
    setFont(Courier(10));
  }

  void showActivity(const QString& name, const QColor& colour, const QImage& picture) {
    name_ = name;
    colour_ = colour;
    picture_ = picture.isNull() ? QImage() : TObjRec::Masked(picture);
    update();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int h = height();
    painter.setPen(Qt::black);
    painter.setBrush(colour_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!picture_.isNull()) painter.drawImage(QRect(2, 2, h - 6, h - 6), picture_);
    const QString name = FitText(painter, QRect(0, 0, width() - h, h), name_, QStringLiteral("..."));
    DrawEmbossedText(painter, h + 5, 3, PlainText, name);
  }

  void contextMenuEvent(QContextMenuEvent* event) override {
    screen_.menuRow_ = row_;
    const QList<QAction*> actions = screen_.PM_ligne->actions();
    actions.at(1)->setEnabled(embeddedFrames().categoryDialog && screen_.week_.category(row_));
    screen_.PM_ligne->exec(event->globalPos());
  }

private:
  const int row_;
  TFrame_emploi_du_temps& screen_;
  QString name_;
  QColor colour_ = Qt::white;
  QImage picture_;
};

// ---------------------------------------------------------------- the screen

TFrame_emploi_du_temps::TFrame_emploi_du_temps(QWidget* parent)
    : WorkScreen(parent),
      Splitter_gauche(new QSplitter(Qt::Horizontal, this)),
      Panel_gauche_activite(new QWidget),
      Lbl_activites(new QLabel),
      SB_portail(new QToolButton),
      Panel_entete(newPanel("Panel_entete")),
      DTP_jour(new QDateEdit),
      SB_semaine_precedente(newButton("SB_semaine_precedente", QStringLiteral("Semaine précédente"),
                                      "action-week-previous.svg")),
      SB_semaine_suivante(newButton("SB_semaine_suivante", QStringLiteral("Semaine suivante"), "action-week-next.svg")),
      SB_commentaires(newButton("SB_commentaires", QStringLiteral("Commentaire(s)"), "common-comments.svg")),
      Splitter_note(new QSplitter(Qt::Vertical)),
      ScrollBox_grille(new QScrollArea),
      Panel_grille(new GridSurface),
      Panel_hebdo_barre(newPanel("Panel_hebdo_barre")),
      Panel_somme_journaliere(newPanel("Panel_somme_journaliere")),
      Panel_note(new QWidget),
      Panel_informations(newPanel("Panel_informations")),
      PM_quart_heure(new QMenu(this)),
      PM_ligne(new QMenu(this)) {
  setObjectName(QStringLiteral("TFrame_emploi_du_temps"));
  buildLeftPanel();
  buildHeader();
  buildGridArea();
  buildNotePanel();
  buildMenus();

  auto* right = new QWidget;
  auto* rightLayout = flatLayout<QVBoxLayout>(right);
  rightLayout->addWidget(Panel_entete);
  rightLayout->addWidget(Splitter_note, 1);

  Splitter_gauche->setObjectName(QStringLiteral("Splitter_gauche"));
  Splitter_gauche->setHandleWidth(SplitterWidth);
  Splitter_gauche->setChildrenCollapsible(false);
  Splitter_gauche->addWidget(Panel_gauche_activite);
  Splitter_gauche->addWidget(right);
  Splitter_gauche->setStretchFactor(0, 0);
  Splitter_gauche->setStretchFactor(1, 1);
  Splitter_gauche->setSizes({LeftPanelWidth, 800});

  flatLayout<QVBoxLayout>(this)->addWidget(Splitter_gauche);

  // The day headings stay for good; the rows come and go with the weeks.
  for (int d = 0; d < WeekTimetable::days; ++d) {
    auto* heading = new QLabel(Panel_grille);
    heading->setObjectName(QStringLiteral("Lbl_jour_%1").arg(d + 1));
    heading->setFont(Courier(13));
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    headings_[std::size_t(d)] = heading;
  }
  showWeekOf(dayOf(DTP_jour->date()));
}

TFrame_emploi_du_temps::~TFrame_emploi_du_temps() {
  // The cells go with their parent; nothing is committed any more.
  quiet_ = true;
}

void TFrame_emploi_du_temps::buildLeftPanel() {
  Panel_gauche_activite->setObjectName(QStringLiteral("Panel_gauche_activite"));
  Panel_gauche_activite->setToolTip(QStringLiteral("Pour ajouter une activite, doublecliquer sur le noeud"));
  Panel_gauche_activite->setMinimumWidth(LeftPanelMinimum);
  auto* layout = flatLayout<QVBoxLayout>(Panel_gauche_activite);

  auto* titleBar = new QWidget;
  titleBar->setObjectName(QStringLiteral("Panel_titre_activites"));
  titleBar->setFixedHeight(22);
  auto* titleLayout = new QHBoxLayout(titleBar);
  titleLayout->setContentsMargins(4, 0, 2, 0);
  Lbl_activites->setObjectName(QStringLiteral("Lbl_activites"));
  QFont bold = Lbl_activites->font();
  bold.setBold(true);
  Lbl_activites->setFont(bold);
  Lbl_activites->setText(QStringLiteral("Activités"));
  SB_portail->setObjectName(QStringLiteral("SB_portail"));
  SB_portail->setText(QStringLiteral("Portail..."));
  SB_portail->setAutoRaise(true);
  connect(SB_portail, &QToolButton::clicked, this, &TFrame_emploi_du_temps::toggleLeftPanel);
  titleLayout->addWidget(Lbl_activites);
  titleLayout->addStretch();
  titleLayout->addWidget(SB_portail);
  layout->addWidget(titleBar);

  // The category tree goes here once the user-interface layer gives one.
  treeHolder_ = new QWidget;
  treeHolder_->setObjectName(QStringLiteral("Panel_arbre"));
  treeHolder_->setAutoFillBackground(true);
  QPalette white = treeHolder_->palette();
  white.setColor(QPalette::Window, Qt::white);
  treeHolder_->setPalette(white);
  flatLayout<QVBoxLayout>(treeHolder_);
  layout->addWidget(treeHolder_, 1);
}

void TFrame_emploi_du_temps::buildHeader() {
  auto* band = static_cast<PaintedPanel*>(Panel_entete);
  band->setFixedHeight(HeaderHeight);
  band->setFont(totalsFont());
  band->paint = [this, band](QPainter& painter) {
    PaintCaptionBand(painter, band->rect(), weekTitle(), ButtonFaceColour(), TitleOffset, WorkspaceColour);
  };
  band->resized = [this] { placeHeaderButtons(); };

  DTP_jour->setObjectName(QStringLiteral("DTP_jour"));
  DTP_jour->setParent(band);
  DTP_jour->setCalendarPopup(true);
  DTP_jour->setLocale(dateLocale());
  DTP_jour->setDisplayFormat(dateLocale().dateFormat(QLocale::LongFormat));
  DTP_jour->setDate(QDate::currentDate());
  const int dateWidth = DTP_jour->fontMetrics().horizontalAdvance(QStringLiteral("mercredi 30 septembre 2000")) + 40;
  DTP_jour->setGeometry(4, (HeaderHeight - 23) / 2, dateWidth, 23);
  connect(DTP_jour, &QDateEdit::dateChanged, this, [this] { dateChanged(); });

  for (QToolButton* button : {SB_semaine_precedente, SB_semaine_suivante, SB_commentaires}) button->setParent(band);
  SB_semaine_precedente->move(DTP_jour->geometry().right() + 3, (HeaderHeight - 27) / 2);
  // The week also moves from the keyboard, wherever the focus is on the screen.
  SB_semaine_precedente->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
  SB_semaine_suivante->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  connect(SB_semaine_precedente, &QToolButton::clicked, this, [this] { stepWeek(-7); });
  connect(SB_semaine_suivante, &QToolButton::clicked, this, [this] { stepWeek(7); });
  SB_commentaires->setCheckable(true);
  connect(SB_commentaires, &QToolButton::toggled, this, [this](bool on) { showNotePanel(on); });
  placeHeaderButtons();
}

void TFrame_emploi_du_temps::placeHeaderButtons() {
  const int top = (HeaderHeight - SB_semaine_suivante->height()) / 2;
  SB_semaine_suivante->move(Panel_entete->width() - 80, top);
  SB_commentaires->move(Panel_entete->width() - 36, top);
}

void TFrame_emploi_du_temps::buildGridArea() {
  auto* surface = static_cast<GridSurface*>(Panel_grille);
  surface->setObjectName(QStringLiteral("Panel_grille"));
  surface->setAutoFillBackground(true);
  surface->setAcceptDrops(true);
  // A click on the surface takes the focus, and so commits the cell left.
  surface->setFocusPolicy(Qt::ClickFocus);
  surface->accepts = [this](const QObject* source) { return acceptsDrop(source); };
  surface->dropped = [this] { dropped(); };

  ScrollBox_grille->setObjectName(QStringLiteral("ScrollBox_grille"));
  ScrollBox_grille->setFrameShape(QFrame::NoFrame);
  ScrollBox_grille->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollBox_grille->setWidgetResizable(false);
  ScrollBox_grille->setWidget(surface);
  ScrollBox_grille->viewport()->installEventFilter(this);
  connect(ScrollBox_grille->verticalScrollBar(), &QScrollBar::valueChanged, Panel_hebdo_barre,
          qOverload<>(&QWidget::update));

  auto* rowTotals = static_cast<PaintedPanel*>(Panel_hebdo_barre);
  rowTotals->setFixedWidth(RowTotalsWidth);
  rowTotals->setFont(totalsFont());
  rowTotals->paint = [this, rowTotals](QPainter& painter) {
    painter.fillRect(rowTotals->rect(), WorkspaceColour);
    painter.setPen(WorkspaceColour.darker(130));
    painter.drawLine(0, 0, 0, rowTotals->height());
    painter.setPen(Qt::black);
    const int top = Panel_grille->mapTo(this, QPoint()).y() - rowTotals->mapTo(this, QPoint()).y();
    const int textHeight = painter.fontMetrics().height();
    for (int r = 0; r < int(totals_.rows.size()); ++r)
      DrawEmbossedText(painter, 5, top + rowTop(r) + (RowHeight - textHeight) / 2, PlainText, totals_.rows[std::size_t(r)]);
  };

  auto* dayTotals = static_cast<PaintedPanel*>(Panel_somme_journaliere);
  dayTotals->setFixedHeight(DayTotalsHeight);
  dayTotals->setFont(totalsFont());
  dayTotals->paint = [this, dayTotals](QPainter& painter) {
    PaintGradient(painter, WorkspaceColour, ButtonFaceColour(), dayTotals->rect());
    painter.setPen(Qt::black);
    DrawEmbossedText(painter, 5, 15, PlainText, QStringLiteral("Somme Horaire"));
    const int left = Panel_grille->mapTo(this, QPoint()).x() - dayTotals->mapTo(this, QPoint()).x();
    for (int d = 0; d < WeekTimetable::days; ++d) {
      const QString& total = totals_.days[std::size_t(d)];
      const QColor& colour = totals_.colours[std::size_t(d)];
      const int x = left + dayHeading(d)->x();
      if (colour != Qt::black) {
        // Yellow and red on the light end of the gradient need an outline to be read.
        painter.setPen(QColor(64, 64, 64));
        DrawEmbossedText(painter, x + 1, 16, PlainText, total);
      }
      painter.setPen(colour);
      DrawEmbossedText(painter, x, 15, PlainText, total);
    }
    const QString& week = totals_.week;
    painter.setPen(Qt::black);
    DrawEmbossedText(painter, dayTotals->width() - painter.fontMetrics().horizontalAdvance(week) - 20, 15, PlainText,
                     week);
  };

  auto* upper = new QWidget;
  upper->setObjectName(QStringLiteral("Panel_saisie"));
  upper->setMinimumHeight(GridMinimumHeight);
  auto* upperLayout = flatLayout<QVBoxLayout>(upper);
  auto* middle = new QHBoxLayout;
  middle->setSpacing(0);
  middle->addWidget(ScrollBox_grille, 1);
  middle->addWidget(Panel_hebdo_barre);
  upperLayout->addLayout(middle, 1);
  upperLayout->addWidget(Panel_somme_journaliere);

  Splitter_note->setObjectName(QStringLiteral("Splitter_note"));
  Splitter_note->setHandleWidth(SplitterWidth);
  Splitter_note->setChildrenCollapsible(false);
  Splitter_note->addWidget(upper);
  Splitter_note->setStretchFactor(0, 1);
}

void TFrame_emploi_du_temps::buildNotePanel() {
  Panel_note->setObjectName(QStringLiteral("Panel_note"));
  auto* layout = flatLayout<QHBoxLayout>(Panel_note);
  // The note viewer goes here once the user-interface layer gives one.
  viewerHolder_ = new QWidget;
  viewerHolder_->setObjectName(QStringLiteral("Panel_visu_note"));
  flatLayout<QVBoxLayout>(viewerHolder_);
  layout->addWidget(viewerHolder_, 1);

  auto* information = static_cast<PaintedPanel*>(Panel_informations);
  information->setFixedWidth(InformationWidth);
  information->setToolTip(QStringLiteral("Informations"));
  information->setAccessibleName(QStringLiteral("Informations"));
  information->setCursor(Qt::PointingHandCursor);
  information->paint = [information](QPainter& painter) {
    PaintCaptionBand(painter, information->rect(), QString(), ButtonFaceColour(), 0, WorkspaceColour);
    static const QPixmap fallback = ProductPicture();
    const TDM_metier_tessel* module = TDM_metier_tessel::instance();
    const QPixmap picture = module ? module->IL_images.pixmap(0) : fallback;
    painter.drawPixmap(information->width() / 2 - 75, information->height() / 2 - 60, picture);
  };
  information->clicked = [this] { openAbout(); };
  layout->addWidget(information);

  Splitter_note->addWidget(Panel_note);
  Splitter_note->setStretchFactor(1, 0);
  Splitter_note->setSizes({400, NotePanelHeight});
  Panel_note->hide();
}

void TFrame_emploi_du_temps::buildMenus() {
  PM_quart_heure->setObjectName(QStringLiteral("PM_quart_heure"));
  for (int h = 0; h <= 8; ++h) {
    QMenu* hour = PM_quart_heure->addMenu(QStringLiteral("%1:00").arg(h));
    for (const char* minutes : {"00", "15", "30", "45"})
      hour->addAction(QStringLiteral("%1:%2").arg(h).arg(QLatin1String(minutes)))->setData(true);
  }

  PM_ligne->setObjectName(QStringLiteral("PM_ligne"));
  // The row's label, whose menu this is, goes with the row: once its menu is
  // closed and its event handled.
  connect(PM_ligne->addAction(actionIcon("action-row-delete.svg"), QStringLiteral("Supprimer toute la ligne")),
          &QAction::triggered, this, [this] {
            QMetaObject::invokeMethod(this, [this, row = menuRow_] { removeRow(row); }, Qt::QueuedConnection);
          });
  connect(PM_ligne->addAction(actionIcon("action-category-edit.svg"),
                              QStringLiteral("Modifier caractéristiques activités...")),
          &QAction::triggered, this, [this] { editRowCategory(menuRow_); });
}

void TFrame_emploi_du_temps::createEmbeddedFrames() {
  const EmbeddedFrames& frames = embeddedFrames();
  if (!tree_ && frames.taxonomyTree) {
    tree_ = frames.taxonomyTree(treeHolder_);
    if (tree_) {
      treeHolder_->layout()->addWidget(tree_);
      connect(tree_, &TaxonomyTreeFrame::nodeChanged, this, &TFrame_emploi_du_temps::categoryChanged);
      if (QAbstractItemView* view = tree_->TreeView())
        connect(view, &QAbstractItemView::doubleClicked, this, [this] { treeDoubleClicked(); });
    }
  }
  if (!viewer_ && frames.noteViewer) {
    viewer_ = frames.noteViewer(viewerHolder_);
    if (viewer_) viewerHolder_->layout()->addWidget(viewer_);
  }
}

// ---------------------------------------------------------------- lifecycle

void TFrame_emploi_du_temps::initialise() {
  // The rows refer to the objects of the document that was just replaced.
  destroyRows();
  week_ = WeekTimetable();
  createEmbeddedFrames();
  DocumentManager& documents = DocumentManager::instance();
  documents.commitPendingEdits = [screen = QPointer(this)] {
    if (screen) screen->commitPendingEdit();
  };
  documents.SetDocumentModified(false);
  {
    const QSignalBlocker block(DTP_jour);
    DTP_jour->setDate(QDate::currentDate());
  }
  if (tree_) {
    static const ImageList noPictures;
    const TDM_metier_tessel* module = TDM_metier_tessel::instance();
    tree_->ShowTaxonomy(Mcategorie::Class(), module ? module->IL_activites : noPictures);
    tree_->SetTitleBarVisible(false);
  }
  if (viewer_) viewer_->ClearNote();
  Lbl_activites->setText(QStringLiteral("Activités"));
  showWeekOf(dayOf(DTP_jour->date()));
}

void TFrame_emploi_du_temps::finalise() {
  destroyRows();
  week_ = WeekTimetable();
  if (viewer_) viewer_->ClearNote();
  repaintTotals();
}

void TFrame_emploi_du_temps::refresh() { layOut(); }

void TFrame_emploi_du_temps::loadWeek() {
  if (!commitPendingEdit()) return;
  showWeekOf(dayOf(DTP_jour->date()));
}

void TFrame_emploi_du_temps::showWeekOf(TDateTime day) {
  destroyRows();
  week_.load(day);
  shownDay_ = day;
  if (TDM_metier_tessel* module = TDM_metier_tessel::instance()) module->setReportPeriod(week_.monday(), week_.sunday());
  createMissingRows();
  fillValues();
  layOut();
}

void TFrame_emploi_du_temps::destroyRows() {
  const QScopedValueRollback quiet(quiet_, true);
  if (Panel_grille->isAncestorOf(QApplication::focusWidget())) Panel_grille->setFocus(Qt::OtherFocusReason);
  for (Row& row : rows_) {
    delete row.label;
    for (Cell* cell : row.cells) delete cell;
  }
  rows_.clear();
}

void TFrame_emploi_du_temps::createMissingRows() {
  for (int r = rowCount(); r < week_.rowCount(); ++r) {
    Row row;
    row.label = new RowLabel(*this, r, Panel_grille);
    row.label->show();
    const bool freeText = WeekTimetable::isFreeTextRow(week_.activity(r));
    for (int d = 0; d < WeekTimetable::days; ++d) {
      Cell* cell = new Cell(*this, r, d, freeText, Panel_grille);
      cell->show();
      // From the date picker, Tab goes to the first cell, then day by day.
      QWidget* previous = DTP_jour;
      if (d > 0) previous = row.cells[std::size_t(d - 1)];
      else if (r > 0) previous = rows_.back().cells.back();
      setTabOrder(previous, cell);
      row.cells[std::size_t(d)] = cell;
    }
    rows_.push_back(row);
  }
}

void TFrame_emploi_du_temps::fillValues() {
  for (Row& row : rows_)
    for (Cell* cell : row.cells) showValue(*cell);
}

void TFrame_emploi_du_temps::showValue(Cell& cell) {
  const Moccurence* entry = week_.entry(cell.row, cell.day);
  cell.setText(fromCp1252(week_.cellText(cell.row, cell.day)));
  cell.setModified(false);
  cell.committedText = cell.text();
  cell.setEnabled(!(entry && entry->IsValid()));
  cell.setToolTip(noteHint(cell.row, cell.day));
}

bool TFrame_emploi_du_temps::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ScrollBox_grille->viewport() && event->type() == QEvent::Resize) layOut();
  return WorkScreen::eventFilter(watched, event);
}

void TFrame_emploi_du_temps::layOut() {
  // Showing or hiding the scroll bar narrows or widens the area, and the
  // lay-out runs again from inside: let the outer run redo it instead.
  if (layingOut_) {
    layOutAgain_ = true;
    return;
  }
  const QScopedValueRollback guard(layingOut_, true);
  for (int pass = 0; pass < 3; ++pass) {
    layOutAgain_ = false;
    layOutOnce();
    if (!layOutAgain_) break;
  }
  Panel_entete->update();
  repaintTotals();
  Panel_informations->update();
}

void TFrame_emploi_du_temps::layOutOnce() {
  const QWidget* viewport = ScrollBox_grille->viewport();
  const int width = viewport->width();
  labelWidth_ = int(width / 3.5);
  dayWidth_ = (width - labelWidth_) / WeekTimetable::days;
  QPalette surface = Panel_grille->palette();
  surface.setColor(QPalette::Window, WorkspaceColour);
  Panel_grille->setPalette(surface);
  Panel_grille->resize(width, std::max(RowPitch * rowCount() + 70, viewport->height()));

  const std::array<std::string, 7>& names = DayNamesLong();
  for (int d = 0; d < WeekTimetable::days; ++d) {
    QLabel* heading = dayHeading(d);
    const QFontMetrics metrics(heading->font());
    const QRect box(labelWidth_ + d * dayWidth_, 10, dayWidth_ - 15, 2 * metrics.lineSpacing() + 2);
    heading->setGeometry(box);
    int y = 0, m = 0, day = 0;
    DecodeDate(week_.monday() + d, y, m, day);
    heading->setText(FitText(metrics, box, fromCp1252(names[std::size_t(d)]), QString()) + QLatin1Char('\n') +
                     QString::number(day));
  }

  const int cellWidth = std::max(0, std::min(dayWidth_ - 15, CellWidth));
  for (int r = 0; r < rowCount(); ++r) {
    Row& row = rows_[std::size_t(r)];
    row.label->setGeometry(5, rowTop(r), labelWidth_ - 25 - 5, RowHeight);
    row.label->setToolTip(rowDescription(r));
    const Mcategorie* category = week_.category(r);
    const QImage* picture = category ? category->Picture() : nullptr;
    row.label->showActivity(rowName(r), rowColour(r), picture ? *picture : QImage());
    for (int d = 0; d < WeekTimetable::days; ++d) {
      Cell* cell = row.cells[std::size_t(d)];
      cell->setGeometry(labelWidth_ + d * dayWidth_, rowTop(r), cellWidth, RowHeight);
      cell->setBackground(cell->hasFocus() ? FocusedCellColour : rowColour(r));
      cell->setToolTip(noteHint(r, d));
    }
  }
}

void TFrame_emploi_du_temps::repaintTotals() {
  // Worked out here, painted from the texts (see RowLabel).
  totals_ = Totals();
  for (int r = 0; r < rowCount(); ++r) totals_.rows.push_back(fromCp1252(DurationText(week_.rowTotal(r))));
  for (int d = 0; d < WeekTimetable::days && rowCount() > 0; ++d) {
    const TDateTime total = week_.dayTotal(d);
    totals_.days[std::size_t(d)] = fromCp1252(DurationText(total));
    const int hours = TotalHours(total);
    totals_.colours[std::size_t(d)] = hours > 23 ? QColor(Qt::red) : hours > 7 ? QColor(Qt::yellow) : QColor(Qt::black);
  }
  totals_.week = fromCp1252(DurationText(week_.weekTotal()));
  Panel_hebdo_barre->update();
  Panel_somme_journaliere->update();
}

// ---------------------------------------------------------------- cells at work

void TFrame_emploi_du_temps::cellEntered(Cell& cell) {
  cell.setBackground(FocusedCellColour);
  ScrollBox_grille->ensureWidgetVisible(&cell, 0, 20);
  if (!viewer_) return;
  if (!IsNonZeroDuration(toCp1252(cell.text()))) {
    viewer_->ClearNote();
  } else if (const Moccurence* entry = week_.entry(cell.row, cell.day)) {
    viewer_->ShowNote(entry->EntryContent(), rowColour(cell.row));
  }
}

void TFrame_emploi_du_temps::cellLeft(Cell& cell) {
  cell.setBackground(rowColour(cell.row));
  commitCell(cell);
}

void TFrame_emploi_du_temps::userEdited() {
  // Typing is a change: the save command becomes available, and saving
  // commits the cell first.
  if (!DocumentManager::instance().DocumentModified()) markModified();
}

bool TFrame_emploi_du_temps::commitCell(Cell& cell) {
  if (committing_ || quiet_) return true;
  const QScopedValueRollback guard(committing_, true);
  cell.setBackground(rowColour(cell.row));
  if (!cell.freeText && !cell.emptyMask() && !cell.hasAcceptableInput()) {
    refuse(cell, std::string("Valeur d'entrée incorrecte. Utiliser Echap pour abandonner les modifications"_w));
    return false;
  }
  MObject_OCS* note = viewer_ ? viewer_->CurrentObject() : nullptr;
  try {
    if (week_.commit(cell.row, cell.day, toCp1252(cell.text()), note)) markModified();
  } catch (const ConvertError& error) {
    refuse(cell, error.what());
    return false;
  }
  showValue(cell);
  if (cell.hasFocus()) {
    cell.setBackground(FocusedCellColour);
    cell.selectAll();
  }
  repaintTotals();
  return true;
}

void TFrame_emploi_du_temps::refuse(Cell& cell, const std::string& message) {
  const QPointer<Cell> guard(&cell);
  prompts().message(MessageKind::Error, message);
  if (!guard) return;
  // The text stays for the user to correct, or to give up with Escape.
  guard->setFocus(Qt::OtherFocusReason);
  if (guard->hasFocus()) guard->setBackground(FocusedCellColour);
}

TFrame_emploi_du_temps::Cell* TFrame_emploi_du_temps::pendingCell() const {
  for (const Row& row : rows_)
    for (Cell* cell : row.cells)
      if (cell->isModified()) return cell;
  return nullptr;
}

bool TFrame_emploi_du_temps::commitPendingEdit() {
  Cell* cell = pendingCell();
  return !cell || commitCell(*cell);
}

void TFrame_emploi_du_temps::moveFocus(const Cell& from, Move move) {
  const int rows = rowCount();
  const int days = WeekTimetable::days;
  Cell* target = nullptr;
  if (move == Move::Next) {
    const int here = from.row * days + from.day;
    for (int i = 1; i <= rows * days && !target; ++i) {
      const int index = (here + i) % (rows * days);
      Cell* cell = rows_[std::size_t(index / days)].cells[std::size_t(index % days)];
      if (cell->isEnabled()) target = cell;
    }
  } else {
    const int step = move == Move::Up ? rows - 1 : 1; // going up wraps from the first row to the last
    for (int i = 1; i <= rows && !target; ++i) {
      Cell* cell = rows_[std::size_t((from.row + i * step) % rows)].cells[std::size_t(from.day)];
      if (cell->isEnabled()) target = cell;
    }
  }
  if (target && target != &from) target->setFocus(Qt::TabFocusReason);
}

// ---------------------------------------------------------------- commands

void TFrame_emploi_du_temps::dateChanged() {
  if (!commitPendingEdit()) {
    const QSignalBlocker block(DTP_jour);
    DTP_jour->setDate(dateOf(shownDay_));
    return;
  }
  showWeekOf(dayOf(DTP_jour->date()));
}

void TFrame_emploi_du_temps::stepWeek(int days) {
  if (!commitPendingEdit()) return;
  DTP_jour->setDate(DTP_jour->date().addDays(days));
}

void TFrame_emploi_du_temps::treeDoubleClicked() {
  if (!tree_ || !commitPendingEdit()) return;
  if (tree_->TopNodeSelected()) {
    // The first loaded category is the root in the documents this program makes.
    rowsAdded(week_.addRowsForAllCategories() > 0);
  } else if (auto* category = dynamic_cast<Mcategorie*>(tree_->SelectedObject())) {
    rowsAdded(week_.addRow(category));
  }
}

bool TFrame_emploi_du_temps::acceptsDrop(const QObject* source) const {
  return tree_ && source && source == tree_->TreeView() && !tree_->TopNodeSelected() &&
         dynamic_cast<Mcategorie*>(tree_->SelectedObject());
}

void TFrame_emploi_du_temps::dropped() {
  auto* category = tree_ ? dynamic_cast<Mcategorie*>(tree_->SelectedObject()) : nullptr;
  if (!category || !commitPendingEdit()) return;
  rowsAdded(week_.addRow(category));
}

void TFrame_emploi_du_temps::rowsAdded(bool added) {
  if (added) markModified();
  createMissingRows();
  fillValues();
  layOut();
}

void TFrame_emploi_du_temps::removeRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  Cell* pending = pendingCell();
  if (pending && pending->row == row) pending->setModified(false); // its row goes anyway
  else if (!commitPendingEdit()) return;
  if (week_.removeRow(row)) markModified();
  destroyRows();
  createMissingRows();
  fillValues();
  layOut();
}

void TFrame_emploi_du_temps::editRowCategory(int row) {
  Mcategorie* category = row >= 0 && row < rowCount() ? week_.category(row) : nullptr;
  const auto& dialog = embeddedFrames().categoryDialog;
  if (category && dialog) {
    CategoryDialogFields fields;
    fields.caption = QStringLiteral("Modifier la catégorie");
    fields.colourEditable = true;
    fields.name = fromCp1252(category->Name());
    fields.description = fromEngineLines(category->Description());
    fields.colour = ColourFromBgr(category->Colour());
    if (const QImage* picture = category->Picture()) fields.picture = *picture;
    if (dialog(this, fields)) {
      category->SetName(toCp1252(fields.name));
      category->SetDescription(toEngineLines(fields.description));
      if (category->classe().HasColour()) category->SetColour(BgrFromColour(fields.colour));
      category->SetPicture(fields.picture.isNull() ? nullptr : &fields.picture);
      markModified();
      if (tree_) tree_->RefreshNode(category);
    }
  }
  layOut();
}

void TFrame_emploi_du_temps::categoryChanged(MObject_OCS* object) {
  if (!week_.rowsOfCategory(object).empty()) layOut();
  markModified();
}

void TFrame_emploi_du_temps::showNotePanel(bool visible) {
  Panel_note->setVisible(visible);
  const QSignalBlocker block(SB_commentaires);
  SB_commentaires->setChecked(visible);
}

void TFrame_emploi_du_temps::openAbout() {
  if (const TDM_intro* intro = TDM_intro::instance()) intro->Act_a_propos->trigger();
}

bool TFrame_emploi_du_temps::leftPanelVisible() const { return !Panel_gauche_activite->isHidden(); }

void TFrame_emploi_du_temps::toggleLeftPanel() { setLeftPanelVisible(!leftPanelVisible()); }

void TFrame_emploi_du_temps::setLeftPanelVisible(bool visible) {
  if (visible == leftPanelVisible()) return;
  Panel_gauche_activite->setVisible(visible);
  emit leftPanelVisibilityChanged(visible);
}

// ---------------------------------------------------------------- what is shown

QString TFrame_emploi_du_temps::weekTitle() const { return fromCp1252(week_.title()); }

QLineEdit* TFrame_emploi_du_temps::cell(int row, int day) const {
  return rows_.at(std::size_t(row)).cells.at(std::size_t(day));
}

QWidget* TFrame_emploi_du_temps::rowLabel(int row) const { return rows_.at(std::size_t(row)).label; }

QString TFrame_emploi_du_temps::rowTotalText(int row) const { return totals_.rows.at(std::size_t(row)); }

QString TFrame_emploi_du_temps::dayTotalText(int day) const { return totals_.days.at(std::size_t(day)); }

QColor TFrame_emploi_du_temps::dayTotalColour(int day) const { return totals_.colours.at(std::size_t(day)); }

QString TFrame_emploi_du_temps::weekTotalText() const { return totals_.week; }

QColor TFrame_emploi_du_temps::rowColour(int row) const {
  const Mcategorie* category = week_.category(row);
  return category ? ColourFromBgr(category->Colour()) : QColor(Qt::white);
}

QString TFrame_emploi_du_temps::rowName(int row) const {
  const Mcategorie* category = week_.category(row);
  return fromCp1252(category ? category->Name() : week_.activity(row)->DisplayText());
}

QString TFrame_emploi_du_temps::rowDescription(int row) const {
  const Mcategorie* category = week_.category(row);
  return category ? fromEngineLines(category->Description()) : QString();
}

QString TFrame_emploi_du_temps::noteHint(int row, int day) const {
  const Moccurence* entry = week_.entry(row, day);
  const MObject_OCS* note = entry ? entry->EntryContent() : nullptr;
  return note ? QStringLiteral("Note : ") + fromCp1252(note->DisplayText()) : QStringLiteral("Aucune note");
}

int TFrame_emploi_du_temps::rowTop(int row) const { return RowPitch * (row + 1) + 15; }

} // namespace tessel
