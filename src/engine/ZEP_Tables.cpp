#include "engine/ZEP_Tables.h"

#include "engine/ZEP_BDC.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"

namespace tessel {

MWorkSpace* tablo_courant = nullptr;

namespace {

std::uint64_t foldedHash(std::string_view name) { return AsciiCaseHash{}(name); }

} // namespace

// ---------------------------------------------------------------- Tdoublehash_table

Tdoublehash_table::Tdoublehash_table(int rows, int columns)
    : rows_(rows), columns_(columns), grid_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)) {
  if (rows <= 36 || columns <= 0) throw InternalError("table de symboles : dimensions invalides");
}

Tdoublehash_table::~Tdoublehash_table() { vider(); }

int Tdoublehash_table::ligne(std::string_view name) const {
  const unsigned char b = name.empty() ? 0 : static_cast<unsigned char>(name.front());
  if (b >= '0' && b <= '9') return b - '0';
  const unsigned char up = static_cast<unsigned char>(UpperAscii(static_cast<char>(b)));
  if (up >= 'A' && up <= 'Z') return up - 'A' + 10;
  return 36 + b % (rows_ - 36);
}

int Tdoublehash_table::colonne(std::string_view name) const {
  long sum = 0;
  const std::size_t n = name.size() < 20 ? name.size() : 20;
  for (std::size_t i = 0; i < n; ++i) sum += static_cast<unsigned char>(UpperAscii(name[i]));
  return static_cast<int>(sum % columns_);
}

Tdoublehash_table::Node* Tdoublehash_table::find(std::string_view name, std::uint64_t hash) const {
  if (index_.empty()) return nullptr;
  const std::size_t mask = index_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Node* n = index_[i];
    if (!n) return nullptr;
    if (n->hash == hash && SameText(n->entity->name(), name)) return n;
  }
}

void Tdoublehash_table::growIndex() {
  std::vector<Node*> old;
  old.swap(index_);
  index_.assign(old.empty() ? 64 : old.size() * 2, nullptr);
  for (Node* n : old)
    if (n) indexInsert(n);
}

void Tdoublehash_table::indexInsert(Node* n) {
  if ((static_cast<std::size_t>(count_) + 1) * 10 > index_.size() * 7) growIndex();
  const std::size_t mask = index_.size() - 1;
  std::size_t i = n->hash & mask;
  while (index_[i]) i = (i + 1) & mask;
  index_[i] = n;
}

void Tdoublehash_table::indexErase(Node* n) {
  // Linear probing with backward-shift deletion: no tombstones.
  const std::size_t mask = index_.size() - 1;
  std::size_t i = n->hash & mask;
  while (index_[i] != n) i = (i + 1) & mask;
  std::size_t hole = i;
  for (std::size_t j = (hole + 1) & mask; index_[j]; j = (j + 1) & mask) {
    const std::size_t home = index_[j]->hash & mask;
    const bool between = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
    if (!between) {
      index_[hole] = index_[j];
      hole = j;
    }
  }
  index_[hole] = nullptr;
}

void Tdoublehash_table::unlinkNode(Node* n) {
  Bucket& b = grid_[static_cast<std::size_t>(n->cell)];
  (n->prev ? n->prev->next : b.head) = n->next;
  (n->next ? n->next->prev : b.tail) = n->prev;
  n->prev = n->next = nullptr;
}

void Tdoublehash_table::pushFront(Node* n) {
  Bucket& b = grid_[static_cast<std::size_t>(n->cell)];
  n->prev = nullptr;
  n->next = b.head;
  (b.head ? b.head->prev : b.tail) = n;
  b.head = n;
}

MEntite* Tdoublehash_table::chercher(std::string_view name) {
  Node* n = find(name, foldedHash(name));
  if (!n) return nullptr;
  if (grid_[static_cast<std::size_t>(n->cell)].head != n) {
    unlinkNode(n);
    pushFront(n);
  }
  return n->entity;
}

