// Commands that open a data file as the program does: check, week, period,
// view, stats, add.

#include "cli/CliSupport.h"

#include "foundation/Cp1252.h"
#include "foundation/DocumentLock.h"
#include "foundation/FileAccess.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/DocumentManager.h"
#include "model/PeriodGrid.h"
#include "model/PieStatistics.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/WeekTimetable.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <iostream>
#include <optional>

namespace tessel::cli {

namespace {

std::string utf8(std::string_view text) { return cp1252ToUtf8(text); }

QString q(std::string_view text) { return fromCp1252(text); }

[[noreturn]] void fail(const QString& message) { throw TesselError(Message() + toCp1252(message)); }

QString fileName(const QString& path) { return "« " + path + " »"; }

QString isoDate(TDateTime day) {
  int y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  return QDate(y, m, d).toString("yyyy-MM-dd");
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
QString csv(const QString& field) {
  if (!field.contains(QRegularExpression("[\",\r\n]"))) return field;
  QString quoted = field;
  quoted.replace("\"", "\"\"");
  return "\"" + quoted + "\"";
}

QString padded(const QString& text, int width) {
  return text.size() > width ? text.left(width - 1) + QChar(0x2026) : text.leftJustified(width);
}

void print(const QString& line) { std::cout << line.toStdString() << '\n'; }

// Options ("--csv", "--note TEXT") out of the arguments.
struct Options {
  Args positional;
  bool csv = false;
  std::optional<QString> note;
  std::optional<QString> wait;
};

Options options(const Args& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--csv") {
      o.csv = true;
    } else if (args[i] == "--note") {
      if (i + 1 >= args.size()) throw UsageError("--note attend un texte");
      o.note = args[++i];
    } else if (args[i] == "--wait") {
      if (i + 1 >= args.size()) throw UsageError("--wait attend un nombre de secondes");
      o.wait = args[++i];
    } else {
      o.positional.push_back(args[i]);
    }
  }
  return o;
}

QString activityName(const MObject_OCS* activity) { return activity ? q(activity->DisplayText()) : QString(); }

} // namespace

TDateTime parseDay(const std::optional<QString>& text) {
  if (!text) return Today();
  QDate date = QDate::fromString(*text, "yyyy-MM-dd");
  if (!date.isValid()) date = QDate::fromString(*text, "dd/MM/yyyy");
  if (!date.isValid()) fail("Date incorrecte : « " + *text + " » (attendu aaaa-mm-jj ou jj/mm/aaaa)");
  return EncodeDate(date.year(), date.month(), date.day());
}

bool forced = false;

void openWorkspace(const QString& path, bool create, bool acceptDamaged) {
  static const bool ready = (SetUpApplicationModel(), true);
  (void)ready;
  const bool exists = QFileInfo::exists(path);
  if (!create && !exists) fail("Le fichier " + fileName(path) + " n'existe pas");
  Storage::BindStorage();
  const ClassList& classes = Tadministration_FRAME::instance().loadList();
  if (!exists) {
    Storage::OpenEmpty(classes, DocumentManager::instance().before);
  } else {
    try {
      Storage::OpenBase(path, classes, DocumentManager::instance().before, {}, acceptDamaged);
    } catch (const DamagedFileError& e) {
      throw DamagedFileError(Message() + std::string(e.what()) +
                             " Relancez avec --force pour le lire quand même."_w);
    }
    if (Storage::openedDamaged() && forced)
      prompts().message(MessageKind::Warning, toCp1252("le fichier " + fileName(path) +
                                                       " est endommagé ; il est lu quand même (--force)."));
  }
  DocumentManager::instance().AfterDocumentLoaded();
}

// ---------------------------------------------------------------- check

namespace {

// Schema reports go to standard output; anything else as before.
class ReportPrompts final : public UserPrompts {
public:
  explicit ReportPrompts(UserPrompts& others) : others_(others) {}
  void message(MessageKind kind, const std::string& text) override {
    if (kind == MessageKind::Plain && text.find(" instance(s) de la classe : ") != std::string::npos) {
      std::cout << utf8(text);
      ++reports;
    } else {
      others_.message(kind, text);
    }
  }
  bool askYesNo(const std::string& text) override { return others_.askYesNo(text); }
  bool askYesCancel(const std::string& text) override { return others_.askYesCancel(text); }
  Answer askYesNoCancel(const std::string& text) override { return others_.askYesNoCancel(text); }
  void showError(const std::string& text) override { others_.showError(text); }
  void setBusy(bool) override {}
  int reports = 0;

private:
  UserPrompts& others_;
};

} // namespace

