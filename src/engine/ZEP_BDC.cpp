#include "engine/ZEP_BDC.h"

#include "engine/BaseJournal.h"
#include "engine/Prefetch.h"
#include "engine/SmallObjectPool.h"
#include "engine/ZEP_requete.h"
#include "engine/global_symbole.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "foundation/UserPrompts.h"
#include "foundation/ZEP_Crypt.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <array>
#include <exception>

namespace tessel {

MBC* base_courante = nullptr;

namespace {

constexpr int searchListLimit = 65000;
constexpr std::int32_t symbolSectionEnd = -1;
constexpr std::int32_t tripleSectionEnd = -2;
// After the end: the integrity record, the marker, the digest's length and
// the SHA-256 digest of every byte before the marker.
constexpr std::int32_t integrityMarker = -3;
constexpr std::int32_t digestLength = 32;
constexpr std::size_t integrityRecordSize = 8 + digestLength;

QByteArray digestOf(const std::string& bytes, std::size_t length) {
  return Sha256Digest(std::string_view(bytes.data(), length));
}

bool isPictureName(std::string_view text) { return text.size() >= 5 && SameText(text.substr(0, 5), "[bmp]"); }

std::string trimmedForStream(const std::string& name) {
  std::size_t first = 0, last = name.size();
  while (first < last && static_cast<unsigned char>(name[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(name[last - 1]) <= 32) --last;
  return first == last ? name : name.substr(first, last - first);
}

struct Candidate {
  MEntite* entity = nullptr;
  Role role = RoleSubject;
  int count = 0;
};

// The list a pattern search walks: the shortest usable one under the limit;
// when every usable one is over the limit, the shortest of them anyway, so
// very large classes stay searchable. A relation list still to be made is
// made only when chosen.
const TripleList* chooseCandidate(MEntite* s, MEntite* r, MEntite* v) {
  Candidate best, bestOver;
  auto consider = [&](MEntite* e, Role role, int n) {
    if (e->hasOperatorName()) return;
    Candidate& slot = n < searchListLimit ? best : bestOver;
    if (!slot.entity || n < slot.count) slot = {e, role, n};
  };
  if (s) consider(s, RoleSubject, s->subjects().count());
  if (r) consider(r, RoleRelation, r->relationCount());
  if (v) consider(v, RoleValue, v->values().count());
  const Candidate& chosen = best.entity ? best : bestOver;
  if (!chosen.entity) return nullptr;
  return chosen.role == RoleSubject    ? &chosen.entity->subjects()
         : chosen.role == RoleRelation ? &chosen.entity->relations()
                                       : &chosen.entity->values();
}

bool matches(const MTruc* t, const MEntite* s, const MEntite* r, const MEntite* v) {
  return (!s || t->sujet() == s) && (!r || t->relation() == r) && (!v || t->valeur() == v);
}

QByteArray bmpBytes(const QImage& image) {
  QByteArray bytes;
  if (image.isNull()) return bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

bool samePicture(QImage& a, QImage& b) {
  if (a.width() != b.width() || a.height() != b.height() || a.width() * a.height() == 0) return false;
  if (a.format() != QImage::Format_RGB888) a = a.convertToFormat(QImage::Format_RGB888);
  if (b.format() != QImage::Format_RGB888) b = b.convertToFormat(QImage::Format_RGB888);
  const std::size_t rowBytes = static_cast<std::size_t>(a.width()) * 3;
  for (int y = 0; y < a.height(); ++y)
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0) return false;
  return true;
}

std::uint32_t le32(const char* p) {
  return std::uint32_t(static_cast<unsigned char>(p[0])) | std::uint32_t(static_cast<unsigned char>(p[1])) << 8 |
         std::uint32_t(static_cast<unsigned char>(p[2])) << 16 | std::uint32_t(static_cast<unsigned char>(p[3])) << 24;
}

// A BMP whose header promises no more pixels than its bytes can carry (run-length
// compressed ones at most 256 pixels a byte), so a few hostile bytes never make
// the decoder allocate a huge picture.
bool plausibleBmp(const char* data, std::size_t size) {
  if (size < 30 || data[0] != 'B' || data[1] != 'M') return false;
  const std::uint32_t headerSize = le32(data + 14);
  if (headerSize < 40) return true; // old OS/2 header: 16-bit dimensions only
  const auto width = static_cast<std::int32_t>(le32(data + 18));
  const auto height = static_cast<std::int32_t>(le32(data + 22));
  const unsigned bits = static_cast<unsigned char>(data[28]) | static_cast<unsigned char>(data[29]) << 8;
  if (width <= 0 || height == 0 || height == INT32_MIN || bits == 0 || bits > 32) return false;
  const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height < 0 ? -std::int64_t(height) : height);
  const std::uint32_t compression = size >= 34 ? le32(data + 30) : 0;
  const bool runLength = compression == 1 || compression == 2;
  const std::uint64_t bytesNeeded = runLength ? pixels / 256 : pixels * bits / 8;
  return bytesNeeded <= size;
}

[[noreturn]] void formatError(const Message& what) {
  throw StreamFormatError(Message("Flux de base de connaissances invalide : ") + what.text());
}

} // namespace

// ---------------------------------------------------------------- MBC

namespace {
// Unique among every base of the process: a base at the address of a former one is told apart.
std::uint64_t nextGeneration() {
  static std::uint64_t generation = 0;
  return ++generation;
}
} // namespace

MBC::MBC() : symbols_(100, 50, true), relations_(100, 50), generation_(nextGeneration()) { base_courante = this; }

MBC::~MBC() {
  if (journal_) journal_->baseDestroyed();
  journal_ = nullptr;
  MBC* previous = base_courante;
  base_courante = this;
  vider();
  base_courante = previous == this ? nullptr : previous;
}

MSymbole* MBC::symbole(std::string_view name) {
  if (name.empty()) return new MSymbole(name);
  return symbole(name, Mtable_des_symboles::hashOf(name));
}

MSymbole* MBC::symbole(std::string_view name, std::uint64_t hash) {
  if (MEntite* e = symbols_.chercher(name, hash)) {
    e->data().wordTextOnly = false;
    return static_cast<MSymbole*>(e);
  }
  return new MSymbole(name, MSymbole::Absent{hash});
}

MSymbole* MBC::symboleDeMot(std::string_view text) {
  if (text.empty()) return symbole(text);
  const std::uint64_t hash = Mtable_des_symboles::hashOf(text);
  if (MEntite* e = symbols_.chercher(text, hash)) return static_cast<MSymbole*>(e);
  auto* s = new MSymbole(text, MSymbole::Absent{hash});
  s->data().wordTextOnly = true;
  return s;
}

bool MBC::texteDeMotSeulement(const MEntite* symbol) const {
  return symbol->dp() && symbol->dp()->wordTextOnly;
}

MEntite* MBC::chercher_symbole(std::string_view name) { return symbols_.chercher(name); }

MEntite* MBC::relation(std::string_view name) {
  if (MEntite* e = relations_.chercher(name)) return e;
  MEntite* e = symbole(name);
  relations_.inserer(e);
  return e;
}

MEntite* MBC::chercher_relation(std::string_view name) {
  if (MEntite* e = relations_.chercher(name)) return e;
  return chercher_symbole(name);
}

EntityRef MBC::nouvelle_entite() {
  auto* e = new MEntite;
  e->setGraphOwned();
  return EntityRef(e);
}

MTruc* MBC::ajouter_triplet(MEntite* subject, MEntite* relation, MEntite* value) {
  return new MTruc(subject, relation, value, nullptr);
}

MListe<MTruc> MBC::chercher_triplets(MEntite* subject, MEntite* relation, MEntite* value) {
  MListe<MTruc> result;
  const TripleList* list = chooseCandidate(subject, relation, value);
  if (!list) return result;
  // Most often every triple of the list matches (a class's instances).
  result.reserve(list->count());
  list->forEach([&](MTruc* t) {
    if (matches(t, subject, relation, value)) result.Add(t);
  });
  return result;
}

bool MBC::existe_triplet(MEntite* subject, MEntite* relation, MEntite* value) {
  const TripleList* list = chooseCandidate(subject, relation, value);
  if (!list) return false;
  const int n = list->rawSize();
  for (int i = 0; i < n; ++i)
    if (MTruc* t = list->raw(i); t && matches(t, subject, relation, value)) return true;
  return false;
}

MListe<MTruc> MBC::triplets_par_noms(std::string_view relation, std::string_view value) {
  return chercher_triplets(nullptr, symbole(relation), symbole(value));
}

MListe<MTruc> MBC::triplets_relation_valeur(MEntite* relation, std::string_view value) {
  return chercher_triplets(nullptr, relation, symbole(value));
}

void MBC::initialiser_symboles() {
  int count = 0;
  const StandardSymbol* names = standardSymbols(count);
  for (int i = 0; i < count; ++i) {
    if (names[i].relation)
      relation(names[i].name);
    else
      symbole(names[i].name);
  }
  symbolesInitialises() = true;
}

namespace {

std::uint64_t& lastSequence() {
  static std::uint64_t last = 0;
  return last;
}

// The bases whose relation lists miss triples read from a stream. Never
// destroyed: bases held by other statics are torn down at exit, perhaps after
// this would be.
std::vector<MBC*>& basesOwingRelations() {
  static auto* const bases = new std::vector<MBC*>;
  return *bases;
}

// Whether the list holds no triple numbered `first` or more (it may hold room
// and no triple at all).
bool holdsNothingFrom(const TripleList& list, std::uint64_t first) {
  const MTruc* newest = list.last();
  return !newest || newest->sequence() < first;
}

} // namespace

std::uint64_t MBC::nextSequence() { return ++lastSequence(); }

// Only triples numbered from pendingFirst_ on are looked for: whatever was
// linked to a relation's list since (a triple made or put back by an undo)
// went through that list, which was completed first.
void MBC::completeRelationList(MEntite* relation) {
  MEntite::Data& d = *relation->dp();
  // First: the list's own accesses below must not come back here.
  d.relationsPending = false;
  TripleList& list = d.lists[RoleRelation];
  std::vector<MBC*>& owing = basesOwingRelations();
  for (std::size_t i = 0; i < owing.size();) {
    MBC* b = owing[i];
    auto owed = std::find_if(b->pendingRelations_.begin(), b->pendingRelations_.end(),
                             [relation](const auto& p) { return p.first == relation; });
    if (owed != b->pendingRelations_.end()) {
      const auto count = static_cast<std::size_t>(owed->second);
      b->pendingRelations_.erase(owed);
      const TripleList& all = b->triples_;
      const int end = all.rawSize();
      const int from = all.lowerBound(b->pendingFirst_);
      auto each = [&](auto&& f) {
        for (int k = from; k < end; ++k)
          if (MTruc* t = all.raw(k); t && t->relation() == relation) f(t);
      };
      if (holdsNothingFrom(list, b->pendingFirst_)) {
        // The usual case: nothing newer was linked to it meanwhile.
        list.reserve(count);
        each([&](MTruc* t) { list.append(t); });
      } else {
        std::vector<MTruc*> found;
        found.reserve(count);
        each([&](MTruc* t) { found.push_back(t); });
        list.insertSorted(found.data(), found.size());
      }
    }
    if (b->pendingRelations_.empty()) {
      owing.erase(owing.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

int MBC::pendingRelationCount(const MEntite* relation) {
  int count = 0;
  for (const MBC* b : basesOwingRelations())
    for (const auto& [r, n] : b->pendingRelations_)
      if (r == relation) count += n;
  return count;
}

// All of this base's in one pass over its triples.
void MBC::completePendingRelations() {
  if (pendingRelations_.empty()) return;
  std::vector<std::pair<MEntite*, int>> owed;
  owed.swap(pendingRelations_);
  std::erase(basesOwingRelations(), this);
  struct Target {
    TripleList* list;
    bool appended; // nothing newer in the list: the triples go after the others
    std::vector<MTruc*> merged;
  };
  std::unordered_map<const MEntite*, Target> targets;
  for (const auto& [relation, count] : owed) {
    MEntite::Data& d = *relation->dp();
    d.relationsPending = pendingRelationCount(relation) > 0; // another base may owe it too
    TripleList& list = d.lists[RoleRelation];
    const bool appended = holdsNothingFrom(list, pendingFirst_);
    if (appended) list.reserve(static_cast<std::size_t>(count));
    targets.emplace(relation, Target{&list, appended, {}});
  }
  const int end = triples_.rawSize();
  for (int k = triples_.lowerBound(pendingFirst_); k < end; ++k) {
    MTruc* t = triples_.raw(k);
    if (!t) continue;
    const auto target = targets.find(t->relation());
    if (target == targets.end()) continue;
    if (target->second.appended)
      target->second.list->append(t);
    else
      target->second.merged.push_back(t);
  }
  for (auto& [relation, target] : targets)
    if (!target.merged.empty()) target.list->insertSorted(target.merged.data(), target.merged.size());
}

void MBC::adopt(MTruc* t) {
  triples_.append(t);
  if (journal_) [[unlikely]] journal_->added(t);
}

bool MBC::disown(MTruc* t) {
  if (!triples_.remove(t)) return false;
  if (journal_) [[unlikely]] journal_->removed(t);
  return true;
}

void MBC::registerWorkspace(MWorkSpace* w) { workspaces_.push_back(w); }

void MBC::unregisterWorkspace(MWorkSpace* w) { std::erase(workspaces_, w); }

MWorkSpace* MBC::ownerWorkspace(const MTruc* t) const {
  for (MWorkSpace* w : workspaces_)
    if (w->contient(t)) return w;
  return nullptr;
}

// The base's symbols are found through the symbol table; the few it owns
// outside the table (a second symbol of a name, pictures read twice) are
// listed apart.
void MBC::registerSymbol(MSymbole* s) {
  s->data().baseOwnedSymbol = true;
  ++ownedSymbols_;
  if (!s->inSymbolTable()) extraSymbols_.push_back(s);
}

void MBC::unregisterSymbol(MSymbole* s) {
  s->data().baseOwnedSymbol = false;
  --ownedSymbols_;
  if (!s->inSymbolTable()) std::erase(extraSymbols_, s);
}

void MBC::enterRelation(MEntite* relation) {
  MEntite::Data& d = relation->data();
  if (d.inRelationTable || relation->name().empty()) return;
  relations_.inserer(relation);
  d.inRelationTable = true;
}

void MBC::releaseIfDead(MEntite* e) {
  if (e) e->releaseIfUnused();
}

// Looked up until found, then kept until the next vider.
MEntite* MBC::sysRacine() {
  if (!sysRacine_) sysRacine_ = chercher_relation("sys_racine");
  return sysRacine_;
}

MEntite* MBC::sysIdClasse() {
  if (!sysIdClasse_) sysIdClasse_ = chercher_relation("sys_ID_classe");
  return sysIdClasse_;
}

void MBC::clearCaches() {
  sysRacine_ = nullptr;
  sysIdClasse_ = nullptr;
  modelNumbers_.clear();
}

int& MBC::prochainNumeroDeModele(std::string_view name) {
  auto [it, fresh] = modelNumbers_.try_emplace(UpperAsciiText(name), 1);
  return it->second;
}

void MBC::vider() {
  // Nothing of the old content can be taken back once it is gone.
  if (journal_) journal_->contentDiscarded();
  struct Resume {
    MBC* base;
    BaseJournal* journal;
    ~Resume() { base->journal_ = journal; }
  } resume{this, journal_};
  journal_ = nullptr;
  generation_ = nextGeneration();
  // The triples go one by one: each must find its relation's list complete,
  // or an anonymous relation would be freed with its first triple.
  completePendingRelations();
  // The query analyser's letters point at lexical entries about to go.
  liberer_requetes();
  // Workspaces keep triples that refer to symbols about to go: they go first.
  for (MWorkSpace* w : workspaces_) w->detach();
  while (MTruc* t = triples_.last()) MTruc::detruire(t);
  // Every symbol goes: the tables are emptied at once rather than one by one.
  std::vector<MSymbole*> owned;
  owned.reserve(static_cast<std::size_t>(ownedSymbols_));
  for (MEntite* e : symbols_.entites())
    if (static_cast<MSymbole*>(e)->baseOwned()) owned.push_back(static_cast<MSymbole*>(e));
  owned.insert(owned.end(), extraSymbols_.begin(), extraSymbols_.end());
  // Freed from the highest address down, so the next content is laid out in
  // ascending order again: a base read afterwards is walked sequentially.
  std::sort(owned.begin(), owned.end(), std::greater<>());
  symbols_.viderPourDestruction();
  relations_.vider();
  extraSymbols_.clear();
  ownedSymbols_ = 0;
  discarding_ = true;
  for (MSymbole* s : owned) delete s;
  discarding_ = false;
  clearCaches();
  // Every triple is gone, so no list uses the room of the lists read.
  listRoom_.clear();
}

// ---------------------------------------------------------------- reading

namespace {

// The digest of everything before a trailing integrity record, taken before
// any byte is read (a consumed stream no longer has them at the end); empty
// when the stream does not end with one.
QByteArray leadingDigest(const MemoryStream& stream) {
  if (stream.size() < integrityRecordSize) return {};
  MemoryStream record(stream.bytes().substr(stream.size() - integrityRecordSize, 8));
  if (record.readInt32() != integrityMarker || record.readInt32() != digestLength) return {};
  return digestOf(stream.bytes(), stream.size() - integrityRecordSize);
}

// Streams of older writers end at the marker; anything else after it must be
// a record that matches.
void verifierIntegrite(const MemoryStream& stream, const QByteArray& digest) {
  const std::size_t end = stream.position();
  if (stream.remaining() == 0) return;
  const auto damaged = [](MessageLiteral what) {
    throw StreamIntegrityError(Message("Flux de base de connaissances endommagé : "_w) + std::string(what.text()));
  };
  if (stream.remaining() != integrityRecordSize || digest.isEmpty())
    damaged("données inattendues après la fin des triplets"_w);
  if (std::memcmp(digest.constData(), stream.bytes().data() + end + 8, digestLength) != 0)
    damaged("son contenu ne correspond plus à son empreinte (des octets ont été modifiés)"_w);
}

} // namespace

// What a read has made so far: the records of the symbol section, then an
// entity per record. Anonymous entities are graph-owned: those no triple ends
// up linking are freed when the read ends, found by their record without
// touching the others.
struct MBC::StreamRead {
  struct Record {
    std::uint32_t offset; // of the name
    std::uint32_t length; // of the name, terminator excluded
    std::uint64_t hash;
  };
  std::vector<Record> records;
  std::vector<MEntite*> entities;
  std::vector<std::uint32_t> anonymous;
  std::vector<bool> linked;
  bool reserved = false;
  bool consume = false; // pages read are given back

  StreamRead() = default;
  StreamRead(const StreamRead&) = delete;
  StreamRead& operator=(const StreamRead&) = delete;
  ~StreamRead() {
    // Room reserved for triples a bad record stopped is let go, so that no
    // empty list keeps any.
    if (reserved)
      for (MEntite* e : entities)
        for (Role role : {RoleSubject, RoleValue}) e->list(role).releaseIfEmpty();
    for (std::uint32_t i : anonymous)
      if (!linked[i]) entities[i]->releaseIfUnused();
  }
};

void MBC::lire(MemoryStream& stream) { read(stream, false); }

void MBC::lire(MemoryStream&& stream) {
  struct Empty {
    MemoryStream& stream;
    ~Empty() {
      std::string().swap(stream.bytes());
      stream.seek(0);
    }
  } empty{stream};
  read(stream, true);
}

void MBC::read(MemoryStream& stream, bool consume) {
  BusyCursor busy;
  initialiser_symboles();
  MBC* previous = base_courante;
  base_courante = this;
  struct Restore {
    MBC* previous;
    int budget;
    BaseJournal* journal;
    MBC* base;
    ~Restore() {
      base_courante = previous;
      symbolSubjectWarningBudget() = budget;
      base->journal_ = journal;
    }
  } restore{previous, symbolSubjectWarningBudget(), journal_, this};
  // What a file brings is no edit.
  journal_ = nullptr;
  // Only the first symbol-subject warning of a read is shown: a damaged
  // stream must not open thousands of windows.
  symbolSubjectWarningBudget() = 1;

  // The triples of this read are owed to their relations' lists from here on.
  completePendingRelations();
  pendingFirst_ = lastSequence() + 1;

  // First the records are located and checked, then the entities are made:
  // knowing the names ahead lets the symbol index be sized once and its slots
  // fetched before they are needed. Errors keep their place: the records
  // before a bad one are made before the error is raised.
  const QByteArray digest = leadingDigest(stream);
  StreamRead read;
  read.consume = consume;
  const std::exception_ptr sectionError = locateRecords(stream, read);
  const std::size_t triplesStart = stream.position();
  makeEntities(stream, read);
  std::vector<StreamRead::Record>().swap(read.records); // no longer needed: room for the triples
  if (sectionError) std::rethrow_exception(sectionError);
  // The names are in the entities now.
  if (consume) pool::discardPages(stream.data(), stream.data() + triplesStart);
  stream.seek(triplesStart);
  readTriples(stream, read);
  verifierIntegrite(stream, digest);
}

std::exception_ptr MBC::locateRecords(MemoryStream& stream, StreamRead& read) {
  std::vector<StreamRead::Record>& records = read.records;
  stream.seek(0);
  try {
    for (std::int32_t marker = stream.readInt32(); marker != symbolSectionEnd; marker = stream.readInt32()) {
      const std::int32_t length = stream.readInt32();
      if (length <= 1)
        formatError(Message("longueur de nom ") + std::to_string(length) + " à l'enregistrement "_w +
                    std::to_string(records.size()));
      // Any length the stream holds is read: a name is never longer than the
      // bytes that carry it, so hostile lengths end here.
      if (static_cast<std::size_t>(length) > stream.remaining())
        throw StreamReadError(Message("Erreur de lecture du flux : nom coupé à l'enregistrement "_w) +
                              std::to_string(records.size()));
      const std::size_t at = stream.position();
      const std::string_view name(stream.bytes().data() + at, static_cast<std::size_t>(length - 1));
      stream.seek(at + static_cast<std::size_t>(length));
      if (name.front() != '~' && isPictureName(name)) {
        const std::int32_t size = stream.readInt32();
        if (size < 0 || static_cast<std::size_t>(size) > stream.remaining())
          formatError(Message("taille d'image ") + std::to_string(size) + " pour " + std::string(name));
        stream.seek(stream.position() + static_cast<std::size_t>(size));
      }
      // Only a whole record is kept.
      records.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(name.size()),
                         Mtable_des_symboles::hashOf(name)});
    }
  } catch (const StreamReadError&) {
    return std::current_exception();
  }
  return nullptr;
}

void MBC::makeEntities(MemoryStream& stream, StreamRead& read) {
  const std::vector<StreamRead::Record>& records = read.records;
  read.linked.assign(records.size(), false);
  read.entities.reserve(records.size());
  // Anonymous records ("~...") make no symbol; an eighth more for what
  // follows the read, so that its first new symbols do not double the index.
  const auto named = static_cast<std::size_t>(std::count_if(
      records.begin(), records.end(), [&](const StreamRead::Record& r) { return stream.bytes()[r.offset] != '~'; }));
  symbols_.reserve(named + named / 8);
  // The entities lie in blocks of their exact size.
  auto blockOf = [](std::size_t objectSize) { return MEntite::dataOffset(objectSize) + MEntite::dataBytes(objectSize); };
  pool::reserve(blockOf(sizeof(MEntite)), records.size() - named);
  pool::reserve(blockOf(sizeof(MSymbole)), named);
  constexpr std::size_t lookAhead = 16;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + lookAhead < records.size()) symbols_.prefetch(records[i + lookAhead].hash);
    const StreamRead::Record& rec = records[i];
    const std::string_view name(stream.bytes().data() + rec.offset, rec.length);
    MEntite* e = nullptr;
    if (name.front() == '~') {
      e = new MEntite;
      e->setGraphOwned();
      read.anonymous.push_back(static_cast<std::uint32_t>(i));
    } else if (isPictureName(name)) {
      stream.seek(rec.offset + rec.length + 1);
      const std::int32_t size = stream.readInt32();
      QImage image;
      if (size > 0) {
        const char* data = stream.bytes().data() + stream.position();
        if (!plausibleBmp(data, static_cast<std::size_t>(size)) ||
            !image.loadFromData(reinterpret_cast<const uchar*>(data), size, "BMP"))
          formatError(Message("l'image de ") + std::string(name) + " n'est pas un fichier BMP valide");
      }
      e = new MSymbole_bitmap(name, image);
    } else {
      e = symbole(name, rec.hash);
    }
    read.entities.push_back(e);
  }
}

MBC::ListRoom::ListRoom(std::size_t bytes)
    : block_(static_cast<char*>(pool::allocateBlock(bytes))), bytes_(bytes) {}

MBC::ListRoom::~ListRoom() { pool::releaseBlock(block_, bytes_); }

void MBC::reserveLists(const MemoryStream& stream, StreamRead& read) {
  const std::vector<MEntite*>& entities = read.entities;
  const auto count = static_cast<std::int32_t>(entities.size());
  std::vector<std::array<std::uint32_t, 3>> uses(entities.size());
  std::size_t triples = 0;
  const char* p = stream.bytes().data() + stream.position();
  for (std::size_t left = stream.remaining(); left >= 12; left -= 12, p += 12) {
    const std::int32_t indexes[3] = {static_cast<std::int32_t>(le32(p)), static_cast<std::int32_t>(le32(p + 4)),
                                     static_cast<std::int32_t>(le32(p + 8))};
    // The records up to the first bad one: reading stops there.
    if (indexes[0] == tripleSectionEnd) break;
    bool inRange = true;
    for (std::int32_t index : indexes) inRange = inRange && index >= 0 && index < count;
    if (!inRange) break;
    for (int role = RoleSubject; role <= RoleValue; ++role) ++uses[static_cast<std::size_t>(indexes[role])][role];
    ++triples;
  }
  triples_.reserve(triples);
  pool::reserve(sizeof(MTruc), triples);
  // A symbol takes no sons. Relation lists are made when needed: what each
  // will hold is noted instead.
  for (std::size_t i = 0; i < entities.size(); ++i) {
    if (entities[i]->isSymbol()) uses[i][RoleSubject] = 0;
    if (uses[i][RoleRelation] != 0) {
      // Two records may name one symbol: it is owed once, the sum of both.
      MEntite::Data& d = entities[i]->data();
      const auto owed = static_cast<int>(uses[i][RoleRelation]);
      const auto known = std::find_if(pendingRelations_.begin(), pendingRelations_.end(),
                                      [&](const auto& p) { return d.relationsPending && p.first == entities[i]; });
      if (known != pendingRelations_.end())
        known->second += owed;
      else
        pendingRelations_.emplace_back(entities[i], owed);
      d.relationsPending = true;
      uses[i][RoleRelation] = 0;
    }
  }
  if (!pendingRelations_.empty() && std::find(basesOwingRelations().begin(), basesOwingRelations().end(), this) ==
                                        basesOwingRelations().end())
    basesOwingRelations().push_back(this);
  // Every list's room comes from one block, in the order the entities were
  // made: no allocation per list, and the lists lie next to each other.
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < entities.size(); ++i)
    for (int role = RoleSubject; role <= RoleValue; ++role)
      if (uses[i][role]) bytes += entities[i]->list(Role(role)).roomFor(uses[i][role]);
  TripleList::Room room;
  if (bytes > 0) {
    listRoom_.push_back(std::make_unique<ListRoom>(bytes));
    room = {listRoom_.back()->begin(), listRoom_.back()->end()};
  }
  read.reserved = true;
  for (std::size_t i = 0; i < entities.size(); ++i)
    for (int role = RoleSubject; role <= RoleValue; ++role)
      if (uses[i][role]) entities[i]->list(Role(role)).reserve(uses[i][role], &room);
}

void MBC::readTriples(MemoryStream& stream, StreamRead& read) {
  reserveLists(stream, read);
  const std::vector<MEntite*>& entities = read.entities;
  std::vector<bool>& linked = read.linked;
  const auto count = static_cast<std::int32_t>(entities.size());
  auto entity = [&](std::int32_t index) {
    if (index < 0 || index >= count)
      formatError(Message("triplet : index ") + std::to_string(index) + " hors limites (" + std::to_string(count) +
                  " enregistrements lus)");
    return entities[static_cast<std::size_t>(index)];
  };
  // Entities made long before their triples are fetched a few records ahead.
  auto prefetchAhead = [&](std::size_t at) {
    if (at + 12 > stream.size()) return;
    const char* p = stream.bytes().data() + at;
    for (int k : {0, 8}) {
      std::int32_t index;
      std::memcpy(&index, p + k, 4);
      if (index >= 0 && index < count) {
        const char* e = reinterpret_cast<const char*>(entities[static_cast<std::size_t>(index)]);
        prefetchLine(e);
        prefetchLine(e + 64);
      }
    }
  };
  constexpr std::size_t tripleLookAhead = 8 * 12;
  // The integers are taken straight from the bytes; at the very end, the
  // stream's own reading raises its error for a record cut short.
  const char* const bytes = stream.bytes().data();
  std::size_t at = stream.position();
  auto next = [&]() -> std::int32_t {
    if (stream.size() - at < 4) {
      stream.seek(at);
      return stream.readInt32();
    }
    at += 4;
    return static_cast<std::int32_t>(le32(bytes + at - 4));
  };
  // Pages are given back a few at a time, behind the reading.
  constexpr std::size_t discardStep = 1 << 20;
  std::size_t kept = at;
  for (std::int32_t s = next(); s != tripleSectionEnd; s = next()) {
    if (read.consume && at - kept >= discardStep) {
      pool::discardPages(stream.data() + kept, stream.data() + at - 4);
      kept = at - 4;
    }
    prefetchAhead(at - 4 + tripleLookAhead);
    const std::int32_t r = next();
    const std::int32_t v = next();
    MEntite* subject = entity(s);
    MEntite* relationEntity = entity(r);
    MEntite* value = entity(v);
    new MTruc(subject, relationEntity, value, MTruc::FromStream{});
    // Only now: an entity of a record refused half-way is freed on the way out.
    for (std::int32_t index : {s, r, v}) linked[static_cast<std::size_t>(index)] = true;
  }
  stream.seek(at);
}

// ---------------------------------------------------------------- writing

bool MBC::passesSaveFilter(const MTruc* t, std::unordered_map<const MEntite*, bool>& unreachable) {
  const MEntite* s = t->sujet();
  if (s->isTriple() || !s->name().empty() || !s->values().empty()) return true;
  // The root mark is looked for once per subject: a subject with many
  // triples would otherwise be scanned once for each of them.
  auto [known, fresh] = unreachable.try_emplace(s, false);
  if (fresh) {
    MEntite* racine = sysRacine();
    known->second = !racine || !s->valeur_de(racine, 0);
  }
  return !known->second;
}

MemoryStream MBC::write(bool (*filter)(MBC&, const MTruc*, const void*), const void* context,
                        std::unordered_map<const MEntite*, std::int32_t>* indexes) {
  BusyCursor busy;
  MemoryStream out;
  MemoryStream tripleBuffer;
  std::vector<MEntite*> indexed; // scratch indexes to reset afterwards
  std::vector<MSymbole_bitmap*> pictures;
  std::unordered_map<const MEntite*, bool> unreachable;
  std::int32_t next = 0;

  auto indexOf = [&](MEntite* e) -> std::int32_t {
    MEntite::Data& d = e->data();
    if (d.scratch >= 0) return d.scratch;
    std::string text = e->nom();
    text = text.empty() ? "~" + std::to_string(next) : trimmedForStream(text);
    const bool picture = e->kind() == EntityKind::SymbolBitmap && isPictureName(text);
    if (picture) {
      auto* bitmap = static_cast<MSymbole_bitmap*>(e);
      for (auto it = pictures.rbegin(); it != pictures.rend(); ++it)
        if (samePicture((*it)->image(), bitmap->image())) {
          if (indexes) (*indexes)[e] = (*it)->data().scratch;
          return (*it)->data().scratch;
        }
    }
    d.scratch = next++;
    indexed.push_back(e);
    if (indexes) (*indexes)[e] = d.scratch;
    out.writeInt32(d.scratch);
    out.writeInt32(static_cast<std::int32_t>(text.size() + 1));
    out.write(text.data(), text.size() + 1);
    if (isPictureName(text)) {
      QByteArray bmp;
      if (picture) {
        auto* bitmap = static_cast<MSymbole_bitmap*>(e);
        bmp = bmpBytes(bitmap->image());
        pictures.push_back(bitmap);
      }
      out.writeInt32(static_cast<std::int32_t>(bmp.size()));
      out.write(bmp.constData(), static_cast<std::size_t>(bmp.size()));
    }
    return d.scratch;
  };

  struct Reset {
    std::vector<MEntite*>& indexed;
    ~Reset() {
      for (MEntite* e : indexed) e->data().scratch = -1;
    }
  } reset{indexed};

  triples_.forEach([&](MTruc* t) {
    if (!passesSaveFilter(t, unreachable) || (filter && !filter(*this, t, context))) return;
    const std::int32_t s = indexOf(t->sujet());
    const std::int32_t r = indexOf(t->relation());
    const std::int32_t v = indexOf(t->valeur());
    tripleBuffer.writeInt32(s);
    tripleBuffer.writeInt32(r);
    tripleBuffer.writeInt32(v);
  });
  out.writeInt32(symbolSectionEnd);
  out.write(tripleBuffer.bytes());
  out.writeInt32(tripleSectionEnd);
  const QByteArray digest = digestOf(out.bytes(), out.size());
  out.writeInt32(integrityMarker);
  out.writeInt32(digestLength);
  out.write(digest.constData(), static_cast<std::size_t>(digest.size()));
  out.seek(0);
  return out;
}

MemoryStream MBC::ecrire() { return write(nullptr, nullptr, nullptr); }

std::unordered_map<const MEntite*, std::int32_t> MBC::indexesEnregistrements() {
  std::unordered_map<const MEntite*, std::int32_t> indexes;
  write(nullptr, nullptr, &indexes);
  return indexes;
}

namespace {

struct ClassFilter {
  std::vector<std::string> keys; // "sys_" + class name
};

bool isObjectOf(MBC& b, const MEntite* e, const ClassFilter& classes, bool& isObject) {
  MEntite* idClasse = b.sysIdClasse();
  isObject = false;
  if (!idClasse) return false;
  for (int n = 0; n < 2; ++n) {
    const MEntite* cls = e->valeur_de(idClasse, n);
    if (!cls) break;
    isObject = true;
    if (TextInList(cls->identifiant(), classes.keys)) return true;
  }
  return false;
}

bool isBin(const MEntite* e) {
  const MEntite* name = e->valeur_chemin("sys_nom_attribut_nom", 0);
  const MEntite* invariant = e->valeur_chemin("sys_nom_attribut_invariant", 0);
  return name && invariant && SameText(name->identifiant(), "poubelle") && SameText(invariant->identifiant(), "VRAI");
}

bool classFilter(MBC& b, const MTruc* t, const void* context) {
  const auto& classes = *static_cast<const ClassFilter*>(context);
  bool subjectIsObject = false;
  if (!isObjectOf(b, t->sujet(), classes, subjectIsObject) || isBin(t->sujet())) return false;
  bool valueIsObject = false;
  const bool valueOfClasses = isObjectOf(b, t->valeur(), classes, valueIsObject);
  if (valueIsObject && (!valueOfClasses || isBin(t->valeur()))) return false;
  return true;
}

} // namespace

MemoryStream MBC::ecrire_classes(const std::vector<std::string>& classNames) {
  ClassFilter classes;
  for (const std::string& name : classNames) classes.keys.push_back("sys_" + name);
  return write(classFilter, &classes, nullptr);
}

// ---------------------------------------------------------------- MMulti_base

MMulti_base::MMulti_base() { nouvelle_base(); }

MMulti_base::~MMulti_base() {
  while (!bases_.empty()) bases_.pop_back();
}

MBC* MMulti_base::nouvelle_base() {
  bases_.push_back(std::make_unique<MBC>());
  return bases_.back().get();
}

} // namespace tessel
