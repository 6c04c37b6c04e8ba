#pragma once
// The standard symbols every base knows, and the comparison-operator names
// that pattern searches never scan.

#include <string_view>

namespace tessel {

struct StandardSymbol {
  std::string_view name;
  bool relation; // created with relation() rather than symbole()
};

// The 57 standard names, in creation order.
const StandardSymbol* standardSymbols(int& count);

// Exactly (case counts) one of "<>", "=", "<", ">", ">=", "<=", "date<",
// "date>", "date<=", "date>=", "seconde_suivante_de".
bool isComparisonOperatorName(std::string_view name);

// Whether initialiser_symboles already ran in this process.
bool& symbolesInitialises();

} // namespace tessel
