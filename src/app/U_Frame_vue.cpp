#include "app/U_Frame_vue.h"

#include "app/ChartDecorations.h"
#include "app/ChartOutput.h"
#include "foundation/Cp1252.h"
#include "foundation/U_fetes.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "model/WeekTimetable.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"
#include "widgets/ScreenParts.h"
#include "widgets/StringGrid.h"
#include "widgets/U_DM_metier.h"
#include "widgets/UiFonts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace tessel {

namespace {

constexpr int HeaderHeight = 33;
constexpr int NavigationHeight = 40;
constexpr int TotalsHeight = 26;
constexpr int ChartHeight = 151;
constexpr int OptionsHeight = 15;
constexpr int SplitterWidth = 4;
constexpr int ActivityWidth = 100;
constexpr int TotalWidth = 42;
constexpr int DayWidth = 31;
constexpr int HeadingHeight = 60;
constexpr int RowHeight = 35;
const QColor ChartTop(192, 192, 192);

QToolButton* newMoveButton(const char* name, const char* caption) {
  auto* button = new QToolButton;
  button->setObjectName(QLatin1String(name));
  button->setText(QLatin1String(caption));
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setMinimumWidth(80);
  return button;
}

QRadioButton* newModeButton(const char* name, const char* caption) {
  auto* button = new QRadioButton(QLatin1String(caption));
  button->setObjectName(QLatin1String(name));
  return button;
}

// Whole hours from 0 with a round step, five steps at most.
void wholeHours(QValueAxis& axis, int largest) {
  int top = std::max(1, largest);
  int step = 1;
  for (int s : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000}) {
    step = s;
    if (top <= 5 * s) break;
  }
  top = (top + step - 1) / step * step;
  axis.setRange(0, top);
  axis.setTickType(QValueAxis::TicksDynamic);
  axis.setTickAnchor(0);
  axis.setTickInterval(step);
  axis.setLabelFormat(QStringLiteral("%d"));
}

QString durationText(TDateTime duration) { return fromCp1252(DurationText(duration)); }

} // namespace

Tframe_vue::Tframe_vue(QWidget* parent)
    : WorkScreen(parent),
      PB_entete(new PaintedPanel("PB_entete")),
      DTP_debut(NewLongDatePicker("DTP_debut")),
      Panel_navigation(new QWidget),
      SB_moins_mois(newMoveButton("SB_moins_mois", PeriodGrid::moves()[0].caption)),
      SB_moins_semaine(newMoveButton("SB_moins_semaine", PeriodGrid::moves()[1].caption)),
      SB_moins_jour(newMoveButton("SB_moins_jour", PeriodGrid::moves()[2].caption)),
      SB_plus_jour(newMoveButton("SB_plus_jour", PeriodGrid::moves()[3].caption)),
      SB_plus_semaine(newMoveButton("SB_plus_semaine", PeriodGrid::moves()[4].caption)),
      SB_plus_mois(newMoveButton("SB_plus_mois", PeriodGrid::moves()[5].caption)),
      Splitter_graphique(new QSplitter(Qt::Vertical)),
      SG_temps(new StringGrid),
      PB_totaux(new PaintedPanel("PB_totaux")),
      Chart_vue(new QChartView(new QChart)),
      Panel_options(new QWidget),
      CB_3D(new QCheckBox(QStringLiteral("3D"))),
      RB_jour(newModeButton("RB_jour", "Jour")),
      RB_semaine(newModeButton("RB_semaine", "Semaine")),
      RB_mois(newModeButton("RB_mois", "Mois")),
      PM_graphique(new QMenu(this)),
      chart_(Chart_vue->chart()),
      days_(new QBarCategoryAxis),
      hours_(new QValueAxis),
      legend_(new ChartLegend(chart_, Qt::AlignLeft)),
      depth_(new BarDepth(chart_)) {
  setObjectName(QStringLiteral("Tframe_vue"));
  buildHeader();
  buildNavigation();
  buildGrid();
  buildChart();

  auto* upper = new QWidget;
  upper->setObjectName(QStringLiteral("Panel_grille"));
  auto* upperLayout = FlatLayout<QVBoxLayout>(upper);
  upperLayout->addWidget(SG_temps, 1);
  upperLayout->addWidget(PB_totaux);
  auto* lower = new QWidget;
  lower->setObjectName(QStringLiteral("Panel_graphique"));
  auto* lowerLayout = FlatLayout<QVBoxLayout>(lower);
  lowerLayout->addWidget(Chart_vue, 1);
  lowerLayout->addWidget(Panel_options);

  Splitter_graphique->setObjectName(QStringLiteral("Splitter_graphique"));
  Splitter_graphique->setHandleWidth(SplitterWidth);
  Splitter_graphique->setChildrenCollapsible(false);
  Splitter_graphique->addWidget(upper);
  Splitter_graphique->addWidget(lower);
  Splitter_graphique->setStretchFactor(0, 1);
  Splitter_graphique->setStretchFactor(1, 0);
  Splitter_graphique->setSizes({400, ChartHeight + Panel_options->sizeHint().height()});

  auto* layout = FlatLayout<QVBoxLayout>(this);
  layout->addWidget(PB_entete);
  layout->addWidget(Panel_navigation);
  layout->addWidget(Splitter_graphique, 1);

  {
    const QSignalBlocker quiet(DTP_debut);
    DTP_debut->setDate(DateOfDay(MondayOf(Today())));
  }
  applyColours();
  resetColumnWidths();
}

