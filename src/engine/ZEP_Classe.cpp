#include "engine/ZEP_Classe.h"

#include "engine/ZEP_BDC.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/UserPrompts.h"

#include <charconv>

namespace tessel {

namespace {

bool isNumber(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

bool withinCardinality(const MMattribut_ocs& rule, int count) {
  int min = 0, max = 0;
  isNumber(rule.minimum, min);
  if (rule.maximum == "*") return count >= min;
  isNumber(rule.maximum, max);
  return min <= count && count <= max;
}

// What nb_fils_par (nb_peres_par) counts, the relation's symbol given.
int countOf(const MEntite* instance, const MEntite* relation, bool inverse) {
  int count = 0;
  (inverse ? instance->values() : instance->subjects()).forEach([&](const MTruc* t) {
    count += t->relation() == relation ? 1 : 0;
  });
  return count;
}

} // namespace

bool MMattribut_ocs::respecte(const MEntite* instance) const {
  return withinCardinality(*this, inverse ? instance->nb_peres_par(nom_relation) : instance->nb_fils_par(nom_relation));
}

void MMclass_ocs::ajouter_attribut(std::string_view relation, std::string_view cardinality, bool inverse,
                                   std::string_view className, std::string_view typeName) {
  auto rule = std::make_unique<MMattribut_ocs>();
  const std::size_t comma = cardinality.find(',');
  int value = 0;
  if (comma == std::string_view::npos || !isNumber(cardinality.substr(0, comma), value) ||
      (cardinality.substr(comma + 1) != "*" && !isNumber(cardinality.substr(comma + 1), value)))
    throw TesselError(Message("Cardinalité « "_w) + std::string(cardinality) + " » invalide pour l'attribut "_w +
                      std::string(relation) + " de la classe " + std::string(className));
  rule->minimum = std::string(cardinality.substr(0, comma));
  rule->maximum = std::string(cardinality.substr(comma + 1));
  rule->nom_relation = std::string(relation);
  rule->nom_classe = std::string(className);
  rule->nom_type = std::string(typeName);
  rule->inverse = inverse;
  rules_.push_back(std::move(rule));
}

MListe<MEntite> MMclass_ocs::verifier(std::string_view className, MBC& base) const {
  const std::string name(className);
  const MListe<MTruc> classTriples = base.triplets_par_noms("sys_ID_classe", "sys_" + name);
  std::vector<int> breaches(rules_.size(), 0);
  // Each rule's relation is looked up once, not once per instance.
  std::vector<const MEntite*> relations;
  for (const auto& rule : rules_) relations.push_back(base.symbole(rule->nom_relation));
  MListe<MEntite> result;
  for (int i = classTriples.Count() - 1; i >= 0; --i) {
    MEntite* instance = classTriples.Item(i)->sujet();
    bool broken = false;
    for (std::size_t r = rules_.size(); r-- > 0;) {
      if (!withinCardinality(*rules_[r], countOf(instance, relations[r], rules_[r]->inverse))) {
        ++breaches[r];
        broken = true;
      }
    }
    if (broken) result.Add(instance);
  }
  if (result.Count() > 0) {
    std::string report = std::to_string(result.Count()) + " erreur(s) / " + std::to_string(classTriples.Count()) +
                         " instance(s) de la classe : " + name + "\r\n";
    for (std::size_t r = 0; r < rules_.size(); ++r)
      if (breaches[r] != 0)
        report += std::to_string(breaches[r]) + " erreur(s) pour Attribut " + rules_[r]->nom_relation + "\r\n";
    prompts().message(MessageKind::Plain, report);
  }
  return result;
}

} // namespace tessel
