#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessel;

namespace {

// The real calls, but one of them fails the chosen way.
class FailingCalls : public FileSystem {
public:
  enum class Step { None, Create, SetMode, Write, ShortWriteThenFull, WriteNothing, Sync, Close, Rename, SyncFolder, Read, Open };
  Step step = Step::None;
  int error = EIO;

  FailingCalls() { previous_ = installFileSystem(this); }
  ~FailingCalls() override { installFileSystem(previous_); }

  int openForReading(const std::string& path) override {
    return step == Step::Open ? -error : FileSystem::openForReading(path);
  }
  long read(int descriptor, void* buffer, std::size_t size) override {
    return step == Step::Read ? -error : FileSystem::read(descriptor, buffer, size);
  }
  int createNew(const std::string& path, unsigned mode) override {
    return step == Step::Create ? -error : FileSystem::createNew(path, mode);
  }
  int setMode(int descriptor, unsigned mode) override {
    return step == Step::SetMode ? -error : FileSystem::setMode(descriptor, mode);
  }
  long write(int descriptor, const void* data, std::size_t size) override {
    if (step == Step::Write) return -error;
    if (step == Step::WriteNothing) return 0;
    if (step == Step::ShortWriteThenFull) {
      if (wrote_) return -error;
      wrote_ = true;
      return FileSystem::write(descriptor, data, size / 2);
    }
    return FileSystem::write(descriptor, data, size);
  }
  int sync(int descriptor) override { return step == Step::Sync ? -error : FileSystem::sync(descriptor); }
  int close(int descriptor) override {
    const int closed = FileSystem::close(descriptor);
    return step == Step::Close ? -error : closed;
  }
  int rename(const std::string& from, const std::string& to) override {
    return step == Step::Rename ? -error : FileSystem::rename(from, to);
  }
  int syncFolder(const std::string& folder) override {
    return step == Step::SyncFolder ? -error : FileSystem::syncFolder(folder);
  }

private:
  FileSystem* previous_ = nullptr;
  bool wrote_ = false;
};

class Files : public testing::Test {
protected:
  QString path(const QString& name) const { return dir.filePath(name); }
  static std::string bytesOf(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return "<absent>";
    return f.readAll().toStdString();
  }
  QStringList entries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
  static std::string messageOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const DataFileError& e) {
      return e.what();
    }
    return "<no error>";
  }

  QTemporaryDir dir;
};

} // namespace

