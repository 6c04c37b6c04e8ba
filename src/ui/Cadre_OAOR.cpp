#include "ui/Cadre_OAOR.h"

#include "foundation/ProductIdentity.h"
#include "objects/ZEP_Objet_OCS.h"

#include <QPalette>

namespace tessel {

WatchedObject::WatchedObject(MObject_OCS* object)
    : object_(object), alive_(object ? object->liveness() : nullptr) {}

TFrame_OAOR::TFrame_OAOR(QWidget* parent) : QWidget(parent) {}

TFrame_OAOR::~TFrame_OAOR() = default;

void TFrame_OAOR::ShowObject(MObject_OCS* object) {
  object_ = WatchedObject(object);
  Clear(true);
}

void TFrame_OAOR::Clear(bool) {}

void TFrame_OAOR::SetClass(const ClassRef& cls) { class_ = &cls; }

void TFrame_OAOR::CloseFrame() {}

void TFrame_OAOR::SetLanguage(int) {}

void TFrame_OAOR::Open(MObject_OCS* object) {
  SetLanguage(LanguageIndex);
  Clear(true);
  if (object) ShowObject(object);
}

void TFrame_OAOR::Save() {
  if (object_.isSet() || !class_) return;
  object_ = WatchedObject(class_->Create());
}

void PaintField(QWidget* field, bool editable) {
  QPalette palette = field->palette();
  const QColor colour = editable ? QColor(Qt::white) : QColor(128, 128, 128);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, colour);
    palette.setColor(group, QPalette::Window, colour);
    palette.setColor(group, QPalette::Button, colour); // drop-down lists
  }
  field->setPalette(palette);
  field->setEnabled(editable);
}

} // namespace tessel
