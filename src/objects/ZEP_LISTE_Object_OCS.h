#pragma once
// A handle on one list attribute of a persistent object, and persistent
// objects that carry a start and an end date-time.

#include "objects/ZEP_Objet_OCS.h"

#include <string>
#include <string_view>

namespace tessel {

class MLISTE_Object_OCS {
public:
  // Owns nothing: the elements are triples of the owner's entity.
  MLISTE_Object_OCS(MObject_OCS& owner, std::string_view relationName) : owner_(owner), relation_(relationName) {}

  void Add(const MObject_OCS* object) { owner_.ListAdd(relation_, object); }
  int Count() const { return owner_.ListCount(relation_); }
  MObject_OCS* Item(int index) const { return owner_.ListItem(relation_, index); }
  int IndexOf(const MObject_OCS* object) const { return owner_.ListIndexOf(relation_, object); }
  void DeleteAt(int index) { owner_.ListDelete(relation_, index); }
  void Remove(const MObject_OCS* object) {
    const int i = IndexOf(object);
    if (i != -1) DeleteAt(i);
  }
  ObjectList Items() const { return owner_.ListItems(relation_); }
  const std::string& relationName() const { return relation_; }

private:
  MObject_OCS& owner_;
  std::string relation_;
};

// Replaces the time of day of `value` by that of `time` (the sign rule keeps
// dates before 1899 right).
TDateTime ReplaceTimePart(TDateTime value, TDateTime time);
// Replaces the date part of `value` by the day `day`, keeping its time of day.
TDateTime ReplaceDatePart(TDateTime value, TDateTime day);

class Minfo_avec_temps : public MObject_OCS {
  TESSEL_CLASS(Minfo_avec_temps)
public:
  explicit Minfo_avec_temps(const ClassRef& cls = Class()) : MObject_OCS(cls) {}
  Minfo_avec_temps(const ClassRef& cls, int index) : MObject_OCS(cls, index) {}

  virtual TDateTime StartDay() const;
  virtual TDateTime EndDay() const;
  virtual void SetStartDay(TDateTime day);
  virtual void SetEndDay(TDateTime day);

  TDateTime StartDate() const { return GetDate("date_de_debut"); }
  void SetStartDate(TDateTime value) { SetDate("date_de_debut", value); }
  TDateTime EndDate() const { return GetDate("date_de_fin"); }
  void SetEndDate(TDateTime value) { SetDate("date_de_fin", value); }
  TDateTime EndTimeOfDay() const;
  void SetEndTimeOfDay(TDateTime time);
  TDateTime Duration() const { return EndDate() - StartDate(); }
};

} // namespace tessel
