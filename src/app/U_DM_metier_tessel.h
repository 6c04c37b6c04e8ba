#pragma once
// Shared module of the time-tracking side: the two weekly-report commands and
// their week, the activity pictures, the product picture and the large
// tool-bar icons. Creating it also registers the persistent classes and the
// relabelling step that runs before each load.

#include "foundation/ZEP_Dates.h"
#include "widgets/IconSet.h"

#include <QObject>

class QAction;

namespace tessel {

class TDM_metier_tessel : public QObject {
  Q_OBJECT
public:
  explicit TDM_metier_tessel(QObject* parent = nullptr);
  ~TDM_metier_tessel() override;
  // The module of this run (created once at start-up), or null.
  static TDM_metier_tessel* instance();

  static constexpr QSize ActivityIconSize{16, 16};
  static constexpr QSize PictureSize{160, 116};
  static constexpr QSize ToolBarIconSize{16, 16};

  const ImageList IL_activites;       // first picture: the root category
  const ImageList IL_images;          // first picture: the product picture
  const ImageList IL_gros_btn_tessel; // the main window's left tool bar

  QAction* const Act_rapport_hebdo;
  QAction* const Act_rapport_hebdo_note;

  // The week the reports cover, written by the timetable each time it shows a
  // week (Monday and Sunday, whole dates); zero until then.
  void setReportPeriod(TDateTime firstDay, TDateTime lastDay);
  TDateTime firstDay() const { return firstDay_; }
  TDateTime lastDay() const { return lastDay_; }

protected:
  // Each builds its report for the week above and previews it, waiting until
  // the preview is closed.
  virtual void Act_rapport_hebdoExecute();
  virtual void Act_rapport_hebdo_noteExecute();

private:
  TDateTime firstDay_ = 0;
  TDateTime lastDay_ = 0;
};

} // namespace tessel
