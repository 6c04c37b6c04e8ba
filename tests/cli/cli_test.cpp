#include "engine/ZEP_BDC.h"
#include "foundation/Cp1252.h"
#include "foundation/DataFileKeys.h"
#include "foundation/MemoryStream.h"
#include "foundation/ZEP_Version.h"

#include <QFile>
#include <QImage>
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

TEST_F(Cli, ConvertGoesThroughTheBase) {
  // Trailing blanks are trimmed by the base's writer: the output is a re-saved base.
  MBC base;
  EntityRef e = base.nouvelle_entite();
  e->ajouter(base.relation("sys_racine"), base.symbole("nom  "));
  WriteDataFile(base.ecrire(), path("in.TSF"));
  ASSERT_EQ(runCli({"convert", path("in.TSF"), path("out.OCS")}).status, 0);
  MemoryStream out;
  ReadDataFile(path("out.OCS"), out);
  EXPECT_NE(out.bytes().find(std::string("nom\0", 4)), std::string::npos);
  EXPECT_EQ(out.bytes().find("nom  "), std::string::npos);
  // Garbage that is not a knowledge-base stream is refused and OUT stays as it was.
  MemoryStream("garde").saveToFile(path("out2.TSF"));
  WriteDataFile(MemoryStream("pas une base"), path("faux.TSF"));
  const CliRun r = runCli({"convert", path("faux.TSF"), path("out2.TSF")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("faux.TSF"), std::string::npos) << r.err;
  EXPECT_EQ(fileBytes(path("out2.TSF")), "garde");
}

TEST_F(Cli, DumpPrintsEverySavedTripleInOrder) {
  MBC base;
  EntityRef object = base.nouvelle_entite();
  object->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
  object->ajouter(base.relation("sys_nom_attribut_nom"), base.symbole("Réunion\tA\\B\r\nC"_w));
  object->ajouter(base.relation("SYS_OID"), base.symbole(std::string(">\x01\0\x81z", 5)));
  QImage picture(4, 3, QImage::Format_RGB32);
  picture.fill(Qt::red);
  object->ajouter(base.relation("image"), new MSymbole_bitmap("toto", picture));
  EntityRef lost = base.nouvelle_entite(); // nobody refers to it: not saved
  lost->ajouter(base.relation("r"), base.symbole("v"));
  object->affecter("lien", "");
  WriteDataFile(base.ecrire(), path("d.TSF"));

  const CliRun r = runCli({"dump", path("d.TSF")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "~0\tsys_racine\tsys_Objet_Natif\n"
            "~0\tsys_nom_attribut_nom\tRéunion\\tA\\\\B\\r\\nC\n"
            "~0\tSYS_OID\t>\\x01\\0\\x81z\n"
            "~0\timage\t[bmp]1toto [4x3]\n"
            "~0\tlien\t~10\n");
}

TEST_F(Cli, QueryPrintsOneLinePerSolution) {
  {
    MBC base;
    auto object = [&](const char* name) {
      EntityRef o = base.nouvelle_entite();
      o->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
      o->ajouter(base.relation("sys_ID_classe"), base.symbole("sys_Mcategorie"));
      o->ajouter(base.relation("sys_nom_attribut_nom"), base.symbole(name));
      return o;
    };
    EntityRef a = object("Pause");
    EntityRef b = object("Réunion\tA"_w.data());
    a->ajouter(base.relation("sys_nom_attribut_lien"), b.get());
    WriteDataFile(base.ecrire(), path("q.TSF"));
  }
  const CliRun r = runCli({"query", path("q.TSF"),
                           "REQ q PARAMETRES A N L CORPS A sys_ID_classe sys_Mcategorie A sys_nom_attribut_nom N FIN"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "A=~0\tN=Pause\tL=\nA=~7\tN=Réunion\\tA\tL=\n");

  // An unknown name is a symbol unless --yes makes it a variable.
  const QString unknown = "REQ q PARAMETRES A CORPS A sys_nom_attribut_nom Inconnu FIN";
  EXPECT_EQ(runCli({"query", path("q.TSF"), unknown}).out, "");
  EXPECT_EQ(runCli({"query", path("q.TSF"), unknown, "--yes"}).out, "A=~0\tInconnu=Pause\nA=~7\tInconnu=Réunion\\tA\n");

  const CliRun bad = runCli({"query", path("q.TSF"), "REQ q PARAMETRES A CORPS A sys_nom_attribut_nom FIN"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_FALSE(bad.err.empty());
}

TEST_F(Cli, CheckReportsSchemaBreachesAndNeverCreatesAFile) {
  {
    MBC base;
    EntityRef node = base.nouvelle_entite();
    node->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
    node->ajouter(base.relation("sys_ID_classe"), base.symbole("sys_TMOOR_document"));
    node->ajouter(base.relation("sys_nom_attribut_Nom"), base.symbole("Cours"));
    WriteDataFile(base.ecrire(), path("sain.TSF"));
    node->ajouter(base.relation("sys_ID_classe"), base.symbole("sys_X"));
    node->ajouter(base.relation("sys_ID_classe"), base.symbole("sys_Y"));
    WriteDataFile(base.ecrire(), path("casse.TSF"));
  }
  const CliRun sound = runCli({"check", path("sain.TSF")});
  EXPECT_EQ(sound.status, 0) << sound.err;
  EXPECT_EQ(sound.out, "Aucune erreur\n");

  const CliRun broken = runCli({"check", path("casse.TSF")});
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.out, "1 erreur(s) / 1 instance(s) de la classe : TMOOR_document\r\n"
                        "1 erreur(s) pour Attribut sys_ID_classe\r\n");

  const CliRun missing = runCli({"check", path("absent.TSF")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("absent.TSF"), std::string::npos);
  EXPECT_FALSE(QFile::exists(path("absent.TSF")));
}
