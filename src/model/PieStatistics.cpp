#include "model/PieStatistics.h"

#include "model/U_class_abstraite_activite.h"
#include "model/U_class_occurence.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace tessel {

void PieStatistics::load(TDateTime first, TDateTime last) {
  first_ = std::trunc(first);
  last_ = std::trunc(last);
  slices_.clear();
  ObjectStrings activities, entries;
  Moccurence::CollectPeriod(activities, entries, first_, last_);
  std::unordered_map<const MObject_OCS*, std::size_t> sliceOf;
  for (const auto& [text, owner] : activities) {
    sliceOf.emplace(owner, slices_.size());
    slices_.push_back({owner, owner->DisplayText(), ShownColour(owner), 0, 0});
  }
  for (const auto& [text, object] : entries) {
    const auto* entry = static_cast<const Moccurence*>(object);
    const auto slice = sliceOf.find(entry->EntryOwner());
    // An end left before its start (an entry never given a time) adds no time.
    if (slice != sliceOf.end()) slices_[slice->second].duration += std::max(0.0, entry->Duration());
  }
  for (Slice& s : slices_) s.hours = TotalHours(s.duration);
}

std::string PieStatistics::TitleOf(TDateTime first, TDateTime last) {
  return DateTextOf(true, first) + "   -->   " + DateTextOf(true, last);
}

int PieStatistics::totalHours() const {
  int total = 0;
  for (const Slice& s : slices_) total += s.hours;
  return total;
}

double PieStatistics::percent(std::size_t slice) const {
  const int total = totalHours();
  return total > 0 ? 100.0 * slices_.at(slice).hours / total : 0.0;
}

} // namespace tessel
