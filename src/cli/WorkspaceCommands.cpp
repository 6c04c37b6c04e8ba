// Commands that open a data file as the program does: check, week, period,
// view, stats, add, validate, import, timer.

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
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "model/WeekCsv.h"
#include "model/WeekTimetable.h"
#include "model/WeekValidation.h"
#include "model/RunningTimer.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <functional>
#include <iostream>
#include <optional>

namespace tessel::cli {

namespace {

std::string utf8(std::string_view text) { return cp1252ToUtf8(text); }

QString q(std::string_view text) { return fromCp1252(text); }

[[noreturn]] void fail(const QString& message) { throw TesselError(Message() + toCp1252(message)); }

QString fileName(const QString& path) { return "« " + path + " »"; }

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
  bool reopen = false;
  std::optional<QString> note;
  std::optional<QString> wait;
};

Options options(const Args& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--csv") {
      o.csv = true;
    } else if (args[i] == "--reopen") {
      o.reopen = true;
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
    std::cout << WeekCsv(sheet).toStdString();
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
    std::cout << PeriodCsv(grid).toStdString();
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

// What the commands that change a file share: the file read, changed and
// saved under its lock (two commands on one file take turns, waiting at most
// --wait seconds), a damaged file left alone, one of a newer version saved
// over only when forced. `change` answers whether there is anything to save;
// a missing file is made only when `create` is set.
void changeWorkspace(const QString& command, const QString& path, const std::optional<QString>& wait, bool create,
                     const std::function<bool()>& change) {
  bool waitIsNumber = true;
  const double waitSeconds = wait ? wait->toDouble(&waitIsNumber) : defaultWait;
  if (!waitIsNumber || waitSeconds < 0 || waitSeconds > 3600)
    throw UsageError("--wait attend un nombre de secondes entre 0 et 3600");
  if (!create && !QFileInfo::exists(path)) fail("Le fichier " + fileName(path) + " n'existe pas");
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
  openWorkspace(path, create, true);
  if (Storage::openedDamaged())
    fail("Le fichier " + fileName(path) + " est endommagé ; " + command +
         " le laisse tel quel. Son contenu peut être récupéré dans une copie avec « tessel-cli "
         "convert --force FICHIER COPIE ».");
  if (Storage::fileRead().newer && !forced)
    fail("Le fichier " + fileName(path) + " a été écrit par une version plus récente du logiciel (" +
         q(Storage::fileRead().versionText()) + ") : " + command +
         " l'enregistrerait au format de cette version. Relancez avec --force pour l'accepter.");
  if (change()) save(path);
}

Mcategorie* knownCategory(const QString& name) {
  if (Mcategorie* category = CategoryNamed(name)) return category;
  QStringList known;
  for (MObject_OCS* c : Mcategorie::Class().LoadedObjects()) known << q(static_cast<Mcategorie*>(c)->Name());
  fail("Catégorie inconnue : « " + name + " ». Catégories : " + known.join(", "));
}

QString addEntry(TDateTime day, const QString& name, const QString& time, const std::optional<QString>& noteText) {
  Mcategorie* category = knownCategory(name);
  CheckWeekOpen(day);
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
  const Moccurence* saved = sheet.entry(row, column);
  return activityName(sheet.activity(row)) + ", " + q(DateTextOf(true, day)) + " : " +
         (saved ? q(DurationText(saved->TimeSpent())) : QString("aucune durée"));
}

} // namespace

int add(const Args& args) {
  const Options o = options(args);
  if (o.positional.size() != 4) throw UsageError("add attend un fichier, une date, une catégorie et une durée HH:MM");
  const QString path = o.positional[0];
  const TDateTime day = parseDay(o.positional[1]);
  QString done;
  changeWorkspace("add", path, o.wait, true, [&] {
    done = addEntry(day, o.positional[2], o.positional[3], o.note);
    return true;
  });
  print(done);
  return 0;
}

// ---------------------------------------------------------------- validate

int validate(const Args& args) {
  const Options o = options(args);
  if (o.positional.size() != 2) throw UsageError("validate attend un fichier et une date");
  const QString path = o.positional[0];
  const TDateTime day = parseDay(o.positional[1]);
  const QString week = "La semaine du lundi " + q(DateTextOf(false, MondayOf(day)));
  QString done;
  changeWorkspace("validate", path, o.wait, false, [&] {
    const bool was = IsWeekValidated(day);
    const int changed = SetWeekValidated(day, !o.reopen);
    if (o.reopen)
      done = week + (was ? QString(" est rouverte (%1 durée(s)).").arg(changed) : " n'était pas validée.");
    else if (changed == 0 && !was)
      fail(week + " n'a aucune durée : il n'y a rien à valider.");
    else if (changed == 0)
      done = week + " était déjà validée.";
    else
      done = week + QString(" est validée (%1 durée(s)).").arg(changed);
    return changed > 0;
  });
  print(done);
  return 0;
}

// ---------------------------------------------------------------- import

int importCsv(const Args& args) {
  const Options o = options(args);
  if (o.positional.size() != 2) throw UsageError("import attend un fichier et un fichier CSV");
  const QString path = o.positional[0];
  QFile data(o.positional[1]);
  if (!data.open(QIODevice::ReadOnly))
    fail("Impossible de lire " + fileName(o.positional[1]) + " : " + data.errorString());
  const QByteArray bytes = data.readAll();
  // Read before the file is taken: a bad line never holds it.
  const std::vector<ImportedTime> times = ReadTimesCsv(bytes);
  ImportSummary summary;
  changeWorkspace("import", path, o.wait, true, [&] {
    summary = ImportTimes(times);
    return summary.times > 0 || !summary.categories.empty();
  });
  QString done = QString("%1 durée(s) importée(s)").arg(summary.times);
  if (!summary.categories.empty()) {
    QStringList made;
    for (const std::string& name : summary.categories) made << q(name);
    done += " ; catégorie(s) créée(s) : " + made.join(", ");
  }
  print(done + ".");
  return 0;
}

// ---------------------------------------------------------------- timer

namespace {

QString clock(qint64 seconds) {
  return QString("%1:%2").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar('0'));
}

QString runText(const TimerRun& run, qint64 elapsed) {
  return "« " + run.category + " » depuis le " + QLocale(QLocale::French).toString(run.start, "dd/MM/yyyy HH:mm") +
         " (" + clock(elapsed) + "), document " + fileName(run.document);
}

QString stopText(const TimerStop& stop) {
  QString text = QString("%1 ajoutée(s)").arg(clock(qint64(stop.minutes) * 60));
  if (stop.shares.size() > 1) {
    QStringList days;
    for (const TimerStop::Share& share : stop.shares)
      days << q(DateTextOf(false, share.day)) + " : " + clock(qint64(share.minutes) * 60);
    text += " (" + days.join(", ") + ")";
  }
  if (stop.droppedMinutes > 0)
    text += " ; " + clock(qint64(stop.droppedMinutes) * 60) + " au-delà de 23:59 par jour n'ont pas été comptées";
  return text;
}

} // namespace

