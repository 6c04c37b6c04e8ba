#include "app/Fenetre_calc_date.h"

#include "foundation/Cp1252.h"
#include "model/DateCalculator.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ScreenParts.h"
#include "widgets/UiFonts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace tessel {

namespace {

constexpr int ClientWidth = 301;
constexpr int ClientHeight = 228;
constexpr int HeaderHeight = 75;
const QColor Background(159, 135, 190);

QDateEdit* newDatePicker(const char* name, QWidget* parent) {
  auto* picker = new QDateEdit(parent);
  picker->setObjectName(QLatin1String(name));
  picker->setCalendarPopup(true);
  picker->setLocale(dateLocale());
  picker->setDisplayFormat(dateLocale().dateFormat(QLocale::LongFormat));
  // The calendar of the date texts: years 100 (the picker's first) to 9999.
  picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
  picker->setDate(QDate::currentDate());
  return picker;
}

// As designed, unless the desktop's font needs more for the longest date.
int pickerWidth(const QDateEdit* picker) {
  return std::max(177, picker->fontMetrics().horizontalAdvance(QStringLiteral("mercredi 30 septembre 2000")) + 40);
}

QLineEdit* newReadOnlyField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  field->setReadOnly(true);
  return field;
}

QLabel* newLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

} // namespace

Tforme_calc_date::Tforme_calc_date(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      MainMenu(new QMenuBar(this)),
      PB_entete(new QWidget(this)),
      Lbl_origine(newLabel("Lbl_origine", QStringLiteral("Date d'origine"), PB_entete)),
      DTP_origine(newDatePicker("DTP_origine", PB_entete)),
      Panel_calcul(new QFrame(this)),
      RB_nombre(new QRadioButton(QStringLiteral("Nombre"), Panel_calcul)),
      RB_date(new QRadioButton(QStringLiteral("Date"), Panel_calcul)),
      PC_calcul(new QStackedWidget(Panel_calcul)),
      TS_nombre(new QWidget),
      SE_nombre(new QSpinBox(TS_nombre)),
      CB_unite(new QComboBox(TS_nombre)),
      Lbl_resultat(newLabel("Lbl_resultat", QStringLiteral("Date résultat"), TS_nombre)),
      Ed_resultat(newReadOnlyField("Ed_resultat", TS_nombre)),
      TS_date(new QWidget),
      Lbl_difference(newLabel("Lbl_difference", QStringLiteral("Différence entre Deux dates"), TS_date)),
      DTP_seconde(newDatePicker("DTP_seconde", TS_date)),
      Ed_difference(newReadOnlyField("Ed_difference", TS_date)),
      Lbl_jours(newLabel("Lbl_jours", QStringLiteral("Jour(s)"), TS_date)) {
  setObjectName(QStringLiteral("Tforme_calc_date"));
  setWindowTitle(QStringLiteral("Calculatrice temporelle"));
  setFont(MsSansSerif(8));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Background);
  setPalette(palette);

  // Menus with nothing in them yet: shown, but they open nothing.
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  for (const QString& title : {QStringLiteral("Edition"), QStringLiteral("Affichage"), QStringLiteral("?")})
    MainMenu->addMenu(title)->setEnabled(false);

  PB_entete->setObjectName(QStringLiteral("PB_entete"));
  PB_entete->setFixedHeight(HeaderHeight);
  PB_entete->installEventFilter(this);
  Lbl_origine->setGeometry(8, 16, 78, 22);
  DTP_origine->setGeometry(88, 16, std::min(pickerWidth(DTP_origine), ClientWidth - 88 - 4), 22);

  Panel_calcul->setObjectName(QStringLiteral("Panel_calcul"));
  Panel_calcul->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  RB_nombre->setObjectName(QStringLiteral("RB_nombre"));
  RB_date->setObjectName(QStringLiteral("RB_date"));
  RB_nombre->setGeometry(8, 6, 120, 20);
  RB_date->setGeometry(200, 6, 90, 20);
  auto* modes = new QButtonGroup(this);
  modes->addButton(RB_nombre);
  modes->addButton(RB_date);
  RB_nombre->setChecked(true);
  PC_calcul->setObjectName(QStringLiteral("PC_calcul"));
  PC_calcul->setGeometry(2, 30, ClientWidth - 4, ClientHeight - HeaderHeight - 32);
  PC_calcul->addWidget(TS_nombre);
  PC_calcul->addWidget(TS_date);
  TS_nombre->setObjectName(QStringLiteral("TS_nombre"));
  TS_date->setObjectName(QStringLiteral("TS_date"));

  SE_nombre->setObjectName(QStringLiteral("SE_nombre"));
  SE_nombre->setRange(INT_MIN, INT_MAX);
  SE_nombre->setValue(0);
  SE_nombre->setGeometry(6, 8, 100, 22);
  CB_unite->setObjectName(QStringLiteral("CB_unite"));
  for (const auto& unit : CalendarUnits()) CB_unite->addItem(fromCp1252(unit.caption), static_cast<int>(unit.unit));
  CB_unite->setGeometry(114, 8, 120, 22);
  Lbl_resultat->setGeometry(6, 44, 200, 16);
  Ed_resultat->setGeometry(6, 62, 285, 22);

  Lbl_difference->setGeometry(6, 4, 285, 16);
  DTP_seconde->setGeometry(6, 24, pickerWidth(DTP_seconde), 22);
  Ed_difference->setGeometry(6, 62, 100, 22);
  Ed_difference->setAlignment(Qt::AlignRight);
  Lbl_jours->setGeometry(112, 62, 80, 22);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(MainMenu);
  layout->addWidget(PB_entete);
  layout->addWidget(Panel_calcul, 1);
  setFixedSize(ClientWidth, ClientHeight + MainMenu->sizeHint().height());

  connect(RB_nombre, &QRadioButton::toggled, this, [this](bool on) { PC_calcul->setCurrentWidget(on ? TS_nombre : TS_date); });
  connect(SE_nombre, &QSpinBox::valueChanged, this, Reported([this] { computeResult(); }));
  connect(CB_unite, &QComboBox::currentIndexChanged, this, Reported([this] { computeResult(); }));
  connect(DTP_origine, &QDateEdit::dateChanged, this, Reported([this] {
            computeResult();
            computeDifference();
          }));
  connect(DTP_seconde, &QDateEdit::dateChanged, this, Reported([this] { computeDifference(); }));
  computeResult();
  computeDifference();
}

Tforme_calc_date::~Tforme_calc_date() = default;

void Tforme_calc_date::computeResult() {
  const auto unit = static_cast<CalendarUnit>(CB_unite->currentData().toInt());
  const auto moved = MovedDate(DayOfDate(DTP_origine->date()), SE_nombre->value(), unit);
  Ed_resultat->setText(moved ? fromCp1252(DateTextOf(true, *moved)) : QStringLiteral("Hors du calendrier (an 1 à 9999)"));
}

void Tforme_calc_date::computeDifference() {
  Ed_difference->setText(QString::number(DayDifference(DayOfDate(DTP_origine->date()), DayOfDate(DTP_seconde->date()))));
}

bool Tforme_calc_date::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PB_entete && event->type() == QEvent::Paint) {
    QPainter painter(PB_entete);
    PaintGradient(painter, ButtonFaceColour(), Background, PB_entete->rect());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

} // namespace tessel
