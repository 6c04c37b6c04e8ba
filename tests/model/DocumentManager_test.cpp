#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/FileAccess.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "foundation/ZEP_Version.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_contenu.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/U_class_user_tessel.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <functional>

#include <functional>
#include <memory>
#include <vector>

using namespace tessel;
using namespace tessel::test;
using Kind = tessel::test::RecordingPrompts::Kind;

namespace {

using Documents = ModelTest;

DocumentManager& documents() { return DocumentManager::instance(); }

std::string fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<absent>");
}

} // namespace

TEST_F(Documents, FreshDocumentsAreGeneratedAndPrepared) {
  openDocument("");
  const QString first = documents().CurrentFile();
  EXPECT_TRUE(documents().IsGeneratedDocument());
  EXPECT_EQ(QFileInfo(first).fileName(), "TesselFile1.TSF");
  EXPECT_EQ(QFileInfo(first).absolutePath(), QFileInfo(documents().generatedFolder()).absoluteFilePath());
  EXPECT_TRUE(QFile::exists(first));
  EXPECT_EQ(documents().MainCaption(), "Tessel 0.96 - TesselFile1.TSF");
  EXPECT_FALSE(documents().DocumentModified());

  ASSERT_EQ(Mutilisateur_tessel::Class().LoadedCount(), 1);
  EXPECT_EQ(static_cast<Mutilisateur_tessel*>(Mutilisateur_tessel::Class().LoadedItem(0))->Nom(), "administrateur");
  ASSERT_EQ(Mcategorie::Class().LoadedCount(), 8);
  auto* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  EXPECT_EQ(root->Name(), "Toutes les activités"_w);
  EXPECT_TRUE(root->Invariant());
  EXPECT_EQ(root->Colour(), 0xFFFFFFu);
  EXPECT_EQ(root->ChildCount(), 5);

  // The next generated name is the first free one; quitting with No removes it.
  Storage::CloseBase();
  openDocument("");
  EXPECT_EQ(QFileInfo(documents().CurrentFile()).fileName(), "TesselFile2.TSF");
  documents().Discard();
  EXPECT_FALSE(QFile::exists(documents().CurrentFile()));
  EXPECT_TRUE(QFile::exists(first));
}

TEST_F(Documents, ANewDocumentSavesItsClassTree) {
  openDocument("");
  // The tree goes up to the root class: every loaded object is found from it.
  const int loaded = Mutilisateur_tessel::Class().LoadedCount() + Mcategorie::Class().LoadedCount();
  EXPECT_EQ(MObject_OCS::Class().LoadedObjectsWithSubclasses().size(), static_cast<std::size_t>(loaded));
  documents().Save();
  Storage::CloseBase();

  // The file as stored, without the rebuild that opening does.
  MBC& b = Storage::base();
  b.vider();
  MemoryStream payload;
  ReadDataFile(documents().CurrentFile(), payload);
  b.lire(payload);
  auto className = [](const MEntite* node) {
    const MEntite* heritage = node->valeur_chemin("sys_heritage", 0);
    return heritage ? std::string(heritage->name()).substr(4) : std::string("?");
  };
  // A class's node as its class name; a subclass link as "parent > child".
  std::vector<std::string> tree;
  b.triplets().forEach([&](MTruc* t) {
    if (t->relation()->nomEquals("sys_heritage")) tree.push_back(className(t->sujet()));
    if (t->relation()->nomEquals("sys_a_pour_sous_classe"))
      tree.push_back(className(t->sujet()) + " > " + className(t->valeur()));
  });
  // The root class's own node is nobody's value: it alone is not saved.
  const std::vector<std::string> expected = {
      "Mcontenu",
      "MOBJ_AVEC_OBJ_REC",
      "MOBJ_AVEC_OBJ_REC > Mcontenu",
      "Mutilisateur_tessel",
      "Mutilisateur",
      "Mutilisateur > Mutilisateur_tessel",
      "Mindividu",
      "Mindividu > Mutilisateur",
      "Mressource",
      "Mressource > Mindividu",
      "MOBJ_AVEC_OBJ_REC > Mressource",
      "TSociete",
      "Mressource > TSociete",
      "Mactivite_tessel",
      "Mabstraite_activite",
      "Mabstraite_activite > Mactivite_tessel",
      "Mcontenu_ressources_et_temps",
      "Mcontenu_ressources_et_temps > Mabstraite_activite",
      "Mcontenu_avec_ressource",
      "Mcontenu_avec_ressource > Mcontenu_ressources_et_temps",
      "Mcontenu > Mcontenu_avec_ressource",
      "Mcategorie",
      "TObjRec",
      "TObjRec > Mcategorie",
      "Moccurence",
      "Minfo_avec_temps",
      "Minfo_avec_temps > Moccurence",
      "TMOOR_individu",
      "TObjRec > TMOOR_individu",
  };
  EXPECT_EQ(tree, expected);
  EXPECT_EQ(b.chercher_symbole("sys_MObject_OCS"), nullptr);
}

