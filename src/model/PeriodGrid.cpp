#include "model/PeriodGrid.h"

#include "foundation/Cp1252.h"
#include "model/U_class_abstraite_activite.h"
#include "model/U_class_occurence.h"

#include <cmath>
#include <unordered_map>

namespace tessel {

TDateTime PeriodGrid::EndDayOf(TDateTime start) { return DateAdd(-1, 1, 0, std::trunc(start)); }

void PeriodGrid::load(TDateTime start) {
  start_ = std::trunc(start);
  end_ = EndDayOf(start_);
  ObjectStrings activities, entries;
  Moccurence::CollectPeriod(activities, entries, start_, end_);
  rows_.clear();
  std::unordered_map<const MObject_OCS*, int> rowOf;
  for (const auto& [name, owner] : activities) {
    rowOf.emplace(owner, rowCount());
    rows_.push_back(owner);
  }
  cells_.assign(rows_.size() * days, nullptr);
  // Walked from the first loaded entry to the last, so that a cell holding
  // two entries shows the one the timetable shows.
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    auto* entry = static_cast<Moccurence*>(it->second);
    const auto row = rowOf.find(entry->EntryOwner());
    const int day = static_cast<int>(std::trunc(entry->StartDate()) - start_);
    if (row == rowOf.end() || day < 0 || day >= days) continue;
    cells_[static_cast<std::size_t>(row->second) * days + static_cast<std::size_t>(day)] = entry;
  }
}

void PeriodGrid::clear() {
  rows_.clear();
  cells_.clear();
}

std::string PeriodGrid::TitleOf(TDateTime start) {
  return "Du " + DateTextOf(true, start) + " au " + DateTextOf(true, EndDayOf(start));
}

Mcategorie* PeriodGrid::category(int row) const { return CategoryOf(activity(row)); }

std::string PeriodGrid::name(int row) const { return activity(row)->DisplayText(); }

std::uint32_t PeriodGrid::colour(int row) const { return ShownColour(activity(row)); }

TDateTime PeriodGrid::rowTotal(int row) const {
  TDateTime total = 0;
  for (int d = 0; d < days; ++d)
    if (const Moccurence* e = entry(row, d)) total += e->TimeSpent();
  return total;
}

TDateTime PeriodGrid::dayTotal(int day) const {
  TDateTime total = 0;
  for (int r = 0; r < rowCount(); ++r)
    if (const Moccurence* e = entry(r, day)) total += e->TimeSpent();
  return total;
}

TDateTime PeriodGrid::total() const {
  TDateTime all = 0;
  for (int d = 0; d < days; ++d) all += dayTotal(d);
  return all;
}

int PeriodGrid::hours(int row, int day) const {
  const Moccurence* e = entry(row, day);
  return e ? TotalHours(e->TimeSpent()) : 0;
}

std::vector<int> PeriodGrid::chartValues(int row, ChartMode mode) const {
  std::vector<int> values;
  int sum = 0;
  for (int d = 0; d < days; ++d) {
    const int h = hours(row, d);
    switch (mode) {
    case ChartMode::Day:
      values.push_back(h);
      break;
    case ChartMode::Week:
      sum += h;
      if (d % 7 == 6) {
        values.push_back(sum);
        sum = 0;
      }
      break;
    case ChartMode::Month:
      sum += h;
      break;
    }
  }
  if (mode == ChartMode::Month) values.push_back(sum);
  return values;
}

std::vector<std::string> PeriodGrid::chartLabels(ChartMode mode) const {
  std::vector<std::string> labels;
  switch (mode) {
  case ChartMode::Day:
    for (int d = 0; d < days; ++d) {
      int y = 0, m = 0, day = 0;
      DecodeDate(start_ + d, y, m, day);
      labels.push_back(std::to_string(day));
    }
    break;
  case ChartMode::Week:
    for (int w = 0; w + 7 <= days; w += 7) labels.push_back(PeriodText(start_ + w, start_ + w + 6, false, true));
    break;
  case ChartMode::Month:
    labels.push_back(title());
    break;
  }
  return labels;
}

const std::array<PeriodGrid::Move, 6>& PeriodGrid::moves() {
  static const std::array<Move, 6> all{{
      {"-1 mois", 0, -1},
      {"-1 semaine", -7, 0},
      {"-1 jour", -1, 0},
      {"+1 jour", 1, 0},
      {"+1 semaine", 7, 0},
      {"+1 mois", 0, 1},
  }};
  return all;
}

TDateTime PeriodGrid::moved(TDateTime start, const Move& move) {
  return DateAdd(move.days, move.months, 0, std::trunc(start));
}

std::string PeriodGrid::moveHint(TDateTime day) {
  return "Visualisez vos activités à partir du "_w.data() + DateTextOf(true, day);
}

} // namespace tessel
