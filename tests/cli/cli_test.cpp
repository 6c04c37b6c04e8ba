#include "engine/ZEP_BDC.h"
#include "foundation/Cp1252.h"
#include "foundation/DataFileKeys.h"
#include "foundation/DocumentLock.h"
#include "foundation/MemoryStream.h"
#include "foundation/ZEP_Version.h"
#include "support/PdfReader.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessel;
using tessel::test::PdfFacts;
using tessel::test::ReadPdfFacts;
using tessel::test::ReadPdfText;

namespace {

struct CliRun {
  int status = -1;
  std::string out, err;
};

// Settings, generated documents and backups stay out of the user's folders.
const QTemporaryDir& cliHome() {
  static const QTemporaryDir home;
  return home;
}

void startCli(QProcess& p, const QStringList& args) {
  const QTemporaryDir& home = cliHome();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", home.filePath("config"));
  env.insert("XDG_DATA_HOME", home.filePath("data"));
  p.setProcessEnvironment(env);
  p.start(TESSEL_CLI_PATH, args);
}

CliRun finishCli(QProcess& p, int timeout = 60000) {
  EXPECT_TRUE(p.waitForFinished(timeout));
  CliRun r;
  r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

CliRun runCli(const QStringList& args) {
  QProcess p;
  startCli(p, args);
  return finishCli(p);
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
  const std::string payload = MBC().ecrire().bytes(); // an empty base
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

  for (const char* text : {"REQ q PARAMETRES A CORPS A sys_nom_attribut_nom FIN", "garbage", "REQ"}) {
    const CliRun bad = runCli({"query", path("q.TSF"), text});
    EXPECT_EQ(bad.status, 1) << text;
    EXPECT_NE(bad.err.find("Requête mal formée : "), std::string::npos) << bad.err;
  }
}

TEST_F(Cli, CheckReportsSchemaBreachesAndNeverCreatesAFile) {
  {
    MBC base;
    EntityRef node = base.nouvelle_entite();
    node->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
    node->ajouter(base.relation("sys_ID_classe"), base.symbole("sys_Mcategorie"));
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
  EXPECT_EQ(broken.out, "1 erreur(s) / 1 instance(s) de la classe : Mcategorie\r\n"
                        "1 erreur(s) pour Attribut sys_ID_classe\r\n");

  const CliRun missing = runCli({"check", path("absent.TSF")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("absent.TSF"), std::string::npos);
  EXPECT_FALSE(QFile::exists(path("absent.TSF")));
}

TEST_F(Cli, AddThenReadTheWeekAndThePeriod) {
  const QString file = path("w.TSF");
  const CliRun first = runCli({"add", file, "2026-12-07", "Réunion", "1:30"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "Réunion, lundi 7 décembre 2026 : 1:30\n");
  ASSERT_EQ(runCli({"add", file, "08/12/2026", "pause", "0:45", "--note", "Café, croissants"}).status, 0);
  ASSERT_EQ(runCli({"add", file, "2026-12-14", "Pause", "2:00"}).status, 0);
  // Zero takes an entry away again.
  ASSERT_EQ(runCli({"add", file, "2026-12-09", "Pause", "1:00"}).status, 0);
  ASSERT_EQ(runCli({"add", file, "2026-12-09", "Pause", "0:00"}).status, 0);

  const CliRun csv = runCli({"week", file, "2026-12-10", "--csv"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out, "activity,2026-12-07,2026-12-08,2026-12-09,2026-12-10,2026-12-11,2026-12-12,2026-12-13,total\n"
                     "Pause,,0:45,,,,,,0:45\n"
                     "Réunion,1:30,,,,,,,1:30\n"
                     "TOTAL,1:30,0:45,0:00,0:00,0:00,0:00,0:00,2:15\n");

  const CliRun text = runCli({"week", file, "2026-12-13"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "Du lundi 07/12/2026 au dimanche 13/12/2026");
  EXPECT_NE(text.out.find("Somme Horaire"), std::string::npos);

  const CliRun month = runCli({"period", file, "2026-12-01", "2026-12-31", "--csv"});
  ASSERT_EQ(month.status, 0) << month.err;
  EXPECT_EQ(month.out, "activity,total\nPause,2:45\nRéunion,1:30\n");
  const CliRun oneDay = runCli({"period", file, "2026-12-14", "2026-12-14"});
  EXPECT_NE(oneDay.out.find("Pause"), std::string::npos);
  EXPECT_EQ(oneDay.out.find("Réunion"), std::string::npos);

  EXPECT_NE(runCli({"dump", file}).out.find("Café__vir__ croissants"), std::string::npos);
  EXPECT_EQ(runCli({"check", file}).out, "Aucune erreur\n");
}

TEST_F(Cli, RefusedCommandsLeaveTheFileAsItWas) {
  const QString file = path("w.TSF");
  ASSERT_EQ(runCli({"add", file, "2026-12-07", "Pause", "1:00"}).status, 0);
  const std::string before = fileBytes(file);
  struct Case {
    QStringList args;
    const char* message;
  };
  const Case cases[] = {
      {{"add", file, "2026-13-01", "Pause", "1:00"}, "Date incorrecte : « 2026-13-01 »"},
      {{"add", file, "2026-12-07", "Sieste", "1:00"}, "Catégorie inconnue : « Sieste ». Catégories : Toutes les activités, Pause"},
      {{"add", file, "2026-12-07", "Pause", "1h30"}, "Durée incorrecte : « 1h30 »"},
      {{"add", file, "2026-12-07", "Pause", "25:00"}, "n'est pas une heure correcte"},
      {{"add", file, "2026-12-07", "Pause"}, "add attend"},
      {{"add", file, "2026-12-07", "Pause", "1:00", "--note"}, "--note attend un texte"},
      {{"week", file, "demain"}, "Date incorrecte : « demain »"},
      {{"period", file, "2026-12-01"}, "period attend"},
      {{"view", file, "2026-02-29"}, "Date incorrecte : « 2026-02-29 »"},
      {{"view"}, "view attend"},
      {{"stats", file, "2026-12-01", "1er janvier"}, "Date incorrecte : « 1er janvier »"},
      {{"stats", file, "2026-12-01"}, "stats attend"},
  };
  for (const Case& c : cases) {
    const CliRun r = runCli(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(file), before) << c.message;
  }
}

TEST_F(Cli, AMissingFileIsCreatedOnlyByASuccessfulAdd) {
  for (const QStringList& args : {QStringList{"add", path("n.TSF"), "2026-12-07", "Sieste", "1:00"},
                                  QStringList{"week", path("n.TSF")},
                                  QStringList{"period", path("n.TSF"), "2026-12-01", "2026-12-31"},
                                  QStringList{"view", path("n.TSF"), "2026-12-01"},
                                  QStringList{"stats", path("n.TSF"), "2026-12-01", "2026-12-31"}}) {
    const CliRun r = runCli(args);
    EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
    EXPECT_FALSE(QFile::exists(path("n.TSF"))) << args.join(' ').toStdString();
  }
  EXPECT_EQ(runCli({"add", path("n.TSF"), "2026-12-07", "Pause", "1:00"}).status, 0);
  EXPECT_TRUE(QFile::exists(path("n.TSF")));
}

TEST_F(Cli, ViewAndStatsOfAMonth) {
  const QString file = path("m.TSF");
  const char* entries[][3] = {
      {"2027-03-01", "Pause", "0:45"},          {"2027-03-02", "Réunion", "2:50"},
      {"2027-03-03", "Administration", "20:00"}, {"2027-03-04", "Administration", "6:10"},
      {"2027-03-04", "Pause", "1:00"},           {"2027-03-29", "Pause", "4:00"}, // after the end day
      {"2027-03-30", "Rédaction", "1:00"},
  };
  for (const auto& e : entries) ASSERT_EQ(runCli({"add", file, e[0], e[1], e[2]}).status, 0) << e[0];

  const CliRun csv = runCli({"view", file, "01/03/2027", "--csv"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  QStringList dates;
  for (int d = 1; d <= 31; ++d) dates << QString("2027-03-%1").arg(d, 2, 10, QChar('0'));
  auto line = [](QStringList fields, const std::map<int, QString>& cells) {
    for (int d = 0; d < 31; ++d) fields << (cells.count(d) ? cells.at(d) : QString());
    return fields.join(',') + "\n";
  };
  std::map<int, QString> totals;
  for (int d = 0; d < 31; ++d) totals[d] = "0:00";
  totals[0] = "0:45";
  totals[1] = "2:50";
  totals[2] = "20:00";
  totals[3] = "7:10";
  // Rows in the order their entries are met, the last recorded first.
  const QString expected = "activity,total," + dates.join(',') + "\n" +
                           line({"Pause", "1:45"}, {{0, "0:45"}, {3, "1:00"}}) +
                           line({"Administration", "26:10"}, {{2, "20:00"}, {3, "6:10"}}) +
                           line({"Réunion", "2:50"}, {{1, "2:50"}}) + line({"TOTAL", "30:45"}, totals);
  EXPECT_EQ(csv.out, expected.toStdString());

  const CliRun text = runCli({"view", file, "2027-03-01"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "Du lundi 1 mars 2027 au dimanche 28 mars 2027");
  EXPECT_NE(text.out.find("Somme Horaire             30:45  0:45  2:50 20:00  7:10     -"), std::string::npos) << text.out;

  // From 31 January: up to the last day of February, 2 March shown empty.
  const CliRun january = runCli({"view", file, "2027-01-31", "--csv"});
  ASSERT_EQ(january.status, 0) << january.err;
  EXPECT_EQ(january.out.substr(0, 37), "activity,total,2027-01-31,2027-02-01,");
  EXPECT_NE(january.out.find(",2027-03-02\nTOTAL,0:00,"), std::string::npos) << january.out;

  const CliRun stats = runCli({"stats", file, "2027-03-01", "2027-03-28", "--csv"});
  ASSERT_EQ(stats.status, 0) << stats.err;
  EXPECT_EQ(stats.out, "activity,hours,percent\nPause,1,3.4\nAdministration,26,89.7\nRéunion,2,6.9\n");
  const CliRun plain = runCli({"stats", file, "2027-03-01", "2027-03-28"});
  EXPECT_EQ(plain.out.substr(0, plain.out.find('\n')), "Pause                                1 h     3,4 %");

  const CliRun backwards = runCli({"stats", file, "2027-03-28", "2027-03-01"});
  EXPECT_EQ(backwards.status, 0) << backwards.err;
  EXPECT_EQ(backwards.out, "");
}

TEST_F(Cli, NotesListsAndFiltersTheComments) {
  const QString file = path("n.TSF");
  ASSERT_EQ(runCli({"add", file, "2002-09-02", "Réunion", "1:00", "--note", "Budget à revoir\nAvec Zoé"}).status, 0);
  ASSERT_EQ(runCli({"add", file, "2002-09-03", "Pause", "0:30", "--note", "Café"}).status, 0);
  // Before any comment, and for words that match none: nothing, and success.
  ASSERT_EQ(runCli({"add", path("vide.TSF"), "2002-09-02", "Pause", "1:00"}).status, 0);
  struct Case {
    QStringList args;
    std::string out;
  };
  const Case cases[] = {
      {{"notes", path("vide.TSF")}, ""},
      {{"notes", file}, "Budget à revoir\t2002-09-02 Réunion\nCafé\t2002-09-03 Pause\n"},
      {{"notes", file, "ZOE", "budget"}, "Budget à revoir\t2002-09-02 Réunion\n"},
      {{"notes", file, "cafe"}, "Café\t2002-09-03 Pause\n"},
      {{"notes", file, "budget", "cafe"}, ""},
  };
  for (const Case& c : cases) {
    const CliRun r = runCli(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
  }
  // A comment on two days is listed once with both; one on no entry with nothing after the tab.
  {
    MBC base;
    auto object = [&base](const char* cls) {
      EntityRef e = base.nouvelle_entite();
      e->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
      e->ajouter(base.relation("sys_ID_classe"), base.symbole(std::string("sys_") + cls));
      return e;
    };
    auto set = [&base](EntityRef e, const char* attribute, MEntite* value) {
      e->ajouter(base.relation(std::string("sys_nom_attribut_") + attribute), value);
    };
    EntityRef unused = object("Mcontenu"), twice = object("Mcontenu"), category = object("Mcategorie");
    set(unused, "Titre", base.symbole("Sans saisie"));
    set(twice, "Titre", base.symbole("Deux jours"));
    set(category, "Nom", base.symbole("Réunion"_w));
    EntityRef activity = object("Mactivite_tessel");
    set(activity, "Fliste_themes", category.get());
    for (const char* day : {"03/09/2002", "02/09/2002"}) {
      EntityRef entry = object("Moccurence");
      set(entry, "date_de_debut", base.symbole(day));
      set(entry, "contenu", twice.get());
      set(activity, "action", entry.get());
    }
    WriteDataFile(base.ecrire(), path("deux.TSF"));
  }
  const CliRun both = runCli({"notes", path("deux.TSF")});
  EXPECT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out, "Sans saisie\t\nDeux jours\t2002-09-02 Réunion; 2002-09-03 Réunion\n");

  for (const QStringList& args : {QStringList{"notes"}, QStringList{"notes", path("absent.TSF")}}) {
    const CliRun r = runCli(args);
    EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
    EXPECT_FALSE(QFile::exists(path("absent.TSF")));
  }
}

namespace {

// A file system of its own, a few pages large, where mounting is allowed.
class TinyDisk {
public:
  explicit TinyDisk(const QString& folder) : folder_(QFile::encodeName(folder)) {
    QDir().mkpath(folder);
    mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") == 0;
  }
  ~TinyDisk() {
    if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  // Fills the disk, then gives one page back: room for a lock file, none for a workspace.
  void fillButOnePage() {
    const int fd = ::open((folder_ + "/remplissage").constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const std::string page(4096, 'x');
    off_t size = 0;
    for (ssize_t n; (n = ::write(fd, page.data(), page.size())) > 0;) size += n;
    ASSERT_GE(size, 4096);
    ASSERT_EQ(::ftruncate(fd, (size / 4096 - 1) * 4096), 0);
    ::close(fd);
  }

private:
  QByteArray folder_;
  bool mounted_ = false;
};

QStringList entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QString day(int d) { return QString("2026-12-%1").arg(d, 2, 10, QChar('0')); }

// The payload of a workspace with one byte changed, written back as a sound container would.
void damage(const QString& file, std::string_view inside) {
  MemoryStream payload;
  ReadDataFile(file, payload);
  const std::size_t at = payload.bytes().find(inside);
  ASSERT_NE(at, std::string::npos);
  payload.bytes()[at] ^= 0x20;
  WriteDataFile(payload, file);
}

} // namespace

TEST_F(Cli, AFullDiskFailsTheSaveAndKeepsTheFile) {
  TinyDisk disk(path("disque"));
  if (!disk.mounted()) GTEST_SKIP() << "mounting a file system is not allowed here";
  const QString file = path("disque/w.TSF");
  // A workspace of a few pages, as some weeks of notes make.
  for (int d = 1; d <= 8; ++d)
    ASSERT_EQ(runCli({"add", file, day(d), "Pause", "1:00", "--note", QString(1200, QChar('a' + d))}).status, 0);
  const std::string before = fileBytes(file);
  ASSERT_GT(before.size(), 8192u);
  disk.fillButOnePage();

  const CliRun r = runCli({"add", file, day(9), "Pause", "1:00"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Impossible d'enregistrer le fichier « " + file.toStdString() +
                       " » : plus de place sur le disque. Le fichier précédent est intact."),
            std::string::npos)
      << r.err;
  EXPECT_EQ(fileBytes(file), before);
  EXPECT_EQ(entries(path("disque")), (QStringList{"remplissage", "w.TSF"}));
  QFile::remove(path("disque/remplissage"));
  EXPECT_EQ(runCli({"check", file}).out, "Aucune erreur\n");
}

TEST_F(Cli, NotesUpToTheStoredLimitAndNoFurther) {
  const QString file = path("w.TSF");
  struct Case {
    QString note;
    bool accepted;
  };
  const Case cases[] = {
      {QString(20000, 'a'), true},
      {QString(20001, 'a'), false},
      {QString(2857, ',') + "a", true}, // 2857 commas stored as 7 characters each, then one: 20000
      {QString(2900, ','), false},      // 20300 once stored
      {QString(2000, QChar(0x2713)), true},  // a mark outside the code page is stored as 10 characters
      {QString(2001, QChar(0x2713)), false},
  };
  ASSERT_EQ(runCli({"add", file, day(1), "Pause", "1:00"}).status, 0);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::string before = fileBytes(file);
    const CliRun r = runCli({"add", file, day(2 + int(i)), "Pause", "1:00", "--note", c.note});
    EXPECT_EQ(r.status, c.accepted ? 0 : 1) << i << r.err;
    if (!c.accepted) {
      EXPECT_NE(r.err.find("la limite est de 20000"), std::string::npos) << r.err;
      EXPECT_EQ(fileBytes(file), before) << i;
    }
    EXPECT_EQ(runCli({"check", file}).out, "Aucune erreur\n") << i;
  }
  // Files that an older version wrote with longer texts open again.
  {
    MemoryStream payload;
    ReadDataFile(file, payload);
    MBC base;
    base.lire(payload);
    EntityRef note = base.nouvelle_entite();
    note->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
    note->ajouter(base.relation("sys_ID_classe"), base.symbole("sys_Mcontenu"));
    note->ajouter(base.relation("sys_nom_attribut_Texte"), base.symbole(std::string(20001, 'z')));
    WriteDataFile(base.ecrire(), file);
  }
  const CliRun week = runCli({"week", file, day(1)});
  EXPECT_EQ(week.status, 0) << week.err;
  EXPECT_NE(runCli({"dump", file}).out.find(std::string(20001, 'z')), std::string::npos);
}

TEST_F(Cli, CommandsOnOneFileTakeTurnsAndLoseNothing) {
  const QString file = path("w.TSF");
  ASSERT_EQ(runCli({"add", file, day(1), "Pause", "1:00"}).status, 0);
  std::vector<std::unique_ptr<QProcess>> running;
  for (int d = 2; d <= 9; ++d) {
    running.push_back(std::make_unique<QProcess>());
    startCli(*running.back(), {"add", file, day(d), d % 2 ? "Pause" : "Réunion", "1:00"});
  }
  for (auto& p : running) {
    const CliRun r = finishCli(*p);
    EXPECT_EQ(r.status, 0) << r.err;
  }
  // Activities come in the order the commands happened to make them.
  const std::string period = runCli({"period", file, day(1), day(31), "--csv"}).out;
  EXPECT_NE(period.find("\nPause,5:00\n"), std::string::npos) << period;
  EXPECT_NE(period.find("\nRéunion,4:00\n"), std::string::npos) << period;
  EXPECT_EQ(entries(dir.path()), QStringList{"w.TSF"});
}

TEST_F(Cli, AFileHeldElsewhereIsNotSavedOver) {
  const QString file = path("w.TSF");
  ASSERT_EQ(runCli({"add", file, day(1), "Pause", "1:00"}).status, 0);
  const std::string before = fileBytes(file);
  QLockFile window(DocumentLock::lockFileOf(file));
  ASSERT_TRUE(window.tryLock());
  for (const char* wait : {"0", "0.5"}) {
    const CliRun r = runCli({"add", file, day(2), "Pause", "1:00", "--wait", wait});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("« " + file.toStdString() + " » est utilisé par le processus " +
                         std::to_string(QCoreApplication::applicationPid())),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("rien n'a été enregistré"), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(file), before);
  }
  EXPECT_EQ(runCli({"add", file, day(2), "Pause", "1:00", "--wait", "soon"}).status, 1);
  window.unlock();
  EXPECT_EQ(runCli({"add", file, day(2), "Pause", "1:00", "--wait", "0"}).status, 0);
}

TEST_F(Cli, NotesInAnyScriptComeBack) {
  const QString file = path("w.TSF");
  const char* notes[] = {"Ωmega ✓ 中文 😀", "Привет мир", "مرحبا", "e\u0301te\u0301 ou été", "👩‍💻 日本語のテキスト"};
  for (std::size_t i = 0; i < std::size(notes); ++i) {
    const CliRun r = runCli({"add", file, day(1 + int(i)), "Pause", "1:00", "--note", QString::fromUtf8(notes[i])});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  const std::string dumped = runCli({"dump", file}).out;
  for (const char* note : notes) EXPECT_NE(dumped.find(std::string("\t") + note + "\n"), std::string::npos) << note;
}

TEST_F(Cli, DamagedFilesAreNamedAndOnlyReadWhenForced) {
  const QString file = path("w.TSF");
  ASSERT_EQ(runCli({"add", file, day(1), "Pause", "1:30"}).status, 0);
  damage(file, "Pause");
  const std::string damaged = fileBytes(file);
  for (const QStringList& args : {QStringList{"check", file}, QStringList{"week", file, day(1)},
                                  QStringList{"dump", file}, QStringList{"add", file, day(2), "Pause", "1:00"}}) {
    const CliRun r = runCli(args);
    EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
    EXPECT_NE(r.err.find("« " + file.toStdString() + " » est endommagé"), std::string::npos) << r.err;
  }
  const CliRun forced = runCli({"week", file, day(1), "--csv", "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(forced.err.find("est endommagé ; il est lu quand même"), std::string::npos) << forced.err;
  // A forced add still leaves it as it is; a copy is the way out.
  const CliRun add = runCli({"add", file, day(2), "Pause", "1:00", "--force"});
  EXPECT_EQ(add.status, 1);
  EXPECT_NE(add.err.find("add le laisse tel quel"), std::string::npos) << add.err;
  EXPECT_EQ(fileBytes(file), damaged);
  ASSERT_EQ(runCli({"convert", file, path("copie.TSF"), "--force"}).status, 0);
  EXPECT_EQ(runCli({"check", path("copie.TSF")}).out, "Aucune erreur\n");
}

TEST_F(Cli, APipeOrAFolderIsRefusedAtOnceByName) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("tube.TSF")).constData(), 0600), 0);
  ASSERT_TRUE(QDir(dir.path()).mkdir("dossier.TSF"));
  struct Case {
    QString file;
    std::string says;
  };
  const Case cases[] = {{path("tube.TSF"), " » n'est pas un fichier ordinaire"}, {path("dossier.TSF"), " » est un dossier"}};
  for (const Case& c : cases) {
    for (const QStringList& args : {QStringList{"check", c.file}, QStringList{"week", c.file},
                                    QStringList{"add", c.file, day(1), "Pause", "1:00"}, QStringList{"dump", c.file}}) {
      QProcess p;
      startCli(p, args);
      const CliRun r = finishCli(p, 10000); // a reader of the pipe would wait for ever
      EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
      EXPECT_NE(r.err.find("« " + c.file.toStdString() + c.says), std::string::npos) << r.err;
    }
  }
}

TEST_F(Cli, NewerFilesAreSavedOverOnlyWhenForced) {
  const QString file = path("w.TSF");
  ASSERT_EQ(runCli({"add", file, day(1), "Pause", "1:00"}).status, 0);
  std::string bytes = fileBytes(file);
  bytes[16] = 1; // written by 1.1.0.0
  MemoryStream(bytes).saveToFile(file);

  const CliRun refused = runCli({"add", file, day(2), "Pause", "1:00"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("a été écrit par une version plus récente du logiciel (1.1.0.0)"), std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("--force"), std::string::npos);
  EXPECT_EQ(fileBytes(file), bytes);
  EXPECT_EQ(runCli({"week", file, day(1)}).status, 0); // reading only warns

  EXPECT_EQ(runCli({"add", file, day(2), "Pause", "1:00", "--force"}).status, 0);
  EXPECT_EQ(fileBytes(file)[16], 0);
}

TEST_F(Cli, ARefusedCommandChangesNothingThroughALink) {
  ASSERT_TRUE(QFile::link(path("cible.TSF"), path("lien.TSF"))); // dangling
  const CliRun refused = runCli({"add", path("lien.TSF"), day(1), "Sieste", "1:00"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(QFileInfo(path("lien.TSF")).isSymLink());
  EXPECT_EQ(entries(dir.path()), QStringList{"lien.TSF"});

  // A successful one writes the link's target and keeps the link.
  ASSERT_EQ(runCli({"add", path("lien.TSF"), day(1), "Pause", "1:00"}).status, 0);
  ASSERT_EQ(runCli({"add", path("lien.TSF"), day(2), "Pause", "1:00"}).status, 0);
  EXPECT_TRUE(QFileInfo(path("lien.TSF")).isSymLink());
  EXPECT_EQ(entries(dir.path()), (QStringList{"cible.TSF", "lien.TSF"}));
  EXPECT_EQ(runCli({"period", path("cible.TSF"), day(1), day(2), "--csv"}).out, "activity,total\nPause,2:00\n");
}

TEST_F(Cli, ReportRendersTheWeekIntoAPdfFile) {
  const QString file = path("w.TSF");
  ASSERT_EQ(runCli({"add", file, "2026-12-07", "Réunion", "1:30", "--note", "Point d'équipe\nSuite à donner"}).status, 0);
  ASSERT_EQ(runCli({"add", file, "2026-12-09", "Réunion", "2:15"}).status, 0);
  ASSERT_EQ(runCli({"add", file, "2026-12-13", "Pause", "0:45"}).status, 0);
  const std::string before = fileBytes(file);
  struct Case {
    QStringList options;
    bool landscape;
    const char* out;
    std::vector<const char*> texts;
  };
  const Case cases[] = {
      {{}, true, "Rapport hebdomadaire, Du lundi 7 décembre 2026 au dimanche 13 décembre 2026 : 1 page dans ",
       {"Du lundi 7 décembre 2026 au dimanche 13 décembre 2026", "07/12/2026", "13/12/2026", "Réunion", "Pause",
        "01:30", "02:15", "00:45", "Page N°", "Tessel — Gestion de vos rapports d'activités"}},
      {{"--notes"}, false, "Rapport hebdomadaire avec note(s), Du lundi 7 décembre 2026",
       {"lundi 7 décembre 2026", "mardi 8 décembre 2026", "dimanche 13 décembre 2026", "Durée", "Point d'équipe",
        "Suite à donner", "Aucun commentaire associe", "01:30"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    const QString pdf = path(c.landscape ? "semaine.pdf" : "notes.pdf");
    const CliRun r = runCli(QStringList{"report", file, "10/12/2026"} + c.options + QStringList{"--pdf", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out;
    const PdfFacts facts = ReadPdfFacts(pdf);
    EXPECT_EQ(facts.pages, 1);
    EXPECT_EQ(facts.landscape(), c.landscape);
    EXPECT_NEAR(std::max(facts.width, facts.height), 841.9, 0.5); // A4
    const QString text = ReadPdfText(pdf);
    for (const char* t : c.texts) EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t;
  }
  EXPECT_EQ(fileBytes(file), before);
  // Without a date, the week of today.
  EXPECT_EQ(runCli({"report", file, "--pdf", path("aujourdhui.pdf")}).status, 0);
  EXPECT_EQ(ReadPdfFacts(path("aujourdhui.pdf")).pages, 1);
}

TEST_F(Cli, RefusedReportsWriteNoPdfAndLeaveTheFileAlone) {
  const QString file = path("w.TSF");
  ASSERT_EQ(runCli({"add", file, "2026-12-07", "Pause", "1:00"}).status, 0);
  WriteDataFile(MemoryStream("pas une base"), path("faux.TSF"));
  const std::string before = fileBytes(file);
  const QString pdf = path("rapport.pdf");
  struct Case {
    QStringList args;
    const char* message;
  };
  const Case cases[] = {
      {{"report", path("absent.TSF"), "--pdf", pdf}, "absent.TSF"},
      {{"report", path("faux.TSF"), "--pdf", pdf}, "faux.TSF"},
      {{"report", file, "31/02/2026", "--pdf", pdf}, "Date incorrecte : « 31/02/2026 »"},
      {{"report", file, "--pdf", path("absent/rapport.pdf")}, "n'existe pas"},
      {{"report", file, "--pdf", file}, "ne peut pas remplacer le fichier de données"},
      {{"report", file}, "report attend"},
      {{"report", file, "--pdf"}, "--pdf attend un fichier"},
  };
  for (const Case& c : cases) {
    const CliRun r = runCli(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(QFile::exists(pdf)) << c.message;
    EXPECT_FALSE(QFile::exists(path("absent"))) << c.message;
    EXPECT_EQ(fileBytes(file), before) << c.message;
  }
}

// backups lists a file's backups, newest first, with the week total of each;
// restore puts one back, the replaced file kept among them; both name
// what they refuse.
TEST_F(Cli, BackupsAreListedAndRestored) {
  const QString file = path("sauve.TSF");
  const QString today = QDate::currentDate().toString("yyyy-MM-dd");
  const QDir folder(cliHome().filePath("data/Tessel/Tessel/backups/sauve.TSF"));
  EXPECT_EQ(runCli({"backups", file}).out.find("Aucune sauvegarde"), 0u);

  ASSERT_EQ(runCli({"add", file, today, "Pause", "1:30"}).status, 0);
  ASSERT_TRUE(folder.mkpath("."));
  ASSERT_TRUE(QFile::copy(file, folder.filePath("2024-01-05_10-00-00.TSF")));
  ASSERT_EQ(runCli({"add", file, today, "Pause", "2:45"}).status, 0);
  const std::string kept = fileBytes(folder.filePath("2024-01-05_10-00-00.TSF"));

  const CliRun listed = runCli({"backups", file});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const std::string line = listed.out.substr(listed.out.rfind("05/01/2024"));
  EXPECT_NE(line.find(" 1:30  2024-01-05_10-00-00.TSF"), std::string::npos) << listed.out;
  EXPECT_NE(line.find(" Ko"), std::string::npos) << listed.out;

  const std::string current = fileBytes(file);
  const CliRun refused = runCli({"restore", file, "2023-01-01_00-00-00.TSF"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Sauvegarde introuvable"), std::string::npos);
  {
    DocumentLock held;
    ASSERT_EQ(held.lock(file), DocumentLock::Outcome::Taken);
    const CliRun busy = runCli({"restore", file, "2024-01-05_10-00-00.TSF"});
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.err.find("rien n'a été changé"), std::string::npos);
  }
  EXPECT_EQ(fileBytes(file), current);

  const CliRun restored = runCli({"restore", file, "2024-01-05_10-00-00.TSF"});
  ASSERT_EQ(restored.status, 0) << restored.err;
  EXPECT_EQ(fileBytes(file), kept);
  const QStringList names = folder.entryList(QDir::Files);
  ASSERT_EQ(names.size(), 2);
  EXPECT_EQ(fileBytes(folder.filePath(names.last())), current);
  EXPECT_NE(runCli({"week", file}).out.find("1:30"), std::string::npos);
}

// validate closes a week: add then refuses its times until --reopen.
TEST_F(Cli, AValidatedWeekRefusesNewTimesUntilReopened) {
  const QString file = path("v.TSF");
  ASSERT_EQ(runCli({"add", file, "2026-12-07", "Pause", "1:00"}).status, 0);
  ASSERT_EQ(runCli({"add", file, "2026-12-14", "Pause", "1:00"}).status, 0);
  const CliRun validated = runCli({"validate", file, "2026-12-09"});
  ASSERT_EQ(validated.status, 0) << validated.err;
  EXPECT_EQ(validated.out, "La semaine du lundi 07/12/2026 est validée (1 durée(s)).\n");

  const std::string before = fileBytes(file);
  const char* refusal = "La semaine du lundi 07/12/2026 est validée : rouvrez-la pour la modifier.";
  struct Case {
    QStringList args;
    const char* message;
  };
  const Case cases[] = {
      {{"add", file, "2026-12-08", "Réunion", "1:00"}, refusal},
      {{"add", file, "2026-12-07", "Pause", "2:00"}, refusal},
      {{"add", file, "2026-12-07", "Pause", "1:00"}, refusal}, // even the time it holds
      {{"add", file, "2026-12-07", "Pause", "0:00"}, refusal},
      {{"validate", file, "2026-12-21"}, "La semaine du lundi 21/12/2026 n'a aucune durée : il n'y a rien à valider."},
      {{"validate", path("absent.TSF"), "2026-12-21"}, "absent.TSF"},
      {{"validate", file}, "validate attend"},
      {{"validate", file, "2026-12-07", "--wait", "jamais"}, "--wait attend"},
  };
  for (const Case& c : cases) {
    const CliRun r = runCli(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(file), before) << c.message;
  }
  EXPECT_FALSE(QFile::exists(path("absent.TSF")));
  // The week after is open.
  EXPECT_EQ(runCli({"add", file, "2026-12-15", "Pause", "1:00"}).status, 0);

  EXPECT_EQ(runCli({"validate", file, "2026-12-07"}).out, "La semaine du lundi 07/12/2026 était déjà validée.\n");
  const CliRun reopened = runCli({"validate", file, "13/12/2026", "--reopen"});
  ASSERT_EQ(reopened.status, 0) << reopened.err;
  EXPECT_EQ(reopened.out, "La semaine du lundi 07/12/2026 est rouverte (1 durée(s)).\n");
  EXPECT_EQ(runCli({"validate", file, "2026-12-07", "--reopen"}).out,
            "La semaine du lundi 07/12/2026 n'était pas validée.\n");
  EXPECT_EQ(runCli({"add", file, "2026-12-08", "Réunion", "1:00"}).status, 0);
  EXPECT_EQ(runCli({"check", file}).out, "Aucune erreur\n");
}

// import reads what week --csv writes, and the one-line-per-time layout; a
// bad line refuses the whole file.
TEST_F(Cli, AnExportedWeekImportedIntoAFreshFileIsTheSameWeek) {
  const QString file = path("source.TSF");
  const char* entries[][3] = {
      {"2026-12-07", "Réunion", "1:30"}, {"2026-12-08", "Pause", "0:45"}, {"2026-12-13", "Administration", "23:59"},
      {"2026-12-09", "Réunion", "2:05"}, {"2026-12-10", "Rédaction", "10:00"},
  };
  for (const auto& e : entries) ASSERT_EQ(runCli({"add", file, e[0], e[1], e[2]}).status, 0) << e[0];
  const CliRun exported = runCli({"week", file, "2026-12-07", "--csv"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  MemoryStream(exported.out).saveToFile(path("semaine.csv"));

  const CliRun imported = runCli({"import", path("copie.TSF"), path("semaine.csv")});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "5 durée(s) importée(s).\n");
  EXPECT_EQ(runCli({"week", path("copie.TSF"), "2026-12-07", "--csv"}).out, exported.out);

  // One line per time, with a spreadsheet's header, CRLF and a new category.
  MemoryStream("\xEF\xBB\xBF" "Date;Activité;Durée;Commentaire\r\n14/12/2026;Sport;1:00;Piscine\r\n"
               "2026-12-15;Pause;0:30\r\n")
      .saveToFile(path("lignes.csv"));
  const CliRun lines = runCli({"import", path("copie.TSF"), path("lignes.csv")});
  ASSERT_EQ(lines.status, 0) << lines.err;
  EXPECT_EQ(lines.out, "2 durée(s) importée(s) ; catégorie(s) créée(s) : Sport.\n");
  EXPECT_EQ(runCli({"week", path("copie.TSF"), "2026-12-14", "--csv"}).out,
            "activity,2026-12-14,2026-12-15,2026-12-16,2026-12-17,2026-12-18,2026-12-19,2026-12-20,total\n"
            "Sport,1:00,,,,,,,1:00\nPause,,0:30,,,,,,0:30\nTOTAL,1:00,0:30,0:00,0:00,0:00,0:00,0:00,1:30\n");
  EXPECT_NE(runCli({"notes", path("copie.TSF")}).out.find("Piscine"), std::string::npos);
  EXPECT_EQ(runCli({"check", path("copie.TSF")}).out, "Aucune erreur\n");
}

TEST_F(Cli, AnImportWithABadLineChangesNothing) {
  const QString file = path("i.TSF");
  ASSERT_EQ(runCli({"add", file, "2026-12-07", "Pause", "1:00"}).status, 0);
  ASSERT_EQ(runCli({"add", file, "2026-12-21", "Pause", "1:00"}).status, 0);
  ASSERT_EQ(runCli({"validate", file, "2026-12-21"}).status, 0);
  const std::string before = fileBytes(file);
  struct Case {
    const char* csv;
    const char* message;
    bool anywhere; // refused by a fresh file too
  };
  const Case cases[] = {
      {"date,activity,duration\n2026-12-08,Sport,1:00\n2026-12-09,Pause,1:00\n2026-12-10,Pause,9h\n",
       "ligne 4 : durée incorrecte « 9h » (attendu HH:MM, au plus 23:59)", true},
      {"2026-12-08,Sport,1:00\r\n2026-12-22,Pause,1:00\r\n",
       "ligne 2 : La semaine du lundi 21/12/2026 est validée : rouvrez-la pour la modifier.", false},
      {"activity,2026-12-07,2026-12-08,total\nSport,1:00,,1:00\nPause,,25:00,25:00\n",
       "ligne 3 : durée incorrecte « 25:00 » (attendu HH:MM, au plus 23:59)", true},
  };
  for (const Case& c : cases) {
    MemoryStream(c.csv).saveToFile(path("mauvais.csv"));
    for (const QString& target : c.anywhere ? QStringList{file, path("neuf.TSF")} : QStringList{file}) {
      const CliRun r = runCli({"import", target, path("mauvais.csv")});
      EXPECT_EQ(r.status, 1) << c.message;
      EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(fileBytes(file), before) << c.message;
    EXPECT_FALSE(QFile::exists(path("neuf.TSF"))) << c.message;
  }
  const CliRun missing = runCli({"import", file, path("absent.csv")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Impossible de lire « " + path("absent.csv").toStdString()), std::string::npos) << missing.err;
  EXPECT_EQ(runCli({"import", file}).status, 1);
  EXPECT_EQ(fileBytes(file), before);
}

// The timer lives in the user's settings, so a later command stops what an
// earlier one started.
TEST_F(Cli, TheTimerRunsFromOneCommandToTheNext) {
  const QString file = path("t.TSF");
  const QString today = QDate::currentDate().toString("yyyy-MM-dd");
  ASSERT_EQ(runCli({"add", file, today, "Pause", "1:00"}).status, 0);
  EXPECT_EQ(runCli({"timer", file, "status"}).out, "Aucun chronomètre ne tourne.\n");
  const CliRun started = runCli({"timer", file, "start", "pause"});
  ASSERT_EQ(started.status, 0) << started.err;
  EXPECT_EQ(started.out, "Chronomètre démarré pour « Pause ».\n");
  const CliRun status = runCli({"timer", file, "status"});
  EXPECT_EQ(status.out.find("Chronomètre « Pause » depuis le "), 0u) << status.out;
  EXPECT_NE(status.out.find(file.toStdString()), std::string::npos) << status.out;
  EXPECT_EQ(runCli({"timer", path("autre.TSF"), "status"}).out.find("Chronomètre d'un autre document : "), 0u);

  const std::string before = fileBytes(file);
  const CliRun refused = runCli({"timer", file, "start", "Réunion"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("relancez avec --yes pour le remplacer"), std::string::npos) << refused.err;
  EXPECT_EQ(runCli({"timer", file, "start", "Sieste", "--yes"}).status, 1); // an unknown category
  EXPECT_EQ(runCli({"timer", file, "stop", "now"}).status, 1);
  EXPECT_EQ(runCli({"timer", path("autre.TSF"), "stop"}).status, 1);
  EXPECT_EQ(fileBytes(file), before);
  EXPECT_NE(runCli({"timer", file, "status"}).out.find("« Pause »"), std::string::npos);

  const CliRun replaced = runCli({"timer", file, "start", "Réunion", "--yes"});
  ASSERT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_NE(replaced.out.find("Chronomètre démarré pour « Réunion »."), std::string::npos);
  const CliRun stopped = runCli({"timer", file, "stop"});
  ASSERT_EQ(stopped.status, 0) << stopped.err;
  EXPECT_EQ(stopped.out, "Chronomètre arrêté : 0:00 ajoutée(s).\n");
  EXPECT_EQ(runCli({"timer", file, "status"}).out, "Aucun chronomètre ne tourne.\n");
  EXPECT_EQ(runCli({"timer", file, "stop"}).status, 1);

  // Not in a validated week.
  ASSERT_EQ(runCli({"validate", file, today}).status, 0);
  const CliRun closed = runCli({"timer", file, "start", "Pause"});
  EXPECT_EQ(closed.status, 1);
  EXPECT_NE(closed.err.find("est validée : rouvrez-la pour la modifier."), std::string::npos) << closed.err;
  EXPECT_EQ(runCli({"timer", file, "status"}).out, "Aucun chronomètre ne tourne.\n");
}

TEST_F(Cli, UsageNamesTheRoutineCommands) {
  const CliRun help = runCli({"--help"});
  for (const char* line : {"  validate FICHIER DATE [--reopen] [--wait SECONDES]\n",
                           "  import FICHIER DONNEES.csv [--wait SECONDES]\n",
                           "  timer FICHIER start CATEGORIE | stop | status [--yes]\n"})
    EXPECT_NE(help.out.find(line), std::string::npos) << line;
}
