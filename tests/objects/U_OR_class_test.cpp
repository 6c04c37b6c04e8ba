#include "ObjectFixture.h"

#include "foundation/Cp1252.h"

#include <QPainter>

using namespace tessel;
using namespace tessel::test;

namespace {

using Taxonomies = ObjectTest;

QImage solid(QColor colour, int size = 4) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

std::vector<std::string> titles(RecordingTree& tree, TreeItem* item, int depth = 0) {
  std::vector<std::string> out;
  for (int i = 0; i < tree.childCount(item); ++i) {
    TreeItem* child = tree.child(item, i);
    out.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + cp1252ToUtf8(tree.titleOf(child)));
    for (const std::string& s : titles(tree, child, depth + 1)) out.push_back(s);
  }
  return out;
}

} // namespace

TEST_F(Taxonomies, NodesCarryNameColourDescriptionAndChildren) {
  Storage::OpenBase(path("a.TSF"), {});
  auto* root = static_cast<Rangement*>(TObjRec::CreateNamed(Rangement::Class(), "Racine"));
  EXPECT_EQ(root->Name(), "Racine");
  EXPECT_EQ(root->Colour(), 0xFFFFFFu);
  root->SetColour(0x0000FF);
  EXPECT_EQ(root->Colour(), 0x0000FFu);
  root->SetDescription("ligne 1\r\nligne 2, fin");
  EXPECT_EQ(root->GetString("Description"), "ligne 1__ret____ln__ligne 2__vir__ fin");
  EXPECT_EQ(root->Description(), "ligne 1\r\nligne 2, fin");

  auto* child = static_cast<Rangement*>(TObjRec::CreateNamed(Rangement::Class(), "Enfant"));
  root->AddChild(child);
  EXPECT_EQ(root->ChildCount(), 1);
  EXPECT_EQ(root->Child(0), child);
  // Parents are the nodes listing it; a node nobody lists is a root.
  EXPECT_EQ(Storage::ReferencingObjects(child->entite(), &Rangement::Class()), (ObjectList{root}));
  EXPECT_TRUE(Storage::ReferencingObjects(root->entite(), &Rangement::Class()).empty());
  std::string why;
  EXPECT_FALSE(root->RefuseDeletion(why));
  child->Delete();
  EXPECT_EQ(root->ChildCount(), 0);

  auto* classified = new Rangee;
  classified->links().Add(root);
  EXPECT_EQ(classified->LinkedNode(0), root);
  EXPECT_EQ(classified->DisplayText(), classified->EntityName());
}

TEST_F(Taxonomies, ClassConstantsOfTheResourceTaxonomies) {
  struct Case {
    const ClassRef* cls;
    std::string link, name;
    std::uint32_t colour;
  };
  const Case cases[] = {
      {&TMOOR_document::Class(), "Fliste_OR_document", "Type de document", 0x81ABB8},
      {&TMOOR_societe::Class(), "Fliste_OR_societe", std::string("Type de société"_w), 0x1746B5},
      {&TMOOR_individu::Class(), "Fliste_OR_individu", std::string("Catégorie individu"_w), 0x399B5F},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.cls->LinkListName(), c.link);
    EXPECT_EQ(c.cls->TaxonomyName(), c.name);
    EXPECT_EQ(c.cls->TaxonomyColour(), c.colour);
    EXPECT_FALSE(c.cls->HasColour());
    EXPECT_TRUE(c.cls->inheritsFrom(TObjRec::Class()));
  }
  EXPECT_TRUE(Rangement::Class().HasColour());
  EXPECT_EQ(Rangee::Class().TaxonomyClass(), &Rangement::Class());
  EXPECT_THROW(Chose::Class().TaxonomyName(), InternalError);
}

