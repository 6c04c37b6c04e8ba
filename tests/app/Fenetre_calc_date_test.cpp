// The time calculator: its fields at start, the result date and the
// difference as the fields change, its two pages, and the "Chronodatrice..."
// toggle that shows and hides it without losing what was typed.

#include "app/Fenetre_calc_date.h"

#include "foundation/ZEP_Dates.h"
#include "widgets/U_DM_metier.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QtTest>

#include <climits>
#include <memory>

using namespace tessel;

class CalculatorTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void startsHiddenWithTodayAndNothingToAdd();
  void resultDate_data();
  void resultDate();
  void difference();
  void modesShowTheirPages();
  void toggleKeepsTheFields();

private:
  std::unique_ptr<TDM_metier> module_;
  std::unique_ptr<Tforme_calc_date> window_;
};

void CalculatorTest::initTestCase() { setDateLocale(QLocale(QLocale::French, QLocale::France)); }

void CalculatorTest::init() {
  module_ = std::make_unique<TDM_metier>();
  window_ = std::make_unique<Tforme_calc_date>();
  module_->setCalculatorWindow(window_.get());
}

void CalculatorTest::cleanup() {
  window_.reset();
  module_.reset();
}

void CalculatorTest::startsHiddenWithTodayAndNothingToAdd() {
  const Tforme_calc_date& w = *window_;
  QVERIFY(!w.isVisible());
  QVERIFY(!module_->Act_calculatrice->isChecked());
  QVERIFY(!w.isModal());
  QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
  QCOMPARE(w.windowTitle(), QStringLiteral("Calculatrice temporelle"));
  QCOMPARE(w.size(), QSize(301, 228 + w.MainMenu->sizeHint().height()));
  QStringList menus;
  for (QAction* menu : w.MainMenu->actions()) menus << menu->text();
  QCOMPARE(menus, (QStringList{"Edition", "Affichage", "?"}));

  QCOMPARE(w.DTP_origine->date(), QDate::currentDate());
  QCOMPARE(w.DTP_seconde->date(), QDate::currentDate());
  QCOMPARE(w.SE_nombre->value(), 0);
  QCOMPARE(w.SE_nombre->minimum(), INT_MIN);
  QCOMPARE(w.SE_nombre->maximum(), INT_MAX);
  QStringList units;
  for (int i = 0; i < w.CB_unite->count(); ++i) units << w.CB_unite->itemText(i);
  QCOMPARE(units, (QStringList{"Jour(s)", "Semaine(s)", "Mois", "Trimestre(s)", "Semestre(s)", "Année(s)"}));
  QCOMPARE(w.CB_unite->currentIndex(), 0);
  QVERIFY(w.RB_nombre->isChecked());
  QCOMPARE(w.PC_calcul->currentWidget(), w.TS_nombre);
  QCOMPARE(w.Ed_resultat->text(), QLocale(QLocale::French).toString(QDate::currentDate(), QLocale::LongFormat));
  QCOMPARE(w.Ed_difference->text(), QStringLiteral("0"));
  QVERIFY(w.Ed_resultat->isReadOnly());
  QVERIFY(w.Ed_difference->isReadOnly());
}

void CalculatorTest::resultDate_data() {
  QTest::addColumn<QDate>("origin");
  QTest::addColumn<int>("count");
  QTest::addColumn<QString>("unit");
  QTest::addColumn<QString>("result");
  QTest::newRow("31 January + 1 month") << QDate(2002, 1, 31) << 1 << "Mois" << "jeudi 28 février 2002";
  QTest::newRow("29 February + 1 year") << QDate(2004, 2, 29) << 1 << "Année(s)" << "lundi 28 février 2005";
  QTest::newRow("15 March - 2 weeks") << QDate(2002, 3, 15) << -2 << "Semaine(s)" << "vendredi 1 mars 2002";
  QTest::newRow("a quarter") << QDate(2002, 5, 31) << 1 << "Trimestre(s)" << "samedi 31 août 2002";
  QTest::newRow("back a half-year") << QDate(2002, 8, 31) << -1 << "Semestre(s)" << "jeudi 28 février 2002";
  QTest::newRow("days") << QDate(2002, 12, 31) << 1 << "Jour(s)" << "mercredi 1 janvier 2003";
  QTest::newRow("beyond the calendar") << QDate(2002, 1, 1) << INT_MAX << "Année(s)" << "Hors du calendrier (an 1 à 9999)";
}

