#include "ui/Cadre_ressource.h"

#include "foundation/Cp1252.h"
#include "model/U_class_ressource.h"
#include "ui/Sous_cadre_description.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr int CommentStripHeight = 50;
constexpr int TaxonomyStripHeight = 22;
constexpr int TaxonomyLabelWidth = 137;
constexpr int TaxonomyLabelBorder = 4;

} // namespace

TFrame_Mressource::TFrame_Mressource(QWidget* parent)
    : TFrame_OAOR(parent),
      Panel_commentaire(new QWidget(this)),
      Label_commentaire(NewFreeTextCaption("Label_commentaire", Panel_commentaire)),
      RE_commentaire(NewFreeTextEditor("RE_commentaire", Panel_commentaire)),
      Panel_OR(new QWidget(this)),
      Label_or(NewLabel("Label_or", nullptr)),
      PB_OR(new QWidget(Panel_OR)),
      TLB_TOR(new QToolButton(Panel_OR)),
      body_(new QVBoxLayout) {
  // Button face whatever the window behind it.
  setAutoFillBackground(true);

  Panel_commentaire->setObjectName(QStringLiteral("Panel_commentaire"));
  Panel_commentaire->setFixedHeight(CommentStripHeight);
  Label_commentaire->setContentsMargins(0, 1, 4, 1);
  auto* commentLayout = new QVBoxLayout(Panel_commentaire);
  commentLayout->setContentsMargins(0, 0, 0, 0);
  commentLayout->setSpacing(0);
  commentLayout->addWidget(Label_commentaire);
  commentLayout->addWidget(RE_commentaire, 1);

  Panel_OR->setObjectName(QStringLiteral("Panel_OR"));
  Panel_OR->setFixedHeight(TaxonomyStripHeight);
  auto* labelPanel = new QFrame(Panel_OR);
  labelPanel->setObjectName(QStringLiteral("Panel_label_or"));
  labelPanel->setFixedWidth(TaxonomyLabelWidth);
  labelPanel->setFrameShape(QFrame::Panel);
  labelPanel->setFrameShadow(QFrame::Sunken);
  auto* labelLayout = new QHBoxLayout(labelPanel);
  labelLayout->setContentsMargins(TaxonomyLabelBorder, 0, TaxonomyLabelBorder, 0);
  Label_or->setParent(labelPanel);
  labelLayout->addWidget(Label_or);
  PB_OR->setObjectName(QStringLiteral("PB_OR"));
  PB_OR->installEventFilter(this);
  TLB_TOR->setObjectName(QStringLiteral("TLB_TOR"));
  TLB_TOR->setText(QStringLiteral("+"));
  TLB_TOR->setCheckable(true);
  TLB_TOR->setAutoRaise(true);
  TLB_TOR->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  TLB_TOR->setIcon(QIcon(RenderPicture(QStringLiteral("action-classify-add.svg"), QSize(16, 16))));
  TLB_TOR->setFixedHeight(TaxonomyStripHeight);
  connect(TLB_TOR, &QToolButton::clicked, this, Reported([this] { ChooseNodes(); }));
  auto* stripLayout = new QHBoxLayout(Panel_OR);
  stripLayout->setContentsMargins(0, 0, 0, 0);
  stripLayout->setSpacing(2);
  stripLayout->addWidget(labelPanel);
  stripLayout->addWidget(PB_OR, 1);
  stripLayout->addWidget(TLB_TOR);

  body_->setContentsMargins(0, 0, 0, 0);
  body_->setSpacing(0);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(body_, 1);
  layout->addWidget(Panel_commentaire);
  layout->addWidget(Panel_OR);

  TFrame_Mressource::SetLanguage(0);
}

TFrame_Mressource::~TFrame_Mressource() = default;

const ClassRef* TFrame_Mressource::Taxonomy() const {
  const ClassRef* cls = EditedClass();
  return cls && cls->inheritsFrom(MOBJ_AVEC_OBJ_REC::Class()) ? cls->TaxonomyClass() : nullptr;
}

void TFrame_Mressource::ShowObject(MObject_OCS* object) {
  TFrame_OAOR::ShowObject(object);
  auto* resource = dynamic_cast<Mressource*>(object);
  if (resource) {
    RE_commentaire->setPlainText(EditorTextOf(resource->Commentaire()));
    nodes_.load(resource->links());
  } else {
    nodes_.clear();
  }
  nodesChanged();
}