TEST_F(Documents, StartDocumentName) {
  DocumentManager::WriteSetting("dernier_fichier", "/dernier.TSF");
  struct Case {
    QStringList arguments;
    QString expected;
  };
  const Case cases[] = {
      {{}, "/dernier.TSF"},
      {{"/doc.TSF"}, "/doc.TSF"},
      {{"-min", "/autre.TSF"}, "/autre.TSF"},
      {{"-min"}, "/dernier.TSF"},
  };
  for (const Case& c : cases) EXPECT_EQ(documents().startDocumentName(c.arguments), c.expected) << c.arguments.join(' ').toStdString();
  // A missing file, or one of another type, gives a fresh generated document.
  for (const QString& name : {path("absent.TSF"), path("autre.txt")}) {
    MemoryStream("x").saveToFile(path("autre.txt"));
    EXPECT_TRUE(documents().OpenDocument(name));
    EXPECT_TRUE(documents().IsGeneratedDocument());
    Storage::CloseBase();
  }
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Documents, SaveSaveAsAndTheSaveQuestion) {
  openDocument("");
  const QString generated = documents().CurrentFile();
  documents().SetDocumentModified(true);
  documents().SaveAs(path("sans_extension"));
  EXPECT_FALSE(documents().IsGeneratedDocument());
  EXPECT_FALSE(documents().DocumentModified());
  EXPECT_TRUE(QFile::exists(path("sans_extension")));
  EXPECT_TRUE(QFile::exists(generated)); // stays on disk
  EXPECT_EQ(DocumentManager::ReadSetting("dernier_fichier"), path("sans_extension"));
  EXPECT_EQ(documents().MainCaption(), "Tessel 0.96 - sans_extension");
  // Without the document's extension it is not reopened at the next start.
  EXPECT_TRUE(documents().OpenDocument(documents().startDocumentName({})));
  EXPECT_TRUE(documents().IsGeneratedDocument());

  prompts.answer(Answer::Cancel);
  EXPECT_EQ(documents().AskToSave(), Answer::Cancel);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, Kind::YesNoCancel);
  const QFileInfo info(documents().CurrentFile());
  EXPECT_EQ(prompts.shown[0].text,
            "Voulez-vous sauvegarder " + toCp1252(info.fileName()) + "?\r\ndans " + toCp1252(info.absolutePath()) + "/");
  prompts.answer(Answer::Yes);
  documents().SetDocumentModified(true);
  EXPECT_EQ(documents().AskToSave(), Answer::Yes);
  EXPECT_FALSE(documents().DocumentModified());
  EXPECT_EQ(documents().FileFilter(), "Tessel (*.TSF)|*.TSF|Tous (*.*) | *.*");
}

TEST_F(Documents, EditsStillInAScreenAreCommittedBeforeSavingOrAsking) {
  openDocument("");
  // The hook writes something into the base, as a screen commits a typed time.
  documents().commitPendingEdits = [] {
    new Mutilisateur_tessel;
    DocumentManager::instance().SetDocumentModified(true);
  };
  documents().SaveAs(path("en_cours.TSF"));
  EXPECT_FALSE(documents().DocumentModified()); // what the hook wrote is in the file
  prompts.answer(Answer::No);
  EXPECT_EQ(documents().AskToSave(), Answer::No);
  EXPECT_TRUE(documents().DocumentModified()); // the question came after the commit
  documents().commitPendingEdits = nullptr;
  openDocument("en_cours.TSF");
  EXPECT_EQ(Mutilisateur_tessel::Class().LoadedCount(), 2);
}

