#include "model/DocumentManager.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/ProductIdentity.h"
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

void DocumentManager::open(const QString& path) {
  CloseDocument();
  currentFile_ = path;
  Storage::BindStorage();
  Storage::OpenBase(currentFile_, Tadministration_FRAME::instance().loadList(), before, {});
}

bool DocumentManager::OpenDocument(const QString& name) {
  generated_ = false;
  QString path = name;
  if (path.isEmpty() || !QFileInfo::exists(path) || !hasDocumentExtension(path)) {
    generated_ = true;
    path = generatedName();
  }
  try {
    open(path);
    return true;
  } catch (const TesselError& e) {
    // The file stays as it is: the document becomes a fresh one, which a
    // later save can never write over the file that failed.
    CloseDocument();
    prompts().message(MessageKind::Error,
                      "Impossible d'ouvrir le document « "_w.data() + toCp1252(QDir::toNativeSeparators(path)) +
                          " » :\r\n"_w.data() + e.what() + "\r\nUn nouveau document est ouvert à sa place."_w.data());
    generated_ = true;
    open(generatedName());
    return false;
  }
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
}

void DocumentManager::Save() {
  if (commitPendingEdits) commitPendingEdits();
  Storage::SaveBase(currentFile_);
  WriteSetting("dernier_fichier", currentFile_);
  generated_ = false;
  SetDocumentModified(false);
}

void DocumentManager::SaveAs(const QString& path) {
  // A name that cannot be written must not become the document's: later
  // saves would fail again and the generated file would be left behind.
  const QString previous = std::exchange(currentFile_, path);
  try {
    Save();
  } catch (...) {
    currentFile_ = previous;
    throw;
  }
  if (captionChanged) captionChanged();
}

Answer DocumentManager::AskToSave() {
  if (commitPendingEdits) commitPendingEdits();
  const QFileInfo info(currentFile_);
  QString folder = QDir::toNativeSeparators(info.absolutePath());
  if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
  const std::string text =
      "Voulez-vous sauvegarder " + toCp1252(info.fileName()) + "?\r\ndans " + toCp1252(folder);
  const Answer answer = prompts().askYesNoCancel(text);
  if (answer == Answer::Yes) Save();
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
         QFileInfo(currentFile_).fileName();
}

void DocumentManager::Discard() {
  if (generated_ && !currentFile_.isEmpty()) QFile::remove(currentFile_);
}

void DocumentManager::CloseDocument() {
  if (Storage::isOpen()) Q_EMIT aboutToClose();
  Storage::CloseBase();
}

void DocumentManager::reset() {
  currentFile_.clear();
  generated_ = false;
  modified_ = false;
  captionChanged = nullptr;
  initialiseWorkspace = nullptr;
  rootPicture = nullptr;
  modifiedChanged = nullptr;
  commitPendingEdits = nullptr;
}

} // namespace tessel
