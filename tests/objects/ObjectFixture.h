#pragma once
// A fresh object base per test, a folder for its files, prompts recorded, and
// a few persistent classes of the test's own.

#include "objects/U_class_OBJ_avec_OBJ_REC.h"
#include "objects/U_OR_class.h"
#include "support/RecordingPrompts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tessel::test {

// A plain persistent class with a schema.
class Chose : public MObject_OCS {
  TESSEL_CLASS(Chose)
public:
  explicit Chose(const ClassRef& cls = Class()) : MObject_OCS(cls) {}
  Chose(const ClassRef& cls, int index) : MObject_OCS(cls, index) {}
  static void DeclareAttributes(const ClassRef&, std::vector<std::string>& rows) {
    for (const char* row : {"attribut", "Nom", "1,1", "string", ""}) rows.push_back(row);
  }
};

class ChoseSpeciale : public Chose {
  TESSEL_CLASS(ChoseSpeciale)
public:
  explicit ChoseSpeciale(const ClassRef& cls = Class()) : Chose(cls) {}
  ChoseSpeciale(const ClassRef& cls, int index) : Chose(cls, index) {}
};

// A taxonomy of the test's own, and the class it classifies.
class Rangement : public TObjRec {
  TESSEL_CLASS(Rangement)
public:
  explicit Rangement(const ClassRef& cls = Class()) : TObjRec(cls) {}
  Rangement(const ClassRef& cls, int index) : TObjRec(cls, index) {}
  static std::string LinkListName(const ClassRef&) { return "Fliste_rangement"; }
  static std::string TaxonomyName(const ClassRef&) { return "Rangements"; }
  static std::uint32_t TaxonomyColour(const ClassRef&) { return 0x123456; }
  static bool HasColour(const ClassRef&) { return true; }
};

class Rangee : public MOBJ_AVEC_OBJ_REC {
  TESSEL_CLASS(Rangee)
public:
  explicit Rangee(const ClassRef& cls = Class()) : MOBJ_AVEC_OBJ_REC(cls) {}
  Rangee(const ClassRef& cls, int index) : MOBJ_AVEC_OBJ_REC(cls, index) {}
  static const ClassRef* TaxonomyClass(const ClassRef&) { return &Rangement::Class(); }
  static std::string ClassDisplayName(const ClassRef&) { return "Rangée"; }
};

class ObjectTest : public testing::Test {
protected:
  ObjectTest() {
    Storage::reset();
    Storage::BindStorage();
  }
  ~ObjectTest() override { Storage::reset(); }

  QString path(const QString& name) const { return dir.filePath(name); }
  void open(const QString& name, const ClassList& classes) { Storage::OpenBase(path(name), classes); }
  MBC& b() { return Storage::base(); }

  QTemporaryDir dir;
  RecordingPrompts prompts;
};

// A tree view made of plain records.
struct Item : TreeItem {
  Item* parent = nullptr;
  std::string title;
  MObject_OCS* object = nullptr;
  int image = -1;
  std::vector<std::unique_ptr<Item>> children;
};

class RecordingTree final : public TreeSink {
public:
  static Item* of(TreeItem* item) { return static_cast<Item*>(item); }
  TreeItem* addItem(TreeItem* parent, const std::string& title, MObject_OCS* object) override {
    auto& list = parent ? of(parent)->children : top;
    list.push_back(std::make_unique<Item>());
    Item* item = list.back().get();
    item->parent = of(parent);
    item->title = title;
    item->object = object;
    return item;
  }
  MObject_OCS* objectOf(TreeItem* item) const override { return of(item)->object; }
  TreeItem* parentOf(TreeItem* item) const override { return of(item)->parent; }
  int childCount(TreeItem* item) const override {
    return static_cast<int>((item ? of(item)->children : top).size());
  }
  TreeItem* child(TreeItem* item, int index) const override {
    return (item ? of(item)->children : top).at(static_cast<std::size_t>(index)).get();
  }
  std::string titleOf(TreeItem* item) const override { return of(item)->title; }
  QImage image(int index) const override { return images.at(static_cast<std::size_t>(index)); }
  int addImage(const QImage& picture, std::optional<QRgb> mask) override {
    images.push_back(picture);
    masks.push_back(mask);
    return static_cast<int>(images.size()) - 1;
  }
  int imageIndex(TreeItem* item) const override { return of(item)->image; }
  void setImageIndex(TreeItem* item, int index) override { of(item)->image = index; }

  std::vector<std::unique_ptr<Item>> top;
  std::vector<QImage> images;
  std::vector<std::optional<QRgb>> masks;
};

} // namespace tessel::test
