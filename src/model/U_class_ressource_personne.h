#pragma once
// Persons, classified by person category.

#include "model/U_class_ressource.h"

namespace tessel {

class TSociete;

class Mindividu : public Mressource {
  TESSEL_CLASS(Mindividu)
public:
  // A new person: contact texts stored empty, born today.
  explicit Mindividu(const ClassRef& cls = Class());
  Mindividu(const ClassRef& cls, int index) : Mressource(cls, index) {}

  // A new person with these details and no birth date.
  static Mindividu* CreatePerson(const ClassRef& cls, std::string_view name, std::string_view firstName,
                                 std::string_view telephone, std::string_view fax, std::string_view privateMail,
                                 std::string_view mail);

  TESSEL_STRING_ATTRIBUTE(Nom, SetNom, "nom")
  TESSEL_STRING_ATTRIBUTE(Prenom, SetPrenom, "prenom")
  TESSEL_STRING_ATTRIBUTE(Civilite, SetCivilite, "Civilite")
  TESSEL_STRING_ATTRIBUTE(Telephone, SetTelephone, "telephone")
  TESSEL_STRING_ATTRIBUTE(TelephoneDomicile, SetTelephoneDomicile, "telephone_domicile")
  TESSEL_STRING_ATTRIBUTE(Gsm, SetGsm, "gsm")
  TESSEL_STRING_ATTRIBUTE(Fax, SetFax, "Fax")
  TESSEL_STRING_ATTRIBUTE(Mail, SetMail, "mail")
  TESSEL_STRING_ATTRIBUTE(MailPrive, SetMailPrive, "Mail_prive")
  TESSEL_STRING_ATTRIBUTE(Web, SetWeb, "Web")
  TESSEL_STRING_ATTRIBUTE(NumeroMaison, SetNumeroMaison, "numero_maison")
  TESSEL_STRING_ATTRIBUTE(RueMaison, SetRueMaison, "rue_maison")
  TESSEL_STRING_ATTRIBUTE(CodePostalMaison, SetCodePostalMaison, "code_postal_maison")
  TESSEL_STRING_ATTRIBUTE(VilleMaison, SetVilleMaison, "ville_maison")
  TDateTime DateDeNaissance() const { return GetDate("date_de_naissance"); }
  void SetDateDeNaissance(TDateTime value) { SetDate("date_de_naissance", value); }
  TSociete* Entreprise() const;
  void SetEntreprise(const TSociete* company);
  bool Personnel() const { return GetBoolean("personnel"); }
  void SetPersonnel(bool on) { SetBoolean("personnel", on); }

  std::string DisplayText() const override { return Prenom() + " " + Nom(); }
  void FillListItem(ListRowSink& row) const override;
  void AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const override;

  static const ClassRef* TaxonomyClass(const ClassRef&);
  static std::string ClassDisplayName(const ClassRef&);
};

} // namespace tessel
