#include "objects/ZEP_Objet_OCS.h"

#include "engine/SmallObjectPool.h"
#include "engine/ZEP_Classe.h"
#include "engine/ZEP_requete.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "foundation/ZEP_Version.h"
#include "objects/IdentityDictionary.h"

#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace tessel {

namespace {

// ---------------------------------------------------------------- process-wide state

struct ClassEntry {
  std::string name;
  std::vector<MObject_OCS*> objects; // registration order; null holes squeezed out lazily
  int holes = 0;
};

struct State {
  std::unique_ptr<MMulti_base> holder;
  bool bound = false;
  bool open = false;
  std::vector<std::unique_ptr<ClassEntry>> entries; // in order of first registration
  std::unordered_map<std::string, ClassEntry*> byName; // upper-cased class name
  // (class, entity) -> object; absent while no base is open.
  std::unique_ptr<IdentityDictionary> identities;
  // The entry of the class registered last: loading registers a class's
  // objects one after the other.
  const ClassRef* lastClass = nullptr;
  ClassEntry* lastEntry = nullptr;
  DataFileInfo fileRead;
  bool damaged = false;
  // The classes loaded with the base.
  ClassList loaded;
  // One cached class search, reused while the same class is asked for.
  std::string cachedClass;
  MListe<MTruc> cachedStored;
  bool cacheValid = false;
};

State& state() {
  static State s;
  return s;
}

std::unordered_map<std::string, const ClassRef*>& metaClasses() {
  static std::unordered_map<std::string, const ClassRef*> all;
  return all;
}

ClassEntry* entryFor(std::string_view className, bool create) {
  State& s = state();
  const std::string key = UpperAsciiText(className);
  if (auto it = s.byName.find(key); it != s.byName.end()) return it->second;
  if (!create) return nullptr;
  s.entries.push_back(std::make_unique<ClassEntry>());
  s.entries.back()->name = std::string(className);
  s.byName[key] = s.entries.back().get();
  return s.entries.back().get();
}

void compact(ClassEntry& entry);

const MListe<MTruc>& storedList(std::string_view className) {
  State& s = state();
  if (!s.cacheValid || !SameText(s.cachedClass, className)) {
    MBC& b = Storage::base();
    s.cachedStored = b.triplets_relation_valeur(b.relation("sys_ID_classe"), "sys_" + std::string(className));
    s.cachedClass = std::string(className);
    s.cacheValid = true;
  }
  return s.cachedStored;
}

void dropCache() {
  State& s = state();
  s.cacheValid = false;
  s.cachedStored.Clear();
}

bool blank(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) > 32) return false;
  return true;
}

[[noreturn]] void attributeError(std::string_view attribute, const std::string& text, MessageLiteral what) {
  throw ConvertError(Message("Attribut « "_w) + std::string(attribute) + " » : '"_w + text + "' " + what,
                     text);
}

} // namespace

// ---------------------------------------------------------------- ClassRef

ClassRef::ClassRef(std::string_view name, const ClassRef* parent) : name_(name), parent_(parent) {
  metaClasses()[UpperAsciiText(name)] = this;
}

const ClassRef* ClassRef::byName(std::string_view name) {
  auto it = metaClasses().find(UpperAsciiText(name));
  return it == metaClasses().end() ? nullptr : it->second;
}

