#include "app/U_fen_administration.h"

#include "app/U_Frame_administration.h"
#include "objects/ZEP_Objet_OCS.h"
#include "ui/Cadre_res_personne.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"
#include "widgets/UiFonts.h"

#include <QEvent>
#include <QLayout>
#include <QShowEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace tessel {

namespace {

constexpr QSize ClientSize{496, 478};
constexpr int BandHeight = 41;

} // namespace

TForme_administration::TForme_administration(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      PB_bandeau(new QWidget(this)),
      Frame_administration(new TFrame_administration(this)) {
  setObjectName(QStringLiteral("TForme_administration"));
  setWindowTitle(QStringLiteral("Tessel Administration"));
  setFont(MsSansSerif(8));
  setModal(true);

  PB_bandeau->setObjectName(QStringLiteral("PB_bandeau"));
  PB_bandeau->setFixedHeight(BandHeight);
  PB_bandeau->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(PB_bandeau);
  layout->addWidget(Frame_administration, 1);

  setFixedSize(ClientSize);
  if (Storage::isOpen()) RefreshUsers();
}

TForme_administration::~TForme_administration() = default;

void TForme_administration::RefreshUsers() {
  Frame_administration->RefreshUsers();
  // The designed size, or more where this desktop's fonts need it (the tabs
  // count once there are some).
  const QSize needed = layout()->totalMinimumSize();
  setFixedSize(std::max(ClientSize.width(), needed.width()), std::max(ClientSize.height(), needed.height()));
  update();
}

void TForme_administration::showEvent(QShowEvent* event) {
  // Not when the window system shows it again (after minimising): what was
  // typed stays.
  if (!event->spontaneous()) RefreshUsers();
  QDialog::showEvent(event);
}

void TForme_administration::done(int result) {
  if (!Frame_administration->SaveShownUser()) return;
  QDialog::done(result);
}

bool TForme_administration::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PB_bandeau && event->type() == QEvent::Paint) {
    QPainter painter(PB_bandeau);
    painter.setFont(font());
    PaintCaptionBand(painter, PB_bandeau->rect(), QStringLiteral("Fenêtre d'administration"), ButtonFaceColour(), 0,
                     WorkspaceColour);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

} // namespace tessel
