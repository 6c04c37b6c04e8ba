#include "engine/ZEP_requete.h"

#include "engine/ZEP_BDC.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "foundation/UserPrompts.h"
#include "foundation/ZEP_Dates.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <array>
#include <utility>

namespace tessel {

namespace {

// A plain pointer rather than a static owner: a base destroyed at exit releases
// the analyser, and must not meet an owner that exit has already destroyed.
constinit Mparser_syntaxique* parser = nullptr;

void setAnalyser(std::unique_ptr<Mparser_syntaxique> next) {
  delete std::exchange(parser, next.release());
}

// Less-or-equal is read both as "=<" (the analyser's operator) and "<=".
constexpr std::array<std::string_view, 11> comparisonNames = {"<>",    "=",     "<",      ">",      ">=", "<=",
                                                              "date<", "date>", "date<=", "date>=", "=<"};

std::string classOf(const MEntite* word) {
  const MEntite* entry = entree_lexicale(word);
  if (!entry) return {};
  const MEntite* cls = entry->valeur_de(base_courante->symbole("classe_symbole"), 0);
  return cls ? cls->nom() : std::string();
}

bool isKeyword(const MEntite* word) { return classOf(word) == "classe_mots_clefs"; }
bool isSeparator(const MEntite* word) { return classOf(word) == "classe_separateur"; }
bool isOperator(const MEntite* word) { return classOf(word) == "classe_operateur"; }

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

double number(const std::string& text) {
  bool ok = false;
  const double value = dateLocale().toDouble(fromCp1252(text).trimmed(), &ok);
  if (!ok)
    throw ConvertError(Message() + quoted(text) + " n'est pas une valeur en virgule flottante correcte", text);
  return value;
}

QDate date(const std::string& text) {
  std::string plain;
  for (char c : text)
    if (c != '"') plain += c;
  const QDate value = dateLocale().toDate(fromCp1252(plain).trimmed(), QLocale::ShortFormat);
  if (!value.isValid()) throw ConvertError(Message() + quoted(plain) + " n'est pas une date correcte", plain);
  return value;
}

} // namespace

bool estNomDeComparaison(std::string_view name) {
  for (std::string_view n : comparisonNames)
    if (n == name) return true;
  return false;
}

bool estNomOperateurRequete(std::string_view name) { return name == "." || estNomDeComparaison(name); }

// ---------------------------------------------------------------- analyser

Mparser_syntaxique* analyseur_requetes() { return parser; }

void initialiser_requetes() {
  setAnalyser(nullptr);
  auto next = std::make_unique<Mparser_syntaxique>();
  next->avec_hexa = false;
  next->avec_nombre = false;
  next->ajouter_mots_clefs({"REQ", "Description", "Parametres", "Domaines", "Contraintes", "Corps", "Fin", "Lire",
                              "Afficher", "ajouter", "supprimer", "appel", "eval"});
  const std::vector<std::string> operators = {"+",  "(",     ")",      ",",      "<>",    "=", "inf", "sup",
                                              ">=", "=<",    "date<",  "date<=", "date>=", "date>", "."};
  next->ajouter_operateurs(operators);
  next->ajouter_separateurs({" ", "#13", "#10", "#9", "#27", "#0"});
  next->ajouter_delimiteurs({"\"", "\"", "{", "}", "//", "#13#10"});
  for (const std::string& op : operators)
    if (op != ".") base_courante->relation(op);

  MArbre_lexical& lexical = next->arbre_lexical();
  lexical.construire_standard(false, false);
  lexical.setSensibleCasse(false);
  std::bitset<256> more;
  for (char c : std::string_view("-.:<>")) more.set(static_cast<std::uint8_t>(c));
  for (char c = '0'; c <= '9'; ++c) more.set(static_cast<std::uint8_t>(c));
  for (int c : {232, 233, 234}) more.set(static_cast<std::size_t>(c));
  lexical.etendre_ensemble(lexical.boucle_identificateur(), more);
  std::bitset<256> start;
  for (char c : std::string_view("#$?")) start.set(static_cast<std::uint8_t>(c));
  for (char c = '0'; c <= '9'; ++c) start.set(static_cast<std::uint8_t>(c));
  lexical.etendre_ensemble(lexical.debut_identificateur(), start);
  next->construire();
  setAnalyser(std::move(next));
}

void liberer_requetes() { setAnalyser(nullptr); }

// ---------------------------------------------------------------- variables

void Tenviron_variables::reinitialiser() {
  for (Mvariable* v : *this)
    if (v->unique) v->valeurs_utilisees.clear();
}

// ---------------------------------------------------------------- conditions

MEntite* Mexpr_conditionnelle::valeurTerme(MEntite* term) {
  if (term && term->kind() == EntityKind::Variable) return static_cast<Mvariable*>(term)->liaison;
  return term;
}

bool Mexpr_conditionnelle::accepte(MEntite* term, const MEntite* x) {
  if (const MEntite* value = valeurTerme(term)) return value == x;
  if (!term || term->kind() != EntityKind::Variable) return false;
  const auto* v = static_cast<const Mvariable*>(term);
  return !v->unique || !v->valeurs_utilisees.contains(x);
}

bool Mexpr_conditionnelle::convient(const MTruc* t) const {
  return accepte(subject_, t->sujet()) && accepte(relation_, t->relation()) && accepte(value_, t->valeur());
}

bool Mexpr_conditionnelle_negative::convient(const MTruc* t) const {
  return accepte(sujet(), t->sujet()) && accepte(relation(), t->relation()) && !accepte(valeur(), t->valeur());
}

bool Mexpr_conditionnelle::estComparaison() const {
  return relation_ && estNomOperateurRequete(relation_->isTriple() ? relation_->nom() : std::string(relation_->name()));
}

void Mexpr_conditionnelle::preparer() {
  constexpr int limit = 32000;
  struct Candidate {
    MEntite* anchor = nullptr;
    Role role = RoleSubject;
    int count = 0;
  } best, bestOver;
  auto consider = [&](MEntite* term, Role role) {
    MEntite* value = valeurTerme(term);
    if (!value || estNomOperateurRequete(value->isTriple() ? value->nom() : std::string(value->name()))) return;
    // A relation list still to be made is made only when chosen.
    const int count = role == RoleSubject    ? value->subjects().count()
                      : role == RoleRelation ? value->relationCount()
                                             : value->values().count();
    Candidate& slot = count < limit ? best : bestOver;
    if (!slot.anchor || count < slot.count) slot = {value, role, count};
  };
  consider(subject_, RoleSubject);
  consider(relation_, RoleRelation);
  consider(value_, RoleValue);
  // Every usable term over the limit: the shortest is walked anyway, so
  // queries on very large classes keep working.
  const Candidate& chosen = best.anchor ? best : bestOver;
  anchor_ = chosen.anchor;
  candidates_ = !anchor_                      ? nullptr
                : chosen.role == RoleSubject  ? &anchor_->subjects()
                : chosen.role == RoleRelation ? &anchor_->relations()
                                              : &anchor_->values();
  cursor_ = -1;
}

bool Mexpr_conditionnelle::suivant() {
  if (estComparaison()) return comparer();
  if (!candidates_) {
    query_.stopped_ = true; // nothing to walk: the solve ends with what it found
    return false;
  }
  MWorkSpace* restriction = query_.restriction();
  while (++cursor_ < candidates_->rawSize()) {
    const MTruc* t = candidates_->raw(cursor_);
    if (!t || (restriction && !restriction->contient(t))) continue;
    if (convient(t)) {
      lier(t);
      return true;
    }
  }
  cursor_ = candidates_->rawSize();
  return false;
}

void Mexpr_conditionnelle::lier(const MTruc* t) {
  MEntite* const terms[3] = {subject_, relation_, value_};
  MEntite* const parts[3] = {t->sujet(), t->relation(), t->valeur()};
  for (int i = 0; i < 3; ++i) {
    if (!terms[i] || terms[i]->kind() != EntityKind::Variable) continue;
    auto* v = static_cast<Mvariable*>(terms[i]);
    if (v->liaison) continue;
    v->liaison = parts[i];
    v->lieur = this;
  }
}

void Mexpr_conditionnelle::delier() {
  for (MEntite* term : {subject_, relation_, value_}) {
    if (!term || term->kind() != EntityKind::Variable) continue;
    auto* v = static_cast<Mvariable*>(term);
    if (v->lieur == this) {
      v->liaison = nullptr;
      v->lieur = nullptr;
    }
  }
}

bool Mexpr_conditionnelle::comparer() {
  const std::string op = relation_->isTriple() ? relation_->nom() : std::string(relation_->name());
  if (!estNomDeComparaison(op)) return false;
  const MEntite* left = valeurTerme(subject_);
  const MEntite* right = valeurTerme(value_);
  if (!left || !right) return false;
  const std::string p = left->nom();
  const std::string q = right->nom();
  bool result = false;
  if (op == "<") result = number(p) < number(q);
  else if (op == "=<" || op == "<=") result = number(p) <= number(q);
  else if (op == ">") result = number(p) > number(q);
  else if (op == ">=") result = number(p) >= number(q);
  else if (op == "=") result = p == q;
  else if (op == "<>") result = p != q;
  else if (op == "date<") result = date(p) < date(q);
  else if (op == "date>") result = date(p) > date(q);
  else if (op == "date<=") result = date(p) <= date(q);
  else if (op == "date>=") result = date(p) >= date(q);
  if (result) compared_ = true;
  return result;
}

// ---------------------------------------------------------------- Mrequete

Mrequete::Mrequete(std::string_view name)
    : name_(name), description_(name), body_(std::make_unique<Mtablo_syntaxique>("tablo_syntaxique_requete")) {}

Mrequete::~Mrequete() {
  solution_.reset();
  conditions_.clear();
  variables_.Clear();
  ownedVariables_.clear();
  body_.reset();
}

Mvariable* Mrequete::nouvelle_variable(std::string_view name) {
  ownedVariables_.push_back(std::make_unique<Mvariable>(name));
  variables_.Add(ownedVariables_.back().get());
  return ownedVariables_.back().get();
}

Mvariable* Mrequete::trouver_variable(std::string_view name) const {
  for (int i = variables_.Count() - 1; i >= 0; --i)
    if (SameText(variables_.Item(i)->name(), name)) return variables_.Item(i);
  return nullptr;
}

namespace {

MEntite* askVariable(Mrequete& query, MBC& base, std::string_view name) {
  if (prompts().askYesNo("Désirez-vous que "_w.data() + std::string(name) + " soit une variable ?"))
    return query.nouvelle_variable(name);
  return base.symbole(name);
}

} // namespace

MEntite* Mrequete::resoudre_terme(std::string_view name) {
  if (Mvariable* v = trouver_variable(name)) return v;
  if (!name.empty() && name.front() == '"') {
    std::string plain;
    for (char c : name)
      if (c != '"') plain += c;
    return base_->symbole(plain);
  }
  if (MEntite* s = base_->chercher_symbole(name); s && !base_->texteDeMotSeulement(s)) return s;
  return askVariable(*this, *base_, name);
}

MEntite* Mrequete::resoudre_relation(std::string_view name) {
  if (Mvariable* v = trouver_variable(name)) return v;
  if (MEntite* r = base_->chercher_relation(name); r && !base_->texteDeMotSeulement(r)) return r;
  return askVariable(*this, *base_, name);
}

std::string Mrequete::variable_temporaire() {
  for (int n = 0;; ++n) {
    const std::string name = "#TMP" + std::to_string(n);
    bool taken = false;
    for (const Mvariable* v : variables_) taken = taken || v->name() == name;
    if (!taken) {
      nouvelle_variable(name);
      return name;
    }
  }
}

void Mrequete::ajouter_condition(int kind, std::string_view subject, std::string_view relation,
                                 std::string_view value) {
  if (kind != 0 && kind != 3) return;
  MEntite* s = resoudre_terme(subject);
  MEntite* r = resoudre_relation(relation);
  MEntite* v = resoudre_terme(value);
  if (kind == 0)
    conditions_.push_back(std::make_unique<Mexpr_conditionnelle>(*this, s, r, v));
  else
    conditions_.push_back(std::make_unique<Mexpr_conditionnelle_negative>(*this, s, r, v));
}

void Mrequete::compiler(std::string_view text, MBC& base) {
  base_ = &base;
  if (!analyseur_requetes()) initialiser_requetes();
  analyseur_requetes()->analyser(text);
  lire_sections(analyseur_requetes()->tablo_syntaxique());
  construire_conditions();
}

namespace {

[[noreturn]] void malformed(const Message& what) {
  throw TesselError(Message("Requête mal formée : "_w) + what.text());
}

[[noreturn]] void malformed(MessageLiteral what) { malformed(Message(what)); }

std::string quotedWords(const std::string* terms, int from, int to) {
  std::string text;
  for (int k = from; k < to; ++k) text += (text.empty() ? "" : " ") + terms[k];
  return std::string("« "_w) + text + std::string(" »"_w);
}

} // namespace

void Mrequete::lire_sections(Mtablo_syntaxique& words) {
  const int count = words.nb_mots();
  const auto text = [&](int i) { return texte_mot(words.mot(i)); };
  int first = 0;
  while (first < count && isSeparator(words.mot(first))) ++first;
  if (first == count) malformed("le texte est vide.");
  if (!SameText(text(first), "REQ"))
    malformed(Message("elle doit commencer par REQ, pas par « "_w) + text(first) + " »."_w);
  bool body = false, ended = false;
  int i = 0;
  do {
    if (i >= count) break;
    const std::string word = text(i);
    if (SameText(word, "REQ")) {
      std::string name;
      for (++i; i < count && !isKeyword(words.mot(i)); ++i) name += text(i);
      name_ = name;
    } else if (SameText(word, "DESCRIPTION")) {
      for (++i; i < count && isSeparator(words.mot(i)); ++i) {
      }
      if (i < count) {
        const std::string d = text(i);
        description_ = d.size() >= 2 ? d.substr(1, d.size() - 2) : std::string();
      }
    } else if (SameText(word, "PARAMETRES")) {
      for (++i; i < count && !isKeyword(words.mot(i)); ++i)
        if (!isSeparator(words.mot(i))) nouvelle_variable(text(i));
    } else if (SameText(word, "CONTRAINTES")) {
      std::vector<std::string> items;
      for (++i; i < count && !isKeyword(words.mot(i)); ++i)
        if (!isSeparator(words.mot(i))) items.push_back(text(i));
      for (std::size_t k = 0; k + 1 < items.size(); k += 2) {
        if (items[k + 1] != "UNIQUE") continue;
        for (Mvariable* v : variables_)
          if (v->name() == items[k]) v->unique = true;
      }
    } else if (SameText(word, "DOMAINES")) {
      for (++i; i < count && !isKeyword(words.mot(i)); ++i) {
      }
    } else if (SameText(word, "CORPS")) {
      body = true;
      body_->vider();
      for (i += 2; i < count && !SameText(text(i), "FIN"); ++i) {
        MEntite* w = words.mot(i);
        if (!isKeyword(w) && !isSeparator(w)) body_->ajouter_mot(w);
      }
      ended = ended || i < count;
      i += 1;
    } else {
      ++i;
    }
  } while (i < count - 2);
  // The loop stops two words short of the end: a CORPS there has no body.
  for (int k = i; !body && k < count; ++k) body = SameText(text(k), "CORPS");
  if (!body) malformed("la section CORPS manque.");
  if (!ended) malformed("le corps ne se termine pas par FIN.");
}

void Mrequete::construire_conditions() {
  conditions_.clear();
  // A text without a body leaves the table as created: no word to read.
  const int count = std::min(body_->nb_mots(), body_->tableau().nb_fils() - 1);
  int cursor = -1;
  std::string terms[4];
  int next = 1;
  // Every word is taken through here: a body that stops in the middle of a
  // pattern is reported with the words it has, never read past its end.
  const auto nextWord = [&]() -> MEntite* {
    if (cursor + 1 >= count)
      malformed(Message("le motif ") + quotedWords(terms, 1, next) +
                " s'arrête à la fin du corps (mot "_w + std::to_string(count) +
                ") : il lui faut un sujet, une relation et une valeur.");
    return body_->mot(++cursor);
  };
  const auto place = [&] { return " (mot " + std::to_string(cursor + 1) + " du corps)."; };
  while (cursor < count - 1) {
    for (std::string& t : terms) t.clear();
    next = 1;
    bool group = false;
    int kind = 0;
    const auto fill = [&](const std::string& text) {
      if (next > 3) malformed(Message("un terme de trop après "_w) + quotedWords(terms, 1, 4) + place());
      terms[next++] = text;
    };
    for (bool complete = false; !complete;) {
      MEntite* word = nextWord();
      const std::string text = texte_mot(word);
      if (isOperator(word)) {
        if (text == ".") {
          if (next != 3) malformed(Message("« . » doit suivre un sujet et une relation"_w) + place());
          const std::string t = variable_temporaire();
          ajouter_condition(0, terms[1], terms[2], t);
          terms[1] = t;
          terms[2].clear();
          next = 2;
        } else if (text == "(") {
          group = true;
        } else if (text == ")") {
          group = false;
        } else if (text == ",") {
          if (group) {
            if (next != 4) malformed(Message("« , » doit suivre un motif complet"_w) + place());
            ajouter_condition(0, terms[1], terms[2], terms[3]);
            next = 2;
          }
        } else if (estNomDeComparaison(text)) {
          fill(text);
        }
      } else if (SameText(text, "NOT")) {
        if (next != 1) malformed(Message("NOT doit précéder un motif"_w) + place());
        for (int k = 1; k <= 3; ++k) {
          terms[k] = texte_mot(nextWord());
          next = k + 1;
        }
        kind = 3;
        complete = true;
      } else if (text == "<" && cursor + 1 < count && texte_mot(body_->mot(cursor + 1)) == "=") {
        // "<=" reaches the analyser as "<" then "=": one less-or-equal.
        ++cursor;
        fill("=<");
      } else {
        fill(text);
        complete = next > 3;
      }
    }
    ajouter_condition(kind, terms[1], terms[2], terms[3]);
  }
}

Mens_solution* Mrequete::resoudre(MWorkSpace* workspace) {
  restriction_ = workspace;
  variables_.reinitialiser();
  solution_ = std::make_unique<Mens_solution>();
  if (conditions_.empty()) return nullptr;
  relVariable_ = base_->relation("variable");
  relValeur_ = base_->relation("valeur");
  relNom_ = base_->relation("nom");
  relSolution_ = base_->relation("solution");
  stopped_ = false;
  index_ = 0;
  current_ = conditions_[0].get();
  current_->preparer();
  for (;;) {
    const Step step = etape();
    if (step == Step::Finished) break;
    if (step != Step::Solution) continue;
    const int k = enregistrer_solution();
    if (k == index_) {
      if (current_->compare() && !reculer()) break;
      current_->delier();
    } else {
      // Backing up unbinds every condition it lands on, not the one it
      // leaves: a value that one bound would stay and hide later candidates.
      current_->delier();
      bool more = true;
      while (more && index_ > k) more = reculer();
      if (!more) break;
    }
  }
  return solution_.get();
}

Mrequete::Step Mrequete::etape() {
  if (current_->suivant()) {
    if (index_ == static_cast<int>(conditions_.size()) - 1) return Step::Solution;
    avancer();
    return Step::Continue;
  }
  if (stopped_) return Step::Finished;
  if (index_ > 0) return reculer() ? Step::Continue : Step::Finished;
  return Step::Finished;
}

void Mrequete::avancer() {
  current_ = conditions_[static_cast<std::size_t>(++index_)].get();
  current_->preparer();
}

bool Mrequete::reculer() {
  do {
    if (index_ == 0) return false; // nothing earlier to resume: the solve is over
    current_ = conditions_[static_cast<std::size_t>(--index_)].get();
    current_->delier();
  } while (current_->compare());
  return true;
}

int Mrequete::enregistrer_solution() {
  int k = index_;
  EntityRef row = base_->nouvelle_entite();
  for (Mvariable* v : variables_) {
    EntityRef cell = base_->nouvelle_entite();
    base_->ajouter_triplet(row.get(), relVariable_, cell.get());
    if (v->liaison) {
      if (v->unique) {
        v->valeurs_utilisees.insert(v->liaison);
        for (std::size_t c = 0; c < conditions_.size(); ++c)
          if (conditions_[c].get() == v->lieur) k = static_cast<int>(c);
      }
      base_->ajouter_triplet(cell.get(), relValeur_, v->liaison);
    }
    base_->ajouter_triplet(cell.get(), relNom_, v);
  }
  base_->ajouter_triplet(solution_.get(), relSolution_, row.get());
  return k;
}

} // namespace tessel
