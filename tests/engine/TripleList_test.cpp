#include "EngineFixture.h"

using namespace tessel;
using tessel::test::EngineTest;

using TripleListTest = EngineTest;

// Positions stay right through removals anywhere, lazy squeezing and growth.
TEST_F(TripleListTest, RemovalsAnywhereKeepOrderAndPositions) {
  MEntite* s = anon();
  MEntite* r = rel("r");
  std::vector<MTruc*> made;
  for (int i = 0; i < 100; ++i) made.push_back(b().ajouter_triplet(s, r, sym("v" + std::to_string(i))));
  // Remove every third triple, from the front, the middle and the back.
  std::vector<MTruc*> kept;
  for (int i = 0; i < 100; ++i) {
    if (i % 3 == 0)
      MTruc::detruire(made[static_cast<std::size_t>(i)]);
    else
      kept.push_back(made[static_cast<std::size_t>(i)]);
  }
  ASSERT_EQ(s->nb_fils(), static_cast<int>(kept.size()));
  for (int i = 0; i < s->nb_fils(); ++i) EXPECT_EQ(s->fils(i), kept[static_cast<std::size_t>(i)]);
  // After positional access squeezed the holes out, removal still finds each triple.
  for (std::size_t i = 0; i < kept.size(); i += 2) MTruc::detruire(kept[i]);
  int expected = 0;
  for (std::size_t i = 1; i < kept.size(); i += 2) EXPECT_EQ(s->fils(expected++), kept[i]);
  EXPECT_EQ(s->nb_fils(), expected);
  EXPECT_EQ(r->nb_usages(), expected);
  EXPECT_EQ(b().triplets().count(), expected);
  EXPECT_THROW(s->fils(expected), ListIndexError);
}