void Tdoublehash_table::inserer(MEntite* e) {
  const std::string& name = e->name();
  if (name.empty()) return;
  const std::uint64_t hash = foldedHash(name);
  if (find(name, hash)) return;
  auto* n = new Node{e, nullptr, nullptr, hash, ligne(name) * columns_ + colonne(name)};
  pushFront(n);
  indexInsert(n);
  ++count_;
}

void Tdoublehash_table::enlever(const MEntite* e) {
  const std::string& name = e->name();
  if (name.empty()) return;
  Node* n = find(name, foldedHash(name));
  if (!n || n->entity != e) return;
  unlinkNode(n);
  indexErase(n);
  delete n;
  --count_;
}

bool Tdoublehash_table::contains(const MEntite* e) const {
  const Node* n = find(e->name(), foldedHash(e->name()));
  return n && n->entity == e;
}

void Tdoublehash_table::vider() {
  for (Bucket& b : grid_) {
    for (Node* n = b.head; n;) {
      Node* next = n->next;
      delete n;
      n = next;
    }
    b = Bucket{};
  }
  index_.clear();
  count_ = 0;
}

MListe<MEntite> Tdoublehash_table::entrees() const {
  MListe<MEntite> result;
  result.reserve(static_cast<std::size_t>(count_));
  for (const Bucket& b : grid_)
    for (Node* n = b.tail; n; n = n->prev) result.Add(n->entity);
  return result;
}

std::vector<MEntite*> Tdoublehash_table::bucket(int row, int column) const {
  std::vector<MEntite*> result;
  for (Node* n = grid_[static_cast<std::size_t>(row * columns_ + column)].head; n; n = n->next)
    result.push_back(n->entity);
  return result;
}

std::size_t Tdoublehash_table::memoryBytes() const {
  return grid_.capacity() * sizeof(Bucket) + index_.capacity() * sizeof(Node*) +
         static_cast<std::size_t>(count_) * sizeof(Node);
}

// ---------------------------------------------------------------- words

Mmot* Mmot::creer(MEntite* lexicalEntry, std::string_view text) {
  MBC& b = *base_courante;
  EntityRef word(new Mmot);
  word->setGraphOwned();
  word->ajouter(b.relation("sys_texte"), b.symbole(text), tablo_courant);
  if (lexicalEntry) word->ajouter(b.relation("sys_symbole"), lexicalEntry, tablo_courant);
  return static_cast<Mmot*>(word.get());
}

MEntite* entree_lexicale(const MEntite* word) {
  return word->valeur_de(base_courante->relation("sys_symbole"), 0);
}

std::string texte_mot(const MEntite* word) { return word->texte_valeur(base_courante->relation("sys_texte")); }

// ---------------------------------------------------------------- Mtablo_syntaxique

Mtablo_syntaxique::Mtablo_syntaxique(std::string_view name)
    : MWorkSpace(name), words_(std::make_unique<Marray>("mot", this)) {}

Mtablo_syntaxique::~Mtablo_syntaxique() {
  // Every triple of the table goes first, so the array leaves nothing behind.
  vider_triplets();
  words_.reset();
}

void Mtablo_syntaxique::vider() {
  vider_fils();
  // The words' own triples go with them, so the words do not pile up.
  std::vector<EntityRef> words;
  const TripleList& elements = words_->subjects();
  for (int i = 1; i < elements.count(); ++i) words.emplace_back(elements.at(i, RoleSubject)->valeur());
  words_->vider_elements(this);
  for (const EntityRef& w : words) {
    if (w->kind() != EntityKind::Word) continue;
    while (MTruc* t = w->subjects().last()) {
      if (!contient(t)) break;
      t->retirer_de(this);
    }
  }
  wordCount_ = 0;
}

void Mtablo_syntaxique::ajouter_mot(MEntite* word) {
  words_->ajouter(words_->type_element(), word, this);
  ++wordCount_;
}

MEntite* Mtablo_syntaxique::mot(int i) const { return words_->fils(i + 1)->valeur(); }

MEntite* Mtablo_syntaxique::mot_suivant(int& cursor) const { return mot(++cursor); }

} // namespace tessel
