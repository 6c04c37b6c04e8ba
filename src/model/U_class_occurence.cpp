#include "model/U_class_occurence.h"

#include "foundation/F_erreur.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace tessel {

TESSEL_DEFINE_CLASS(Moccurence, Minfo_avec_temps)

namespace {

// The loaded entries by start day, kept up to date by every change.
std::unordered_map<int, std::vector<Moccurence*>>& entriesByDay() {
  static std::unordered_map<int, std::vector<Moccurence*>> days;
  return days;
}

int dayKey(TDateTime value) { return static_cast<int>(std::trunc(value)); }

} // namespace

Moccurence::Moccurence(const ClassRef& cls) : Minfo_avec_temps(cls) { index(); }

Moccurence::Moccurence(const ClassRef& cls, int index) : Minfo_avec_temps(cls, index) { this->index(); }

Moccurence::~Moccurence() { unindex(); }

Moccurence* Moccurence::CreateEntry(TDateTime day) {
  auto* entry = new Moccurence;
  entry->SetStartDate(day);
  return entry;
}

void Moccurence::index() {
  const int day = dayKey(StartDate()); // reading a broken date may index it already
  if (!registered() || indexedDay_ == day) return;
  unindex();
  entriesByDay()[day].push_back(this);
  indexedDay_ = day;
}

void Moccurence::unindex() {
  if (indexedDay_ == notIndexed) return;
  auto it = entriesByDay().find(indexedDay_);
  if (it != entriesByDay().end()) {
    std::erase(it->second, this);
    if (it->second.empty()) entriesByDay().erase(it);
  }
  indexedDay_ = notIndexed;
}

void Moccurence::dateChanged(std::string_view name) {
  if (SameText(name, "date_de_debut")) index();
}

void Moccurence::unregistered() { unindex(); }

void Moccurence::attributesRestored() { index(); }

bool Moccurence::SetTimeSpent(TDateTime day, TDateTime time) {
  // Stored times hold whole seconds: closer than half a second is the same time.
  if (std::fabs(TimeSpent() - time) < 0.5 / 86400) return false;
  SetEndDay(day);
  SetEndTimeOfDay(time);
  return true;
}

MObject_OCS* Moccurence::EntryOwner() const {
  const ObjectList owners = Storage::ReferencingObjects(entite(), nullptr);
  return owners.empty() ? nullptr : owners.front();
}

namespace {

struct DayEntry {
  int day;
  Moccurence* entry;
};

// The loaded entries of the days with their day, in the order of a walk over
// the loaded entries from the last to the first.
std::vector<DayEntry> entriesOfDays(int first, int last) {
  std::vector<DayEntry> found;
  const auto& days = entriesByDay();
  auto take = [&found](int day, const std::vector<Moccurence*>& entries) {
    for (Moccurence* e : entries) found.push_back({day, e});
  };
  if (last >= first && static_cast<std::size_t>(last - first) < days.size()) {
    for (int d = first; d <= last; ++d)
      if (auto it = days.find(d); it != days.end()) take(d, it->second);
  } else {
    for (const auto& [day, entries] : days)
      if (day >= first && day <= last) take(day, entries);
  }
  std::sort(found.begin(), found.end(), [](const DayEntry& a, const DayEntry& b) {
    return a.entry->registrationOrder() > b.entry->registrationOrder();
  });
  return found;
}

} // namespace

ObjectStrings Moccurence::EntriesOfPeriod(TDateTime first, TDateTime last) {
  ObjectStrings result;
  for (const DayEntry& e : entriesOfDays(dayKey(first), dayKey(last))) result.emplace_back(e.entry->DisplayText(), e.entry);
  return result;
}

void Moccurence::CollectPeriod(ObjectStrings& activities, ObjectStrings& entries, TDateTime first, TDateTime last) {
  activities.clear();
  entries.clear();
  // Entries share few days: each day's text is made once.
  std::unordered_map<int, std::string> dayTexts;
  for (const auto& [day, entry] : entriesOfDays(dayKey(first), dayKey(last))) {
    auto [text, fresh] = dayTexts.try_emplace(day);
    if (fresh) text->second = DateTextOf(false, day);
    entries.emplace_back(text->second, entry);
    MObject_OCS* owner = entry->EntryOwner();
    if (!owner) continue;
    const bool known = std::any_of(activities.begin(), activities.end(), [owner](const auto& a) { return a.second == owner; });
    if (!known) activities.emplace_back(owner->EntityName(), owner);
  }
}

} // namespace tessel