// Screens let go of the objects on aboutToClose: every way a document goes
// tells them while its objects still live, and only an open document does.
TEST_F(Documents, ScreensAreToldBeforeTheObjectsGo) {
  struct Case {
    const char* name;
    std::function<void()> close;
  };
  const Case cases[] = {
      {"closed", [] { documents().CloseDocument(); }},
      {"replaced by a new one", [] { documents().OpenDocument(QString()); }},
      {"replaced by a file", [this] { documents().OpenDocument(path("autre.TSF")); }},
  };
  openDocument("");
  documents().SaveAs(path("autre.TSF"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    openDocument("");
    const std::shared_ptr<const bool> root = Mcategorie::Class().LoadedItem(0)->liveness();
    std::vector<bool> aliveWhenTold;
    const QMetaObject::Connection told = QObject::connect(&documents(), &DocumentManager::aboutToClose, [&] {
      aliveWhenTold.push_back(*root && Storage::isOpen());
    });
    c.close();
    QObject::disconnect(told);
    EXPECT_EQ(aliveWhenTold, std::vector<bool>{true});
    EXPECT_FALSE(*root);
  }
  // Nothing open, nothing to tell.
  documents().CloseDocument();
  int told = 0;
  const QMetaObject::Connection counting =
      QObject::connect(&documents(), &DocumentManager::aboutToClose, [&] { ++told; });
  documents().CloseDocument();
  documents().OpenDocument(QString());
  QObject::disconnect(counting);
  EXPECT_EQ(told, 0);
}

TEST_F(Documents, AFileThatCannotBeReadIsReportedAndKept) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  MemoryStream payloadOfAnotherKey;
  WriteDataFile(MemoryStream(std::string("\xFF\xFF\xFF\xFF\xFE\xFF\xFF\xFF", 8)), path("cle.OPF"));
  const Case cases[] = {
      {"tronque.TSF", "ZEP20"},
      {"mauvaise_cle.TSF", fileBytes(path("cle.OPF"))}, // encrypted with the other key
  };
  for (const Case& c : cases) {
    MemoryStream(c.bytes).saveToFile(path(c.name));
    prompts.clear();
    EXPECT_FALSE(documents().OpenDocument(path(c.name))) << c.name;
    documents().AfterDocumentLoaded();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, Kind::Error);
    EXPECT_NE(prompts.shown[0].text.find(c.name), std::string::npos);
    // A fresh document instead: saving it never touches the broken file.
    EXPECT_TRUE(documents().IsGeneratedDocument());
    documents().Save();
    EXPECT_EQ(fileBytes(path(c.name)), c.bytes) << c.name;
    Storage::CloseBase();
  }
}

TEST_F(Documents, OldFilesAreConvertedOnce) {
  // An old file: categories classed "Mactivite", entries pointing at them.
  Storage::OpenBase(path("ancien.TSF"), {});
  EntityRef category = Storage::base().nouvelle_entite();
  category->ajouter(Storage::base().relation("sys_racine"), Storage::base().symbole("sys_Objet_Natif"));
  category->ajouter(Storage::base().relation("sys_ID_classe"), Storage::base().symbole("sys_Mactivite"));
  category->ajouter(Storage::base().relation("sys_nom_attribut_Nom"), Storage::base().symbole("Ancienne"));
  for (int d = 2; d <= 3; ++d) {
    Moccurence* entry = Moccurence::CreateEntry(at(2002, 9, d));
    entry->SetTimeSpent(at(2002, 9, d), 1.0 / 24);
    entry->entite()->ajouter(Storage::base().relation("sys_nom_attribut_activite"), category.get());
  }
  Storage::SaveBase(path("ancien.TSF"));
  category = EntityRef();
  Storage::CloseBase();

  openDocument("ancien.TSF");
  ASSERT_EQ(Mactivite_tessel::Class().LoadedCount(), 1);
  auto* activity = static_cast<Mactivite_tessel*>(Mactivite_tessel::Class().LoadedItem(0));
  EXPECT_EQ(activity->DisplayText(), "Ancienne");
  EXPECT_EQ(activity->actions().Count(), 2);
  for (MObject_OCS* e : Moccurence::Class().LoadedObjects()) EXPECT_EQ(static_cast<Moccurence*>(e)->EntryCategory(), nullptr);
  EXPECT_EQ(Mcategorie::Class().LoadedCount(), 1); // the old category; no default tree
  documents().Save();
  Storage::CloseBase();
  openDocument("ancien.TSF");
  EXPECT_EQ(Mactivite_tessel::Class().LoadedCount(), 1);
}

namespace {

// The real file calls, with writing made to fail as on a full disk.
class FullDisk : public FileSystem {
public:
  FullDisk() { previous_ = installFileSystem(this); }
  ~FullDisk() override { installFileSystem(previous_); }
  long write(int, const void*, std::size_t) override { return -ENOSPC; }

private:
  FileSystem* previous_ = nullptr;
};

QStringList filesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The document in a state worth saving: a category renamed.
void edit(std::string_view name) {
  static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1))->SetName(name);
  documents().SetDocumentModified(true);
}

} // namespace

