// Commands on the backups of a data file: backups, restore.

#include "cli/CliSupport.h"

#include "foundation/Cp1252.h"
#include "foundation/DocumentLock.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Dates.h"
#include "model/DocumentBackups.h"
#include "model/FileWeekTotal.h"

#include <QDir>
#include <QFileInfo>

#include <iostream>

namespace tessel::cli {

namespace {

void print(const QString& line) { std::cout << line.toStdString() << '\n'; }

[[noreturn]] void fail(const QString& message) { throw TesselError(Message() + toCp1252(message)); }

QString named(const QString& path) { return "« " + path + " »"; }

} // namespace

int backups(const Args& args) {
  if (args.size() != 1) throw UsageError("backups attend un fichier");
  const QString& file = args[0];
  const std::vector<DocumentBackup> found = DocumentBackups::list(file);
  if (found.empty()) {
    print("Aucune sauvegarde de " + named(QFileInfo(file).fileName()) + " (dossier " +
          named(DocumentBackups::folderOf(file)) + ").");
    return 0;
  }
  const TDateTime monday = MondayOf(Today());
  print("Sauvegardes de " + named(QFileInfo(file).fileName()) + " dans " + named(DocumentBackups::folderOf(file)) +
        ", les plus récentes d'abord ; total de la semaine du lundi " + fromCp1252(DateTextOf(false, monday)) + " :");
  print(QStringLiteral("Date                 Taille      Semaine  Fichier"));
  for (const DocumentBackup& b : found) {
    const std::optional<TDateTime> total = WeekTotalInFile(b.path, monday);
    print(DocumentBackups::dateText(b.saved) + "  " + DocumentBackups::sizeText(b.size).leftJustified(10) + "  " +
          (total ? fromCp1252(DurationText(*total)) : QStringLiteral("illisible")).rightJustified(7) + "  " +
          QFileInfo(b.path).fileName());
  }
  return 0;
}

int restore(const Args& args) {
  if (args.size() != 2) throw UsageError("restore attend un fichier et une de ses sauvegardes");
  const QString& file = args[0];
  // A name as backups lists it, or a path.
  QString backup = QDir(DocumentBackups::folderOf(file)).filePath(args[1]);
  if (!QFileInfo(backup).isFile()) backup = args[1];
  if (!QFileInfo(backup).isFile())
    fail("Sauvegarde introuvable : " + named(args[1]) + ". « tessel-cli backups " + file + " » les liste.");
  DocumentLock lock;
  switch (lock.lock(file)) {
  case DocumentLock::Outcome::Taken: break;
  case DocumentLock::Outcome::Held:
    fail("Le fichier " + named(file) + " est utilisé par " + fromCp1252(lock.detail()) + " ; rien n'a été changé.");
  case DocumentLock::Outcome::Impossible:
    fail("Impossible de verrouiller le fichier " + named(file) + " : " + fromCp1252(lock.detail()) +
         " ; rien n'a été changé.");
  }
  DocumentBackups::restore(file, backup);
  print(named(file) + " est remis tel qu'il était sauvegardé (" + QFileInfo(backup).fileName() +
        ") ; la version remplacée est gardée parmi ses sauvegardes.");
  return 0;
}

} // namespace tessel::cli
