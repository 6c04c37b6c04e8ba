#include "engine/BaseJournal.h"

#include "engine/ZEP_BDC.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"

#include <algorithm>
#include <tuple>

namespace tessel {

namespace {

// Content that lasts beyond the code that made it: symbols of the base and
// graph-owned entities.
bool lasting(const MEntite* e) {
  if (e->graphOwned()) return true;
  return e->isSymbol() && static_cast<const MSymbole*>(e)->baseOwned();
}

// The live triple of that number among those linking the three entities,
// looked for in the shortest of their lists.
MTruc* findLinked(MEntite* s, MEntite* r, MEntite* v, std::uint64_t sequence) {
  const TripleList* best = &r->relations();
  if (v->values().count() < best->count()) best = &v->values();
  // A symbol keeps no list of the triples it is the subject of.
  if (!s->isSymbol() && s->subjects().count() < best->count()) best = &s->subjects();
  return best->findSequence(sequence);
}

} // namespace

// ---------------------------------------------------------------- JournalStep

void JournalStep::pin(MEntite* e, std::unordered_set<const MEntite*>& pinned) {
  if (e->graphOwned() && pinned.insert(e).second) pins_.emplace_back(e);
}

void JournalStep::dropCancelled() {
  std::erase_if(changes_, [](const Change& c) { return c.subject == nullptr; });
  // Entities only cancelled changes referred to may go now.
  std::unordered_set<const MEntite*> used;
  for (const Change& c : changes_) used.insert({c.subject, c.relation, c.value});
  std::erase_if(pins_, [&used](const EntityRef& e) { return !used.count(e.get()); });
}

std::vector<MEntite*> JournalStep::subjects() const {
  std::vector<MEntite*> result;
  std::unordered_set<const MEntite*> seen;
  for (const Change& c : changes_)
    if (seen.insert(c.subject).second) result.push_back(c.subject);
  return result;
}

void JournalStep::append(JournalStep&& later) {
  if (later.changes_.empty()) return;
  if (changes_.empty()) generation_ = later.generation_;
  std::unordered_map<std::uint64_t, std::size_t> addedAt;
  for (std::size_t i = 0; i < changes_.size(); ++i)
    if (changes_[i].added) addedAt[changes_[i].sequence] = i;
  bool cancelled = false;
  for (Change& c : later.changes_) {
    if (c.added) continue;
    if (auto it = addedAt.find(c.sequence); it != addedAt.end()) {
      changes_[it->second].subject = nullptr;
      c.subject = nullptr;
      cancelled = true;
    }
  }
  changes_.insert(changes_.end(), later.changes_.begin(), later.changes_.end());
  for (EntityRef& e : later.pins_) pins_.push_back(std::move(e));
  later.changes_.clear();
  later.pins_.clear();
  if (cancelled) dropCancelled();
}

void JournalStep::undo(MBC& base) { apply(base, false); }

void JournalStep::redo(MBC& base) { apply(base, true); }

void JournalStep::apply(MBC& base, bool forward) {
  if (changes_.empty()) return;
  if (generation_ != base.generation())
    throw InternalError("modifications enregistrées sur un autre contenu de la base"_w);
  // Going forward the added triples come back and the removed ones go;
  // backward the other way round. Each number is in the step once, so the
  // order of the changes does not matter: every triple finds its place by its number.
  std::vector<MTruc*> linked;
  for (const Change& c : changes_) {
    if (c.added != forward) {
      if (MTruc* t = findLinked(c.subject, c.relation, c.value, c.sequence)) {
        t->unlink();
        base.triples_.remove(t);
        delete t;
      }
    } else {
      linked.push_back(new MTruc(c.subject, c.relation, c.value, c.sequence));
    }
  }
  if (linked.empty()) return;
  // Into each list at once, in order of number.
  struct Slot {
    MEntite* owner; // null: the base's own list
    Role role;
    MTruc* triple;
  };
  std::vector<Slot> slots;
  slots.reserve(linked.size() * 4);
  for (MTruc* t : linked) {
    if (!t->sujet()->isSymbol()) slots.push_back({t->sujet(), RoleSubject, t});
    slots.push_back({t->relation(), RoleRelation, t});
    slots.push_back({t->valeur(), RoleValue, t});
    slots.push_back({nullptr, RoleOwner, t});
    base.enterRelation(t->relation());
  }
  std::sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) {
    const auto key = [](const Slot& s) {
      return std::tuple(reinterpret_cast<std::uintptr_t>(s.owner), s.role, s.triple->sequence());
    };
    return key(a) < key(b);
  });
  std::vector<MTruc*> run;
  for (std::size_t i = 0; i < slots.size();) {
    std::size_t j = i;
    run.clear();
    for (; j < slots.size() && slots[j].owner == slots[i].owner && slots[j].role == slots[i].role; ++j)
      run.push_back(slots[j].triple);
    TripleList& list = slots[i].owner ? slots[i].owner->list(slots[i].role) : base.triples_;
    list.insertSorted(run.data(), run.size());
    i = j;
  }
}

// ---------------------------------------------------------------- BaseJournal

BaseJournal::BaseJournal(MBC& base) : base_(&base) {
  if (base.journal()) throw InternalError("la base a déjà un journal"_w);
  base.setJournal(this);
}

BaseJournal::~BaseJournal() {
  if (base_ && base_->journal() == this) base_->setJournal(nullptr);
}

bool BaseJournal::recorded(const MTruc* t) {
  return lasting(t->sujet()) && lasting(t->relation()) && lasting(t->valeur());
}

void BaseJournal::added(const MTruc* t) {
  if (!recorded(t)) return;
  addedAt_[t->sequence()] = current_.changes_.size();
  current_.changes_.push_back({t->sequence(), t->sujet(), t->relation(), t->valeur(), true});
  for (MEntite* e : {t->sujet(), t->relation(), t->valeur()}) current_.pin(e, pinned_);
}

void BaseJournal::removed(const MTruc* t) {
  if (!recorded(t)) return;
  if (auto it = addedAt_.find(t->sequence()); it != addedAt_.end()) {
    current_.changes_[it->second].subject = nullptr;
    addedAt_.erase(it);
    return;
  }
  current_.changes_.push_back({t->sequence(), t->sujet(), t->relation(), t->valeur(), false});
  for (MEntite* e : {t->sujet(), t->relation(), t->valeur()}) current_.pin(e, pinned_);
}

JournalStep BaseJournal::take() {
  JournalStep step = std::move(current_);
  current_ = JournalStep();
  addedAt_.clear();
  pinned_.clear();
  step.dropCancelled();
  step.generation_ = base_ ? base_->generation() : 0;
  return step;
}

void BaseJournal::baseDestroyed() {
  contentDiscarded();
  base_ = nullptr;
}

void BaseJournal::contentDiscarded() {
  current_ = JournalStep();
  addedAt_.clear();
  pinned_.clear();
}

// ---------------------------------------------------------------- JournalPause

JournalPause::JournalPause(MBC& base) : base_(base), journal_(base.journal()) { base_.setJournal(nullptr); }

JournalPause::~JournalPause() { base_.setJournal(journal_); }

} // namespace tessel
