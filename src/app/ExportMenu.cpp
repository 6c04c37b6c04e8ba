#include "app/ExportMenu.h"

#include "app/U_Frame_emploi_du_temps.h"
#include "app/U_Frame_vue.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"
#include "model/DocumentManager.h"
#include "model/PeriodGrid.h"
#include "model/WeekCsv.h"
#include "reports/U_Fenetre_Report_hebdomadaire.h"
#include "reports/U_Fenetre_Report_hebdomadaire_note.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/ScreenParts.h"

#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tessel {

namespace {

QAction* newAction(QMenu* menu, const char* name, const QString& caption, const char* icon) {
  QAction* action = menu->addAction(QIcon(IconPath(QLatin1String(icon))), caption);
  action->setObjectName(QLatin1String(name));
  return action;
}

QString fileDate(TDateTime day, const QString& format) { return DateOfDay(day).toString(format); }

const QString CsvFilter = QStringLiteral("Fichiers CSV (*.csv)");
const QString PdfFilter = QStringLiteral("Documents PDF (*.pdf)");

template <typename Form>
void writeReport(TDateTime monday, const QString& path) {
  Form form;
  form.prepare(monday, monday + ReportDays - 1);
  form.QuickRep1.generate();
  QString error;
  if (!WritePdf(form.QuickRep1, path, error)) throw TesselError(Message() + toCp1252(error));
}

} // namespace

ExportMenu::ExportMenu(TFrame_emploi_du_temps& timetable, Tframe_vue& periodView, QWidget* parent)
    : QMenu(QStringLiteral("E&xporter"), parent),
      Act_semaine(newAction(this, "Act_exporter_semaine", QStringLiteral("La semaine affichée (CSV)..."),
                            "action-export-xml.svg")),
      Act_mois(newAction(this, "Act_exporter_mois", QStringLiteral("Le mois de la vue mensuelle (CSV)..."),
                         "action-export-xml.svg")),
      Act_rapport(newAction(this, "Act_exporter_rapport", QStringLiteral("Le rapport hebdomadaire (PDF)..."),
                            "common-weekly-report.svg")),
      Act_rapport_notes(newAction(this, "Act_exporter_rapport_notes",
                                  QStringLiteral("Le rapport hebdomadaire avec les notes (PDF)..."),
                                  "common-weekly-report-notes.svg")),
      timetable_(timetable),
      periodView_(periodView) {
  setObjectName(QStringLiteral("MM_exporter"));
  setIcon(QIcon(IconPath(QStringLiteral("action-export-xml.svg"))));
  chooseFile = [](QWidget* owner, const QString& caption, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(owner, caption, suggested, filter);
  };
  connect(Act_semaine, &QAction::triggered, this, Reported([this] { exportWeek(); }));
  connect(Act_mois, &QAction::triggered, this, Reported([this] { exportMonth(); }));
  connect(Act_rapport, &QAction::triggered, this, Reported([this] { exportReport(false); }));
  connect(Act_rapport_notes, &QAction::triggered, this, Reported([this] { exportReport(true); }));
}

QString ExportMenu::choose(const QString& caption, const QString& name, const QString& filter) {
  const QString document = DocumentManager::instance().CurrentFile();
  const QDir folder = document.isEmpty() ? QDir::home() : QFileInfo(document).absoluteDir();
  const QString path = chooseFile ? chooseFile(parentWidget(), caption, folder.filePath(name), filter) : QString();
  if (path.isEmpty()) return {};
  // A data file is never replaced by an export.
  if (!document.isEmpty() && QFileInfo(path).absoluteFilePath() == QFileInfo(document).absoluteFilePath())
    throw TesselError(Message() + toCp1252(QStringLiteral("L'export ne peut pas remplacer le fichier de données « %1 ».")
                                               .arg(QFileInfo(document).fileName())));
  return path;
}

void ExportMenu::exportWeek() {
  if (!timetable_.commitPendingEdit()) return;
  const WeekTimetable& week = timetable_.week();
  const QString path = choose(QStringLiteral("Exporter la semaine"),
                              QStringLiteral("Semaine du %1.csv").arg(fileDate(week.monday(), QStringLiteral("dd-MM-yyyy"))),
                              CsvFilter);
  if (!path.isEmpty()) ReplaceFile(path, WeekCsv(week).toUtf8().toStdString());
}

void ExportMenu::exportMonth() {
  if (!timetable_.commitPendingEdit()) return;
  // From the date the view shows, whether or not its page was opened since.
  PeriodGrid grid;
  grid.load(DayOfDate(periodView_.DTP_debut->date()));
  const QString path = choose(QStringLiteral("Exporter la vue mensuelle"),
                              QStringLiteral("Vue du %1.csv").arg(fileDate(grid.start(), QStringLiteral("dd-MM-yyyy"))),
                              CsvFilter);
  if (!path.isEmpty()) ReplaceFile(path, PeriodCsv(grid).toUtf8().toStdString());
}

void ExportMenu::exportReport(bool notes) {
  if (!timetable_.commitPendingEdit()) return;
  const TDateTime monday = timetable_.week().monday();
  const QString name = (notes ? QStringLiteral("Rapport hebdomadaire avec notes du %1.pdf")
                              : QStringLiteral("Rapport hebdomadaire du %1.pdf"))
                           .arg(fileDate(monday, QStringLiteral("dd-MM-yyyy")));
  const QString path = choose(QStringLiteral("Exporter le rapport hebdomadaire"), name, PdfFilter);
  if (path.isEmpty()) return;
  if (notes) writeReport<TForme_report_act_hebdo_note>(monday, path);
  else writeReport<TForme_report_act_hebdo>(monday, path);
}

} // namespace tessel
