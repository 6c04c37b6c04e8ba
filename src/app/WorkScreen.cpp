#include "app/WorkScreen.h"

#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/ProgramValues.h"
#include "widgets/UiFonts.h"

#include <QPainter>

namespace tessel {

WorkScreen::WorkScreen(QWidget* parent) : QWidget(parent) {
  connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, this, &WorkScreen::finalise);
  connect(&EditHistory::instance(), &EditHistory::aboutToRestore, this, &WorkScreen::documentAboutToRestore);
  connect(&EditHistory::instance(), &EditHistory::restored, this, &WorkScreen::documentRestored);
}

void WorkScreen::documentRestored() {
  if (isVisible()) pageShown();
}

void WorkScreen::runCommand(const std::function<void()>& command) {
  if (!RunReported(command)) RunReported([this] { finalise(); });
}

PlaceholderScreen::PlaceholderScreen(const QString& title, QWidget* parent) : WorkScreen(parent), title_(title) {}

void PlaceholderScreen::paintEvent(QPaintEvent*) {
  constexpr int HeaderHeight = 35;
  QPainter painter(this);
  painter.fillRect(rect(), WorkspaceColour);
  painter.setFont(MsSansSerif(8));
  PaintCaptionBand(painter, QRect(0, 0, width(), HeaderHeight), title_, ButtonFaceColour(), 0, WorkspaceColour);
}

} // namespace tessel
