#include "app/U_frame_Tessel.h"

#include "app/WorkScreen.h"

#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tessel {

namespace {

QWidget* newPage(const char* name) {
  auto* page = new QWidget;
  page->setObjectName(QLatin1String(name));
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  return page;
}

} // namespace

TFrame_Tessel::TFrame_Tessel(QWidget* parent)
    : QWidget(parent),
      PC_tessel(new QTabWidget(this)),
      TS_emploi_du_temps(newPage("TS_emploi_du_temps")),
      TS_statistique(newPage("TS_statistique")),
      TS_vues(newPage("TS_vues")),
      TS_calendrier(newPage("TS_calendrier")) {
  setObjectName(QStringLiteral("TFrame_Tessel"));
  PC_tessel->setObjectName(QStringLiteral("PC_tessel"));
  PC_tessel->setDocumentMode(true);
  PC_tessel->addTab(TS_emploi_du_temps, QStringLiteral("Emploi du temps"));
  PC_tessel->addTab(TS_statistique, QStringLiteral("Vues et Statistiques"));
  PC_tessel->setTabToolTip(1, QStringLiteral("Synthèse des informations saisies"));
  PC_tessel->addTab(TS_vues, QString());
  PC_tessel->addTab(TS_calendrier, QString());
  PC_tessel->tabBar()->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PC_tessel);

  setScreen(Page::Timetable, new PlaceholderScreen(QStringLiteral("Emploi du temps")));
  setScreen(Page::Statistics, new PlaceholderScreen(QStringLiteral("Statistiques")));
  setScreen(Page::PeriodView, new PlaceholderScreen(QStringLiteral("Vues")));
  setScreen(Page::Calendar, new PlaceholderScreen(QString()));
}

void TFrame_Tessel::setScreen(Page page, WorkScreen* screen) {
  WorkScreen*& slot = screens_[std::size_t(page)];
  QWidget* tab = PC_tessel->widget(int(page));
  if (slot) {
    tab->layout()->removeWidget(slot);
    delete slot;
  }
  slot = screen;
  if (screen) tab->layout()->addWidget(screen);
}

void TFrame_Tessel::initialise() {
  PC_tessel->tabBar()->hide();
  for (Page page : {Page::Timetable, Page::PeriodView, Page::Statistics})
    if (WorkScreen* s = screen(page)) s->initialise();
  showTimetablePage();
}

void TFrame_Tessel::RefreshWorkScreens() {
  for (Page page : {Page::Timetable, Page::PeriodView, Page::Statistics})
    if (WorkScreen* s = screen(page)) s->refresh();
  if (WorkScreen* s = screen(Page::Calendar)) s->update();
}

void TFrame_Tessel::showTimetablePage() { showPage(Page::Timetable); }
void TFrame_Tessel::showStatisticsPage() { showPage(Page::Statistics); }
void TFrame_Tessel::showPeriodViewPage() { showPage(Page::PeriodView); }
void TFrame_Tessel::showCalendarPage() { showPage(Page::Calendar); }

TFrame_Tessel::Page TFrame_Tessel::currentPage() const { return Page(PC_tessel->currentIndex()); }

void TFrame_Tessel::showPage(Page page) {
  PC_tessel->setCurrentIndex(int(page));
  if (WorkScreen* s = screen(page)) s->pageShown();
}

} // namespace tessel