void Tframe_vue::buildHeader() {
  PB_entete->setFixedHeight(HeaderHeight);
  PB_entete->setFont(HeaderFont());
  PB_entete->paint = [this](QPainter& painter) {
    PaintCaptionBand(painter, PB_entete->rect(), title(), ButtonFaceColour(), 0, WorkspaceColour);
  };
  DTP_debut->setParent(PB_entete);
  DTP_debut->setFont(MsSansSerif(8));
  DTP_debut->move(4, (HeaderHeight - DatePickerHeight) / 2);
  connect(DTP_debut, &QDateEdit::dateChanged, this, [this] { runCommand([this] { rebuild(); }); });
}

void Tframe_vue::buildNavigation() {
  Panel_navigation->setObjectName(QStringLiteral("Panel_navigation"));
  Panel_navigation->setFixedHeight(NavigationHeight);
  auto* layout = new QHBoxLayout(Panel_navigation);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  const std::array<QToolButton*, 6> buttons = moveButtons();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (i == 3) layout->addStretch(1);
    layout->addWidget(buttons[i]);
    connect(buttons[i], &QToolButton::clicked, this, [this, i] {
      runCommand([this, i] { DTP_debut->setDate(DateOfDay(PeriodGrid::moved(period_.start(), PeriodGrid::moves()[i]))); });
    });
  }
}

std::array<QToolButton*, 6> Tframe_vue::moveButtons() const {
  return {SB_moins_mois, SB_moins_semaine, SB_moins_jour, SB_plus_jour, SB_plus_semaine, SB_plus_mois};
}

void Tframe_vue::buildGrid() {
  SG_temps->setObjectName(QStringLiteral("SG_temps"));
  SG_temps->setToolTip(QStringLiteral("Visualisation mensuelle de l'ensemble des activités"));
  SG_temps->setFont(MsSansSerif(8));
  SG_temps->setColumnCount(Columns);
  SG_temps->setFixedColumns(2);
  SG_temps->setHeadingHeight(HeadingHeight);
  SG_temps->setRowHeight(RowHeight);
  SG_temps->setRowCount(1);
  SG_temps->setCellPainter(
      [this](QPainter& painter, int column, int row, const QRect& rect) { paintCell(painter, column, row, rect); });
  connect(SG_temps, &StringGrid::columnsMoved, PB_totaux, qOverload<>(&QWidget::update));

  PB_totaux->setFixedHeight(TotalsHeight);
  PB_totaux->setFont(MsSansSerif(8));
  PB_totaux->paint = [this](QPainter& painter) { paintTotals(painter); };
}

