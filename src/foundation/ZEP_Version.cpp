#include "foundation/ZEP_Version.h"

#include "foundation/Cp1252.h"
#include "foundation/DataFileKeys.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "foundation/UserPrompts.h"
#include "foundation/ZEP_Crypt.h"
#include "TesselVersion.h"

#include <QFileInfo>

namespace tessel {

namespace {

constexpr char magic[8] = {'Z', 'E', 'P', '2', '0', '0', '2', '\0'};
constexpr std::int32_t versionBlockLength = 16;

} // namespace

TVersionFichier::TVersionFichier(const QString&)
    : major_(build::versionMajor), minor_(build::versionMinor), release_(build::versionRelease),
      build_(build::versionBuild) {}

bool IsNewerVersion(int a1, int a2, int a3, int a4, int b1, int b2, int b3, int b4) {
  if (b1 < a1) return false;
  if (b1 == a1 && b2 < a2) return false;
  if (b1 == a1 && b2 == a2 && b3 < a3) return false;
  if (b1 == a1 && b2 == a2 && b3 == a3 && a4 >= b4) return false;
  return true;
}

namespace {

std::string headerBytes() {
  const TVersionFichier version;
  MemoryStream header;
  header.write(magic, sizeof magic);
  header.writeInt32(versionBlockLength);
  header.writeInt32(version.major());
  header.writeInt32(version.minor());
  header.writeInt32(version.release());
  header.writeInt32(version.build());
  return std::move(header.bytes());
}

} // namespace

std::size_t DataFileHeaderLength(std::string_view first) {
  if (first.size() < sizeof magic || !SameText(first.substr(0, 7), std::string_view(magic, 7))) return 0;
  if (first.size() < 12) return first.size();
  MemoryStream length(std::string(first.substr(8, 4)));
  const std::int32_t l = length.readInt32();
  return 12 + static_cast<std::size_t>(l < 0 ? 0 : l);
}

namespace {

bool newerThanProgram(MemoryStream& versionBlock) {
  // A block shorter than four numbers never comes from a writer: nothing to compare.
  if (versionBlock.size() < versionBlockLength) return false;
  versionBlock.seek(0);
  const int major = versionBlock.readInt32();
  const int minor = versionBlock.readInt32();
  const int release = versionBlock.readInt32();
  const TVersionFichier program;
  return major > program.major() || (major == program.major() && minor > program.minor()) ||
         (major == program.major() && minor == program.minor() && release > program.release());
}

// Checks a whole header (magic, length, version block); StreamReadError when
// it is cut short.
void readHeader(std::string_view head, DataFileInfo* info, bool warnNewer) {
  MemoryStream stream{std::string(head)};
  char start[8];
  stream.read(start, sizeof start);
  const std::int32_t length = stream.readInt32();
  if (length < 0 || static_cast<std::size_t>(length) > stream.remaining())
    throw StreamReadError(Message("Erreur de lecture du flux : en-tête de longueur "_w) + std::to_string(length) +
                          " au-delà de la fin des données"_w);
  MemoryStream versionBlock(std::string(head.substr(12, static_cast<std::size_t>(length))));
  const bool newer = warnNewer ? CheckVersion(versionBlock) : newerThanProgram(versionBlock);
  if (info) {
    info->hasHeader = true;
    info->newer = newer;
    if (versionBlock.size() >= versionBlockLength) {
      versionBlock.seek(0);
      info->major = versionBlock.readInt32();
      info->minor = versionBlock.readInt32();
      info->release = versionBlock.readInt32();
      info->build = versionBlock.readInt32();
    }
  }
}

} // namespace

void WriteHeader(MemoryStream& stream) {
  std::string result = headerBytes();
  result.reserve(result.size() + stream.size());
  result += stream.bytes();
  stream.bytes().swap(result);
  stream.seek(0);
}

std::string DataFileInfo::versionText() const {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release) + "." +
         std::to_string(build);
}

void StripHeader(MemoryStream& stream, DataFileInfo* info, bool warnNewer) {
  stream.seek(0);
  char start[sizeof magic];
  stream.read(start, sizeof start); // a stream shorter than the magic is cut short
  stream.seek(0);
  const std::string_view bytes = stream.bytes();
  const std::size_t length = DataFileHeaderLength(bytes.substr(0, 12));
  if (length == 0) return;
  readHeader(bytes.substr(0, length), info, warnNewer);
  stream.bytes().erase(0, length);
  stream.seek(0);
}

bool CheckVersion(MemoryStream& versionBlock) {
  const bool newer = newerThanProgram(versionBlock);
  if (newer)
    prompts().message(MessageKind::Plain,
                      std::string("Ce fichier n'est pas lisible avec la version actuelle de votre logiciel\r\n"
                                  "veuillez mettre à jour votre logiciel"_w));
  return newer;
}

QString FileExtension(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot);
}

bool IsPlainExtension(const QString& path) {
  return FileExtension(path).compare(QLatin1String(".OCS"), Qt::CaseInsensitive) == 0;
}

std::string_view KeyTextFor(const QString& path) {
  if (IsPlainExtension(path)) return {};
  if (FileExtension(path).compare(QLatin1String(".OPF"), Qt::CaseInsensitive) == 0) return firstKeyText;
  return secondKeyText;
}

void ReadDataFile(const QString& path, MemoryStream& stream, DataFileInfo* info, bool warnNewer) {
  // The payload is read straight into its own buffer and decrypted there.
  SplitFileContent content = ReadFileSplit(path, 12, DataFileHeaderLength);
  if (info) *info = DataFileInfo{.fingerprint = content.fingerprint};
  TakePayload(path, content.head, content.body, stream, info, warnNewer);
}

void TakePayload(const QString& path, std::string_view head, std::string& body, MemoryStream& stream,
                 DataFileInfo* info, bool warnNewer) {
  // A file shorter than the magic is no stream either.
  bool whole = head.size() + body.size() >= sizeof magic;
  if (whole && !head.empty()) {
    try {
      readHeader(head, info, warnNewer);
    } catch (const StreamReadError&) {
      whole = false;
    }
  }
  if (!whole)
    throw DataFileError(Message("Le fichier ") + QuotedFileName(path) +
                        " est incomplet ou endommagé : son en-tête est tronqué."_w);
  if (!IsPlainExtension(path)) DecryptInPlace(KeyTextFor(path), body);
  stream.bytes().swap(body);
  stream.seek(0);
}

FileFingerprint WriteDataFile(const MemoryStream& stream, const QString& path) {
  if (IsPlainExtension(path)) return ReplaceFile(path, {headerBytes(), stream.bytes()});
  // The caller keeps its plain payload: one copy, encrypted where it lies.
  MemoryStream copy(stream.bytes());
  return WriteDataFile(std::move(copy), path);
}

FileFingerprint WriteDataFile(MemoryStream&& stream, const QString& path) {
  if (!IsPlainExtension(path)) EncryptInPlace(KeyTextFor(path), stream.data(), stream.size());
  return ReplaceFile(path, {headerBytes(), stream.bytes()});
}

} // namespace tessel
