#pragma once
// Contents: a titled free text with two flags, a satisfaction mark and a
// comment, classified by themes; and the contents that keep time entries.

#include "objects/U_class_OBJ_avec_OBJ_REC.h"

#include <memory>
#include <string>

namespace tessel {

class Mcontenu : public MOBJ_AVEC_OBJ_REC {
  TESSEL_CLASS(Mcontenu)
public:
  explicit Mcontenu(const ClassRef& cls = Class());
  Mcontenu(const ClassRef& cls, int index) : MOBJ_AVEC_OBJ_REC(cls, index) {}

  // The title, or the first line of the text, or "<Note Vide>".
  std::string Title() const;
  std::string DisplayText() const override { return Title(); }

  std::string Titre() const { return GetString("Titre"); }
  void SetTitre(std::string_view text) { SetString("Titre", text); }
  // Stored escaped: callers encode and decode.
  std::string Texte() const { return GetString("Texte"); }
  void SetTexte(std::string_view text) { SetString("Texte", text); }
  std::string Commentaire() const { return GetString("Commentaire"); }
  void SetCommentaire(std::string_view text) { SetString("Commentaire", text); }
  bool Realise() const { return GetBoolean("Realise"); }
  void SetRealise(bool on) { SetBoolean("Realise", on); }
  bool Evenement() const { return GetBoolean("Evenement"); }
  void SetEvenement(bool on) { SetBoolean("Evenement", on); }
  int Satisfaction() const { return GetInteger("Satisfaction"); }
  void SetSatisfaction(int value) { SetInteger("Satisfaction", value); }
  void SetImportance(int value) { SetInteger("Importance", value); }

  MLISTE_Object_OCS& themes() { return links(); }
  TObjRec* Theme(int index) const { return LinkedNode(index); }

  static void DeclareAttributes(const ClassRef& cls, std::vector<std::string>& rows);
  static const ClassRef* TaxonomyClass(const ClassRef&);
  static std::string ClassDisplayName(const ClassRef&) { return "Post-it"; }
};

class Mcontenu_avec_ressource : public Mcontenu {
  TESSEL_CLASS(Mcontenu_avec_ressource)
public:
  explicit Mcontenu_avec_ressource(const ClassRef& cls = Class()) : Mcontenu(cls) {}
  Mcontenu_avec_ressource(const ClassRef& cls, int index) : Mcontenu(cls, index) {}
};

class Mcontenu_ressources_et_temps : public Mcontenu_avec_ressource {
  TESSEL_CLASS(Mcontenu_ressources_et_temps)
public:
  explicit Mcontenu_ressources_et_temps(const ClassRef& cls = Class());
  Mcontenu_ressources_et_temps(const ClassRef& cls, int index);
  ~Mcontenu_ressources_et_temps() override;

  // Its time entries go first, each through its own deletion.
  void Delete() override;

  MLISTE_Object_OCS& actions() { return *actions_; }
  void AddEntry(MObject_OCS* entry) { actions_->Add(entry); }
  MObject_OCS* Entry(int index) const { return actions_->Item(index); }

private:
  std::unique_ptr<MLISTE_Object_OCS> actions_;
};

} // namespace tessel
