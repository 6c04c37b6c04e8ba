#include "model/WeekTimetable.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/WeekValidation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessel {

void WeekTimetable::load(TDateTime day) {
  monday_ = MondayOf(day);
  ObjectStrings activities, entries;
  Moccurence::CollectPeriod(activities, entries, monday_, monday_ + 6);
  rows_.clear();
  for (const auto& [name, owner] : activities) rows_.push_back(owner);
  slots_.clear();
  for (const auto& [text, entry] : entries) slots_.push_back(static_cast<Moccurence*>(entry));
  fillValues();
}

std::string WeekTimetable::title() const {
  return "Du lundi " + DateTextOf(false, monday_) + " au dimanche " + DateTextOf(false, monday_ + 6);
}

int WeekTimetable::rowOf(const MObject_OCS* activity) const {
  const auto it = std::find(rows_.begin(), rows_.end(), activity);
  return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

Mcategorie* WeekTimetable::category(int row) const { return CategoryOf(activity(row)); }

Moccurence*& WeekTimetable::cell(int row, int day) {
  return cells_.at(static_cast<std::size_t>(row) * days + static_cast<std::size_t>(day));
}

Moccurence* WeekTimetable::cell(int row, int day) const {
  return cells_.at(static_cast<std::size_t>(row) * days + static_cast<std::size_t>(day));
}

void WeekTimetable::fillValues() {
  cells_.assign(rows_.size() * days, nullptr);
  for (auto it = slots_.rbegin(); it != slots_.rend(); ++it) {
    Moccurence* entry = *it;
    if (!entry) continue;
    const int column = static_cast<int>(std::trunc(entry->StartDate()) - monday_);
    const int row = rowOf(entry->EntryOwner());
    if (row < 0 || column < 0 || column >= days) continue;
    cell(row, column) = entry;
  }
}

std::string WeekTimetable::cellText(int row, int day) const {
  const Moccurence* entry = cell(row, day);
  return entry ? timeText(entry->TimeSpent()) : std::string();
}

bool WeekTimetable::isFreeTextRow(const MObject_OCS* activity) {
  const auto* a = dynamic_cast<const Mabstraite_activite*>(activity);
  return a && a->Category() && SameText(a->ActivityName(), "Nombre d'heures/jour");
}

TDateTime WeekTimetable::parseTime(const std::string& text, bool freeText) {
  const std::string shown = text + ":00";
  // A number of hours alone is a whole number of hours.
  const std::string read = freeText && text.find(':') == std::string::npos ? text + ":00:00" : shown;
  try {
    return TextToTime(read);
  } catch (const ConvertError&) {
    throw ConvertError(Message("'") + shown + "' n'est pas une heure correcte", shown);
  }
}

std::string WeekTimetable::timeText(TDateTime time) {
  int h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(time, h, m, s, ms);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", h, m);
  return text;
}

bool WeekTimetable::commit(int row, int day, const std::string& text, MObject_OCS* note) {
  MObject_OCS* activity = this->activity(row);
  const TDateTime date = monday_ + day;
  Moccurence*& entry = cell(row, day);
  bool modified = false;
  if (IsNonZeroDuration(text)) {
    // The time is read before anything is made: a refused text leaves no
    // entry without duration behind.
    const TDateTime time = parseTime(text, isFreeTextRow(activity));
    const bool changes = !entry || std::fabs(entry->TimeSpent() - time) >= 0.5 / 86400 ||
                         (note && entry->EntryContent() != note);
    if (changes && validated()) throw ValidatedWeekError(monday_);
    if (!entry) {
      entry = Moccurence::CreateEntry(date);
      if (auto* owner = dynamic_cast<Mcontenu_ressources_et_temps*>(activity)) owner->AddEntry(entry);
      slots_.push_back(entry);
    }
    modified = entry->SetTimeSpent(date, time) || modified;
  } else if (entry) {
    if (validated()) throw ValidatedWeekError(monday_);
    std::replace(slots_.begin(), slots_.end(), entry, static_cast<Moccurence*>(nullptr));
    entry->Delete();
    entry = nullptr;
    modified = true;
  }
  if (note && entry && entry->EntryContent() != note) {
    entry->SetEntryContent(note);
    modified = true;
  }
  return modified;
}

bool WeekTimetable::appendRow(Mcategorie* category) {
  // Refused before the category's activity is made, which would change the document.
  if (validated()) {
    if (!rowsOfCategory(category).empty()) return false;
    throw ValidatedWeekError(monday_);
  }
  return appendActivity(ActivityOfCategory(category));
}

bool WeekTimetable::appendActivity(MObject_OCS* activity) {
  if (rowOf(activity) >= 0) return false;
  if (validated()) throw ValidatedWeekError(monday_);
  rows_.push_back(activity);
  return true;
}

bool WeekTimetable::validated() const { return IsWeekValidated(monday_); }

int WeekTimetable::addRowsOfPreviousWeek() {
  ObjectStrings activities, entries;
  Moccurence::CollectPeriod(activities, entries, monday_ - 7, monday_ - 1);
  std::vector<const MObject_OCS*> timed;
  for (const auto& [text, object] : entries) {
    const auto* entry = static_cast<const Moccurence*>(object);
    if (IsNonZeroDuration(DurationText(entry->TimeSpent()))) timed.push_back(entry->EntryOwner());
  }
  int added = 0;
  for (const auto& [name, activity] : activities)
    if (activity && std::find(timed.begin(), timed.end(), activity) != timed.end() && appendActivity(activity))
      ++added;
  if (added) fillValues();
  return added;
}

void WeekTimetable::showRows(const std::vector<MObject_OCS*>& activities) {
  std::vector<MObject_OCS*> rows;
  for (MObject_OCS* activity : activities)
    if (activity && std::find(rows.begin(), rows.end(), activity) == rows.end()) rows.push_back(activity);
  for (MObject_OCS* activity : rows_)
    if (std::find(rows.begin(), rows.end(), activity) == rows.end()) rows.push_back(activity);
  rows_ = std::move(rows);
  fillValues();
}

bool WeekTimetable::addRow(Mcategorie* category) {
  const bool added = appendRow(category);
  fillValues();
  return added;
}

int WeekTimetable::addRowsForAllCategories() {
  int added = 0;
  const ClassRef& categories = Mcategorie::Class();
  for (int i = categories.LoadedCount() - 1; i >= 1; --i)
    if (appendRow(static_cast<Mcategorie*>(categories.LoadedItem(i)))) ++added;
  fillValues();
  return added;
}

std::vector<int> WeekTimetable::rowsOfCategory(const MObject_OCS* category) const {
  std::vector<int> rows;
  for (int r = 0; r < rowCount(); ++r)
    if (category && this->category(r) == category) rows.push_back(r);
  return rows;
}

bool WeekTimetable::removeRow(int row) {
  MObject_OCS* activity = this->activity(row);
  bool timed = false;
  for (int d = 0; d < days; ++d) timed = timed || cell(row, d);
  if (timed && validated()) throw ValidatedWeekError(monday_);
  bool deleted = false;
  for (auto it = slots_.rbegin(); it != slots_.rend(); ++it) {
    if (!*it || (*it)->EntryOwner() != activity) continue;
    Moccurence* entry = *it;
    *it = nullptr;
    entry->Delete();
    deleted = true;
  }
  slots_.erase(std::remove(slots_.begin(), slots_.end(), nullptr), slots_.end());
  rows_.erase(rows_.begin() + row);
  fillValues();
  return deleted;
}

int WeekTimetable::dropRowsOfCategory(const MObject_OCS* category) {
  int dropped = 0;
  for (int r = rowCount() - 1; r >= 0; --r) {
    if (!category || this->category(r) != category) continue;
    bool timed = false;
    for (int d = 0; d < days; ++d) timed = timed || cell(r, d);
    if (timed) continue;
    rows_.erase(rows_.begin() + r);
    ++dropped;
  }
  if (dropped) fillValues();
  return dropped;
}

TDateTime WeekTimetable::rowTotal(int row) const {
  TDateTime total = 0;
  for (int d = 0; d < days; ++d)
    if (const Moccurence* e = cell(row, d)) total += e->TimeSpent();
  return total;
}

TDateTime WeekTimetable::dayTotal(int day) const {
  TDateTime total = 0;
  for (int r = 0; r < rowCount(); ++r)
    if (const Moccurence* e = cell(r, day)) total += e->TimeSpent();
  return total;
}

TDateTime WeekTimetable::weekTotal() const {
  TDateTime total = 0;
  for (int d = 0; d < days; ++d) total += dayTotal(d);
  return total;
}

} // namespace tessel
