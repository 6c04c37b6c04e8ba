#pragma once
// The data-file container: an 8-byte magic, a version block and the payload
// (the knowledge-base stream), encrypted unless the extension is ".OCS".

#include "foundation/FileAccess.h"
#include "foundation/MemoryStream.h"

#include <QString>

#include <string_view>

namespace tessel {

// Version numbers of the running program (a file name is accepted for the
// original interface; the numbers come from the build).
class TVersionFichier {
public:
  explicit TVersionFichier(const QString& fileName = {});
  int major() const { return major_; }
  int minor() const { return minor_; }
  int release() const { return release_; }
  int build() const { return build_; }

private:
  int major_, minor_, release_, build_;
};

// True unless version b is older than version a (build numbers decide last).
bool IsNewerVersion(int a1, int a2, int a3, int a4, int b1, int b2, int b3, int b4);

// What reading a data file learnt about it.
struct DataFileInfo {
  bool hasHeader = false;
  // Of the program that wrote the file (from the header; zeros without one).
  int major = 0, minor = 0, release = 0, build = 0;
  // Written by a program newer than this one.
  bool newer = false;
  FileFingerprint fingerprint;
  // "1.1.0.0"
  std::string versionText() const;
};

// Header + former content.
void WriteHeader(MemoryStream& stream);
// Drops the header when the stream starts with the magic; position 0 afterwards.
// A stream too short for its header raises StreamReadError. `info`, when
// given, receives the header's version. `warnNewer`: the user is told of a
// file from a newer program (never from a worker thread).
void StripHeader(MemoryStream& stream, DataFileInfo* info = nullptr, bool warnNewer = true);
// Warns when the file comes from a newer program; answers whether it did.
bool CheckVersion(MemoryStream& versionBlock);

// The extension from the file name's last dot (inclusive), and the key text
// it selects (empty for the plain ".OCS").
QString FileExtension(const QString& path);
bool IsPlainExtension(const QString& path);
std::string_view KeyTextFor(const QString& path);

// Plain payload of a data file. Failures raise DataFileError naming the file.
void ReadDataFile(const QString& path, MemoryStream& stream, DataFileInfo* info = nullptr, bool warnNewer = true);
// How many of a data file's first bytes (12 shown, fewer in a shorter file)
// form its header: none without the magic.
std::size_t DataFileHeaderLength(std::string_view first);
// The second half of ReadDataFile, once the file is read as its header and
// the rest (ReadFileSplit with DataFileHeaderLength): the header is checked
// and the rest, decrypted where it lies, becomes the content of `stream`.
void TakePayload(const QString& path, std::string_view head, std::string& body, MemoryStream& stream,
                 DataFileInfo* info = nullptr, bool warnNewer = true);
// Writes a plain payload; the previous file is replaced only once the new one
// is complete on disk, and stays as it was when anything fails. The caller's
// stream keeps the plain payload. Answers what is now on disk.
FileFingerprint WriteDataFile(const MemoryStream& stream, const QString& path);
// The same for a payload the caller gives up: it is encrypted where it lies.
FileFingerprint WriteDataFile(MemoryStream&& stream, const QString& path);

} // namespace tessel
