#include "DomainWorkspace.h"

#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"

#include <QTemporaryDir>

#include <map>
#include <string>

namespace tessel::bench {

const TDateTime WeekMonday = EncodeDate(2020, 6, 15);

namespace {

constexpr int Years = 10;
const TDateTime FirstDay = EncodeDate(2015, 1, 5);

DocumentManager& documents() { return DocumentManager::instance(); }

void prepareProcess() {
  static const bool ready = [] {
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    SetUpApplicationModel();
    return true;
  }();
  (void)ready;
}

} // namespace

void openWorkspace(const QString& path) {
  documents().OpenDocument(path);
  documents().AfterDocumentLoaded();
}

void closeWorkspace() { Storage::CloseBase(); }

const Workspace& workspace(int activities) {
  static QTemporaryDir dir;
  static std::map<int, Workspace> made;
  if (auto it = made.find(activities); it != made.end()) return it->second;
  prepareProcess();
  Workspace w;
  w.path = dir.filePath(QString("activites%1.TSF").arg(activities));
  openWorkspace(w.path);
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
  const int days = Years * 365 + Years / 4;
  for (int d = 0; d < days; ++d) {
    if (d % 7 >= 5) continue; // the first day is a Monday
    for (int a = 0; a < activities; ++a) {
      const TDateTime day = FirstDay + d;
      const int minutes = 15 * (1 + (d * 7 + a * 3) % 24);
      Moccurence* entry = Moccurence::CreateEntry(day);
      entry->SetTimeSpent(day, EncodeTime(minutes / 60, minutes % 60, 0));
      owners[std::size_t(a)]->AddEntry(entry);
      if ((d + a) % 20 == 0) {
        auto* note = new Mcontenu;
        note->SetTexte("Compte rendu du jour " + std::to_string(d));
        entry->SetEntryContent(note);
      }
      w.rows.push_back({int(day), a, minutes});
    }
  }
  Storage::SaveBase(w.path);
  closeWorkspace();
  return made.emplace(activities, std::move(w)).first->second;
}

} // namespace tessel::bench
