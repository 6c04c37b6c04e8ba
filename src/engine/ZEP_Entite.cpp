#include "engine/ZEP_Entite.h"

#include "engine/SmallObjectPool.h"
#include "engine/ZEP_BDC.h"
#include "engine/global_symbole.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "foundation/UserPrompts.h"

#include <QImage>

#include <new>
#include <unordered_set>

namespace tessel {

namespace {

const TripleList emptyList;

// Set by MEntite::operator new for the constructor of the object it allocated.
struct PendingData {
  void* block = nullptr;
  void* data = nullptr;
  bool named = false;
};
thread_local PendingData pendingData;

MBC& base() {
  if (!base_courante) throw InternalError("aucune base de connaissances courante");
  return *base_courante;
}

void releaseIfDead(MEntite* e) {
  if (e) e->releaseIfUnused();
}

template <class Pred>
MTruc* nth(const TripleList& list, int n, Pred pred) {
  if (n < 0) return nullptr;
  MTruc* found = nullptr;
  int seen = 0;
  const int size = list.rawSize();
  for (int i = 0; i < size && !found; ++i) {
    MTruc* t = list.raw(i);
    if (t && pred(t) && seen++ == n) found = t;
  }
  return found;
}

template <class Pred>
int countIf(const TripleList& list, Pred pred) {
  int n = 0;
  list.forEach([&](MTruc* t) { n += pred(t) ? 1 : 0; });
  return n;
}

} // namespace

// ---------------------------------------------------------------- MEntite

std::size_t MEntite::dataOffset(std::size_t size) {
  constexpr std::size_t align = alignof(NamedData);
  return (size + align - 1) / align * align;
}

// A plain entity is anonymous; every kind derived from it may be named.
std::size_t MEntite::dataBytes(std::size_t size) { return size == sizeof(MEntite) ? sizeof(Data) : sizeof(NamedData); }

void* MEntite::operator new(std::size_t size) {
  void* block = pool::allocate(dataOffset(size) + dataBytes(size));
  pendingData = {block, static_cast<char*>(block) + dataOffset(size), dataBytes(size) == sizeof(NamedData)};
  return block;
}

void MEntite::operator delete(void* p, std::size_t size) { pool::release(p, dataOffset(size) + dataBytes(size)); }

MEntite::MEntite() {
  if (pendingData.block == this) {
    Data* d = pendingData.named ? new (pendingData.data) NamedData : new (pendingData.data) Data;
    d->named = pendingData.named;
    d->embedded = true;
    bits_ = reinterpret_cast<std::uintptr_t>(d);
    pendingData = {};
  }
}

MEntite::MEntite(std::string_view name) : MEntite() {
  if (!name.empty()) {
    if (!data().named) {
      // A plain entity given a name (rare): its data moves to a block that has room for one.
      dp()->~Data();
      bits_ = 0;
    }
    Data& d = data();
    static_cast<NamedData&>(d).name.assign(name);
    d.operatorName = isComparisonOperatorName(name);
  }
}

MEntite::~MEntite() {
  Data* d = dp();
  if (!d) return;
  d->pins = 0xFFFF; // never freed again while its triples go
  while (MTruc* t = lastLinked()) MTruc::detruire(t);
  if (d->embedded) {
    if (d->named)
      static_cast<NamedData*>(d)->~NamedData();
    else
      d->~Data();
  } else if (d->ofTriple) {
    delete static_cast<TripleData*>(d);
  } else {
    delete static_cast<NamedData*>(d);
  }
}

MEntite::Data& MEntite::data() {
  if (Data* d = dp()) return *d;
  if (bits_ & 1u) { // a triple becoming an entity keeps its sequence number
    auto* d = new TripleData;
    d->ofTriple = true;
    d->sequence = bits_ >> MTruc::sequenceShift;
    d->packedHigh = static_cast<std::uint8_t>((bits_ >> 1) & MTruc::highMask);
    bits_ = reinterpret_cast<std::uintptr_t>(d);
    return *d;
  }
  Data* d = new NamedData;
  d->named = true;
  bits_ = reinterpret_cast<std::uintptr_t>(d);
  return *d;
}

std::string_view MEntite::name() const {
  const Data* d = dp();
  return d && d->named ? static_cast<const NamedData*>(d)->name.view() : std::string_view();
}

bool MEntite::isSymbol() const {
  const EntityKind k = kind();
  return k == EntityKind::Symbol || k == EntityKind::SymbolBitmap || k == EntityKind::Variable;
}

bool MEntite::nomEquals(std::string_view text) const {
  return isTriple() ? SameText(nom(), text) : SameText(name(), text);
}

bool MEntite::hasOperatorName() const { return dp() && dp()->operatorName; }

void MEntite::ajouter_fils(MTruc* t) { list(RoleSubject).append(t); }

std::string MEntite::nom() const { return std::string(name()); }

const TripleList& MEntite::subjects() const { return dp() ? dp()->lists[RoleSubject] : emptyList; }
const TripleList& MEntite::relations() const {
  const Data* d = dp();
  if (!d) return emptyList;
  if (d->relationsPending) MBC::completeRelationList(const_cast<MEntite*>(this));
  return d->lists[RoleRelation];
}
const TripleList& MEntite::values() const { return dp() ? dp()->lists[RoleValue] : emptyList; }
TripleList& MEntite::list(Role role) {
  Data& d = data();
  if (role == RoleRelation && d.relationsPending) MBC::completeRelationList(this);
  return d.lists[role];
}

int MEntite::relationCount() const {
  const Data* d = dp();
  if (!d) return 0;
  return d->lists[RoleRelation].count() + (d->relationsPending ? MBC::pendingRelationCount(this) : 0);
}

MTruc* MEntite::lastLinked() const {
  const Data* d = dp();
  if (!d) return nullptr;
  if (d->relationsPending) MBC::completeRelationList(const_cast<MEntite*>(this));
  MTruc* best = nullptr;
  for (int role = RoleSubject; role <= RoleValue; ++role) {
    MTruc* t = d->lists[role].last();
    if (t && (!best || t->sequence() >= best->sequence())) best = t;
  }
  return best;
}

bool MEntite::hasNoTriples() const {
  const Data* d = dp();
  if (d && d->relationsPending) MBC::completeRelationList(const_cast<MEntite*>(this));
  return !d || (d->lists[0].empty() && d->lists[1].empty() && d->lists[2].empty());
}

bool MEntite::graphOwned() const { return dp() && dp()->graphOwned; }

void MEntite::setGraphOwned() { data().graphOwned = true; }

void MEntite::pin() {
  Data& d = data();
  if (d.pins != 0xFFFF) ++d.pins;
}

void MEntite::unpin() {
  Data* d = dp();
  if (!d) return;
  if (d->pins > 0 && d->pins != 0xFFFF) --d->pins;
  releaseIfUnused();
}

void MEntite::releaseIfUnused() {
  const Data* d = dp();
  if (d && d->graphOwned && d->pins == 0 && hasNoTriples()) delete this;
}

// Reading

int MEntite::nb_fils() const { return subjects().count(); }
MTruc* MEntite::fils(int i) const { return subjects().at(i); }
MEntite* MEntite::valeur_fils(int i) const { return fils(i)->valeur(); }

MTruc* MEntite::triplet(const MEntite* relation, int n) const {
  return nth(subjects(), n, [relation](MTruc* t) { return t->relation() == relation; });
}

MEntite* MEntite::valeur_de(const MEntite* relation, int n) const {
  MTruc* t = triplet(relation, n);
  return t ? t->valeur() : nullptr;
}

MTruc* MEntite::triplet_par_nom(std::string_view name, int n) const {
  return nth(subjects(), n, [name](MTruc* t) { return t->relation()->nomEquals(name); });
}

MEntite* MEntite::valeur_chemin(std::string_view path, int n) const {
  const std::size_t dot = path.find('.');
  if (dot == std::string_view::npos) {
    MTruc* t = triplet_par_nom(path, n);
    return t ? t->valeur() : nullptr;
  }
  MTruc* t = triplet_par_nom(path.substr(0, dot), n);
  return t ? t->valeur()->valeur_chemin(path.substr(dot + 1), 0) : nullptr;
}

int MEntite::nb_fils_par(std::string_view name) const {
  const MEntite* relation = base().symbole(name);
  return countIf(subjects(), [relation](MTruc* t) { return t->relation() == relation; });
}

void MEntite::texte_valeur(const MEntite* relation, std::string& text) const {
  const MEntite* v = valeur_de(relation, 0);
  text = v ? v->nom() : std::string("***n'existe pas***");
}

std::string MEntite::texte_valeur(const MEntite* relation) const {
  std::string text;
  texte_valeur(relation, text);
  return text;
}

std::string MEntite::identifiant() const {
  if (!name().empty()) return std::string(name());
  for (std::string_view relation : {"ID", "sys_id"}) {
    // Relations are symbols of the base: a name it does not know carries no
    // triple, which spares a walk over an object's long lists.
    if (base_courante && !base_courante->chercher_relation(relation)) continue;
    if (const MEntite* id = valeur_chemin(relation, 0)) return id->nom();
  }
  return {};
}

int MEntite::nb_usages() const { return relations().count(); }
MTruc* MEntite::usage(int i) const { return relations().at(i); }
int MEntite::nb_peres() const { return values().count(); }
MTruc* MEntite::triplet_pere(int i) const { return values().at(i); }
MEntite* MEntite::pere(int i) const { return triplet_pere(i)->sujet(); }

int MEntite::nb_peres_par(std::string_view name) const {
  const MEntite* relation = base().symbole(name);
  return countIf(values(), [relation](MTruc* t) { return t->relation() == relation; });
}

MTruc* MEntite::triplet_pere_par_nom(std::string_view name, int n) const {
  return nth(values(), n, [name](MTruc* t) { return t->relation()->nomEquals(name); });
}

MEntite* MEntite::pere_par_nom(std::string_view name, int n) const {
  MTruc* t = triplet_pere_par_nom(name, n);
  return t ? t->sujet() : nullptr;
}

void MEntite::fermeture(MListe<MEntite>& entities, MListe<MTruc>& triples) {
  std::unordered_set<const MEntite*> knownEntities(entities.begin(), entities.end());
  std::unordered_set<const MTruc*> knownTriples(triples.begin(), triples.end());
  auto addEntity = [&](MEntite* e) {
    if (knownEntities.insert(e).second) entities.Add(e);
  };
  // Explicit stack: deep chains must not exhaust the call stack.
  std::vector<std::pair<MEntite*, int>> stack;
  stack.push_back({this, 0});
  while (!stack.empty()) {
    MEntite* e = stack.back().first;
    const int next = stack.back().second++;
    if (next >= e->subjects().rawSize()) {
      stack.pop_back();
      continue;
    }
    MTruc* t = e->subjects().raw(next);
    if (!t) continue;
    const bool seenBefore = !knownTriples.insert(t).second;
    if (!seenBefore) triples.Add(t);
    addEntity(t->sujet());
    addEntity(t->relation());
    addEntity(t->valeur());
    if (!seenBefore) stack.push_back({t->valeur(), 0});
  }
}

std::string MEntite::decrire() {
  MListe<MEntite> entities;
  MListe<MTruc> triples;
  fermeture(entities, triples);
  std::string text;
  for (MEntite* e : entities) text += "\"" + e->nom() + "\"\r\n";
  return text;
}

// Writing

MEntite* MEntite::ajouter(MEntite* relation, MEntite* value, MWorkSpace* workspace) {
  if (!relation || !value) return nullptr;
  MBC& b = base();
  if (!b.existe_triplet(this, relation, value)) new MTruc(this, relation, value, workspace);
  return value;
}

MEntite* MEntite::ajouter(std::string_view relation, std::string_view value, MWorkSpace* workspace) {
  MBC& b = base();
  MEntite* r = b.relation(relation);
  if (value.empty()) {
    EntityRef fresh = b.nouvelle_entite();
    return ajouter(r, fresh.get(), workspace);
  }
  return ajouter(r, b.symbole(value), workspace);
}

MEntite* MEntite::ajouter(std::string_view relation, MEntite* value, MWorkSpace* workspace) {
  if (!value) return nullptr;
  return ajouter(base().relation(relation), value, workspace);
}

bool MEntite::affecter(MEntite* relation, MEntite* value, MWorkSpace* workspace) {
  EntityRef self(this);
  EntityRef keepValue(value);
  MTruc* old = triplet(relation, 0);
  if (old && old->valeur() == value) return false;
  ajouter(relation, value, workspace);
  if (old) {
    if (workspace)
      old->retirer_de(workspace);
    else
      MTruc::detruire(old);
  }
  return true;
}

bool MEntite::affecter(MEntite* relation, std::string_view value) {
  MBC& b = base();
  if (value.empty()) {
    EntityRef fresh = b.nouvelle_entite();
    return affecter(relation, fresh.get(), nullptr);
  }
  return affecter(relation, b.symbole(value), nullptr);
}

bool MEntite::affecter(std::string_view relation, MEntite* symbol) {
  return affecter(base().relation(relation), symbol, nullptr);
}

bool MEntite::affecter(std::string_view relation, std::string_view value) {
  return affecter(base().relation(relation), value);
}

void MEntite::retirer(std::string_view name, int n, MWorkSpace* workspace) {
  EntityRef self(this);
  if (MTruc* t = triplet_par_nom(name, n)) {
    if (workspace)
      t->retirer_de(workspace);
    else
      MTruc::detruire(t);
  }
}

void MEntite::supprimer_liens() {
  EntityRef self(this);
  while (MTruc* t = lastLinked()) MTruc::detruire_cascade(t);
}

std::string texte_entite(const MEntite* e) {
  if (!e->name().empty()) return std::string(e->name());
  return std::to_string(reinterpret_cast<std::uintptr_t>(e));
}

// ---------------------------------------------------------------- MSymbole

MSymbole::MSymbole(std::string_view name, bool baseOwned) : MEntite(name) {
  MBC& b = base();
  b.table_symboles().inserer(this);
  if (baseOwned) b.registerSymbol(this);
}

MSymbole::MSymbole(std::string_view name, Absent absent) : MEntite(name) {
  MBC& b = base();
  b.table_symboles().insererAbsent(this, absent.hash);
  b.registerSymbol(this);
}

MSymbole::~MSymbole() {
  if (base_courante && !base_courante->discarding()) {
    base_courante->table_symboles().enlever(this);
    base_courante->table_relations().enlever(this);
    if (baseOwned()) base_courante->unregisterSymbol(this);
  }
}

int& symbolSubjectWarningBudget() {
  static int remaining = -1;
  return remaining;
}

void MSymbole::ajouter_fils(MTruc* t) {
  int& budget = symbolSubjectWarningBudget();
  if (budget == 0) return;
  if (budget > 0) --budget;
  ShowError("Attention : le symbole " + std::string(name()) + " ne peut pas avoir de fils !\r\n" + t->texte_triplet());
}

MSymbole_bitmap::MSymbole_bitmap(std::string_view name, const QImage& image)
    : MSymbole(pictureName(name)), image_(std::make_unique<QImage>(image)) {}

MSymbole_bitmap::~MSymbole_bitmap() = default;

std::string MSymbole_bitmap::pictureName(std::string_view name) {
  if (name.size() >= 5 && SameText(name.substr(0, 5), "[bmp]")) return std::string(name);
  MBC& b = base();
  for (int n = 1;; ++n) {
    std::string candidate = "[bmp]" + std::to_string(n) + std::string(name);
    if (!b.chercher_symbole(candidate)) return candidate;
  }
}

// ---------------------------------------------------------------- MTruc

void* MTruc::operator new(std::size_t size) { return pool::allocate(size); }

void MTruc::operator delete(void* p, std::size_t size) { pool::release(p, size); }

// ---------------------------------------------------------------- Wnuplet_ocs

std::uint64_t Wnuplet_ocs::pack(const MEntite* e) {
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(e));
  if ((address & 7u) != 0 || (address >> (packedBits + 3)) != 0) throw InternalError("adresse d'entité hors format"_w);
  return address >> 3;
}

