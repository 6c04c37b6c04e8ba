#pragma once
// Times as CSV text, UTF-8 with "\n" line ends: the week and the period view
// written as the desktop's export and the command-line tool's --csv give
// them (one code, the same files), and times read back from such a file or
// from a spreadsheet.
//
// Import reads two layouts:
// - the week's: a header "activity,<date>,...[,total]" (any name for the
//   first column, one column per day, a last "total" column ignored), then
//   one line per activity with its times per day; a "TOTAL" line is ignored;
// - one line per entry: "date,activity,duration[,comment]", with or without
//   a header line (its first field "date" or "jour").
// Dates are aaaa-mm-jj or jj/mm/aaaa, durations H:MM or HH:MM, at most 23:59.
// Fields are separated by commas, or by semicolons when the first line holds
// more of them (spreadsheets in French); quoted fields may hold separators,
// doubled quotes and line breaks. The text is UTF-8, with or without a byte
// order mark, or else Windows-1252; CRLF line ends are read as well.
//
// A file is taken whole or not at all: every line is read and checked
// against the document first, and the first bad one raises ImportError
// naming it ("ligne 7 : ..."), nothing changed. Then each time is recorded as
// typing it in the timetable does (WeekTimetable::commit): it replaces what
// the cell held, a zero time clears it, an empty cell of the week's layout
// leaves it as it is, and the lines of one activity and day add up. Cells
// are recorded from the last line up, so that a week's rows come back in the
// order of its lines. A line in a validated week is refused. Missing
// categories are made under the first category (the root of the documents
// this program makes).

#include "foundation/Errors.h"
#include "foundation/ZEP_Dates.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace tessel {

class Mcategorie;
class PeriodGrid;
class WeekTimetable;

// The shown week: "activity,<7 dates>,total", a line per row, "TOTAL,...".
QString WeekCsv(const WeekTimetable& week);
// The period view: "activity,total,<dates>", a line per row, "TOTAL,...".
QString PeriodCsv(const PeriodGrid& grid);

// "ligne N : <why>"; nothing was changed.
class ImportError : public TesselError {
public:
  ImportError(int line, const QString& why);
  int line() const { return line_; }

private:
  int line_;
};

// One time read from a file. Texts are engine texts (Windows-1252).
struct ImportedTime {
  int line = 0;              // where it was read, from 1
  TDateTime day = 0;
  std::string activity;      // a category's name
  int minutes = 0;           // 0 clears the cell
  std::string comment;       // empty: the entry keeps its note
};

struct ImportSummary {
  int times = 0;                       // cells written or cleared
  std::vector<std::string> categories; // made, in the order met
};

// The times of a file, checked for themselves (not against the document).
std::vector<ImportedTime> ReadTimesCsv(const QByteArray& data);
// Checks every time against the open document, then records them all.
ImportSummary ImportTimes(const std::vector<ImportedTime>& times);
inline ImportSummary ImportTimesCsv(const QByteArray& data) { return ImportTimes(ReadTimesCsv(data)); }

// The first category of that name, letter case aside; null when there is none.
Mcategorie* CategoryNamed(const QString& name);

} // namespace tessel
