#include "foundation/DataFileKeys.h"
#include "foundation/MemoryStream.h"
#include "foundation/ZEP_Version.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessel;

namespace {

struct CliRun {
  int status = -1;
  std::string out, err;
};

CliRun runCli(const QStringList& args) {
  QProcess p;
  p.start(TESSEL_CLI_PATH, args);
  EXPECT_TRUE(p.waitForFinished(60000));
  CliRun r;
  r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

std::string fileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<absent>";
  return f.readAll().toStdString();
}

class Cli : public testing::Test {
protected:
  QString path(const QString& name) const { return dir.filePath(name); }
  QTemporaryDir dir;
};

} // namespace

TEST_F(Cli, VersionNamesTheProduct) {
  const CliRun r = runCli({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Tessel"), std::string::npos);
  EXPECT_NE(r.out.find("1.0.0.0"), std::string::npos);
}

TEST_F(Cli, ConvertChangesTheContainerAndKeepsThePayload) {
  const std::string payload("\xFF\xFF\xFF\xFF\xFE\xFF\xFF\xFF", 8);
  WriteDataFile(MemoryStream(payload), path("in.TSF"));
  const CliRun r = runCli({"convert", path("in.TSF"), path("out.OCS")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fileBytes(path("out.OCS")).substr(28), payload);

  EXPECT_EQ(runCli({"convert", path("out.OCS"), path("back.opf")}).status, 0);
  MemoryStream back;
  ReadDataFile(path("back.opf"), back);
  EXPECT_EQ(back.bytes(), payload);
}

TEST_F(Cli, ConvertErrorsExitWithOneAndLeaveTheOutputAlone) {
  MemoryStream("garde").saveToFile(path("out.TSF"));
  MemoryStream("ZEP").saveToFile(path("tronque.TSF"));
  struct Case {
    QStringList args;
    const char* message;
  };
  const Case cases[] = {
      {{"convert", path("absent.TSF"), path("out.TSF")}, "absent.TSF"},
      {{"convert", path("tronque.TSF"), path("out.TSF")}, "tronque.TSF"},
      {{"convert", path("tronque.TSF")}, "convert"},
      {{"inconnue"}, "inconnue"},
  };
  for (const Case& c : cases) {
    const CliRun r = runCli(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(path("out.TSF")), "garde");
  }
}
