#include "app/U_Frame_statistique.h"

#include "app/ChartDecorations.h"
#include "app/ChartOutput.h"
#include "foundation/Cp1252.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"
#include "widgets/ScreenParts.h"
#include "widgets/UiFonts.h"

#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDateEdit>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QGroupBox>
#include <QMenu>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace tessel {

namespace {

constexpr int HeaderHeight = 65;
constexpr int PickerTop = 32;
constexpr int PickerWidth = 201;
constexpr int SplitterWidth = 4;
constexpr int ElapsedDays = 15;
const QColor ChartTop(192, 192, 192);
const QColor BackColour(216, 208, 200);

QRadioButton* newStyleButton(const char* name, const QString& caption) {
  auto* button = new QRadioButton(caption);
  button->setObjectName(QLatin1String(name));
  return button;
}

} // namespace

TFrame_Stat::TFrame_Stat(QWidget* parent)
    : WorkScreen(parent),
      Panel_entete(new PaintedPanel("Panel_entete")),
      DTP_debut(NewLongDatePicker("DTP_debut")),
      DTP_fin(NewLongDatePicker("DTP_fin")),
      Splitter_entete(new QSplitter(Qt::Vertical)),
      Panel_graphique(new QWidget),
      Chart_stat(new QChartView(new QChart)),
      RG_style(new QGroupBox(QStringLiteral("Style des valeurs"))),
      RB_pourcentage(newStyleButton("RB_pourcentage", QStringLiteral("Pourcentage"))),
      RB_valeurs(newStyleButton("RB_valeurs", QStringLiteral("Valeurs (en nombre d'heures)"))),
      PM_impression(new QMenu(this)),
      chart_(Chart_stat->chart()),
      pie_(new QPieSeries),
      legend_(new ChartLegend(chart_, Qt::AlignRight)),
      decoration_(new PieDecoration(chart_, pie_)),
      emptyNote_(new QGraphicsSimpleTextItem(chart_)) {
  setObjectName(QStringLiteral("TFrame_Stat"));
  buildHeader();
  buildChart();

  Splitter_entete->setObjectName(QStringLiteral("Splitter_entete"));
  Splitter_entete->setHandleWidth(SplitterWidth);
  Splitter_entete->setChildrenCollapsible(false);
  Splitter_entete->addWidget(Panel_entete);
  Splitter_entete->addWidget(Panel_graphique);
  Splitter_entete->setStretchFactor(0, 0);
  Splitter_entete->setStretchFactor(1, 1);
  Splitter_entete->setSizes({HeaderHeight, 600});
  FlatLayout<QVBoxLayout>(this)->addWidget(Splitter_entete);

  {
    const QSignalBlocker quietStart(DTP_debut);
    const QSignalBlocker quietEnd(DTP_fin);
    DTP_debut->setDate(QDate::currentDate().addDays(-ElapsedDays));
    DTP_fin->setDate(QDate::currentDate().addDays(ElapsedDays));
  }
  applyColours();
}

void TFrame_Stat::buildHeader() {
  Panel_entete->setMinimumHeight(HeaderHeight);
  Panel_entete->setFont(HeaderFont());
  Panel_entete->paint = [this](QPainter& painter) {
    PaintCaptionBand(painter, Panel_entete->rect(), title(), ButtonFaceColour(), 0, WorkspaceColour);
    painter.setFont(MsSansSerif(8));
    painter.setPen(Qt::black);
    DrawEmbossedText(painter, 10, 5, PlainText, QStringLiteral("Date de début"));
    const QString end = QStringLiteral("Date de fin");
    DrawEmbossedText(painter, Panel_entete->width() - painter.fontMetrics().horizontalAdvance(end) - 20, 5, PlainText,
                     end);
  };
  Panel_entete->resized = [this] { placeEndPicker(); };
  for (QDateEdit* picker : {DTP_debut, DTP_fin}) {
    picker->setParent(Panel_entete);
    picker->setFont(MsSansSerif(8));
    picker->resize(std::max(PickerWidth, picker->width()), DatePickerHeight);
    connect(picker, &QDateEdit::dateChanged, this, [this] { runCommand([this] { rebuild(); }); });
  }
  DTP_debut->move(8, PickerTop);
  placeEndPicker();
}

void TFrame_Stat::placeEndPicker() { DTP_fin->move(Panel_entete->width() - 10 - DTP_fin->width(), PickerTop); }

