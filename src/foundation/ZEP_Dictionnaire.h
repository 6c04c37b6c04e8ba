#pragma once
// Dictionary from a pair of texts (compared ignoring case) to an object it
// does not own, and the escape codec that makes free texts safe as symbol names.

#include "foundation/F_erreur.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace tessel {

template <class T>
class MDictionnaires_StringString_Objet {
public:
  void Put(const std::string& key1, const std::string& key2, T* object) {
    outer_[key1][key2] = object;
  }

  T* Get(const std::string& key1, const std::string& key2) const {
    auto outer = outer_.find(key1);
    if (outer == outer_.end()) return nullptr;
    auto inner = outer->second.find(key2);
    return inner == outer->second.end() ? nullptr : inner->second;
  }

  void RemoveKey(const std::string& key1, const std::string& key2) {
    auto outer = outer_.find(key1);
    if (outer != outer_.end()) outer->second.erase(key2);
  }

  void Clear() { outer_.clear(); }

private:
  using Inner = std::unordered_map<std::string, T*, AsciiCaseHash, AsciiCaseEqual>;
  std::unordered_map<std::string, Inner, AsciiCaseHash, AsciiCaseEqual> outer_;
};

// Zero, CR, LF, tab and comma become "__zero__", "__ret__", "__ln__", "__tab__", "__vir__".
std::string EncodeText(std::string_view text);
std::string DecodeText(std::string_view text);

} // namespace tessel
