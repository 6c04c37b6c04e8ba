#pragma once
// A record of the base's changes, so that a step of edits can be taken back
// and done again exactly: the triples a step added and removed, each with the
// sequence number it was linked under. Undoing removes the added triples and
// links the removed ones again under their own numbers, so every list (the
// base's, hence the saved stream, and each entity's) gets its order back.
//
// Only the lasting content is recorded: triples whose three entities are
// symbols of the base or graph-owned entities. Triples on the machinery's own
// entities (queries, their variables and solutions, triples used as entities)
// come and go with it and are left out. A step pins the graph-owned entities
// it refers to, so they outlive the triples that held them; symbols live until
// the base is emptied, after which a step refuses to run.

#include "engine/ZEP_Entite.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tessel {

class MBC;

class JournalStep {
public:
  JournalStep() = default;
  JournalStep(JournalStep&&) noexcept = default;
  JournalStep& operator=(JournalStep&&) noexcept = default;

  bool empty() const { return changes_.empty(); }
  // Number of triples added or removed.
  std::size_t size() const { return changes_.size(); }

  // The base back to what it was before the step, and again after it. The
  // base must be the one recorded, not emptied since (InternalError otherwise),
  // and in the state the step left it in (before undo) or found it in (before
  // redo): what is not where expected is passed over.
  void undo(MBC& base);
  void redo(MBC& base);

  // The subjects of the triples the step changed, each once, in order of
  // their first change.
  std::vector<MEntite*> subjects() const;

  // Adds the changes that followed this step's; a triple added by this step
  // and removed by `later` leaves no trace in either.
  void append(JournalStep&& later);

private:
  friend class BaseJournal;
  struct Change {
    std::uint64_t sequence;
    MEntite* subject; // null: cancelled while recording
    MEntite* relation;
    MEntite* value;
    bool added;
  };
  void apply(MBC& base, bool forward);
  void pin(MEntite* e, std::unordered_set<const MEntite*>& pinned);
  void dropCancelled();

  std::vector<Change> changes_;
  std::vector<EntityRef> pins_;
  std::uint64_t generation_ = 0; // of the base's content when recorded
};

class BaseJournal {
public:
  // Records `base`'s changes from now on, until destroyed; a base has one journal at most.
  explicit BaseJournal(MBC& base);
  ~BaseJournal();
  BaseJournal(const BaseJournal&) = delete;
  BaseJournal& operator=(const BaseJournal&) = delete;

  // Whether changes were recorded since the last take.
  bool pending() const { return !current_.changes_.empty(); }
  // The changes since the last take; a triple added and removed in between leaves no trace.
  JournalStep take();

  // Called by the base.
  void added(const MTruc* t);
  void removed(const MTruc* t);
  void contentDiscarded();
  void baseDestroyed();

private:
  static bool recorded(const MTruc* t);

  MBC* base_;
  JournalStep current_;
  std::unordered_map<std::uint64_t, std::size_t> addedAt_; // sequence -> index in current_
  std::unordered_set<const MEntite*> pinned_;
};

// Nothing of the base is recorded while it lives: for what the machinery
// keeps in the base for itself (the query analyser's lexical entries).
class JournalPause {
public:
  explicit JournalPause(MBC& base);
  ~JournalPause();
  JournalPause(const JournalPause&) = delete;
  JournalPause& operator=(const JournalPause&) = delete;

private:
  MBC& base_;
  BaseJournal* journal_;
};

} // namespace tessel
