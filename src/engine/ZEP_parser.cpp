#include "engine/ZEP_parser.h"

#include "engine/ZEP_BDC.h"

namespace tessel {

Mparser_syntaxique::Mparser_syntaxique()
    : words_(std::make_unique<Mtablo_syntaxique>("tablo_parser")),
      patterns_(std::make_unique<MArbre_lexical>(base_courante->table_symboles())),
      lexical_(std::make_unique<MArbre_lexical>(base_courante->table_symboles())),
      output_(std::make_unique<Mtablo_syntaxique>("tablo_parser_sortie")) {}

Mparser_syntaxique::~Mparser_syntaxique() = default;

void Mparser_syntaxique::ajouter_mots_clefs(const std::vector<std::string>& words) {
  liste_mots_clefs.insert(liste_mots_clefs.end(), words.begin(), words.end());
}

void Mparser_syntaxique::ajouter_operateurs(const std::vector<std::string>& words) {
  liste_operateurs.insert(liste_operateurs.end(), words.begin(), words.end());
}

void Mparser_syntaxique::ajouter_separateurs(const std::vector<std::string>& words) {
  liste_separateurs.insert(liste_separateurs.end(), words.begin(), words.end());
}

void Mparser_syntaxique::ajouter_delimiteurs(const std::vector<std::string>& words) {
  liste_delimiteurs.insert(liste_delimiteurs.end(), words.begin(), words.end());
}

void Mparser_syntaxique::construire() {
  MArbre_lexical& lexical = *lexical_;
  lexical.setNoeudFinal([&lexical] { return lexical.boucle_identificateur(); });
  lexical.setLienFinal(true);
  lexical.ajouter_liste(liste_mots_clefs, "classe_mots_clefs");
  lexical.ajouter_liste(liste_types, "classe_type");
  lexical.setLienFinal(false);
  lexical.ajouter_liste(liste_operateurs, "classe_operateur");
  patterns_->setLienFinal(false);
  patterns_->ajouter_liste(liste_patterns, "classe_Pattern");
  lexical.ajouter_delimiteurs(liste_delimiteurs);
  lexical.ajouter_separateurs(liste_separateurs);
}

void Mparser_syntaxique::analyser(std::string_view text) {
  Mem_fichier_entree.clear();
  Mem_fichier_sortie.clear();
  Mem_fichier_entree.write(text);
  Mem_fichier_entree.write("\r\n");
  const char sentinel = 1;
  Mem_fichier_entree.write(&sentinel, 1);
  Mem_fichier_entree.seek(0);
  words_->vider();
  lexical_->analyser(Mem_fichier_entree, *words_);
}

} // namespace tessel
