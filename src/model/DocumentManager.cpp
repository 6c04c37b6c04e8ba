#include "model/DocumentManager.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"
#include "foundation/ProductIdentity.h"
#include "model/DocumentBackups.h"
#include "model/EditHistory.h"
#include "model/RecoveryCopy.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/U_class_user_tessel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <map>
#include <utility>

namespace tessel {

DocumentManager& DocumentManager::instance() {
  static DocumentManager manager;
  return manager;
}

void DocumentManager::configure(const std::vector<std::pair<QString, QString>>& types,
                                const QString& generatedBaseName) {
  types_ = types;
  generatedBase_ = generatedBaseName;
}

void DocumentManager::SetDocumentModified(bool modified) {
  modified_ = modified;
  if (modifiedChanged) modifiedChanged(modified);
}

QString DocumentManager::ReadSetting(const QString& name) {
  QSettings settings(QString::fromLatin1(ProductName.data(), static_cast<qsizetype>(ProductName.size())),
                     QString::fromLatin1(ProductName.data(), static_cast<qsizetype>(ProductName.size())));
  return settings.value(name).toString();
}

void DocumentManager::WriteSetting(const QString& name, const QString& value) {
  QSettings settings(QString::fromLatin1(ProductName.data(), static_cast<qsizetype>(ProductName.size())),
                     QString::fromLatin1(ProductName.data(), static_cast<qsizetype>(ProductName.size())));
  settings.setValue(name, value);
}

QString DocumentManager::startDocumentName(const QStringList& arguments) const {
  if (arguments.isEmpty()) return ReadSetting("dernier_fichier");
  if (!arguments.first().startsWith('-')) return arguments.first();
  return arguments.size() > 1 ? arguments.at(1) : ReadSetting("dernier_fichier");
}

bool DocumentManager::hasDocumentExtension(const QString& path) const {
  const QString name = QFileInfo(path).fileName();
  for (const auto& [description, extension] : types_)
    if (name.endsWith(extension, Qt::CaseInsensitive)) return true;
  return false;
}

QString DocumentManager::generatedFolder() const {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString DocumentManager::generatedName() const {
  // The program's folder is not writable once installed: generated documents
  // go to the user's data folder.
  const QString folder = generatedFolder();
  QDir().mkpath(folder);
  const QString extension = types_.empty() ? QStringLiteral(".TSF") : types_.front().second;
  for (int n = 1;; ++n) {
    const QString candidate = QDir(folder).filePath(generatedBase_ + QString::number(n) + extension);
    if (!QFileInfo::exists(candidate)) return candidate;
  }
}

DocumentManager::Opened DocumentManager::open(const QString& path) {
  CloseDocument();
  currentFile_ = path;
  readOnly_ = false;
  fileRead_ = {};
  onDisk_ = {};
  switch (lock_.lock(path)) {
  case DocumentLock::Outcome::Taken: break;
  case DocumentLock::Outcome::Held:
    if (!prompts().askYesNo("Le document "_w.data() + QuotedFileName(path) + " est déjà ouvert par "_w.data() +
                            lock_.detail() +
                            ".\r\nL'ouvrir en lecture seule ? Vos modifications ne pourront être enregistrées que "
                            "sous un autre nom."_w.data()))
      return Opened::Declined;
    readOnly_ = true;
    break;
  case DocumentLock::Outcome::Impossible:
    prompts().message(MessageKind::Information, "Le document "_w.data() + QuotedFileName(path) +
                                                    " est ouvert en lecture seule : "_w.data() + lock_.detail() + ".");
    readOnly_ = true;
    break;
  }
  Storage::BindStorage();
  const ClassList& classes = Tadministration_FRAME::instance().loadList();
  try {
    Storage::OpenBase(currentFile_, classes, before, {});
  } catch (const DamagedFileError& e) {
    Storage::CloseBase();
    if (!prompts().askYesNo(std::string(e.what()) +
                            "\r\nL'ouvrir quand même, en lecture seule ? Vérifiez-en le contenu et enregistrez-le "
                            "sous un autre nom."_w.data()))
      return Opened::Declined;
    Storage::OpenBase(currentFile_, classes, before, {}, true);
    readOnly_ = true;
  }
  fileRead_ = Storage::fileRead();
  onDisk_ = fileRead_.fingerprint;
  // What a read-only window could not save must not be left to the file's holder.
  if (readOnly_) lock_.unlock();
  return Opened::Yes;
}

void DocumentManager::openGenerated() {
  generated_ = true;
  if (open(generatedName()) == Opened::Declined) // a fresh name nobody holds: only a race gets here
    throw DataFileError(Message("Impossible de créer un nouveau document."_w));
}

bool DocumentManager::OpenDocument(const QString& name) {
  generated_ = false;
  QString path = name;
  if (path.isEmpty() || !QFileInfo::exists(path) || !hasDocumentExtension(path)) {
    generated_ = true;
    path = generatedName();
  }
  try {
    if (open(path) == Opened::Yes) return true;
    // The user chose not to open it: a fresh document instead, without further words.
    CloseDocument();
    openGenerated();
    return false;
  } catch (const TesselError& e) {
    // The file stays as it is: the document becomes a fresh one, which a
    // later save can never write over the file that failed.
    CloseDocument();
    prompts().message(MessageKind::Error,
                      "Impossible d'ouvrir le document « "_w.data() + toCp1252(QDir::toNativeSeparators(path)) +
                          " » :\r\n"_w.data() + e.what() + "\r\nUn nouveau document est ouvert à sa place."_w.data());
    openGenerated();
    return false;
  }
}

void DocumentManager::OpenAsNewDocument(const std::string& content) {
  CloseDocument();
  const QString path = generatedName();
  ReplaceFile(path, content);
  generated_ = true;
  try {
    if (open(path) == Opened::Yes) return;
  } catch (const TesselError& e) {
    CloseDocument();
    QFile::remove(path);
    prompts().message(MessageKind::Error, "Impossible d'ouvrir cette version du document :\r\n"_w.data() +
                                              std::string(e.what()) +
                                              "\r\nUn nouveau document est ouvert à sa place."_w.data());
    openGenerated();
    return;
  }
  CloseDocument();
  QFile::remove(path);
  openGenerated();
}

void DocumentManager::AfterDocumentLoaded() {
  if (captionChanged) captionChanged();

  if (Mutilisateur_tessel::Class().LoadedCount() == 0) (new Mutilisateur_tessel)->SetNom("administrateur");

  // Entries of old files hang on their category: each moves into the
  // activity of that category, one activity per category met.
  std::map<MObject_OCS*, Mactivite_tessel*> activities;
  const ObjectList entries = Moccurence::Class().LoadedObjects();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    auto* entry = static_cast<Moccurence*>(*it);
    auto* category = dynamic_cast<Mcategorie*>(entry->EntryCategory());
    if (!category) continue;
    Mactivite_tessel*& activity = activities[category];
    if (!activity) {
      activity = new Mactivite_tessel;
      activity->BindCategory(category);
    }
    activity->AddEntry(entry);
    entry->SetEntryCategory(nullptr);
  }

  if (Mcategorie::Class().LoadedCount() == 0) {
    auto* root = static_cast<Mcategorie*>(TObjRec::CreateNamed(Mcategorie::Class(), "Toutes les activités"_w));
    root->SetInvariant(true);
    root->SetColour(0xFFFFFF);
    if (rootPicture) {
      const QImage picture = rootPicture();
      if (!picture.isNull()) root->SetPicture(&picture);
    }
    root->CreateDefaultCategories();
  }

  if (initialiseWorkspace) initialiseWorkspace();
  SetDocumentModified(false);
  // What the loading did is the document as it is: nothing to undo yet.
  EditHistory::instance().documentLoaded();
  RecoveryCopy::instance().documentLoaded();
}

bool DocumentManager::mayOverwrite() {
  if (readOnly_) {
    prompts().message(MessageKind::Warning,
                      "Le document "_w.data() + QuotedFileName(currentFile_) +
                          " est ouvert en lecture seule : il ne peut pas être remplacé.\r\nUtilisez « Enregistrer "
                          "sous... » pour enregistrer vos modifications sous un autre nom."_w.data());
    return false;
  }
  if (fileRead_.newer) {
    const TVersionFichier program;
    DataFileInfo current;
    current.major = program.major();
    current.minor = program.minor();
    current.release = program.release();
    current.build = program.build();
    if (!prompts().askYesNo("Le document "_w.data() + QuotedFileName(currentFile_) +
                            " a été écrit par une version plus récente du logiciel ("_w.data() +
                            fileRead_.versionText() +
                            ").\r\nL'enregistrer avec cette version ("_w.data() + current.versionText() +
                            ") peut perdre ce que la version récente y a mis. Enregistrer quand même ?"_w.data()))
      return false;
  }
  if (CompareWithDisk(currentFile_, onDisk_) == FileState::Changed &&
      !prompts().askYesNo("Le document "_w.data() + QuotedFileName(currentFile_) +
                          " a été modifié sur le disque par un autre programme depuis son ouverture ou son dernier "
                          "enregistrement.\r\nL'enregistrer quand même ? Les modifications de l'autre programme "
                          "seront perdues."_w.data()))
    return false;
  return true;
}

void DocumentManager::keepBackup(const QString& path) {
  try {
    DocumentBackups::keep(path);
  } catch (const TesselError& e) {
    prompts().message(MessageKind::Warning, "La version précédente de "_w.data() + QuotedFileName(path) +
                                                " n'a pas pu être gardée parmi les sauvegardes :\r\n"_w.data() +
                                                e.what() + "\r\nLe document est enregistré quand même."_w.data());
  }
}

void DocumentManager::write(const QString& path) {
  // A document never saved by the user holds nothing worth keeping yet.
  if (!generated_) keepBackup(path);
  onDisk_ = Storage::SaveBase(path);
  // The file now carries this version.
  fileRead_.newer = false;
  WriteSetting("dernier_fichier", path);
  generated_ = false;
  EditHistory::instance().markSaved();
  SetDocumentModified(false);
  RecoveryCopy::instance().documentSaved();
}

bool DocumentManager::Save() {
  if (commitPendingEdits) commitPendingEdits();
  if (!mayOverwrite()) return false;
  write(currentFile_);
  return true;
}

bool DocumentManager::SaveAs(const QString& path) {
  if (ResolvedTarget(path) == ResolvedTarget(currentFile_)) return Save();
  if (commitPendingEdits) commitPendingEdits();
  // A name that cannot be written must not become the document's: later
  // saves would fail again and the generated file would be left behind.
  DocumentLock lock;
  if (lock.lock(path) == DocumentLock::Outcome::Held) {
    prompts().message(MessageKind::Warning, "Le document "_w.data() + QuotedFileName(path) + " est ouvert par "_w.data() +
                                                lock.detail() + " : il ne peut pas être remplacé."_w.data());
    return false;
  }
  keepBackup(path);
  const FileFingerprint written = Storage::SaveBase(path);
  currentFile_ = path;
  lock_ = std::move(lock);
  readOnly_ = !lock_.locked();
  fileRead_ = {};
  onDisk_ = written;
  WriteSetting("dernier_fichier", path);
  generated_ = false;
  EditHistory::instance().markSaved();
  SetDocumentModified(false);
  RecoveryCopy::instance().documentSaved();
  if (captionChanged) captionChanged();
  return true;
}

Answer DocumentManager::AskToSave() {
  if (commitPendingEdits) commitPendingEdits();
  if (readOnly_) {
    // Nothing can be saved here: only changes to give up are worth a question.
    if (!modified_) return Answer::No;
    return prompts().askYesNo("Le document "_w.data() + QuotedFileName(currentFile_) +
                              " est ouvert en lecture seule : vos modifications ne peuvent pas y être enregistrées."
                              "\r\nLes abandonner ?"_w.data())
               ? Answer::No
               : Answer::Cancel;
  }
  const QFileInfo info(currentFile_);
  QString folder = QDir::toNativeSeparators(info.absolutePath());
  if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
  const std::string text =
      "Voulez-vous sauvegarder " + toCp1252(info.fileName()) + "?\r\ndans " + toCp1252(folder);
  const Answer answer = prompts().askYesNoCancel(text);
  if (answer == Answer::Yes && !Save()) return Answer::Cancel;
  return answer;
}

QString DocumentManager::FileFilter() const {
  QString filter;
  for (const auto& [description, extension] : types_)
    filter += description + " (*" + extension + ")|*" + extension + "|";
  return filter + "Tous (*.*) | *.*";
}

QString DocumentManager::QtFileFilter() const {
  QStringList filters;
  for (const auto& [description, extension] : types_) filters << description + " (*" + extension + ")";
  filters << "Tous (*)";
  return filters.join(";;");
}

QString DocumentManager::MainCaption() const {
  return QString::fromLatin1(ProductName.data(), static_cast<qsizetype>(ProductName.size())) + " " +
         QString::fromLatin1(ProductVersion.data(), static_cast<qsizetype>(ProductVersion.size())) + " - " +
         QFileInfo(currentFile_).fileName() + (readOnly_ ? QStringLiteral(" (lecture seule)") : QString());
}

void DocumentManager::Discard() {
  if (generated_ && lock_.locked() && !currentFile_.isEmpty()) {
    QFile::remove(currentFile_);
    // A generated document that was never saved is the only one opened as
    // an empty file: nothing else can hold it.
  }
  lock_.unlock();
}

void DocumentManager::CloseDocument() {
  RecoveryCopy::instance().documentClosing();
  EditHistory::instance().documentClosing();
  if (Storage::isOpen()) Q_EMIT aboutToClose();
  Storage::CloseBase();
}

void DocumentManager::reset() {
  RecoveryCopy::instance().reset();
  EditHistory::instance().reset();
  currentFile_.clear();
  generated_ = false;
  modified_ = false;
  readOnly_ = false;
  lock_.unlock();
  fileRead_ = {};
  onDisk_ = {};
  captionChanged = nullptr;
  initialiseWorkspace = nullptr;
  rootPicture = nullptr;
  modifiedChanged = nullptr;
  commitPendingEdits = nullptr;
}

} // namespace tessel
