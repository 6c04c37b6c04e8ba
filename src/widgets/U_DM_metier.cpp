#include "widgets/U_DM_metier.h"

#include "model/DocumentManager.h"
#include "widgets/ActionHints.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/ProgramValues.h"

#include <QAction>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
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
  connect(Act_calculatrice, &QAction::triggered, this, Reported([this] { toggleCalculator(); }));
  connect(Act_page_produit, &QAction::triggered, this, Reported([] { QDesktopServices::openUrl(ProductPageUrl()); }));
  chooseFileToOpen = [](QWidget* owner, const QString& caption, const QString& file, const QString& filter) {
    return QFileDialog::getOpenFileName(owner, caption, file, filter);
  };
  chooseFileToSave = [](QWidget* owner, const QString& caption, const QString& file, const QString& filter) {
    return QFileDialog::getSaveFileName(owner, caption, file, filter);
  };
  current = this;
}

TDM_metier::~TDM_metier() {
  if (calculator_) calculator_->removeEventFilter(this);
  DocumentManager& documents = DocumentManager::instance();
  documents.modifiedChanged = nullptr;
  documents.captionChanged = nullptr;
  if (current == this) current = nullptr;
}

TDM_metier* TDM_metier::instance() { return current; }

DocumentCommands TDM_metier::ConfigureDocuments(QWidget& mainWindow) {
  DocumentManager& documents = DocumentManager::instance();
  documents.configure({{QStringLiteral("Tessel"), QStringLiteral(".TSF")}}, QStringLiteral("TesselFile"));
  documents.captionChanged = [window = QPointer<QWidget>(&mainWindow), &documents] {
    if (window) window->setWindowTitle(documents.MainCaption());
  };
  documents.modifiedChanged = [this](bool modified) { setDocumentModified(modified); };
  setDocumentModified(documents.DocumentModified());

  // New and Open replace the document only after the save question; a
  // cancelled question or file dialog leaves everything as it was. A fresh
  // document the user chose not to keep goes, as it does on quitting.
  auto replace = [&documents](const QString& name) {
    documents.Discard();
    documents.CloseDocument();
    documents.OpenDocument(name);
  };
  return {
      .newDocument =
          [&documents, replace] {
            if (documents.AskToSave() == Answer::Cancel) return false;
            replace(QString());
            return true;
          },
      .openDocument =
          [this, &mainWindow, &documents, replace] {
            if (documents.AskToSave() == Answer::Cancel) return false;
            const QString name =
                chooseFileToOpen(&mainWindow, QStringLiteral("Ouvrir"), QString(), documents.QtFileFilter());
            if (name.isEmpty()) return false;
            replace(name);
            return true;
          },
      .save = [&documents] { documents.Save(); },
      .saveAs =
          [this, &mainWindow, &documents] {
            const QString name = chooseFileToSave(&mainWindow, QStringLiteral("Enregistrer sous"),
                                                  documents.CurrentFile(), documents.QtFileFilter());
            if (!name.isEmpty()) documents.SaveAs(name);
          },
      .afterDocumentLoaded = [&documents] { documents.AfterDocumentLoaded(); },
      .askToSave = [&documents] { return documents.AskToSave(); },
      .closeDocument =
          [&documents] {
            documents.Discard();
            documents.CloseDocument();
          },
  };
}

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
