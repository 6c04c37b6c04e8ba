// libFuzzer target: any text given to the query compiler ends in a query or
// a "Requête mal formée" error, never in a read past the end of its words.
// Small queries are solved too, on a base of a few objects.

#include "engine/SmallObjectPool.h"
#include "engine/ZEP_BDC.h"
#include "engine/ZEP_requete.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

static_assert(!tessel::pool::enabled, "the object pool hides misuse from the fuzzer");

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessel;
  // A fresh base and analyser each time, so that every byte a query leaves
  // behind is found by the leak check.
  MBC base;
  base.initialiser_symboles();
  std::vector<EntityRef> objects;
  for (const char* name : {"Pause", "Reunion", "12", "01/02/2005"}) {
    EntityRef o = base.nouvelle_entite();
    o->ajouter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"));
    o->ajouter(base.relation("sys_ID_classe"), base.symbole("sys_Mcategorie"));
    o->ajouter(base.relation("sys_nom_attribut_Nom"), base.symbole(name));
    if (!objects.empty()) o->ajouter(base.relation("sys_nom_attribut_lien"), objects.back().get());
    objects.push_back(o);
  }
  initialiser_requetes();
  {
    Mrequete query("fuzz");
    try {
      query.compiler(std::string_view(reinterpret_cast<const char*>(data), size), base);
      // Each condition may multiply the rows: only small queries are solved.
      if (query.conditions().size() <= 3) query.resoudre();
    } catch (const ListIndexError&) {
      std::abort(); // a word read past the end of the body
    } catch (const TesselError&) {
    }
  }
  for (EntityRef& o : objects) o->supprimer_liens();
  liberer_requetes();
  return 0;
}
