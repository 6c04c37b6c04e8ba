#pragma once
// Time entries: one day and the time spent that day, kept as the start (the
// day at 00:00) and the end (the same day with the time spent as its time of
// day). The loaded entries are indexed by day, so a week's entries are found
// without walking them all.

#include "objects/ZEP_LISTE_Object_OCS.h"

#include <utility>

namespace tessel {

class Mcategorie;

// Pairs (text, object), in the order a query answers them.
using ObjectStrings = std::vector<std::pair<std::string, MObject_OCS*>>;

class Moccurence : public Minfo_avec_temps {
  TESSEL_CLASS(Moccurence)
public:
  explicit Moccurence(const ClassRef& cls = Class());
  Moccurence(const ClassRef& cls, int index);
  ~Moccurence() override;

  // A new entry of that day.
  static Moccurence* CreateEntry(TDateTime day);

  MObject_OCS* EntryCategory() const { return GetObject("activite"); }
  void SetEntryCategory(const MObject_OCS* category) { SetObject("activite", category); }
  MObject_OCS* EntryContent() const { return GetObject("contenu"); }
  void SetEntryContent(const MObject_OCS* content) { SetObject("contenu", content); }
  bool IsValid() const { return GetBoolean("valide"); }
  void SetValid(bool on) { SetBoolean("valide", on); }

  TDateTime TimeSpent() const { return EndTimeOfDay(); }
  // Answers whether the time changed.
  bool SetTimeSpent(TDateTime day, TDateTime time);
  // The first object that lists this entry, or null.
  MObject_OCS* EntryOwner() const;

  // Class-level queries over the loaded entries.
  static ObjectStrings EntriesOfPeriod(TDateTime first, TDateTime last);
  static void CollectPeriod(ObjectStrings& activities, ObjectStrings& entries, TDateTime first, TDateTime last);

protected:
  void dateChanged(std::string_view name) override;
  void unregistered() override;
  void attributesRestored() override;

private:
  void index();
  void unindex();
  static constexpr int notIndexed = -2147483647 - 1;
  int indexedDay_ = notIndexed;
};

} // namespace tessel
