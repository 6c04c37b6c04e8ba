#pragma once
// Notes: contents with participants and files. Part of the model; the
// program itself never creates or loads one.

#include "model/U_class_contenu.h"

namespace tessel {

class Mnote : public Mcontenu_ressources_et_temps {
  TESSEL_CLASS(Mnote)
public:
  explicit Mnote(const ClassRef& cls = Class());
  Mnote(const ClassRef& cls, int index);
  ~Mnote() override;

  MLISTE_Object_OCS& participants() { return *participants_; }
  MLISTE_Object_OCS& fichiers() { return *files_; }
  static std::string ClassDisplayName(const ClassRef&) { return "Note"; }

private:
  std::unique_ptr<MLISTE_Object_OCS> participants_;
  std::unique_ptr<MLISTE_Object_OCS> files_;
};

} // namespace tessel
