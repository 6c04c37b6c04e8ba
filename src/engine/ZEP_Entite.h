#pragma once
// Entities and triples of the knowledge base.
//
// Ownership, made explicit here because the classic engine left it open:
// - every triple is owned by exactly one list: the base's or a workspace's;
// - symbols are owned by the base (variables by their query);
// - anonymous entities are either owned by C++ code (queries, solutions,
//   workspaces, arrays: held in unique_ptr) or owned by the triple graph
//   ("graph-owned": entities read from a stream, object entities, words,
//   solution rows...). A graph-owned entity is freed as soon as it takes part
//   in no triple and nobody pins it; EntityRef pins it.

#include "engine/EntityName.h"
#include "engine/TripleList.h"
#include "foundation/ZEP_Liste.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QImage;

namespace tessel {

class MBC;
class MTruc;
class MWorkSpace;

enum class EntityKind : std::uint8_t {
  Entity,
  Symbol,
  SymbolBitmap,
  Triple,
  Workspace,
  SyntaxTable,
  Array,
  Word,
  Query,
  Variable,
  Solution,
};

class MEntite {
public:
  MEntite();
  explicit MEntite(std::string_view name);
  virtual ~MEntite();
  MEntite(const MEntite&) = delete;
  MEntite& operator=(const MEntite&) = delete;

  // Virtual slots of the classic engine.
  virtual void ajouter_fils(MTruc* t);
  virtual std::string nom() const;
  std::string decrire();

  virtual EntityKind kind() const { return EntityKind::Entity; }
  bool isSymbol() const;
  bool isTriple() const { return kind() == EntityKind::Triple; }

  // The stored name (empty for anonymous entities and triples).
  std::string_view name() const;
  // nom() compared ignoring case, without building a triple's text when not needed.
  bool nomEquals(std::string_view text) const;
  // Whether nom() is exactly one of the comparison-operator names.
  bool hasOperatorName() const;

  // Reading.
  int nb_fils() const;
  MTruc* fils(int i) const;
  MEntite* valeur_fils(int i) const;
  MTruc* triplet(const MEntite* relation, int n) const;
  MEntite* valeur_de(const MEntite* relation, int n) const;
  MTruc* triplet_par_nom(std::string_view name, int n) const;
  MEntite* valeur_chemin(std::string_view path, int n) const;
  int nb_fils_par(std::string_view name) const;
  void texte_valeur(const MEntite* relation, std::string& text) const;
  std::string texte_valeur(const MEntite* relation) const;
  std::string identifiant() const;
  int nb_usages() const;
  // nb_usages() without making a relation list still pending (see MBC).
  int relationCount() const;
  MTruc* usage(int i) const;
  int nb_peres() const;
  MTruc* triplet_pere(int i) const;
  MEntite* pere(int i) const;
  int nb_peres_par(std::string_view name) const;
  MTruc* triplet_pere_par_nom(std::string_view name, int n) const;
  MEntite* pere_par_nom(std::string_view name, int n) const;
  void fermeture(MListe<MEntite>& entities, MListe<MTruc>& triples);

  // Writing.
  MEntite* ajouter(MEntite* relation, MEntite* value, MWorkSpace* workspace = nullptr);
  MEntite* ajouter(std::string_view relation, std::string_view value, MWorkSpace* workspace = nullptr);
  MEntite* ajouter(std::string_view relation, MEntite* value, MWorkSpace* workspace = nullptr);
  bool affecter(MEntite* relation, MEntite* value, MWorkSpace* workspace);
  bool affecter(MEntite* relation, std::string_view value);
  bool affecter(std::string_view relation, MEntite* symbol);
  bool affecter(std::string_view relation, std::string_view value);
  void retirer(std::string_view name, int n, MWorkSpace* workspace = nullptr);
  void supprimer_liens();

  // The role lists. The all list of the classic engine is the merge of the
  // three, in linking order; lastLinked() is its last element.
  const TripleList& subjects() const;
  const TripleList& relations() const;
  const TripleList& values() const;
  MTruc* lastLinked() const;
  bool hasNoTriples() const;

  // Ownership by the graph and pins (see the top of this file).
  bool graphOwned() const;
  void setGraphOwned();
  void pin();
  void unpin();
  // Frees this entity when it is graph-owned, unpinned and in no triple.
  void releaseIfUnused();

