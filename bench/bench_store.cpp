// The knowledge-base store on generated workspaces of 10^4, 10^5 and 10^6 triples.

#include "WorkspaceShape.h"

#include "engine/ZEP_BDC.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace tessel;

namespace {

// One written stream per size, built once, in a child process: this process
// keeps the state of a program that has not opened anything yet.
struct Sample {
  MemoryStream stream;
  std::size_t triples = 0;
};

template <class Work>
std::string inChild(Work work) {
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const std::string out = work();
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) _exit(1);
      done += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  std::string result;
  char buffer[1 << 16];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  return result;
}

const Sample& sample(std::size_t triples) {
  static std::map<std::size_t, Sample> cache;
  auto it = cache.find(triples);
  if (it != cache.end()) return it->second;
  const std::string bytes = inChild([triples] {
    MBC base;
    bench::ShapedBase shape = bench::buildShapedBase(base, triples);
    std::string out = std::to_string(shape.triples) + "\n" + base.ecrire().bytes();
    shape = {};
    return out;
  });
  const std::size_t newline = bytes.find('\n');
  Sample s;
  s.triples = std::stoull(bytes.substr(0, newline));
  s.stream = MemoryStream(bytes.substr(newline + 1));
  return cache.emplace(triples, std::move(s)).first->second;
}

std::unique_ptr<MBC> loaded(std::size_t triples) {
  auto base = std::make_unique<MBC>();
  MemoryStream stream = sample(triples).stream;
  base->lire(stream);
  return base;
}

// Opening a file in a program that has not opened one yet: each load runs in a
// fresh child process. Also reports the memory the loaded base takes.
void Lire(benchmark::State& state) {
  const Sample& s = sample(static_cast<std::size_t>(state.range(0)));
  double bytesPerTriple = 0;
  for (auto _ : state) {
    const std::string report = inChild([&s] {
      MemoryStream stream = s.stream;
      const std::size_t before = bench::heapInUse();
      const auto start = std::chrono::steady_clock::now();
      MBC base;
      base.lire(stream);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const double bytes = static_cast<double>(bench::heapInUse() - before) / static_cast<double>(s.triples);
      return std::to_string(seconds) + " " + std::to_string(bytes);
    });
    const std::size_t space = report.find(' ');
    state.SetIterationTime(std::stod(report.substr(0, space)));
    bytesPerTriple = std::stod(report.substr(space + 1));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * s.triples));
  state.counters["triples"] = static_cast<double>(s.triples);
  state.counters["bytes_per_triple"] = bytesPerTriple;
}

// The same load repeated in one process, each into an emptied base.
void LireApresVider(benchmark::State& state) {
  const Sample& s = sample(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    MemoryStream stream = s.stream;
    auto base = std::make_unique<MBC>();
    state.ResumeTiming();
    base->lire(stream);
    state.PauseTiming();
    base.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * s.triples));
}

void Ecrire(benchmark::State& state) {
  auto base = loaded(static_cast<std::size_t>(state.range(0)));
  const std::size_t triples = static_cast<std::size_t>(base->triplets().count());
  for (auto _ : state) {
    MemoryStream out = base->ecrire();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * triples));
}

// Saving a base in which one anonymous entity that nothing reaches has many
// triples: the save leaves them all out, in time linear in their number.
void EcrireEntiteInaccessible(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  MBC base;
  EntityRef root = base.nouvelle_entite();
  root->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
  EntityRef lost = base.nouvelle_entite();
  MEntite* relation = base.relation("valeur");
  std::vector<MSymbole*> values;
  for (int k = 0; k < 1000; ++k) values.push_back(base.symbole("v" + std::to_string(k)));
  for (std::size_t i = 0; i < count; ++i) base.ajouter_triplet(lost.get(), relation, values[i % values.size()]);
  for (auto _ : state) {
    MemoryStream out = base.ecrire();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

void ChercherAttribut(benchmark::State& state) {
  auto base = loaded(static_cast<std::size_t>(state.range(0)));
  MListe<MTruc> entries = base->triplets_par_noms("sys_ID_classe", "sys_Moccurence");
  MEntite* entry = entries.Item(entries.Count() / 2)->sujet();
  MEntite* fin = base->chercher_relation("sys_nom_attribut_date_de_fin");
  for (auto _ : state) {
    MListe<MTruc> found = base->chercher_triplets(entry, fin, nullptr);
    benchmark::DoNotOptimize(found.Count());
  }
}

// The objects of a base read from a stream, as the program finds them.
std::vector<EntityRef> occurrences(MBC& base) {
  std::vector<EntityRef> found;
  for (MTruc* t : base.triplets_par_noms("sys_ID_classe", "sys_Moccurence")) found.emplace_back(t->sujet());
  return found;
}

// Once the relation lists a deletion needs are made (see PremiereSuppression).
void SupprimerObjet(benchmark::State& state) {
  auto base = loaded(static_cast<std::size_t>(state.range(0)));
  std::vector<EntityRef> victims = occurrences(*base);
  for (MEntite* relation : base->table_relations().entites()) benchmark::DoNotOptimize(relation->relations().count());
  std::size_t next = 0;
  for (auto _ : state) {
    if (next == victims.size()) state.SkipWithError("plus d'objet à supprimer");
    victims[next++]->supprimer_liens();
  }
  victims.clear();
}

// The first deletion after a read also makes the lists of the relations it
// touches, which a read leaves to be made when needed.
void PremiereSuppression(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto base = loaded(static_cast<std::size_t>(state.range(0)));
    std::vector<EntityRef> victims = occurrences(*base);
    state.ResumeTiming();
    victims.front()->supprimer_liens();
    state.PauseTiming();
    victims.clear();
    base.reset();
    state.ResumeTiming();
  }
}

void Vider(benchmark::State& state) {
  const Sample& s = sample(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto base = loaded(static_cast<std::size_t>(state.range(0)));
    state.ResumeTiming();
    base->vider();
    state.PauseTiming();
    base.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * s.triples));
}

} // namespace

BENCHMARK(Lire)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LireApresVider)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Ecrire)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(EcrireEntiteInaccessible)->Arg(10000)->Arg(80000)->Arg(2000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ChercherAttribut)->Arg(10000)->Arg(100000)->Arg(1000000);
BENCHMARK(SupprimerObjet)->Arg(10000)->Arg(100000)->Arg(1000000)->Iterations(1000);
BENCHMARK(PremiereSuppression)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Vider)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
