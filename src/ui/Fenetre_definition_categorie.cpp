#include "ui/Fenetre_definition_categorie.h"

#include "foundation/Cp1252.h"
#include "foundation/UserPrompts.h"
#include "ui/Bmpdialog.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/PaintHelpers.h"
#include "widgets/UiFonts.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace tessel {

ColourSquare::ColourSquare(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
}

void ColourSquare::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void ColourSquare::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(colour_);
  // Corners a quarter of the side across, like a rounded shape of the toolkit.
  const qreal corner = std::min(width(), height()) / 8.0;
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), corner, corner);
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(4, 4, -4, -4);
    focus.backgroundColor = colour_;
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

void ColourSquare::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    emit pressed();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ColourSquare::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit pressed();
}

namespace {

constexpr int ClientWidth = 296;
constexpr int ClientHeight = 180;
constexpr int PictureSide = 49;

QIcon buttonIcon(const QString& file) { return QIcon(RenderPicture(file, QSize(16, 16))); }

} // namespace

TForme_DefCatDialog::TForme_DefCatDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Label_message(new QLabel(this)),
      Ed_nom_categorie(new QLineEdit(this)),
      SB_def_cat(new QToolButton(this)),
      Label_description(new QLabel(this)),
      RE_description_categorie(new QTextEdit(this)),
      Shape_couleur(new ColourSquare(this)),
      BB_oui(new QPushButton(buttonIcon(QStringLiteral("action-ok.svg")), QStringLiteral("&Oui"), this)),
      BB_annuler(new QPushButton(buttonIcon(QStringLiteral("action-cancel.svg")), QStringLiteral("Annuler"), this)) {
  setObjectName(QStringLiteral("TForme_DefCatDialog"));
  setFont(MsSansSerif(8));
  setFixedSize(ClientWidth, ClientHeight);

  const auto placeLabel = [](QLabel* label, const QString& name, const QString& text, int x, int y) {
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->move(x, y);
    label->adjustSize();
  };
  placeLabel(Label_message, QStringLiteral("Label_message"), QStringLiteral("Label_message"), 8, 16);

  Ed_nom_categorie->setObjectName(QStringLiteral("Ed_nom_categorie"));
  Ed_nom_categorie->setGeometry(8, 32, 217, 21);

  SB_def_cat->setObjectName(QStringLiteral("SB_def_cat"));
  SB_def_cat->setAutoRaise(true);
  SB_def_cat->setCursor(Qt::PointingHandCursor);
  SB_def_cat->setGeometry(232, 8, PictureSide, PictureSide);
  SB_def_cat->setIconSize(QSize(PictureSide - 4, PictureSide - 4));
  connect(SB_def_cat, &QToolButton::clicked, this, Reported([this] { ChoosePicture(); }));

  placeLabel(Label_description, QStringLiteral("Label_description"), QStringLiteral("Description :"), 8, 64);
  RE_description_categorie->setObjectName(QStringLiteral("RE_description_categorie"));
  RE_description_categorie->setGeometry(8, 80, 217, 49);
  RE_description_categorie->setTabChangesFocus(true);

  Shape_couleur->setObjectName(QStringLiteral("Shape_couleur"));
  Shape_couleur->setGeometry(232, 80, PictureSide, PictureSide);
  connect(Shape_couleur, &ColourSquare::pressed, this, Reported([this] { ChooseColour(); }));

  BB_oui->setObjectName(QStringLiteral("BB_oui"));
  BB_oui->setGeometry(64, 144, 75, 25);
  BB_oui->setDefault(true);
  connect(BB_oui, &QPushButton::clicked, this, &QDialog::accept);
  BB_annuler->setObjectName(QStringLiteral("BB_annuler"));
  BB_annuler->setGeometry(168, 144, 75, 25);
  connect(BB_annuler, &QPushButton::clicked, this, &QDialog::reject);

  // The reading order: the fields at the left, then the squares at the right.
  setTabOrder(Ed_nom_categorie, RE_description_categorie);
  setTabOrder(RE_description_categorie, Shape_couleur);
  setTabOrder(Shape_couleur, SB_def_cat);
  setTabOrder(SB_def_cat, BB_oui);
  setTabOrder(BB_oui, BB_annuler);
}

void TForme_DefCatDialog::SetPicture(const QImage& picture) {
  picture_ = picture;
  SB_def_cat->setIcon(QIcon(TransparentBottomLeft(picture)));
}

QColor TForme_DefCatDialog::Colour() const { return Shape_couleur->Colour(); }

void TForme_DefCatDialog::SetColour(const QColor& colour) { Shape_couleur->SetColour(colour); }

void TForme_DefCatDialog::done(int result) {
  if (isVisible() && Ed_nom_categorie->text().trimmed().isEmpty()) {
    prompts().message(MessageKind::Warning, std::string("Nom Catégorie Vide !"_w));
    Ed_nom_categorie->setFocus();
    return;
  }
  QDialog::done(result);
}

void TForme_DefCatDialog::ChoosePicture() {
  setWindowTitle(QStringLiteral("Définition Catégorie"));
  Label_message->setText(QStringLiteral("Label_message"));
  Label_description->setText(QStringLiteral("Description :"));
  TBitmapEditor editor(this);
  if (editor.Execute()) SetPicture(editor.Picture());
}

void TForme_DefCatDialog::ChooseColour() {
  const QColor chosen = QColorDialog::getColor(Colour(), this);
  if (chosen.isValid()) SetColour(chosen);
}

void TForme_DefCatDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintGradient(painter, Qt::white, ButtonFaceColour(), rect());
}

TdefCat_Dialog::TdefCat_Dialog(QWidget* owner) : QObject(owner), window_(new TForme_DefCatDialog(owner)) {}

TdefCat_Dialog::~TdefCat_Dialog() { delete window_.data(); }

bool TdefCat_Dialog::Execute() {
  TForme_DefCatDialog& window = *window_;
  window.Shape_couleur->setVisible(cat_couleur_modif);
  window.Ed_nom_categorie->setText(cat_nom.isEmpty() ? cat_nom_par_defaut : cat_nom);
  window.setWindowTitle(cat_caption);
  window.SetColour(cat_couleur);
  window.SetPicture(cat_bitmap);
  QString description = cat_description;
  description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  window.RE_description_categorie->setPlainText(description);
  window.Ed_nom_categorie->setFocus();

  if (window.exec() != QDialog::Accepted) return false;
  cat_nom = window.Ed_nom_categorie->text();
  cat_couleur = window.Colour();
  cat_bitmap = window.Picture();
  cat_description = window.RE_description_categorie->toPlainText();
  return true;
}

} // namespace tessel
