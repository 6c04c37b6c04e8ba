#pragma once
// Checks every instance of a class against a description of its attributes
// (how many values each may have) and reports what breaks it.

#include "foundation/ZEP_Liste.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class MBC;
class MEntite;

class MMattribut_ocs {
public:
  std::string minimum;
  std::string maximum; // a decimal number, or "*"
  std::string nom_type;
  std::string nom_relation;
  std::string nom_classe;
  bool inverse = false;

  // Whether `instance` has an acceptable number of `nom_relation` triples.
  bool respecte(const MEntite* instance) const;
};

class MMclass_ocs {
public:
  // Cardinality "min,max"; a text that is not of that form is an error
  // naming the attribute.
  void ajouter_attribut(std::string_view relation, std::string_view cardinality, bool inverse,
                        std::string_view className, std::string_view typeName);
  int nb_attributs() const { return static_cast<int>(rules_.size()); }
  const MMattribut_ocs& attribut(int i) const { return *rules_.at(static_cast<std::size_t>(i)); }

  // The instances of `className` that break at least one rule; the report
  // is shown when there is one.
  MListe<MEntite> verifier(std::string_view className, MBC& base) const;

private:
  std::vector<std::unique_ptr<MMattribut_ocs>> rules_;
};

} // namespace tessel
