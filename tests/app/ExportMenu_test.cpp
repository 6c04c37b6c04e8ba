// "Fichier ▸ Exporter": each export writes what tessel-cli writes, under the
// name it suggests beside the document; giving up writes nothing, and the
// data file itself is never replaced.

#include "app/ExportMenu.h"
#include "app/U_DM_intro.h"
#include "app/U_DM_metier_tessel.h"
#include "app/U_Frame_emploi_du_temps.h"
#include "app/U_Frame_vue.h"
#include "foundation/Cp1252.h"
#include "model/DocumentManager.h"
#include "model/PeriodGrid.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/WeekCsv.h"
#include "support/RecordingPrompts.h"
#include "widgets/ScreenParts.h"

#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace tessel;
using namespace tessel::test;

namespace {

const QDate Monday(2002, 9, 2);

DocumentManager& documents() { return DocumentManager::instance(); }

QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ExportMenuTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase();
  void init();
  void cleanup();
  void cleanupTestCase();

  void eachExportWritesWhatTheToolWrites_data();
  void eachExportWritesWhatTheToolWrites();
  void givingUpOrChoosingTheDataFileWritesNothing();

private:
  QTemporaryDir home_;
  std::unique_ptr<TDM_intro> intro_;
  std::unique_ptr<TDM_metier_tessel> tessel_;
  std::unique_ptr<RecordingPrompts> prompts_;
  std::unique_ptr<QWidget> window_;
  TFrame_emploi_du_temps* timetable_ = nullptr;
  Tframe_vue* view_ = nullptr;
  ExportMenu* menu_ = nullptr;
  QString suggested_;
  QString chosen_;
  QString document_;
};

void ExportMenuTest::initTestCase() {
  qputenv("XDG_DATA_HOME", home_.filePath("data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_.filePath("config").toLocal8Bit());
  setDateLocale(QLocale(QLocale::French, QLocale::France));
  intro_ = std::make_unique<TDM_intro>();
  tessel_ = std::make_unique<TDM_metier_tessel>();
}

void ExportMenuTest::init() {
  prompts_ = std::make_unique<RecordingPrompts>();
  window_ = std::make_unique<QWidget>();
  timetable_ = new TFrame_emploi_du_temps(window_.get());
  view_ = new Tframe_vue(window_.get());
  menu_ = new ExportMenu(*timetable_, *view_, window_.get());
  menu_->chooseFile = [this](QWidget*, const QString&, const QString& suggested, const QString&) {
    suggested_ = suggested;
    return chosen_;
  };
  Storage::reset();
  documents().reset();
  Tadministration_FRAME::instance().clear();
  SetUpApplicationModel();
  documents().initialiseWorkspace = [this] {
    timetable_->initialise();
    view_->initialise();
  };
  documents().OpenDocument(QString());
  documents().AfterDocumentLoaded();
  for (auto [name, day, hours] : {std::tuple{"Pause", 0, 1}, std::tuple{"Administration", 2, 3}}) {
    auto* category = static_cast<Mcategorie*>(nullptr);
    for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
      if (static_cast<Mcategorie*>(o)->Name() == name) category = static_cast<Mcategorie*>(o);
    QVERIFY(category);
    const TDateTime date = DayOfDate(Monday.addDays(day));
    Moccurence* entry = Moccurence::CreateEntry(date);
    ActivityOfCategory(category)->AddEntry(entry);
    entry->SetTimeSpent(date, EncodeTime(hours, 0, 0));
  }
  document_ = home_.filePath("travail.TSF");
  documents().SaveAs(document_);
  timetable_->DTP_jour->setDate(Monday.addDays(3));
  view_->DTP_debut->setDate(Monday);
}

void ExportMenuTest::cleanup() {
  timetable_->finalise();
  view_->finalise();
  window_.reset();
  Storage::reset();
  documents().reset();
  prompts_.reset();
}

void ExportMenuTest::cleanupTestCase() {
  tessel_.reset();
  intro_.reset();
}

void ExportMenuTest::eachExportWritesWhatTheToolWrites_data() {
  QTest::addColumn<QString>("action");
  QTest::addColumn<QString>("name");
  QTest::newRow("week") << "Act_exporter_semaine" << "Semaine du 02-09-2002.csv";
  QTest::newRow("month") << "Act_exporter_mois" << "Vue du 02-09-2002.csv";
  QTest::newRow("report") << "Act_exporter_rapport" << "Rapport hebdomadaire du 02-09-2002.pdf";
  QTest::newRow("report with notes") << "Act_exporter_rapport_notes"
                                     << "Rapport hebdomadaire avec notes du 02-09-2002.pdf";
}

void ExportMenuTest::eachExportWritesWhatTheToolWrites() {
  QFETCH(QString, action);
  QFETCH(QString, name);
  chosen_ = home_.filePath("export-" + name);
  menu_->findChild<QAction*>(action)->trigger();
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(suggested_, home_.filePath(name));
  const QByteArray written = contentOf(chosen_);
  if (name.endsWith(".pdf")) {
    QVERIFY(written.startsWith("%PDF"));
    return;
  }
  QString expected;
  if (action == "Act_exporter_semaine") {
    expected = WeekCsv(timetable_->week());
  } else {
    PeriodGrid grid;
    grid.load(DayOfDate(Monday));
    expected = PeriodCsv(grid);
  }
  QCOMPARE(QString::fromUtf8(written), expected);
  QVERIFY(written.contains("Administration"));
}

void ExportMenuTest::givingUpOrChoosingTheDataFileWritesNothing() {
  const QByteArray data = contentOf(document_);
  const QStringList files = QDir(home_.path()).entryList(QDir::Files);
  chosen_.clear();
  menu_->Act_semaine->trigger();
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(QDir(home_.path()).entryList(QDir::Files), files);

  chosen_ = document_;
  menu_->Act_semaine->trigger();
  QCOMPARE(prompts_->shown.size(), std::size_t(1));
  QCOMPARE(prompts_->shown[0].kind, RecordingPrompts::Kind::Error);
  QCOMPARE(contentOf(document_), data);
}

QTEST_MAIN(ExportMenuTest)
#include "ExportMenu_test.moc"
