#include "EngineFixture.h"

#include "foundation/Cp1252.h"

using namespace tessel;
using tessel::test::EngineTest;

namespace {

// Plain named entities: the table holds references and never owns them.
struct Named {
  std::vector<std::unique_ptr<MEntite>> all;
  MEntite* operator()(std::string_view name) {
    all.push_back(std::make_unique<MEntite>(name));
    return all.back().get();
  }
};

} // namespace

TEST(SymbolTable, RowsAndColumns) {
  Tdoublehash_table table(100, 50);
  struct Case {
    std::string name;
    int row;
  };
  const Case cases[] = {
      {"7abc", 7}, {"0", 0}, {"sys_ID_classe", 'S' - 65 + 10}, {"a", 10}, {"Z", 35},
      {std::string("élément"_w), 36 + 0xE9 % 64}, {std::string("ÉLÉMENT"_w), 36 + 0xC9 % 64},
      {">x", 36 + '>' % 64}, {"_", 36 + '_' % 64},
  };
  for (const Case& c : cases) EXPECT_EQ(table.ligne(c.name), c.row) << c.name;
  EXPECT_EQ(table.colonne("ab"), ('A' + 'B') % 50);
  // Only the first 20 characters count.
  EXPECT_EQ(table.colonne("abcdefghijklmnopqrstXYZ"), table.colonne("abcdefghijklmnopqrst"));
  EXPECT_THROW(Tdoublehash_table(36, 50), InternalError);
}

TEST(SymbolTable, OneEntryPerNameIgnoringAsciiCase) {
  Named named;
  Tdoublehash_table table(100, 50);
  MEntite* first = named("sys_ID_classe");
  table.inserer(first);
  table.inserer(named("SYS_ID_CLASSE"));
  table.inserer(named("Sys_Id_Classe"));
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.chercher("sYs_iD_cLaSsE"), first);
  EXPECT_EQ(table.ligne("SYS_ID_CLASSE"), table.ligne("sys_ID_classe"));
  EXPECT_EQ(table.colonne("SYS_ID_CLASSE"), table.colonne("sys_ID_classe"));

  MEntite* lower = named("élément"_w);
  MEntite* upper = named("ÉLÉMENT"_w);
  table.inserer(lower);
  table.inserer(upper);
  EXPECT_EQ(table.chercher("élément"_w), lower);
  EXPECT_EQ(table.chercher("ÉLÉMENT"_w), upper);
  EXPECT_EQ(table.chercher("éLÉMENT"_w), nullptr);

  // Names equal in their first 20 characters share a bucket and stay apart.
  MEntite* long1 = named("abcdefghijklmnopqrst_un");
  MEntite* long2 = named("abcdefghijklmnopqrst_deux");
  table.inserer(long1);
  table.inserer(long2);
  EXPECT_EQ(table.chercher("ABCDEFGHIJKLMNOPQRST_UN"), long1);
  EXPECT_EQ(table.chercher("abcdefghijklmnopqrst_deux"), long2);
  EXPECT_EQ(table.bucket(table.ligne("abcdefghijklmnopqrst_un"), table.colonne("abcdefghijklmnopqrst_un")).size(), 2u);

  table.enlever(named("sys_id_classe")); // another entity of that name: nothing happens
  EXPECT_EQ(table.chercher("sys_ID_classe"), first);
  table.enlever(first);
  EXPECT_EQ(table.chercher("sys_ID_classe"), nullptr);
}

TEST(SymbolTable, BucketsKeepTheMostRecentlyFoundFirst) {
  Named named;
  Tdoublehash_table table(100, 50);
  // Same first letter and same character sum: one bucket.
  MEntite* m1 = named("adb");
  MEntite* m2 = named("abd");
  MEntite* m3 = named("acc");
  MEntite* other = named("ba"); // row B
  for (MEntite* e : {m1, m2, m3, other}) table.inserer(e);
  table.inserer(named("ADB")); // refused: the bucket has that name
  EXPECT_EQ(table.count(), 4);
  const int row = table.ligne("adb"), col = table.colonne("adb");
  ASSERT_EQ(table.colonne("abd"), col);
  ASSERT_EQ(table.colonne("acc"), col);
  EXPECT_EQ(table.bucket(row, col), (std::vector<MEntite*>{m3, m2, m1}));
  EXPECT_EQ(table.chercher("ADB"), m1); // the third entry comes first...
  EXPECT_EQ(table.bucket(row, col), (std::vector<MEntite*>{m1, m3, m2})); // ...the others keep their order
  EXPECT_EQ(table.chercher("adb"), m1);
  EXPECT_EQ(table.bucket(row, col), (std::vector<MEntite*>{m1, m3, m2}));
  // Entries: rows and columns ascending, each bucket from its last entry to its first.
  const MListe<MEntite> entries = table.entrees();
  EXPECT_EQ(std::vector<MEntite*>(entries.begin(), entries.end()), (std::vector<MEntite*>{m2, m3, m1, other}));
  // When the stamps' clock runs out, they are numbered again in their order.
  table.setClock(UINT32_MAX - 1);
  EXPECT_EQ(table.chercher("acc"), m3); // the last stamp
  EXPECT_EQ(table.bucket(row, col), (std::vector<MEntite*>{m3, m1, m2}));
  EXPECT_EQ(table.chercher("abd"), m2); // after the new numbering
  EXPECT_EQ(table.bucket(row, col), (std::vector<MEntite*>{m2, m3, m1}));
  table.vider();
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(table.chercher("adb"), nullptr);
}

TEST(SymbolTable, ManyNamesInOneBucketStayFast) {
  Named named;
  Tdoublehash_table table(100, 50);
  // Object identifiers all start with ">": one row, thousands per bucket.
  for (int i = 0; i < 20000; ++i) table.inserer(named(">" + std::to_string(i)));
  EXPECT_EQ(table.count(), 20000);
  for (int i = 0; i < 20000; i += 97) EXPECT_NE(table.chercher(">" + std::to_string(i)), nullptr);
  for (int i = 0; i < 20000; i += 2) table.enlever(table.chercher(">" + std::to_string(i)));
  EXPECT_EQ(table.count(), 10000);
  EXPECT_EQ(table.chercher(">4"), nullptr);
  EXPECT_NE(table.chercher(">5"), nullptr);
}

using SyntaxTable = EngineTest;

TEST_F(SyntaxTable, WordsAreNumberedFromZeroAfterCreationAndAfterVider) {
  Mtablo_syntaxique table("tablo");
  EXPECT_EQ(table.nb_mots(), 1);
  table.ajouter_mot(Mmot::creer(nullptr, "premier"));
  table.ajouter_mot(Mmot::creer(sym("entrée"_w), "second"));
  EXPECT_EQ(texte_mot(table.mot(0)), "premier");
  EXPECT_EQ(entree_lexicale(table.mot(1)), sym("entrée"_w));
  EXPECT_EQ(entree_lexicale(table.mot(0)), nullptr);
  int cursor = 0;
  EXPECT_EQ(texte_mot(table.mot_suivant(cursor)), "second");
  EXPECT_EQ(cursor, 1);
  table.vider();
  EXPECT_EQ(table.nb_mots(), 0);
  table.ajouter_mot(Mmot::creer(nullptr, "après"_w));
  EXPECT_EQ(texte_mot(table.mot(0)), "après"_w);
  EXPECT_EQ(table.nb_mots(), 1);
  // Only the model name, the array's type triple and the live word remain.
  EXPECT_EQ(table.triplets().count(), 4);
  EXPECT_TRUE(prompts.shown.empty());
}
