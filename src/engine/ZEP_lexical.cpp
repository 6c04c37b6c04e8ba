#include "engine/ZEP_lexical.h"

#include "engine/BaseJournal.h"
#include "engine/ZEP_BDC.h"
#include "foundation/Cp1252.h"
#include "foundation/F_erreur.h"

namespace tessel {

namespace {

MBC& base() { return *base_courante; }

} // namespace

// ---------------------------------------------------------------- nodes

void MNoeud_arbre_lexical::ecrire(MemoryStream& stream) const {
  if (lettre()) lettre()->ecrire(stream);
}

void MNoeud_arbre_lexical::lire(MemoryStream& stream) {
  auto* tree = static_cast<MArbre*>(graphe());
  letter_ = tree->nouvelle_lettre(stream.readByte());
}

std::string decoderCodes(std::string_view text, bool singleDigitAtEnd) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto digit = [&](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
    if (text[i] == '#' && digit(i + 1) && digit(i + 2)) {
      out += static_cast<char>((text[i + 1] - '0') * 10 + (text[i + 2] - '0'));
      i += 2;
    } else if (text[i] == '#' && singleDigitAtEnd && digit(i + 1) && i + 2 == text.size()) {
      out += static_cast<char>(text[i + 1] - '0');
      i += 1;
    } else {
      out += text[i];
    }
  }
  return out;
}

// ---------------------------------------------------------------- MArbre_lexical

MArbre_lexical::MArbre_lexical(Mtable_des_symboles& symbols) : symbols_(symbols) {
  setCorrespondance([this](const Mlettre* tree, const Mlettre* input) { return correspond(tree, input); });
  setSurCorrespondance([](Mlettre* tree, const Mlettre* input) {
    if (input->entree()) tree->setEntree(input->entree());
  });
}

MEntite* MArbre_lexical::creer_entree(std::string_view word, std::string_view className) {
  MBC& b = base();
  // The analyser's own entries, not an edit of the document.
  JournalPause pause(b);
  EntityRef entry = b.nouvelle_entite();
  entry->ajouter(b.symbole("mot_du_symbole"), b.symbole(word));
  entry->ajouter(b.symbole("classe_symbole"), b.symbole(className));
  return entry.get(); // kept alive by its two triples
}

bool MArbre_lexical::correspond(const Mlettre* tree, std::uint8_t ch) const {
  if (!tree) return false;
  if (tree->estEnsemble()) return static_cast<const Mensemble_lettre*>(tree)->contient(ch);
  if (!caseSensitive_ && ch >= 'a' && ch <= 'z') return tree->lettre() == ch - 32;
  return tree->lettre() == ch;
}

bool MArbre_lexical::correspond(const Mlettre* tree, const Mlettre* input) const {
  return input && correspond(tree, input->lettre());
}

void MArbre_lexical::ajouter_mot(std::string_view word, std::string_view className) {
  if (word.empty()) return;
  const std::string upper = UpperAsciiText(word);
  std::vector<Mlettre*> letters;
  for (char c : upper) letters.push_back(nouvelle_lettre(static_cast<std::uint8_t>(c)));
  letters.back()->setEntree(creer_entree(upper, className));
  inserer_mot(letters);
}

void MArbre_lexical::ajouter_liste(const std::vector<std::string>& words, std::string_view className) {
  for (auto it = words.rbegin(); it != words.rend(); ++it)
    if (!it->empty()) ajouter_mot(*it, className);
}

MNoeud_arbre* MArbre_lexical::closedSetNode(std::string_view name, MEntite* entry) {
  MNoeud_arbre* node = nouveau_noeud(nouvel_ensemble(name, entry));
  node->setFerme(true);
  return node;
}

void MArbre_lexical::construire_standard(bool numbers, bool hexadecimal) {
  if (numbers) {
    MNoeud_arbre* n = closedSetNode("0..9 <--> .eE", creer_entree("Les Nombres", "Classe_Nombre"));
    static_cast<Mensemble_lettre*>(n->lettre())->ajouterIntervalle('0', '9');
    MNoeud_arbre* e = closedSetNode(".eE", nullptr);
    static_cast<Mensemble_lettre*>(e->lettre())->ajouter(".Ee");
    creer_arc(racine(), n, nullptr);
    creer_arc(n, n, nullptr);
    creer_arc(n, e, nullptr);
    creer_arc(e, n, nullptr);
    numberNode_ = n;
  }
  if (hexadecimal) {
    MNoeud_arbre* h0 = nouveau_noeud(nouvelle_lettre('$'));
    MNoeud_arbre* h = closedSetNode("Hexa", creer_entree("Nombre Hexa", "Classe_Hexa"));
    auto* set = static_cast<Mensemble_lettre*>(h->lettre());
    set->ajouterIntervalle('0', '9');
    set->ajouterIntervalle('A', 'F');
    set->ajouterIntervalle('a', 'f');
    creer_arc(racine(), h0, nullptr);
    creer_arc(h0, h, nullptr);
    creer_arc(h, h, nullptr);
    hexStart_ = h0;
  }
  MNoeud_arbre* a = closedSetNode("A>>9", nullptr);
  auto* loop = static_cast<Mensemble_lettre*>(a->lettre());
  loop->ajouterIntervalle('0', '9');
  loop->ajouterIntervalle('A', 'Z');
  loop->ajouter('_');
  loop->ajouterIntervalle('a', 'z');
  creer_arc(a, a, nullptr);
  identifierLoop_ = a;

  MNoeud_arbre* s = nouveau_noeud(nouvel_ensemble(" Début_Alpha "_w));
  auto* start = static_cast<Mensemble_lettre*>(s->lettre());
  start->ajouterIntervalle('A', 'Z');
  start->ajouterIntervalle('a', 'z');
  creer_arc(s, a, nullptr);
  identifierStart_ = s;
}

