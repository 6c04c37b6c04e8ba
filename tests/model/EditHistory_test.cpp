#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/FileAccess.h"
#include "model/EditHistory.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/U_class_user_tessel.h"
#include "model/WeekTimetable.h"

#include <functional>

using namespace tessel;
using namespace tessel::test;

namespace {

const TDateTime Monday = at(2002, 9, 2);

class History : public ModelTest {
public:
  History() {
    history().setEnabled(true);
    openDocument("historique.TSF");
  }

  static EditHistory& history() { return EditHistory::instance(); }
  static DocumentManager& documents() { return DocumentManager::instance(); }

  Mcategorie* category(std::string_view name) {
    for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
      if (static_cast<Mcategorie*>(o)->Name() == name) return static_cast<Mcategorie*>(o);
    return nullptr;
  }
  Mcategorie* root() { return static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0)); }

  // One user command, named as a screen names it.
  void command(const QString& caption, const std::function<void()>& edit) {
    history().beginCommand();
    edit();
    history().describe(caption);
    history().endCommand();
  }

  // The document as saved, byte for byte.
  std::string saved() {
    EXPECT_TRUE(documents().Save());
    return ReadFile(documents().CurrentFile()).bytes;
  }

  // What the screens read: every loaded object in registry order, the
  // categories' names and the first week's grid.
  std::string objects() {
    std::string text;
    for (const ClassRef* cls : Tadministration_FRAME::instance().loadList()) {
      text += "\n" + cls->name() + ":";
      for (int i = 0; i < cls->LoadedCount(); ++i) {
        const MObject_OCS* o = cls->LoadedItem(i);
        const MEntite* oid = o->entite()->valeur_chemin("SYS_OID", 0);
        const auto* node = dynamic_cast<const TObjRec*>(o);
        text += " [" + (oid ? oid->nom() : std::string("?")) + "]" + (node ? node->Name() : o->DisplayText());
      }
    }
    WeekTimetable week;
    week.load(Monday);
    for (int r = 0; r < week.rowCount(); ++r) {
      text += "\n" + week.activity(r)->DisplayText();
      for (int d = 0; d < WeekTimetable::days; ++d) text += "|" + week.cellText(r, d);
    }
    return text;
  }

  std::string state() { return saved() + objects(); }

  // A row of the first week for the category, made when missing.
  int row(WeekTimetable& week, std::string_view name) {
    week.load(Monday);
    week.addRow(category(name));
    return week.rowOf(ActivityOfCategory(category(name)));
  }
};

struct Edit {
  const char* caption;
  std::function<void(History&)> run;
};