TEST_F(Taxonomies, DefaultTreesNodeForNode) {
  Storage::OpenBase(path("a.TSF"), {});
  RecordingTree tree;
  for (int i = 0; i < 40; ++i) tree.images.push_back(solid(QColor::fromHsv(i * 9, 200, 200)));
  TreeItem* root = TObjRec::AddDefaultNode(TMOOR_document::Class(), tree, nullptr, true, 1,
                                           TMOOR_document::Class().TaxonomyName());
  TMOOR_document::Class().BuildDefaultTree(tree, root);
  const std::vector<std::string> shown = titles(tree, root);
  ASSERT_EQ(shown.size(), 34u);
  EXPECT_EQ(shown.front(), "Document adminitratif");
  EXPECT_EQ(shown[4], "    Traitement texte");
  EXPECT_EQ(shown[6], "    Base de données");
  EXPECT_EQ(shown.back(), "    Extrême Programming");
  auto* rootNode = static_cast<TObjRec*>(tree.objectOf(root));
  EXPECT_TRUE(rootNode->Invariant());
  EXPECT_EQ(rootNode->ChildCount(), 7);
  EXPECT_FALSE(static_cast<TObjRec*>(tree.objectOf(tree.child(root, 0)))->Invariant());
  EXPECT_EQ(TMOOR_document::Class().LoadedCount(), 35);

  RecordingTree people;
  people.images = tree.images;
  TreeItem* peopleRoot = TObjRec::AddDefaultNode(TMOOR_individu::Class(), people, nullptr, true, 1, "racine");
  TMOOR_individu::Class().BuildDefaultTree(people, peopleRoot);
  EXPECT_EQ(titles(people, peopleRoot).size(), 18u);
  RecordingTree companies;
  companies.images = tree.images;
  TreeItem* companyRoot = TObjRec::AddDefaultNode(TMOOR_societe::Class(), companies, nullptr, true, 1, "racine");
  TMOOR_societe::Class().BuildDefaultTree(companies, companyRoot);
  EXPECT_EQ(titles(companies, companyRoot).back(), "  Nous a contacté");
}

TEST_F(Taxonomies, NodeImagesAndTheirMasks) {
  Storage::OpenBase(path("a.TSF"), {});
  RecordingTree tree;
  QImage redCorner = solid(Qt::blue, 8);
  redCorner.setPixelColor(0, 7, Qt::red);
  tree.images = {solid(Qt::green), redCorner};
  TreeItem* root = TObjRec::AddDefaultNode(Rangement::Class(), tree, nullptr, true, 1, "Racine");
  ASSERT_EQ(tree.masks.size(), 1u); // the root's picture, added after the view's two
  EXPECT_EQ(tree.imageIndex(root), 2);
  EXPECT_EQ(tree.images[2].size(), QSize(16, 16));
  EXPECT_EQ(tree.masks[0], std::optional<QRgb>(QColor(Qt::red).rgb()));
  // Without a picture of its own a node takes its parent's.
  TreeItem* plain = TObjRec::AddDefaultNode(Rangement::Class(), tree, root, false, -1, "Sans image");
  EXPECT_EQ(static_cast<TObjRec*>(tree.objectOf(plain))->Picture(), nullptr);
  EXPECT_EQ(tree.imageIndex(plain), 2);
  EXPECT_TRUE(TObjRec::HasChildNamed(tree, root, "SANS IMAGE"));
  EXPECT_FALSE(TObjRec::HasChildNamed(tree, root, "Racine"));
  // Pictures flow down to the nodes that have none.
  TObjRec::PropagatePictures(static_cast<TObjRec*>(tree.objectOf(root)));
  ASSERT_NE(static_cast<TObjRec*>(tree.objectOf(plain))->Picture(), nullptr);
  TObjRec::RefreshImages(tree, root);
  EXPECT_EQ(tree.imageIndex(plain), 4);

  // A whole tree again from its objects.
  RecordingTree copy;
  TObjRec::AddSubtree(copy, nullptr, static_cast<TObjRec*>(tree.objectOf(root)));
  EXPECT_EQ(titles(copy, nullptr), (std::vector<std::string>{"Racine", "  Sans image"}));
}

