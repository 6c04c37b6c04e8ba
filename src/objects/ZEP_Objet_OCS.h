#pragma once
// Persistent objects: ordinary C++ objects paired with an anonymous entity of
// the knowledge base whose triples are their attributes. Every persistent
// class has a meta-class (ClassRef) that knows its name, its parent, how to
// build an object (new, or over a stored entity) and its class-level
// operations; classes are registered, loaded and queried through it.

#include "engine/ZEP_BDC.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Dates.h"
#include "foundation/ZEP_Version.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class MObject_OCS;
class TreeSink;
struct TreeItem;
class ClassRef;

using ObjectList = std::vector<MObject_OCS*>;
using ClassList = std::vector<const ClassRef*>;

// ---------------------------------------------------------------- meta-classes

class ClassRef {
public:
  ClassRef(std::string_view name, const ClassRef* parent);
  virtual ~ClassRef() = default;
  ClassRef(const ClassRef&) = delete;
  ClassRef& operator=(const ClassRef&) = delete;

  const std::string& name() const { return name_; }
  const ClassRef* parent() const { return parent_; }
  bool inheritsFrom(const ClassRef& other) const;
  // The meta-class of a persistent class by name (null when none is linked in).
  static const ClassRef* byName(std::string_view name);

  // The two virtual constructors.
  virtual MObject_OCS* Create() const = 0;
  virtual MObject_OCS* CreateStored(int index) const = 0;
  // The size of the class's objects (0 for an abstract class).
  virtual std::size_t ObjectSize() const = 0;

  // Class-level virtual operations; a class that does not define one gets its
  // nearest ancestor's. The taxonomy ones answer for taxonomy classes only.
  virtual void LoadRemaining(std::string_view text) const = 0;
  virtual void DeclareAttributes(std::vector<std::string>& rows) const = 0;
  virtual std::string LinkListName() const;
  virtual std::string TaxonomyName() const;
  virtual std::uint32_t TaxonomyColour() const;
  virtual const ClassRef* ClassifiedClass() const;
  virtual void BuildDefaultTree(TreeSink& tree, TreeItem* root) const;
  virtual bool HasColour() const;
  virtual const ClassRef* TaxonomyClass() const;
  virtual std::string ClassDisplayName() const;

  // Class-level storage operations (the same for every class).
  int StoredCount() const;
  int LoadedCount() const;
  MObject_OCS* LoadedItem(int index) const;
  ObjectList LoadedObjects() const;
  ObjectList LoadedObjectsWithSubclasses() const;
  void LoadAll() const;
  ObjectList Query(std::string_view text) const;
  // Schema check of the class; answers the number of instances that break it.
  int CheckSchema() const;

private:
  std::string name_;
  const ClassRef* parent_;
};

// A class whose class-level operations are defined as static members of C
// (found in C or its nearest ancestor that defines them).
template <class C>
class ClassOf final : public ClassRef {
public:
  using ClassRef::ClassRef;

  MObject_OCS* Create() const override {
    if constexpr (requires { new C(*this); }) return new C(*this);
    else abstract("Create");
  }
  MObject_OCS* CreateStored(int index) const override {
    if constexpr (requires { new C(*this, index); }) return new C(*this, index);
    else abstract("CreateStored");
  }
  std::size_t ObjectSize() const override {
    if constexpr (requires { new C(*this, 0); }) return sizeof(C);
    else return 0;
  }
  void LoadRemaining(std::string_view text) const override { C::LoadRemaining(*this, text); }
  void DeclareAttributes(std::vector<std::string>& rows) const override { C::DeclareAttributes(*this, rows); }
  std::string LinkListName() const override {
    if constexpr (requires { C::LinkListName(*this); }) return C::LinkListName(*this);
    else return ClassRef::LinkListName();
  }
  std::string TaxonomyName() const override {
    if constexpr (requires { C::TaxonomyName(*this); }) return C::TaxonomyName(*this);
    else return ClassRef::TaxonomyName();
  }
  std::uint32_t TaxonomyColour() const override {
    if constexpr (requires { C::TaxonomyColour(*this); }) return C::TaxonomyColour(*this);
    else return ClassRef::TaxonomyColour();
  }
  const ClassRef* ClassifiedClass() const override {
    if constexpr (requires { C::ClassifiedClass(*this); }) return C::ClassifiedClass(*this);
    else return ClassRef::ClassifiedClass();
  }
  void BuildDefaultTree(TreeSink& tree, TreeItem* root) const override {
    if constexpr (requires { C::BuildDefaultTree(*this, tree, root); }) C::BuildDefaultTree(*this, tree, root);
    else ClassRef::BuildDefaultTree(tree, root);
  }
  bool HasColour() const override {
    if constexpr (requires { C::HasColour(*this); }) return C::HasColour(*this);
    else return ClassRef::HasColour();
  }
  const ClassRef* TaxonomyClass() const override {
    if constexpr (requires { C::TaxonomyClass(*this); }) return C::TaxonomyClass(*this);
    else return ClassRef::TaxonomyClass();
  }
  std::string ClassDisplayName() const override {
    if constexpr (requires { C::ClassDisplayName(*this); }) return C::ClassDisplayName(*this);
    else return ClassRef::ClassDisplayName();
  }

private:
  [[noreturn]] void abstract(const char* what) const {
    throw InternalError(Message("la classe ") + name() + " est abstraite (" + std::string(what) + ")");
  }
};

