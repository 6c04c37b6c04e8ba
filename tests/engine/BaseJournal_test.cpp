#include "EngineFixture.h"

#include "engine/BaseJournal.h"
#include "engine/ZEP_requete.h"
#include "foundation/Errors.h"

#include <functional>
#include <map>

using namespace tessel;
using tessel::test::EngineTest;

namespace {

// Two objects: A with a name, a list of twenty elements and an anonymous
// value held by it alone (which deletions cascade into); B refers to A.
class JournalTest : public EngineTest {
public:
  using EngineTest::anon;
  using EngineTest::rel;
  JournalTest() {
    a = object("A");
    b_ = object("B");
    a->ajouter("nom", "premier");
    for (int i = 0; i < 20; ++i) a->ajouter("l", "e" + std::to_string(i));
    value = a->ajouter(rel("adresse"), anon());
    value->ajouter("rue", "grande");
    value->ajouter("ville", "Lyon");
    b_->ajouter(rel("ref"), a);
    b_->ajouter("nom", "second");
  }

  MEntite* object(std::string_view id) {
    MEntite* e = anon();
    e->ajouter("sys_racine", "sys_Objet_Natif");
    e->ajouter("sys_id", id);
    return e;
  }

  // What must come back: the saved stream (the base's order and names) and
  // the order of every list of the entities involved.
  std::string state() {
    std::string text = b().ecrire().bytes();
    for (MEntite* e : std::initializer_list<MEntite*>{a, b_, value, rel("l"), sym("premier")}) {
      text += "\n|";
      for (const TripleList* list : {&e->subjects(), &e->relations(), &e->values()}) {
        list->forEach([&](MTruc* t) { text += std::to_string(t->sequence()) + t->texte_triplet() + ";"; });
        text += "|";
      }
    }
    return text;
  }

  MEntite* a = nullptr;
  MEntite* b_ = nullptr;
  MEntite* value = nullptr;
};

struct Edit {
  const char* name;
  std::function<void(JournalTest&)> run;
};

const Edit edits[] = {
    {"value replaced", [](JournalTest& t) { t.a->affecter("nom", "autre"); }},
    {"list element removed from the middle", [](JournalTest& t) { t.a->retirer("l", 7); }},
    {"list element added", [](JournalTest& t) { t.a->ajouter("l", "e20"); }},
    {"object erased, cascading into its value", [](JournalTest& t) { t.a->supprimer_liens(); }},
    {"new object referred to",
     [](JournalTest& t) {
       MEntite* fresh = t.object("C");
       fresh->ajouter("nom", "troisième");
       t.b_->ajouter(t.rel("ref"), fresh);
     }},
    {"many changes in every list",
     [](JournalTest& t) {
       for (int i = 17; i >= 0; i -= 3) t.a->retirer("l", i);
       for (int i = 0; i < 30; ++i) t.a->ajouter("l", "n" + std::to_string(i));
       t.b_->affecter("nom", "premier");
       t.value->affecter("ville", "Paris");
       t.a->retirer("l", 0);
       t.b_->supprimer_liens();
     }},
};

} // namespace

// Undo gives back exactly what was there (the saved bytes and every list's
// order), redo what the edit made, as often as asked.
TEST_F(JournalTest, UndoAndRedoRestoreTheBaseExactly) {
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.name);
    const std::string before = state();
    auto journal = std::make_unique<BaseJournal>(b());
    edit.run(*this);
    JournalStep step = journal->take();
    EXPECT_FALSE(journal->pending());
    ASSERT_FALSE(step.empty());
    const std::string after = state();
    ASSERT_NE(before, after);
    step.undo(b());
    EXPECT_EQ(state(), before);
    step.redo(b());
    EXPECT_EQ(state(), after);
    step.undo(b());
    EXPECT_EQ(state(), before);
    // Undoing leaves nothing for the journal to record.
    EXPECT_FALSE(journal->pending());
  }
}