Wnuplet_ocs::Wnuplet_ocs(MEntite* first, MEntite* second, MEntite* third) {
  const std::uint64_t value = pack(third);
  const std::uint64_t split = (std::uint64_t(1) << splitBits) - 1;
  words_[0] = pack(first) | (value & split) << packedBits;
  words_[1] = pack(second) | ((value >> splitBits) & split) << packedBits;
}

static_assert(sizeof(MTruc) == 32);

void MTruc::setSequence(std::uint64_t sequence, const MEntite* value) {
  if (sequence >> (64 - sequenceShift)) throw InternalError("numéro de triplet hors format"_w);
  bits_ = static_cast<std::uintptr_t>(sequence << sequenceShift | highOf(value) << 1 | 1u);
}

MTruc::MTruc(MEntite* s, MEntite* r, MEntite* v, MWorkSpace* owner) : Wnuplet_ocs(s, r, v) {
  setSequence(base().nextSequence(), v);
  s->ajouter_fils(this);
  r->list(RoleRelation).append(this);
  base_courante->enterRelation(r);
  v->list(RoleValue).append(this);
  if (owner)
    owner->triples_.append(this);
  else
    base_courante->adopt(this);
}

MTruc::MTruc(MEntite* s, MEntite* r, MEntite* v, std::uint64_t sequence) : Wnuplet_ocs(s, r, v) {
  setSequence(sequence, v);
}

