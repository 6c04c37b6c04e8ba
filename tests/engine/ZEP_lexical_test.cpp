#include "EngineFixture.h"

#include "engine/ZEP_requete.h"
#include "foundation/Cp1252.h"

using namespace tessel;
using tessel::test::EngineTest;

namespace {

struct Word {
  std::string text;
  std::string cls; // "" when unclassified
  bool operator==(const Word&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Word& w) { return os << '[' << w.text << '|' << w.cls << ']'; }

class QueryAnalyser : public EngineTest {
protected:
  QueryAnalyser() { initialiser_requetes(); }

  std::vector<Word> analyse(std::string_view text) {
    Mparser_syntaxique& parser = *analyseur_requetes();
    parser.analyser(text);
    std::vector<Word> words;
    Mtablo_syntaxique& table = parser.tablo_syntaxique();
    for (int i = 0; i < table.nb_mots(); ++i) {
      MEntite* w = table.mot(i);
      const MEntite* entry = entree_lexicale(w);
      const MEntite* cls = entry ? entry->valeur_de(sym("classe_symbole"), 0) : nullptr;
      words.push_back({texte_mot(w), cls ? cls->nom() : ""});
    }
    return words;
  }
};

const std::string sep = "classe_separateur";
const std::string key = "classe_mots_clefs";
const std::string op = "classe_operateur";
const std::string delim = "classe_delimiteur";
const Word crlf{"\r\n", sep};

} // namespace

TEST_F(QueryAnalyser, WordsAndClasses) {
  struct Case {
    std::string text;
    std::vector<Word> words;
  };
  const Case cases[] = {
      {"REQ toto", {{"REQ", key}, {" ", sep}, {"toto", ""}, crlf}},
      {"req", {{"req", key}, crlf}},
      {"REQUETE", {{"REQUETE", ""}, crlf}},
      {"{un commentaire} A", {{"{un commentaire}", delim}, {" ", sep}, {"A", ""}, crlf}},
      {"// fin de ligne", {{"// fin de ligne\r\n", delim}}},
      {"\"a b\"", {{"\"a b\"", delim}, crlf}},
      {"2005-01-31 12:30", {{"2005-01-31", ""}, {" ", sep}, {"12:30", ""}, crlf}},
      {"<=", {{"<", ""}, {"=", op}, crlf}},
      {"A <> B", {{"A", ""}, {" ", sep}, {"<>", op}, {" ", sep}, {"B", ""}, crlf}},
      {"r1 . r2", {{"r1", ""}, {" ", sep}, {".", op}, {" ", sep}, {"r2", ""}, crlf}},
      {"_x", {{"_", ""}, {"x", ""}, crlf}},
      {std::string("date<= clé élément"_w), {{"date<=", op}, {" ", sep}, {std::string("clé"_w), ""}, {" ", sep},
                              {std::string("é"_w), ""}, {std::string("lément"_w), ""}, crlf}},
      {"", {crlf}},
      {"  \t", {{"  \t\r\n", sep}}},
  };
  for (const Case& c : cases) EXPECT_EQ(analyse(c.text), c.words) << c.text;
}

TEST_F(QueryAnalyser, OnlyTheLastTextStays) {
  analyse("REQ premier FIN");
  EXPECT_EQ(analyse("second"), (std::vector<Word>{{"second", ""}, crlf}));
}

TEST_F(QueryAnalyser, TextsClassifiedThroughASetFindTheirEntryAgain) {
  // An identifier that names a keyword's symbol is classified like the keyword.
  EXPECT_EQ(analyse("Fin"), (std::vector<Word>{{"Fin", key}, crlf}));
  // A separator text met for the first time gets its entry, then finds it.
  analyse("toto toto");
  const std::size_t before = static_cast<std::size_t>(b().triplets().count());
  analyse("toto toto");
  analyse("toto");
  EXPECT_EQ(static_cast<std::size_t>(b().triplets().count()), before);
}

TEST_F(QueryAnalyser, UnclosedDelimiterIsAReadErrorKeepingTheWordsBefore) {
  Mparser_syntaxique& parser = *analyseur_requetes();
  EXPECT_THROW(parser.analyser("A \"jamais fermé"), StreamReadError);
  EXPECT_EQ(parser.tablo_syntaxique().nb_mots(), 2);
}

using Lexer = EngineTest;

TEST_F(Lexer, HexadecimalNumbersWithTheDefaultSettings) {
  Mparser_syntaxique parser;
  parser.ajouter_separateurs({" "});
  parser.arbre_lexical().construire_standard(parser.avec_nombre, parser.avec_hexa);
  parser.construire();
  parser.analyser("$1F ");
  MEntite* w = parser.tablo_syntaxique().mot(0);
  EXPECT_EQ(texte_mot(w), "$1F");
  EXPECT_EQ(entree_lexicale(w)->valeur_de(sym("classe_symbole"), 0), sym("Classe_Hexa"));
}

TEST(CharacterCodes, HashCodesDecode) {
  EXPECT_EQ(decoderCodes("#13#10", false), "\r\n");
  EXPECT_EQ(decoderCodes("#9", true), "\t");
  EXPECT_EQ(decoderCodes("#0", true), std::string(1, '\0'));
  EXPECT_EQ(decoderCodes("#9", false), "#9");
  EXPECT_EQ(decoderCodes("a#27b", false), "a\x1b" "b");
}
