#include "app/Fenetre_introduction.h"

#include "app/StartupEntry.h"
#include "widgets/IconSet.h"
#include "widgets/ProgramValues.h"
#include "widgets/UiFonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr int ClientWidth = 359;
constexpr int ClientHeight = 400;
constexpr int BandHeight = 73;
constexpr int ButtonStripHeight = 39;

void paintWhite(QWidget* widget) {
  QPalette white = widget->palette();
  white.setColor(QPalette::Window, Qt::white);
  widget->setPalette(white);
  widget->setAutoFillBackground(true);
}

QLabel* newLabel(const QString& text, QWidget* parent, bool bold = false, int pointSize = 8) {
  auto* label = new QLabel(text, parent);
  QFont font = MsSansSerif(pointSize);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

} // namespace

TForme_introduction::TForme_introduction(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      Img_logo_editeur(new QLabel(this)),
      Img_icone(new QLabel(this)),
      PC_intro(new QStackedWidget(this)),
      TS_a_propos(new QWidget),
      TS_options(new QWidget),
      Img_logo(new QLabel),
      Lbl_slogan(newLabel(QString(), nullptr, true, 10)),
      CB_demarrage(new QCheckBox),
      Lbl_demarrage(newLabel(QString(), nullptr)),
      Panel_boutons(new QWidget(this)),
      BB_oui(new QPushButton(QStringLiteral("Oui"), Panel_boutons)) {
  setObjectName(QStringLiteral("TForme_introduction"));
  setWindowTitle(ProductNameText() + QStringLiteral(" - ") + MakerName());
  setFont(MsSansSerif(8));
  setFixedSize(ClientWidth, ClientHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  // White band: maker's logo at the left, product icon at the right.
  auto* band = new QWidget(this);
  band->setObjectName(QStringLiteral("Panel_bandeau"));
  band->setFixedHeight(BandHeight);
  paintWhite(band);
  auto* bandLayout = new QHBoxLayout(band);
  bandLayout->setContentsMargins(6, 8, 6, 9);
  Img_logo_editeur->setObjectName(QStringLiteral("Img_logo_editeur"));
  Img_logo_editeur->setFixedSize(265, 56);
  Img_logo_editeur->setScaledContents(true);
  Img_logo_editeur->setCursor(Qt::PointingHandCursor);
  Img_logo_editeur->setToolTip(MakerSite());
  Img_logo_editeur->installEventFilter(this);
  Img_icone->setObjectName(QStringLiteral("Img_icone"));
  Img_icone->setFixedSize(74, 56);
  Img_icone->setAlignment(Qt::AlignCenter);
  bandLayout->addWidget(Img_logo_editeur);
  bandLayout->addStretch();
  bandLayout->addWidget(Img_icone);
  layout->addWidget(band);

  PC_intro->setObjectName(QStringLiteral("PC_intro"));
  buildAboutPage();
  buildOptionsPage();
  layout->addWidget(PC_intro, 1);

  Panel_boutons->setObjectName(QStringLiteral("Panel_boutons"));
  Panel_boutons->setFixedHeight(ButtonStripHeight);
  auto* buttons = new QHBoxLayout(Panel_boutons);
  buttons->setContentsMargins(8, 6, 8, 8);
  BB_oui->setObjectName(QStringLiteral("BB_oui"));
  BB_oui->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(BB_oui);
  buttons->addStretch();
  connect(BB_oui, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(Panel_boutons);
}

void TForme_introduction::buildAboutPage() {
  TS_a_propos->setObjectName(QStringLiteral("TS_a_propos"));
  auto* page = new QVBoxLayout(TS_a_propos);
  page->setContentsMargins(8, 8, 8, 4);
  page->setSpacing(4);

  auto* panel = new QFrame(TS_a_propos);
  panel->setObjectName(QStringLiteral("Panel_a_propos"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  paintWhite(panel);
  auto* panelLayout = new QHBoxLayout(panel);
  panelLayout->setContentsMargins(6, 6, 6, 6);

  auto* product = new QVBoxLayout;
  Img_logo->setObjectName(QStringLiteral("Img_logo"));
  Img_logo->setAlignment(Qt::AlignCenter);
  Lbl_slogan->setObjectName(QStringLiteral("Lbl_slogan"));
  Lbl_slogan->setAlignment(Qt::AlignCenter);
  Lbl_slogan->setWordWrap(true);
  product->addStretch();
  product->addWidget(Img_logo);
  product->addWidget(Lbl_slogan);
  product->addStretch();
  panelLayout->addLayout(product, 1);

  // The identity column.
  auto* column = new QWidget(panel);
  column->setObjectName(QStringLiteral("Panel_identite"));
  column->setFixedWidth(107);
  auto* identity = new QVBoxLayout(column);
  identity->setContentsMargins(4, 0, 0, 0);
  identity->setSpacing(2);
  QLabel* test = newLabel(QStringLiteral("Logiciel en Test"), column, true);
  test->setObjectName(QStringLiteral("Lbl_test"));
  test->setWordWrap(true);
  QPalette red = test->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  test->setPalette(red);
  identity->addWidget(test);
  identity->addSpacing(8);
  const std::pair<const char*, QString> rows[] = {{"Nom", ProductNameText()},
                                                  {"Version", ProductVersionText()},
                                                  {"Date", ProductDateText()}};
  for (const auto& [caption, value] : rows) {
    identity->addWidget(newLabel(QLatin1String(caption), column));
    QLabel* shown = newLabel(value, column, true);
    shown->setObjectName(QStringLiteral("Lbl_") + QLatin1String(caption).toString().toLower());
    identity->addWidget(shown);
    identity->addSpacing(4);
  }
  identity->addStretch();
  panelLayout->addWidget(column);
  page->addWidget(panel, 1);

  QLabel* contact = newLabel(QStringLiteral("N'hésitez pas à nous contacter par mail : ") + MakerMail(), TS_a_propos);
  contact->setObjectName(QStringLiteral("Lbl_contact"));
  QLabel* thanks = newLabel(QStringLiteral("Nous vous remercions d'utiliser ") + ProductNameText(), TS_a_propos);
  thanks->setObjectName(QStringLiteral("Lbl_merci"));
  for (QLabel* line : {contact, thanks}) {
    line->setAlignment(Qt::AlignCenter);
    line->setWordWrap(true);
    page->addWidget(line);
  }
  PC_intro->addWidget(TS_a_propos);
}

void TForme_introduction::buildOptionsPage() {
  TS_options->setObjectName(QStringLiteral("TS_options"));
  auto* page = new QVBoxLayout(TS_options);
  page->setContentsMargins(16, 24, 16, 8);
  auto* row = new QHBoxLayout;
  const QString label = QStringLiteral("Désirez-vous que ") + ProductNameText() +
                        QStringLiteral(" soit lancé à chaque démarrage de Windows ?");
  CB_demarrage->setObjectName(QStringLiteral("CB_demarrage"));
  CB_demarrage->setAccessibleName(label);
  // A check box caption cannot wrap: the label beside it does, and a click on
  // it ticks the box like a click on a caption.
  Lbl_demarrage->setObjectName(QStringLiteral("Lbl_demarrage"));
  Lbl_demarrage->setText(label);
  Lbl_demarrage->setWordWrap(true);
  Lbl_demarrage->setBuddy(CB_demarrage);
  Lbl_demarrage->installEventFilter(this);
  row->addWidget(CB_demarrage, 0, Qt::AlignTop);
  row->addWidget(Lbl_demarrage, 1);
  page->addLayout(row);
  page->addStretch();
  PC_intro->addWidget(TS_options);
}

void TForme_introduction::Prepare(const QString& slogan) {
  Img_logo->setPixmap(ProductPicture());
  const QPixmap icon = ProductLogo(QSize(56, 56));
  Img_icone->setPixmap(icon);
  setWindowIcon(ApplicationIcon());
  Img_logo_editeur->setPixmap(MakerLogo(Img_logo_editeur->size()));
  Lbl_slogan->setText(slogan);
}

void TForme_introduction::CentreOnScreen() {
  // Placed explicitly: a window without a frame gets no placement of its own
  // from every window manager, and lands in a corner.
  const QWidget* anchor = QApplication::activeWindow();
  const QScreen* screen = anchor && anchor != this ? anchor->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TForme_introduction::ShowAbout() {
  PC_intro->setCurrentWidget(TS_a_propos);
  CentreOnScreen();
  exec();
}

void TForme_introduction::ShowOptions() {
  PC_intro->setCurrentWidget(TS_options);
  CB_demarrage->setChecked(StartsWithWindows());
  CentreOnScreen();
  exec();
  SetStartWithWindows(CB_demarrage->isChecked());
}

void TForme_introduction::StartSplash() {
  PC_intro->setCurrentWidget(TS_a_propos);
  Panel_boutons->hide();
  CentreOnScreen();
  show();
  raise();
  repaint();
  // Let the window system map and paint it before start-up goes on.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForme_introduction::EndSplash() {
  close();
  Panel_boutons->show();
}

bool TForme_introduction::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == Img_logo_editeur) {
      QDesktopServices::openUrl(QUrl(MakerSite()));
      return true;
    }
    if (watched == Lbl_demarrage) {
      CB_demarrage->toggle();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

} // namespace tessel
