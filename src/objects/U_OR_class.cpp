#include "objects/U_OR_class.h"

#include "foundation/Cp1252.h"
#include "foundation/F_erreur.h"
#include "foundation/ZEP_Dictionnaire.h"

namespace tessel {

TESSEL_DEFINE_CLASS(TObjRec, MObject_OCS)
TESSEL_DEFINE_CLASS(TMOOR_document, TObjRec)
TESSEL_DEFINE_CLASS(TMOOR_societe, TObjRec)
TESSEL_DEFINE_CLASS(TMOOR_individu, TObjRec)

// ---------------------------------------------------------------- TObjRec

TObjRec::TObjRec(const ClassRef& cls)
    : MObject_OCS(cls), children_(std::make_unique<MLISTE_Object_OCS>(*this, cls.LinkListName())) {}

TObjRec::TObjRec(const ClassRef& cls, int index)
    : MObject_OCS(cls, index), children_(std::make_unique<MLISTE_Object_OCS>(*this, cls.LinkListName())) {}

TObjRec::~TObjRec() = default;

TObjRec* TObjRec::CreateNamed(const ClassRef& cls, std::string_view name) {
  auto* node = static_cast<TObjRec*>(cls.Create());
  node->SetName(name);
  return node;
}

std::uint32_t TObjRec::Colour() const {
  if (!attributeTriple("Couleur")) return 0xFFFFFF;
  return static_cast<std::uint32_t>(GetInteger("Couleur"));
}

std::string TObjRec::Description() const { return DecodeText(GetString("Description")); }

void TObjRec::SetDescription(std::string_view text) { SetString("Description", EncodeText(text)); }

std::vector<TObjRec*> TObjRec::Children() const {
  std::vector<TObjRec*> result;
  for (MObject_OCS* o : children_->Items()) result.push_back(static_cast<TObjRec*>(o));
  return result;
}

bool TObjRec::RefuseDeletion(std::string&) const { return false; }

void TObjRec::LoadRemaining(const ClassRef& cls, std::string_view text) {
  const int a = cls.LoadedCount();
  const int stored = cls.StoredCount();
  if (stored - 1 >= a) {
    auto* imported = static_cast<TObjRec*>(cls.CreateStored(a));
    imported->SetName("Taxinomie " + std::string(text));
    // With no node loaded before, the imported root is the taxonomy's root.
    if (a > 0) static_cast<TObjRec*>(cls.LoadedItem(0))->AddChild(imported);
    imported->SetInvariant(false);
  }
  for (int i = a + 1; i < stored; ++i) cls.CreateStored(i);
}

// ---------------------------------------------------------------- tree helpers

TreeItem* TObjRec::AddDefaultNode(const ClassRef& cls, TreeSink& tree, TreeItem* parent, bool invariant,
                                  int imageIndex, std::string_view name) {
  TObjRec* node = CreateNamed(cls, name);
  node->SetInvariant(invariant);
  if (parent)
    if (auto* parentNode = dynamic_cast<TObjRec*>(tree.objectOf(parent))) parentNode->AddChild(node);
  TreeItem* item = tree.addItem(parent, std::string(name), node);
  if (imageIndex != -1)
    CopyImageToNode(tree, item, imageIndex);
  else
    SetNodeImage(tree, item); // no picture: the parent's image
  return item;
}

void TObjRec::CopyImageToNode(TreeSink& tree, TreeItem* item, int imageIndex) {
  auto* node = dynamic_cast<TObjRec*>(tree.objectOf(item));
  if (!node) return;
  const QImage source = tree.image(imageIndex);
  QImage copy(source.size(), QImage::Format_RGB32);
  copy.fill(Qt::white);
  {
    QPainter painter(&copy);
    painter.drawImage(0, 0, source);
  }
  node->SetPicture(&copy);
  SetNodeImage(tree, item);
}

QImage TObjRec::Masked(const QImage& picture) {
  QImage masked = picture.convertToFormat(QImage::Format_ARGB32);
  if (masked.height() == 0) return masked;
  const QRgb transparent = masked.pixel(0, masked.height() - 1) | 0xFF000000;
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x)
      if ((line[x] | 0xFF000000) == transparent) line[x] = 0;
  }
  return masked;
}

void TObjRec::SetNodeImage(TreeSink& tree, TreeItem* item) {
  auto* node = dynamic_cast<TObjRec*>(tree.objectOf(item));
  if (!node) return;
  int index = -1;
  if (const QImage* picture = node->Picture(); picture && !picture->isNull()) {
    QImage copy = *picture;
    const QRgb mask = copy.height() != 0 ? copy.pixel(0, copy.height() - 1) : 0xFFFFFFFF;
    copy = copy.scaled(16, 16);
    // A picture with its own transparency is shown as it is.
    index = tree.addImage(copy, copy.hasAlphaChannel() ? std::nullopt : std::optional<QRgb>(mask));
  } else if (TreeItem* parent = tree.parentOf(item)) {
    index = tree.imageIndex(parent);
  }
  tree.setImageIndex(item, index);
}

TreeItem* TObjRec::AddSubtree(TreeSink& tree, TreeItem* parent, TObjRec* node) {
  TreeItem* item = tree.addItem(parent, node->Name(), node);
  SetNodeImage(tree, item);
  for (TObjRec* child : node->Children())
    if (child) AddSubtree(tree, item, child);
  return item;
}

