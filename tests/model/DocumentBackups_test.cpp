#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/FileAccess.h"
#include "model/DocumentBackups.h"
#include "model/FileWeekTotal.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/WeekTimetable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>

using namespace tessel;
using namespace tessel::test;

namespace {

class Backups : public ModelTest {
protected:
  Backups() { DocumentBackups::clock() = [this] { return now; }; }
  ~Backups() override { DocumentBackups::clock() = nullptr; }

  static DocumentManager& documents() { return DocumentManager::instance(); }

  // A document file of `size` bytes, different each time.
  void write(const QString& file, int size = 100) {
    ++version;
    ReplaceFile(file, std::string(std::size_t(size), char('a' + version % 26)));
  }
  std::vector<QDateTime> kept(const QString& file) {
    std::vector<QDateTime> dates;
    for (const DocumentBackup& b : DocumentBackups::list(file)) dates.push_back(b.saved);
    return dates;
  }
  Mcategorie* category(std::string_view name) {
    for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
      if (static_cast<Mcategorie*>(o)->Name() == name) return static_cast<Mcategorie*>(o);
    return nullptr;
  }

  QDateTime now{QDate(2024, 3, 1), QTime(9, 0)};
  int version = 0;
};

} // namespace

// Three saves a day for sixty days: the last twenty stay, and the newest of
// each of the last thirty days.
TEST_F(Backups, TheLastOnesAndOnePerDayStay) {
  const QString file = path("travail.TSF");
  std::vector<QDateTime> saves;
  for (int day = 0; day < 60; ++day)
    for (int hour : {9, 12, 18}) {
      now = QDateTime(QDate(2024, 3, 1).addDays(day), QTime(hour, 30));
      write(file);
      DocumentBackups::keep(file);
      saves.push_back(now);
    }
  std::vector<QDateTime> expected;
  std::set<QDate> days;
  for (auto it = saves.rbegin(); it != saves.rend(); ++it) {
    const bool recent = std::distance(saves.rbegin(), it) < 20;
    const bool newestOfDay = it->date() > now.date().addDays(-30) && days.insert(it->date()).second;
    if (recent || newestOfDay) expected.push_back(*it);
  }
  EXPECT_EQ(kept(file), expected);
  EXPECT_EQ(expected.size(), 20u + 23u); // seven days and a save in the twenty, 23 more days
  // Two saves in one second keep both.
  write(file);
  DocumentBackups::keep(file);
  write(file);
  DocumentBackups::keep(file);
  EXPECT_EQ(kept(file)[0], now);
  EXPECT_EQ(kept(file)[1], now);
  // Each document has its own backups; a missing file has nothing to keep.
  DocumentBackups::keep(path("absent.TSF"));
  EXPECT_TRUE(DocumentBackups::list(path("absent.TSF")).empty());
}

TEST_F(Backups, NeverMoreThanTheRoomAllowed) {
  struct Case {
    const char* limitMb; // as set; empty: not set
    std::size_t kept;
  };
  const Case cases[] = {{"", 6}, {"1", 2}, {"0", 0}, {"n'importe quoi", 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limitMb);
    const QString file = path(QString("f%1.TSF").arg(version));
    DocumentManager::WriteSetting("sauvegardes/taille_max_Mo", QString::fromUtf8(c.limitMb));
    for (int i = 0; i < 6; ++i) {
      now = now.addSecs(60);
      write(file, 400 * 1024);
      DocumentBackups::keep(file);
    }
    EXPECT_EQ(DocumentBackups::list(file).size(), c.kept);
  }
}

// Every save keeps the file it replaces; a fresh generated document has
// nothing to keep at its first save.
TEST_F(Backups, SavesKeepThePreviousFile) {
  openDocument("");
  documents().Save();
  const QString file = documents().CurrentFile();
  EXPECT_TRUE(DocumentBackups::list(file).empty());
  const std::string first = ReadFile(file).bytes;
  category("Pause")->SetName("Sieste");
  now = now.addSecs(3600);
  documents().Save();
  const std::vector<DocumentBackup> backups = DocumentBackups::list(file);
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(ReadFile(backups[0].path).bytes, first);
  EXPECT_EQ(backups[0].saved, now);
  EXPECT_EQ(backups[0].size, std::int64_t(first.size()));
  EXPECT_TRUE(backups[0].path.startsWith(DocumentBackups::folderOf(file)));
  EXPECT_EQ(QFileInfo(DocumentBackups::folderOf(file)).fileName(), QFileInfo(file).fileName());

  // Saving over another file keeps that one too.
  const QString other = path("autre.TSF");
  write(other);
  const std::string replaced = ReadFile(other).bytes;
  documents().SaveAs(other);
  ASSERT_EQ(DocumentBackups::list(other).size(), 1u);
  EXPECT_EQ(ReadFile(DocumentBackups::list(other)[0].path).bytes, replaced);
}

