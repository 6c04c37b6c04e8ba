#include "DomainWorkspace.h"

#include "foundation/ZEP_Dates.h"
#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"

#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <string>

namespace tessel::bench {

namespace {

constexpr int Years = 10;
const TDateTime FirstDay = EncodeDate(2015, 1, 5); // a Monday

int minutesOf(int day, int activity) { return 15 * (1 + (day * 7 + activity * 3) % 24); }

} // namespace

std::vector<DomainRow> domainRows(int activities) {
  std::vector<DomainRow> rows;
  const int days = Years * 365 + Years / 4;
  for (int d = 0; d < days; ++d) {
    if (d % 7 >= 5) continue;
    for (int a = 0; a < activities; ++a) rows.push_back({int(FirstDay) + d, a, minutesOf(d, a)});
  }
  return rows;
}

void prepareModelProcess() {
  static const bool ready = [] {
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    SetUpApplicationModel();
    return true;
  }();
  (void)ready;
}

std::vector<DomainRow> writeDomainWorkspace(int activities, const QString& path) {
  prepareModelProcess();
  DocumentManager& documents = DocumentManager::instance();
  QFile::remove(path);
  documents.OpenDocument(path);
  documents.AfterDocumentLoaded();
  auto* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  std::vector<Mcategorie*> categories;
  for (int i = 1; i < Mcategorie::Class().LoadedCount() && int(categories.size()) < activities; ++i)
    categories.push_back(static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(i)));
  for (int i = int(categories.size()); i < activities; ++i)
    categories.push_back(root->AddSubcategory("Projet " + std::to_string(i)));
  std::vector<Mactivite_tessel*> owners;
  for (Mcategorie* c : categories) {
    owners.push_back(new Mactivite_tessel);
    owners.back()->BindCategory(c);
  }
  std::vector<DomainRow> rows = domainRows(activities);
  for (const DomainRow& r : rows) {
    const TDateTime day = r.day;
    Moccurence* entry = Moccurence::CreateEntry(day);
    entry->SetTimeSpent(day, EncodeTime(r.minutes / 60, r.minutes % 60, 0));
    owners[std::size_t(r.activity)]->AddEntry(entry);
    if ((r.day - int(FirstDay) + r.activity) % 20 == 0) {
      auto* note = new Mcontenu;
      note->SetTexte("Compte rendu du jour " + std::to_string(r.day - int(FirstDay)));
      entry->SetEntryContent(note);
    }
  }
  Storage::SaveBase(path);
  documents.CloseDocument();
  return rows;
}

const DomainFile& domainFile(int activities) {
  static QTemporaryDir dir;
  static std::map<int, DomainFile> made;
  if (auto it = made.find(activities); it != made.end()) return it->second;
  DomainFile w;
  w.path = dir.filePath(QString("activites%1.TSF").arg(activities));
  w.rows = writeDomainWorkspace(activities, w.path);
  return made.emplace(activities, std::move(w)).first->second;
}

void openDomainFile(const QString& path) {
  DocumentManager::instance().OpenDocument(path);
  DocumentManager::instance().AfterDocumentLoaded();
}

void closeDomainFile() { Storage::CloseBase(); }

} // namespace tessel::bench
