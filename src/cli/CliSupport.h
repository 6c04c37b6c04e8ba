#pragma once
// What the command-line tool's commands share.

#include "foundation/ZEP_Dates.h"

#include <QString>

#include <optional>
#include <stdexcept>
#include <vector>

namespace tessel::cli {

using Args = std::vector<QString>;

// A command used the wrong way: the usage text follows the message.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// --force: read a damaged file, save over one of a newer version.
extern bool forced;

// Opens a data file as the program does: its classes and relabelling, then
// the after-load step. A missing file is an error unless `create` is set,
// and then nothing is created until a save. A damaged file is refused
// unless `acceptDamaged` is set.
void openWorkspace(const QString& path, bool create, bool acceptDamaged);
// "yyyy-mm-dd" or "dd/mm/yyyy"; today when absent. A French error otherwise.
TDateTime parseDay(const std::optional<QString>& text);

int check(const Args& args);
int week(const Args& args);
int period(const Args& args);
int view(const Args& args);
int stats(const Args& args);
int add(const Args& args);
int validate(const Args& args);
int importCsv(const Args& args);
int timer(const Args& args);
int report(const Args& args);
int notes(const Args& args);
int backups(const Args& args);
int restore(const Args& args);

} // namespace tessel::cli
