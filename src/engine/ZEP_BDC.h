#pragma once
// The knowledge base: interns symbols, owns triples, answers pattern
// searches, and turns its content into a byte stream and back.

#include "engine/ZEP_Entite.h"
#include "engine/ZEP_Tables.h"
#include "foundation/MemoryStream.h"

#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessel {

class BaseJournal;

// A stream that is not a knowledge-base stream: lengths or indexes out of
// range, names too long, pictures that are not BMP files.
class StreamFormatError : public StreamReadError {
public:
  using StreamReadError::StreamReadError;
};

// A stream whose integrity record does not match its content: bytes were
// changed after it was written. Raised once the whole stream is read, so a
// caller that accepts the damage finds the content in the base.
class StreamIntegrityError : public StreamFormatError {
public:
  using StreamFormatError::StreamFormatError;
};

// The longest name the writer writes and every reader of the format reads.
inline constexpr std::size_t longueurMaxNom = 20000;

class MBC {
public:
  // Makes the new base current.
  MBC();
  ~MBC();
  MBC(const MBC&) = delete;
  MBC& operator=(const MBC&) = delete;

  Mtable_des_symboles& table_symboles() { return symbols_; }
  Mtable_des_symboles& table_relations() { return relations_; }

  MSymbole* symbole(std::string_view name);
  MSymbole* symbole(std::string_view name, std::uint64_t hash); // hash: Mtable_des_symboles::hashOf
  // The symbol of an analysed word's text. Every word's text is interned, so
  // a name only the analyser has met is told apart from a known symbol.
  MSymbole* symboleDeMot(std::string_view text);
  bool texteDeMotSeulement(const MEntite* symbol) const;
  MEntite* chercher_symbole(std::string_view name);
  MEntite* relation(std::string_view name);
  MEntite* chercher_relation(std::string_view name);
  // A new anonymous entity owned by the graph, pinned by the returned reference.
  EntityRef nouvelle_entite();

  MTruc* ajouter_triplet(MEntite* subject, MEntite* relation, MEntite* value);
  MListe<MTruc> chercher_triplets(MEntite* subject, MEntite* relation, MEntite* value);
  bool existe_triplet(MEntite* subject, MEntite* relation, MEntite* value);
  MListe<MTruc> triplets_par_noms(std::string_view relation, std::string_view value);
  MListe<MTruc> triplets_relation_valeur(MEntite* relation, std::string_view value);

  void vider();
  // Adds the stream's content to the base. Errors are StreamReadError or
  // StreamFormatError; what was read before the error stays. A stream that
  // ends with an integrity record is checked against it (StreamIntegrityError).
  void lire(MemoryStream& stream);
  // The same for a stream nobody reads afterwards: its pages are given back
  // as they are read, so the peak is not the stream plus the base. The stream
  // is empty afterwards, whatever happened.
  void lire(MemoryStream&& stream);
  // The whole base, followed by its integrity record.
  MemoryStream ecrire();
  MemoryStream ecrire_classes(const std::vector<std::string>& classNames);
  // The record index ecrire would give each entity it writes.
  std::unordered_map<const MEntite*, std::int32_t> indexesEnregistrements();
  void initialiser_symboles();

  // The triples the base owns, in creation order.
  const TripleList& triplets() const { return triples_; }
  int nb_symboles() const { return ownedSymbols_; }

  // Engine internals.
  // Triples are numbered in the order they are made across the process:
  // lists that hold triples made while different bases were current stay
  // in that order too.
  static std::uint64_t nextSequence();
  void adopt(MTruc* t);          // appends to the base's triple list
  bool owns(const MTruc* t) const { return triples_.holds(t); }
  bool disown(MTruc* t);         // takes it out of that list; whether it was there
  void registerWorkspace(MWorkSpace* w);
  void unregisterWorkspace(MWorkSpace* w);
  MWorkSpace* ownerWorkspace(const MTruc* t) const;
  void registerSymbol(MSymbole* s);
  void unregisterSymbol(MSymbole* s);
  void enterRelation(MEntite* relation);
  // Where the numbering of workspace model names of `name` goes on.
  int& prochainNumeroDeModele(std::string_view name);
  // True while vider throws the whole content away at once.
  bool discarding() const { return discarding_; }
  // Frees a graph-owned entity that takes part in nothing and is not pinned.
  void releaseIfDead(MEntite* e);
  // Standard symbols looked up once per content (a vider forgets them).
  MEntite* sysRacine();
  MEntite* sysIdClasse();

