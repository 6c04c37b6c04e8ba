#include "model/U_class_contenu.h"

#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_OR_class_theme.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Mcontenu, MOBJ_AVEC_OBJ_REC)
TESSEL_DEFINE_CLASS(Mcontenu_avec_ressource, Mcontenu)
TESSEL_DEFINE_CLASS(Mcontenu_ressources_et_temps, Mcontenu_avec_ressource)

Mcontenu::Mcontenu(const ClassRef& cls) : MOBJ_AVEC_OBJ_REC(cls) {
  SetTexte("");
  SetImportance(0);
}

const ClassRef* Mcontenu::TaxonomyClass(const ClassRef&) { return &Ttheme::Class(); }

void Mcontenu::DeclareAttributes(const ClassRef& cls, std::vector<std::string>& rows) {
  MObject_OCS::DeclareAttributes(cls, rows);
  const char* attributes[][3] = {{"titre", "0,1", "string"},     {"Importance", "0,1", "integer"},
                                 {"Lieux", "0,1", "string"},     {"categorie", "0,1", "string"},
                                 {"realise", "0,1", "boolean"},  {"evenement", "0,1", "boolean"},
                                 {"texte", "0,1", "string"},     {"cout", "0,1", "real"},
                                 {"commentaire", "0,1", "string"}};
  for (const auto& a : attributes)
    for (const char* value : {"attribut", a[0], a[1], a[2], ""}) rows.push_back(value);
}

std::string Mcontenu::Title() const {
  const std::string title = Titre();
  if (!title.empty()) return title;
  const std::string text = DecodeText(Texte());
  // Lines end at CR LF, CR or LF.
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  if (lines.empty()) return "<Note Vide>";
  return lines.front();
}

Mcontenu_ressources_et_temps::Mcontenu_ressources_et_temps(const ClassRef& cls)
    : Mcontenu_avec_ressource(cls), actions_(std::make_unique<MLISTE_Object_OCS>(*this, "action")) {}

Mcontenu_ressources_et_temps::Mcontenu_ressources_et_temps(const ClassRef& cls, int index)
    : Mcontenu_avec_ressource(cls, index), actions_(std::make_unique<MLISTE_Object_OCS>(*this, "action")) {}

Mcontenu_ressources_et_temps::~Mcontenu_ressources_et_temps() = default;

void Mcontenu_ressources_et_temps::Delete() {
  const ObjectList entries = actions_->Items();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (*it) (*it)->Delete();
  Mcontenu_avec_ressource::Delete();
}

} // namespace tessel
