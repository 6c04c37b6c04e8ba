#include "foundation/FileAccess.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Crypt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessel {

// ---------------------------------------------------------------- the real calls

namespace {

int result(int value) { return value < 0 ? -errno : value; }

} // namespace

int FileSystem::openForReading(const std::string& path) {
  return result(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

int FileSystem::status(int descriptor, struct stat& out) { return result(::fstat(descriptor, &out)); }

long FileSystem::read(int descriptor, void* buffer, std::size_t size) {
  const ssize_t n = ::read(descriptor, buffer, size);
  return n < 0 ? -errno : static_cast<long>(n);
}

int FileSystem::createNew(const std::string& path, unsigned mode) {
  return result(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode)));
}

int FileSystem::setMode(int descriptor, unsigned mode) {
  return result(::fchmod(descriptor, static_cast<mode_t>(mode)));
}

long FileSystem::write(int descriptor, const void* data, std::size_t size) {
  const ssize_t n = ::write(descriptor, data, size);
  return n < 0 ? -errno : static_cast<long>(n);
}

int FileSystem::sync(int descriptor) { return result(::fsync(descriptor)); }

int FileSystem::close(int descriptor) { return result(::close(descriptor)); }

int FileSystem::rename(const std::string& from, const std::string& to) {
  return result(::rename(from.c_str(), to.c_str()));
}

int FileSystem::syncFolder(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return -errno;
  const int synced = result(::fsync(descriptor));
  const int closed = result(::close(descriptor));
  return synced < 0 ? synced : closed;
}

int FileSystem::remove(const std::string& path) { return result(::unlink(path.c_str())); }

namespace {

FileSystem realCalls;
FileSystem* installed = nullptr;

} // namespace

FileSystem& fileSystem() { return installed ? *installed : realCalls; }

FileSystem* installFileSystem(FileSystem* calls) {
  FileSystem* previous = installed;
  installed = calls;
  return previous;
}

// ---------------------------------------------------------------- messages

std::string QuotedFileName(const QString& path) {
  return std::string("« "_w) + toCp1252(QDir::toNativeSeparators(path)) + std::string(" »"_w);
}

std::string SystemErrorText(int error) {
  switch (error) {
  case ENOSPC: return std::string("plus de place sur le disque"_w);
  case EDQUOT: return std::string("quota d'espace disque dépassé"_w);
  case EACCES:
  case EPERM: return std::string("accès refusé"_w);
  case EROFS: return std::string("le support est en lecture seule"_w);
  case ENOENT: return std::string("le fichier ou son dossier n'existe pas");
  case ENOTDIR: return std::string("un élément du chemin n'est pas un dossier"_w);
  case EISDIR: return std::string("c'est un dossier");
  case EIO: return std::string("erreur d'entrée-sortie du disque"_w);
  case ENAMETOOLONG: return std::string("nom de fichier trop long");
  case ELOOP: return std::string("trop de liens symboliques");
  case EMFILE:
  case ENFILE: return std::string("trop de fichiers ouverts");
  case ENOMEM: return std::string("mémoire insuffisante"_w);
  case EFBIG: return std::string("fichier trop grand");
  case EBUSY:
  case ETXTBSY: return std::string("le fichier est occupé"_w);
  case EXDEV: return std::string("déplacement impossible d'un support à un autre"_w);
  case EAGAIN: return std::string("ressource momentanément indisponible"_w);
  case EEXIST: return std::string("le fichier existe déjà"_w);
  case EINTR: return std::string("opération interrompue"_w);
  default: return std::string("erreur système n° "_w) + std::to_string(error);
  }
}