int check(const Args& args) {
  if (args.size() != 1) throw UsageError("check attend un fichier");
  ReportPrompts reports(prompts());
  UserPrompts* previous = installPrompts(&reports);
  struct Restore {
    UserPrompts* p;
    ~Restore() { installPrompts(p); }
  } restore{previous};
  openWorkspace(args[0], false, forced);
  if (reports.reports == 0) print("Aucune erreur");
  return reports.reports == 0 ? 0 : 1;
}

// ---------------------------------------------------------------- week

int week(const Args& args) {
  const Options o = options(args);
  if (o.positional.empty() || o.positional.size() > 2) throw UsageError("week attend un fichier et une date facultative");
  openWorkspace(o.positional[0], false, forced);
  WeekTimetable sheet;
  sheet.load(parseDay(o.positional.size() > 1 ? std::optional<QString>(o.positional[1]) : std::nullopt));

  if (o.csv) {
    QStringList header{"activity"};
    for (int d = 0; d < WeekTimetable::days; ++d) header << isoDate(sheet.monday() + d);
    header << "total";
    print(header.join(','));
    for (int r = 0; r < sheet.rowCount(); ++r) {
      QStringList line{csv(activityName(sheet.activity(r)))};
      for (int d = 0; d < WeekTimetable::days; ++d)
        line << (sheet.entry(r, d) ? q(DurationText(sheet.entry(r, d)->TimeSpent())) : QString());
      line << q(DurationText(sheet.rowTotal(r)));
      print(line.join(','));
    }
    QStringList total{"TOTAL"};
    for (int d = 0; d < WeekTimetable::days; ++d) total << q(DurationText(sheet.dayTotal(d)));
    total << q(DurationText(sheet.weekTotal()));
    print(total.join(','));
    return 0;
  }

  print(q(sheet.title()));
  QString header = padded("Activité", 24);
  for (int d = 0; d < WeekTimetable::days; ++d) {
    int y = 0, m = 0, day = 0;
    DecodeDate(sheet.monday() + d, y, m, day);
    header += q(DayNamesShort()[static_cast<std::size_t>(d)]).leftJustified(5) + QString::number(day).rightJustified(2) + "  ";
  }
  print(header + "  Total");
  for (int r = 0; r < sheet.rowCount(); ++r) {
    QString line = padded(activityName(sheet.activity(r)), 24);
    for (int d = 0; d < WeekTimetable::days; ++d)
      line += (sheet.entry(r, d) ? q(DurationText(sheet.entry(r, d)->TimeSpent())) : QString()).rightJustified(7) + "  ";
    print(line + q(DurationText(sheet.rowTotal(r))).rightJustified(7));
  }
  QString totals = padded("Somme Horaire", 24);
  for (int d = 0; d < WeekTimetable::days; ++d) totals += q(DurationText(sheet.dayTotal(d))).rightJustified(7) + "  ";
  print(totals + q(DurationText(sheet.weekTotal())).rightJustified(7));
  return 0;
}

// ---------------------------------------------------------------- period

int period(const Args& args) {
  const Options o = options(args);
  if (o.positional.size() != 3) throw UsageError("period attend un fichier et deux dates");
  openWorkspace(o.positional[0], false, forced);
  const TDateTime first = parseDay(o.positional[1]);
  const TDateTime last = parseDay(o.positional[2]);
  ObjectStrings activities, entries;
  Moccurence::CollectPeriod(activities, entries, first, last);
  if (o.csv) print("activity,total");
  TDateTime all = 0;
  for (const auto& [name, activity] : activities) {
    TDateTime total = 0;
    for (const auto& [text, entry] : entries)
      if (static_cast<Moccurence*>(entry)->EntryOwner() == activity) total += static_cast<Moccurence*>(entry)->TimeSpent();
    all += total;
    if (o.csv)
      print(csv(activityName(activity)) + "," + q(DurationText(total)));
    else
      print(padded(activityName(activity), 32) + q(DurationText(total)).rightJustified(8));
  }
  if (!o.csv) print(padded("Total", 32) + q(DurationText(all)).rightJustified(8));
  return 0;
}

