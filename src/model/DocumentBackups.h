#pragma once
// Rotating backups of documents: before a save replaces a document, the file
// as it was is kept in the user's data folder, under backups/<file name>/,
// named after the date and time of that save. The last 20 stay, and the
// newest of each of the last 30 days; the oldest go first when they take more
// room than the settings allow ("sauvegardes/taille_max_Mo", 500 Mo unless
// set). A backup is restored as a new document, or put back over the file
// (which is kept as a backup first).

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace tessel {

struct DocumentBackup {
  QString path;
  QDateTime saved; // when the save that replaced it happened
  std::int64_t size = 0;
};

class DocumentBackups {
public:
  static constexpr int KeptLast = 20;
  static constexpr int KeptDays = 30;
  static constexpr std::int64_t DefaultLimitMb = 500;

  // The folder of `document`'s backups.
  static QString folderOf(const QString& document);
  // Newest first.
  static std::vector<DocumentBackup> list(const QString& document);
  // Keeps the file as it is on disk (nothing when there is none), then
  // prunes. DataFileError (naming the file) when it cannot be copied.
  static void keep(const QString& document);
  // Puts `backup` back as the document's file, the file as it was kept as a
  // backup first; the document's file is replaced safely (all or nothing).
  static void restore(const QString& document, const QString& backup);
  // Deletes what the rules above do not keep.
  static void prune(const QString& document);

  // The room the backups of one document may take, in bytes.
  static std::int64_t sizeLimit();
  // The time of saves; tests set a fake clock (null: the system's).
  static std::function<QDateTime()>& clock();
  static QDateTime now();
  // "12/05/2024 14:03:22": how backups are named for people.
  static QString dateText(const QDateTime& when);
  // "812 octets", "1,2 Ko", "34,5 Mo".
  static QString sizeText(std::int64_t bytes);
};

} // namespace tessel
