#pragma once
// Shared business module: the document commands, the time-calculator toggle,
// the product page command and the shared image lists of commands, moods and
// classes. The document manager, the settings store and the class registry
// join this module with the document lifecycle.

#include "foundation/UserPrompts.h"
#include "widgets/IconSet.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

class QAction;
class QWidget;

namespace tessel {

// What the document manager does for the main window's commands. Unset
// members do nothing (and a New or an Open then loads nothing).
struct DocumentCommands {
  std::function<bool()> newDocument{};        // true unless the user cancelled
  std::function<bool()> openDocument{};       // true when a document was opened
  std::function<void()> save{};
  std::function<void()> saveAs{};
  std::function<void()> afterDocumentLoaded{}; // caption, users, migration, categories
  // The save question before closing: Yes (saved already), No or Cancel
  // (the window stays open). Unset: No.
  std::function<Answer()> askToSave{};
  // While the main window is destroyed: delete a never-saved generated
  // document and close it.
  std::function<void()> closeDocument{};
};

class TDM_metier : public QObject {
  Q_OBJECT
public:
  explicit TDM_metier(QObject* parent = nullptr);
  ~TDM_metier() override;
  // The module of this run (created once at start-up), or null.
  static TDM_metier* instance();

  // Picture sizes of the lists.
  static constexpr QSize IconSize{16, 16};

  // Common command icons, mood pictures and per-class icons, at the indexes
  // of the icon manifest.
  const ImageList imgListe_commun;
  const ImageList IL_smiley;
  const ImageList IMGlist_classe;

  // Document commands. The main window adds the steps that follow a load; the
  // document manager does the work.
  QAction* const Act_ouvrir;
  QAction* const Act_enregistrer;      // enabled only while the document is modified
  QAction* const Act_enregistrer_sous;
  // Shows the time calculator when it is hidden, hides it when it is shown;
  // checked while it is visible.
  QAction* const Act_calculatrice;
  // Opens the product page of the maker's web site.
  QAction* const Act_page_produit;

  // One document type ("Tessel", ".TSF", generated files "TesselFile" + n):
  // the commands the main window runs, with `mainWindow` owning the file
  // dialogs; its caption and the save command follow the document.
  DocumentCommands ConfigureDocuments(QWidget& mainWindow);

  // The file dialogs of Open and Save as: (owner, caption, proposed file,
  // filter) → the chosen path, empty when cancelled. Tests replace them.
  using FileChooser = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
  FileChooser chooseFileToOpen;
  FileChooser chooseFileToSave;

  // Called by the document manager whenever the modified state changes.
  void setDocumentModified(bool modified);
  bool documentModified() const { return documentModified_; }

  // The calculator window the toggle shows and hides (not owned).
  void setCalculatorWindow(QWidget* window);

  // Maker's site, "produits/", the product name in lower case, "/index.html".
  static QUrl ProductPageUrl();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void toggleCalculator();
  void syncCalculatorCheck();

  bool documentModified_ = false;
  QPointer<QWidget> calculator_;
};

} // namespace tessel
