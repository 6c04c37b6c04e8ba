#include "ModelFixture.h"

#include "foundation/FileAccess.h"
#include "foundation/ZEP_Version.h"
#include "model/EditHistory.h"
#include "model/RecoveryCopy.h"
#include "model/U_OR_class_categorie.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace tessel;
using namespace tessel::test;

namespace {

class Recovery : public ModelTest {
protected:
  Recovery() {
    EditHistory::instance().setEnabled(true);
    copies().setEnabled(true);
    openDocument("");
    documents().Save();
  }

  static RecoveryCopy& copies() { return RecoveryCopy::instance(); }
  static DocumentManager& documents() { return DocumentManager::instance(); }

  // A user's edit, as a command makes it.
  void edit(std::string_view name) {
    EditHistory::instance().beginCommand();
    static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0))->AddSubcategory(name);
    EditHistory::instance().describe("ajout");
    EditHistory::instance().endCommand();
  }
  bool copied() {
    const bool started = copies().copyNow();
    copies().waitForCopy();
    return started;
  }
  // What a copy holds, as the stream of the base it was taken from.
  static std::string payload(const QString& file) {
    MemoryStream stream;
    ReadDataFile(file, stream);
    return stream.bytes();
  }
};

} // namespace

// A copy is taken while there are changes not saved and not yet copied; it
// holds the base as it was; saving, undoing back to the saved state and
// closing take it away.
TEST_F(Recovery, CopiesFollowTheChangesNotSaved) {
  EXPECT_FALSE(copied()); // nothing to recover
  edit("Sieste");
  const std::string base = RecoveryCopy::snapshot().bytes();
  ASSERT_TRUE(copied());
  const QString copy = copies().copyPath();
  ASSERT_TRUE(QFile::exists(copy));
  EXPECT_EQ(payload(copy), base);
  EXPECT_FALSE(copied()); // nothing new since
  edit("Repos");
  EXPECT_TRUE(copied());
  EXPECT_NE(payload(copy), base);

  documents().Save();
  EXPECT_FALSE(QFile::exists(copy));
  edit("Lecture");
  EXPECT_TRUE(copied());
  EditHistory::instance().undo(); // back to what is saved
  EXPECT_FALSE(QFile::exists(copy));
  EditHistory::instance().redo();
  EXPECT_TRUE(copied());
  documents().CloseDocument();
  EXPECT_FALSE(QFile::exists(copy));
  EXPECT_TRUE(QDir(RecoveryCopy::folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// A copy whose run is gone is offered with its document and its time; the
// copy of a run that goes on, or one never finished, is not.
TEST_F(Recovery, OnlyCopiesLeftByACrashAreOffered) {
  edit("Sieste");
  ASSERT_TRUE(copied());
  EXPECT_TRUE(RecoveryCopy::leftByCrashes().empty()); // this run's own

  // A run that crashed left its copy and the note beside it, and no lock.
  const QString crashed = QDir(RecoveryCopy::folder()).filePath("perdu.TSF");
  ASSERT_TRUE(QFile::copy(copies().copyPath(), crashed));
  ReplaceFile(crashed + ".document", "/dossier/travail.TSF\n2024-05-12T14:03:00\n");
  // One that crashed before its copy was complete.
  ReplaceFile(QDir(RecoveryCopy::folder()).filePath("inacheve.TSF"), "");

  const std::vector<RecoveryCopy::Left> left = RecoveryCopy::leftByCrashes();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].copy, crashed);
  EXPECT_EQ(left[0].document, "/dossier/travail.TSF");
  EXPECT_EQ(left[0].written, QDateTime(QDate(2024, 5, 12), QTime(14, 3)));
  RecoveryCopy::remove(crashed);
  EXPECT_TRUE(RecoveryCopy::leftByCrashes().empty());
  EXPECT_FALSE(QFile::exists(crashed + ".document"));
}

TEST_F(Recovery, OffWhereNotEnabled) {
  copies().reset();
  openDocument("");
  edit("Sieste");
  EXPECT_FALSE(copied());
  EXPECT_TRUE(copies().copyPath().isEmpty());
}
