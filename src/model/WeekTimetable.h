#pragma once
// One week of the timetable without its widgets: the activities that have
// entries in the week as rows, a cell per row and day referring to at most
// one entry, the totals, and the commit of a typed time. The desktop
// timetable shows it; the command-line tool drives it directly.
//
// Rows are what the screen shows: a row without entries is not stored, so a
// row added and left empty is gone once the week is loaded again (the
// activity it names is made, without time). In a validated week (see
// WeekValidation.h) every change raises ValidatedWeekError before anything
// is made: a new row, a new, changed or cleared time, a row taken away with
// its time. Asking for what is already there is no change and is answered.

#include "foundation/ZEP_Dates.h"

#include <string>
#include <vector>

namespace tessel {

class MObject_OCS;
class Mcategorie;
class Moccurence;

class WeekTimetable {
public:
  static constexpr int days = 7;

  // The Monday-to-Sunday week containing `day`.
  void load(TDateTime day);
  TDateTime monday() const { return monday_; }
  TDateTime sunday() const { return monday_ + 6; }
  // "Du lundi dd/mm/yyyy au dimanche dd/mm/yyyy".
  std::string title() const;

  int rowCount() const { return static_cast<int>(rows_.size()); }
  MObject_OCS* activity(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  int rowOf(const MObject_OCS* activity) const;
  // The category of the row's activity (whose name, description, colour and
  // picture the row shows); null for a row whose owner is no activity bound
  // to a category, which the screens show by its display text.
  Mcategorie* category(int row) const;
  Moccurence* entry(int row, int day) const { return cell(row, day); }
  // "07:30" for a cell with an entry, empty otherwise.
  std::string cellText(int row, int day) const;

  // Records a typed text in a cell as leaving the cell does: creates, updates
  // or (for no time) deletes the entry, and gives it `note` when one is
  // shown. A text that is no time of day raises ConvertError and changes
  // nothing. Answers whether the document changed (giving an entry the note
  // it already has is no change).
  bool commit(int row, int day, const std::string& text, MObject_OCS* note = nullptr);
  // A row for the category's activity unless it has one; answers whether one was added.
  bool addRow(Mcategorie* category);
  // These rows first, in this order (nothing is made), then those of the
  // week's other entries.
  void showRows(const std::vector<MObject_OCS*>& activities);
  // A row for every loaded category but the first (the root of the documents
  // this program makes), from the last loaded down; answers how many were added.
  int addRowsForAllCategories();
  // A row for every activity that had time in the week before this one, in
  // the order of that week's rows; no time is copied. Answers how many were
  // added: 0 when that week had no time or its rows are all shown.
  int addRowsOfPreviousWeek();
  // Whether this week is validated (WeekValidation.h).
  bool validated() const;
  // The rows whose activity is bound to `category`.
  std::vector<int> rowsOfCategory(const MObject_OCS* category) const;
  // Deletes the row's entries of this week, then the row; answers whether
  // entries were deleted.
  bool removeRow(int row);
  // Before `category` is deleted: its rows go unless they hold time this
  // week (a category with time is never deleted). Answers how many went.
  int dropRowsOfCategory(const MObject_OCS* category);

  TDateTime rowTotal(int row) const;
  TDateTime dayTotal(int day) const;
  TDateTime weekTotal() const;

  // Rows of this name take free text: a number of hours, ":" and minutes optional.
  static bool isFreeTextRow(const MObject_OCS* activity);
  // The typed text as a time of day; ConvertError "'<text>:00' n'est pas une heure correcte".
  static TDateTime parseTime(const std::string& text, bool freeText);
  static std::string timeText(TDateTime time);

private:
  Moccurence*& cell(int row, int day);
  Moccurence* cell(int row, int day) const;
  void fillValues();
  bool appendRow(Mcategorie* category);
  bool appendActivity(MObject_OCS* activity);

  TDateTime monday_ = 0;
  std::vector<MObject_OCS*> rows_;
  std::vector<Moccurence*> slots_; // the week's entries; null once deleted
  std::vector<Moccurence*> cells_; // rows × 7
};

} // namespace tessel
