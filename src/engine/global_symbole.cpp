#include "engine/global_symbole.h"

#include "foundation/Cp1252.h"

#include <array>

namespace tessel {

namespace {

constexpr std::array<StandardSymbol, 57> standard = {{
    {"sys_texte", true},
    {"sys_symbole", true},
    {"sys_type_array", true},
    {"sys_attribut_xml", true},
    {"sys_racine", true},
    {"sys_type", true},
    {"sys_true", false},
    {"gen_Sémantique"_w, false},
    {"gen_Syntaxe", false},
    {"Gen_Commentaire", false},
    {"Gen_Classe", false},
    {"Gen_nom_de_classe", false},
    {"Gen_heriTage", false},
    {"Gen_TObject", false},
    {"Gen_Constructeur", false},
    {"Gen_Destructeur", false},
    {"Gen_Procedure", false},
    {"Gen_Fonction", false},
    {"Gen_Public", false},
    {"Gen_Private", false},
    {"Gen_Method_Name", false},
    {"Gen_Attribut", false},
    {"Gen_Function_Call", false},
    {"Gen_Class_definition", false},
    {"Gen_Type", false},
    {"Gen_Include", false},
    {"Gen_Const", false},
    {"Gen_Variable", false},
    {"Gen_Variable_locale", false},
    {"Gen_Loop", false},
    {"Gen_Word", false},
    {"Gen_Propriete", false},
    {"Gen_MESSAGE_windows", false},
    {"Gen_référence"_w, false},
    {"Gen_retour_fonction", false},
    {"classe_symbole", false},
    {"mot_du_symbole", false},
    {"classe_nombre", false},
    {"classe_mots_clefs", false},
    {"classe_operateur", false},
    {"classe_delimiteur", false},
    {"classe_separateur", false},
    {"classe_Type", false},
    {"CLASS", false},
    {"CONSTRUCTOR", false},
    {"DESTRUCTOR", false},
    {"FUNCTION", false},
    {"PROCEDURE", false},
    {"OVERRIDE", false},
    {"PROPERTY", false},
    {"END", false},
    {"MESSAGE", false},
    {"VAR", false},
    {"PUBLIC", false},
    {"PRIVATE", false},
    {"sys_property_requete", true},
    {"sys_valeur_requete", true},
}};

constexpr std::string_view operatorNames[] = {"<>",     "=",      "<",       ">",       ">=", "<=",
                                              "date<",  "date>",  "date<=",  "date>=",  "seconde_suivante_de"};

} // namespace

const StandardSymbol* standardSymbols(int& count) {
  count = static_cast<int>(standard.size());
  return standard.data();
}

bool isComparisonOperatorName(std::string_view name) {
  if (name.empty() || name.size() > 19) return false;
  for (std::string_view op : operatorNames)
    if (name == op) return true;
  return false;
}

bool& symbolesInitialises() {
  static bool done = false;
  return done;
}

} // namespace tessel
