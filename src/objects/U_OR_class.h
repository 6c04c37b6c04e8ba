#pragma once
// Taxonomy nodes: named, pictured, coloured nodes of one class linked to their
// children by the class's list relation, and the helpers that show a
// taxonomy in a tree view. Also the three taxonomies of resources.

#include "objects/TreeSink.h"
#include "objects/ZEP_LISTE_Object_OCS.h"

#include <QPainter>
#include <QRect>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class TObjRec : public MObject_OCS {
  TESSEL_CLASS(TObjRec)
public:
  explicit TObjRec(const ClassRef& cls);
  TObjRec(const ClassRef& cls, int index);
  ~TObjRec() override;

  // A new node of `cls` named `name`.
  static TObjRec* CreateNamed(const ClassRef& cls, std::string_view name);

  std::string Name() const { return GetString("Nom"); }
  void SetName(std::string_view name) { SetString("Nom", name); }
  QImage* Picture() const { return GetPicture("bitmap"); }
  void SetPicture(const QImage* picture) { MObject_OCS::SetPicture("bitmap", picture); }
  bool Invariant() const { return GetBoolean("invariant"); }
  void SetInvariant(bool invariant) { SetBoolean("invariant", invariant); }
  // 0x00BBGGRR; white when never set.
  std::uint32_t Colour() const;
  void SetColour(std::uint32_t colour) { SetInteger("couleur", static_cast<int>(colour)); }
  std::string Description() const;
  void SetDescription(std::string_view text);

  void AddChild(TObjRec* child) { children_->Add(child); }
  int ChildCount() const { return children_->Count(); }
  TObjRec* Child(int index) const { return static_cast<TObjRec*>(children_->Item(index)); }
  std::vector<TObjRec*> Children() const;
  void RemoveChild(TObjRec* child) { children_->Remove(child); }

  // Whether this node refuses to be deleted; `message` says why.
  virtual bool RefuseDeletion(std::string& message) const;

  // Class-level: an imported taxonomy's root hangs below the existing root.
  static void LoadRemaining(const ClassRef& cls, std::string_view text);

  // Tree-view helpers.
  static TreeItem* AddDefaultNode(const ClassRef& cls, TreeSink& tree, TreeItem* parent, bool invariant,
                                  int imageIndex, std::string_view name);
  static void CopyImageToNode(TreeSink& tree, TreeItem* item, int imageIndex);
  static void SetNodeImage(TreeSink& tree, TreeItem* item);
  static TreeItem* AddSubtree(TreeSink& tree, TreeItem* parent, TObjRec* node);
  static void RefreshImages(TreeSink& tree, TreeItem* item);
  static void PropagatePictures(TObjRec* node);
  static bool HasChildNamed(TreeSink& tree, TreeItem* item, std::string_view text);
  // Draws the nodes' pictures in columns of `rowsPerColumn` from the right edge leftwards.
  static void DrawPictures(const std::vector<TObjRec*>& nodes, QPainter& painter, const QRect& rect,
                           int rowsPerColumn);

  // The bottom-left pixel's colour as transparent, as pictures are shown.
  static QImage Masked(const QImage& picture);

private:
  std::unique_ptr<MLISTE_Object_OCS> children_;
};

// A default tree, node by node: depth below the root, name, picture index.
struct DefaultNode {
  int depth;
  std::string_view name;
  int image;
};
void BuildTree(const ClassRef& cls, TreeSink& tree, TreeItem* root, const std::vector<DefaultNode>& nodes);

class TMOOR_document : public TObjRec {
  TESSEL_CLASS(TMOOR_document)
public:
  using TObjRec::TObjRec;
  explicit TMOOR_document(const ClassRef& cls = Class()) : TObjRec(cls) {}
  static std::string LinkListName(const ClassRef&) { return "Fliste_OR_document"; }
  static std::string TaxonomyName(const ClassRef&) { return "Type de document"; }
  static std::uint32_t TaxonomyColour(const ClassRef&) { return 0x81ABB8; }
  static const ClassRef* ClassifiedClass(const ClassRef&) { return ClassRef::byName("Tdocument"); }
  static void BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root);
};

class TMOOR_societe : public TObjRec {
  TESSEL_CLASS(TMOOR_societe)
public:
  using TObjRec::TObjRec;
  explicit TMOOR_societe(const ClassRef& cls = Class()) : TObjRec(cls) {}
  static std::string LinkListName(const ClassRef&) { return "Fliste_OR_societe"; }
  static std::string TaxonomyName(const ClassRef&);
  static std::uint32_t TaxonomyColour(const ClassRef&) { return 0x1746B5; }
  static const ClassRef* ClassifiedClass(const ClassRef&) { return ClassRef::byName("TSociete"); }
  static void BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root);
};

class TMOOR_individu : public TObjRec {
  TESSEL_CLASS(TMOOR_individu)
public:
  using TObjRec::TObjRec;
  explicit TMOOR_individu(const ClassRef& cls = Class()) : TObjRec(cls) {}
  static std::string LinkListName(const ClassRef&) { return "Fliste_OR_individu"; }
  static std::string TaxonomyName(const ClassRef&);
  static std::uint32_t TaxonomyColour(const ClassRef&) { return 0x399B5F; }
  static const ClassRef* ClassifiedClass(const ClassRef&) { return ClassRef::byName("Mindividu"); }
  static void BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root);
};

} // namespace tessel