void TFrame_Stat::buildChart() {
  chart_->setTitle(QStringLiteral("Répartition du temps travaillé par activité(s)"));
  chart_->setTitleFont(Arial(12));
  chart_->setTitleBrush(Qt::black);
  chart_->setFont(MsSansSerif(8));
  chart_->legend()->hide();
  chart_->setBackgroundRoundness(0);
  chart_->setBackgroundPen(Qt::NoPen);
  chart_->setMargins(QMargins(6, 6, 6, 6));
  chart_->layout()->setContentsMargins(0, 0, 0, 0);
  chart_->setAnimationOptions(QChart::NoAnimation);
  chart_->addSeries(pie_);
  connect(pie_, &QPieSeries::hovered, this, [](QPieSlice* slice, bool entered) {
    if (entered)
      QToolTip::showText(QCursor::pos(), slice->property("hint").toString());
    else
      QToolTip::hideText();
  });
  emptyNote_->setText(QStringLiteral("Aucune heure enregistrée sur cette période"));
  emptyNote_->setFont(MsSansSerif(10));
  emptyNote_->setZValue(6);
  connect(chart_, &QChart::plotAreaChanged, this,
          [this](const QRectF& area) { emptyNote_->setPos(area.center() - emptyNote_->boundingRect().center()); });

  Chart_stat->setObjectName(QStringLiteral("Chart_stat"));
  Chart_stat->setRenderHint(QPainter::Antialiasing);
  Chart_stat->setFrameShape(QFrame::NoFrame);
  Chart_stat->setBackgroundBrush(BackColour);
  Chart_stat->setMinimumHeight(160);

  RG_style->setObjectName(QStringLiteral("RG_style"));
  auto* styles = new QGridLayout(RG_style);
  styles->addWidget(RB_pourcentage, 0, 0);
  styles->addWidget(RB_valeurs, 0, 1);
  styles->setColumnStretch(2, 1);
  RB_valeurs->setChecked(true);
  for (QRadioButton* style : {RB_pourcentage, RB_valeurs})
    connect(style, &QRadioButton::clicked, this, [this] { runCommand([this] { rebuild(); }); });

  PM_impression->setObjectName(QStringLiteral("PM_impression"));
  AddChartOutputItems(*PM_impression, *Chart_stat);
  for (QWidget* owner : std::initializer_list<QWidget*>{RG_style, Chart_stat}) {
    owner->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(owner, &QWidget::customContextMenuRequested, this,
            [this, owner](const QPoint& at) { PM_impression->popup(owner->mapToGlobal(at)); });
  }

  Panel_graphique->setObjectName(QStringLiteral("Panel_graphique"));
  auto* layout = new QVBoxLayout(Panel_graphique);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(Chart_stat, 1);
  layout->addWidget(RG_style);
}

// ---------------------------------------------------------------- lifecycle

void TFrame_Stat::initialise() {
  {
    const QSignalBlocker quietStart(DTP_debut);
    const QSignalBlocker quietEnd(DTP_fin);
    DTP_debut->setDate(QDate::currentDate().addDays(-ElapsedDays));
    DTP_fin->setDate(QDate::currentDate().addDays(ElapsedDays));
  }
  rebuild();
  applyColours();
}

void TFrame_Stat::finalise() {
  statistics_.clear();
  showSlices();
}

void TFrame_Stat::refresh() { applyColours(); }

void TFrame_Stat::pageShown() { runCommand([this] { rebuild(); }); }

void TFrame_Stat::applyColours() {
  SetBackground(*this, WorkspaceColour);
  chart_->setBackgroundBrush(ChartGradient(ChartTop, WorkspaceColour));
  chart_->setBackgroundVisible(true);
  update();
  Chart_stat->viewport()->update();
}

// ---------------------------------------------------------------- rebuild

void TFrame_Stat::rebuild() {
  statistics_.load(DayOfDate(DTP_debut->date()), DayOfDate(DTP_fin->date()));
  showSlices();
  Panel_entete->update();
}

void TFrame_Stat::showSlices() {
  pie_->clear();
  marks_.clear();
  std::vector<ChartLegend::Entry> entries;
  const QLocale french(QLocale::French, QLocale::France);
  // A pie of nothing but zero hours has no share to draw.
  if (statistics_.totalHours() > 0) {
    const std::vector<PieStatistics::Slice>& slices = statistics_.slices();
    for (std::size_t i = 0; i < slices.size(); ++i) {
      const QString name = fromCp1252(slices[i].name);
      const QString hours = QString::number(slices[i].hours) + QStringLiteral(" h");
      const QString share = french.toString(statistics_.percent(i), 'f', 1) + QStringLiteral(" %");
      QPieSlice* slice = pie_->append(name, slices[i].hours);
      const QColor colour = ChartColour(slices[i].colour, static_cast<int>(i));
      slice->setColor(colour);
      slice->setBorderColor(colour.darker(150));
      slice->setProperty("hint", name + QStringLiteral(" : ") + hours + QStringLiteral(" (") + share + QStringLiteral(")"));
      marks_.push_back(name + QLatin1Char(' ') + (showsPercentages() ? share : hours));
      entries.push_back({name, colour});
    }
  }
  decoration_->setLabels(marks_);
  legend_->setEntries(std::move(entries));
  emptyNote_->setVisible(pie_->count() == 0);
}

QString TFrame_Stat::title() const {
  return fromCp1252(PieStatistics::TitleOf(DayOfDate(DTP_debut->date()), DayOfDate(DTP_fin->date())));
}

bool TFrame_Stat::showsNothingNote() const { return emptyNote_->isVisible(); }

bool TFrame_Stat::showsPercentages() const { return RB_pourcentage->isChecked(); }

} // namespace tessel
