// The object base: opening 10^5 objects (read, load, schema check), saving,
// and deleting one object among them.

#include "objects/ZEP_Objet_OCS.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

using namespace tessel;

namespace {

class Article : public MObject_OCS {
  TESSEL_CLASS(Article)
public:
  explicit Article(const ClassRef& cls = Class()) : MObject_OCS(cls) {}
  Article(const ClassRef& cls, int index) : MObject_OCS(cls, index) {}
  static void DeclareAttributes(const ClassRef&, std::vector<std::string>& rows) {
    for (const char* row : {"attribut", "Nom", "1,1", "string", "", "attribut", "date_de_debut", "0,1", "date", "",
                            "attribut", "suivant", "0,1", "Article", ""})
      rows.push_back(row);
  }
};
TESSEL_DEFINE_CLASS(Article, MObject_OCS)

const QString& sampleFile(int objects) {
  static QTemporaryDir dir;
  static std::map<int, QString> files;
  auto it = files.find(objects);
  if (it != files.end()) return it->second;
  const QString path = dir.filePath(QString("objets%1.TSF").arg(objects));
  Storage::reset();
  Storage::BindStorage();
  Storage::OpenBase(path, {&Article::Class()});
  Article* previous = nullptr;
  for (int i = 0; i < objects; ++i) {
    auto* a = new Article;
    a->SetString("Nom", "article " + std::to_string(i));
    a->SetDate("date_de_debut", 40000 + i / 50);
    if (previous) a->SetObject("suivant", previous);
    previous = a;
  }
  Storage::SaveBase(path);
  Storage::reset();
  return files.emplace(objects, path).first->second;
}

void Open(benchmark::State& state) {
  const QString& file = sampleFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Storage::BindStorage();
    Storage::OpenBase(file, {&Article::Class()});
    state.PauseTiming();
    Storage::reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Save(benchmark::State& state) {
  const QString& file = sampleFile(static_cast<int>(state.range(0)));
  Storage::BindStorage();
  Storage::OpenBase(file, {&Article::Class()});
  const QString copy = file + ".copie.TSF";
  for (auto _ : state) Storage::SaveBase(copy);
  Storage::reset();
  QFile::remove(copy);
}

void DeleteOne(benchmark::State& state) {
  const QString& file = sampleFile(static_cast<int>(state.range(0)));
  Storage::BindStorage();
  Storage::OpenBase(file, {&Article::Class()});
  ObjectList all = Article::Class().LoadedObjects();
  std::size_t next = all.size() / 2;
  for (auto _ : state) {
    if (next >= all.size()) {
      state.SkipWithError("plus d'objet");
      break;
    }
    all[next++]->Delete();
  }
  Storage::reset();
}

} // namespace

BENCHMARK(Open)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Save)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteOne)->Arg(10000)->Arg(100000)->Iterations(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
