#pragma once
// Finding comments again: every loaded comment by its title, in load order,
// with the days and activities of the time entries that carry it, and a
// filter by words over title and text that ignores case and accents. The
// note search window shows it; the command-line tool prints it.

#include "foundation/ZEP_Dates.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <string>
#include <vector>

namespace tessel {

class Mcontenu;

// A time entry that carries a comment.
struct NoteUse {
  TDateTime day = 0;     // the entry's day, as a whole day
  std::string activity;  // the owner's display text; empty for an entry nobody lists

  friend bool operator==(const NoteUse&, const NoteUse&) = default;
};

struct FoundNote {
  FoundNote(Mcontenu* content, std::string title, std::vector<NoteUse> uses);

  // The comment while it exists, else null.
  Mcontenu* content() const { return *alive_ ? content_ : nullptr; }

  std::string title;           // title rule of contents
  std::vector<NoteUse> uses;   // by day, then by activity, each once

private:
  Mcontenu* content_;
  std::shared_ptr<const bool> alive_;
};

class NoteSearch {
public:
  // Takes the comments loaded now. The objects are referred to, not owned;
  // one deleted since reads as null.
  void load();
  void clear();

  int count() const { return static_cast<int>(notes_.size()); }
  const FoundNote& note(int index) const { return notes_.at(static_cast<std::size_t>(index)); }
  // The position of a comment, -1 when it is not among them (or null).
  int indexOf(const Mcontenu* content) const;

  // The positions, in load order, of the comments whose title or text holds
  // every blank-separated word of `words`; all of them when there is none.
  std::vector<int> matching(QStringView words) const;

private:
  std::vector<FoundNote> notes_;
  std::vector<QString> folded_;  // title and text, as FoldForSearch gives them
};

// A text as the search compares it: lower case, without accents, ligatures
// spelt out ("Cœur" and "COEUR" both give "coeur").
QString FoldForSearch(QStringView text);

// The entries that carry the comment, by day then activity, each once.
std::vector<NoteUse> UsesOf(const Mcontenu& content);

} // namespace tessel
