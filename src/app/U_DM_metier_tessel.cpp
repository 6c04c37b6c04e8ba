#include "app/U_DM_metier_tessel.h"

#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "reports/U_Fenetre_Report_hebdomadaire.h"
#include "reports/U_Fenetre_Report_hebdomadaire_note.h"
#include "ui/Fenetre_preview.h"
#include "widgets/ActionHints.h"
#include "widgets/MessageBoxPrompts.h"

#include <QAction>
#include <QApplication>

namespace tessel {

namespace {
TDM_metier_tessel* current = nullptr;
}

TDM_metier_tessel::TDM_metier_tessel(QObject* parent)
    : QObject(parent),
      IL_activites(QStringLiteral("IL_activites"), ActivityIconSize),
      IL_images(QStringLiteral("IL_images"), PictureSize),
      IL_gros_btn_tessel(QStringLiteral("IL_gros_btn_tessel"), ToolBarIconSize),
      Act_rapport_hebdo(new QAction(this)),
      Act_rapport_hebdo_note(new QAction(this)) {
  Act_rapport_hebdo->setObjectName(QStringLiteral("Act_rapport_hebdo"));
  SetCaption(Act_rapport_hebdo, QStringLiteral("Rapport hebdomadaire"));
  Act_rapport_hebdo_note->setObjectName(QStringLiteral("Act_rapport_hebdo_note"));
  SetCaption(Act_rapport_hebdo_note, QStringLiteral("Rapport hebdomadaire avec note(s)"));
  connect(Act_rapport_hebdo, &QAction::triggered, this, Reported([this] { Act_rapport_hebdoExecute(); }));
  connect(Act_rapport_hebdo_note, &QAction::triggered, this, Reported([this] { Act_rapport_hebdo_noteExecute(); }));
  SetUpApplicationModel();
  DocumentManager::instance().rootPicture = [this] { return IL_activites.pixmap(0).toImage(); };
  current = this;
}

TDM_metier_tessel::~TDM_metier_tessel() {
  DocumentManager::instance().rootPicture = nullptr;
  if (current == this) current = nullptr;
}

TDM_metier_tessel* TDM_metier_tessel::instance() { return current; }

void TDM_metier_tessel::setReportPeriod(TDateTime firstDay, TDateTime lastDay) {
  firstDay_ = firstDay;
  lastDay_ = lastDay;
}

namespace {

// The report form lives for one preview.
template <typename Form>
void previewReport(TDateTime firstDay, TDateTime lastDay) {
  Form form;
  form.prepare(firstDay, lastDay);
  OpenReportPreview(form.QuickRep1, QApplication::activeWindow());
}

} // namespace

void TDM_metier_tessel::Act_rapport_hebdoExecute() { previewReport<TForme_report_act_hebdo>(firstDay_, lastDay_); }

void TDM_metier_tessel::Act_rapport_hebdo_noteExecute() {
  previewReport<TForme_report_act_hebdo_note>(firstDay_, lastDay_);
}

} // namespace tessel
