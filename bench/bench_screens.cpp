// The period view and the statistics of a month of the 150 000-entry
// workspace (DomainWorkspace.h), as the user waits for them: the screen's
// rebuild from the object base, its grid, totals and chart made afresh, then
// the whole screen painted. Runs on Qt's offscreen platform.

#include "DomainWorkspace.h"

#include "app/U_Frame_statistique.h"
#include "app/U_Frame_vue.h"
#include "model/PeriodGrid.h"
#include "widgets/ScreenParts.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateEdit>
#include <QPixmap>
#include <QSignalBlocker>

using namespace tessel;

namespace {

constexpr int Activities = 58;
// A Monday in the middle of the workspace's ten years.
const TDateTime MiddleMonday = EncodeDate(2020, 6, 15);

// The screen on the month from the middle Monday, rebuilt and painted.
template <typename Screen, typename Show>
void rebuildAndPaint(benchmark::State& state, Show show) {
  bench::openDomainFile(bench::domainFile(Activities).path);
  {
    Screen screen;
    screen.resize(1500, 900);
    show(screen);
    for (auto _ : state) {
      screen.rebuild();
      benchmark::DoNotOptimize(screen.grab());
    }
  }
  bench::closeDomainFile();
}

void PeriodViewScreen(benchmark::State& state) {
  rebuildAndPaint<Tframe_vue>(state, [&state](Tframe_vue& view) {
    const QSignalBlocker quiet(view.DTP_debut);
    view.DTP_debut->setDate(DateOfDay(MiddleMonday));
    view.rebuild();
    state.counters["rows"] = view.period().rowCount();
  });
}

void StatisticsScreen(benchmark::State& state) {
  rebuildAndPaint<TFrame_Stat>(state, [&state](TFrame_Stat& stats) {
    const QSignalBlocker quietStart(stats.DTP_debut);
    const QSignalBlocker quietEnd(stats.DTP_fin);
    stats.DTP_debut->setDate(DateOfDay(MiddleMonday));
    stats.DTP_fin->setDate(DateOfDay(PeriodGrid::EndDayOf(MiddleMonday)));
    stats.rebuild();
    state.counters["slices"] = double(stats.statistics().slices().size());
  });
}

BENCHMARK(PeriodViewScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(StatisticsScreen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  setDateLocale(QLocale(QLocale::French, QLocale::France));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
