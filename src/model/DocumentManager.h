#pragma once
// The document manager: one document is one data file holding one object
// base. It knows the current file, makes a fresh file when there is none,
// opens, saves, asks whether to save, keeps the "modified" state and prepares
// every freshly loaded base for the work screens. No widget: the desktop
// program plugs its windows in through the callbacks, and its screens and
// windows follow aboutToClose.

#include "foundation/DocumentLock.h"
#include "foundation/UserPrompts.h"
#include "objects/ZEP_Objet_OCS.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace tessel {

class DocumentManager : public QObject {
  Q_OBJECT
public:
  static DocumentManager& instance();

  // One document type: description "Tessel", extension ".TSF", generated
  // files "TesselFile" + n + ".TSF".
  void configure(const std::vector<std::pair<QString, QString>>& types, const QString& generatedBaseName);

  const QString& CurrentFile() const { return currentFile_; }
  bool IsGeneratedDocument() const { return generated_; }
  // Opened from a damaged file, or while another window holds the file:
  // saving goes only to another name.
  bool IsReadOnly() const { return readOnly_; }
  bool DocumentModified() const { return modified_; }
  void SetDocumentModified(bool modified);

  // The document to open at start-up from the command line (program name
  // excluded) and the last saved document.
  QString startDocumentName(const QStringList& arguments) const;
  // Opens `name`, or a fresh generated document when it is empty, missing or
  // not of the document type. A file that cannot be read is reported and
  // left as it is, and a fresh generated document is opened instead; the
  // answer is then false. The file is locked while it is open: a file that
  // another window holds, or a damaged one, is opened read-only if the user
  // wants it so, else a fresh document is opened instead.
  bool OpenDocument(const QString& name);
  // Opens `content` (the bytes of a data file: a backup, a recovery copy) as
  // a fresh generated document; the file it came from stays as it is.
  void OpenAsNewDocument(const std::string& content);
  // Default user, old entries moved into activities, default categories;
  // then the work screens, and the document reads as not modified.
  void AfterDocumentLoaded();

  // Both answer whether the document was saved. Failures of the file raise
  // DataFileError and leave the previous file as it was; a read-only
  // document, a file changed on disk by someone else or written by a newer
  // version are saved only when the user agrees. The document stays
  // modified unless it was saved.
  bool Save();
  bool SaveAs(const QString& path);
  // Yes (saved), No or Cancel; Cancel also when Yes could not save.
  Answer AskToSave();
  // "Tessel (*.TSF)|*.TSF|Tous (*.*) | *.*", and the same for Qt's dialogs.
  QString FileFilter() const;
  QString QtFileFilter() const;
  QString MainCaption() const;
  // Deletes a generated document that was never saved, and lets the file go.
  void Discard();
  // Empties the object base, every loaded object going with it, once the
  // screens have let go of them (aboutToClose). Opening a document closes the
  // open one this way first.
  void CloseDocument();

  // Where generated documents go: the user's data folder.
  QString generatedFolder() const;
  static QString ReadSetting(const QString& name);
  static void WriteSetting(const QString& name, const QString& value);

  // Hooks: run inside OpenBase before loading (the relabelling of old
  // files), the main window's caption, the work screens' initialisation, the
  // root category's picture, the save command's enabled state, and the edits
  // still held by a screen.
  Storage::Hook before;
  std::function<void()> captionChanged;
  std::function<void()> initialiseWorkspace;
  std::function<QImage()> rootPicture;
  std::function<void(bool)> modifiedChanged;
  // Run first by Save, SaveAs and AskToSave: a screen writes into the base
  // what the user typed and has not confirmed yet (a time still in its cell).
  std::function<void()> commitPendingEdits;

  // For tests: back to the state of a fresh process.
  void reset();

Q_SIGNALS:
  // The open document's objects are about to be freed: every screen and
  // window drops what it holds of them now.
  void aboutToClose();

private:
  enum class Opened { Yes, Declined };
  Opened open(const QString& path);
  void openGenerated();
  bool mayOverwrite();
  void write(const QString& path);
  // The file about to be replaced is kept among its backups; a backup that
  // cannot be made is reported, and the save goes on.
  void keepBackup(const QString& path);
  QString generatedName() const;
  bool hasDocumentExtension(const QString& path) const;

  QString currentFile_;
  bool generated_ = false;
  bool modified_ = false;
  bool readOnly_ = false;
  DocumentLock lock_;
  // The version of the file opened, and what is known to be on disk now.
  DataFileInfo fileRead_;
  FileFingerprint onDisk_;
  std::vector<std::pair<QString, QString>> types_{{"Tessel", ".TSF"}};
  QString generatedBase_ = "TesselFile";
};

} // namespace tessel