void TFrame_Mressource::Clear(bool editable) {
  TFrame_OAOR::Clear(editable);
  RE_commentaire->clear();
  PaintField(RE_commentaire, editable);
  TLB_TOR->setEnabled(editable);
}

void TFrame_Mressource::SetClass(const ClassRef& cls) {
  TFrame_OAOR::SetClass(cls);
  nodesChanged();
}

void TFrame_Mressource::SetLanguage(int languageIndex) {
  TFrame_OAOR::SetLanguage(languageIndex);
  Label_commentaire->setText(QStringLiteral(" Commentaires"));
  nodesChanged();
}

void TFrame_Mressource::Save() {
  TFrame_OAOR::Save();
  auto* resource = dynamic_cast<Mressource*>(Object());
  if (!resource) return;
  resource->SetCommentaire(StoredTextOf(FreeTextOf(*RE_commentaire), "<Sans commentaire>"));
  nodes_.store(resource->links(), resource->classe().TaxonomyClass());
  // The working list now reads as stored, so that saving again changes nothing.
  nodes_.load(resource->links());
  nodesChanged();
}

void TFrame_Mressource::ChooseNodes() {
  TLB_TOR->setChecked(true);
  if (const ClassRef* taxonomy = Taxonomy())
    nodes_.choose(*window(), *taxonomy, fromCp1252(taxonomy->TaxonomyName()));
  TLB_TOR->setChecked(false);
  nodesChanged();
}

void TFrame_Mressource::nodesChanged() {
  const ClassRef* taxonomy = Taxonomy();
  const QString name = taxonomy ? fromCp1252(taxonomy->TaxonomyName()) : QString();
  Label_or->setText(QString::number(nodes_.count()) + QLatin1Char(' ') + name);
  PB_OR->setToolTip(nodes_.hint());
  TLB_TOR->setToolTip(name.isEmpty() ? QString() : QStringLiteral("Classer dans « %1 »").arg(name));
  PB_OR->update();
}

bool TFrame_Mressource::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PB_OR && event->type() == QEvent::Paint) {
    QPainter painter(PB_OR);
    painter.fillRect(PB_OR->rect(), ButtonFaceColour());
    nodes_.paint(painter, PB_OR->rect());
    return true;
  }
  return TFrame_OAOR::eventFilter(watched, event);
}

void TFrame_Mressource::ShowFields(const MObject_OCS& object, const std::vector<TextField>& fields) {
  for (const TextField& f : fields) f.field->setText(fromCp1252(object.GetString(f.read)));
}

void TFrame_Mressource::SaveFields(MObject_OCS& object, const std::vector<TextField>& fields) {
  for (const TextField& f : fields) object.SetString(f.written, toCp1252(f.field->text()));
}

void TFrame_Mressource::ClearFields(const std::vector<TextField>& fields, bool editable) {
  for (const TextField& f : fields) {
    f.field->clear();
    PaintField(f.field, editable);
  }
}

void TFrame_Mressource::PaintHeader(QWidget& header, std::uint32_t fallback) const {
  const ClassRef* taxonomy = Taxonomy();
  QPainter painter(&header);
  PaintGradient(painter, ColourFromBgr(taxonomy ? taxonomy->TaxonomyColour() : fallback), ButtonFaceColour(),
                header.rect());
}

QLabel* TFrame_Mressource::NewLabel(const char* name, QWidget* parent, bool bold) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

QLineEdit* TFrame_Mressource::NewField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  return field;
}

QToolButton* TFrame_Mressource::NewFieldButton(const char* name, const QString& picture, const QString& hint,
                                               QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setIcon(QIcon(RenderPicture(picture, QSize(16, 16))));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  return button;
}

QWidget* TFrame_Mressource::WithButtons(QWidget* field, std::initializer_list<QWidget*> buttons) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(field, 1);
  for (QWidget* button : buttons) layout->addWidget(button);
  return row;
}

void TFrame_Mressource::SendMail(const QString& address) {
  if (address.trimmed().isEmpty()) return;
  QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + address.trimmed()));
}

void TFrame_Mressource::OpenWebAddress(const QString& address) {
  if (address.trimmed().isEmpty()) return;
  QDesktopServices::openUrl(QUrl::fromUserInput(address.trimmed()));
}

} // namespace tessel
