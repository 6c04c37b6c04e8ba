#include "foundation/DocumentLock.h"

#include "foundation/Cp1252.h"
#include "foundation/FileAccess.h"

#include <QFileInfo>
#include <QLockFile>

namespace tessel {

DocumentLock::DocumentLock() = default;
DocumentLock::~DocumentLock() = default;
DocumentLock::DocumentLock(DocumentLock&&) noexcept = default;
DocumentLock& DocumentLock::operator=(DocumentLock&&) noexcept = default;

QString DocumentLock::lockFileOf(const QString& path) {
  const QFileInfo target(ResolvedTarget(path));
  return target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".lock");
}

DocumentLock::Outcome DocumentLock::lock(const QString& path, std::chrono::milliseconds wait) {
  const QString lockFile = lockFileOf(path);
  if (file_ && lockFile == lockFile_) {
    path_ = path;
    return Outcome::Taken;
  }
  unlock();
  auto file = std::make_unique<QLockFile>(lockFile);
  // Only a dead holder makes a lock stale: a window may keep a document open for days.
  file->setStaleLockTime(0);
  if (file->tryLock(static_cast<int>(wait.count()))) {
    file_ = std::move(file);
    path_ = path;
    lockFile_ = lockFile;
    detail_.clear();
    return Outcome::Taken;
  }
  if (file->error() == QLockFile::LockFailedError) {
    qint64 pid = 0;
    QString host, application;
    if (file->getLockInfo(&pid, &host, &application))
      detail_ = "le processus " + std::to_string(pid) +
                (application.isEmpty() ? "" : " (" + toCp1252(application) + ")") +
                " sur la machine « "_w.data() + toCp1252(host) + " »"_w.data();
    else
      detail_ = "un autre programme";
    return Outcome::Held;
  }
  detail_ = std::string("le fichier de verrou ") + QuotedFileName(lockFile) + " ne peut pas être créé"_w.data();
  return Outcome::Impossible;
}

void DocumentLock::unlock() {
  file_.reset(); // unlocks
  path_.clear();
  lockFile_.clear();
}

bool DocumentLock::locked() const { return file_ != nullptr; }

} // namespace tessel
