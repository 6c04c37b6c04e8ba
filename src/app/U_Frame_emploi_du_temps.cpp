#include "app/U_Frame_emploi_du_temps.h"

#include "app/QuarterHourMenu.h"
#include "app/TimetableRowLabel.h"
#include "app/U_DM_intro.h"
#include "app/U_DM_metier_tessel.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/UserPrompts.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "model/WeekValidation.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_occurence.h"
#include "ui/Cadre_visu_OAOR.h"
#include "ui/Fenetre_definition_categorie.h"
#include "ui/U_cadre_arbre_obj_rec.h"
#include "widgets/EditSteps.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"
#include "widgets/ScreenParts.h"
#include "widgets/UiFonts.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
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
constexpr int TotalsTop = 15;          // the texts of the day totals
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

void markModified() { DocumentManager::instance().SetDocumentModified(true); }

QIcon actionIcon(const char* file) { return QIcon(IconPath(QLatin1String(file))); }

const QString TakePreviousWeekText = QStringLiteral("Reprendre les activités de la semaine précédente");
const QString ValidateText = QStringLiteral("Valider la semaine");
const QString ReopenText = QStringLiteral("Rouvrir la semaine");
const QString StartTimerText = QStringLiteral("Démarrer le chronomètre");
const QString StopTimerText = QStringLiteral("Arrêter le chronomètre");

QAction* newMenuAction(QObject* owner, const char* name, const QString& caption, const char* icon) {
  auto* action = new QAction(actionIcon(icon), caption, owner);
  action->setObjectName(QLatin1String(name));
  return action;
}

