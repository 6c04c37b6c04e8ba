#include "app/U_DM_metier.h"

#include "app/ActionHints.h"
#include "app/ProgramValues.h"

#include <QAction>
#include <QDesktopServices>
#include <QEvent>
#include <QWidget>

namespace tessel {

namespace {

TDM_metier* current = nullptr;

QAction* makeAction(QObject* owner, const char* name, const QString& caption, const QString& hint) {
  auto* action = new QAction(owner);
  action->setObjectName(QLatin1String(name));
  SetCaption(action, caption);
  if (!hint.isEmpty()) SetHint(action, hint);
  return action;
}

} // namespace

TDM_metier::TDM_metier(QObject* parent)
    : QObject(parent),
      imgListe_commun(QStringLiteral("imgListe_commun"), IconSize),
      IL_smiley(QStringLiteral("IL_smiley"), IconSize),
      IMGlist_classe(QStringLiteral("IMGlist_classe"), IconSize),
      Act_ouvrir(makeAction(this, "Act_ouvrir", QStringLiteral("Ouvrir..."), QStringLiteral("Ouvrir un fichier"))),
      Act_enregistrer(makeAction(this, "Act_enregistrer", QStringLiteral("En&registrer"),
                                 QStringLiteral("Enregistrer Fichier Courant"))),
      Act_enregistrer_sous(makeAction(this, "Act_enregistrer_sous", QStringLiteral("En&registrer sous..."),
                                      QStringLiteral("Enregistrer sous...|Enregistrer fichier courant sous..."))),
      Act_calculatrice(makeAction(this, "Act_calculatrice", QStringLiteral("Chronodatrice..."),
                                  QStringLiteral("Calculatrice temporelle"))),
      Act_page_produit(makeAction(this, "Act_page_produit",
                                  QStringLiteral("Page %1 sur le site web VARNELLE...").arg(ProductNameText()),
                                  QStringLiteral("Page HTML"))) {
  Act_enregistrer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Act_enregistrer->setEnabled(false);
  Act_calculatrice->setCheckable(true);
  connect(Act_calculatrice, &QAction::triggered, this, &TDM_metier::toggleCalculator);
  connect(Act_page_produit, &QAction::triggered, this, [] { QDesktopServices::openUrl(ProductPageUrl()); });
  current = this;
}

TDM_metier::~TDM_metier() {
  if (calculator_) calculator_->removeEventFilter(this);
  if (current == this) current = nullptr;
}

TDM_metier* TDM_metier::instance() { return current; }

void TDM_metier::setDocumentModified(bool modified) {
  documentModified_ = modified;
  Act_enregistrer->setEnabled(modified);
}

void TDM_metier::setCalculatorWindow(QWidget* window) {
  if (calculator_) calculator_->removeEventFilter(this);
  calculator_ = window;
  if (calculator_) calculator_->installEventFilter(this);
  syncCalculatorCheck();
}

QUrl TDM_metier::ProductPageUrl() {
  return QUrl(MakerSite() + QStringLiteral("produits/") + ProductNameText().toLower() + QStringLiteral("/index.html"));
}

bool TDM_metier::eventFilter(QObject* watched, QEvent* event) {
  // The window can also be closed from its own title bar: follow it.
  if (watched == calculator_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
    syncCalculatorCheck();
  return QObject::eventFilter(watched, event);
}

void TDM_metier::toggleCalculator() {
  if (calculator_) calculator_->setVisible(!calculator_->isVisible());
  syncCalculatorCheck();
}

void TDM_metier::syncCalculatorCheck() { Act_calculatrice->setChecked(calculator_ && calculator_->isVisible()); }

} // namespace tessel
