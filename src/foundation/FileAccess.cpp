#include "foundation/FileAccess.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Crypt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
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

namespace {

// An open regular file being read whole, its digest taken on the way.
class Reading {
public:
  explicit Reading(const QString& path) : path_(path), calls_(fileSystem()) {
    descriptor_ = calls_.openForReading(localName(path));
    if (descriptor_ < 0) readError("Impossible d'ouvrir le fichier ", path, -descriptor_);
    if (const int status = calls_.status(descriptor_, info_); status < 0)
      readError("Impossible de lire le fichier ", path, -status);
    if (S_ISDIR(info_.st_mode))
      throw DataFileError(Message() + QuotedFileName(path) +
                          " est un dossier, pas un fichier : il ne peut pas être ouvert."_w);
    if (!S_ISREG(info_.st_mode))
      throw DataFileError(Message() + QuotedFileName(path) +
                          " n'est pas un fichier ordinaire (tube, périphérique…) : il ne peut pas être ouvert."_w);
  }
  // Nothing was written through it: closing cannot lose anything.
  ~Reading() { abandon(descriptor_); }
  Reading(const Reading&) = delete;
  Reading& operator=(const Reading&) = delete;

  // The size the file had when opened.
  std::size_t expectedSize() const { return static_cast<std::size_t>(info_.st_size); }

  // Appends up to `n` bytes to `out`, read straight into it; fewer at the end of the file.
  void append(std::string& out, std::size_t n) {
    const std::size_t start = out.size();
    out.resize(start + n);
    out.resize(start + readInto(out.data() + start, n));
  }

  // Appends the rest of the file, however much it grew since it was opened.
  void appendRest(std::string& out) {
    const std::size_t expected = expectedSize();
    if (expected > size_) append(out, expected - size_);
    // The end is confirmed apart, so that a file read whole needs no room beyond its size.
    char more[65536];
    while (const std::size_t n = readInto(more, sizeof more)) out.append(more, n);
  }

  // Reads up to `n` bytes into `buffer`; fewer at the end of the file.
  std::size_t readInto(char* buffer, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
      const long got = calls_.read(descriptor_, buffer + done, n - done);
      if (got == -EINTR) continue;
      if (got < 0) readError("Impossible de lire le fichier ", path_, static_cast<int>(-got));
      if (got == 0) break;
      done += static_cast<std::size_t>(got);
    }
    sha_.add(std::string_view(buffer, done));
    size_ += done;
    return done;
  }

  FileFingerprint fingerprint() {
    return {true, static_cast<std::int64_t>(size_), modifiedTime(info_), sha_.digest()};
  }

private:
  const QString& path_;
  FileSystem& calls_;
  int descriptor_ = -1;
  struct stat info_ {};
  Sha256 sha_;
  std::size_t size_ = 0;
};

// A big buffer about to be filled is offered huge pages: one page fault per
// 2 MiB rather than per 4 KiB (faults are dear, above all in virtual machines).
void adviseHugePages(char* data, std::size_t bytes) {
  constexpr std::size_t worthIt = 4 << 20, page = 4096;
  if (bytes < worthIt) return;
  const auto first = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
  const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) / page * page;
  madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace

FileContent ReadFile(const QString& path) {
  Reading reading(path);
  FileContent content;
  reading.appendRest(content.bytes);
  content.fingerprint = reading.fingerprint();
  return content;
}

SplitFileContent ReadFileSplit(const QString& path, std::size_t peek,
                               const std::function<std::size_t(std::string_view)>& headLength) {
  Reading reading(path);
  SplitFileContent content;
  // The first bytes go to the body's buffer, sized for the whole file, and
  // move to the head when they are one.
  content.body.reserve(reading.expectedSize());
  adviseHugePages(content.body.data(), content.body.capacity());
  reading.append(content.body, peek);
  const std::size_t head = headLength(content.body);
  const std::size_t kept = head < content.body.size() ? head : content.body.size();
  content.head.assign(content.body, 0, kept);
  content.body.erase(0, kept);
  // A head said to be longer than the file is read as far as the file goes.
  const std::size_t left = reading.expectedSize() > kept ? reading.expectedSize() - kept : 0;
  if (head > kept) reading.append(content.head, std::min(head - kept, left));
  reading.appendRest(content.body);
  content.fingerprint = reading.fingerprint();
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
  Save(const QString& path, std::initializer_list<std::string_view> pieces)
      : path_(path), pieces_(pieces), calls_(fileSystem()) {}

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
    Sha256 digest;
    std::size_t size = 0;
    for (std::string_view piece : pieces_) {
      for (std::size_t done = 0; done < piece.size();) {
        const long n = calls_.write(descriptor_, piece.data() + done, piece.size() - done);
        if (n == -EINTR) continue;
        check(n);
        // Nothing written and no error: the disk takes no more.
        if (n == 0) fail(ENOSPC);
        done += static_cast<std::size_t>(n);
      }
      digest.add(piece);
      size += piece.size();
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

    FileFingerprint written{true, static_cast<std::int64_t>(size), 0, digest.digest()};
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
  std::initializer_list<std::string_view> pieces_;
  FileSystem& calls_;
  int descriptor_ = -1;
  std::string temporary_;
  bool existed_ = false;
};

} // namespace

FileFingerprint ReplaceFile(const QString& path, std::string_view bytes) { return Save(path, {bytes}).run(); }

FileFingerprint ReplaceFile(const QString& path, std::initializer_list<std::string_view> pieces) {
  return Save(path, pieces).run();
}

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