namespace {

std::string localName(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::int64_t modifiedTime(const struct stat& s) {
  return std::int64_t(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
}

QByteArray digestOf(std::string_view bytes) { return Sha256Digest(bytes); }

// Closes a descriptor that is given up because something else failed: that
// failure is the one reported.
void abandon(int descriptor) {
  if (descriptor >= 0) (void)fileSystem().close(descriptor);
}

[[noreturn]] void readError(MessageLiteral what, const QString& path, int error) {
  throw DataFileError(Message(what) + QuotedFileName(path) + " : " + SystemErrorText(error) + ".");
}

} // namespace

// ---------------------------------------------------------------- reading

FileContent ReadFile(const QString& path) {
  FileSystem& calls = fileSystem();
  const int descriptor = calls.openForReading(localName(path));
  if (descriptor < 0) readError("Impossible d'ouvrir le fichier ", path, -descriptor);
  struct Closer {
    int descriptor;
    // Nothing was written through it: closing cannot lose anything.
    ~Closer() { abandon(descriptor); }
  } closer{descriptor};
  struct stat info {};
  if (const int status = calls.status(descriptor, info); status < 0)
    readError("Impossible de lire le fichier ", path, -status);
  if (S_ISDIR(info.st_mode))
    throw DataFileError(Message() + QuotedFileName(path) +
                        " est un dossier, pas un fichier : il ne peut pas être ouvert."_w);
  if (!S_ISREG(info.st_mode))
    throw DataFileError(Message() + QuotedFileName(path) +
                        " n'est pas un fichier ordinaire (tube, périphérique…) : il ne peut pas être ouvert."_w);
  FileContent content;
  content.bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const long n = calls.read(descriptor, buffer, sizeof buffer);
    if (n == -EINTR) continue;
    if (n < 0) readError("Impossible de lire le fichier ", path, static_cast<int>(-n));
    if (n == 0) break;
    content.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  content.fingerprint = {true, static_cast<std::int64_t>(content.bytes.size()), modifiedTime(info),
                         digestOf(content.bytes)};
  return content;
}

// ---------------------------------------------------------------- saving

QString ResolvedTarget(const QString& path) {
  QFileInfo info(QFileInfo(path).absoluteFilePath());
  for (int depth = 0; info.isSymLink(); ++depth) {
    if (depth == 40) break; // a loop of links: the last one is answered
    info.setFile(info.symLinkTarget());
  }
  return info.filePath();
}

namespace {

class Save {
public:
  Save(const QString& path, std::string_view bytes) : path_(path), bytes_(bytes), calls_(fileSystem()) {}

  FileFingerprint run() {
    const QString target = ResolvedTarget(path_);
    const QFileInfo targetInfo(target);
    // Links that lead back to themselves: the link must not be replaced by a file.
    if (targetInfo.isSymLink())
      throw DataFileError(Message("Impossible d'enregistrer le fichier ") + QuotedFileName(path_) + " : " +
                          SystemErrorText(ELOOP) + ".");
    const std::string targetName = localName(target);
    const std::string folder = localName(targetInfo.absolutePath());
    struct stat existing {};
    const bool exists = ::stat(targetName.c_str(), &existing) == 0;
    existed_ = exists;
    if (exists && S_ISDIR(existing.st_mode))
      throw DataFileError(Message("Impossible d'enregistrer ") + QuotedFileName(path_) + " : c'est un dossier.");
    if (exists && !S_ISREG(existing.st_mode))
      throw DataFileError(Message("Impossible d'enregistrer ") + QuotedFileName(path_) +
                          " : ce n'est pas un fichier ordinaire (tube, périphérique…)."_w);

    createTemporary(folder, localName(targetInfo.fileName()));
    if (exists) check(calls_.setMode(descriptor_, existing.st_mode & 07777));
    for (std::size_t done = 0; done < bytes_.size();) {
      const long n = calls_.write(descriptor_, bytes_.data() + done, bytes_.size() - done);
      if (n == -EINTR) continue;
      check(n);
      // Nothing written and no error: the disk takes no more.
      if (n == 0) fail(ENOSPC);
      done += static_cast<std::size_t>(n);
    }
    check(calls_.sync(descriptor_));
    const int closed = calls_.close(std::exchange(descriptor_, -1));
    check(closed);
    check(calls_.rename(temporary_, targetName));
    temporary_.clear();
    // The new file is in place; only its name's durability is left to confirm.
    const int synced = calls_.syncFolder(folder);
    if (synced < 0 && synced != -EINVAL && synced != -ENOTSUP)
      throw DataFileError(Message("Le fichier ") + QuotedFileName(path_) +
                          " a été écrit, mais le système n'a pas confirmé son enregistrement sur le disque : "_w +
                          SystemErrorText(-synced) + ". Enregistrez-le de nouveau."_w);

    FileFingerprint written{true, static_cast<std::int64_t>(bytes_.size()), 0, digestOf(bytes_)};
    struct stat now {};
    if (::stat(targetName.c_str(), &now) == 0) written.modified = modifiedTime(now);
    return written;
  }

  ~Save() {
    abandon(descriptor_);
    if (!temporary_.empty()) (void)calls_.remove(temporary_);
  }

private:
  void createTemporary(const std::string& folder, const std::string& name) {
    for (int attempt = 0;; ++attempt) {
      char suffix[16];
      std::snprintf(suffix, sizeof suffix, "%08x", QRandomGenerator::global()->generate());
      const std::string candidate = folder + "/." + name + ".tmp-" + suffix;
      const int descriptor = calls_.createNew(candidate, 0666);
      if (descriptor >= 0) {
        descriptor_ = descriptor;
        temporary_ = candidate;
        return;
      }
      if (descriptor != -EEXIST || attempt == 100) fail(-descriptor);
    }
  }

  void check(long outcome) {
    if (outcome < 0) fail(static_cast<int>(-outcome));
  }

  [[noreturn]] void fail(int error) {
    // The temporary file goes first, so that the message can say what is left.
    abandon(std::exchange(descriptor_, -1));
    Message message = Message("Impossible d'enregistrer le fichier ") + QuotedFileName(path_) + " : " +
                      SystemErrorText(error) + ".";
    if (!temporary_.empty()) {
      const int removed = calls_.remove(temporary_);
      if (removed < 0 && removed != -ENOENT)
        message = message + " Le fichier temporaire " + QuotedFileName(QFile::decodeName(temporary_.c_str())) +
                  " n'a pas pu être effacé."_w;
      temporary_.clear();
    }
    if (existed_) message += " Le fichier précédent est intact."_w;
    throw DataFileError(message);
  }

  const QString& path_;
  std::string_view bytes_;
  FileSystem& calls_;
  int descriptor_ = -1;
  std::string temporary_;
  bool existed_ = false;
};

} // namespace

FileFingerprint ReplaceFile(const QString& path, std::string_view bytes) { return Save(path, bytes).run(); }

FileState CompareWithDisk(const QString& path, const FileFingerprint& known) {
  struct stat now {};
  if (::stat(localName(path).c_str(), &now) != 0) return FileState::Missing;
  if (!known.exists || now.st_size != known.size || modifiedTime(now) != known.modified) return FileState::Changed;
  // Same size and time: only the content can tell a rewrite within the clock's grain.
  try {
    return ReadFile(path).fingerprint.digest == known.digest ? FileState::Unchanged : FileState::Changed;
  } catch (const DataFileError&) {
    return FileState::Changed;
  }
}

} // namespace tessel
