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

void WriteHeader(MemoryStream& stream) {
  const TVersionFichier version;
  MemoryStream result;
  result.bytes().reserve(stream.size() + 12 + versionBlockLength);
  result.write(magic, sizeof magic);
  result.writeInt32(versionBlockLength);
  result.writeInt32(version.major());
  result.writeInt32(version.minor());
  result.writeInt32(version.release());
  result.writeInt32(version.build());
  result.write(stream.bytes());
  stream.bytes().swap(result.bytes());
  stream.seek(0);
}

std::string DataFileInfo::versionText() const {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release) + "." +
         std::to_string(build);
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

} // namespace

void StripHeader(MemoryStream& stream, DataFileInfo* info, bool warnNewer) {
  stream.seek(0);
  char head[8];
  stream.read(head, sizeof head);
  if (!SameText(std::string_view(head, 7), std::string_view(magic, 7))) {
    stream.seek(0);
    return;
  }
  const std::int32_t length = stream.readInt32();
  if (length < 0 || static_cast<std::size_t>(length) > stream.remaining())
    throw StreamReadError(Message("Erreur de lecture du flux : en-tête de longueur "_w) + std::to_string(length) +
                          " au-delà de la fin des données"_w);
  MemoryStream versionBlock(stream.bytes().substr(stream.position(), static_cast<std::size_t>(length)));
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
  stream.bytes().erase(0, 12 + static_cast<std::size_t>(length));
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
  FileContent content = ReadFile(path);
  if (info) *info = DataFileInfo{.fingerprint = content.fingerprint};
  MemoryStream file(std::move(content.bytes));
  try {
    StripHeader(file, info, warnNewer);
  } catch (const StreamReadError&) {
    throw DataFileError(Message("Le fichier ") + QuotedFileName(path) +
                        " est incomplet ou endommagé : son en-tête est tronqué."_w);
  }
  if (IsPlainExtension(path)) {
    stream.bytes().swap(file.bytes());
    stream.seek(0);
  } else {
    DecryptStream(file, KeyTextFor(path), stream);
    stream.seek(0);
  }
}

FileFingerprint WriteDataFile(const MemoryStream& stream, const QString& path) {
  MemoryStream out;
  if (IsPlainExtension(path)) {
    out.bytes() = stream.bytes();
  } else {
    MemoryStream plain(stream.bytes());
    EncryptStream(plain, KeyTextFor(path), out);
  }
  WriteHeader(out);
  return ReplaceFile(path, out.bytes());
}

} // namespace tessel
