#include "ui/Cadre_Contenu.h"

#include "model/U_class_contenu.h"
#include "ui/Sous_cadre_description.h"
#include "ui/Sous_cadre_entete_contenu.h"

#include <QLineEdit>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr QSize DesignedSize{330, 215};

} // namespace

TFrame_contenu::TFrame_contenu(QWidget* parent)
    : TFrame_OAOR(parent), Frame_entete(new TFrame_entete_contenu(this)),
      Frame_description(new TFrame_description(this)) {
  setObjectName(QStringLiteral("TFrame_contenu"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Frame_entete);
  layout->addWidget(Frame_description, 1);
  resize(DesignedSize);
  // Return after the title goes on to the text, as Tab does.
  connect(Frame_entete->Ed_titre_note, &QLineEdit::returnPressed, this,
          [this] { Frame_description->RE_texte->setFocus(Qt::TabFocusReason); });
}

TFrame_contenu::~TFrame_contenu() = default;

void TFrame_contenu::ShowObject(MObject_OCS* object) {
  TFrame_OAOR::ShowObject(object);
  auto* content = dynamic_cast<Mcontenu*>(object);
  if (!content) return;
  Frame_entete->ShowContent(*content);
  Frame_description->ShowContent(*content);
}

void TFrame_contenu::Clear(bool editable) {
  TFrame_OAOR::Clear(editable);
  Frame_entete->Clear(editable);
  Frame_description->Clear(editable);
}

void TFrame_contenu::SetClass(const ClassRef& cls) {
  TFrame_OAOR::SetClass(cls);
  resize(DesignedSize);
  Frame_entete->SetEditedClass(cls);
}

void TFrame_contenu::SetLanguage(int languageIndex) {
  TFrame_OAOR::SetLanguage(languageIndex);
  Frame_entete->SetLanguage(languageIndex);
  Frame_description->SetLanguage(languageIndex);
}

void TFrame_contenu::Save() {
  TFrame_OAOR::Save();
  auto* content = dynamic_cast<Mcontenu*>(Object());
  if (!content) return;
  Frame_entete->SaveContent(*content);
  Frame_description->SaveContent(*content);
}

} // namespace tessel
