#pragma once
// How the time recorded between two days was shared among the activities,
// without widgets: one slice per activity, in the order its first entry is
// met, worth the whole hours of its entries' durations. The statistics screen
// draws it as a pie; the command-line tool prints it.

#include "foundation/ZEP_Dates.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

class MObject_OCS;

class PieStatistics {
public:
  struct Slice {
    MObject_OCS* activity;
    std::string name;
    std::uint32_t colour; // 0x00BBGGRR
    TDateTime duration;   // the sum of the entries' durations
    int hours;            // its whole hours, minutes dropped
  };

  // Both days whole and included; an end before the start selects nothing.
  void load(TDateTime first, TDateTime last);
  // No slices any more (the document's objects are going); the days stay.
  void clear() { slices_.clear(); }
  TDateTime first() const { return first_; }
  TDateTime last() const { return last_; }
  // "<long first day>   -->   <long last day>".
  std::string title() const { return TitleOf(first_, last_); }
  static std::string TitleOf(TDateTime first, TDateTime last);

  const std::vector<Slice>& slices() const { return slices_; }
  int totalHours() const;
  // The slice's share of the summed whole hours, 0 when they sum to nothing.
  double percent(std::size_t slice) const;

private:
  TDateTime first_ = 0;
  TDateTime last_ = 0;
  std::vector<Slice> slices_;
};

} // namespace tessel
