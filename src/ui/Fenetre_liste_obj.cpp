#include "ui/Fenetre_liste_obj.h"

#include "widgets/IconSet.h"
#include "widgets/UiFonts.h"

#include <algorithm>
#include <memory>

#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessel {

namespace {

TForme_liste_objets* current = nullptr;

constexpr int ClientWidth = 373;
constexpr int ClientHeight = 567;
constexpr int ButtonStripHeight = 41;

QPushButton* makeButton(const char* name, const QString& picture, const QString& caption, int x, QWidget* parent) {
  auto* button = new QPushButton(QIcon(RenderPicture(picture, QSize(16, 16))), caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(x, 8, 75, 25);
  return button;
}

} // namespace

TForme_liste_objets::TForme_liste_objets(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Frame_LB_obj(new TFrame_LB_obj(this)),
      Panel_boutons(new QWidget(this)),
      BB_ok(makeButton("BB_ok", QStringLiteral("action-ok.svg"), QStringLiteral("OK"), 32, Panel_boutons)),
      BB_annuler(makeButton("BB_annuler", QStringLiteral("action-cancel.svg"), QStringLiteral("Annuler"), 128,
                            Panel_boutons)) {
  setObjectName(QStringLiteral("TForme_liste_objets"));
  setFont(MsSansSerif(8));
  setWindowTitle(QStringLiteral("Sélectionner..."));
  resize(ClientWidth, ClientHeight);

  Panel_boutons->setObjectName(QStringLiteral("Panel_boutons"));
  Panel_boutons->setFixedHeight(ButtonStripHeight);
  BB_ok->setDefault(true);
  connect(BB_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(BB_annuler, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Frame_LB_obj, 1);
  layout->addWidget(Panel_boutons);

  if (!current) current = this;
}

TForme_liste_objets::~TForme_liste_objets() {
  if (current == this) current = nullptr;
}

TForme_liste_objets* TForme_liste_objets::instance() { return current; }

std::optional<StringsWithObjects> TForme_liste_objets::ChooseObjects(QPoint topLeft, int height, const ClassRef& cls,
                                                                     const StringsWithObjects& currentChoice,
                                                                     const TextFunction& text,
                                                                     const ImageList* images, const QString& title) {
  std::unique_ptr<TForme_liste_objets> own;
  TForme_liste_objets* window = current;
  if (!window) {
    own = std::make_unique<TForme_liste_objets>();
    window = own.get();
  }
  const QPointer<TForme_liste_objets> guard(window);
  // Outer geometry: the frame around the client area is the window system's.
  const int decorations = window->frameGeometry().height() - window->height();
  window->move(topLeft);
  window->resize(window->width(), std::max(height - decorations, window->minimumSizeHint().height()));
  window->Frame_LB_obj->Fill(cls, &currentChoice, false, text, images, title);
  const int result = window->exec();
  if (!guard || result != QDialog::Accepted) return std::nullopt;
  return window->Frame_LB_obj->Chosen();
}

void TForme_liste_objets::showEvent(QShowEvent* event) {
  setWindowTitle(QStringLiteral("Sélectionner..."));
  BB_ok->setEnabled(true);
  QDialog::showEvent(event);
}

void TForme_liste_objets::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  // A click elsewhere means the user gave up the choice. Closing deactivates
  // the window too, while it still counts as visible.
  if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() && !closing_) reject();
}

void TForme_liste_objets::done(int result) {
  closing_ = true;
  QDialog::done(result);
  closing_ = false;
}

} // namespace tessel
