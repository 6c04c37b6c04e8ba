// Realistic workspaces: a category tree, one activity per category, one entry
// per activity and working day over ten years, a note on some entries. Opening as the
// program does, one week's entries through the model next to the same week
// from an indexed SQLite table, a month's period view and statistics, saving,
// finding comments, undoing and redoing a typed time, and the part of a
// recovery copy taken on the user-interface thread.
//
//   bench_domain --workspace FILE.TSF [ACTIVITIES]
// writes such a workspace (58 activities, about 151 000 entries, by default)
// instead of measuring, for trying the screens on it.

#include "DomainWorkspace.h"

#include "foundation/ZEP_Dates.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "model/NoteSearch.h"
#include "model/PeriodGrid.h"
#include "model/PieStatistics.h"
#include "model/RecoveryCopy.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "model/WeekTimetable.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tessel;

namespace {

// A week in the middle of the period.
const TDateTime WeekMonday = EncodeDate(2020, 6, 15);

using Row = bench::DomainRow;
using Workspace = bench::DomainFile;
const Workspace& workspace(int activities) { return bench::domainFile(activities); }
void open(const QString& path) { bench::openDomainFile(path); }
void close() { bench::closeDomainFile(); }

void Open(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  for (auto _ : state) {
    open(w.path);
    state.PauseTiming();
    close();
    state.ResumeTiming();
  }
  state.counters["entries"] = double(w.rows.size());
}

void Save(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  open(w.path);
  const QString copy = w.path + ".copie.TSF";
  for (auto _ : state) Storage::SaveBase(copy);
  close();
  QFile::remove(copy);
}

// What a recovery copy takes on the user-interface thread (the stream of the
// base); encrypting and writing it happen on a worker thread.
void RecoverySnapshot(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  open(w.path);
  std::size_t bytes = 0;
  for (auto _ : state) bytes = RecoveryCopy::snapshot().size();
  close();
  state.counters["stream_MB"] = double(bytes) / (1024 * 1024);
}

// A time typed again over an old entry, undone and redone: the triples go
// back into the middle of the base's list.
void UndoRedoOfATypedTime(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  EditHistory& history = EditHistory::instance();
  history.setEnabled(true);
  open(w.path);
  WeekTimetable week;
  week.load(WeekMonday);
  history.beginCommand();
  week.commit(0, 2, "7:45");
  history.describe(QStringLiteral("la saisie"));
  history.endCommand();
  for (auto _ : state) {
    history.undo();
    history.redo();
  }
  history.setEnabled(false);
  close();
}

// The same entries in SQLite: a table indexed by day.
class SqliteEntries {
public:
  explicit SqliteEntries(const std::vector<Row>& rows) {
    check(sqlite3_open(":memory:", &db_));
    exec("CREATE TABLE entries(day INTEGER, activity INTEGER, minutes INTEGER)");
    exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db_, "INSERT INTO entries VALUES(?,?,?)", -1, &insert, nullptr));
    for (const Row& r : rows) {
      sqlite3_bind_int(insert, 1, r.day);
      sqlite3_bind_int(insert, 2, r.activity);
      sqlite3_bind_int(insert, 3, r.minutes);
      if (sqlite3_step(insert) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec("COMMIT");
    exec("CREATE INDEX entries_by_day ON entries(day)");
    check(sqlite3_prepare_v2(db_, "SELECT rowid, activity, minutes FROM entries WHERE day BETWEEN ? AND ?", -1,
                             &week_, nullptr));
  }
  ~SqliteEntries() {
    sqlite3_finalize(week_);
    sqlite3_close(db_);
  }

  // The entries of the days, as the week's screen needs them.
  std::size_t week(int first, int last, std::vector<Row>& out) {
    out.clear();
    sqlite3_bind_int(week_, 1, first);
    sqlite3_bind_int(week_, 2, last);
    while (sqlite3_step(week_) == SQLITE_ROW)
      out.push_back({int(sqlite3_column_int(week_, 0)), sqlite3_column_int(week_, 1), sqlite3_column_int(week_, 2)});
    sqlite3_reset(week_);
    return out.size();
  }

private:
  void check(int status) {
    if (status != SQLITE_OK) throw std::runtime_error(db_ ? sqlite3_errmsg(db_) : "sqlite");
  }
  void exec(const char* sql) { check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }
  sqlite3* db_ = nullptr;
  sqlite3_stmt* week_ = nullptr;
};

// One week through the model and through SQLite, alternately in the same
// run; "ratio" is the model's time over SQLite's.
void WeekAgainstSqlite(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  SqliteEntries sqlite(w.rows);
  open(w.path);
  using Clock = std::chrono::steady_clock;
  Clock::duration model{}, indexed{};
  ObjectStrings activities, entries;
  std::vector<Row> rows;
  std::size_t found = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    Moccurence::CollectPeriod(activities, entries, WeekMonday, WeekMonday + 6);
    const auto t1 = Clock::now();
    found = sqlite.week(int(WeekMonday), int(WeekMonday) + 6, rows);
    const auto t2 = Clock::now();
    model += t1 - t0;
    indexed += t2 - t1;
    benchmark::DoNotOptimize(entries.data());
  }
  close();
  if (found != entries.size()) state.SkipWithError("les deux semaines diffèrent");
  const double n = double(state.iterations());
  state.counters["model_us"] = std::chrono::duration<double, std::micro>(model).count() / n;
  state.counters["sqlite_us"] = std::chrono::duration<double, std::micro>(indexed).count() / n;
  state.counters["ratio"] = double(model.count()) / double(indexed.count());
  state.counters["week_entries"] = double(entries.size());
}