void Tframe_vue::buildChart() {
  chart_->setTitle(QStringLiteral("Statistique journalière"));
  chart_->legend()->hide();
  chart_->setBackgroundRoundness(0);
  chart_->setMargins(QMargins(6, 2, 6, 2));
  chart_->layout()->setContentsMargins(0, 0, 0, 0);
  chart_->setPlotAreaBackgroundVisible(false);
  chart_->setAnimationOptions(QChart::NoAnimation);
  QFont small = MsSansSerif(8);
  chart_->setFont(small);
  chart_->setTitleFont(HeaderFont());
  days_->setLabelsFont(small);
  hours_->setLabelsFont(small);
  chart_->addAxis(days_, Qt::AlignBottom);
  chart_->addAxis(hours_, Qt::AlignLeft);
  wholeHours(*hours_, 0);

  Chart_vue->setObjectName(QStringLiteral("Chart_vue"));
  Chart_vue->setRenderHint(QPainter::Antialiasing);
  Chart_vue->setFrameShape(QFrame::NoFrame);
  Chart_vue->setMinimumHeight(90);
  Chart_vue->setContextMenuPolicy(Qt::CustomContextMenu);
  PM_graphique->setObjectName(QStringLiteral("PM_graphique"));
  AddChartOutputItems(*PM_graphique, *Chart_vue);
  connect(Chart_vue, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PM_graphique->popup(Chart_vue->mapToGlobal(at)); });

  Panel_options->setObjectName(QStringLiteral("Panel_options"));
  auto* layout = new QHBoxLayout(Panel_options);
  layout->setContentsMargins(6, 0, 6, 0);
  layout->setSpacing(16);
  CB_3D->setObjectName(QStringLiteral("CB_3D"));
  CB_3D->setChecked(true);
  RB_jour->setChecked(true);
  auto* modes = new QButtonGroup(this);
  int id = 0;
  for (QWidget* w : std::initializer_list<QWidget*>{CB_3D, RB_jour, RB_semaine, RB_mois}) {
    w->setFont(MsSansSerif(8));
    layout->addWidget(w);
    if (auto* radio = qobject_cast<QRadioButton*>(w)) modes->addButton(radio, id++);
  }
  layout->addStretch(1);
  Panel_options->setFixedHeight(std::max(OptionsHeight, Panel_options->sizeHint().height()));
  connect(CB_3D, &QCheckBox::clicked, this, [this] { runCommand([this] { rebuild(); }); });
  connect(modes, &QButtonGroup::idClicked, this, [this] { runCommand([this] { rebuild(); }); });
}

// ---------------------------------------------------------------- lifecycle

void Tframe_vue::initialise() {
  period_.clear();
  {
    const QSignalBlocker quiet(DTP_debut);
    DTP_debut->setDate(DateOfDay(MondayOf(Today())));
  }
  RB_jour->setChecked(true);
  applyColours();
  if (isVisible()) rebuild();
}

void Tframe_vue::finalise() {
  period_.clear();
  SG_temps->setRowCount(1);
  rebuildChart();
  update();
}

void Tframe_vue::refresh() { applyColours(); }

void Tframe_vue::pageShown() { runCommand([this] { rebuild(); }); }

void Tframe_vue::applyColours() {
  SetBackground(*this, WorkspaceColour);
  chart_->setBackgroundBrush(ChartGradient(ChartTop, WorkspaceColour));
  chart_->setBackgroundVisible(true);
  update();
  Chart_vue->viewport()->update();
}

void Tframe_vue::resizeEvent(QResizeEvent* event) {
  WorkScreen::resizeEvent(event);
  resetColumnWidths();
}

void Tframe_vue::resetColumnWidths() {
  // The designed widths, or more where this desktop's font is wider.
  const QFontMetrics metrics(SG_temps->font());
  SG_temps->setColumnWidth(0, ActivityWidth);
  SG_temps->setColumnWidth(1, std::max(TotalWidth, metrics.horizontalAdvance(QStringLiteral("000:00")) + 8));
  const int day = dayColumnWidth();
  for (int c = 2; c < Columns; ++c) SG_temps->setColumnWidth(c, day);
}

int Tframe_vue::dayColumnWidth() const {
  // Wide enough for a cell's time and for the day totals under the columns.
  const QFontMetrics cells(SG_temps->font());
  const QFontMetrics totals(PB_totaux->font());
  int width = std::max(DayWidth, cells.horizontalAdvance(QStringLiteral("00:00")) + 5);
  for (int d = 0; d < PeriodGrid::days; ++d) width = std::max(width, totals.horizontalAdvance(dayTotalText(d)) + 6);
  return width;
}

// ---------------------------------------------------------------- rebuild