TEST_F(Documents, AFailedSaveSaysSoAndLosesNothing) {
  openDocument("");
  documents().SaveAs(path("doc.TSF"));
  const std::string saved = fileBytes(path("doc.TSF"));
  edit("Renommée"_w);
  {
    FullDisk full;
    EXPECT_THROW(documents().Save(), DataFileError);
    EXPECT_THROW(documents().SaveAs(path("autre.TSF")), DataFileError);
    prompts.answer(Answer::Yes);
    EXPECT_THROW(documents().AskToSave(), DataFileError);
  }
  EXPECT_TRUE(documents().DocumentModified());
  EXPECT_EQ(documents().CurrentFile(), path("doc.TSF"));
  EXPECT_EQ(fileBytes(path("doc.TSF")), saved);
  EXPECT_EQ(filesIn(dir.path()), QStringList{".doc.TSF.lock"} << "doc.TSF");
  // The next save, with room again, writes it all.
  EXPECT_TRUE(documents().Save());
  Storage::CloseBase();
  openDocument("doc.TSF");
  EXPECT_EQ(static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1))->Name(), "Renommée"_w);
}

TEST_F(Documents, ADocumentHeldByAnotherWindowOpensReadOnlyOnRequest) {
  openDocument("");
  documents().SaveAs(path("doc.TSF"));
  documents().Discard();
  Storage::CloseBase();
  QLockFile otherWindow(DocumentLock::lockFileOf(path("doc.TSF")));
  ASSERT_TRUE(otherWindow.tryLock());
  const std::string before = fileBytes(path("doc.TSF"));

  prompts.clear();
  prompts.answer(Answer::No);
  EXPECT_FALSE(documents().OpenDocument(path("doc.TSF")));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, Kind::YesNo);
  EXPECT_NE(prompts.shown[0].text.find(toCp1252(path("doc.TSF")) + " » est déjà ouvert par le processus "_w.data() +
                                       std::to_string(QCoreApplication::applicationPid())),
            std::string::npos)
      << prompts.shown[0].text;
  EXPECT_TRUE(documents().IsGeneratedDocument()); // a fresh document instead
  documents().Discard();
  Storage::CloseBase();

  prompts.clear();
  prompts.answer(Answer::Yes);
  EXPECT_TRUE(documents().OpenDocument(path("doc.TSF")));
  documents().AfterDocumentLoaded();
  EXPECT_TRUE(documents().IsReadOnly());
  EXPECT_EQ(documents().MainCaption(), "Tessel 0.96 - doc.TSF (lecture seule)");
  edit("Changée"_w);
  prompts.clear();
  EXPECT_FALSE(documents().Save());
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, Kind::Warning);
  EXPECT_NE(prompts.shown[0].text.find("est ouvert en lecture seule"), std::string::npos);
  EXPECT_EQ(fileBytes(path("doc.TSF")), before);
  EXPECT_TRUE(documents().DocumentModified());
  // Closing asks only whether to give the changes up.
  prompts.clear();
  prompts.answer(Answer::No);
  EXPECT_EQ(documents().AskToSave(), Answer::Cancel);
  EXPECT_EQ(prompts.shown[0].kind, Kind::YesNo);
  // Another name takes the work, and the document is its own again.
  EXPECT_TRUE(documents().SaveAs(path("copie.TSF")));
  EXPECT_FALSE(documents().IsReadOnly());
  EXPECT_EQ(fileBytes(path("doc.TSF")), before);
  // Nor may it be saved over a file that the other window holds.
  prompts.clear();
  documents().SetDocumentModified(true);
  EXPECT_FALSE(documents().SaveAs(path("doc.TSF")));
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(fileBytes(path("doc.TSF")), before);
}