MTruc::MTruc(MEntite* s, MEntite* r, MEntite* v, FromStream) : Wnuplet_ocs(s, r, v) {
  setSequence(base().nextSequence(), v);
  s->ajouter_fils(this);
  base_courante->enterRelation(r); // which noted r as owed this triple
  v->list(RoleValue).append(this);
  base_courante->adopt(this);
}

std::string MTruc::nom() const {
  return "[" + texte_entite(sujet()) + " , " + texte_entite(relation()) + " , " + texte_entite(valeur()) + "]";
}

std::string MTruc::texte_triplet() const {
  return "\"" + sujet()->nom() + "\",\"" + relation()->nom() + "\",\"" + valeur()->nom() + "\"";
}

void MTruc::unlink() {
  sujet()->list(RoleSubject).remove(this);
  relation()->list(RoleRelation).remove(this);
  valeur()->list(RoleValue).remove(this);
}

namespace {

MTruc* lastSubjectOtherThan(const MEntite* e, const MTruc* skip) {
  const TripleList& subjects = e->subjects();
  for (int i = subjects.rawSize() - 1; i >= 0; --i)
    if (MTruc* t = subjects.raw(i); t && t != skip) return t;
  return nullptr;
}

// After a triple went: its entities that now take part in nothing are freed.
void releaseEnds(MEntite* s, MEntite* r, MEntite* v) {
  releaseIfDead(s);
  if (r != s) releaseIfDead(r);
  if (v != s && v != r) releaseIfDead(v);
}

} // namespace