void Tframe_vue::rebuild() {
  period_.load(DayOfDate(DTP_debut->date()));
  const std::array<QToolButton*, 6> buttons = moveButtons();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    buttons[i]->setToolTip(
        fromCp1252(PeriodGrid::moveHint(PeriodGrid::moved(period_.start(), PeriodGrid::moves()[i]))));
  SG_temps->setColumnWidth(0, ActivityWidth);
  // The widths the user chose stay, unless the figures no longer fit.
  const int day = dayColumnWidth();
  for (int c = 2; c < Columns; ++c)
    if (SG_temps->columnWidth(c) < day) SG_temps->setColumnWidth(c, day);
  SG_temps->setHeadingHeight(HeadingHeight);
  SG_temps->setRowCount(period_.rowCount() + 1);
  rebuildChart();
  PB_entete->update();
  PB_totaux->update();
  SG_temps->viewport()->update();
}

void Tframe_vue::rebuildChart() {
  depth_->setSeries(nullptr);
  chart_->removeAllSeries();
  bars_ = new QStackedBarSeries;
  bars_->setBarWidth(0.6);
  const PeriodGrid::ChartMode shown = mode();
  const std::vector<std::string> labels = period_.chartLabels(shown);
  std::vector<int> stacks(labels.size(), 0);
  std::vector<ChartLegend::Entry> entries;
  for (int r = 0; r < period_.rowCount(); ++r) {
    const QString name = fromCp1252(period_.name(r));
    auto* set = new QBarSet(name);
    const QColor colour = ChartColour(period_.colour(r), r);
    set->setColor(colour);
    set->setBorderColor(colour.darker(150));
    const std::vector<int> values = period_.chartValues(r, shown);
    for (std::size_t i = 0; i < values.size(); ++i) {
      set->append(values[i]);
      stacks[i] += values[i];
    }
    bars_->append(set);
    entries.push_back({name, colour});
  }
  chart_->addSeries(bars_);
  QStringList categories;
  for (const std::string& label : labels) categories << fromCp1252(label);
  days_->setCategories(categories);
  bars_->attachAxis(days_);
  bars_->attachAxis(hours_);
  wholeHours(*hours_, stacks.empty() ? 0 : *std::max_element(stacks.begin(), stacks.end()));
  // The legend only for more than one activity.
  if (entries.size() < 2) entries.clear();
  legend_->setEntries(std::move(entries));
  depth_->setSeries(bars_);
  depth_->setOn(CB_3D->isChecked());
}

// ---------------------------------------------------------------- what is shown

QString Tframe_vue::title() const { return fromCp1252(PeriodGrid::TitleOf(DayOfDate(DTP_debut->date()))); }

PeriodGrid::ChartMode Tframe_vue::mode() const {
  if (RB_semaine->isChecked()) return PeriodGrid::ChartMode::Week;
  if (RB_mois->isChecked()) return PeriodGrid::ChartMode::Month;
  return PeriodGrid::ChartMode::Day;
}

QString Tframe_vue::cellText(int column, int row) const {
  if (row == 0) {
    if (column < 2) return QString();
    int y = 0, m = 0, d = 0;
    DecodeDate(period_.start() + column - 2, y, m, d);
    return QString::number(d);
  }
  const int line = row - 1;
  if (line >= period_.rowCount()) return QString();
  if (column == 0) return fromCp1252(period_.name(line));
  if (column == 1) return durationText(period_.rowTotal(line));
  const Moccurence* entry = period_.entry(line, column - 2);
  return entry ? fromCp1252(WeekTimetable::timeText(entry->TimeSpent())) : QString();
}

MObject_OCS* Tframe_vue::cellObject(int column, int row) const {
  const int line = row - 1;
  if (row == 0 || line >= period_.rowCount() || column == 1) return nullptr;
  if (column == 0) return period_.activity(line);
  return period_.entry(line, column - 2);
}

Tframe_vue::Colours Tframe_vue::headingColours(int column) const {
  int y = 0, m = 0, d = 0;
  DecodeDate(DayOfDate(DTP_debut->date()) + column - 2, y, m, d);
  std::string holiday;
  if (HolidayName(d, m, y, holiday)) return {Qt::white, Qt::black};
  if (WeekDayIndex(d, m, y) >= 5) return {QColor(255, 255, 0), QColor(128, 128, 128)};
  return {Qt::black, Qt::white};
}

