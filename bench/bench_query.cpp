// Compiling and solving the object layer's class query on bases of growing size.

#include "engine/ZEP_BDC.h"
#include "engine/ZEP_requete.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace tessel;

namespace {

const char* classQuery = "REQ toto PARAMETRES A  CORPS A sys_ID_classe  sys_Mcategorie A sys_nom_attribut_couleur rouge FIN";

// `objects` objects of one class, one in ten of them red.
struct Fixture {
  explicit Fixture(int objects) : base(std::make_unique<MBC>()) {
    MEntite* racine = base->relation("sys_racine");
    MEntite* natif = base->symbole("sys_Objet_Natif");
    MEntite* classe = base->relation("sys_ID_classe");
    MEntite* categorie = base->symbole("sys_Mcategorie");
    MEntite* couleur = base->relation("sys_nom_attribut_couleur");
    for (int i = 0; i < objects; ++i) {
      EntityRef o = base->nouvelle_entite();
      o->ajouter(racine, natif);
      o->ajouter(classe, categorie);
      o->ajouter(couleur, base->symbole(i % 10 == 0 ? "rouge" : "bleu"));
      keep.push_back(o);
    }
    initialiser_requetes();
  }
  ~Fixture() {
    keep.clear();
    liberer_requetes();
  }
  std::unique_ptr<MBC> base;
  std::vector<EntityRef> keep;
};

void Compile(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Mrequete q("toto");
    q.compiler(classQuery, *f.base);
    benchmark::DoNotOptimize(q.conditions().size());
  }
}

void Solve(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  int rows = 0;
  for (auto _ : state) {
    Mrequete q("toto");
    q.compiler(classQuery, *f.base);
    Mens_solution* s = q.resoudre();
    rows = s->nb_fils();
  }
  state.counters["rows"] = rows;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(Compile)->Arg(10000)->Arg(100000);
BENCHMARK(Solve)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
