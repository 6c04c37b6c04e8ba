#include "EngineFixture.h"

#include "engine/SmallObjectPool.h"

#include <algorithm>
#include <functional>
#include <random>
#include <utility>
#include <vector>

using namespace tessel;
using tessel::test::EngineTest;

using TripleListTest = EngineTest;

// Order stays right through removals anywhere, lazy squeezing and growth.
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

// A triple is found in each of its lists by its place in the order of
// making, whatever was taken out around it before, in whatever order.
TEST_F(TripleListTest, EveryRemovalOrderFindsEachTripleInEachOfItsLists) {
  struct Case {
    const char* order;
    std::function<void(std::vector<std::size_t>&)> arrange;
  };
  const Case cases[] = {
      {"oldest first", [](std::vector<std::size_t>&) {}},
      {"newest first", [](std::vector<std::size_t>& v) { std::reverse(v.begin(), v.end()); }},
      {"from the middle out",
       [](std::vector<std::size_t>& v) {
         std::stable_sort(v.begin(), v.end(), [n = v.size()](std::size_t a, std::size_t b) {
           const auto distance = [n](std::size_t i) { return i > n / 2 ? i - n / 2 : n / 2 - i; };
           return distance(a) < distance(b);
         });
       }},
      {"shuffled", [](std::vector<std::size_t>& v) { std::shuffle(v.begin(), v.end(), std::mt19937(7)); }},
  };
  for (const Case& c : cases) {
    MEntite* s = anon();
    MEntite* shared = sym(std::string("commun_") + c.order);
    MEntite* r = rel(std::string("r_") + c.order);
    MEntite* other = rel(std::string("autre_") + c.order);
    MEntite* elsewhere = anon();
    std::vector<MTruc*> made;
    for (int i = 0; i < 300; ++i) {
      // Interleaved with triples of another relation, so no list is the same
      // as another, and now and then many triples made in between: the
      // numbers of a list are not evenly spread.
      made.push_back(b().ajouter_triplet(s, r, i % 2 ? shared : sym("v" + std::to_string(i))));
      b().ajouter_triplet(s, other, shared);
      if (i % 97 == 0)
        for (int k = 0; k < 2000; ++k) b().ajouter_triplet(elsewhere, other, sym("w"));
    }
    std::vector<std::size_t> order(made.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    c.arrange(order);
    std::vector<bool> gone(made.size(), false);
    for (std::size_t step = 0; step < order.size(); ++step) {
      const std::size_t i = order[step];
      MTruc* t = made[i];
      ASSERT_TRUE(b().triplets().holds(t)) << c.order << " step " << step;
      MTruc::detruire(t);
      gone[i] = true;
      // Now and then the whole lists are checked against what should be left.
      if (step % 37 != 0) continue;
      std::vector<MTruc*> left;
      for (std::size_t k = 0; k < made.size(); ++k)
        if (!gone[k]) left.push_back(made[k]);
      ASSERT_EQ(r->nb_usages(), static_cast<int>(left.size())) << c.order;
      for (std::size_t k = 0; k < left.size(); ++k) EXPECT_EQ(r->usage(static_cast<int>(k)), left[k]) << c.order;
    }
    EXPECT_EQ(r->nb_usages(), 0) << c.order;
    EXPECT_EQ(s->nb_fils(), 300) << c.order;
    EXPECT_EQ(shared->nb_peres(), 300) << c.order;
  }
}

// Triples made while another base was current join the same lists in the
// order they were made, and each is found again there.
TEST_F(TripleListTest, TriplesMadeUnderTwoBasesStayInOrder) {
  MEntite* s = anon();
  MEntite* r = rel("r");
  MEntite* v = sym("v");
  auto other = std::make_unique<MBC>(); // current from now on
  auto owner = [&](std::size_t i) { return i % 2 ? other.get() : base.get(); };
  std::vector<MTruc*> made;
  for (std::size_t i = 0; i < 40; ++i) {
    base_courante = owner(i);
    made.push_back(base_courante->ajouter_triplet(s, r, v));
  }
  std::vector<std::size_t> order(made.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(11));
  std::vector<MTruc*> left = made;
  for (std::size_t i : order) {
    ASSERT_TRUE(s->subjects().holds(made[i])) << i;
    base_courante = owner(i);
    MTruc::detruire(made[i]);
    std::erase(left, made[i]);
    ASSERT_EQ(s->nb_fils(), static_cast<int>(left.size()));
    for (std::size_t k = 0; k < left.size(); ++k) EXPECT_EQ(v->triplet_pere(static_cast<int>(k)), left[k]);
  }
  EXPECT_TRUE(prompts.shown.empty());
  base_courante = base.get();
}

// Blocks keep their bytes through every resize: within malloc's sizes,
// within mapped pages, and across the line between them both ways.
TEST(PoolBlocks, ResizesKeepTheContent) {
  const std::size_t small = 1000, big = 300 * 1024, bigger = 5 * 1024 * 1024;
  const std::vector<std::pair<std::size_t, std::size_t>> steps = {
      {small, 2 * small}, {small, big}, {big, bigger}, {bigger, big}, {big, small}};
  for (const auto& [from, to] : steps) {
    auto* p = static_cast<unsigned char*>(pool::allocateBlock(from));
    for (std::size_t i = 0; i < from; ++i) p[i] = static_cast<unsigned char>(i * 7);
    p = static_cast<unsigned char*>(pool::resizeBlock(p, from, to));
    bool same = true;
    for (std::size_t i = 0; i < std::min(from, to); ++i) same = same && p[i] == static_cast<unsigned char>(i * 7);
    EXPECT_TRUE(same) << from << " -> " << to;
    p[to - 1] = 1; // the whole new size is usable
    pool::releaseBlock(p, to);
  }
}

// A list that grows past the size of mapped blocks and shrinks back under it
// through removals keeps its order.
TEST_F(TripleListTest, BigListGrowsAndShrinksInOrder) {
  MEntite* r = rel("r");
  MEntite* v = sym("v");
  std::vector<MTruc*> made;
  for (int i = 0; i < 50000; ++i) made.push_back(b().ajouter_triplet(anon(), r, v));
  ASSERT_EQ(v->nb_peres(), 50000);
  for (std::size_t i = 0; i < made.size(); ++i)
    if (i % 10 != 0) MTruc::detruire(made[i]);
  ASSERT_EQ(v->nb_peres(), 5000);
  for (int i = 0; i < 5000; ++i) EXPECT_EQ(v->triplet_pere(i), made[static_cast<std::size_t>(i) * 10]);
}