TEST_F(Files, ReplacingWritesTheWholeContentAndKeepsPermissionsAndLinks) {
  ReplaceFile(path("doc.TSF"), "ancien");
  ASSERT_EQ(::chmod(QFile::encodeName(path("doc.TSF")).constData(), 0640), 0);
  const std::string big(300000, 'x');
  const FileFingerprint written = ReplaceFile(path("doc.TSF"), big);
  EXPECT_EQ(bytesOf(path("doc.TSF")), big);
  EXPECT_EQ(QFile::permissions(path("doc.TSF")),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
  EXPECT_EQ(entries(), QStringList{"doc.TSF"});
  // What was written is what a reading finds.
  EXPECT_EQ(ReadFile(path("doc.TSF")).fingerprint, written);
  EXPECT_EQ(CompareWithDisk(path("doc.TSF"), written), FileState::Unchanged);

  // A link is followed: its target changes, the link stays, also when it dangles.
  ASSERT_TRUE(QFile::link(path("doc.TSF"), path("lien.TSF")));
  ReplaceFile(path("lien.TSF"), "par le lien");
  EXPECT_TRUE(QFileInfo(path("lien.TSF")).isSymLink());
  EXPECT_EQ(bytesOf(path("doc.TSF")), "par le lien");
  ASSERT_TRUE(QFile::link(path("cible.TSF"), path("pendant.TSF")));
  ReplaceFile(path("pendant.TSF"), "nouveau");
  EXPECT_TRUE(QFileInfo(path("pendant.TSF")).isSymLink());
  EXPECT_EQ(bytesOf(path("cible.TSF")), "nouveau");
}

TEST_F(Files, AFailingStepLeavesThePreviousFileAndNoTemporaryFile) {
  using Step = FailingCalls::Step;
  struct Case {
    Step step;
    int error;
    const char* reason;
  };
  const Case cases[] = {
      {Step::Create, EACCES, "accès refusé"},
      {Step::SetMode, EPERM, "accès refusé"},
      {Step::Write, ENOSPC, "plus de place sur le disque"},
      {Step::ShortWriteThenFull, ENOSPC, "plus de place sur le disque"},
      {Step::WriteNothing, 0, "plus de place sur le disque"},
      {Step::Write, EDQUOT, "quota d'espace disque dépassé"},
      {Step::Sync, EIO, "erreur d'entrée-sortie du disque"},
      {Step::Close, EIO, "erreur d'entrée-sortie du disque"},
      {Step::Rename, EROFS, "le support est en lecture seule"},
      {Step::Write, 12345, "erreur système n° 12345"},
  };
  const std::string previous = "le fichier d'avant";
  ReplaceFile(path("doc.TSF"), previous);
  for (const Case& c : cases) {
    FailingCalls calls;
    calls.step = c.step;
    calls.error = c.error;
    const std::string message = messageOf([&] { ReplaceFile(path("doc.TSF"), std::string(100000, 'n')); });
    EXPECT_EQ(message, std::string("Impossible d'enregistrer le fichier « "_w) + toCp1252(path("doc.TSF")) + " » : "_w.data() +
                           toCp1252(QString::fromUtf8(c.reason)) + ". Le fichier précédent est intact."_w.data())
        << c.reason;
    EXPECT_EQ(bytesOf(path("doc.TSF")), previous) << c.reason;
    EXPECT_EQ(entries(), QStringList{"doc.TSF"}) << c.reason;
  }
  // A new file that cannot be written is not left half-made.
  FailingCalls calls;
  calls.step = Step::Write;
  calls.error = ENOSPC;
  EXPECT_NE(messageOf([&] { ReplaceFile(path("neuf.TSF"), "abc"); }).find("plus de place"), std::string::npos);
  EXPECT_EQ(entries(), QStringList{"doc.TSF"});
}

TEST_F(Files, AFolderThatCannotConfirmTheRenameIsReported) {
  ReplaceFile(path("doc.TSF"), "avant");
  FailingCalls calls;
  calls.step = FailingCalls::Step::SyncFolder;
  const std::string message = messageOf([&] { ReplaceFile(path("doc.TSF"), "après"); });
  EXPECT_NE(message.find("a été écrit, mais le système n'a pas confirmé"_w), std::string::npos) << message;
  EXPECT_EQ(bytesOf(path("doc.TSF")), "après");
  // A file system that cannot sync a folder at all is no failure.
  calls.error = EINVAL;
  EXPECT_NO_THROW(ReplaceFile(path("doc.TSF"), "encore"));
}

TEST_F(Files, WhatCannotBeReadOrWrittenIsRefusedAtOnceInFrench) {
  QDir(dir.path()).mkdir("dossier");
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("tube.TSF")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(path("boucle.TSF"), path("boucle.TSF")));
  const auto quoted = [&](const char* name) { return std::string("« "_w) + toCp1252(path(name)) + " »"_w.data(); };
  struct Case {
    std::function<void()> action;
    std::string message;
  };
  const Case cases[] = {
      {[&] { ReadFile(path("absent.TSF")); },
       "Impossible d'ouvrir le fichier " + quoted("absent.TSF") + " : le fichier ou son dossier n'existe pas."},
      {[&] { ReadFile(path("dossier")); },
       quoted("dossier") + " est un dossier, pas un fichier : il ne peut pas être ouvert."_w.data()},
      // A pipe would make a reader wait for ever.
      {[&] { ReadFile(path("tube.TSF")); },
       quoted("tube.TSF") + " n'est pas un fichier ordinaire (tube, périphérique…) : il ne peut pas être ouvert."_w.data()},
      {[&] { ReplaceFile(path("dossier"), "x"); }, "Impossible d'enregistrer " + quoted("dossier") + " : c'est un dossier."},
      {[&] { ReplaceFile(path("tube.TSF"), "x"); },
       "Impossible d'enregistrer " + quoted("tube.TSF") + " : ce n'est pas un fichier ordinaire (tube, périphérique…)."_w.data()},
      {[&] { ReplaceFile(path("absent/doc.TSF"), "x"); },
       "Impossible d'enregistrer le fichier " + quoted("absent/doc.TSF") + " : le fichier ou son dossier n'existe pas."},
      {[&] { ReadFile(path("boucle.TSF")); }, "Impossible d'ouvrir le fichier " + quoted("boucle.TSF") + " : trop de liens symboliques."},
      {[&] { ReplaceFile(path("boucle.TSF"), "x"); },
       "Impossible d'enregistrer le fichier " + quoted("boucle.TSF") + " : trop de liens symboliques."},
  };
  for (const Case& c : cases) EXPECT_EQ(messageOf(c.action), c.message);
  EXPECT_TRUE(QFileInfo(path("boucle.TSF")).isSymLink());

  ReplaceFile(path("doc.TSF"), "contenu");
  for (auto step : {FailingCalls::Step::Open, FailingCalls::Step::Read}) {
    FailingCalls calls;
    calls.step = step;
    calls.error = EACCES;
    EXPECT_NE(messageOf([&] { ReadFile(path("doc.TSF")); }).find(quoted("doc.TSF") + " : accès refusé."_w.data()),
              std::string::npos);
  }
}