QImage picture(QRgb colour) {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

const Edit edits[] = {
    {"l'ajout de la ligne Pause",
     [](History& h) {
       WeekTimetable week;
       h.row(week, "Pause");
     }},
    {"la saisie de 2:30 (Pause, mardi 3)",
     [](History& h) {
       WeekTimetable week;
       week.commit(h.row(week, "Pause"), 1, "2:30");
     }},
    {"la saisie de 1:15 (Pause, mardi 3)",
     [](History& h) {
       WeekTimetable week;
       week.commit(h.row(week, "Pause"), 1, "1:15");
     }},
    {"l'ajout d'une note (Pause, mardi 3)",
     [](History& h) {
       WeekTimetable week;
       auto* note = new Mcontenu;
       note->SetTexte("Compte rendu");
       week.commit(h.row(week, "Pause"), 1, "1:15", note);
     }},
    {"la saisie de 3:00 (Rédaction, jeudi 5)",
     [](History& h) {
       WeekTimetable week;
       week.commit(h.row(week, "Rédaction"_w), 3, "3:00");
       week.commit(h.row(week, "Rédaction"_w), 4, "0:45");
     }},
    {"l'effacement de 2:30 (Pause, mardi 3)",
     [](History& h) {
       WeekTimetable week;
       week.commit(h.row(week, "Pause"), 1, "00:00");
     }},
    {"la suppression de la ligne Rédaction",
     [](History& h) {
       WeekTimetable week;
       week.removeRow(h.row(week, "Rédaction"_w));
     }},
    {"la création de « Projet »",
     [](History& h) {
       Mcategorie* project = h.root()->AddSubcategory("Projet");
       project->AddSubcategory("Lot 1");
       project->AddSubcategory("Lot 2");
     }},
    {"le renommage de « Lot 1 » en « Étude »",
     [](History& h) { h.category("Lot 1")->SetName("Étude"_w); }},
    {"la modification de « Projet »",
     [](History& h) {
       h.category("Projet")->SetDescription("Le grand projet");
       h.category("Projet")->SetColour(0x00FF00);
     }},
    {"le déplacement de « Lot 2 »",
     [](History& h) {
       h.category("Projet")->RemoveChild(h.category("Lot 2"));
       h.category("Pause")->AddChild(h.category("Lot 2"));
     }},
    {"le changement d'icône de « Projet »",
     [](History& h) {
       const QImage p = picture(qRgb(200, 10, 10));
       h.category("Projet")->SetPicture(&p);
     }},
    {"la suppression de « Projet »",
     [](History& h) {
       Mcategorie* project = h.category("Projet");
       for (TObjRec* child : project->Children()) child->Delete();
       h.root()->RemoveChild(project);
       project->Delete();
     }},
    {"la modification de l'utilisateur",
     [](History&) {
       static_cast<Mutilisateur_tessel*>(Mutilisateur_tessel::Class().LoadedItem(0))->SetNom("Dupont");
       (new Mutilisateur_tessel)->SetNom("Martin");
     }},
};

} // namespace

// Each kind of edit, undone, gives back the very bytes saved before it, and
// the objects as they were; redone, the bytes and objects it made.
TEST_F(History, EveryEditIsUndoneAndRedoneExactly) {
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.caption);
    const std::string before = state();
    command(fromCp1252(edit.caption), [&] { edit.run(*this); });
    ASSERT_TRUE(history().canUndo());
    EXPECT_EQ(history().undoText(), "Annuler " + fromCp1252(edit.caption));
    const std::string after = state();
    ASSERT_NE(before, after);

    history().undo();
    EXPECT_EQ(state(), before);
    EXPECT_EQ(history().redoText(), QString("Rétablir ") + fromCp1252(edit.caption));
    history().redo();
    EXPECT_EQ(state(), after);
    history().undo();
    EXPECT_EQ(state(), before);
    history().redo();
    EXPECT_EQ(state(), after);
  }
}

// The objects after an undo are those loading the saved file makes.
TEST_F(History, UndoneObjectsAreThoseOfTheFile) {
  WeekTimetable week;
  command("saisie", [&] { week.commit(row(week, "Pause"), 0, "4:00"); });
  command("suppression", [&] { week.removeRow(row(week, "Pause")); });
  command("saisie", [&] { week.commit(row(week, "Pause"), 2, "1:00"); });
  history().undo();
  history().undo();
  const std::string undone = objects();
  documents().Save();
  documents().OpenDocument(documents().CurrentFile());
  documents().AfterDocumentLoaded();
  EXPECT_EQ(objects(), undone);
  EXPECT_FALSE(history().canUndo());
}

TEST_F(History, TheSavedStateIsKnownAcrossUndoAndRedo) {
  WeekTimetable week;
  command("a", [&] { week.commit(row(week, "Pause"), 0, "1:00"); });
  EXPECT_TRUE(documents().DocumentModified());
  documents().Save();
  command("b", [&] { week.commit(row(week, "Pause"), 1, "2:00"); });
  EXPECT_TRUE(documents().DocumentModified());
  history().undo(); // back to what was saved
  EXPECT_FALSE(documents().DocumentModified());
  history().undo();
  EXPECT_TRUE(documents().DocumentModified());
  history().redo();
  EXPECT_FALSE(documents().DocumentModified());
  history().redo();
  EXPECT_TRUE(documents().DocumentModified());
  // A new edit after undoing drops what could be redone.
  history().undo();
  command("c", [&] { week.commit(row(week, "Pause"), 2, "3:00"); });
  EXPECT_FALSE(history().canRedo());
  EXPECT_EQ(history().undoText(), "Annuler c");
}

