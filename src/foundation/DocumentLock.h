#pragma once
// The lock a program window or a command holds on a data file while it reads,
// changes and saves it: a lock file beside the file (QLockFile), so that two
// of them never save over each other's work. A lock left by a process that is
// gone is taken over.

#include <QString>

#include <chrono>
#include <memory>
#include <string>

class QLockFile;

namespace tessel {

class DocumentLock {
public:
  enum class Outcome {
    Taken,      // held by us now
    Held,       // another live process holds it
    Impossible, // no lock file can be made there (folder not writable, ...)
  };

  DocumentLock();
  ~DocumentLock();
  DocumentLock(DocumentLock&&) noexcept;
  DocumentLock& operator=(DocumentLock&&) noexcept;

  // Locks the data file at `path` (a symbolic link is followed: two names of
  // one file share its lock). Waits up to `wait` while another holds it. A
  // lock already held on another file is released first; one held on this
  // file is kept.
  Outcome lock(const QString& path, std::chrono::milliseconds wait = {});
  void unlock();
  bool locked() const;
  // The file locked, as given to lock().
  const QString& path() const { return path_; }
  // After Held: who holds it ("le processus 123 (tessel) sur la machine « poste »").
  // After Impossible: why. Windows-1252.
  const std::string& detail() const { return detail_; }

  // "/dossier/.nom.TSF.lock" for "/dossier/nom.TSF".
  static QString lockFileOf(const QString& path);

private:
  std::unique_ptr<QLockFile> file_;
  QString path_;
  QString lockFile_;
  std::string detail_;
};

} // namespace tessel
