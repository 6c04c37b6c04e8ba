#include "ui/Cadre_visu_OAOR.h"

#include "foundation/Cp1252.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_class_contenu.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Fenetre_definition_categorie.h"
#include "ui/Sous_cadre_description.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/U_DM_metier.h"
#include "widgets/UiFonts.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr int TopPanelHeight = 48;
constexpr int BandHeight = 22;
const QColor Silver(192, 192, 192);

void setBackground(QWidget* widget, const QColor& colour) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Base, colour);
  widget->setPalette(palette);
}

QIcon classPicture(int index) {
  const TDM_metier* module = TDM_metier::instance();
  return module && index >= 0 ? module->IMGlist_classe.icon(index) : QIcon();
}

} // namespace

TFrame_visu_OAOR::TFrame_visu_OAOR(QWidget* parent)
    : QWidget(parent),
      Panel_haut(new QWidget(this)),
      PB_titre(new QWidget(Panel_haut)),
      TLB_mod(new QToolButton(PB_titre)),
      PB_icones(new QWidget(Panel_haut)),
      RE_texte(new QTextEdit(this)),
      colour_(ButtonFaceColour()) {
  setObjectName(QStringLiteral("TFrame_visu_OAOR"));
  setFont(MsSansSerif(8));
  setBackground(this, Silver);

  Panel_haut->setObjectName(QStringLiteral("Panel_haut"));
  Panel_haut->setFixedHeight(TopPanelHeight);
  setBackground(Panel_haut, ButtonFaceColour());
  PB_titre->setObjectName(QStringLiteral("PB_titre"));
  PB_titre->setFixedHeight(BandHeight);
  PB_titre->installEventFilter(this);
  PB_icones->setObjectName(QStringLiteral("PB_icones"));
  PB_icones->setFixedHeight(BandHeight);
  PB_icones->installEventFilter(this);
  auto* topLayout = new QVBoxLayout(Panel_haut);
  topLayout->setContentsMargins(0, 0, 0, 2);
  topLayout->setSpacing(2);
  topLayout->addWidget(PB_titre);
  topLayout->addWidget(PB_icones);

  TLB_mod->setObjectName(QStringLiteral("TLB_mod"));
  TLB_mod->setText(QStringLiteral("+ "));
  TLB_mod->setToolTip(QStringLiteral("Ouvrir / Créer un commentaire"));
  TLB_mod->setToolButtonStyle(Qt::ToolButtonIconOnly);
  TLB_mod->setAutoRaise(true);
  // Until a note is shown, the picture of the comments it creates.
  TLB_mod->setIcon(classPicture(Tadministration_FRAME::instance().imageIndexOf(Mcontenu::Class())));
  TLB_mod->setGeometry(0, 0, BandHeight, BandHeight);
  TLB_mod->hide();
  connect(TLB_mod, &QToolButton::clicked, this, Reported([this] { OpenOrCreate(); }));

  RE_texte->setObjectName(QStringLiteral("RE_texte"));
  RE_texte->setReadOnly(true);
  RE_texte->setFrameShape(QFrame::NoFrame);
  RE_texte->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setBackground(RE_texte->viewport(), Silver);
  setBackground(RE_texte, Silver);
  RE_texte->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel_haut);
  layout->addWidget(RE_texte, 1);
  layout->addStretch();
  connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, this, &TFrame_visu_OAOR::ClearNote);
  // After an undo or a redo the note is read again, or goes with its object.
  connect(&EditHistory::instance(), &EditHistory::restored, this, [this] {
    if (object_.gone())
      ClearNote();
    else
      refresh();
  });
}

TFrame_visu_OAOR::~TFrame_visu_OAOR() = default;

void TFrame_visu_OAOR::ShowNote(MObject_OCS* object, const QColor& colour) {
  object_ = WatchedObject(object);
  if (colour.isValid()) {
    colour_ = colour;
  } else {
    const auto registered = object ? Tadministration_FRAME::instance().colourOf(object->classe()) : std::nullopt;
    colour_ = registered ? ColourFromBgr(*registered) : ButtonFaceColour();
  }
  TLB_mod->show();
  refresh();
}

void TFrame_visu_OAOR::ClearNote() {
  object_ = WatchedObject();
  colour_ = ButtonFaceColour();
  TLB_mod->hide();
  RE_texte->hide();
  refresh();
}

void TFrame_visu_OAOR::OpenOrCreate() {
  const QPointer<TFrame_visu_OAOR> self(this);
  MObject_OCS* shown = CurrentObject();
  MObject_OCS* kept = EditObjectModally(shown, shown ? shown->classe() : Mcontenu::Class());
  if (!self) return;
  // A comment just created is shown from now on.
  if (kept) object_ = WatchedObject(kept);
  refresh();
  DocumentManager::instance().SetDocumentModified(true);
  emit noteEdited();
}

void TFrame_visu_OAOR::refresh() {
  RE_texte->clear();
  if (MObject_OCS* object = CurrentObject()) {
    TLB_mod->setIcon(classPicture(Tadministration_FRAME::instance().imageIndexOf(object->classe())));
    RE_texte->show();
    if (const auto* content = dynamic_cast<const Mcontenu*>(object))
      RE_texte->setPlainText(EditorTextOf(content->Texte()));
  }
  PB_titre->update();
  PB_icones->update();
}

void TFrame_visu_OAOR::paintEvent(QPaintEvent*) {
  // What shows where nothing covers the panel.
  QPainter painter(this);
  painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Aucune Information Associée"));
}

bool TFrame_visu_OAOR::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    if (watched == PB_titre) {
      paintTitle();
      return true;
    }
    if (watched == PB_icones) {
      paintIcons();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFrame_visu_OAOR::paintTitle() {
  QPainter painter(PB_titre);
  const QRect box = PB_titre->rect();
  PaintGradient(painter, colour_, ButtonFaceColour(), box);
  const MObject_OCS* object = CurrentObject();
  if (!object) return;
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  // Engraved where it reads, embossed (dark) on light colours such as white.
  const QColor behind = GradientColourAt(colour_, ButtonFaceColour(), box, 2 + painter.fontMetrics().height() / 2);
  DrawEmbossedText(painter, 26, 2, EngravedStyleOn(behind),
                   FitText(painter, box, fromCp1252(object->DisplayText()), "..."));
  if (const auto* content = dynamic_cast<const Mcontenu*>(object))
    if (const TDM_metier* module = TDM_metier::instance())
      module->IL_smiley.draw(painter, box.width() - 20, 0, content->Satisfaction() - 1);
}

void TFrame_visu_OAOR::paintIcons() {
  QPainter painter(PB_icones);
  if (const auto* classified = dynamic_cast<const MOBJ_AVEC_OBJ_REC*>(CurrentObject()))
    classified->DrawLinkedPictures(painter, PB_icones->rect(), 1);
}

} // namespace tessel
