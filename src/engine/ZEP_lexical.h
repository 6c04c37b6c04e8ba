#pragma once
// The lexical analyser: a letter tree turned into an automaton. Words of the
// language are inserted from the root; hand-built loops of letter sets read
// identifiers, numbers, separators and delimited texts. Every word found
// becomes a word entity of a syntax table, linked to its lexical entry.

#include "engine/ZEP_Tables.h"
#include "engine/ZEP_arbre.h"

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class MNoeud_arbre_lexical : public MNoeud_arbre {
public:
  using MNoeud_arbre::MNoeud_arbre;
  void ecrire(MemoryStream& stream) const override;
  void lire(MemoryStream& stream) override;
};

struct Wdelimiteur {
  MNoeud_arbre* premier = nullptr;
  MNoeud_arbre* dernier = nullptr;
};

// "#" and two decimal digits stand for that character code; in separator
// strings a single final digit is allowed too ("#9", "#0").
std::string decoderCodes(std::string_view text, bool singleDigitAtEnd);

class MArbre_lexical : public MArbre {
public:
  explicit MArbre_lexical(Mtable_des_symboles& symbols);

  // A new lexical entry: (entry, mot_du_symbole, word), (entry, classe_symbole, class).
  static MEntite* creer_entree(std::string_view word, std::string_view className);

  void ajouter_mot(std::string_view word, std::string_view className);
  void ajouter_liste(const std::vector<std::string>& words, std::string_view className);
  void construire_standard(bool numbers, bool hexadecimal);
  void etendre_ensemble(MNoeud_arbre* node, const std::bitset<256>& characters);
  void ajouter_delimiteurs(const std::vector<std::string>& pairs);
  void ajouter_separateurs(const std::vector<std::string>& separators);
  // Cuts the stream (ended by one sentinel byte) into words of `table`.
  void analyser(MemoryStream& stream, Mtablo_syntaxique& table);

  bool correspond(const Mlettre* tree, const Mlettre* input) const;
  bool correspond(const Mlettre* tree, std::uint8_t ch) const;
  void setSensibleCasse(bool on) { caseSensitive_ = on; }

  MNoeud_arbre* noeud_nombre() const { return numberNode_; }
  MNoeud_arbre* boucle_identificateur() const { return identifierLoop_; }
  MNoeud_arbre* debut_identificateur() const { return identifierStart_; }
  MNoeud_arbre* debut_hexa() const { return hexStart_; }

protected:
  MNoeud_arbre* creer_noeud(Mlettre* letter) override { return new MNoeud_arbre_lexical(this, letter); }

private:
  struct Word {
    std::string text;
    MEntite* entry = nullptr;
  };
  Word scan(MemoryStream& stream);
  MEntite* classer(const std::string& text, MEntite* entry);
  MNoeud_arbre* closedSetNode(std::string_view name, MEntite* entry);

  MemoryStream* input_ = nullptr;
  Mtablo_syntaxique* target_ = nullptr;
  Mtable_des_symboles& symbols_;
  MNoeud_arbre* numberNode_ = nullptr;
  MNoeud_arbre* identifierLoop_ = nullptr;
  MNoeud_arbre* identifierStart_ = nullptr;
  MNoeud_arbre* hexStart_ = nullptr;
  bool caseSensitive_ = true;
};

} // namespace tessel