// In a persistent class: its meta-class and the two virtual constructors'
// forwarding. Class() is defined once with TESSEL_DEFINE_CLASS.
#define TESSEL_CLASS(C)                                                                                               \
public:                                                                                                                \
  static const ::tessel::ClassRef& Class();

#define TESSEL_DEFINE_CLASS(C, Parent)                                                                                \
  const ::tessel::ClassRef& C::Class() {                                                                               \
    static const ::tessel::ClassOf<C> meta(#C, &Parent::Class());                                                      \
    return meta;                                                                                                       \
  }

// ---------------------------------------------------------------- objects

class MObject_OCS {
public:
  // Create: a new entity of the object's class in the current base.
  explicit MObject_OCS(const ClassRef& cls);
  // CreateStored: over the index-th stored entity of the class.
  MObject_OCS(const ClassRef& cls, int index);
  virtual ~MObject_OCS();
  MObject_OCS(const MObject_OCS&) = delete;
  MObject_OCS& operator=(const MObject_OCS&) = delete;
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

  static const ClassRef& Class();
  const ClassRef& classe() const { return *class_; }
  MEntite* entite() const { return entity_.get(); }

  // Instance virtual operations.
  virtual void Erase();
  virtual void Release();
  virtual void AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const;
  virtual std::string DisplayText() const;
  // Erase, then free the object.
  virtual void Delete();

  // Class-level defaults.
  static void LoadRemaining(const ClassRef& cls, std::string_view text);
  static void DeclareAttributes(const ClassRef& cls, std::vector<std::string>& rows);

  // Attributes ("name" without the "sys_nom_attribut_" prefix).
  std::string GetString(std::string_view name) const;
  // A text longer than the file format stores raises TextTooLongError and
  // changes nothing.
  void SetString(std::string_view name, std::string_view text);
  // TextTooLongError when `text` (as stored) is longer than the format allows.
  static void CheckTextLength(std::string_view text);
  int GetInteger(std::string_view name) const;
  void SetInteger(std::string_view name, int value);
  bool GetBoolean(std::string_view name) const;
  void SetBoolean(std::string_view name, bool value);
  TDateTime GetDate(std::string_view name) const;
  void SetDate(std::string_view name, TDateTime value);
  double GetReal(std::string_view name) const;
  void SetReal(std::string_view name, double value);
  // The symbol's picture, owned by it; null when absent.
  QImage* GetPicture(std::string_view name) const;
  // A copy is kept by a new picture symbol; a null picture removes the attribute.
  void SetPicture(std::string_view name, const QImage* picture);
  MObject_OCS* GetObject(std::string_view name) const;
  void SetObject(std::string_view name, const MObject_OCS* object);
  void RemoveAttribute(std::string_view name);

  void ListAdd(std::string_view name, const MObject_OCS* object);
  int ListCount(std::string_view name) const;
  MObject_OCS* ListItem(std::string_view name, int index) const;
  int ListIndexOf(std::string_view name, const MObject_OCS* object) const;
  void ListDelete(std::string_view name, int index);
  void ListClear(std::string_view name);
  // Every element in one pass, in list order (null for unloaded objects).
  ObjectList ListItems(std::string_view name) const;

  std::string EntityName() const;
  void SetEntityId(std::string_view text);

  static std::string relationName(std::string_view attribute);
  // The order loading registers the objects of one class in (that of their
  // class triples in the base); objects made later come after.
  std::uint64_t registrationOrder() const { return registrationOrder_; }
  bool registered() const { return registryPosition_ >= 0; }
  // For holders that may outlive the object (a window on an object the user
  // deletes): reads true until the object leaves the registry (erased,
  // released, freed, or its base closed), without touching the object.
  std::shared_ptr<const bool> liveness() const;

protected:
  friend class Storage;
  MTruc* attributeTriple(std::string_view name) const;
  // Told after a date attribute was written, after the object left the
  // registry, and after its triples were put back as they were (undo).
  virtual void dateChanged(std::string_view) {}
  virtual void unregistered() {}
  virtual void attributesRestored() {}

private:
  void markGone();

  // Objects are many: the liveness tokens, rarely asked for, are kept apart,
  // and the position comes last so that a derived class's first small member
  // takes the padding after it.
  const ClassRef* class_;
  EntityRef entity_;
  std::uint64_t registrationOrder_ = 0;
  int registryPosition_ = -1;
};

// ---------------------------------------------------------------- the object base

// A data file whose content no longer matches its integrity record.
class DamagedFileError : public DataFileError {
public:
  using DataFileError::DataFileError;
};

class Storage {
public:
  // Installs the storage operations; the library path is not used.
  static void BindStorage(const QString& libraryPath = {});
  static bool bound();

  using Hook = std::function<void()>;
  // Reads the file (creating an empty one where none exists), starts the
  // registry, runs `before`, loads every class, runs `after`, checks every
  // class. Errors of the file or the stream pass to the caller as
  // DataFileError naming the file, with no registry started; a file whose
  // integrity record does not match raises DamagedFileError unless
  // `acceptDamaged` is set.
  static void OpenBase(const QString& path, const ClassList& classes, const Hook& before = {},
                       const Hook& after = {}, bool acceptDamaged = false);
  // The same on an empty base, without any file.
  static void OpenEmpty(const ClassList& classes, const Hook& before = {}, const Hook& after = {});
  // What the last OpenBase read (an empty record after OpenEmpty), and
  // whether that file was damaged and opened all the same.
  static const DataFileInfo& fileRead();
  static bool openedDamaged();
  // Writes the whole base; answers what is now on disk.
  static FileFingerprint SaveBase(const QString& path);
  static void SaveClasses(const QString& path, const ClassList& classes);
  static void CloseBase();
  static bool isOpen();
  static void ImportBase(const QString& path);

  static MEntite* NewEntity(MObject_OCS* object, const ClassRef& cls);
  static MEntite* StoredEntity(MObject_OCS* object, const ClassRef& cls, int index);
  static void EraseEntity(MObject_OCS* object);
  static void ReleaseEntity(MObject_OCS* object);
  static MObject_OCS* ObjectOf(const MEntite* entity);

  // After the triples of `entities` were put back as they were at another
  // moment (undo, redo): an entity that gained its class triple gets its
  // object, made as loading makes it, one that lost it loses its object, the
  // others are told. Only classes loaded with the base or met since are made.
  static void Resynchronise(const std::vector<MEntite*>& entities);

  static void Reclass(std::string_view oldClass, std::string_view newClass);
  static ObjectList ReferencingObjects(const MEntite* entity, const ClassRef* cls);
  static ObjectList FindByAttributes(std::string_view className, const std::vector<std::string>& conditions);
  static void DestroyClassEntities(std::string_view className);

  // The current base (made on first use).
  static MBC& base();
  // For tests: closes and throws the base away.
  static void reset();

  // Registry lists (class name -> live objects in registration order).
  static int loadedCount(std::string_view className);
  static MObject_OCS* loadedItem(std::string_view className, int index);
  static ObjectList loadedObjects(std::string_view className);
  static int storedCount(std::string_view className);

  static std::string newIdentifier();

  // Bookkeeping of the registry and the class tree.
  static void startRegistry(const ClassList& classes, const Hook& before, const Hook& after);
  static void registerObject(MObject_OCS* object, const ClassRef& cls, std::uint64_t order);
  static void unregisterObject(MObject_OCS* object);
  static void registerInClassTree(const ClassRef& cls);
};

} // namespace tessel