QString Tframe_vue::dayTotalText(int day) const {
  const TDateTime total = period_.dayTotal(day);
  return IsNonZeroDuration(DurationText(total)) ? durationText(total) : QStringLiteral("    -");
}

QColor Tframe_vue::dayTotalColour(int day) const { return DayTotalColour(period_.dayTotal(day)); }

void Tframe_vue::paintCell(QPainter& painter, int column, int row, const QRect& r) const {
  painter.setPen(Qt::black);
  if (row == 0) {
    if (column == 1) {
      DrawEmbossedText(painter, r.left() + 2, r.top() + 2, PlainText, QStringLiteral("Temps"));
      DrawEmbossedText(painter, r.left() + 2, r.top() + 20, PlainText, QStringLiteral("Cumulé"));
    } else if (column >= 2) {
      const Colours colours = headingColours(column);
      painter.fillRect(r, colours.background);
      painter.setPen(colours.text);
      int y = 0, m = 0, d = 0;
      DecodeDate(DayOfDate(DTP_debut->date()) + column - 2, y, m, d);
      DrawEmbossedText(painter, r.left() + 5, r.top() + 2, PlainText,
                       fromCp1252(DayNamesShort()[std::size_t(WeekDayIndex(d, m, y))]));
      DrawEmbossedText(painter, r.left() + 10, r.top() + 20, PlainText, QString::number(d));
      DrawEmbossedText(painter, r.left() + 5, r.top() + 40, PlainText,
                       fromCp1252(MonthNamesShort()[std::size_t(m - 1)]));
    }
    return;
  }
  const int line = row - 1;
  if (line >= period_.rowCount()) return;
  const QColor colour = ColourFromBgr(period_.colour(line));
  if (column == 0) {
    painter.fillRect(r, colour);
    if (const Mcategorie* category = period_.category(line))
      if (const QImage* picture = category->Picture(); picture && !picture->isNull())
        painter.drawImage(QRect(r.left() + 2, r.top() + 2, 16, 16), TObjRec::Masked(*picture));
    const QString name =
        FitText(painter, QRect(0, 0, r.width() - 20, r.height()), cellText(column, row), QStringLiteral("..."));
    DrawEmbossedText(painter, r.left() + 20, r.top() + 2, PlainText, name);
  } else if (column == 1) {
    painter.setBrush(ButtonFaceColour());
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    DrawEmbossedText(painter, r.left() + 5, r.top() + 2, PlainText, cellText(column, row));
  } else if (const Moccurence* entry = period_.entry(line, column - 2)) {
    painter.fillRect(r, colour);
    if (const auto* note = dynamic_cast<const Mcontenu*>(entry->EntryContent())) {
      const int mark = note->Satisfaction();
      if (const TDM_metier* module = TDM_metier::instance(); module && mark >= 1 && mark <= 5)
        module->IL_smiley.draw(painter, r.center().x() - 8, r.top() + 15, mark - 1);
    }
    DrawEmbossedText(painter, r.left() + 2, r.top() + 1, PlainText, cellText(column, row));
  }
}

void Tframe_vue::paintTotals(QPainter& painter) const {
  PaintGradient(painter, WorkspaceColour, ButtonFaceColour(), PB_totaux->rect());
  painter.setPen(Qt::black);
  DrawEmbossedText(painter, 5, 5, PlainText, QStringLiteral("Somme Horaire"));
  // Under their day columns, wherever the grid is scrolled to.
  const int gridLeft = SG_temps->viewport()->mapTo(this, QPoint()).x() - PB_totaux->mapTo(this, QPoint()).x();
  const int fixedRight = gridLeft + SG_temps->cellRect(1, 0).right() + StringGrid::GridLineWidth + 1;
  painter.setClipRect(QRect(fixedRight, 0, PB_totaux->width() - fixedRight, PB_totaux->height()));
  for (int d = 0; d < PeriodGrid::days; ++d) {
    const int x = gridLeft + SG_temps->cellRect(d + 2, 0).left() + 3;
    DrawDayTotal(painter, x, 5, dayTotalText(d), dayTotalColour(d));
  }
}

} // namespace tessel