TEST_F(Backups, ABackupThatCannotBeMadeDoesNotStopTheSave) {
  openDocument("");
  documents().Save();
  const QString file = documents().CurrentFile();
  // A file where the folder of backups should go.
  QDir().mkpath(QFileInfo(DocumentBackups::folderOf(file)).path());
  write(DocumentBackups::folderOf(file));
  category("Pause")->SetName("Sieste");
  EXPECT_TRUE(documents().Save());
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, RecordingPrompts::Kind::Warning);
  EXPECT_NE(prompts.shown[0].text.find("sauvegardes"), std::string::npos);
  EXPECT_FALSE(documents().DocumentModified());
}

TEST_F(Backups, RestoringKeepsTheCurrentFile) {
  const QString file = path("travail.TSF");
  write(file);
  const std::string old = ReadFile(file).bytes;
  DocumentBackups::keep(file);
  now = now.addSecs(60);
  write(file);
  const std::string current = ReadFile(file).bytes;
  now = now.addSecs(60);
  DocumentBackups::restore(file, DocumentBackups::list(file)[0].path);
  EXPECT_EQ(ReadFile(file).bytes, old);
  const std::vector<DocumentBackup> backups = DocumentBackups::list(file);
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(ReadFile(backups[0].path).bytes, current);
  EXPECT_THROW(DocumentBackups::restore(file, path("absente.TSF")), DataFileError);
  EXPECT_EQ(ReadFile(file).bytes, old);
}

// A backup opens as a new document; the document it came from stays as it was.
TEST_F(Backups, OpenedAsANewDocument) {
  openDocument("");
  category("Pause")->SetName("Sieste");
  documents().SaveAs(path("travail.TSF"));
  const std::string content = ReadFile(path("travail.TSF")).bytes;
  documents().OpenAsNewDocument(content);
  documents().AfterDocumentLoaded();
  EXPECT_TRUE(documents().IsGeneratedDocument());
  EXPECT_NE(documents().CurrentFile(), path("travail.TSF"));
  EXPECT_NE(category("Sieste"), nullptr);
  EXPECT_EQ(ReadFile(path("travail.TSF")).bytes, content);
  // Something that is no document: said so, and a fresh document instead.
  documents().OpenAsNewDocument("pas un document");
  EXPECT_EQ(prompts.shown.back().kind, RecordingPrompts::Kind::Error);
  documents().AfterDocumentLoaded();
  EXPECT_EQ(category("Sieste"), nullptr);
}

// The week total read from a file is the timetable's: one entry per row and
// day (the last made), entries listed by nobody left out, entries of an old
// file counted under their category, other weeks left out.
TEST_F(Backups, TheWeekTotalOfAFileIsTheTimetables) {
  openDocument("");
  const TDateTime monday = at(2002, 9, 2);
  WeekTimetable week;
  week.load(monday);
  week.addRow(category("Pause"));
  week.addRow(category("Réunion"_w));
  week.commit(0, 0, "1:15");
  week.commit(0, 1, "2:00");
  week.commit(1, 1, "0:45");
  week.commit(1, 6, "3:00");
  // A second entry in a filled cell: the cell shows the last one made.
  auto* twin = Moccurence::CreateEntry(monday + 1);
  twin->SetTimeSpent(monday + 1, EncodeTime(5, 0, 0));
  ActivityOfCategory(category("Pause"))->AddEntry(twin);
  // Listed by nobody, and in another week.
  Moccurence::CreateEntry(monday + 2)->SetTimeSpent(monday + 2, EncodeTime(7, 0, 0));
  auto* later = Moccurence::CreateEntry(monday + 7);
  later->SetTimeSpent(monday + 7, EncodeTime(4, 0, 0));
  ActivityOfCategory(category("Pause"))->AddEntry(later);
  // An old file's entry, hanging on its category.
  auto* old = Moccurence::CreateEntry(monday + 3);
  old->SetTimeSpent(monday + 3, EncodeTime(1, 30, 0));
  old->SetEntryCategory(category("Administration"));
  documents().SaveAs(path("semaine.TSF"));

  const std::optional<TDateTime> read = WeekTotalInFile(path("semaine.TSF"), monday);
  ASSERT_TRUE(read);
  documents().OpenDocument(path("semaine.TSF"));
  documents().AfterDocumentLoaded();
  week.load(monday);
  EXPECT_EQ(DurationText(*read), DurationText(week.weekTotal()));
  EXPECT_EQ(DurationText(*read), "11:30");
  EXPECT_EQ(DurationText(*WeekTotalInFile(path("semaine.TSF"), monday + 7)), "4:00");
  EXPECT_FALSE(WeekTotalInFile(path("absent.TSF"), monday));
  write(path("abime.TSF"));
  EXPECT_FALSE(WeekTotalInFile(path("abime.TSF"), monday));
}