// "1:05:12"
QString elapsedText(qint64 seconds) {
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// "1 h 05" or "12 min"
QString minutesText(int minutes) {
  return minutes >= 60 ? QStringLiteral("%1 h %2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'))
                       : QStringLiteral("%1 min").arg(minutes);
}

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

// ---------------------------------------------------------------- the screen

TFrame_emploi_du_temps::TFrame_emploi_du_temps(QWidget* parent)
    : WorkScreen(parent),
      Splitter_gauche(new QSplitter(Qt::Horizontal, this)),
      Panel_gauche_activite(new QWidget),
      Lbl_activites(new QLabel),
      SB_portail(new QToolButton),
      Panel_entete(new PaintedPanel("Panel_entete")),
      DTP_jour(NewLongDatePicker("DTP_jour")),
      SB_semaine_precedente(newButton("SB_semaine_precedente", QStringLiteral("Semaine précédente"),
                                      "action-week-previous.svg")),
      SB_semaine_suivante(newButton("SB_semaine_suivante", QStringLiteral("Semaine suivante"), "action-week-next.svg")),
      SB_commentaires(newButton("SB_commentaires", QStringLiteral("Commentaire(s)"), "common-comments.svg")),
      Splitter_note(new QSplitter(Qt::Vertical)),
      ScrollBox_grille(new QScrollArea),
      Panel_grille(new GridSurface),
      Panel_hebdo_barre(new PaintedPanel("Panel_hebdo_barre")),
      Panel_somme_journaliere(new PaintedPanel("Panel_somme_journaliere")),
      Panel_note(new QWidget),
      Panel_informations(new PaintedPanel("Panel_informations")),
      SB_reprendre(newButton("SB_reprendre", TakePreviousWeekText, "action-add-activities.svg")),
      SB_valider(newButton("SB_valider", ValidateText, "common-done.svg")),
      BT_reprendre(new QPushButton(actionIcon("action-add-activities.svg"), TakePreviousWeekText)),
      PM_quart_heure(new QuarterHourMenu(this)),
      PM_ligne(new QMenu(this)),
      PM_grille(new QMenu(this)),
      Act_reprendre(newMenuAction(this, "Act_reprendre", TakePreviousWeekText, "action-add-activities.svg")),
      Act_valider(newMenuAction(this, "Act_valider", ValidateText + QStringLiteral("..."), "common-done.svg")),
      Act_rouvrir(newMenuAction(this, "Act_rouvrir", ReopenText + QStringLiteral("..."), "action-undo.svg")),
      Act_chronometre(newMenuAction(this, "Act_chronometre", StartTimerText, "common-clock.svg")),
      tree_(new TFrame_obj_rec),
      viewer_(new TFrame_visu_OAOR),
      timer_(std::make_unique<RunningTimer>()),
      tick_(new QTimer(this)) {
  setObjectName(QStringLiteral("TFrame_emploi_du_temps"));
  buildLeftPanel();
  buildHeader();
  buildGridArea();
  buildNotePanel();
  buildMenus();

  auto* right = new QWidget;
  auto* rightLayout = FlatLayout<QVBoxLayout>(right);
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

  FlatLayout<QVBoxLayout>(this)->addWidget(Splitter_gauche);

  // The day headings stay for good; the rows come and go with the weeks.
  for (int d = 0; d < WeekTimetable::days; ++d) {
    auto* heading = new QLabel(Panel_grille);
    heading->setObjectName(QStringLiteral("Lbl_jour_%1").arg(d + 1));
    heading->setFont(Courier(13));
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    headings_[std::size_t(d)] = heading;
  }
  tick_->setInterval(1000);
  connect(tick_, &QTimer::timeout, this, [this] { timerTick(); });
  showWeekOf(DayOfDate(DTP_jour->date()));
  EditHistory::instance().setViewNoter(this, [this] { return view(); });
}

TFrame_emploi_du_temps::~TFrame_emploi_du_temps() {
  // The cells go while the screen is whole; nothing is committed any more.
  destroyRows();
  quiet_ = true;
}

void TFrame_emploi_du_temps::buildLeftPanel() {
  Panel_gauche_activite->setObjectName(QStringLiteral("Panel_gauche_activite"));
  Panel_gauche_activite->setToolTip(QStringLiteral("Pour ajouter une activite, doublecliquer sur le noeud"));
  Panel_gauche_activite->setMinimumWidth(LeftPanelMinimum);
  auto* layout = FlatLayout<QVBoxLayout>(Panel_gauche_activite);

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

  // Rows are added from the category tree: a double click on a node, or a
  // node dropped on the grid.
  auto* treeHolder = new QWidget;
  treeHolder->setObjectName(QStringLiteral("Panel_arbre"));
  SetBackground(*treeHolder, Qt::white);
  FlatLayout<QVBoxLayout>(treeHolder)->addWidget(tree_);
  layout->addWidget(treeHolder, 1);
  tree_->SetTitleBarVisible(false);
  connect(tree_, &TFrame_obj_rec::nodeChanged, this,
          [this](MObject_OCS* object) { command([this, object] { categoryChanged(object); }); });
  connect(tree_, &TFrame_obj_rec::nodeAboutToBeDeleted, this,
          [this](MObject_OCS* object) { command([this, object] { categoryGoing(object); }); });
  // A double click adds rows; the tree stays as it was.
  if (auto* view = qobject_cast<QTreeView*>(tree_->TreeView())) view->setExpandsOnDoubleClick(false);
  connect(tree_->TreeView(), &QAbstractItemView::doubleClicked, this,
          [this] { command([this] { treeDoubleClicked(); }); });
}

void TFrame_emploi_du_temps::buildHeader() {
  auto* band = static_cast<PaintedPanel*>(Panel_entete);
  band->setFixedHeight(HeaderHeight);
  band->setFont(HeaderFont());
  band->paint = [this, band](QPainter& painter) {
    QString title = weekTitle();
    if (week_.validated() && !title.isEmpty()) title = QStringLiteral("Validée — ") + title.front().toLower() + title.mid(1);
    PaintCaptionBand(painter, band->rect(), title, ButtonFaceColour(), TitleOffset, WorkspaceColour);
  };
  band->resized = [this] { placeHeaderButtons(); };

  DTP_jour->setParent(band);
  DTP_jour->move(4, (HeaderHeight - DatePickerHeight) / 2);
  connect(DTP_jour, &QDateEdit::dateChanged, this, [this] { command([this] { dateChanged(); }); });

  for (QToolButton* button : {SB_semaine_precedente, SB_semaine_suivante, SB_commentaires, SB_reprendre, SB_valider})
    button->setParent(band);
  SB_semaine_precedente->move(DTP_jour->geometry().right() + 3, (HeaderHeight - 27) / 2);
  SB_reprendre->move(SB_semaine_precedente->geometry().right() + 3, (HeaderHeight - 27) / 2);
  connect(SB_reprendre, &QToolButton::clicked, Act_reprendre, &QAction::trigger);
  // Down while the week is validated; a click validates or reopens it.
  SB_valider->setCheckable(true);
  connect(SB_valider, &QToolButton::clicked, this, [this] {
    const bool validated = week_.validated();
    SB_valider->setChecked(validated);
    (validated ? Act_rouvrir : Act_valider)->trigger();
  });
  // The week also moves from the keyboard, wherever the focus is on the screen.
  SB_semaine_precedente->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
  SB_semaine_suivante->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  connect(SB_semaine_precedente, &QToolButton::clicked, this, [this] { command([this] { stepWeek(-7); }); });
  connect(SB_semaine_suivante, &QToolButton::clicked, this, [this] { command([this] { stepWeek(7); }); });
  SB_commentaires->setCheckable(true);
  connect(SB_commentaires, &QToolButton::toggled, this, [this](bool on) { showNotePanel(on); });
  placeHeaderButtons();
}

void TFrame_emploi_du_temps::placeHeaderButtons() {
  const int top = (HeaderHeight - SB_semaine_suivante->height()) / 2;
  SB_valider->move(Panel_entete->width() - 116, top);
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
  surface->dropped = [this] { command([this] { dropped(); }); };
  surface->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(surface, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    followWeekState();
    PM_grille->exec(Panel_grille->mapToGlobal(at));
  });
  BT_reprendre->setObjectName(QStringLiteral("BT_reprendre"));
  BT_reprendre->setParent(surface);
  BT_reprendre->setIconSize(QSize(20, 20));
  BT_reprendre->hide();
  connect(BT_reprendre, &QPushButton::clicked, Act_reprendre, &QAction::trigger);

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
  rowTotals->setFont(HeaderFont());
  rowTotals->paint = [this, rowTotals](QPainter& painter) {
    painter.fillRect(rowTotals->rect(), WorkspaceColour);
    painter.setPen(WorkspaceColour.darker(130));
    painter.drawLine(0, 0, 0, rowTotals->height());
    painter.setPen(ReadableColour(Qt::black, WorkspaceColour));
    const int top = Panel_grille->mapTo(this, QPoint()).y() - rowTotals->mapTo(this, QPoint()).y();
    const int textHeight = painter.fontMetrics().height();
    for (int r = 0; r < rowCount(); ++r)
      DrawEmbossedText(painter, 5, top + rowTop(r) + (RowHeight - textHeight) / 2, PlainText, rowTotalText(r));
  };

  auto* dayTotals = static_cast<PaintedPanel*>(Panel_somme_journaliere);
  dayTotals->setFixedHeight(DayTotalsHeight);
  dayTotals->setFont(HeaderFont());
  dayTotals->paint = [this, dayTotals](QPainter& painter) {
    const QRect strip = dayTotals->rect();
    PaintGradient(painter, WorkspaceColour, ButtonFaceColour(), strip);
    // What lies behind the texts: the gradient at their middle.
    const QColor behind =
        GradientColourAt(WorkspaceColour, ButtonFaceColour(), strip, TotalsTop + painter.fontMetrics().height() / 2);
    const QColor plain = ReadableColour(Qt::black, behind);
    painter.setPen(plain);
    DrawEmbossedText(painter, 5, TotalsTop, PlainText, QStringLiteral("Somme Horaire"));
    const int left = Panel_grille->mapTo(this, QPoint()).x() - dayTotals->mapTo(this, QPoint()).x();
    for (int d = 0; d < WeekTimetable::days && rowCount() > 0; ++d) {
      const QColor colour = dayTotalColour(d);
      // Yellow and red keep their meaning, outlined where they do not read.
      DrawOutlinedText(painter, left + dayHeading(d)->x(), TotalsTop, dayTotalText(d),
                       colour == Qt::black ? plain : colour, behind);
    }
    const QString week = weekTotalText();
    painter.setPen(plain);
    DrawEmbossedText(painter, strip.width() - painter.fontMetrics().horizontalAdvance(week) - 20, TotalsTop, PlainText,
                     week);
  };

  auto* upper = new QWidget;
  upper->setObjectName(QStringLiteral("Panel_saisie"));
  upper->setMinimumHeight(GridMinimumHeight);
  auto* upperLayout = FlatLayout<QVBoxLayout>(upper);
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
  auto* layout = FlatLayout<QHBoxLayout>(Panel_note);
  auto* viewerHolder = new QWidget;
  viewerHolder->setObjectName(QStringLiteral("Panel_visu_note"));
  FlatLayout<QVBoxLayout>(viewerHolder)->addWidget(viewer_);
  layout->addWidget(viewerHolder, 1);

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
  PM_ligne->setObjectName(QStringLiteral("PM_ligne"));
  // The row's label, whose menu this is, goes with the row: once its menu is
  // closed and its event handled.
  connect(PM_ligne->addAction(actionIcon("action-row-delete.svg"), QStringLiteral("Supprimer toute la ligne")),
          &QAction::triggered, this, [this] {
            QMetaObject::invokeMethod(
                this, [this, row = menuRow_] { command([this, row] { removeRow(row); }); }, Qt::QueuedConnection);
          });
  connect(PM_ligne->addAction(actionIcon("action-category-edit.svg"),
                              QStringLiteral("Modifier caractéristiques activités...")),
          &QAction::triggered, this, [this] { command([this] { editRowCategory(menuRow_); }); });
  PM_ligne->addSeparator();
  PM_ligne->addAction(Act_chronometre);
  connect(Act_chronometre, &QAction::triggered, this, [this] { toggleTimer(menuRow_); });

  PM_grille->setObjectName(QStringLiteral("PM_grille"));
  PM_grille->addAction(Act_reprendre);
  PM_grille->addSeparator();
  PM_grille->addAction(Act_valider);
  PM_grille->addAction(Act_rouvrir);
  connect(Act_reprendre, &QAction::triggered, this, [this] { command([this] { takePreviousWeek(); }); });
  connect(Act_valider, &QAction::triggered, this, [this] { command([this] { setWeekValidated(true); }); });
  connect(Act_rouvrir, &QAction::triggered, this, [this] { command([this] { setWeekValidated(false); }); });
}

QMenu* TFrame_emploi_du_temps::quarterHourMenu() const { return PM_quart_heure; }

// ---------------------------------------------------------------- lifecycle

void TFrame_emploi_du_temps::initialise() {
  destroyRows();
  week_ = WeekTimetable();
  DocumentManager& documents = DocumentManager::instance();
  documents.commitPendingEdits = [screen = QPointer(this)] {
    if (screen) screen->commitPendingEdit();
  };
  EditHistory::instance().commitPendingEdit = [screen = QPointer(this)] {
    return !screen || screen->commitPendingEdit();
  };
  documents.SetDocumentModified(false);
  {
    const QSignalBlocker block(DTP_jour);
    DTP_jour->setDate(QDate::currentDate());
  }
  static const ImageList noPictures;
  const TDM_metier_tessel* module = TDM_metier_tessel::instance();
  tree_->ShowTaxonomy(Mcategorie::Class(), module ? module->IL_activites : noPictures);
  viewer_->ClearNote();
  Lbl_activites->setText(QStringLiteral("Activités"));
  showWeekOf(DayOfDate(DTP_jour->date()));
  followTimer();
}

void TFrame_emploi_du_temps::finalise() {
  destroyRows();
  week_ = WeekTimetable();
  repaintTotals();
  tick_->stop();
  shownRun_.reset();
  emit timerCaptionChanged(QString());
}

void TFrame_emploi_du_temps::refresh() { layOut(); }

void TFrame_emploi_du_temps::loadWeek() {
  if (!commitPendingEdit()) return;
  showWeekOf(DayOfDate(DTP_jour->date()));
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
    row.label = new TimetableRowLabel(*this, r, Panel_grille);
    connect(row.label, &TimetableRowLabel::menuRequested, this, &TFrame_emploi_du_temps::showRowMenu);
    row.label->show();
    const bool freeText = WeekTimetable::isFreeTextRow(week_.activity(r));
    for (int d = 0; d < WeekTimetable::days; ++d) {
      Cell* cell = new Cell(r, d, freeText, PM_quart_heure, Panel_grille);
      connect(cell, &Cell::edited, this, [this] { command([this] { userEdited(); }); });
      connect(cell, &Cell::entered, this, [this, cell] { command([this, cell] { cellEntered(*cell); }); });
      connect(cell, &Cell::left, this, [this, cell] { command([this, cell] { cellLeft(*cell); }); });
      connect(cell, &Cell::moveRequested, this, [this, cell](Cell::Move move) { moveFocus(*cell, move); });
      connect(cell, &Cell::quarterHourChosen, this, [this, cell] { command([this, cell] { commitCell(*cell); }); });
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
  followWeekState();
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
  // The day headings stand on the workspace colour.
  surface.setColor(QPalette::WindowText, ReadableColour(Qt::black, WorkspaceColour));
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
    row.label->update();
    for (int d = 0; d < WeekTimetable::days; ++d) {
      Cell* cell = row.cells[std::size_t(d)];
      cell->setGeometry(labelWidth_ + d * dayWidth_, rowTop(r), cellWidth, RowHeight);
      cell->setBackground(cell->hasFocus() ? FocusedCellColour : rowColour(r));
      cell->setToolTip(noteHint(r, d));
    }
  }
}

void TFrame_emploi_du_temps::repaintTotals() {
  Panel_hebdo_barre->update();
  Panel_somme_journaliere->update();
}

// ---------------------------------------------------------------- cells at work

void TFrame_emploi_du_temps::cellEntered(Cell& cell) {
  if (quiet_) return;
  cell.setBackground(FocusedCellColour);
  ScrollBox_grille->ensureWidgetVisible(&cell, 0, 20);
  if (!IsNonZeroDuration(toCp1252(cell.text()))) {
    viewer_->ClearNote();
  } else if (const Moccurence* entry = week_.entry(cell.row, cell.day)) {
    viewer_->ShowNote(entry->EntryContent(), rowColour(cell.row));
  }
}

void TFrame_emploi_du_temps::cellLeft(Cell& cell) {
  if (quiet_) return;
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
  MObject_OCS* note = viewer_->CurrentObject();
  const Moccurence* before = week_.entry(cell.row, cell.day);
  const QString formerTime = before ? fromCp1252(DurationText(before->TimeSpent())) : QString();
  const MObject_OCS* formerNote = before ? before->EntryContent() : nullptr;
  const QString place = cellPlace(cell.row, cell.day);
  try {
    if (week_.commit(cell.row, cell.day, toCp1252(cell.text()), note)) {
      markModified();
      const Moccurence* after = week_.entry(cell.row, cell.day);
      const QString time = after ? fromCp1252(DurationText(after->TimeSpent())) : QString();
      if (!after)
        NameEditStep(QStringLiteral("l'effacement de %1 (%2)").arg(formerTime, place));
      else if (time == formerTime && after->EntryContent() != formerNote)
        NameEditStep(QStringLiteral("l'ajout de la note (%1)").arg(place));
      else
        NameEditStep(QStringLiteral("la saisie de %1 (%2)").arg(time, place));
    }
  } catch (const ConvertError& error) {
    // Not a time of day: the text stays for the user to correct.
    refuse(cell, error.what());
    return false;
  } catch (const ValidatedWeekError& error) {
    // Nothing typed there can be kept: the cell shows what the week holds.
    cell.setText(cell.committedText);
    cell.setModified(false);
    prompts().message(MessageKind::Error, error.what());
    return false;
  }
  showValue(cell);
  if (cell.hasFocus()) {
    cell.setBackground(FocusedCellColour);
    cell.selectAll();
  }
  repaintTotals();
  followWeekState();
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

void TFrame_emploi_du_temps::moveFocus(const Cell& from, Cell::Move move) {
  const int rows = rowCount();
  const int days = WeekTimetable::days;
  Cell* target = nullptr;
  if (move == Cell::Move::Next) {
    const int here = from.row * days + from.day;
    for (int i = 1; i <= rows * days && !target; ++i) {
      const int index = (here + i) % (rows * days);
      Cell* cell = rows_[std::size_t(index / days)].cells[std::size_t(index % days)];
      if (cell->isEnabled()) target = cell;
    }
  } else {
    const int step = move == Cell::Move::Up ? rows - 1 : 1; // going up wraps from the first row to the last
    for (int i = 1; i <= rows && !target; ++i) {
      Cell* cell = rows_[std::size_t((from.row + i * step) % rows)].cells[std::size_t(from.day)];
      if (cell->isEnabled()) target = cell;
    }
  }
  if (target && target != &from) target->setFocus(Qt::TabFocusReason);
}

// ---------------------------------------------------------------- commands

void TFrame_emploi_du_temps::command(const std::function<void()>& run) {
  if (RunReported(run)) return;
  // The rows may no longer match the week: it is shown again from the base
  // once the event that failed is over (its cell may be among the rows).
  QMetaObject::invokeMethod(this, Reported([this] { showWeekOf(shownDay_); }), Qt::QueuedConnection);
}

void TFrame_emploi_du_temps::dateChanged() {
  if (!commitPendingEdit()) {
    const QSignalBlocker block(DTP_jour);
    DTP_jour->setDate(DateOfDay(shownDay_));
    return;
  }
  showWeekOf(DayOfDate(DTP_jour->date()));
}

void TFrame_emploi_du_temps::stepWeek(int days) {
  if (!commitPendingEdit()) return;
  DTP_jour->setDate(DTP_jour->date().addDays(days));
}

void TFrame_emploi_du_temps::treeDoubleClicked() {
  if (!commitPendingEdit()) return;
  if (tree_->TopNodeSelected()) {
    // The first loaded category is the root in the documents this program makes.
    rowsAdded(week_.addRowsForAllCategories() > 0);
    NameEditStep(QStringLiteral("l'ajout des lignes de toutes les activités"));
  } else if (auto* category = dynamic_cast<Mcategorie*>(tree_->SelectedObject())) {
    rowsAdded(week_.addRow(category));
    NameEditStep(QStringLiteral("l'ajout de la ligne ") + QuotedName(category->Name()));
  }
}

bool TFrame_emploi_du_temps::acceptsDrop(const QObject* source) const {
  return source && source == tree_->TreeView() && !tree_->TopNodeSelected() &&
         dynamic_cast<Mcategorie*>(tree_->SelectedObject());
}

void TFrame_emploi_du_temps::dropped() {
  auto* category = dynamic_cast<Mcategorie*>(tree_->SelectedObject());
  if (!category || !commitPendingEdit()) return;
  rowsAdded(week_.addRow(category));
  NameEditStep(QStringLiteral("l'ajout de la ligne ") + QuotedName(category->Name()));
}

void TFrame_emploi_du_temps::rowsAdded(bool added) {
  if (added) markModified();
  createMissingRows();
  fillValues();
  layOut();
}

void TFrame_emploi_du_temps::showRowMenu(int row, const QPoint& globalPos) {
  menuRow_ = row;
  PM_ligne->actions().at(1)->setEnabled(week_.category(row) != nullptr);
  const bool running = timerRow() == row;
  Act_chronometre->setText(running ? StopTimerText : StartTimerText);
  // A new document is told why it cannot have one rather than shown a grey item.
  Act_chronometre->setEnabled(running || week_.category(row) != nullptr);
  PM_ligne->exec(globalPos);
}

void TFrame_emploi_du_temps::removeRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  Cell* pending = pendingCell();
  if (pending && pending->row == row) pending->setModified(false); // its row goes anyway
  else if (!commitPendingEdit()) return;
  const QString name = rowName(row);
  if (week_.removeRow(row)) markModified();
  NameEditStep(QStringLiteral("la suppression de la ligne « %1 »").arg(name));
  destroyRows();
  createMissingRows();
  fillValues();
  layOut();
}

void TFrame_emploi_du_temps::editRowCategory(int row) {
  if (Mcategorie* category = row >= 0 && row < rowCount() ? week_.category(row) : nullptr) {
    TdefCat_Dialog dialog(this);
    dialog.cat_caption = QStringLiteral("Modifier la catégorie");
    dialog.cat_couleur_modif = true;
    dialog.cat_nom = fromCp1252(category->Name());
    dialog.cat_description = fromEngineLines(category->Description());
    dialog.cat_couleur = ColourFromBgr(category->Colour());
    if (const QImage* picture = category->Picture()) dialog.cat_bitmap = *picture;
    if (dialog.Execute()) {
      category->SetName(toCp1252(dialog.cat_nom));
      category->SetDescription(toEngineLines(dialog.cat_description));
      if (category->classe().HasColour()) category->SetColour(BgrFromColour(dialog.cat_couleur));
      category->SetPicture(dialog.cat_bitmap.isNull() ? nullptr : &dialog.cat_bitmap);
      markModified();
      NameEditStep(QStringLiteral("la modification de ") + QuotedName(category->Name()));
      tree_->RefreshNode(category);
    }
  }
  layOut();
}

void TFrame_emploi_du_temps::categoryChanged(MObject_OCS* object) {
  if (!week_.rowsOfCategory(object).empty()) layOut();
  markModified();
}

void TFrame_emploi_du_temps::categoryGoing(MObject_OCS* object) {
  const std::vector<int> rows = week_.rowsOfCategory(object);
  if (rows.empty()) return;
  // A text still in one of its cells could not be committed (the tree took
  // the focus first): it goes with its row.
  if (Cell* pending = pendingCell(); pending && std::count(rows.begin(), rows.end(), pending->row))
    pending->setModified(false);
  if (!week_.dropRowsOfCategory(object)) return;
  destroyRows();
  createMissingRows();
  fillValues();
  layOut();
}

void TFrame_emploi_du_temps::showNotePanel(bool visible) {
  Panel_note->setVisible(visible);
  const QSignalBlocker block(SB_commentaires);
  SB_commentaires->setChecked(visible);
}

void TFrame_emploi_du_temps::openAbout() {
  if (const TDM_intro* intro = TDM_intro::instance()) intro->Act_a_propos->trigger();
}

std::shared_ptr<const TFrame_emploi_du_temps::View> TFrame_emploi_du_temps::view() const {
  auto shown = std::make_shared<View>();
  shown->day = shownDay_;
  for (int r = 0; r < week_.rowCount(); ++r) shown->rows.emplace_back(week_.activity(r)->entite());
  return shown;
}

void TFrame_emploi_du_temps::documentAboutToRestore() {
  shownBeforeRestore_ = view();
  focusedRow_ = EntityRef();
  focusedDay_ = -1;
  for (const Row& row : rows_)
    for (Cell* cell : row.cells)
      if (cell->hasFocus()) {
        focusedRow_ = shownBeforeRestore_->rows[std::size_t(cell->row)];
        focusedDay_ = cell->day;
      }
}

void TFrame_emploi_du_temps::documentRestored() {
  // The week and rows shown around the step (before it when undone, after it
  // when redone): rows the user added stay, as long as their activity does.
  auto noted = std::static_pointer_cast<const View>(EditHistory::instance().restoredView(this));
  const std::shared_ptr<const View> shown = noted ? noted : shownBeforeRestore_;
  shownBeforeRestore_.reset();
  destroyRows();
  if (shown && shown->day != shownDay_) {
    const QSignalBlocker block(DTP_jour);
    DTP_jour->setDate(DateOfDay(shown->day));
  }
  week_.load(shown ? shown->day : shownDay_);
  shownDay_ = shown ? shown->day : shownDay_;
  if (TDM_metier_tessel* module = TDM_metier_tessel::instance())
    module->setReportPeriod(week_.monday(), week_.sunday());
  std::vector<MObject_OCS*> rows;
  if (shown)
    for (const EntityRef& activity : shown->rows) rows.push_back(Storage::ObjectOf(activity.get()));
  week_.showRows(rows);
  createMissingRows();
  fillValues();
  layOut();
  const int focused = focusedRow_ ? week_.rowOf(Storage::ObjectOf(focusedRow_.get())) : -1;
  if (focused >= 0 && focusedDay_ >= 0) cell(focused, focusedDay_)->setFocus(Qt::OtherFocusReason);
  focusedRow_ = EntityRef();
}

QString TFrame_emploi_du_temps::cellPlace(int row, int day) const {
  int y = 0, m = 0, d = 0;
  DecodeDate(week_.monday() + day, y, m, d);
  return rowName(row) + QStringLiteral(", ") + fromCp1252(DayNamesLong()[std::size_t(day)]) + QLatin1Char(' ') +
         QString::number(d);
}

bool TFrame_emploi_du_temps::leftPanelVisible() const { return !Panel_gauche_activite->isHidden(); }

void TFrame_emploi_du_temps::toggleLeftPanel() { setLeftPanelVisible(!leftPanelVisible()); }

void TFrame_emploi_du_temps::setLeftPanelVisible(bool visible) {
  if (visible == leftPanelVisible()) return;
  Panel_gauche_activite->setVisible(visible);
  emit leftPanelVisibilityChanged(visible);
}

// ---------------------------------------------------------------- the weekly routine

bool TFrame_emploi_du_temps::weekHasEntries() const {
  for (int r = 0; r < week_.rowCount(); ++r)
    for (int d = 0; d < WeekTimetable::days; ++d)
      if (week_.entry(r, d)) return true;
  return false;
}

void TFrame_emploi_du_temps::followWeekState() {
  const bool validated = week_.validated();
  const bool entries = weekHasEntries();
  const bool takeable = !validated && !entries;
  Act_reprendre->setEnabled(!validated);
  Act_valider->setEnabled(!validated && entries);
  Act_rouvrir->setEnabled(validated);
  SB_reprendre->setVisible(takeable);
  SB_valider->setChecked(validated);
  SB_valider->setEnabled(validated || entries);
  const QString hint = validated ? ReopenText : ValidateText;
  SB_valider->setToolTip(hint);
  SB_valider->setAccessibleName(hint);
  // The big button stands in the empty grid only.
  BT_reprendre->setVisible(takeable && rowCount() == 0);
  if (BT_reprendre->isVisible()) {
    const QSize size = BT_reprendre->sizeHint();
    const QWidget* viewport = ScrollBox_grille->viewport();
    BT_reprendre->setGeometry((viewport->width() - size.width()) / 2,
                              std::max(RowPitch + 15, (viewport->height() - size.height()) / 2), size.width(),
                              size.height());
  }
}

void TFrame_emploi_du_temps::takePreviousWeek() {
  if (!commitPendingEdit()) return;
  const int added = week_.addRowsOfPreviousWeek();
  if (added == 0) {
    prompts().message(MessageKind::Information,
                      std::string("La semaine précédente n'a aucune activité avec du temps qui ne soit déjà dans la grille."_w));
    return;
  }
  rowsAdded(true);
  NameViewStep(QStringLiteral("la reprise des activités de la semaine précédente"));
}

void TFrame_emploi_du_temps::setWeekValidated(bool validated) {
  if (!commitPendingEdit() || validated == week_.validated()) return;
  if (validated && !weekHasEntries()) return;
  const QString week = QStringLiteral("du lundi %1 au dimanche %2")
                           .arg(DateOfDay(week_.monday()).toString(QStringLiteral("dd/MM/yyyy")),
                                DateOfDay(week_.sunday()).toString(QStringLiteral("dd/MM/yyyy")));
  const QString question =
      validated ? QStringLiteral("Valider la semaine %1 ?\nSes heures ne pourront plus être modifiées tant qu'elle "
                                 "ne sera pas rouverte.")
                      .arg(week)
                : QStringLiteral("Rouvrir la semaine %1 ?\nSes heures pourront de nouveau être modifiées.").arg(week);
  if (!prompts().askYesNo(toCp1252(question))) return;
  SetWeekValidated(week_.monday(), validated);
  markModified();
  NameEditStep(validated ? QStringLiteral("la validation de la semaine") : QStringLiteral("la réouverture de la semaine"));
  reshowWeek();
}

void TFrame_emploi_du_temps::reshowWeek() {
  std::vector<MObject_OCS*> shown;
  for (int r = 0; r < week_.rowCount(); ++r) shown.push_back(week_.activity(r));
  destroyRows();
  week_.load(shownDay_);
  week_.showRows(shown);
  createMissingRows();
  fillValues();
  layOut();
}

QString TFrame_emploi_du_temps::documentPath() const {
  // A new document's generated name is no name the user knows it by.
  const DocumentManager& documents = DocumentManager::instance();
  const QString& file = documents.CurrentFile();
  return file.isEmpty() || documents.IsGeneratedDocument() ? QString() : QFileInfo(file).absoluteFilePath();
}

void TFrame_emploi_du_temps::useTimer(std::unique_ptr<RunningTimer> timer) {
  timer_ = std::move(timer);
  followTimer();
}

int TFrame_emploi_du_temps::timerRow() const {
  if (!shownRun_) return -1;
  for (int r = 0; r < week_.rowCount(); ++r)
    if (const Mcategorie* category = week_.category(r); category && fromCp1252(category->Name()) == shownRun_->category)
      return r;
  return -1;
}

QString TFrame_emploi_du_temps::timerElapsedText() const { return elapsedText(timer_->elapsedSeconds()); }

QString TFrame_emploi_du_temps::timerCaption() const {
  return shownRun_ ? QStringLiteral("chronomètre « %1 » %2").arg(shownRun_->category, timerElapsedText()) : QString();
}

void TFrame_emploi_du_temps::followTimer() {
  // Read again every time: tessel-cli may start or stop the timer meanwhile.
  const QString document = documentPath();
  shownRun_ = !document.isEmpty() && timer_->runsFor(document) ? timer_->running() : std::nullopt;
  if (!shownRun_) tick_->stop();
  else if (!tick_->isActive()) tick_->start();
  for (const Row& row : rows_) row.label->update();
  emit timerCaptionChanged(timerCaption());
}

void TFrame_emploi_du_temps::timerTick() { followTimer(); }

void TFrame_emploi_du_temps::toggleTimer(int row) {
  command([this, row] {
    if (row < 0 || row >= rowCount() || !commitPendingEdit()) return;
    if (timerRow() == row) {
      stopTimer();
      return;
    }
    const Mcategorie* category = week_.category(row);
    const QString document = documentPath();
    if (!category) return;
    if (document.isEmpty()) {
      prompts().message(MessageKind::Information,
                        std::string("Enregistrez d'abord le document : le chronomètre le retrouve par son nom de fichier."_w));
      return;
    }
    if (timer_->start(document, *category) == RunningTimer::Start::OtherRunning) {
      const TimerRun other = *timer_->running();
      const bool here = timer_->runsFor(document);
      const QString question =
          here ? QStringLiteral("Le chronomètre de « %1 » tourne déjà.\nL'arrêter, son temps enregistré, et démarrer "
                                "celui de « %2 » ?")
                     .arg(other.category, fromCp1252(category->Name()))
               : QStringLiteral("Un chronomètre tourne pour « %1 » dans le document « %2 ».\nL'abandonner, sans "
                                "enregistrer son temps, et démarrer celui de « %3 » ?")
                     .arg(other.category, QFileInfo(other.document).fileName(), fromCp1252(category->Name()));
      if (!prompts().askYesNo(toCp1252(question))) return;
      TimerStop stopped;
      timer_->start(document, *category, true, &stopped);
      if (!stopped.shares.empty()) {
        markModified();
        NameEditStep(QStringLiteral("l'arrêt du chronomètre de « %1 » (%2)").arg(other.category, minutesText(stopped.minutes)));
        reshowWeek();
      }
    }
    followTimer();
  });
}

void TFrame_emploi_du_temps::stopTimer() {
  const QString name = timer_->running()->category;
  const TimerStop stopped = timer_->stop(documentPath());
  followTimer();
  if (!stopped.shares.empty()) {
    markModified();
    NameEditStep(QStringLiteral("l'arrêt du chronomètre de « %1 » (%2)").arg(name, minutesText(stopped.minutes)));
    reshowWeek();
  }
  if (stopped.droppedMinutes > 0)
    prompts().message(MessageKind::Information,
                      toCp1252(QStringLiteral("%1 au-delà de 23:59 par jour n'ont pas été enregistrées.")
                                   .arg(minutesText(stopped.droppedMinutes))));
}

// ---------------------------------------------------------------- what is shown

QString TFrame_emploi_du_temps::weekTitle() const { return fromCp1252(week_.title()); }

QLineEdit* TFrame_emploi_du_temps::cell(int row, int day) const {
  return rows_.at(std::size_t(row)).cells.at(std::size_t(day));
}

QWidget* TFrame_emploi_du_temps::rowLabel(int row) const { return rows_.at(std::size_t(row)).label; }

QString TFrame_emploi_du_temps::rowTotalText(int row) const { return fromCp1252(DurationText(week_.rowTotal(row))); }

QString TFrame_emploi_du_temps::dayTotalText(int day) const {
  return rowCount() > 0 ? fromCp1252(DurationText(week_.dayTotal(day))) : QString();
}

QColor TFrame_emploi_du_temps::dayTotalColour(int day) const { return DayTotalColour(week_.dayTotal(day)); }

QString TFrame_emploi_du_temps::weekTotalText() const { return fromCp1252(DurationText(week_.weekTotal())); }

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
