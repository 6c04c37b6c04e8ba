#pragma once
// The configurable front end of the engine's languages: word lists, the
// lexical analyser built from them, and the analysis of a text into the
// classified words of a syntax table.

#include "engine/ZEP_Tables.h"
#include "engine/ZEP_lexical.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class Mparser_syntaxique {
public:
  Mparser_syntaxique();
  ~Mparser_syntaxique();
  Mparser_syntaxique(const Mparser_syntaxique&) = delete;
  Mparser_syntaxique& operator=(const Mparser_syntaxique&) = delete;

  void ajouter_mots_clefs(const std::vector<std::string>& words);
  void ajouter_operateurs(const std::vector<std::string>& words);
  void ajouter_separateurs(const std::vector<std::string>& words);
  void ajouter_delimiteurs(const std::vector<std::string>& words);
  void construire();
  void analyser(std::string_view text);

  MemoryStream Mem_fichier_entree;
  std::string nom_fichier_entree;
  MemoryStream Mem_fichier_sortie;
  std::vector<std::string> liste_mots_clefs;
  std::vector<std::string> liste_types;
  std::vector<std::string> liste_operateurs;
  std::vector<std::string> liste_separateurs;
  std::vector<std::string> liste_delimiteurs;
  std::vector<std::string> liste_patterns;
  bool avec_nombre = false;
  bool avec_hexa = true;

  MArbre_lexical& arbre_lexical() { return *lexical_; }
  MArbre_lexical& arbre_pattern() { return *patterns_; }
  Wtable_des_patterns& table_des_patterns() { return patternTable_; }
  Mtablo_syntaxique& tablo_syntaxique() { return *words_; }
  Mtablo_syntaxique& tablo_syntaxique_sortie() { return *output_; }

private:
  // Both syntax tables are workspaces of the base; the component owns them so
  // nothing is left behind when it goes.
  std::unique_ptr<Mtablo_syntaxique> words_;
  Wtable_des_patterns patternTable_;
  std::unique_ptr<MArbre_lexical> patterns_;
  std::unique_ptr<MArbre_lexical> lexical_;
  std::unique_ptr<Mtablo_syntaxique> output_;
};

} // namespace tessel