// The period view's rebuild from a month's start day: the grid, every row's
// daily bar values and total, the day totals.
void PeriodView(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  open(w.path);
  PeriodGrid grid;
  int rows = 0;
  for (auto _ : state) {
    grid.load(WeekMonday);
    TDateTime sum = 0;
    for (int r = 0; r < grid.rowCount(); ++r) {
      benchmark::DoNotOptimize(grid.chartValues(r, PeriodGrid::ChartMode::Day).data());
      sum += grid.rowTotal(r);
    }
    for (int d = 0; d < PeriodGrid::days; ++d) sum += grid.dayTotal(d);
    benchmark::DoNotOptimize(sum);
    rows = grid.rowCount();
  }
  close();
  state.counters["rows"] = rows;
}

// The statistics' rebuild for a month.
void Statistics(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  open(w.path);
  PieStatistics pie;
  for (auto _ : state) {
    pie.load(WeekMonday, PeriodGrid::EndDayOf(WeekMonday));
    benchmark::DoNotOptimize(pie.slices().data());
  }
  close();
  state.counters["slices"] = double(pie.slices().size());
}

// The note search window at each showing: every comment with its title,
// the entries that carry it and its folded text.
void NoteSearchLoad(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  open(w.path);
  NoteSearch search;
  for (auto _ : state) search.load();
  state.counters["comments"] = double(search.count());
  close();
}

// One keystroke in the search field: two words over every comment.
void NoteSearchFilter(benchmark::State& state) {
  const Workspace& w = workspace(int(state.range(0)));
  open(w.path);
  NoteSearch search;
  search.load();
  std::size_t found = 0;
  for (auto _ : state) found = search.matching(u"RENDU 1234").size();
  state.counters["found"] = double(found);
  close();
}

// 6 activities over ten years: about 15 600 entries; 8: about 21 000; 58: about 151 000.
BENCHMARK(Open)->Arg(6)->Arg(8)->Arg(58)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(WeekAgainstSqlite)->Arg(8)->Arg(58)->Unit(benchmark::kMicrosecond);
BENCHMARK(PeriodView)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(Statistics)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(Save)->Arg(8)->Arg(58)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(NoteSearchLoad)->Arg(8)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(NoteSearchFilter)->Arg(8)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoRedoOfATypedTime)->Arg(8)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(RecoverySnapshot)->Arg(8)->Arg(58)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--workspace") {
    const auto rows = bench::writeDomainWorkspace(argc > 3 ? std::stoi(argv[3]) : 58, QString::fromLocal8Bit(argv[2]));
    std::printf("%s : %zu saisies\n", argv[2], rows.size());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
