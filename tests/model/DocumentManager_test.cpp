#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Version.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/U_class_user_tessel.h"

#include <QFile>
#include <QFileInfo>

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
