#include "engine/ZEP_Tables.h"

#include "engine/ZEP_BDC.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"

#include <algorithm>

namespace tessel {

MWorkSpace* tablo_courant = nullptr;

// ---------------------------------------------------------------- Tdoublehash_table

namespace {

constexpr int tagShift = 48;
constexpr std::uintptr_t outsideBit = 1;
constexpr std::uintptr_t pointerMask = ((std::uintptr_t(1) << tagShift) - 1) & ~outsideBit;

// Home slots come from the high bits of a hash, tags from its low bits.
std::uintptr_t tagOf(std::uint32_t hash) { return static_cast<std::uintptr_t>(hash & 0xFFFF) << tagShift; }

MEntite* entityOf(std::uintptr_t slot) { return reinterpret_cast<MEntite*>(slot & pointerMask); }

} // namespace

Tdoublehash_table::Tdoublehash_table(int rows, int columns, bool intrusive)
    : rows_(rows), columns_(columns), intrusive_(intrusive) {
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

std::uint64_t Tdoublehash_table::hashOf(std::string_view name) { return AsciiCaseHash{}(name); }

Tdoublehash_table::Node& Tdoublehash_table::nodeOf(std::uintptr_t slot) {
  MEntite* e = entityOf(slot);
  return (slot & outsideBit) ? outside_.at(e) : static_cast<MSymbole*>(e)->tableNode_;
}

const Tdoublehash_table::Node& Tdoublehash_table::nodeOf(std::uintptr_t slot) const {
  const MEntite* e = entityOf(slot);
  return (slot & outsideBit) ? outside_.at(e) : static_cast<const MSymbole*>(e)->tableNode_;
}

std::uintptr_t Tdoublehash_table::find(std::string_view name, std::uint32_t hash) const {
  if (index_.empty()) return 0;
  const std::uintptr_t tag = tagOf(hash);
  for (std::size_t i = home(hash);; i = next(i)) {
    const std::uintptr_t slot = index_[i];
    if (!slot) return 0;
    if ((slot & ~(pointerMask | outsideBit)) == tag && SameText(entityOf(slot)->name(), name)) return slot;
  }
}

void Tdoublehash_table::rebuildIndex(std::size_t size) {
  std::vector<std::uintptr_t> old;
  old.swap(index_);
  index_.assign(size, 0);
  for (std::uintptr_t slot : old) {
    if (!slot) continue;
    std::size_t i = home(nodeOf(slot).hash);
    while (index_[i]) i = next(i);
    index_[i] = slot;
  }
}

void Tdoublehash_table::reserve(std::size_t more) {
  const std::size_t wanted = (static_cast<std::size_t>(count_) + more) * 10 / 7 + 1;
  if (wanted > index_.size()) rebuildIndex(wanted < 64 ? 64 : wanted);
}

void Tdoublehash_table::indexInsert(std::uintptr_t slot, std::uint32_t hash) {
  if ((static_cast<std::size_t>(count_) + 1) * 10 > index_.size() * 7)
    rebuildIndex(index_.empty() ? 64 : index_.size() * 2);
  std::size_t i = home(hash);
  while (index_[i]) i = next(i);
  index_[i] = slot;
}

void Tdoublehash_table::indexErase(std::uintptr_t slot) {
  // Linear probing with backward-shift deletion: no tombstones.
  std::size_t i = home(nodeOf(slot).hash);
  while (index_[i] != slot) i = next(i);
  std::size_t hole = i;
  for (std::size_t j = next(hole); index_[j]; j = next(j)) {
    const std::size_t home = this->home(nodeOf(index_[j]).hash);
    const bool between = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
    if (!between) {
      index_[hole] = index_[j];
      hole = j;
    }
  }
  index_[hole] = 0;
}

std::uintptr_t Tdoublehash_table::enter(MEntite* e, std::uint32_t hash) {
  const Node fresh{tick(), hash};
  if (intrusive_ && e->isSymbol()) {
    Node& own = static_cast<MSymbole*>(e)->tableNode_;
    if (own.stamp == 0) {
      own = fresh;
      return reinterpret_cast<std::uintptr_t>(e) | tagOf(hash);
    }
  }
  outside_[e] = fresh;
  return reinterpret_cast<std::uintptr_t>(e) | tagOf(hash) | outsideBit;
}

std::uint32_t Tdoublehash_table::tick() {
  if (clock_ == UINT32_MAX) {
    std::vector<Node*> nodes;
    for (std::uintptr_t slot : occupiedSlots()) nodes.push_back(&nodeOf(slot));
    std::sort(nodes.begin(), nodes.end(), [](const Node* a, const Node* b) { return a->stamp < b->stamp; });
    clock_ = 0;
    for (Node* node : nodes) node->stamp = ++clock_;
  }
  return ++clock_;
}

MEntite* Tdoublehash_table::chercher(std::string_view name, std::uint64_t hash) {
  const std::uintptr_t slot = find(name, shortHash(hash));
  if (!slot) return nullptr;
  const std::uint32_t stamp = tick();
  nodeOf(slot).stamp = stamp;
  return entityOf(slot);
}

void Tdoublehash_table::inserer(MEntite* e) {
  const std::string_view name = e->name();
  if (name.empty()) return;
  const std::uint64_t hash = hashOf(name);
  if (find(name, shortHash(hash))) return;
  insererAbsent(e, hash);
}

void Tdoublehash_table::insererAbsent(MEntite* e, std::uint64_t hash) {
  const std::uint32_t h = shortHash(hash);
  indexInsert(enter(e, h), h);
  ++count_;
}

void Tdoublehash_table::insererAbsent(MSymbole* s, std::uint64_t hash) { insererAbsent(static_cast<MEntite*>(s), hash); }

void Tdoublehash_table::enlever(const MEntite* e) {
  const std::string_view name = e->name();
  if (name.empty() || index_.empty()) return;
  const std::uintptr_t slot = find(name, shortHash(hashOf(name)));
  if (!slot || entityOf(slot) != e) return;
  indexErase(slot);
  if (slot & outsideBit)
    outside_.erase(e);
  else
    static_cast<MSymbole*>(entityOf(slot))->tableNode_ = Node{};
  --count_;
}

bool Tdoublehash_table::contains(const MEntite* e) const {
  const std::uintptr_t slot = find(e->name(), shortHash(hashOf(e->name())));
  return slot && entityOf(slot) == e;
}

void Tdoublehash_table::vider() {
  for (std::uintptr_t slot : index_)
    if (slot && !(slot & outsideBit)) static_cast<MSymbole*>(entityOf(slot))->tableNode_ = Node{};
  index_.clear();
  outside_.clear();
  count_ = 0;
}

void Tdoublehash_table::viderPourDestruction() {
  // Symbols keeping their own bookkeeping are left as they are: they go next.
  index_.clear();
  outside_.clear();
  count_ = 0;
}

std::vector<std::uintptr_t> Tdoublehash_table::occupiedSlots() const {
  std::vector<std::uintptr_t> result;
  result.reserve(static_cast<std::size_t>(count_));
  for (std::uintptr_t slot : index_)
    if (slot) result.push_back(slot);
  return result;
}

std::vector<MEntite*> Tdoublehash_table::entites() const {
  std::vector<MEntite*> result;
  result.reserve(static_cast<std::size_t>(count_));
  for (std::uintptr_t slot : index_)
    if (slot) result.push_back(entityOf(slot));
  return result;
}

MListe<MEntite> Tdoublehash_table::entrees() const {
  struct Entry {
    int cell;
    std::uint32_t stamp;
    MEntite* entity;
  };
  std::vector<Entry> all;
  for (std::uintptr_t slot : occupiedSlots()) all.push_back({cellOf(entityOf(slot)), nodeOf(slot).stamp, entityOf(slot)});
  std::sort(all.begin(), all.end(),
            [](const Entry& a, const Entry& b) { return a.cell != b.cell ? a.cell < b.cell : a.stamp < b.stamp; });
  MListe<MEntite> result;
  result.reserve(all.size());
  for (const Entry& e : all) result.Add(e.entity);
  return result;
}

std::vector<MEntite*> Tdoublehash_table::bucket(int row, int column) const {
  std::vector<std::pair<std::uint32_t, MEntite*>> inCell;
  for (std::uintptr_t slot : occupiedSlots())
    if (cellOf(entityOf(slot)) == row * columns_ + column) inCell.emplace_back(nodeOf(slot).stamp, entityOf(slot));
  std::sort(inCell.begin(), inCell.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<MEntite*> result;
  for (const auto& [stamp, e] : inCell) result.push_back(e);
  return result;
}

// ---------------------------------------------------------------- words

Mmot* Mmot::creer(MEntite* lexicalEntry, std::string_view text) {
  MBC& b = *base_courante;
  auto* fresh = new Mmot;
  fresh->text_ = text;
  EntityRef word(fresh);
  word->setGraphOwned();
  word->ajouter(b.relation("sys_texte"), b.symboleDeMot(text), tablo_courant);
  if (lexicalEntry) word->ajouter(b.relation("sys_symbole"), lexicalEntry, tablo_courant);
  return static_cast<Mmot*>(word.get());
}

MEntite* entree_lexicale(const MEntite* word) {
  return word->valeur_de(base_courante->relation("sys_symbole"), 0);
}

std::string texte_mot(const MEntite* word) {
  if (word->kind() == EntityKind::Word) return static_cast<const Mmot*>(word)->texte();
  return word->texte_valeur(base_courante->relation("sys_texte"));
}

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
  for (int i = 1; i < elements.count(); ++i) words.emplace_back(elements.at(i)->valeur());
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