// ---------------------------------------------------------------- view

namespace {

QString entryText(const Moccurence* entry) { return entry ? q(DurationText(entry->TimeSpent())) : QString(); }

// As the period view's totals strip writes a day without time.
QString dayTotalText(TDateTime total) { return IsNonZeroDuration(DurationText(total)) ? q(DurationText(total)) : "-"; }

} // namespace

int view(const Args& args) {
  const Options o = options(args);
  if (o.positional.empty() || o.positional.size() > 2) throw UsageError("view attend un fichier et une date facultative");
  openWorkspace(o.positional[0], false, forced);
  PeriodGrid grid;
  grid.load(o.positional.size() > 1 ? parseDay(o.positional[1]) : MondayOf(Today()));
  constexpr int days = PeriodGrid::days;

  if (o.csv) {
    QStringList header{"activity", "total"};
    for (int d = 0; d < days; ++d) header << isoDate(grid.start() + d);
    print(header.join(','));
    for (int r = 0; r < grid.rowCount(); ++r) {
      QStringList line{csv(q(grid.name(r))), q(DurationText(grid.rowTotal(r)))};
      for (int d = 0; d < days; ++d) line << entryText(grid.entry(r, d));
      print(line.join(','));
    }
    QStringList total{"TOTAL", q(DurationText(grid.total()))};
    for (int d = 0; d < days; ++d) total << q(DurationText(grid.dayTotal(d)));
    print(total.join(','));
    return 0;
  }

  print(q(grid.title()));
  QString names = padded("Activité", 24) + QString("Total").rightJustified(7);
  QString numbers = QString(31, ' ');
  for (int d = 0; d < days; ++d) {
    int y = 0, m = 0, day = 0;
    DecodeDate(grid.start() + d, y, m, day);
    names += q(DayNamesShort()[std::size_t(WeekDayIndex(day, m, y))]).rightJustified(6);
    numbers += QString::number(day).rightJustified(6);
  }
  print(names);
  print(numbers);
  for (int r = 0; r < grid.rowCount(); ++r) {
    QString line = padded(q(grid.name(r)), 24) + q(DurationText(grid.rowTotal(r))).rightJustified(7);
    for (int d = 0; d < days; ++d) line += entryText(grid.entry(r, d)).rightJustified(6);
    while (line.endsWith(' ')) line.chop(1);
    print(line);
  }
  QString totals = padded("Somme Horaire", 24) + q(DurationText(grid.total())).rightJustified(7);
  for (int d = 0; d < days; ++d) totals += dayTotalText(grid.dayTotal(d)).rightJustified(6);
  print(totals);
  return 0;
}

// ---------------------------------------------------------------- stats

int stats(const Args& args) {
  const Options o = options(args);
  if (o.positional.size() != 3) throw UsageError("stats attend un fichier et deux dates");
  openWorkspace(o.positional[0], false, forced);
  PieStatistics pie;
  pie.load(parseDay(o.positional[1]), parseDay(o.positional[2]));
  if (o.csv) print("activity,hours,percent");
  const QLocale french(QLocale::French, QLocale::France);
  for (std::size_t i = 0; i < pie.slices().size(); ++i) {
    const QString name = q(pie.slices()[i].name);
    const QString hours = QString::number(pie.slices()[i].hours);
    const double share = pie.percent(i);
    if (o.csv)
      print(csv(name) + "," + hours + "," + QString::number(share, 'f', 1));
    else
      print(padded(name, 32) + (hours + " h").rightJustified(8) +
            (french.toString(share, 'f', 1) + " %").rightJustified(10));
  }
  return 0;
}

// ---------------------------------------------------------------- add

