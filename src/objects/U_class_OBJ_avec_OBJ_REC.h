#pragma once
// Objects classified by the nodes of a taxonomy, and the small helpers that
// show objects in combo boxes and string lists without any widget.

#include "objects/U_OR_class.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tessel {

// What a list view row needs: a picture index and the texts of its columns
// after the first.
class ListRowSink {
public:
  virtual ~ListRowSink() = default;
  virtual void setImageIndex(int index) = 0;
  virtual void addSubItem(const std::string& text) = 0;
};

// What a combo box needs: its items, each carrying an object.
class ComboSink {
public:
  virtual ~ComboSink() = default;
  virtual void clear() = 0;
  virtual void addItem(const std::string& text, MObject_OCS* object) = 0;
  virtual int count() const = 0;
  virtual MObject_OCS* objectAt(int index) const = 0;
  virtual void setCurrentIndex(int index) = 0;
};

using TextFunction = std::function<std::string(const MObject_OCS*)>;
// A string list whose items carry objects.
using StringsWithObjects = std::vector<std::pair<std::string, MObject_OCS*>>;

class MOBJ_AVEC_OBJ_REC : public MObject_OCS {
  TESSEL_CLASS(MOBJ_AVEC_OBJ_REC)
public:
  explicit MOBJ_AVEC_OBJ_REC(const ClassRef& cls);
  MOBJ_AVEC_OBJ_REC(const ClassRef& cls, int index);
  ~MOBJ_AVEC_OBJ_REC() override;

  std::string DisplayText() const override { return EntityName(); }
  virtual void FillListItem(ListRowSink& row) const;
  virtual void CollectLinkedObjects(ObjectList& list) const { list.clear(); }

  MLISTE_Object_OCS& links() { return *links_; }
  TObjRec* LinkedNode(int index) const { return static_cast<TObjRec*>(links_->Item(index)); }
  void DrawLinkedPictures(QPainter& painter, const QRect& rect, int rowsPerColumn) const;

  static void SelectInCombo(ComboSink& combo, const MObject_OCS* object);
  static void FillStrings(StringsWithObjects& strings, const ObjectList& objects, const TextFunction& text);

private:
  std::unique_ptr<MLISTE_Object_OCS> links_;
};

} // namespace tessel