int timer(const Args& args) {
  const Options o = options(args);
  if (o.positional.size() < 2) throw UsageError("timer attend un fichier et start CATEGORIE, stop ou status");
  const QString path = o.positional[0];
  const QString action = o.positional[1];
  RunningTimer running;
  if (action == "status" && o.positional.size() == 2) {
    const std::optional<TimerRun> run = running.running();
    if (!run)
      print("Aucun chronomètre ne tourne.");
    else
      print((running.runsFor(path) ? "Chronomètre " : "Chronomètre d'un autre document : ") +
            runText(*run, running.elapsedSeconds()));
    return 0;
  }
  if (action == "start" && o.positional.size() == 3) {
    QString done;
    changeWorkspace("timer", path, o.wait, false, [&] {
      Mcategorie* category = knownCategory(o.positional[2]);
      TimerStop stopped;
      if (running.start(path, *category, false) == RunningTimer::Start::OtherRunning) {
        const std::optional<TimerRun> other = running.running();
        const QString question = "Un chronomètre tourne déjà : " + runText(*other, running.elapsedSeconds()) +
                                 (running.runsFor(path) ? ". L'arrêter (sa durée est ajoutée) et démarrer celui-ci ?"
                                                        : ". L'abandonner (sa durée est perdue) et démarrer celui-ci ?");
        if (!prompts().askYesNo(toCp1252(question)))
          fail("Un chronomètre tourne déjà ; relancez avec --yes pour le remplacer.");
        stopped.minutes = -1;
        running.start(path, *category, true, &stopped);
      }
      done = "Chronomètre démarré pour « " + q(category->Name()) + " ».";
      if (stopped.minutes >= 0 && !stopped.shares.empty()) done = "Chronomètre précédent arrêté : " + stopText(stopped) + ".\n" + done;
      return !stopped.shares.empty();
    });
    print(done);
    return 0;
  }
  if (action == "stop" && o.positional.size() == 2) {
    TimerStop stopped;
    changeWorkspace("timer", path, o.wait, false, [&] {
      stopped = running.record(path);
      return !stopped.shares.empty();
    });
    // Forgotten once its time is safely saved: a failed save leaves it running.
    running.forget();
    print("Chronomètre arrêté : " + stopText(stopped) + ".");
    return 0;
  }
  throw UsageError("timer attend un fichier et start CATEGORIE, stop ou status");
}

} // namespace tessel::cli