void MTruc::detruire(MTruc* t) {
  MEntite *s = t->sujet(), *r = t->relation(), *v = t->valeur();
  t->unlink();
  MBC* b = base_courante;
  if (b && !b->disown(t)) {
    prompts().message(MessageKind::Plain, "destruction non valide du truc : " + t->texte_triplet());
    // Whoever held it must not keep a dangling reference.
    if (MWorkSpace* w = b->ownerWorkspace(t)) w->triples_.remove(t);
  }
  delete t;
  releaseEnds(s, r, v);
}

void MTruc::detruire_cascade(MTruc* t) {
  MEntite* v = t->valeur();
  if (v->nb_peres() == 1) {
    MEntite* racine = base_courante ? base_courante->sysRacine() : nullptr;
    if (!racine || !v->valeur_de(racine, 0)) {
      // A triple that is its own value's son is left for its own unlinking.
      while (MTruc* child = lastSubjectOtherThan(v, t)) detruire_cascade(child);
    }
  }
  MEntite *s = t->sujet(), *r = t->relation();
  t->unlink();
  MBC* b = base_courante;
  if (b && !b->disown(t)) {
    if (MWorkSpace* w = b->ownerWorkspace(t)) w->triples_.remove(t);
  }
  delete t;
  releaseEnds(s, r, v);
}