namespace {

constexpr double defaultWait = 10;

// Saves what the command changed, unless the file is no longer the one read.
void save(const QString& path) {
  const FileFingerprint& read = Storage::fileRead().fingerprint;
  const FileState state = CompareWithDisk(path, read);
  const bool unchanged = read.exists ? state == FileState::Unchanged : state == FileState::Missing;
  if (!unchanged)
    fail("Le fichier " + fileName(path) +
         " a été modifié par un autre programme pendant la commande ; rien n'a été enregistré. Relancez la "
         "commande.");
  Storage::SaveBase(path);
}

int addEntry(const QString& path, TDateTime day, const QString& name, const QString& time,
             const std::optional<QString>& noteText) {
  Mcategorie* category = nullptr;
  QStringList known;
  for (MObject_OCS* c : Mcategorie::Class().LoadedObjects()) {
    const QString n = q(static_cast<Mcategorie*>(c)->Name());
    known << n;
    if (!category && n.compare(name, Qt::CaseInsensitive) == 0) category = static_cast<Mcategorie*>(c);
  }
  if (!category) fail("Catégorie inconnue : « " + name + " ». Catégories : " + known.join(", "));

  WeekTimetable sheet;
  sheet.load(day);
  sheet.addRow(category);
  const int row = sheet.rowOf(ActivityOfCategory(category));
  // A masked cell takes one or two hour digits and two minute digits.
  if (!WeekTimetable::isFreeTextRow(sheet.activity(row)) &&
      !QRegularExpression("^\\s?\\d{1,2}:\\d{2}$").match(time).hasMatch())
    fail("Durée incorrecte : « " + time + " » (attendu HH:MM)");
  Mcontenu* note = nullptr;
  if (noteText && IsNonZeroDuration(toCp1252(time))) {
    const std::string stored = EncodeText(toCp1252(*noteText));
    MObject_OCS::CheckTextLength(stored); // before anything is made
    note = new Mcontenu;
    note->SetTexte(stored);
  }
  const int column = static_cast<int>(day - sheet.monday());
  sheet.commit(row, column, toCp1252(time), note);
  save(path);
  const Moccurence* saved = sheet.entry(row, column);
  print(activityName(sheet.activity(row)) + ", " + q(DateTextOf(true, day)) + " : " +
        (saved ? q(DurationText(saved->TimeSpent())) : QString("aucune durée")));
  return 0;
}

} // namespace

int add(const Args& args) {
  const Options o = options(args);
  if (o.positional.size() != 4) throw UsageError("add attend un fichier, une date, une catégorie et une durée HH:MM");
  const QString path = o.positional[0];
  const TDateTime day = parseDay(o.positional[1]);
  const QString name = o.positional[2];
  const QString time = o.positional[3];
  bool waitIsNumber = true;
  const double waitSeconds = o.wait ? o.wait->toDouble(&waitIsNumber) : defaultWait;
  if (!waitIsNumber || waitSeconds < 0 || waitSeconds > 3600)
    throw UsageError("--wait attend un nombre de secondes entre 0 et 3600");
  // Read, change and save under the lock: two commands on one file take turns.
  DocumentLock lock;
  switch (lock.lock(path, std::chrono::milliseconds(static_cast<long long>(waitSeconds * 1000)))) {
  case DocumentLock::Outcome::Taken: break;
  case DocumentLock::Outcome::Held:
    fail("Le fichier " + fileName(path) + " est utilisé par " + q(lock.detail()) +
         " ; rien n'a été enregistré. Réessayez quand il sera libre, ou attendez plus longtemps avec --wait "
         "SECONDES.");
  case DocumentLock::Outcome::Impossible:
    fail("Impossible de verrouiller le fichier " + fileName(path) + " : " + q(lock.detail()) +
         " ; rien n'a été enregistré.");
  }
  openWorkspace(path, true, true);
  if (Storage::openedDamaged())
    fail("Le fichier " + fileName(path) +
         " est endommagé ; add le laisse tel quel. Son contenu peut être récupéré dans une copie avec « tessel-cli "
         "convert --force FICHIER COPIE ».");
  if (Storage::fileRead().newer && !forced)
    fail("Le fichier " + fileName(path) + " a été écrit par une version plus récente du logiciel (" +
         q(Storage::fileRead().versionText()) +
         ") : add l'enregistrerait au format de cette version. Relancez avec --force pour l'accepter.");
  return addEntry(path, day, name, time, o.note);
}

} // namespace tessel::cli