  // Entities allocated with new keep their lists in the same block of memory.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

protected:
  // Anonymous entities, the most numerous, have no room for a name.
  struct Data {
    TripleList lists[3];
    std::int32_t scratch = -1; // record index while a stream is written
    std::uint16_t pins = 0;    // saturates: an entity pinned that often stays for good
    bool graphOwned : 1 = false;
    bool operatorName : 1 = false;
    bool inRelationTable : 1 = false;
    bool embedded : 1 = false; // lives in the entity's own block
    bool ofTriple : 1 = false; // a TripleData
    bool baseOwnedSymbol : 1 = false;
    bool wordTextOnly : 1 = false; // interned by the analysis of a text, used by nothing else yet
    bool named : 1 = false;        // a NamedData
    // The relation of triples read from a stream that its list does not hold
    // yet: big relation lists are made only when somebody needs them.
    bool relationsPending : 1 = false;
  };
  struct NamedData : Data {
    EntityName name;
  };
  struct TripleData : Data {
    std::uint64_t sequence = 0;
    std::uint8_t packedHigh = 0; // what the entity word held of the packed value (MTruc)
  };
  Data& data();
  Data* dp() const { return (bits_ & 1u) ? nullptr : reinterpret_cast<Data*>(bits_); }

private:
  friend class MTruc;
  friend class MBC;
  friend class JournalStep;
  TripleList& list(Role role);
  // Where an entity allocated with new keeps its data, and how much it takes.
  static std::size_t dataOffset(std::size_t size);
  static std::size_t dataBytes(std::size_t size);

  // The entity's data, or, for a triple that is nobody's entity, its linking
  // sequence number (shifted, low bit set): triples are too many to pay for both.
  std::uintptr_t bits_ = 0;
};

// Pins an entity for its lifetime (nullptr allowed).
class EntityRef {
public:
  EntityRef() = default;
  explicit EntityRef(MEntite* e) : e_(e) {
    if (e_) e_->pin();
  }
  EntityRef(const EntityRef& o) : EntityRef(o.e_) {}
  EntityRef(EntityRef&& o) noexcept : e_(o.e_) { o.e_ = nullptr; }
  EntityRef& operator=(EntityRef o) noexcept {
    std::swap(e_, o.e_);
    return *this;
  }
  ~EntityRef() {
    if (e_) e_->unpin();
  }
  MEntite* get() const { return e_; }
  MEntite* operator->() const { return e_; }
  explicit operator bool() const { return e_ != nullptr; }

private:
  MEntite* e_ = nullptr;
};

class MSymbole : public MEntite {
public:
  // Interned in the current base's symbol table; owned by the base unless
  // `baseOwned` is false (variables belong to their query).
  explicit MSymbole(std::string_view name, bool baseOwned = true);
  // For the base: `name` was just looked up in vain under `hash`.
  struct Absent {
    std::uint64_t hash;
  };
  MSymbole(std::string_view name, Absent absent);
  ~MSymbole() override;
  void ajouter_fils(MTruc* t) override;
  EntityKind kind() const override { return EntityKind::Symbol; }
  bool baseOwned() const { return dp()->baseOwnedSymbol; }
  bool inSymbolTable() const { return tableNode_.stamp != 0; }

private:
  friend class MBC;
  friend class Tdoublehash_table;
  // Place in the base's symbol table, kept inside the symbol itself.
  struct TableNode {
    std::uint32_t stamp = 0; // bucket order, the most recently found highest; 0: in no table
    std::uint32_t hash = 0;
  } tableNode_;
};

class MSymbole_bitmap : public MSymbole {
public:
  // Names not starting with "[bmp]" become "[bmp]" + n + name, n the first
  // number free in the current base.
  MSymbole_bitmap(std::string_view name, const QImage& image);
  ~MSymbole_bitmap() override;
  EntityKind kind() const override { return EntityKind::SymbolBitmap; }
  QImage& image() { return *image_; }
  const QImage& image() const { return *image_; }

private:
  static std::string pictureName(std::string_view name);
  std::unique_ptr<QImage> image_;
};

// Triples are the most numerous objects: their three entities are packed in
// two words and a few bits of the entity word. Entities lie below 2^48 and on
// 8-byte boundaries (x86-64 and AArch64 user space), 45 bits each: the first
// and second take the low 45 bits of a word each, the third the top 19 bits
// of both and 7 bits kept beside the sequence number.
class Wnuplet_ocs : public MEntite {
public:
  Wnuplet_ocs(MEntite* first, MEntite* second, MEntite* third);

protected:
  static constexpr int packedBits = 45;
  static constexpr int splitBits = 64 - packedBits;   // of the third, in each word
  static constexpr int highBits = packedBits - 2 * splitBits;
  static constexpr std::uint64_t packedMask = (std::uint64_t(1) << packedBits) - 1;

