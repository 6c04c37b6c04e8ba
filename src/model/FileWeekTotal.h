#pragma once
// The week total a data file holds, read straight from its stream without
// loading it into the base: what the timetable would show under its week
// (one entry per activity and day, the last made; entries that no loaded
// object lists are not shown; entries of old files count under their
// category). It touches no engine state, so the list of backups computes it
// for every file on a worker thread while the document stays open.

#include "foundation/ZEP_Dates.h"

#include <QString>

#include <optional>
#include <string_view>

namespace tessel {

// Of the week starting on `monday`; nothing when the stream is not one.
std::optional<TDateTime> WeekTotalInStream(std::string_view stream, TDateTime monday);
// Of the file; nothing when it cannot be read.
std::optional<TDateTime> WeekTotalInFile(const QString& path, TDateTime monday);

} // namespace tessel
