#pragma once
// Whole-file reading and safe replacing of data files. Every system call's
// result is checked: a save either puts the complete new content in place,
// synced to disk, or raises DataFileError and leaves the previous file as it
// was, with no temporary file left behind. Messages are French and name the
// file. The calls go through FileSystem, which tests replace to make any step
// fail.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

struct stat;

namespace tessel {

// The system calls reading and saving make. Each answers 0 (or a count, or a
// descriptor) on success and minus the error number on failure. The default
// makes the real calls; a test derives from it to fail one of them.
class FileSystem {
public:
  virtual ~FileSystem() = default;
  // Never blocks, also on a pipe.
  virtual int openForReading(const std::string& path);
  virtual int status(int descriptor, struct stat& out);
  virtual long read(int descriptor, void* buffer, std::size_t size);
  // A new file that did not exist, with the permissions `mode` less the umask.
  virtual int createNew(const std::string& path, unsigned mode);
  virtual int setMode(int descriptor, unsigned mode);
  virtual long write(int descriptor, const void* data, std::size_t size);
  virtual int sync(int descriptor);
  virtual int close(int descriptor);
  virtual int rename(const std::string& from, const std::string& to);
  virtual int syncFolder(const std::string& folder);
  virtual int remove(const std::string& path);
};

// The installed calls (the real ones until something is installed).
FileSystem& fileSystem();
// Installs `calls` (not owned; nullptr restores the real ones) and returns the previous.
FileSystem* installFileSystem(FileSystem* calls);

// What identifies one version of a file: it differs as soon as anything
// rewrote the file.
struct FileFingerprint {
  bool exists = false;
  std::int64_t size = 0;
  std::int64_t modified = 0; // nanoseconds since the epoch
  QByteArray digest;         // SHA-256 of the content

  bool operator==(const FileFingerprint&) const = default;
};

struct FileContent {
  std::string bytes;
  FileFingerprint fingerprint;
};

// The whole content of a regular file. A folder, a pipe or a device is
// refused at once.
FileContent ReadFile(const QString& path);

// A file read in two parts, each straight into a buffer of its own: its
// first bytes (a header) and the rest (a payload, which then needs no copy).
struct SplitFileContent {
  std::string head;
  std::string body;
  FileFingerprint fingerprint; // of the whole file
};
// Reads as ReadFile does. `headLength` is shown the first `peek` bytes (all
// of them in a shorter file) and answers how many bytes form the head; the
// head is shorter when the file ends before.
SplitFileContent ReadFileSplit(const QString& path, std::size_t peek,
                               const std::function<std::size_t(std::string_view)>& headLength);

// Replaces (or creates) the file: a temporary file beside it is written,
// synced and renamed over it, then the folder is synced. A symbolic link is
// followed: its target is replaced and the link stays. The permissions of the
// replaced file are kept. Answers the fingerprint of what is now on disk.
FileFingerprint ReplaceFile(const QString& path, std::string_view bytes);
// The same with the content given in consecutive pieces.
FileFingerprint ReplaceFile(const QString& path, std::initializer_list<std::string_view> pieces);

// Where the file is now against what was read or written earlier.
enum class FileState { Unchanged, Changed, Missing };
FileState CompareWithDisk(const QString& path, const FileFingerprint& known);

// The path a save writes to: symbolic links followed, as far as they lead (a
// loop of links gives a link).
QString ResolvedTarget(const QString& path);
// "« path »", for messages.
std::string QuotedFileName(const QString& path);
// The French text of a system error number.
std::string SystemErrorText(int error);

} // namespace tessel