void TObjRec::RefreshImages(TreeSink& tree, TreeItem* item) {
  SetNodeImage(tree, item);
  for (int i = 0; i < tree.childCount(item); ++i) RefreshImages(tree, tree.child(item, i));
}

void TObjRec::PropagatePictures(TObjRec* node) {
  const QImage* picture = node->Picture();
  for (TObjRec* child : node->Children()) {
    if (!child) continue;
    if (!child->Picture() && picture) child->SetPicture(picture);
    PropagatePictures(child);
  }
}

bool TObjRec::HasChildNamed(TreeSink& tree, TreeItem* item, std::string_view text) {
  for (int i = 0; i < tree.childCount(item); ++i)
    if (SameText(tree.titleOf(tree.child(item, i)), text)) return true;
  return false;
}

void TObjRec::DrawPictures(const std::vector<TObjRec*>& nodes, QPainter& painter, const QRect& rect,
                           int rowsPerColumn) {
  for (int i = static_cast<int>(nodes.size()) - 1; i >= 0; --i) {
    const QImage* picture = nodes[static_cast<std::size_t>(i)] ? nodes[static_cast<std::size_t>(i)]->Picture() : nullptr;
    if (!picture || picture->isNull()) continue;
    const QImage shown = Masked(*picture);
    const int r = rowsPerColumn < 1 ? 1 : rowsPerColumn;
    const int right = rect.x() + rect.width();
    if (r == 1)
      painter.drawImage(right - 20 * i - 35, rect.top() + rect.height() / 2 - shown.height() / 2, shown);
    else
      painter.drawImage(right - 20 * (i / r) - 35, rect.top() + 20 * (i % r), shown);
  }
}

void BuildTree(const ClassRef& cls, TreeSink& tree, TreeItem* root, const std::vector<DefaultNode>& nodes) {
  std::vector<TreeItem*> parents{root};
  for (const DefaultNode& n : nodes) {
    parents.resize(static_cast<std::size_t>(n.depth) + 1);
    TreeItem* item = TObjRec::AddDefaultNode(cls, tree, parents.back(), false, n.image, n.name);
    parents.push_back(item);
  }
}

// ---------------------------------------------------------------- resource taxonomies

void TMOOR_document::BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root) {
  BuildTree(cls, tree, root,
            {{0, "Document adminitratif", 14},
             {0, "Logiciels", 33},
             {1, "Antivirus", 33},
             {1, "Bureautique", 33},
             {2, "Traitement texte", 33},
             {2, "tableur", 33},
             {2, "Base de données"_w, 33},
             {2, "Logiciels de présentation"_w, 33},
             {1, "Système"_w, 33},
             {1, "jeux", 33},
             {0, "Fichiers de musique", 16},
             {1, "Jazz", 16},
             {1, "Musique du monde", 16},
             {0, "Site Web - page HTML", 31},
             {1, "Nos préférés"_w, 31},
             {1, "Indispensables", 31},
             {1, "Original", 31},
             {0, "Documentation", 14},
             {1, "Informatique", 14},
             {1, "Marketing", 14},
             {1, "Philosophique", 14},
             {0, "Listing", 1},
             {1, "projet Scrib", 1},
             {1, "projet Ordo", 1},
             {1, "projet Tessel", 1},
             {0, "Cours", 1},
             {1, "Programmation", 1},
             {2, "Langage C", 1},
             {2, "Langage C++", 1},
             {2, "Langage JAVA", 1},
             {2, "Langage Pascal", 1},
             {1, "Methodologie", 1},
             {2, "UML", 1},
             {2, "Extrême Programming"_w, 1}});
}

std::string TMOOR_societe::TaxonomyName(const ClassRef&) { return std::string("Type de société"_w); }

void TMOOR_societe::BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root) {
  BuildTree(cls, tree, root,
            {{0, "Concurrentes", 1},    {0, "Fournisseur", 1},   {1, "Les meilleurs", 1},
             {1, "Trop cher", 1},       {0, "Client", 1},        {1, "Collaborateur", 1},
             {1, "Partenaire", 1},      {1, "Prospect", 1},      {0, "Type entreprise", 1},
             {1, "SSII", 1},            {1, "Administration", 1}, {1, "PME", 1},
             {1, "Association", 1},     {1, "TGE", 1},           {0, "Type de contact", 1},
             {1, "Internet", 1},        {1, "Courrier/fax", 1},  {1, "Téléphone"_w, 1},
             {1, "Nous a contacté"_w, 1}});
}

std::string TMOOR_individu::TaxonomyName(const ClassRef&) { return std::string("Catégorie individu"_w); }

void TMOOR_individu::BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root) {
  BuildTree(cls, tree, root,
            {{0, "Dans votre Entreprise", 13},
             {1, "Vos supérieurs"_w, 27},
             {1, "Vos collègues"_w, 27},
             {0, "Personnalités"_w, 13},
             {1, "Politiques", 13},
             {1, "Show Biz", 13},
             {1, "Scientifiques", 13},
             {1, "Philosophes", 13},
             {1, "Sportifs", 13},
             {1, "Journalistes", 13},
             {0, "Fournisseur", 27},
             {1, "Les meilleurs", 27},
             {0, "Famille", 27},
             {1, "Proche", 27},
             {1, "Etendue", 27},
             {0, "Client", 27},
             {1, "Collaborateurs", 27},
             {1, "Prospect", 27}});
}

} // namespace tessel
