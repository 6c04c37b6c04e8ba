#include "ui/Sous_cadre_entete_contenu.h"

#include "foundation/Cp1252.h"
#include "model/U_class_contenu.h"
#include "objects/U_OR_class.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/U_DM_metier.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QToolButton>
#include <qdrawutil.h>

#include <algorithm>

namespace tessel {

namespace {

constexpr int HeaderHeight = 57;
constexpr int ThemesPanelWidth = 98;
constexpr int SatisfactionEntries = 6;
constexpr int SatisfactionItemHeight = 18;
constexpr int ThemesButtonPicture = 27;

// Entry n of the satisfaction list is mark n: 0 nothing, 1 to 5 a mood.
class SmileyDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->setBrush(option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    DrawSmileys(*painter, option.rect, index.row());
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {40, SatisfactionItemHeight};
  }
};

// The closed list shows the selected mood in its field.
class SmileyList : public QComboBox {
public:
  explicit SmileyList(QWidget* parent) : QComboBox(parent) { setItemDelegate(new SmileyDelegate(this)); }

protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Base));
    const QRect box(field.left(), field.top() + (field.height() - SatisfactionItemHeight) / 2, field.width(),
                    SatisfactionItemHeight);
    DrawSmileys(painter, box, currentIndex());
  }
};

QLabel* label(const char* name, QWidget* parent, bool bold) {
  auto* l = new QLabel(parent);
  l->setObjectName(QLatin1String(name));
  if (bold) {
    QFont font = l->font();
    font.setBold(true);
    l->setFont(font);
  }
  return l;
}

} // namespace

TFrame_entete_contenu::TFrame_entete_contenu(QWidget* parent)
    : QWidget(parent),
      Panel_entete(new QWidget),
      Label_intitule(label("Label_intitule", Panel_entete, true)),
      Ed_titre_note(new QLineEdit(Panel_entete)),
      CB_realise(new QCheckBox(Panel_entete)),
      CB_evt(new QCheckBox(Panel_entete)),
      CB_smiley(new SmileyList(Panel_entete)),
      Splitter(new QSplitter(Qt::Horizontal, this)),
      Panel_themes(new QWidget),
      Label_themes(label("Label_themes", Panel_themes, true)),
      TLB_themes(new QToolButton(Panel_themes)),
      PB_themes(new QWidget(Panel_themes)) {
  setObjectName(QStringLiteral("TFrame_entete_contenu"));
  setFixedHeight(HeaderHeight);

  Panel_entete->setObjectName(QStringLiteral("Panel_entete"));
  Panel_entete->installEventFilter(this);
  Label_intitule->move(4, 3);
  QPalette white = Label_intitule->palette();
  white.setColor(QPalette::WindowText, Qt::white);
  Label_intitule->setPalette(white);

  Ed_titre_note->setObjectName(QStringLiteral("Ed_titre_note"));
  Ed_titre_note->setFrame(false);
  Ed_titre_note->setGeometry(56, 5, 313, 18);

  CB_realise->setObjectName(QStringLiteral("CB_realise"));
  CB_realise->move(56, 25);
  CB_evt->setObjectName(QStringLiteral("CB_evt"));
  CB_evt->move(140, 25);
  // Ticked on the way: the keyboard stays in the field being typed.
  for (QCheckBox* box : {CB_realise, CB_evt}) box->setFocusPolicy(Qt::TabFocus);

  CB_smiley->setObjectName(QStringLiteral("CB_smiley"));
  CB_smiley->setGeometry(4, 20, 45, 24);

  Panel_themes->setObjectName(QStringLiteral("Panel_themes"));
  TLB_themes->setObjectName(QStringLiteral("TLB_themes"));
  TLB_themes->setCheckable(true);
  TLB_themes->setAutoRaise(true);
  TLB_themes->setText(QStringLiteral("+"));
  TLB_themes->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  if (const TDM_metier* module = TDM_metier::instance())
    TLB_themes->setIcon(module->imgListe_commun.icon(ThemesButtonPicture));
  connect(TLB_themes, &QToolButton::clicked, this, Reported([this] { ChooseThemes(); }));
  PB_themes->setObjectName(QStringLiteral("PB_themes"));
  PB_themes->installEventFilter(this);
  auto* themesRow = new QHBoxLayout;
  themesRow->setContentsMargins(0, 0, 0, 0);
  themesRow->setSpacing(2);
  themesRow->addWidget(TLB_themes);
  themesRow->addWidget(PB_themes, 1);
  auto* themesLayout = new QVBoxLayout(Panel_themes);
  themesLayout->setContentsMargins(4, 3, 4, 3);
  themesLayout->setSpacing(1);
  themesLayout->addWidget(Label_themes);
  themesLayout->addLayout(themesRow, 1);

  Splitter->setObjectName(QStringLiteral("Splitter"));
  Splitter->setChildrenCollapsible(false);
  Splitter->addWidget(Panel_entete);
  Splitter->addWidget(Panel_themes);
  Splitter->setStretchFactor(0, 1);
  Splitter->setStretchFactor(1, 0);
  Splitter->setSizes({300, ThemesPanelWidth});
  Panel_themes->hide();

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(Splitter);

  SetLanguage(0);
  Clear(true);
}

