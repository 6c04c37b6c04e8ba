#include "model/DocumentBackups.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"
#include "foundation/ZEP_Version.h"
#include "model/DocumentManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <set>

namespace tessel {

namespace {

const QString NameFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

} // namespace

QString DocumentBackups::folderOf(const QString& document) {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
      .filePath(QStringLiteral("backups/") + QFileInfo(document).fileName());
}

std::function<QDateTime()>& DocumentBackups::clock() {
  static std::function<QDateTime()> fake;
  return fake;
}

QDateTime DocumentBackups::now() { return clock() ? clock()() : QDateTime::currentDateTime(); }

QString DocumentBackups::dateText(const QDateTime& when) {
  return when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString DocumentBackups::sizeText(std::int64_t bytes) {
  if (bytes < 1024) return QStringLiteral("%1 octets").arg(bytes);
  const bool mega = bytes >= 1024 * 1024;
  const double amount = double(bytes) / (mega ? 1024.0 * 1024.0 : 1024.0);
  return QString::number(amount, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')) +
         (mega ? QStringLiteral(" Mo") : QStringLiteral(" Ko"));
}

std::int64_t DocumentBackups::sizeLimit() {
  bool ok = false;
  const qint64 megabytes = DocumentManager::ReadSetting(QStringLiteral("sauvegardes/taille_max_Mo")).toLongLong(&ok);
  return (ok && megabytes >= 0 ? megabytes : DefaultLimitMb) * 1024 * 1024;
}

std::vector<DocumentBackup> DocumentBackups::list(const QString& document) {
  std::vector<DocumentBackup> backups;
  const QDir folder(folderOf(document));
  const QString extension = FileExtension(document);
  for (const QFileInfo& file : folder.entryInfoList(QDir::Files)) {
    if (file.fileName().startsWith(QLatin1Char('.')) || !file.fileName().endsWith(extension, Qt::CaseInsensitive))
      continue;
    QDateTime saved = QDateTime::fromString(file.fileName().left(NameFormat.size()), NameFormat);
    if (!saved.isValid()) saved = file.lastModified();
    backups.push_back({file.absoluteFilePath(), saved, file.size()});
  }
  std::sort(backups.begin(), backups.end(), [](const DocumentBackup& a, const DocumentBackup& b) {
    return a.saved != b.saved ? a.saved > b.saved : a.path > b.path;
  });
  return backups;
}

void DocumentBackups::keep(const QString& document) {
  if (!QFileInfo::exists(document)) return;
  const FileContent content = ReadFile(document);
  const QString folder = folderOf(document);
  if (!QDir().mkpath(folder))
    throw DataFileError(Message("Impossible de créer le dossier des sauvegardes "_w) + QuotedFileName(folder) + ".");
  const QString stem = now().toString(NameFormat);
  const QString extension = FileExtension(document);
  QString target = QDir(folder).filePath(stem + extension);
  for (int n = 2; QFileInfo::exists(target); ++n)
    target = QDir(folder).filePath(stem + "-" + QString::number(n) + extension);
  ReplaceFile(target, content.bytes);
  prune(document);
}

void DocumentBackups::restore(const QString& document, const QString& backup) {
  // Read first: keeping the current file may prune the very backup asked for.
  const FileContent content = ReadFile(backup);
  keep(document);
  ReplaceFile(document, content.bytes);
}

void DocumentBackups::prune(const QString& document) {
  const std::vector<DocumentBackup> backups = list(document);
  const QDateTime present = now();
  const QDate firstDay = present.date().addDays(-(KeptDays - 1));
  std::vector<bool> kept(backups.size(), false);
  std::set<QDate> daysSeen;
  for (std::size_t i = 0; i < backups.size(); ++i) {
    const QDate day = backups[i].saved.date();
    const bool newestOfItsDay = day >= firstDay && daysSeen.insert(day).second;
    kept[i] = i < std::size_t(KeptLast) || newestOfItsDay;
  }
  // The oldest go first when all of them take too much room.
  std::int64_t room = sizeLimit();
  for (std::size_t i = 0; i < backups.size(); ++i) {
    if (!kept[i]) continue;
    if (backups[i].size > room) {
      for (std::size_t j = i; j < backups.size(); ++j) kept[j] = false;
      break;
    }
    room -= backups[i].size;
  }
  for (std::size_t i = 0; i < backups.size(); ++i)
    if (!kept[i]) QFile::remove(backups[i].path);
}

} // namespace tessel
