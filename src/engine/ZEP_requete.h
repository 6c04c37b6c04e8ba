#pragma once
// The query language and its solver. A query declares variables and lists
// triple patterns over them ("REQ name PARAMETRES A CORPS A r v FIN");
// solving finds, depth first, every assignment of the variables for which all
// patterns hold, and records each as a row under a solution entity.

#include "engine/ZEP_Tables.h"
#include "engine/ZEP_parser.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tessel {

class MBC;
class Mrequete;
class Mexpr_conditionnelle;

class Mvariable : public MSymbole {
public:
  // Interned like a symbol, owned by its query.
  explicit Mvariable(std::string_view name) : MSymbole(name, false) {}
  EntityKind kind() const override { return EntityKind::Variable; }

  MEntite* liaison = nullptr;
  Mexpr_conditionnelle* lieur = nullptr;
  bool unique = false;
  // Values already delivered; only a unique variable keeps them.
  std::unordered_set<const MEntite*> valeurs_utilisees;
};

class Tenviron_variables : public MListe<Mvariable> {
public:
  // Forgets the values delivered by the unique variables.
  void reinitialiser();
};

class Tinstruction {
public:
  virtual ~Tinstruction() = default;
};

class Mexpr_conditionnelle : public Tinstruction {
public:
  Mexpr_conditionnelle(Mrequete& query, MEntite* subject, MEntite* relation, MEntite* value)
      : subject_(subject), relation_(relation), value_(value), query_(query) {}

  virtual bool convient(const MTruc* t) const;
  void preparer();
  bool suivant();
  void lier(const MTruc* t);
  void delier();
  bool comparer();

  MEntite* sujet() const { return subject_; }
  MEntite* relation() const { return relation_; }
  MEntite* valeur() const { return value_; }
  bool compare() const { return compared_; }
  // No list to walk: nothing can match this condition.
  bool sansCandidat() const { return !candidates_; }
  bool estComparaison() const;

protected:
  static MEntite* valeurTerme(MEntite* term);
  static bool accepte(MEntite* term, const MEntite* x);

private:
  MEntite* subject_;
  MEntite* relation_;
  MEntite* value_;
  MEntite* anchor_ = nullptr;
  const TripleList* candidates_ = nullptr;
  int cursor_ = -1;
  bool compared_ = false;
  Mrequete& query_;
};

class Mexpr_conditionnelle_negative : public Mexpr_conditionnelle {
public:
  using Mexpr_conditionnelle::Mexpr_conditionnelle;
  bool convient(const MTruc* t) const override;
};

class Mens_solution : public MEntite {
public:
  // Its rows and cells go with it.
  ~Mens_solution() override { supprimer_liens(); }
  EntityKind kind() const override { return EntityKind::Solution; }
};

class Mrequete : public MEntite {
public:
  explicit Mrequete(std::string_view name);
  ~Mrequete() override;
  EntityKind kind() const override { return EntityKind::Query; }

  void compiler(std::string_view text, MBC& base);
  // Null when the query has no condition. The query keeps the solution.
  Mens_solution* resoudre(MWorkSpace* workspace = nullptr);

  Mvariable* nouvelle_variable(std::string_view name);
  Mvariable* trouver_variable(std::string_view name) const;
  MEntite* resoudre_terme(std::string_view name);
  MEntite* resoudre_relation(std::string_view name);
  std::string variable_temporaire();
  void ajouter_condition(int kind, std::string_view subject, std::string_view relation, std::string_view value);

  const std::string& nom_requete() const { return name_; }
  const std::string& description() const { return description_; }
  Mtablo_syntaxique& corps() { return *body_; }
  const std::vector<std::unique_ptr<Mexpr_conditionnelle>>& conditions() const { return conditions_; }
  const Tenviron_variables& variables() const { return variables_; }
  Mens_solution* solution() const { return solution_.get(); }
  MWorkSpace* restriction() const { return restriction_; }

private:
  friend class Mexpr_conditionnelle;
  enum class Step { Solution, Continue, Finished };
  void lire_sections(Mtablo_syntaxique& words);
  void construire_conditions();
  Step etape();
  void avancer();
  bool reculer();
  int enregistrer_solution();

  std::string name_;
  std::string description_;
  std::unique_ptr<Mtablo_syntaxique> body_;
  std::vector<std::unique_ptr<Mexpr_conditionnelle>> conditions_;
  Tenviron_variables variables_;
  std::vector<std::unique_ptr<Mvariable>> ownedVariables_;
  std::unique_ptr<Mens_solution> solution_;
  int index_ = 0;
  Mexpr_conditionnelle* current_ = nullptr;
  MBC* base_ = nullptr;
  MWorkSpace* restriction_ = nullptr;
  bool stopped_ = false;
  MEntite* relVariable_ = nullptr;
  MEntite* relValeur_ = nullptr;
  MEntite* relNom_ = nullptr;
  MEntite* relSolution_ = nullptr;
};

// The process-wide query analyser, rebuilt at each load of a base.
Mparser_syntaxique* analyseur_requetes();
void initialiser_requetes();
void liberer_requetes();

// "<>", "=", "<", ">", ">=", "<=", "date<", "date>", "date<=", "date>=" (the
// comparisons a condition can hold), and the same with "." (the names a
// solver never walks).
bool estNomDeComparaison(std::string_view name);
bool estNomOperateurRequete(std::string_view name);

} // namespace tessel
