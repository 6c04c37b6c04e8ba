#pragma once
// One borderless window for three uses: the splash screen during start-up,
// the "about" window and the environment options (start with the session).
// Its pages have no tabs; each use selects its page before showing it.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace tessel {

class TForme_introduction : public QDialog {
  Q_OBJECT
public:
  explicit TForme_introduction(QWidget* parent = nullptr);

  // Start-up: the product pictures and the slogan.
  void Prepare(const QString& slogan);

  // The "about" page, modal until "Oui" or closing.
  void ShowAbout();
  // The options page, modal; the option is read from the start-up entry when
  // it opens and written back when it closes, however it closes.
  void ShowOptions();

  // The "about" page without buttons, shown at once and not modal, while the
  // program starts; EndSplash closes it and brings the buttons back.
  void StartSplash();
  void EndSplash();

  // In the middle of the screen the program works on, for each use.
  void CentreOnScreen();

  QLabel* const Img_logo_editeur; // maker's logo: a click opens the maker's site
  QLabel* const Img_icone;        // product icon
  QStackedWidget* const PC_intro;
  QWidget* const TS_a_propos;
  QWidget* const TS_options;
  QLabel* const Img_logo;         // product picture of the "about" page
  QLabel* const Lbl_slogan;
  QCheckBox* const CB_demarrage;
  QLabel* const Lbl_demarrage;
  QWidget* const Panel_boutons;
  QPushButton* const BB_oui;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void buildAboutPage();
  void buildOptionsPage();
};

} // namespace tessel
