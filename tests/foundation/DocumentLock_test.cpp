#include "foundation/Cp1252.h"
#include "foundation/DocumentLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessel;
using Outcome = DocumentLock::Outcome;
using namespace std::chrono_literals;

namespace {

class Locks : public testing::Test {
protected:
  QString path(const QString& name) const { return dir.filePath(name); }
  QTemporaryDir dir;
};

// A process id that was alive a moment ago and is gone now.
qint64 deadProcess() {
  QProcess p;
  p.start("true", {});
  p.waitForStarted();
  const qint64 pid = p.processId();
  p.waitForFinished();
  return pid;
}

} // namespace

TEST_F(Locks, OneHolderAtATimeAndTheOthersAreToldWho) {
  DocumentLock first;
  EXPECT_EQ(first.lock(path("doc.TSF")), Outcome::Taken);
  EXPECT_TRUE(QFile::exists(path(".doc.TSF.lock")));
  // Taking it again for the same file keeps it.
  EXPECT_EQ(first.lock(path("doc.TSF")), Outcome::Taken);

  DocumentLock second;
  EXPECT_EQ(second.lock(path("doc.TSF"), 200ms), Outcome::Held);
  EXPECT_NE(second.detail().find("le processus " + std::to_string(QCoreApplication::applicationPid())),
            std::string::npos)
      << second.detail();
  EXPECT_FALSE(second.locked());
  // Another name of the same file shares its lock.
  ASSERT_TRUE(QFile::link(path("doc.TSF"), path("lien.TSF")));
  EXPECT_EQ(second.lock(path("lien.TSF")), Outcome::Held);

  // Locking another file lets the first one go.
  EXPECT_EQ(first.lock(path("autre.TSF")), Outcome::Taken);
  EXPECT_EQ(second.lock(path("doc.TSF")), Outcome::Taken);
  second.unlock();
  EXPECT_FALSE(QFile::exists(path(".doc.TSF.lock")));
}

TEST_F(Locks, ALockLeftByADeadProcessIsTakenOver) {
  // A real lock file, then its holder's number replaced by one of a process that is gone.
  QByteArray content;
  {
    QLockFile genuine(path(".doc.TSF.lock"));
    ASSERT_TRUE(genuine.tryLock());
    QFile f(path(".doc.TSF.lock"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    content = f.readAll();
  }
  content = QByteArray::number(deadProcess()) + content.mid(content.indexOf('\n'));
  QFile f(path(".doc.TSF.lock"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(content);
  f.close();

  DocumentLock lock;
  EXPECT_EQ(lock.lock(path("doc.TSF")), Outcome::Taken);
}

TEST_F(Locks, AFolderWhereNoLockCanBeMadeIsSaid) {
  DocumentLock lock;
  EXPECT_EQ(lock.lock(path("absent/doc.TSF")), Outcome::Impossible);
  EXPECT_NE(lock.detail().find("ne peut pas être créé"_w), std::string::npos);
}