void MTruc::retirer_de(MWorkSpace* workspace) {
  MEntite *s = sujet(), *r = relation(), *v = valeur();
  unlink();
  workspace->triples_.remove(this);
  delete this;
  releaseEnds(s, r, v);
}

// ---------------------------------------------------------------- MWorkSpace

MWorkSpace::MWorkSpace(std::string_view name) : MEntite(name) {
  MBC& b = base();
  tablo_courant = this;
  b.registerWorkspace(this);
  if (!symbolesInitialises()) b.initialiser_symboles();
  // The base remembers where the numbering of each name stopped: its symbols
  // only go all together, so the first free number is never behind it.
  int& next = b.prochainNumeroDeModele(name);
  for (;; ++next) {
    modelName_ = std::string(name) + "_" + std::to_string(next);
    if (!b.chercher_symbole(modelName_)) break;
  }
  new MTruc(this, b.relation("sys_model_name"), b.symbole(modelName_), this);
}

MWorkSpace::~MWorkSpace() {
  vider_triplets();
  detach();
  if (base_courante) base_courante->unregisterWorkspace(this);
  if (tablo_courant == this) tablo_courant = nullptr;
}

void MWorkSpace::vider_triplets() {
  while (triples_.count() > 1) triples_.last()->retirer_de(this);
}