  // The lists of the relations of the triples a stream brought are made
  // when first needed: most are never walked, and the biggest ones would
  // hold every triple again. Completes `relation`'s list from every base.
  static void completeRelationList(MEntite* relation);
  // How many triples `relation`'s list will gain when completed.
  static int pendingRelationCount(const MEntite* relation);

  // The journal recording the base's triples as they come and go (none
  // while a stream is read); set by the journal itself.
  BaseJournal* journal() const { return journal_; }
  void setJournal(BaseJournal* journal) { journal_ = journal; }
  // Changes with every vider: what was recorded before refers to symbols gone.
  std::uint64_t generation() const { return generation_; }

private:
  friend class JournalStep;
  // The three steps of lire: the symbol section's records located and
  // checked (a read error is answered, not thrown, so that the records before
  // it are still made), an entity made for each, then the triples.
  struct StreamRead;
  void read(MemoryStream& stream, bool consume);
  static std::exception_ptr locateRecords(MemoryStream& stream, StreamRead& read);
  void makeEntities(MemoryStream& stream, StreamRead& read);
  void readTriples(MemoryStream& stream, StreamRead& read);
  // Sizes the lists the triple section will fill, once each.
  void reserveLists(const MemoryStream& stream, StreamRead& read);
  bool passesSaveFilter(const MTruc* t, std::unordered_map<const MEntite*, bool>& unreachable);
  MemoryStream write(bool (*filter)(MBC&, const MTruc*, const void*), const void* context,
                     std::unordered_map<const MEntite*, std::int32_t>* indexes);
  void clearCaches();
  // Completes every relation list this base owes triples.
  void completePendingRelations();
  // The triples a stream brought since the relation lists were last complete
  // are numbered from pendingFirst_ on; the relations whose lists miss them,
  // with how many each misses.
  std::uint64_t pendingFirst_ = 0;
  std::vector<std::pair<MEntite*, int>> pendingRelations_;

  Mtable_des_symboles symbols_;
  Mtable_des_symboles relations_;
  TripleList triples_;
  int ownedSymbols_ = 0;
  std::vector<MSymbole*> extraSymbols_;
  std::vector<MWorkSpace*> workspaces_;
  bool discarding_ = false;
  std::unordered_map<std::string, int> modelNumbers_;
  // A block the lists of a stream read take their room from.
  class ListRoom {
  public:
    explicit ListRoom(std::size_t bytes);
    ~ListRoom();
    ListRoom(const ListRoom&) = delete;
    ListRoom& operator=(const ListRoom&) = delete;
    char* begin() const { return block_; }
    char* end() const { return block_ + bytes_; }

  private:
    char* block_;
    std::size_t bytes_;
  };
  std::vector<std::unique_ptr<ListRoom>> listRoom_;
  MEntite* sysRacine_ = nullptr;
  MEntite* sysIdClasse_ = nullptr;
  BaseJournal* journal_ = nullptr;
  std::uint64_t generation_;
};

// The base every entity operation works on.
extern MBC* base_courante;

class MMulti_base {
public:
  MMulti_base();
  ~MMulti_base();
  MBC* nouvelle_base();
  int nb_bases() const { return static_cast<int>(bases_.size()); }
  MBC* base(int i) const { return bases_.at(static_cast<std::size_t>(i)).get(); }

private:
  std::vector<std::unique_ptr<MBC>> bases_;
};

} // namespace tessel