TEST_F(Documents, SavingOverSomeoneElsesSaveOrANewerVersionIsAsked) {
  openDocument("");
  documents().SaveAs(path("doc.TSF"));
  struct Case {
    const char* what;
    std::function<void()> change; // what happens to the file behind the document's back
    const char* question;
  };
  const Case cases[] = {
      {"rewritten by another program",
       [&] { MemoryStream("autre").saveToFile(path("doc.TSF")); },
       "a été modifié sur le disque par un autre programme"},
      {"written by a newer version",
       [&] {
         MemoryStream payload;
         ReadDataFile(path("doc.TSF"), payload);
         WriteDataFile(payload, path("doc.TSF"));
         std::string bytes = fileBytes(path("doc.TSF"));
         bytes[16] = 1; // minor version 1: 1.1.0.0
         MemoryStream(bytes).saveToFile(path("doc.TSF"));
         Storage::CloseBase();
         prompts.clear();
         documents().OpenDocument(path("doc.TSF"));
         documents().AfterDocumentLoaded();
       },
       "a été écrit par une version plus récente du logiciel (1.1.0.0)"},
  };
  for (const Case& c : cases) {
    c.change();
    edit(c.what);
    const std::string before = fileBytes(path("doc.TSF"));
    prompts.clear();
    prompts.answer(Answer::No);
    EXPECT_FALSE(documents().Save()) << c.what;
    ASSERT_FALSE(prompts.shown.empty()) << c.what;
    EXPECT_EQ(prompts.shown.back().kind, Kind::YesNo);
    EXPECT_NE(prompts.shown.back().text.find(utf8ToCp1252(c.question)), std::string::npos) << prompts.shown.back().text;
    EXPECT_EQ(fileBytes(path("doc.TSF")), before) << c.what;
    EXPECT_TRUE(documents().DocumentModified()) << c.what;
    // The save question stops the close when its save did not happen.
    prompts.answer(Answer::Yes);
    prompts.answer(Answer::No);
    EXPECT_EQ(documents().AskToSave(), Answer::Cancel) << c.what;
    prompts.answer(Answer::Yes);
    EXPECT_TRUE(documents().Save()) << c.what;
    EXPECT_FALSE(documents().DocumentModified());
    // Saved once: the next save asks nothing.
    prompts.clear();
    edit("encore");
    EXPECT_TRUE(documents().Save()) << c.what;
    EXPECT_TRUE(prompts.shown.empty()) << c.what;
  }
  MemoryStream header(fileBytes(path("doc.TSF")));
  header.seek(16);
  EXPECT_EQ(header.readInt32(), 0); // written as this version
}

TEST_F(Documents, ADamagedFileOpensReadOnlyOnRequest) {
  openDocument("");
  edit("Abîmée"_w);
  documents().SaveAs(path("doc.TSF"));
  documents().Discard();
  Storage::CloseBase();
  MemoryStream payload;
  ReadDataFile(path("doc.TSF"), payload);
  payload.bytes()[payload.bytes().find("Ab")] = 'a';
  WriteDataFile(payload, path("doc.TSF"));
  const std::string damaged = fileBytes(path("doc.TSF"));

  prompts.answer(Answer::No);
  EXPECT_FALSE(documents().OpenDocument(path("doc.TSF")));
  EXPECT_TRUE(documents().IsGeneratedDocument());
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_NE(prompts.shown[0].text.find(" est endommagé"_w), std::string::npos);
  EXPECT_NE(prompts.shown[0].text.find("en lecture seule"), std::string::npos);
  documents().Discard();
  Storage::CloseBase();

  prompts.answer(Answer::Yes);
  EXPECT_TRUE(documents().OpenDocument(path("doc.TSF")));
  documents().AfterDocumentLoaded();
  EXPECT_TRUE(documents().IsReadOnly());
  EXPECT_EQ(static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1))->Name(), "abîmée"_w);
  documents().SetDocumentModified(true);
  EXPECT_FALSE(documents().Save());
  EXPECT_EQ(fileBytes(path("doc.TSF")), damaged);
}

TEST_F(Documents, TypedTextsOutsideTheCodePageComeBack) {
  const QString texts[] = {
      QStringLiteral("Ωmega ✓ 中文 😀"), QStringLiteral("Привет, мир"), QStringLiteral("e\u0301te\u0301"),
      QStringLiteral("עברית и 日本語\n👩‍💻"), QStringLiteral("Café, croissants"),
  };
  openDocument("");
  for (const QString& text : texts) {
    auto* category = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1));
    category->SetName(toCp1252(text));
    category->SetDescription(toEngineLines(text));
    auto* note = new Mcontenu;
    note->SetTitre(toCp1252(text));
    note->SetTexte(EncodeText(toEngineLines(text)));
    documents().SaveAs(path("doc.TSF"));
    documents().Discard();
    Storage::CloseBase();
    openDocument("doc.TSF");
    category = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1));
    EXPECT_EQ(fromCp1252(category->Name()), text);
    EXPECT_EQ(fromEngineLines(category->Description()), text);
    note = static_cast<Mcontenu*>(Mcontenu::Class().LoadedItem(Mcontenu::Class().LoadedCount() - 1));
    EXPECT_EQ(fromCp1252(note->Titre()), text);
    EXPECT_EQ(fromEngineLines(DecodeText(note->Texte())), text);
  }
}
