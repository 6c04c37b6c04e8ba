#include "WorkspaceShape.h"

#include "engine/SmallObjectPool.h"
#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dates.h"

#include <malloc.h>

#include <random>
#include <string>

namespace tessel::bench {

namespace {

std::string oid(std::mt19937_64& gen) {
  std::string id(17, '\0');
  id[0] = '>';
  for (int i = 1; i < 17; ++i) id[static_cast<std::size_t>(i)] = static_cast<char>(gen());
  return id;
}

MEntite* object(MBC& base, std::vector<EntityRef>& keep, const char* cls, std::mt19937_64& gen) {
  keep.push_back(base.nouvelle_entite());
  MEntite* e = keep.back().get();
  e->affecter(base.relation("sys_racine"), base.symbole("sys_Objet_Natif"), nullptr);
  e->affecter(base.relation("sys_ID_classe"), base.symbole(cls), nullptr);
  e->ajouter(base.relation("SYS_OID"), base.symbole(oid(gen)));
  return e;
}

} // namespace

ShapedBase buildShapedBase(MBC& base, std::size_t triples) {
  std::mt19937_64 gen(2002);
  ShapedBase shape;
  const std::size_t activityCount = 8;
  MEntite* nom = base.relation("sys_nom_attribut_nom");
  MEntite* action = base.relation("sys_nom_attribut_action");
  MEntite* debut = base.relation("sys_nom_attribut_date_de_debut");
  MEntite* fin = base.relation("sys_nom_attribut_date_de_fin");
  MEntite* contenu = base.relation("sys_nom_attribut_contenu");
  MEntite* texte = base.relation("sys_nom_attribut_Texte");
  for (std::size_t i = 0; i < activityCount; ++i) {
    MEntite* a = object(base, shape.activities, "sys_Mactivite_tessel", gen);
    a->ajouter(nom, base.symbole("Activité "_w.data() + std::to_string(i)));
  }
  const double firstDay = EncodeDate(2016, 1, 4);
  std::size_t made = base.triplets().count();
  for (std::size_t n = 0; made < triples; ++n) {
    MEntite* e = object(base, shape.entries, "sys_Moccurence", gen);
    const double day = firstDay + static_cast<double>(n / activityCount);
    e->ajouter(debut, base.symbole(DateToText(day)));
    e->ajouter(fin, base.symbole(DateToText(day + static_cast<double>(gen() % 32) / 96.0)));
    shape.activities[n % activityCount]->ajouter(action, e);
    if (n % 20 == 0) {
      std::vector<EntityRef> notes;
      MEntite* note = object(base, notes, "sys_Mcontenu", gen);
      note->ajouter(texte, base.symbole("Compte rendu " + std::to_string(n)));
      e->ajouter(contenu, note);
    }
    made = base.triplets().count();
  }
  shape.triples = made;
  return shape;
}

std::size_t heapInUse() {
  const pool::Stats pools = pool::stats();
  const struct mallinfo2 heap = mallinfo2();
  // malloc's figures hold the pool's own slabs, not what the pool maps apart.
  return heap.uordblks + heap.hblkhd - (pools.reserved - pools.mappedSlabs) + pools.inUse + pools.mappedBlocks;
}

} // namespace tessel::bench
