// The command-line tool from process start to exit on the realistic
// workspaces of bench_domain: `check` (opening as the program does, every
// schema check) and `week` (opening, then one week's timetable). Each run is a
// fresh process; "peak_MiB" is its maximum resident memory and "cpu_ms" the
// processor time it used (user and system), which a loaded machine disturbs
// less than the wall time.
//
// The workspaces are written once into TESSEL_BENCH_DATA (the build folder's
// bench-data by default) and kept there. TESSEL_CLI runs another build of the
// tool on the same files, for before-and-after figures.

#include "DomainWorkspace.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

using namespace tessel;

namespace {

QString fromEnvironment(const char* name, const char* fallback) {
  const QByteArray value = qgetenv(name);
  return QString::fromLocal8Bit(value.isEmpty() ? QByteArray(fallback) : value);
}

QString cliPath() { return fromEnvironment("TESSEL_CLI", TESSEL_CLI_PATH); }

// The workspace of `activities` activities, written on first use by a child
// process: a child started from this process counts this process's memory
// as its own until it execs, so this one stays small.
QString workspaceFile(int activities) {
  const QDir folder(fromEnvironment("TESSEL_BENCH_DATA", TESSEL_BENCH_DATA_DIR));
  const QString path = folder.filePath(QString("activites%1.TSF").arg(activities));
  if (!QFileInfo::exists(path)) {
    folder.mkpath(".");
    const pid_t pid = fork();
    if (pid == 0) {
      bench::writeDomainWorkspace(activities, path);
      _exit(0);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
      std::abort();
  }
  return path;
}

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;
  double peakBytes = 0;
  int status = -1;
};

// One process of the tool, its output thrown away.
Run runTool(const std::vector<std::string>& arguments) {
  const std::string tool = cliPath().toStdString();
  std::vector<char*> argv{const_cast<char*>(tool.c_str())};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  Run run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid) {
      run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      run.peakBytes = double(usage.ru_maxrss) * 1024;
      run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

void Command(benchmark::State& state, const std::vector<std::string>& before, const std::vector<std::string>& after) {
  const std::string file = workspaceFile(int(state.range(0))).toStdString();
  std::vector<std::string> arguments = before;
  arguments.push_back(file);
  arguments.insert(arguments.end(), after.begin(), after.end());
  double peak = 0, cpu = 0;
  for (auto _ : state) {
    const Run run = runTool(arguments);
    if (run.status != 0) {
      state.SkipWithError(("l'outil a échoué : " + cliPath().toStdString()).c_str());
      break;
    }
    state.SetIterationTime(run.seconds);
    peak = std::max(peak, run.peakBytes);
    cpu += run.cpuSeconds;
  }
  state.counters["peak_MiB"] = peak / (1 << 20);
  state.counters["cpu_ms"] = state.iterations() ? cpu * 1000 / double(state.iterations()) : 0;
  state.counters["entries"] = double(bench::domainRows(int(state.range(0))).size());
}

void Check(benchmark::State& state) { Command(state, {"check"}, {}); }
void Week(benchmark::State& state) { Command(state, {"week"}, {"2020-06-15"}); }

// 6 activities: about 15 600 entries; 58: about 151 000.
BENCHMARK(Check)->Arg(6)->Arg(58)->UseManualTime()->Iterations(3)->Repetitions(5)->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Week)->Arg(6)->Arg(58)->UseManualTime()->Iterations(3)->Repetitions(5)->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