TEST_F(Files, ARewriteIsSeenEvenWithTheSameSizeAndTime) {
  ReplaceFile(path("doc.TSF"), "version A");
  const FileFingerprint read = ReadFile(path("doc.TSF")).fingerprint;
  EXPECT_EQ(CompareWithDisk(path("doc.TSF"), read), FileState::Unchanged);
  // Same size, and the time set back: only the content tells.
  struct stat before {};
  ASSERT_EQ(::stat(QFile::encodeName(path("doc.TSF")).constData(), &before), 0);
  ReplaceFile(path("doc.TSF"), "version B");
  const struct timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path("doc.TSF")).constData(), times, 0), 0);
  EXPECT_EQ(CompareWithDisk(path("doc.TSF"), read), FileState::Changed);
  ReplaceFile(path("doc.TSF"), "plus longue version");
  EXPECT_EQ(CompareWithDisk(path("doc.TSF"), read), FileState::Changed);
  QFile::remove(path("doc.TSF"));
  EXPECT_EQ(CompareWithDisk(path("doc.TSF"), read), FileState::Missing);
}

// A head and a body come apart where the reader says; together they are the
// file, with the fingerprint of a whole reading.
TEST_F(Files, AFileReadInTwoPartsIsTheWholeFile) {
  std::string big(300000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  struct Case {
    const char* what;
    std::string content;
    std::size_t head;
  };
  const Case cases[] = {
      {"head within the first bytes", "ABCDEFGHIJKLMNOP", 4},
      {"no head", "ABCDEFGHIJKLMNOP", 0},
      {"head beyond the first bytes", std::string(100, 'h') + "reste", 100},
      {"head longer than the file", "ABC", 10},
      {"head said to be far longer than the file", "ABCDEFGHIJKLMNOP", std::size_t(1) << 40},
      {"empty file", "", 0},
      {"big file", big, 28},
  };
  for (const Case& c : cases) {
    const FileFingerprint written = ReplaceFile(path("doc.TSF"), c.content);
    const SplitFileContent read = ReadFileSplit(path("doc.TSF"), 12, [&](std::string_view first) {
      EXPECT_EQ(first, c.content.substr(0, 12)) << c.what;
      return c.head;
    });
    const std::size_t head = std::min(c.head, c.content.size());
    EXPECT_EQ(read.head, c.content.substr(0, head)) << c.what;
    EXPECT_EQ(read.body, c.content.substr(head)) << c.what;
    EXPECT_EQ(read.fingerprint, written) << c.what;
    EXPECT_EQ(read.fingerprint, ReadFile(path("doc.TSF")).fingerprint) << c.what;
  }
  // Written in pieces, the same file and fingerprint as written whole.
  const FileFingerprint pieces = ReplaceFile(path("doc.TSF"), {"en-tête", "", "et le reste"});
  EXPECT_EQ(bytesOf(path("doc.TSF")), "en-têteet le reste");
  EXPECT_EQ(ReadFile(path("doc.TSF")).fingerprint, pieces);
}
