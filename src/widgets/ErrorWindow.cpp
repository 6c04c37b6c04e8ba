#include "widgets/ErrorWindow.h"

#include "widgets/UiFonts.h"

#include <QPainter>
#include <QPushButton>
#include <QTextEdit>
#include <qdrawutil.h>

namespace tessel {

namespace {
const QColor maroon(128, 0, 0);
}

TForme_erreur::TForme_erreur(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      RE(new QTextEdit(this)),
      SpeedButton1(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("TForme_erreur"));
  setFixedSize(153, 125);
  setModal(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, maroon);
  setPalette(background);
  setAutoFillBackground(true);

  RE->setObjectName(QStringLiteral("RE"));
  RE->setGeometry(8, 8, 137, 81);
  RE->setReadOnly(true);
  RE->setAcceptRichText(true);
  QFont italic = MsSansSerif(8);
  italic.setItalic(true);
  RE->setFont(italic);
  RE->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  RE->setLineWidth(2);
  QPalette white = RE->palette();
  white.setColor(QPalette::Base, Qt::white);
  white.setColor(QPalette::Text, Qt::black);
  RE->setPalette(white);
  RE->setToolTip(QStringLiteral("Message d'erreur"));

  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setGeometry(56, 96, 49, 22);
  SpeedButton1->setFlat(true);
  SpeedButton1->setFont(MsSansSerif(8));
  QPalette caption = SpeedButton1->palette();
  caption.setColor(QPalette::ButtonText, Qt::white);
  caption.setColor(QPalette::Button, maroon);
  SpeedButton1->setPalette(caption);
  SpeedButton1->setDefault(true);
  connect(SpeedButton1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForme_erreur::setMessage(const QString& text) {
  RE->clear();
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  RE->setPlainText(lines);
}

void TForme_erreur::ShowError(const QString& text, QWidget* parent) {
  TForme_erreur window(parent);
  window.setMessage(text);
  window.exec();
}

void TForme_erreur::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // The raised bevel round the whole client area.
  QPainter painter(this);
  qDrawShadePanel(&painter, rect(), QPalette(maroon), false, 1);
}

} // namespace tessel