void MWorkSpace::vider_fils() {
  EntityRef self(this);
  while (nb_fils() > 1) MTruc::detruire(subjects().last());
}

bool MWorkSpace::contient(const MTruc* t) const { return triples_.holds(t); }

void MWorkSpace::detach() {
  while (MTruc* t = triples_.last()) t->retirer_de(this);
}

// ---------------------------------------------------------------- Marray

Marray::Marray(std::string_view elementType, MWorkSpace* workspace) {
  if (base_courante) ajouter(base_courante->relation("sys_type_array"), base_courante->symbole(elementType), workspace);
}

MEntite* Marray::type_element() {
  MBC& b = base();
  MEntite* typeRelation = b.relation("sys_type_array");
  if (MEntite* type = valeur_de(typeRelation, 0)) return type;
  MEntite* type = b.symbole("élément"_w);
  ajouter(typeRelation, type, nullptr);
  return type;
}

void Marray::ajouter_element(MEntite* element) { ajouter(type_element(), element, nullptr); }

void Marray::ajouter_element_nomme(std::string_view name) { ajouter_element(base().relation(name)); }

void Marray::vider_elements(MWorkSpace* workspace) {
  EntityRef self(this);
  while (nb_fils() > 1) {
    MTruc* t = subjects().last();
    if (workspace)
      t->retirer_de(workspace);
    else
      MTruc::detruire(t);
  }
}

} // namespace tessel
