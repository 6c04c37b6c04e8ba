#pragma once
// Themes: the taxonomy of contents. The program neither creates nor loads
// themes; contents keep the theme list they were stored with.

#include "objects/U_OR_class.h"

namespace tessel {

class Ttheme : public TObjRec {
  TESSEL_CLASS(Ttheme)
public:
  explicit Ttheme(const ClassRef& cls = Class()) : TObjRec(cls) {}
  Ttheme(const ClassRef& cls, int index) : TObjRec(cls, index) {}
  static std::string LinkListName(const ClassRef&) { return "Fliste_themes"; }
};

} // namespace tessel
