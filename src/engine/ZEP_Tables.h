#pragma once
// Symbol tables (a grid of buckets by first character and character sum,
// each bucket in most-recently-found order) and the small tables of the
// language front end.

#include "engine/ZEP_Entite.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tessel {

class Tdoublehash_table {
public:
  Tdoublehash_table(int rows, int columns);
  virtual ~Tdoublehash_table();
  Tdoublehash_table(const Tdoublehash_table&) = delete;
  Tdoublehash_table& operator=(const Tdoublehash_table&) = delete;

  int rows() const { return rows_; }
  int columns() const { return columns_; }
  int ligne(std::string_view name) const;
  int colonne(std::string_view name) const;

  // The entry named `name` ignoring case, moved to the front of its bucket; or null.
  MEntite* chercher(std::string_view name);
  // Enters `e` under its name unless its bucket already has that name.
  void inserer(MEntite* e);
  // Takes out that very entity, if it is there.
  void enlever(const MEntite* e);
  void vider();
  // Rows ascending, columns ascending, each bucket from its last entry to its first.
  MListe<MEntite> entrees() const;
  // The entries of one bucket, front first (for tests and diagnostics).
  std::vector<MEntite*> bucket(int row, int column) const;

  int count() const { return count_; }
  bool contains(const MEntite* e) const;
  std::size_t memoryBytes() const;

private:
  struct Node {
    MEntite* entity;
    Node* prev;
    Node* next;
    std::uint64_t hash;
    int cell;
  };
  struct Bucket {
    Node* head = nullptr;
    Node* tail = nullptr;
  };

  Node* find(std::string_view name, std::uint64_t hash) const;
  void indexInsert(Node* n);
  void indexErase(Node* n);
  void growIndex();
  void unlinkNode(Node* n);
  void pushFront(Node* n);

  int rows_;
  int columns_;
  std::vector<Bucket> grid_;
  // Open addressing by folded name: makes lookup and insertion constant time
  // on average however long a bucket grows.
  std::vector<Node*> index_;
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

private:
  Mmot() = default;
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