TEST_F(Taxonomies, DrawPicturesFromTheRightEdge) {
  Storage::OpenBase(path("a.TSF"), {});
  const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
  std::vector<TObjRec*> nodes;
  for (const QColor& c : colours) {
    auto* node = TObjRec::CreateNamed(Rangement::Class(), "n");
    QImage picture = solid(c, 10);
    picture.setPixelColor(0, 9, Qt::white); // the transparent colour
    node->SetPicture(&picture);
    nodes.push_back(node);
  }
  QImage canvas(200, 60, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  {
    QPainter painter(&canvas);
    TObjRec::DrawPictures(nodes, painter, QRect(0, 0, 200, 60), 1);
  }
  // Centred vertically, at right - 35, - 55 and - 75.
  EXPECT_EQ(canvas.pixelColor(200 - 35 + 5, 30), QColor(Qt::red));
  EXPECT_EQ(canvas.pixelColor(200 - 55 + 5, 30), QColor(Qt::green));
  EXPECT_EQ(canvas.pixelColor(200 - 75 + 5, 30), QColor(Qt::blue));
  EXPECT_EQ(canvas.pixelColor(200 - 35, 25 + 9), QColor(Qt::black)); // the masked corner

  canvas.fill(Qt::black);
  {
    QPainter painter(&canvas);
    TObjRec::DrawPictures(nodes, painter, QRect(0, 0, 200, 60), 2);
  }
  EXPECT_EQ(canvas.pixelColor(165 + 5, 0 + 5), QColor(Qt::red));
  EXPECT_EQ(canvas.pixelColor(165 + 5, 20 + 5), QColor(Qt::green));
  EXPECT_EQ(canvas.pixelColor(145 + 5, 0 + 5), QColor(Qt::blue));
}

TEST_F(Taxonomies, ImportedRootHangsBelowTheExistingRoot) {
  Storage::OpenBase(path("a.TSF"), {&Rangement::Class()});
  TObjRec::CreateNamed(Rangement::Class(), "Racine")->SetInvariant(true);
  Storage::SaveBase(path("a.TSF"));
  Storage::ImportBase(path("a.TSF"));
  Rangement::Class().LoadRemaining("importée"_w);
  ASSERT_EQ(Rangement::Class().LoadedCount(), 2);
  auto* root = static_cast<TObjRec*>(Rangement::Class().LoadedItem(0));
  auto* imported = static_cast<TObjRec*>(Rangement::Class().LoadedItem(1));
  EXPECT_EQ(imported->Name(), "Taxinomie importée"_w);
  EXPECT_FALSE(imported->Invariant());
  EXPECT_EQ(root->Children(), (std::vector<TObjRec*>{imported}));
}

TEST_F(Taxonomies, CombosAndStringLists) {
  Storage::OpenBase(path("a.TSF"), {});
  auto* a = new Chose;
  auto* b = new Chose;
  StringsWithObjects strings{{"ancien", nullptr}};
  MOBJ_AVEC_OBJ_REC::FillStrings(strings, {a, b}, [a](const MObject_OCS* o) { return o == a ? "A" : "B"; });
  EXPECT_EQ(strings, (StringsWithObjects{{"A", a}, {"B", b}}));

  struct Combo final : ComboSink {
    ObjectList items;
    int current = -1;
    void clear() override { items.clear(); }
    void addItem(const std::string&, MObject_OCS* o) override { items.push_back(o); }
    int count() const override { return static_cast<int>(items.size()); }
    MObject_OCS* objectAt(int i) const override { return items.at(static_cast<std::size_t>(i)); }
    void setCurrentIndex(int i) override { current = i; }
  } combo;
  combo.items = {a, b};
  MOBJ_AVEC_OBJ_REC::SelectInCombo(combo, b);
  EXPECT_EQ(combo.current, 1);
  MOBJ_AVEC_OBJ_REC::SelectInCombo(combo, nullptr);
  EXPECT_EQ(combo.current, 1);
}