void MArbre_lexical::etendre_ensemble(MNoeud_arbre* node, const std::bitset<256>& characters) {
  if (node && node->lettre() && node->lettre()->estEnsemble())
    static_cast<Mensemble_lettre*>(node->lettre())->etendre(characters);
}

void MArbre_lexical::ajouter_delimiteurs(const std::vector<std::string>& pairs) {
  for (std::size_t end = pairs.size(); end >= 2; end -= 2) {
    const std::string opening = decoderCodes(pairs[end - 2], false);
    const std::string closing = decoderCodes(pairs[end - 1], false);
    if (opening.empty() || closing.empty()) continue;

    Wdelimiteur open;
    open.premier = inserer_mot({nouvelle_lettre(static_cast<std::uint8_t>(opening[0]))});
    std::vector<Mlettre*> rest;
    for (std::size_t i = 1; i < opening.size(); ++i) rest.push_back(nouvelle_lettre(static_cast<std::uint8_t>(opening[i])));
    open.dernier = inserer(open.premier, rest, 0);

    Wdelimiteur close;
    for (char c : closing) {
      MNoeud_arbre* node = nouveau_noeud(nouvelle_lettre(static_cast<std::uint8_t>(c)));
      if (!close.premier) close.premier = node;
      else creer_arc(close.dernier, node, nullptr);
      close.dernier = node;
    }

    MNoeud_arbre* content = closedSetNode(" -X- " + closing, nullptr);
    auto* set = static_cast<Mensemble_lettre*>(content->lettre());
    for (int c = 0; c < 256; ++c)
      if (c != static_cast<std::uint8_t>(closing[0])) set->ajouter(static_cast<std::uint8_t>(c));

    creer_arc(racine(), open.premier, nullptr);
    creer_arc(content, content, nullptr);
    creer_arc(open.dernier, content, nullptr);
    creer_arc(content, close.premier, nullptr);
    creer_arc(open.dernier, close.premier, nullptr);
    close.dernier->lettre()->setEntree(creer_entree(opening + "_" + closing, "classe_delimiteur"));
  }
}

void MArbre_lexical::ajouter_separateurs(const std::vector<std::string>& separators) {
  std::bitset<256> set;
  std::string name;
  for (auto it = separators.rbegin(); it != separators.rend(); ++it) {
    for (char c : decoderCodes(*it, true)) set.set(static_cast<std::uint8_t>(c));
    name += *it;
  }
  MNoeud_arbre* node = closedSetNode(name, creer_entree(name, "classe_separateur"));
  static_cast<Mensemble_lettre*>(node->lettre())->etendre(set);
  creer_arc(racine(), node, nullptr);
  creer_arc(node, node, nullptr);
}

MEntite* MArbre_lexical::classer(const std::string& text, MEntite* entry) {
  MBC& b = base();
  if (MEntite* symbol = symbols_.chercher(text)) {
    // The relation's list stays short (one triple per lexical entry), while
    // a symbol such as a class name is the value of every object of the class.
    if (MEntite* wordRelation = b.chercher_symbole("mot_du_symbole")) {
      MListe<MTruc> found = b.chercher_triplets(nullptr, wordRelation, symbol);
      if (found.Count() > 0) return found.Item(0)->sujet();
    }
  }
  if (!entry) return nullptr;
  MEntite* cls = entry->valeur_de(b.symbole("classe_symbole"), 0);
  return creer_entree(text, cls ? cls->nom() : std::string());
}

MArbre_lexical::Word MArbre_lexical::scan(MemoryStream& stream) {
  Word word;
  const auto readChar = [&]() { return stream.readByte(); };
  const auto unread = [&]() { stream.seek(stream.position() - 1); };

  std::uint8_t ch = readChar();
  MNoeud_arbre* node = nullptr;
  MNoeud_arbre* root = racine();
  for (int i = root->nb_enfants() - 1; i >= 0 && !node; --i)
    if (correspond(root->enfant(i)->lettre(), ch)) node = root->enfant(i);
  if (!node) {
    if (identifierStart_ && correspond(identifierStart_->lettre(), ch)) {
      node = identifierStart_;
    } else {
      word.text.assign(1, static_cast<char>(ch));
      return word;
    }
  }
  word.text += static_cast<char>(ch);

  for (;;) {
    ch = readChar();
    if (node->nb_enfants() == 0) {
      unread();
      word.entry = node->lettre() ? node->lettre()->entree() : nullptr;
      return word;
    }
    MNoeud_arbre* next = nullptr;
    for (int i = node->nb_enfants() - 1; i >= 0 && !next; --i)
      if (correspond(node->enfant(i)->lettre(), ch)) next = node->enfant(i);
    if (next) {
      word.text += static_cast<char>(ch);
      node = next;
      continue;
    }
    unread();
    const Mlettre* letter = node->lettre();
    if (letter && letter->estEnsemble()) {
      word.entry = classer(word.text, letter->entree());
      return word;
    }
    if (letter && letter->entree()) {
      word.entry = classer(word.text, letter->entree());
      return word;
    }
    if (!identifierLoop_ || node == identifierLoop_) {
      word.entry = classer(word.text, nullptr);
      return word;
    }
    node = identifierLoop_; // the word goes on as an identifier, or ends there
  }
}

void MArbre_lexical::analyser(MemoryStream& stream, Mtablo_syntaxique& table) {
  input_ = &stream;
  target_ = &table;
  tablo_courant = &table;
  stream.seek(0);
  while (stream.size() > 0 && stream.position() < stream.size() - 1) {
    Word word = scan(stream);
    table.ajouter_mot(Mmot::creer(word.entry, word.text));
  }
}

} // namespace tessel