bool ClassRef::inheritsFrom(const ClassRef& other) const {
  for (const ClassRef* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

namespace {
[[noreturn]] void notTaxonomy(const ClassRef& c, const char* what) {
  throw InternalError(Message("la classe ") + c.name() + " n'a pas d'opération "_w + std::string(what));
}
} // namespace

std::string ClassRef::LinkListName() const { notTaxonomy(*this, "LinkListName"); }
std::string ClassRef::TaxonomyName() const { notTaxonomy(*this, "TaxonomyName"); }
std::uint32_t ClassRef::TaxonomyColour() const { notTaxonomy(*this, "TaxonomyColour"); }
const ClassRef* ClassRef::ClassifiedClass() const { notTaxonomy(*this, "ClassifiedClass"); }
void ClassRef::BuildDefaultTree(TreeSink&, TreeItem*) const { notTaxonomy(*this, "BuildDefaultTree"); }
bool ClassRef::HasColour() const { return false; }
const ClassRef* ClassRef::TaxonomyClass() const { notTaxonomy(*this, "TaxonomyClass"); }
std::string ClassRef::ClassDisplayName() const { notTaxonomy(*this, "ClassDisplayName"); }

int ClassRef::StoredCount() const { return Storage::storedCount(name_); }
int ClassRef::LoadedCount() const { return Storage::loadedCount(name_); }
MObject_OCS* ClassRef::LoadedItem(int index) const { return Storage::loadedItem(name_, index); }
ObjectList ClassRef::LoadedObjects() const { return Storage::loadedObjects(name_); }

ObjectList ClassRef::LoadedObjectsWithSubclasses() const {
  ObjectList result;
  MBC& b = Storage::base();
  std::function<void(const std::string&)> collect = [&](const std::string& className) {
    MEntite* symbol = b.chercher_symbole("sys_" + className);
    MEntite* node = symbol ? symbol->pere_par_nom("sys_heritage", 0) : nullptr;
    if (!node) return;
    const ObjectList own = Storage::loadedObjects(className);
    result.insert(result.end(), own.begin(), own.end());
    MEntite* subRelation = b.chercher_relation("sys_a_pour_sous_classe");
    std::vector<MEntite*> children;
    if (subRelation)
      for (int n = 0; MEntite* child = node->valeur_de(subRelation, n); ++n) children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      const MEntite* heritage = (*it)->valeur_chemin("sys_heritage", 0);
      const std::string id = heritage ? heritage->identifiant() : std::string();
      if (id.size() > 4) collect(id.substr(4));
    }
  };
  collect(name_);
  return result;
}

void ClassRef::LoadAll() const {
  Storage::registerInClassTree(*this);
  const int n = StoredCount();
  if (State& s = state(); s.identities && n > 0) {
    s.identities->reserve(s.identities->size() + std::size_t(n));
    auto& objects = entryFor(name_, true)->objects;
    objects.reserve(objects.size() + std::size_t(n));
    pool::reserve(ObjectSize(), std::size_t(n));
  }
  for (int i = 0; i < n; ++i) CreateStored(i);
}

ObjectList ClassRef::Query(std::string_view text) const {
  ObjectList result;
  MBC& b = Storage::base();
  Mrequete query("toto");
  query.compiler(text, b);
  Mens_solution* solution = query.resoudre(nullptr);
  if (!solution) return result;
  for (int i = 0; i < solution->nb_fils(); ++i) {
    const MEntite* row = solution->valeur_fils(i);
    const MEntite* cell = row->valeur_chemin("variable", 0);
    const MEntite* value = cell ? cell->valeur_chemin("valeur", 0) : nullptr;
    result.push_back(Storage::ObjectOf(value));
  }
  return result;
}

int ClassRef::CheckSchema() const {
  std::vector<std::string> rows;
  DeclareAttributes(rows);
  MMclass_ocs description;
  description.ajouter_attribut("sys_ID_classe", "1,2", false, "sys_" + name_, "String");
  for (std::size_t i = 0; i + 5 <= rows.size(); i += 5) {
    if (rows[i] != "attribut") continue;
    description.ajouter_attribut(MObject_OCS::relationName(rows[i + 1]), rows[i + 2], false, rows[i + 4], rows[i + 3]);
  }
  return description.verifier(name_, Storage::base()).Count();
}

// ---------------------------------------------------------------- MObject_OCS

const ClassRef& MObject_OCS::Class() {
  static const ClassOf<MObject_OCS> meta("MObject_OCS", nullptr);
  return meta;
}

// A big base has as many objects as entities: they come from the engine's
// pools too.
void* MObject_OCS::operator new(std::size_t size) { return pool::allocate(size); }

void MObject_OCS::operator delete(void* p, std::size_t size) { pool::release(p, size); }

MObject_OCS::MObject_OCS(const ClassRef& cls) : class_(&cls) { Storage::NewEntity(this, cls); }

MObject_OCS::MObject_OCS(const ClassRef& cls, int index) : class_(&cls) { Storage::StoredEntity(this, cls, index); }

MObject_OCS::~MObject_OCS() {
  // An object freed while registered must not stay reachable.
  if (registryPosition_ >= 0) Storage::unregisterObject(this);
  markGone();
}

namespace {

// The liveness tokens handed out, by object; an object leaves when it is
// gone. Never destroyed: objects held by other statics may go at exit after
// this would.
std::unordered_map<const MObject_OCS*, std::shared_ptr<bool>>& livenessTokens() {
  static auto* const tokens = new std::unordered_map<const MObject_OCS*, std::shared_ptr<bool>>;
  return *tokens;
}

} // namespace

std::shared_ptr<const bool> MObject_OCS::liveness() const {
  std::shared_ptr<bool>& token = livenessTokens()[this];
  if (!token) token = std::make_shared<bool>(registered());
  return token;
}

void MObject_OCS::markGone() {
  auto& tokens = livenessTokens();
  if (tokens.empty()) return;
  if (auto it = tokens.find(this); it != tokens.end()) {
    *it->second = false;
    tokens.erase(it);
  }
}

void MObject_OCS::Erase() { Storage::EraseEntity(this); }

void MObject_OCS::Release() { Storage::ReleaseEntity(this); }

void MObject_OCS::Delete() {
  Erase();
  delete this;
}

void MObject_OCS::AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const {
  for (int i = 0; i < 3; ++i) columns.emplace_back("vide", (width - 32) / 3);
}

std::string MObject_OCS::DisplayText() const { return "vide"; }

void MObject_OCS::LoadRemaining(const ClassRef& cls, std::string_view) {
  for (int i = cls.LoadedCount(); i < cls.StoredCount(); ++i) cls.CreateStored(i);
}

void MObject_OCS::DeclareAttributes(const ClassRef&, std::vector<std::string>&) {}

namespace {

constexpr std::string_view attributePrefix = "sys_nom_attribut_";

// Whether `relation` is named "sys_nom_attribut_" + attribute (ignoring
// case), without making that name: attributes are read all the time.
bool namesAttribute(const MEntite* relation, std::string_view attribute) {
  if (relation->isTriple()) return relation->nomEquals(MObject_OCS::relationName(attribute));
  const std::string_view name = relation->name();
  return name.size() == attributePrefix.size() + attribute.size() &&
         SameText(name.substr(attributePrefix.size()), attribute) &&
         SameText(name.substr(0, attributePrefix.size()), attributePrefix);
}

} // namespace

std::string MObject_OCS::relationName(std::string_view attribute) {
  return std::string(attributePrefix) + std::string(attribute);
}

MTruc* MObject_OCS::attributeTriple(std::string_view name) const {
  if (!entity_) return nullptr;
  // The first triple triplet_par_nom (relationName (name), 0) would find.
  const TripleList& triples = entity_->subjects();
  for (int i = 0, n = triples.rawSize(); i < n; ++i)
    if (MTruc* t = triples.raw(i); t && namesAttribute(t->relation(), name)) return t;
  return nullptr;
}

void MObject_OCS::RemoveAttribute(std::string_view name) {
  if (entity_) entity_->retirer(relationName(name), 0);
}

std::string MObject_OCS::GetString(std::string_view name) const {
  MTruc* t = attributeTriple(name);
  if (!t) return {};
  std::string text = t->valeur()->identifiant();
  if (text.empty()) entity_->retirer(relationName(name), 0); // an anonymous value is no text
  return text;
}

void MObject_OCS::CheckTextLength(std::string_view text) {
  if (text.size() <= longueurMaxNom) return;
  throw TextTooLongError(Message("Ce texte est trop long pour être enregistré : il occupe "_w) +
                         std::to_string(text.size()) + " caractères, la limite est de "_w +
                         std::to_string(longueurMaxNom) +
                         " (une virgule, une fin de ligne ou une tabulation en occupe plusieurs, un caractère "
                         "hors du jeu Windows-1252 une dizaine). Le texte n'a pas été enregistré."_w);
}

void MObject_OCS::SetString(std::string_view name, std::string_view text) {
  CheckTextLength(text);
  if (blank(text)) {
    RemoveAttribute(name);
    return;
  }
  entity_->affecter(relationName(name), text);
}

int MObject_OCS::GetInteger(std::string_view name) const {
  MTruc* t = attributeTriple(name);
  if (!t) return -1;
  const std::string text = t->valeur()->identifiant();
  try {
    return TextToInt(text);
  } catch (const ConvertError&) {
    attributeError(name, text, "n'est pas une valeur entière correcte"_w);
  }
}

void MObject_OCS::SetInteger(std::string_view name, int value) { entity_->affecter(relationName(name), std::to_string(value)); }

bool MObject_OCS::GetBoolean(std::string_view name) const {
  MTruc* t = attributeTriple(name);
  return t && SameText(t->valeur()->identifiant(), "VRAI");
}

void MObject_OCS::SetBoolean(std::string_view name, bool value) {
  entity_->affecter(relationName(name), value ? "VRAI" : "FAUX");
}

TDateTime MObject_OCS::GetDate(std::string_view name) const {
  MTruc* t = attributeTriple(name);
  if (!t) return 0;
  try {
    // A named value is read where its name lies.
    const MEntite* value = t->valeur();
    return value->name().empty() ? TextToDate(value->identifiant()) : TextToDate(value->name());
  } catch (const ConvertError&) {
    // A broken date becomes the present moment, at once and for good.
    const TDateTime now = Now();
    const_cast<MObject_OCS*>(this)->SetDate(name, now);
    return now;
  }
}

void MObject_OCS::SetDate(std::string_view name, TDateTime value) {
  entity_->affecter(relationName(name), DateToText(value));
  dateChanged(name);
}

double MObject_OCS::GetReal(std::string_view name) const {
  MTruc* t = attributeTriple(name);
  if (!t) return 0;
  const std::string text = t->valeur()->identifiant();
  // Written with a point; a comma, as older files may hold, reads too.
  QString q = fromCp1252(text).trimmed();
  q.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double value = q.toDouble(&ok);
  if (!ok) attributeError(name, text, "n'est pas une valeur en virgule flottante correcte");
  return value;
}

void MObject_OCS::SetReal(std::string_view name, double value) {
  if (value == 0) {
    RemoveAttribute(name);
    return;
  }
  entity_->affecter(relationName(name), QString::number(value, 'g', 15).toStdString());
}

QImage* MObject_OCS::GetPicture(std::string_view name) const {
  MTruc* t = attributeTriple(name);
  if (!t || t->valeur()->kind() != EntityKind::SymbolBitmap) return nullptr;
  return &static_cast<MSymbole_bitmap*>(t->valeur())->image();
}

void MObject_OCS::SetPicture(std::string_view name, const QImage* picture) {
  if (!picture || picture->isNull()) {
    RemoveAttribute(name);
    return;
  }
  entity_->affecter(relationName(name), new MSymbole_bitmap("toto", *picture));
}

MObject_OCS* MObject_OCS::GetObject(std::string_view name) const {
  MTruc* t = attributeTriple(name);
  return t ? Storage::ObjectOf(t->valeur()) : nullptr;
}

void MObject_OCS::SetObject(std::string_view name, const MObject_OCS* object) {
  if (!object) {
    RemoveAttribute(name);
    return;
  }
  entity_->affecter(Storage::base().relation(relationName(name)), object->entite(), nullptr);
}

void MObject_OCS::ListAdd(std::string_view name, const MObject_OCS* object) {
  if (object) entity_->ajouter(Storage::base().relation(relationName(name)), object->entite());
}

int MObject_OCS::ListCount(std::string_view name) const { return entity_->nb_fils_par(relationName(name)); }

MObject_OCS* MObject_OCS::ListItem(std::string_view name, int index) const {
  const MEntite* e = entity_->valeur_chemin(relationName(name), index);
  if (!e && (index < 0 || index >= ListCount(name))) throw ListIndexError(index);
  return Storage::ObjectOf(e);
}

ObjectList MObject_OCS::ListItems(std::string_view name) const {
  ObjectList items;
  const std::string relation = relationName(name);
  entity_->subjects().forEach([&](MTruc* t) {
    if (t->relation()->nomEquals(relation)) items.push_back(Storage::ObjectOf(t->valeur()));
  });
  return items;
}

int MObject_OCS::ListIndexOf(std::string_view name, const MObject_OCS* object) const {
  if (!object) return -1;
  std::vector<const MEntite*> values;
  const std::string relation = relationName(name);
  entity_->subjects().forEach([&](MTruc* t) {
    if (t->relation()->nomEquals(relation)) values.push_back(t->valeur());
  });
  for (int i = static_cast<int>(values.size()) - 1; i >= 0; --i)
    if (values[static_cast<std::size_t>(i)] == object->entite()) return i;
  return -1;
}

void MObject_OCS::ListDelete(std::string_view name, int index) {
  if (index < 0 || index >= ListCount(name)) throw ListIndexError(index);
  entity_->retirer(relationName(name), index);
}

void MObject_OCS::ListClear(std::string_view name) {
  for (int i = ListCount(name) - 1; i >= 0; --i) ListDelete(name, i);
}

std::string MObject_OCS::EntityName() const { return entity_ ? entity_->identifiant() : std::string(); }

void MObject_OCS::SetEntityId(std::string_view text) { entity_->affecter("sys_id", text); }

// ---------------------------------------------------------------- Storage

void Storage::BindStorage(const QString&) { state().bound = true; }

bool Storage::bound() { return state().bound; }

MBC& Storage::base() {
  State& s = state();
  if (!s.holder) s.holder = std::make_unique<MMulti_base>();
  return *base_courante;
}

bool Storage::isOpen() { return state().open; }

std::string Storage::newIdentifier() {
  QUuid id = QUuid::createUuid();
  // The stream trims names of their bytes up to 32 at both ends: an
  // identifier ending with one would not come back whole.
  while (id.data4[7] <= 32) id = QUuid::createUuid();
  // The GUID's bytes in memory order: the three first fields little-endian.
  unsigned char bytes[16];
  const std::uint32_t d1 = id.data1;
  const std::uint16_t d2 = id.data2, d3 = id.data3;
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(d1 >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[4 + i] = static_cast<unsigned char>(d2 >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[6 + i] = static_cast<unsigned char>(d3 >> (8 * i));
  std::memcpy(bytes + 8, id.data4, 8);
  return ">" + std::string(reinterpret_cast<const char*>(bytes), 16);
}

void Storage::registerObject(MObject_OCS* object, const ClassRef& cls, std::uint64_t order) {
  State& s = state();
  if (!s.identities) s.identities = std::make_unique<IdentityDictionary>();
  if (s.lastClass != &cls) {
    s.lastEntry = entryFor(cls.name(), true);
    s.lastClass = &cls;
  }
  ClassEntry* entry = s.lastEntry;
  object->registrationOrder_ = order;
  auto& list = entry->objects;
  if (list.empty() || list.back()->registrationOrder_ < order) {
    object->registryPosition_ = static_cast<int>(list.size());
    list.push_back(object);
  } else {
    // Made again by an undo: back to its place among the others.
    compact(*entry);
    const auto at = std::lower_bound(list.begin(), list.end(), order,
                                     [](const MObject_OCS* o, std::uint64_t n) { return o->registrationOrder_ < n; });
    object->registryPosition_ = static_cast<int>(at - list.begin());
    list.insert(at, object);
  }
  s.identities->put(object);
}

namespace {

void compact(ClassEntry& entry) {
  if (entry.holes == 0) return;
  std::size_t out = 0;
  for (MObject_OCS* o : entry.objects) {
    if (!o) continue;
    entry.objects[out++] = o;
  }
  entry.objects.resize(out);
  entry.holes = 0;
}

} // namespace

void Storage::unregisterObject(MObject_OCS* object) {
  State& s = state();
  dropCache();
  object->markGone();
  if (object->registryPosition_ < 0) return;
  ClassEntry* entry = entryFor(object->classe().name(), false);
  if (entry) {
    // The position may be stale after a squeeze: it is a hint, checked.
    auto& list = entry->objects;
    auto at = static_cast<std::size_t>(object->registryPosition_);
    if (at >= list.size() || list[at] != object) {
      at = 0;
      while (at < list.size() && list[at] != object) ++at;
    }
    if (at < list.size()) {
      list[at] = nullptr;
      ++entry->holes;
      while (!list.empty() && !list.back()) {
        list.pop_back();
        --entry->holes;
      }
    }
  }
  if (s.identities) s.identities->remove(object->classe().name(), object->entite());
  object->registryPosition_ = -1;
}

void Storage::EraseEntity(MObject_OCS* object) {
  unregisterObject(object);
  object->unregistered();
  if (MEntite* e = object->entite()) e->supprimer_liens();
}

void Storage::ReleaseEntity(MObject_OCS* object) {
  unregisterObject(object);
  object->unregistered();
}

MEntite* Storage::NewEntity(MObject_OCS* object, const ClassRef& cls) {
  MBC& b = base();
  object->entity_ = b.nouvelle_entite();
  MEntite* e = object->entity_.get();
  e->affecter("sys_racine", "sys_Objet_Natif");
  e->affecter("sys_ID_classe", "sys_" + cls.name());
  if (!e->triplet_par_nom("SYS_OID", 0)) e->ajouter(b.relation("SYS_OID"), b.symbole(newIdentifier()));
  registerObject(object, cls, e->triplet(b.sysIdClasse(), 0)->sequence());
  return e;
}

MEntite* Storage::StoredEntity(MObject_OCS* object, const ClassRef& cls, int index) {
  MBC& b = base();
  const MListe<MTruc>& stored = storedList(cls.name());
  MTruc* classTriple = stored.Item(index);
  object->entity_ = EntityRef(classTriple->sujet());
  MEntite* e = object->entity_.get();
  const std::uint64_t order = classTriple->sequence(); // before the list may go stale
  if (!e->triplet_par_nom("SYS_OID", 0)) e->ajouter(b.relation("SYS_OID"), b.symbole(newIdentifier()));
  registerObject(object, cls, order);
  return e;
}


MObject_OCS* Storage::ObjectOf(const MEntite* entity) {
  State& s = state();
  if (!entity || !s.identities) return nullptr;
  MBC& b = base();
  MEntite* classRelation = b.sysIdClasse();
  if (!classRelation) return nullptr;
  const MEntite* cls = entity->valeur_de(classRelation, 0);
  if (!cls) return nullptr;
  // Class symbols carry their name: no copy on this frequent path.
  std::string spare;
  auto idOf = [&spare](const MEntite* c) -> std::string_view {
    if (!c->name().empty()) return c->name();
    spare = c->identifiant();
    return spare;
  };
  std::string_view id = idOf(cls);
  if (SameText(id, "sys_Mtache") || SameText(id, "sys_Mressource")) {
    cls = entity->valeur_de(classRelation, 1);
    if (!cls) return nullptr;
    id = idOf(cls);
  }
  if (id.size() < 4) return nullptr;
  return s.identities->get(id.substr(4), entity);
}

namespace {

// The triple naming the entity's class, read as ObjectOf reads it, and the class's name.
MTruc* classTripleOf(const MEntite* entity, std::string& className) {
  const MEntite* classRelation = Storage::base().sysIdClasse();
  MTruc* t = classRelation ? entity->triplet(classRelation, 0) : nullptr;
  if (!t) return nullptr;
  std::string id = t->valeur()->identifiant();
  if (SameText(id, "sys_Mtache") || SameText(id, "sys_Mressource")) {
    t = entity->triplet(classRelation, 1);
    if (!t) return nullptr;
    id = t->valeur()->identifiant();
  }
  if (id.size() < 4) return nullptr;
  className = id.substr(4);
  return t;
}

} // namespace

void Storage::Resynchronise(const std::vector<MEntite*>& entities) {
  State& s = state();
  if (!s.open) return;
  dropCache();
  struct Revival {
    const ClassRef* cls;
    std::uint64_t order;
  };
  std::vector<Revival> revivals;
  for (MEntite* e : entities) {
    std::string className;
    const MTruc* classTriple = classTripleOf(e, className);
    bool several = false;
    MObject_OCS* object = s.identities->onlyObjectOf(e, several);
    if (several) {
      // Two objects over one entity: the one of the class named.
      object = classTriple ? s.identities->get(className, e) : nullptr;
      if (!object) continue;
    }
    if (object && (!classTriple || !SameText(object->classe().name(), className))) {
      object->Release();
      delete object;
      object = nullptr;
    }
    if (object) {
      object->attributesRestored();
      continue;
    }
    if (!classTriple) continue;
    const ClassRef* cls = ClassRef::byName(className);
    const bool loadable = cls && (std::find(s.loaded.begin(), s.loaded.end(), cls) != s.loaded.end() ||
                                  entryFor(cls->name(), false));
    if (loadable) revivals.push_back({cls, classTriple->sequence()});
  }
  // Class by class, in the order loading makes them.
  std::sort(revivals.begin(), revivals.end(), [](const Revival& a, const Revival& b) {
    return a.cls != b.cls ? a.cls->name() < b.cls->name() : a.order < b.order;
  });
  for (const Revival& r : revivals) {
    const MListe<MTruc>& stored = storedList(r.cls->name());
    int low = 0, high = stored.Count();
    while (low < high) {
      const int middle = (low + high) / 2;
      if (stored.Item(middle)->sequence() < r.order)
        low = middle + 1;
      else
        high = middle;
    }
    if (low < stored.Count() && stored.Item(low)->sequence() == r.order) r.cls->CreateStored(low);
  }
}

int Storage::loadedCount(std::string_view className) {
  ClassEntry* entry = entryFor(className, false);
  return entry ? static_cast<int>(entry->objects.size()) - entry->holes : 0;
}

MObject_OCS* Storage::loadedItem(std::string_view className, int index) {
  ClassEntry* entry = entryFor(className, false);
  if (!entry || index < 0 || index >= loadedCount(className)) throw ListIndexError(index);
  compact(*entry);
  MObject_OCS* o = entry->objects[static_cast<std::size_t>(index)];
  o->registryPosition_ = index;
  return o;
}

ObjectList Storage::loadedObjects(std::string_view className) {
  ObjectList result;
  if (ClassEntry* entry = entryFor(className, false))
    for (MObject_OCS* o : entry->objects)
      if (o) result.push_back(o);
  return result;
}

int Storage::storedCount(std::string_view className) { return storedList(className).Count(); }

void Storage::registerInClassTree(const ClassRef& cls) {
  MBC& b = base();
  MEntite* heritage = b.relation("sys_heritage");
  MEntite* subclass = b.relation("sys_a_pour_sous_classe");
  EntityRef child;
  for (const ClassRef* c = &cls; c; c = c->parent()) {
    MEntite* symbol = b.symbole("sys_" + c->name());
    EntityRef node(symbol->pere_par_nom("sys_heritage", 0));
    if (!node) {
      node = b.nouvelle_entite();
      node->affecter(heritage, symbol, nullptr);
    }
    if (child) node->ajouter(subclass, child.get());
    child = node;
  }
}

void Storage::OpenBase(const QString& path, const ClassList& classes, const Hook& before, const Hook& after,
                       bool acceptDamaged) {
  if (isOpen()) CloseBase();
  MBC& b = base();
  dropCache();
  if (!QFileInfo::exists(path)) {
    b.vider();
    SaveBase(path);
  }
  b.vider();
  State& s = state();
  s.fileRead = {};
  s.damaged = false;
  {
    // The payload goes once read: the objects are made without it.
    MemoryStream payload;
    ReadDataFile(path, payload, &s.fileRead);
    try {
      b.lire(std::move(payload));
    } catch (const StreamIntegrityError& e) {
      // The whole content is in the base: a caller who accepts the damage goes on with it.
      if (!acceptDamaged)
        throw DamagedFileError(Message("Le fichier ") + QuotedFileName(path) + " est endommagé. "_w +
                               std::string(e.what()));
      s.damaged = true;
    } catch (const StreamReadError& e) {
      throw DataFileError(Message("Le fichier ") + QuotedFileName(path) + " n'est pas lisible. " +
                          std::string(e.what()));
    }
  }
  startRegistry(classes, before, after);
}

void Storage::OpenEmpty(const ClassList& classes, const Hook& before, const Hook& after) {
  if (isOpen()) CloseBase();
  MBC& b = base();
  dropCache();
  b.vider();
  state().fileRead = {};
  state().damaged = false;
  startRegistry(classes, before, after);
}

void Storage::startRegistry(const ClassList& classes, const Hook& before, const Hook& after) {
  MBC& b = base();
  State& s = state();
  s.entries.clear();
  s.byName.clear();
  s.identities = std::make_unique<IdentityDictionary>();
  s.lastClass = nullptr;
  s.lastEntry = nullptr;
  s.loaded = classes;
  if (MEntite* h = b.chercher_symbole("sys_heritage")) h->supprimer_liens();
  if (MEntite* sub = b.chercher_symbole("sys_a_pour_sous_classe")) sub->supprimer_liens();
  b.relation("sys_ID_classe");
  b.relation("sys_Objet_Natif");
  initialiser_requetes();
  s.open = true;

  if (before) before();
  for (const ClassRef* cls : classes) cls->LoadAll();
  dropCache(); // the last class's search is no longer needed
  if (after) after();
  for (const ClassRef* cls : classes) cls->CheckSchema();
}

const DataFileInfo& Storage::fileRead() { return state().fileRead; }

bool Storage::openedDamaged() { return state().damaged; }

FileFingerprint Storage::SaveBase(const QString& path) { return WriteDataFile(base().ecrire(), path); }

void Storage::SaveClasses(const QString& path, const ClassList& classes) {
  std::vector<std::string> names;
  for (const ClassRef* c : classes) names.push_back(c->name());
  WriteDataFile(base().ecrire_classes(names), path);
}

void Storage::CloseBase() {
  State& s = state();
  liberer_requetes();
  s.identities.reset();
  s.lastClass = nullptr;
  s.lastEntry = nullptr;
  dropCache();
  std::vector<std::unique_ptr<ClassEntry>> entries;
  entries.swap(s.entries);
  s.byName.clear();
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    for (auto o = (*entry)->objects.rbegin(); o != (*entry)->objects.rend(); ++o) {
      if (!*o) continue;
      (*o)->registryPosition_ = -1; // already out of the registry
      delete *o;
    }
  }
  s.open = false;
}

void Storage::ImportBase(const QString& path) {
  MBC& b = base();
  dropCache();
  {
    MemoryStream payload;
    ReadDataFile(path, payload);
    b.lire(std::move(payload));
  }
  MEntite* oid = b.chercher_relation("SYS_OID");
  MEntite* classRelation = b.sysIdClasse();
  if (!oid || !classRelation) return;
  std::vector<MEntite*> repeated;
  oid->relations().forEach([&](MTruc* t) {
    if (t->sujet()->valeur_de(classRelation, 0) && t->valeur()->nb_peres() == 2) repeated.push_back(t->valeur());
  });
  for (MEntite* value : repeated) {
    if (value->nb_peres() != 2) continue;
    if (MEntite* second = value->pere_par_nom("SYS_OID", 1)) second->affecter(oid, b.symbole(newIdentifier()), nullptr);
  }
}

void Storage::Reclass(std::string_view oldClass, std::string_view newClass) {
  MBC& b = base();
  MEntite* classRelation = b.relation("sys_ID_classe");
  const MListe<MTruc> found = b.triplets_relation_valeur(classRelation, "sys_" + std::string(oldClass));
  std::vector<EntityRef> subjects;
  for (MTruc* t : found) subjects.emplace_back(t->sujet());
  MEntite* target = b.symbole("sys_" + std::string(newClass));
  for (const EntityRef& e : subjects) e->affecter(classRelation, target, nullptr);
  dropCache();
}

ObjectList Storage::ReferencingObjects(const MEntite* entity, const ClassRef* cls) {
  ObjectList result;
  if (!entity) return result;
  MEntite* classRelation = base().sysIdClasse();
  if (!classRelation) return result;
  entity->values().forEach([&](MTruc* t) {
    const MEntite* subject = t->sujet();
    const MEntite* first = subject->valeur_de(classRelation, 0);
    if (!first) return;
    if (cls && !SameText(first->nom(), "sys_" + cls->name())) return;
    result.push_back(ObjectOf(subject));
  });
  return result;
}

ObjectList Storage::FindByAttributes(std::string_view className, const std::vector<std::string>& conditions) {
  std::string text = "REQ toto PARAMETRES A  CORPS A sys_ID_classe  sys_" + std::string(className);
  for (const std::string& condition : conditions) {
    const std::size_t eq = condition.find('=');
    if (eq == std::string::npos) continue;
    auto trim = [](std::string_view t) {
      while (!t.empty() && static_cast<unsigned char>(t.front()) <= 32) t.remove_prefix(1);
      while (!t.empty() && static_cast<unsigned char>(t.back()) <= 32) t.remove_suffix(1);
      return std::string(t);
    };
    text += " A sys_nom_attribut_" + trim(std::string_view(condition).substr(0, eq)) + " " +
            trim(std::string_view(condition).substr(eq + 1));
  }
  text += " FIN";
  return MObject_OCS::Class().Query(text);
}

void Storage::DestroyClassEntities(std::string_view className) {
  MBC& b = base();
  const MListe<MTruc> found = b.triplets_relation_valeur(b.relation("sys_ID_classe"), "sys_" + std::string(className));
  std::vector<EntityRef> subjects;
  for (MTruc* t : found) subjects.emplace_back(t->sujet());
  // Objects over these entities stay as they are, empty.
  for (const EntityRef& e : subjects) e->supprimer_liens();
  dropCache();
}

void Storage::reset() {
  CloseBase();
  state().holder.reset();
  state().bound = false;
}

} // namespace tessel
