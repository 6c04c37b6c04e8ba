#include "ui/LinkedNodeList.h"

#include "foundation/Cp1252.h"
#include "objects/U_OR_class.h"
#include "ui/Fenetre_liste_obj.h"
#include "widgets/U_DM_metier.h"

#include <QStringList>

#include <algorithm>

namespace tessel {

void LinkedNodeList::load(const MLISTE_Object_OCS& links) {
  nodes_.clear();
  for (MObject_OCS* linked : links.Items())
    if (auto* node = dynamic_cast<TObjRec*>(linked)) nodes_.push_back({node->Name(), WatchedObject(node)});
}

QString LinkedNodeList::hint() const {
  QStringList names;
  for (auto node = nodes_.rbegin(); node != nodes_.rend(); ++node) names << fromCp1252(node->name);
  return names.join(QLatin1Char('\n'));
}

bool LinkedNodeList::choose(const QWidget& editorWindow, const ClassRef& taxonomy, const QString& title) {
  StringsWithObjects current;
  for (const Node& node : nodes_)
    if (MObject_OCS* object = node.object.get()) current.emplace_back(node.name, object);
  const QRect editor = editorWindow.frameGeometry();
  const TDM_metier* module = TDM_metier::instance();
  const std::optional<StringsWithObjects> chosen = TForme_liste_objets::ChooseObjects(
      QPoint(editor.x() + editor.width(), editor.y()), editor.height(), taxonomy, current,
      [](const MObject_OCS* object) { return object->GetString("Nom"); },
      module ? &module->imgListe_commun : nullptr, title);
  if (!chosen) return false;
  nodes_.clear();
  for (auto item = chosen->rbegin(); item != chosen->rend(); ++item) {
    const bool taken = std::any_of(nodes_.begin(), nodes_.end(),
                                   [&](const Node& node) { return node.object.get() == item->second; });
    if (!taken) nodes_.push_back({item->first, WatchedObject(item->second)});
  }
  return true;
}

void LinkedNodeList::store(MLISTE_Object_OCS& links, const ClassRef* taxonomy) const {
  const ObjectList stored = links.Items();
  for (int i = int(stored.size()) - 1; i >= 0; --i)
    if (stored[std::size_t(i)]) links.DeleteAt(i);
  for (const Node& node : nodes_)
    if (MObject_OCS* object = node.object.get()) links.Add(object);
  if (links.Count() == 0 && taxonomy && taxonomy->LoadedCount() > 0) links.Add(taxonomy->LoadedItem(0));
}

void LinkedNodeList::paint(QPainter& painter, const QRect& rect) const {
  std::vector<TObjRec*> pictured;
  for (const Node& node : nodes_) pictured.push_back(dynamic_cast<TObjRec*>(node.object.get()));
  TObjRec::DrawPictures(pictured, painter, rect, 1);
}

} // namespace tessel
