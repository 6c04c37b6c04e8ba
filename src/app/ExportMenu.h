#pragma once
// "Fichier ▸ Exporter": the timetable's week and the period view's month as
// CSV files, byte for byte what tessel-cli writes with --csv, and the weekly
// reports of the shown week as PDF files, as tessel-cli report draws them.

#include <QMenu>

#include <functional>

namespace tessel {

class TFrame_emploi_du_temps;
class Tframe_vue;

class ExportMenu final : public QMenu {
  Q_OBJECT
public:
  ExportMenu(TFrame_emploi_du_temps& timetable, Tframe_vue& periodView, QWidget* parent);

  // Where to write: a save dialog (tests replace it); empty to give up.
  std::function<QString(QWidget* owner, const QString& caption, const QString& suggested, const QString& filter)>
      chooseFile;

  QAction* const Act_semaine;
  QAction* const Act_mois;
  QAction* const Act_rapport;
  QAction* const Act_rapport_notes;

  void exportWeek();
  void exportMonth();
  void exportReport(bool notes);

private:
  // The chosen path for `name` beside the document; empty when given up.
  QString choose(const QString& caption, const QString& name, const QString& filter);

  TFrame_emploi_du_temps& timetable_;
  Tframe_vue& periodView_;
};

} // namespace tessel
