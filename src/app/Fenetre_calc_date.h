#pragma once
// The time calculator: from an origin date, the date reached after a count
// of days, weeks, months, quarters, half-years or years, or the number of
// days to a second date. A tool window that stays on top, created hidden at
// start-up and shown and hidden by "Chronodatrice..."; it keeps its fields
// for the whole run and touches no document data.

#include <QDialog>

class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QMenuBar;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

namespace tessel {

class Tforme_calc_date : public QDialog {
  Q_OBJECT
public:
  explicit Tforme_calc_date(QWidget* parent = nullptr);
  ~Tforme_calc_date() override;

  QMenuBar* const MainMenu;
  QWidget* const PB_entete;
  QLabel* const Lbl_origine;
  QDateEdit* const DTP_origine;
  QFrame* const Panel_calcul;
  QRadioButton* const RB_nombre;
  QRadioButton* const RB_date;
  QStackedWidget* const PC_calcul;
  QWidget* const TS_nombre;
  QSpinBox* const SE_nombre;
  QComboBox* const CB_unite;
  QLabel* const Lbl_resultat;
  QLineEdit* const Ed_resultat;
  QWidget* const TS_date;
  QLabel* const Lbl_difference;
  QDateEdit* const DTP_seconde;
  QLineEdit* const Ed_difference;
  QLabel* const Lbl_jours;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void computeResult();
  void computeDifference();
};

} // namespace tessel