// The same on a base read from a stream, whose relation lists are made only
// when first needed: what undo puts back is in each list once.
TEST_F(JournalTest, UndoAndRedoRestoreABaseReadFromAStream) {
  const std::string saved = b().ecrire().bytes();
  auto consistent = [&] {
    // Every relation's list: its live triples, in the base's order.
    std::map<const MEntite*, std::vector<MTruc*>> byRelation;
    b().triplets().forEach([&](MTruc* t) { byRelation[t->relation()].push_back(t); });
    for (const auto& [relation, triples] : byRelation) {
      std::vector<MTruc*> listed;
      relation->relations().forEach([&](MTruc* t) {
        if (b().owns(t)) listed.push_back(t);
      });
      EXPECT_EQ(listed, triples) << relation->nom();
    }
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.name);
    refs.clear();
    b().vider();
    MemoryStream in(saved);
    b().lire(std::move(in));
    a = sym("A")->pere_par_nom("sys_id", 0);
    b_ = sym("B")->pere_par_nom("sys_id", 0);
    value = a->valeur_de(rel("adresse"), 0);
    for (MEntite* e : {a, b_, value}) refs.emplace_back(e);
    const std::string before = b().ecrire().bytes();
    auto journal = std::make_unique<BaseJournal>(b());
    edit.run(*this);
    JournalStep step = journal->take();
    const std::string after = b().ecrire().bytes();
    step.undo(b());
    EXPECT_EQ(b().ecrire().bytes(), before);
    consistent();
    step.redo(b());
    EXPECT_EQ(b().ecrire().bytes(), after);
    consistent();
  }
}

// The subjects an undo must look at again: each once.
TEST_F(JournalTest, SubjectsOfAStep) {
  BaseJournal journal(b());
  a->affecter("nom", "autre");
  b_->ajouter("nom", "encore");
  a->retirer("l", 0);
  EXPECT_EQ(journal.take().subjects(), (std::vector<MEntite*>{a, b_}));
}

TEST_F(JournalTest, TriplesAddedThenRemovedLeaveNoTrace) {
  const std::string before = state();
  BaseJournal journal(b());
  MEntite* fresh = object("temporaire");
  a->ajouter(rel("l"), fresh);
  fresh->supprimer_liens();
  EXPECT_TRUE(journal.take().empty());
  EXPECT_EQ(state(), before);

  // The same across two steps joined: the first's addition goes with the second's removal.
  a->ajouter("l", "x");
  a->ajouter("l", "y");
  JournalStep first = journal.take();
  a->retirer("l", 20);
  a->ajouter("l", "z");
  const std::string after = state();
  first.append(journal.take());
  EXPECT_EQ(first.size(), 2u); // y and z added
  first.undo(b());
  EXPECT_EQ(state(), before);
  first.redo(b());
  EXPECT_EQ(state(), after);
}

// Queries put their solutions into the base and take them away; their
// variables and solutions belong to the query: none of it is an edit.
TEST_F(JournalTest, TheMachineryIsNotRecorded) {
  initialiser_requetes();
  const std::string before = state();
  BaseJournal journal(b());
  {
    Mrequete query("toto");
    query.compiler("REQ toto PARAMETRES X CORPS X sys_id A FIN", b());
    ASSERT_NE(query.resoudre(), nullptr);
  }
  EXPECT_TRUE(journal.take().empty());
  liberer_requetes();
  EXPECT_EQ(state(), before);
}

TEST_F(JournalTest, ReadingAStreamIsNotRecorded) {
  MemoryStream stream = b().ecrire();
  BaseJournal journal(b());
  b().lire(stream);
  EXPECT_FALSE(journal.pending());
  a->affecter("nom", "après");
  EXPECT_TRUE(journal.pending());
}

// Once the base was emptied, what was recorded before refers to symbols gone.
TEST_F(JournalTest, AStepRefusesAnotherContent) {
  JournalStep step;
  {
    BaseJournal journal(b());
    a->affecter("nom", "autre");
    step = journal.take();
    b_->affecter("nom", "pendant");
    b().vider();
    EXPECT_FALSE(journal.pending());
  }
  EXPECT_THROW(step.undo(b()), InternalError);
}

TEST_F(JournalTest, OneJournalPerBase) {
  BaseJournal journal(b());
  EXPECT_THROW(BaseJournal second(b()), InternalError);
  EXPECT_EQ(b().journal(), &journal);
}