TFrame_entete_contenu::~TFrame_entete_contenu() = default;

void TFrame_entete_contenu::SetLanguage(int) {
  Label_intitule->setText(QStringLiteral("Intitulé :"));
  Label_intitule->adjustSize();
  placeTitleField();
  CB_realise->setText(QStringLiteral("Réalisée"));
  CB_realise->setToolTip(QStringLiteral("Note réalisée"));
  CB_realise->adjustSize();
  CB_evt->setText(QStringLiteral("Evènement"));
  CB_evt->adjustSize();
  // The themes label tells how many themes the content has.
  themesChanged();
}

void TFrame_entete_contenu::SetEditedClass(const ClassRef& cls) {
  // Only classified objects have a taxonomy to offer.
  taxonomy_ = cls.inheritsFrom(MOBJ_AVEC_OBJ_REC::Class()) ? cls.TaxonomyClass() : nullptr;
  updateThemesPanel();
}

void TFrame_entete_contenu::Clear(bool editable) {
  CB_smiley->clear();
  Ed_titre_note->clear();
  for (int mark = 0; mark < SatisfactionEntries; ++mark) CB_smiley->addItem(QString());
  CB_smiley->setCurrentIndex(0);
  for (QWidget* field : {static_cast<QWidget*>(CB_smiley), static_cast<QWidget*>(Ed_titre_note)})
    PaintField(field, editable);
  CB_realise->setEnabled(editable);
  CB_evt->setEnabled(editable);
}

void TFrame_entete_contenu::ShowContent(Mcontenu& content) {
  CB_realise->setChecked(content.Realise());
  CB_evt->setChecked(content.Evenement());
  Ed_titre_note->setText(fromCp1252(content.Title()));
  const int satisfaction = content.Satisfaction();
  CB_smiley->setCurrentIndex(satisfaction >= 0 && satisfaction < CB_smiley->count() ? satisfaction : -1);
  themes_.load(content.themes());
  updateThemesPanel();
  themesChanged();
}

void TFrame_entete_contenu::SaveContent(Mcontenu& content) {
  content.SetRealise(CB_realise->isChecked());
  content.SetEvenement(CB_evt->isChecked());
  content.SetSatisfaction(CB_smiley->currentIndex());
  content.SetTitre(toCp1252(Ed_titre_note->text()));

  themes_.store(content.themes(), content.classe().TaxonomyClass());
  themes_.clear();
  themesChanged();
}

void TFrame_entete_contenu::ChooseThemes() {
  TLB_themes->setChecked(true);
  if (taxonomy_) themes_.choose(*window(), *taxonomy_, QStringLiteral("Thèmes(s)"));
  TLB_themes->setChecked(false);
  themesChanged();
}

void TFrame_entete_contenu::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintGradient(painter, QColor(128, 128, 128), ButtonFaceColour(), rect());
  // Raised outside, lowered inside.
  qDrawShadePanel(&painter, rect(), palette(), false, 1);
  qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), true, 1);
}

bool TFrame_entete_contenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PB_themes && event->type() == QEvent::Paint) {
    paintThemes();
    return true;
  }
  if (watched == Panel_entete && event->type() == QEvent::Resize) placeTitleField();
  return QWidget::eventFilter(watched, event);
}

void TFrame_entete_contenu::placeTitleField() {
  // Right of its label (the fonts of this desktop may be wider than the
  // designed one), up to the right edge of its side of the splitter.
  const int left = std::max(56, Label_intitule->geometry().right() + 4);
  Ed_titre_note->setGeometry(left, 5, std::max(40, Panel_entete->width() - left - 4), 18);
}

void TFrame_entete_contenu::updateThemesPanel() {
  Panel_themes->setVisible(taxonomy_ && taxonomy_->LoadedCount() > 0);
}

void TFrame_entete_contenu::themesChanged() {
  Label_themes->setText(QString::number(themes_.count()) + QStringLiteral(" thème(s)"));
  PB_themes->setToolTip(ThemesHint());
  PB_themes->update();
}

void TFrame_entete_contenu::paintThemes() {
  QPainter painter(PB_themes);
  painter.fillRect(PB_themes->rect(), ButtonFaceColour());
  themes_.paint(painter, PB_themes->rect());
}

} // namespace tessel
