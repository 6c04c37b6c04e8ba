#pragma once
// The class registry: for each registered persistent class its editor frame
// (by frame class name: the desktop program maps names to frames), its
// picture in the class image list and its colour; and the classes every
// opening loads, in order.

#include "objects/ZEP_Objet_OCS.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

struct TCLASSE_ET_FRAME {
  std::string frameClass;
  const ClassRef* cls = nullptr;
  int imageIndex = -1;
  std::optional<std::uint32_t> colour; // 0x00BBGGRR; none: the system's button face
};

class Tadministration_FRAME {
public:
  // The process-wide registry, made on first use.
  static Tadministration_FRAME& instance();

  // Nothing happens when the class is registered already.
  void registerClass(const ClassRef& cls, std::string_view frameClass, std::optional<std::uint32_t> colour,
                     int imageIndex);
  void addToLoadList(const ClassList& classes);

  // The first registration's frame for a class without an entry.
  std::string frameClassOf(const ClassRef& cls) const;
  int imageIndexOf(const ClassRef& cls) const;
  std::optional<std::uint32_t> colourOf(const ClassRef& cls) const;
  const ClassList& loadList() const { return loadList_; }
  const std::vector<TCLASSE_ET_FRAME>& entries() const { return entries_; }

  void clear();

private:
  const TCLASSE_ET_FRAME* find(const ClassRef& cls) const;
  std::vector<TCLASSE_ET_FRAME> entries_;
  ClassList loadList_;
};

// The program's registrations, then the classes loaded without an editor;
// and the relabelling of old files run before loading. Done once.
void SetUpApplicationModel();

} // namespace tessel
