// The weekly reports of one week of a realistic workspace, once the file is
// open: preparing a report (the week's entries and the report table) and
// laying out its pages, which is what the preview waits for, then also
// drawing the pages into a PDF document in memory.

#include "DomainWorkspace.h"

#include "foundation/ZEP_Dates.h"
#include "reports/U_Fenetre_Report_hebdomadaire.h"
#include "reports/U_Fenetre_Report_hebdomadaire_note.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <chrono>

using namespace tessel;
using namespace tessel::bench;

namespace {

// A week in the middle of the period.
const TDateTime WeekMonday = EncodeDate(2020, 6, 15);


template <typename Form>
void Report(benchmark::State& state, bool pdf) {
  const DomainFile& w = domainFile(int(state.range(0)));
  openDomainFile(w.path);
  std::size_t pages = 0, entries = 0;
  using Clock = std::chrono::steady_clock;
  Clock::duration preparing{}, layingOut{};
  for (auto _ : state) {
    Form form;
    const auto t0 = Clock::now();
    form.prepare(WeekMonday, WeekMonday + ReportDays - 1);
    const auto t1 = Clock::now();
    pages = form.QuickRep1.generate().size();
    layingOut += Clock::now() - t1;
    preparing += t1 - t0;
    entries = form.week().entries.size();
    if (pdf) {
      QBuffer buffer;
      buffer.open(QIODevice::WriteOnly);
      {
        QPdfWriter writer(&buffer);
        RenderPages(form.QuickRep1.pages(), form.QuickRep1, writer);
      }
      benchmark::DoNotOptimize(buffer.data().size());
    }
  }
  closeDomainFile();
  const double n = double(state.iterations());
  state.counters["prepare_ms"] = std::chrono::duration<double, std::milli>(preparing).count() / n;
  state.counters["layout_ms"] = std::chrono::duration<double, std::milli>(layingOut).count() / n;
  state.counters["pages"] = double(pages);
  state.counters["week_entries"] = double(entries);
  state.counters["workspace_entries"] = double(w.rows.size());
}

void Weekly(benchmark::State& state) { Report<TForme_report_act_hebdo>(state, false); }
void WeeklyPdf(benchmark::State& state) { Report<TForme_report_act_hebdo>(state, true); }
void WithNotes(benchmark::State& state) { Report<TForme_report_act_hebdo_note>(state, false); }
void WithNotesPdf(benchmark::State& state) { Report<TForme_report_act_hebdo_note>(state, true); }

// 58 activities over ten years: about 151 000 entries.
BENCHMARK(Weekly)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(WeeklyPdf)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(WithNotes)->Arg(58)->Unit(benchmark::kMillisecond);
BENCHMARK(WithNotesPdf)->Arg(58)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  // Laying out text takes the GUI application; no window is shown.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  setDateLocale(QLocale(QLocale::French, QLocale::France));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