TEST_F(History, TheLastStepsAreKept) {
  WeekTimetable week;
  const int r = row(week, "Pause");
  for (int i = 0; i < EditHistory::Limit + 5; ++i)
    command(QString::number(i), [&] { week.commit(r, i % 7, std::to_string(1 + i % 9) + ":00"); });
  EXPECT_EQ(history().count(), EditHistory::Limit);
  int undone = 0;
  while (history().canUndo()) {
    history().undo();
    ++undone;
  }
  EXPECT_EQ(undone, EditHistory::Limit);
  EXPECT_EQ(history().undoText(), "Annuler");
  // Back to the state after the first five steps: 1:00 … 5:00 on Monday to Friday.
  week.load(Monday);
  for (int d = 0; d < 5; ++d) EXPECT_EQ(week.cellText(week.rowOf(ActivityOfCategory(category("Pause"))), d), "0" + std::to_string(d + 1) + ":00");
}

TEST_F(History, NewAndOpenStartAfresh) {
  WeekTimetable week;
  command("a", [&] { week.commit(row(week, "Pause"), 0, "1:00"); });
  documents().Save();
  documents().OpenDocument(documents().CurrentFile());
  documents().AfterDocumentLoaded();
  EXPECT_EQ(history().count(), 0);
  EXPECT_FALSE(history().canUndo());
  command("b", [&] { week.commit(row(week, "Pause"), 1, "1:00"); });
  openDocument("");
  EXPECT_EQ(history().count(), 0);
}

// How a command's changes become steps: describe() closes one; what follows
// joins it; changes outside any command join the last step, or stand alone
// when steps were undone or the last one is the saved state.
TEST_F(History, StepsOfCommands) {
  WeekTimetable week;
  const int r = row(week, "Pause");
  // Nothing done yet outside a command: nothing to keep in step with.
  week.commit(r, 0, "1:00");
  EXPECT_EQ(history().count(), 0);

  history().beginCommand();
  week.commit(r, 1, "1:00");
  history().describe("premier");
  week.commit(r, 2, "2:00");
  history().describe("second");
  week.commit(r, 3, "3:00");
  history().beginCommand(); // nested: the same command
  week.commit(r, 4, "4:00");
  history().endCommand();
  history().endCommand();
  EXPECT_EQ(history().count(), 2);
  EXPECT_EQ(history().undoText(), "Annuler second");

  week.commit(r, 5, "5:00"); // outside: joins "second"
  history().beginCommand();
  history().endCommand();
  EXPECT_EQ(history().count(), 2);
  history().undo();
  week.load(Monday);
  const int shown = week.rowOf(ActivityOfCategory(category("Pause")));
  EXPECT_EQ(week.cellText(shown, 1), "01:00");
  for (int d : {2, 3, 4, 5}) EXPECT_EQ(week.cellText(shown, d), "") << d;

  // Outside a command after an undo: a step of its own; nothing to redo.
  week.commit(shown, 6, "6:00");
  history().beginCommand();
  history().endCommand();
  EXPECT_EQ(history().count(), 2);
  EXPECT_FALSE(history().canRedo());
  EXPECT_EQ(history().undoText(), "Annuler " + DefaultEditCaption());

  // A command without a name of its own.
  history().beginCommand();
  week.commit(shown, 6, "7:00");
  history().endCommand();
  EXPECT_EQ(history().undoText(), "Annuler " + DefaultEditCaption());
  // A command that changes nothing makes no step.
  history().beginCommand();
  history().describe("rien");
  history().endCommand();
  EXPECT_EQ(history().count(), 3);
}

TEST_F(History, OffByDefault) {
  history().reset();
  openDocument("historique.TSF");
  WeekTimetable week;
  command("a", [&] { week.commit(row(week, "Pause"), 0, "1:00"); });
  EXPECT_EQ(history().count(), 0);
  EXPECT_FALSE(history().canUndo());
}
