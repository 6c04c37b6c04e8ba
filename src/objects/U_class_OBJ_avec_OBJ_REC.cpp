#include "objects/U_class_OBJ_avec_OBJ_REC.h"

namespace tessel {

TESSEL_DEFINE_CLASS(MOBJ_AVEC_OBJ_REC, MObject_OCS)

namespace {

std::string linkRelation(const ClassRef& cls) {
  const ClassRef* taxonomy = cls.TaxonomyClass();
  return taxonomy ? taxonomy->LinkListName() : std::string();
}

} // namespace

MOBJ_AVEC_OBJ_REC::MOBJ_AVEC_OBJ_REC(const ClassRef& cls)
    : MObject_OCS(cls), links_(std::make_unique<MLISTE_Object_OCS>(*this, linkRelation(cls))) {}

MOBJ_AVEC_OBJ_REC::MOBJ_AVEC_OBJ_REC(const ClassRef& cls, int index)
    : MObject_OCS(cls, index), links_(std::make_unique<MLISTE_Object_OCS>(*this, linkRelation(cls))) {}

MOBJ_AVEC_OBJ_REC::~MOBJ_AVEC_OBJ_REC() = default;

void MOBJ_AVEC_OBJ_REC::FillListItem(ListRowSink&) const {}

void MOBJ_AVEC_OBJ_REC::DrawLinkedPictures(QPainter& painter, const QRect& rect, int rowsPerColumn) const {
  std::vector<TObjRec*> nodes;
  const ObjectList linked = links_->Items();
  for (auto it = linked.rbegin(); it != linked.rend(); ++it) nodes.push_back(dynamic_cast<TObjRec*>(*it));
  TObjRec::DrawPictures(nodes, painter, rect, rowsPerColumn);
}

void MOBJ_AVEC_OBJ_REC::SelectInCombo(ComboSink& combo, const MObject_OCS* object) {
  if (!object) return;
  for (int i = 0; i < combo.count(); ++i)
    if (combo.objectAt(i) == object) {
      combo.setCurrentIndex(i);
      return;
    }
}

void MOBJ_AVEC_OBJ_REC::FillStrings(StringsWithObjects& strings, const ObjectList& objects, const TextFunction& text) {
  strings.clear();
  for (MObject_OCS* o : objects) strings.emplace_back(text(o), o);
}

} // namespace tessel