  static std::uint64_t pack(const MEntite* e);
  static MEntite* unpack(std::uint64_t bits) { return reinterpret_cast<MEntite*>(static_cast<std::uintptr_t>(bits << 3)); }
  MEntite* first() const { return unpack(words_[0] & packedMask); }
  MEntite* second() const { return unpack(words_[1] & packedMask); }
  MEntite* third(std::uint64_t high) const {
    return unpack((words_[0] >> packedBits) | (words_[1] >> packedBits) << splitBits | high << (2 * splitBits));
  }
  // The bits of the third that do not fit in the two words.
  static std::uint64_t highOf(const MEntite* third) { return pack(third) >> (2 * splitBits); }

private:
  std::uint64_t words_[2];
};

class MTruc final : public Wnuplet_ocs {
public:
  MEntite* sujet() const { return first(); }
  MEntite* relation() const { return second(); }
  MEntite* valeur() const {
    return third((bits_ & 1u) ? (bits_ >> 1) & highMask : static_cast<const TripleData*>(dp())->packedHigh);
  }

  std::string nom() const override;
  EntityKind kind() const override { return EntityKind::Triple; }
  std::string texte_triplet() const;

  // Linking order across every list: creation order. Every list a triple
  // is in is sorted by it.
  std::uint64_t sequence() const {
    return (bits_ & 1u) ? bits_ >> sequenceShift : static_cast<const TripleData*>(dp())->sequence;
  }
  // While the triple is nobody's entity, its word holds, above the tag bit,
  // the third's high bits, then the sequence number.
  static constexpr int sequenceShift = 1 + highBits;
  static constexpr std::uint64_t highMask = (std::uint64_t(1) << highBits) - 1;

  // The three ways a triple ends.
  static void detruire(MTruc* t);          // plain: owned by the base (message otherwise)
  static void detruire_cascade(MTruc* t);  // cascading into anonymous values
  void retirer_de(MWorkSpace* workspace);  // owned by that workspace, silently

  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

private:
  friend class MBC;
  friend class MEntite;
  friend class MWorkSpace;
  friend class JournalStep;
  MTruc(MEntite* s, MEntite* r, MEntite* v, MWorkSpace* owner);
  // Linked to nothing yet, under the sequence number it had before.
  MTruc(MEntite* s, MEntite* r, MEntite* v, std::uint64_t sequence);
  // Read from a stream into the current base: linked everywhere but in its
  // relation's list, which the base noted as owed it and completes when needed.
  struct FromStream {};
  MTruc(MEntite* s, MEntite* r, MEntite* v, FromStream);
  void setSequence(std::uint64_t sequence, const MEntite* value);
  ~MTruc() override = default;
  void unlink();
};

class MWorkSpace : public MEntite {
public:
  // Becomes the current syntax table; first triple: its model name.
  explicit MWorkSpace(std::string_view name);
  ~MWorkSpace() override;
  EntityKind kind() const override { return EntityKind::Workspace; }

  void vider_triplets();
  void vider_fils();
  bool contient(const MTruc* t) const;
  const TripleList& triplets() const { return triples_; }
  const std::string& modelName() const { return modelName_; }

  // The base is being emptied: every triple goes, the model-name one too.
  void detach();

private:
  friend class MTruc;
  TripleList triples_;
  std::string modelName_;
};

class Marray : public MEntite {
public:
  Marray(std::string_view elementType, MWorkSpace* workspace);
  EntityKind kind() const override { return EntityKind::Array; }
  MEntite* type_element();
  virtual void ajouter_element(MEntite* element);
  virtual void ajouter_element_nomme(std::string_view name);
  void vider_elements(MWorkSpace* workspace);
};

// How many more symbol-subject warnings may be shown (-1: no limit).
int& symbolSubjectWarningBudget();

// The text an entity stands for in a triple's text: its name, or a number
// unique among live entities.
std::string texte_entite(const MEntite* e);

} // namespace tessel
