#include "model/U_class_ressource_personne.h"

#include "foundation/Cp1252.h"
#include "model/U_class_ressource_societe.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Mindividu, Mressource)

Mindividu::Mindividu(const ClassRef& cls) : Mressource(cls) {
  for (const char* name : {"nom", "prenom", "mail", "Mail_prive", "Fax", "Web", "telephone"}) SetString(name, "");
  SetDateDeNaissance(Today());
}

Mindividu* Mindividu::CreatePerson(const ClassRef& cls, std::string_view name, std::string_view firstName,
                                   std::string_view telephone, std::string_view fax, std::string_view privateMail,
                                   std::string_view mail) {
  auto* person = static_cast<Mindividu*>(cls.Create());
  person->SetDateDeNaissance(0);
  person->SetNom(name);
  person->SetPrenom(firstName);
  person->SetTelephone(telephone);
  person->SetFax(fax);
  person->SetMailPrive(privateMail);
  person->SetMail(mail);
  return person;
}

TSociete* Mindividu::Entreprise() const { return dynamic_cast<TSociete*>(GetObject("entreprise")); }

void Mindividu::SetEntreprise(const TSociete* company) { SetObject("entreprise", company); }

void Mindividu::FillListItem(ListRowSink& row) const {
  row.setImageIndex(10);
  row.addSubItem("");
  row.addSubItem(Nom());
  row.addSubItem(Prenom());
  row.addSubItem(DateTextOf(false, DateDeNaissance()));
}

void Mindividu::AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const {
  const std::size_t first = columns.size();
  columns.emplace_back("Nom", 120);
  columns.emplace_back(std::string("Prénom"_w), 100);
  columns.emplace_back("Date", 0);
  columns[first].second = width / 2;
  // The list's columns 2 and 3: "Nom" and "Prénom" after the frame's own two.
  const int n = columns.size() > 2 ? columns[2].second : 0;
  const int p = columns.size() > 3 ? columns[3].second : 0;
  if (width - n - p - 70 > 0) columns[first + 2].second = width - n - p - 70;
}

const ClassRef* Mindividu::TaxonomyClass(const ClassRef&) { return &TMOOR_individu::Class(); }

std::string Mindividu::ClassDisplayName(const ClassRef&) {
  return ByLanguage("Individu", "People", "Individu (à traduire)"_w);
}

} // namespace tessel
