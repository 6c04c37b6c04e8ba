#pragma once
// The realistic workspace of the domain benchmarks: a category tree, one
// activity per category, one entry per activity and working day over ten
// years, a note on one entry in twenty.

#include <QString>

#include <vector>

namespace tessel::bench {

// One entry: its day, its activity's number and its minutes.
struct DomainRow {
  int day;
  int activity;
  int minutes;
};

// The entries of a workspace of `activities` activities (8: about 21 000
// entries; 58: about 151 000).
std::vector<DomainRow> domainRows(int activities);

// Prepares this process for the model: settings and generated documents go
// to a private folder. Runs once.
void prepareModelProcess();

// Writes the workspace of `activities` activities to `path` (replaced) and
// answers its entries. The model is left with no document open.
std::vector<DomainRow> writeDomainWorkspace(int activities, const QString& path);

// The workspace of `activities` activities, written once per process into a
// private folder, with its entries.
struct DomainFile {
  QString path;
  std::vector<DomainRow> rows;
};
const DomainFile& domainFile(int activities);

// Opens a data file as the program does, after-load step included.
void openDomainFile(const QString& path);
void closeDomainFile();

} // namespace tessel::bench
