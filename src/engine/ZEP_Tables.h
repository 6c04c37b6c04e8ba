#pragma once
// Symbol tables (a grid of buckets by first character and character sum,
// each bucket in most-recently-found order) and the small tables of the
// language front end.

#include "engine/Prefetch.h"
#include "engine/ZEP_Entite.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace tessel {

// The grid of the classic engine follows from each name (ligne, colonne); the
// order of a bucket (most recently found first) is kept as a stamp per entry,
// and an open-addressing index finds a name in constant time however crowded
// its bucket: object identifiers all fall into one row.
class Tdoublehash_table {
public:
  // An intrusive table keeps its entries' bookkeeping inside the symbols it
  // holds (one intrusive table per symbol: the base's symbol table).
  Tdoublehash_table(int rows, int columns, bool intrusive = false);
  virtual ~Tdoublehash_table();
  Tdoublehash_table(const Tdoublehash_table&) = delete;
  Tdoublehash_table& operator=(const Tdoublehash_table&) = delete;

  int rows() const { return rows_; }
  int columns() const { return columns_; }
  int ligne(std::string_view name) const;
  int colonne(std::string_view name) const;

  // The entry named `name` ignoring case, moved to the front of its bucket; or null.
  MEntite* chercher(std::string_view name) { return chercher(name, hashOf(name)); }
  MEntite* chercher(std::string_view name, std::uint64_t hash);
  // Enters `e` under its name unless its bucket already has that name.
  void inserer(MEntite* e);
  // Enters `e`, whose name the caller just looked up in vain under `hash`.
  void insererAbsent(MEntite* e, std::uint64_t hash);
  // The same for a symbol entering the intrusive table.
  void insererAbsent(MSymbole* s, std::uint64_t hash);
  static std::uint64_t hashOf(std::string_view name);
  // Room for `more` entries without growing the index.
  void reserve(std::size_t more);
  // Starts fetching the index slot of a name about to be looked up.
  void prefetch(std::uint64_t hash) const {
    if (!index_.empty()) prefetchLine(&index_[home(shortHash(hash))]);
  }
  // Takes out that very entity, if it is there.
  void enlever(const MEntite* e);
  void vider();
  // Empties the table when every entry is about to be destroyed anyway.
  void viderPourDestruction();
  // Rows ascending, columns ascending, each bucket from its last entry to its first.
  MListe<MEntite> entrees() const;
  // The entries of one bucket, front first.
  std::vector<MEntite*> bucket(int row, int column) const;

  int count() const { return count_; }
  // For tests: the stamp clock as after that many finds.
  void setClock(std::uint32_t value) { clock_ = value; }
  bool contains(const MEntite* e) const;
  // Every entry, in no particular order.
  std::vector<MEntite*> entites() const;

private:
  using Node = MSymbole::TableNode;

  static std::uint32_t shortHash(std::uint64_t hash) { return static_cast<std::uint32_t>(hash ^ (hash >> 32)); }
  // The index is sized to its entries, not to a power of two.
  std::size_t home(std::uint32_t hash) const { return static_cast<std::size_t>((std::uint64_t(hash) * index_.size()) >> 32); }
  std::size_t next(std::size_t i) const { return i + 1 == index_.size() ? 0 : i + 1; }
  std::uintptr_t find(std::string_view name, std::uint32_t hash) const;
  Node& nodeOf(std::uintptr_t slot);
  const Node& nodeOf(std::uintptr_t slot) const;
  void indexInsert(std::uintptr_t slot, std::uint32_t hash);
  void indexErase(std::uintptr_t slot);
  void rebuildIndex(std::size_t size);
  std::uintptr_t enter(MEntite* e, std::uint32_t hash);
  std::vector<std::uintptr_t> occupiedSlots() const;
  int cellOf(const MEntite* e) const { return ligne(e->name()) * columns_ + colonne(e->name()); }

  int rows_;
  int columns_;
  bool intrusive_;
  // The next stamp; when the clock runs out, the stamps are numbered again
  // from 1 in the order they had.
  std::uint32_t tick();
  std::uint32_t clock_ = 0;
  // Each slot: an entity's address, 16 bits of its name's hash in the unused
  // top bits, and bit 0 set when its bookkeeping is kept in `outside_` rather
  // than inside the symbol.
  std::vector<std::uintptr_t> index_;
  std::unordered_map<const MEntite*, Node> outside_;
  int count_ = 0;
};

class Mtable_des_symboles : public Tdoublehash_table {
public:
  using Tdoublehash_table::Tdoublehash_table;
};

class Mtablo_syntaxique;

// A word of a parsed text: owns, in the current syntax table, (word, sys_texte,
// symbol of its text) and, when classified, (word, sys_symbole, its lexical entry).
class Mmot : public MEntite {
public:
  // Graph-owned: it lives while the syntax table holds its triples.
  static Mmot* creer(MEntite* lexicalEntry, std::string_view text);
  EntityKind kind() const override { return EntityKind::Word; }
  // The text as it was read: the symbol of the text may carry another case.
  const std::string& texte() const { return text_; }

private:
  Mmot() = default;
  std::string text_;
};

// Word helpers shared by the lexer and the query analyser.
MEntite* entree_lexicale(const MEntite* word);
std::string texte_mot(const MEntite* word);

class Mtablo_syntaxique : public MWorkSpace {
public:
  explicit Mtablo_syntaxique(std::string_view name);
  ~Mtablo_syntaxique() override;
  EntityKind kind() const override { return EntityKind::SyntaxTable; }

  void vider();
  void ajouter_mot(MEntite* word);
  MEntite* mot(int i) const;
  MEntite* mot_suivant(int& cursor) const;
  int nb_mots() const { return wordCount_; }
  Marray& tableau() { return *words_; }

private:
  int wordCount_ = 1;
  std::unique_ptr<Marray> words_;
};

// The current syntax table: the last workspace created, or the table being
// analysed into. Words add their triples there.
extern MWorkSpace* tablo_courant;

class Mtable_objets {
public:
  MListe<MEntite>& liste() { return list_; }

private:
  MListe<MEntite> list_;
};

class Wtable_des_patterns : public Mtable_objets {};

} // namespace tessel