void CalculatorTest::resultDate() {
  QFETCH(QDate, origin);
  QFETCH(int, count);
  QFETCH(QString, unit);
  QFETCH(QString, result);
  Tforme_calc_date& w = *window_;
  // Each field recomputes the result on its own, whichever changes last.
  w.SE_nombre->setValue(count);
  w.CB_unite->setCurrentText(unit);
  w.DTP_origine->setDate(origin);
  QCOMPARE(w.Ed_resultat->text(), result);
  w.SE_nombre->setValue(0);
  QCOMPARE(w.Ed_resultat->text(), QLocale(QLocale::French).toString(origin, QLocale::LongFormat));
  w.CB_unite->setCurrentIndex((w.CB_unite->findText(unit) + 1) % w.CB_unite->count());
  w.SE_nombre->setValue(count);
  w.CB_unite->setCurrentText(unit);
  QCOMPARE(w.Ed_resultat->text(), result);
}

void CalculatorTest::difference() {
  Tforme_calc_date& w = *window_;
  w.DTP_origine->setDate(QDate(2002, 3, 15));
  w.DTP_seconde->setDate(QDate(2002, 3, 15));
  QCOMPARE(w.Ed_difference->text(), QStringLiteral("0"));
  w.DTP_seconde->setDate(QDate(2002, 3, 14));
  QCOMPARE(w.Ed_difference->text(), QStringLiteral("-1"));
  // The origin counts too.
  w.DTP_origine->setDate(QDate(2001, 3, 14));
  QCOMPARE(w.Ed_difference->text(), QStringLiteral("365"));
}

void CalculatorTest::modesShowTheirPages() {
  Tforme_calc_date& w = *window_;
  w.show();
  QTest::mouseClick(w.RB_date, Qt::LeftButton, {}, QPoint(5, w.RB_date->height() / 2));
  QCOMPARE(w.PC_calcul->currentWidget(), w.TS_date);
  QTest::mouseClick(w.RB_date, Qt::LeftButton, {}, QPoint(5, w.RB_date->height() / 2));
  QCOMPARE(w.PC_calcul->currentWidget(), w.TS_date);
  QTest::mouseClick(w.RB_nombre, Qt::LeftButton, {}, QPoint(5, w.RB_nombre->height() / 2));
  QCOMPARE(w.PC_calcul->currentWidget(), w.TS_nombre);
}

void CalculatorTest::toggleKeepsTheFields() {
  QAction* toggle = module_->Act_calculatrice;
  Tforme_calc_date& w = *window_;
  toggle->trigger();
  QVERIFY(w.isVisible());
  QVERIFY(toggle->isChecked());
  w.DTP_origine->setDate(QDate(2002, 1, 31));
  w.SE_nombre->setValue(1);
  w.CB_unite->setCurrentText(QStringLiteral("Mois"));
  w.RB_date->setChecked(true);
  w.DTP_seconde->setDate(QDate(2002, 2, 10));
  toggle->trigger();
  QVERIFY(!w.isVisible());
  QVERIFY(!toggle->isChecked());
  toggle->trigger();
  QVERIFY(w.isVisible());
  QCOMPARE(w.DTP_origine->date(), QDate(2002, 1, 31));
  QCOMPARE(w.SE_nombre->value(), 1);
  QCOMPARE(w.CB_unite->currentText(), QStringLiteral("Mois"));
  QCOMPARE(w.Ed_resultat->text(), QStringLiteral("jeudi 28 février 2002"));
  QCOMPARE(w.PC_calcul->currentWidget(), w.TS_date);
  QCOMPARE(w.Ed_difference->text(), QStringLiteral("10"));
  // Closed from its own title bar (or Escape), the command follows.
  w.close();
  QVERIFY(!toggle->isChecked());
}

QTEST_MAIN(CalculatorTest)
#include "Fenetre_calc_date_test.moc"
