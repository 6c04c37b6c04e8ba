#include "ObjectFixture.h"

#include "objects/IdentityDictionary.h"

#include <algorithm>
#include <random>

using namespace tessel;
using namespace tessel::test;

using IdentityDictionaryTest = ObjectTest;

// Every pair is found until it is taken out, whatever went before it, and
// many entries crowd the table enough to wrap around it.
TEST_F(IdentityDictionaryTest, EachPairIsFoundUntilItGoes) {
  open("a.TSF", {});
  std::vector<MObject_OCS*> objects;
  for (int i = 0; i < 3000; ++i) objects.push_back(i % 3 ? static_cast<MObject_OCS*>(new Chose) : new ChoseSpeciale);
  IdentityDictionary d;
  for (MObject_OCS* o : objects) d.put(o);
  EXPECT_EQ(d.size(), objects.size());
  std::vector<MObject_OCS*> order = objects;
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  for (std::size_t n = 0; n < order.size(); ++n) {
    MObject_OCS* gone = order[n];
    d.remove(gone->classe().name(), gone->entite());
    EXPECT_EQ(d.get(gone->classe().name(), gone->entite()), nullptr);
    if (n % 250 != 0) continue;
    for (std::size_t k = n + 1; k < order.size(); ++k)
      ASSERT_EQ(d.get(order[k]->classe().name(), order[k]->entite()), order[k]) << n;
  }
  EXPECT_EQ(d.size(), 0u);
}

// One entity under two classes is two pairs; a class name matches in any
// case; a second object of a pair takes the first one's place, and taking
// the pair out forgets it whichever object it held.
TEST_F(IdentityDictionaryTest, PairsOfOneEntity) {
  open("a.TSF", {});
  EntityRef e = b().nouvelle_entite();
  e->ajouter(b().relation("sys_racine"), b().symbole("sys_Objet_Natif"));
  e->ajouter(b().relation("sys_ID_classe"), b().symbole("sys_Chose"));
  e->ajouter(b().relation("sys_ID_classe"), b().symbole("sys_ChoseSpeciale"));
  MObject_OCS* plain = Chose::Class().CreateStored(0);
  MObject_OCS* special = ChoseSpeciale::Class().CreateStored(0);
  MObject_OCS* again = Chose::Class().CreateStored(0);
  IdentityDictionary d;
  d.put(plain);
  d.put(special);
  EXPECT_EQ(d.get("Chose", e.get()), plain);
  EXPECT_EQ(d.get("CHOSE", e.get()), plain);
  EXPECT_EQ(d.get("choseSPECIALE", e.get()), special);
  EXPECT_EQ(d.get("Autre", e.get()), nullptr);
  EXPECT_EQ(d.get("Chose", nullptr), nullptr);
  d.put(again);
  EXPECT_EQ(d.size(), 2u);
  EXPECT_EQ(d.get("Chose", e.get()), again);
  d.remove("chose", e.get());
  EXPECT_EQ(d.get("Chose", e.get()), nullptr);
  EXPECT_EQ(d.get("ChoseSpeciale", e.get()), special);
  d.clear();
  EXPECT_EQ(d.get("ChoseSpeciale", e.get()), nullptr);
}
