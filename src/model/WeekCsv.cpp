#include "model/WeekCsv.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/PeriodGrid.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "model/WeekTimetable.h"
#include "model/WeekValidation.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <map>
#include <optional>

namespace tessel {

namespace {

QString q(std::string_view text) { return fromCp1252(text); }

QString isoDate(TDateTime day) {
  int y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  return QDate(y, m, d).toString("yyyy-MM-dd");
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
QString csv(const QString& field) {
  static const QRegularExpression special("[\",\r\n]");
  if (!field.contains(special)) return field;
  QString quoted = field;
  quoted.replace("\"", "\"\"");
  return "\"" + quoted + "\"";
}

QString duration(TDateTime time) { return q(DurationText(time)); }
QString entryText(const Moccurence* entry) { return entry ? duration(entry->TimeSpent()) : QString(); }
QString activityName(const MObject_OCS* activity) { return activity ? q(activity->DisplayText()) : QString(); }

} // namespace

QString WeekCsv(const WeekTimetable& week) {
  QStringList header{"activity"};
  for (int d = 0; d < WeekTimetable::days; ++d) header << isoDate(week.monday() + d);
  header << "total";
  QString text = header.join(',') + '\n';
  for (int r = 0; r < week.rowCount(); ++r) {
    QStringList line{csv(activityName(week.activity(r)))};
    for (int d = 0; d < WeekTimetable::days; ++d) line << entryText(week.entry(r, d));
    line << duration(week.rowTotal(r));
    text += line.join(',') + '\n';
  }
  QStringList total{"TOTAL"};
  for (int d = 0; d < WeekTimetable::days; ++d) total << duration(week.dayTotal(d));
  total << duration(week.weekTotal());
  return text + total.join(',') + '\n';
}

QString PeriodCsv(const PeriodGrid& grid) {
  constexpr int days = PeriodGrid::days;
  QStringList header{"activity", "total"};
  for (int d = 0; d < days; ++d) header << isoDate(grid.start() + d);
  QString text = header.join(',') + '\n';
  for (int r = 0; r < grid.rowCount(); ++r) {
    QStringList line{csv(q(grid.name(r))), duration(grid.rowTotal(r))};
    for (int d = 0; d < days; ++d) line << entryText(grid.entry(r, d));
    text += line.join(',') + '\n';
  }
  QStringList total{"TOTAL", duration(grid.total())};
  for (int d = 0; d < days; ++d) total << duration(grid.dayTotal(d));
  return text + total.join(',') + '\n';
}

ImportError::ImportError(int line, const QString& why)
    : TesselError(Message("ligne ") + std::to_string(line) + " : " + toCp1252(why)), line_(line) {}

Mcategorie* CategoryNamed(const QString& name) {
  for (MObject_OCS* c : Mcategorie::Class().LoadedObjects())
    if (q(static_cast<Mcategorie*>(c)->Name()).compare(name, Qt::CaseInsensitive) == 0)
      return static_cast<Mcategorie*>(c);
  return nullptr;
}

// ---------------------------------------------------------------- reading

namespace {

struct Record {
  int line = 0; // where the record starts
  QStringList fields;
};

QString decoded(const QByteArray& data) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(data);
  if (utf8.hasError()) text = fromCp1252(std::string_view(data.constData(), std::size_t(data.size())));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

QChar separatorOf(const QString& text) {
  int commas = 0, semicolons = 0;
  bool quoted = false;
  for (const QChar c : text) {
    if (c == '"') quoted = !quoted;
    else if (!quoted && (c == '\n' || c == '\r')) break;
    else if (!quoted && c == ',') ++commas;
    else if (!quoted && c == ';') ++semicolons;
  }
  return semicolons > commas ? ';' : ',';
}

// The records of the text; lines without any text (a spreadsheet's empty
// rows, ";;;") are skipped.
std::vector<Record> records(const QString& text, QChar separator) {
  std::vector<Record> out;
  Record current;
  QString field;
  bool quoted = false, fieldQuoted = false, any = false;
  int line = 1;
  current.line = 1;
  auto endField = [&] {
    current.fields << (fieldQuoted ? field : field.trimmed());
    field.clear();
    fieldQuoted = false;
  };
  auto endRecord = [&] {
    endField();
    if (any) out.push_back(current);
    current = Record{};
    any = false;
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else if (c == '\r' || c == '\n') {
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++line;
        field += '\n';
      } else {
        field += c;
      }
    } else if (c == '"' && field.trimmed().isEmpty()) {
      quoted = fieldQuoted = any = true;
      field.clear();
    } else if (c == separator) {
      endField();
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      endRecord();
      current.line = ++line;
    } else {
      if (!c.isSpace()) any = true;
      field += c;
    }
  }
  if (quoted) throw ImportError(current.line, "guillemet non fermé");
  endRecord();
  return out;
}

std::optional<TDateTime> dateOf(const QString& text) {
  QDate date = QDate::fromString(text, "yyyy-MM-dd");
  if (!date.isValid()) date = QDate::fromString(text, "dd/MM/yyyy");
  if (!date.isValid()) return std::nullopt;
  return EncodeDate(date.year(), date.month(), date.day());
}

TDateTime dateField(const Record& r, const QString& text) {
  const std::optional<TDateTime> day = dateOf(text);
  if (!day) throw ImportError(r.line, "date incorrecte « " + text + " » (attendu aaaa-mm-jj ou jj/mm/aaaa)");
  return *day;
}

// Minutes of "H:MM" or "HH:MM" up to 23:59; an empty text is no time.
int minutesField(const Record& r, const QString& text) {
  if (text.isEmpty()) return 0;
  static const QRegularExpression time("^(\\d{1,2}):(\\d{2})$");
  const QRegularExpressionMatch m = time.match(text);
  const int hours = m.hasMatch() ? m.captured(1).toInt() : 0;
  const int minutes = m.hasMatch() ? m.captured(2).toInt() : 0;
  if (!m.hasMatch() || hours > 23 || minutes > 59)
    throw ImportError(r.line, "durée incorrecte « " + text + " » (attendu HH:MM, au plus 23:59)");
  return hours * 60 + minutes;
}

std::string activityField(const Record& r, const QString& text) {
  if (text.isEmpty()) throw ImportError(r.line, "activité manquante");
  return toCp1252(text);
}

std::string commentField(const Record& r, const QString& text) {
  if (text.isEmpty()) return {};
  const std::string stored = EncodeText(toEngineLines(text));
  try {
    MObject_OCS::CheckTextLength(stored);
  } catch (const TesselError& e) {
    throw ImportError(r.line, q(e.what()));
  }
  return stored;
}

bool isLabel(const QString& field, std::initializer_list<const char*> labels) {
  for (const char* label : labels)
    if (field.compare(QString::fromUtf8(label), Qt::CaseInsensitive) == 0) return true;
  return false;
}

std::vector<ImportedTime> weekLayout(const std::vector<Record>& rs) {
  const Record& header = rs.front();
  std::vector<TDateTime> days;
  qsizetype columns = 1;
  for (; columns < header.fields.size(); ++columns) {
    const std::optional<TDateTime> day = dateOf(header.fields[columns]);
    if (!day) break;
    days.push_back(*day);
  }
  // Only a total may follow the days.
  if (columns < header.fields.size() &&
      (columns + 1 < header.fields.size() || !isLabel(header.fields[columns], {"total"})))
    throw ImportError(header.line, "colonne « " + header.fields[columns] + " » inattendue");
  std::vector<ImportedTime> times;
  for (std::size_t i = 1; i < rs.size(); ++i) {
    const Record& r = rs[i];
    if (r.fields.front() == "TOTAL") continue;
    if (r.fields.size() > header.fields.size())
      throw ImportError(r.line, QString("%1 champs pour %2 colonnes").arg(r.fields.size()).arg(header.fields.size()));
    const std::string activity = activityField(r, r.fields.front());
    for (std::size_t d = 0; d < days.size(); ++d) {
      const qsizetype column = qsizetype(d) + 1;
      const QString cell = column < r.fields.size() ? r.fields[column] : QString();
      const int minutes = minutesField(r, cell);
      if (!cell.isEmpty()) times.push_back({r.line, days[d], activity, minutes, {}});
    }
  }
  return times;
}

std::vector<ImportedTime> entryLayout(const std::vector<Record>& rs, bool headed) {
  std::vector<ImportedTime> times;
  for (std::size_t i = headed ? 1 : 0; i < rs.size(); ++i) {
    const Record& r = rs[i];
    if (r.fields.size() < 3 || r.fields.size() > 4)
      throw ImportError(r.line, QString("%1 champs au lieu de 3 ou 4 (date, activité, durée, commentaire)")
                                    .arg(r.fields.size()));
    ImportedTime t;
    t.line = r.line;
    t.day = dateField(r, r.fields[0]);
    t.activity = activityField(r, r.fields[1]);
    if (r.fields[2].isEmpty()) throw ImportError(r.line, "durée manquante");
    t.minutes = minutesField(r, r.fields[2]);
    if (r.fields.size() == 4) t.comment = commentField(r, r.fields[3]);
    times.push_back(std::move(t));
  }
  return times;
}

} // namespace

std::vector<ImportedTime> ReadTimesCsv(const QByteArray& data) {
  const QString text = decoded(data);
  const std::vector<Record> rs = records(text, separatorOf(text));
  if (rs.empty()) return {};
  const QStringList& first = rs.front().fields;
  if (first.size() >= 2 && dateOf(first[1])) return weekLayout(rs);
  if (dateOf(first[0])) return entryLayout(rs, false);
  if (isLabel(first[0], {"date", "jour"})) return entryLayout(rs, true);
  throw ImportError(rs.front().line, "ni en-tête reconnu ni date en premier champ : « " + first[0] + " »");
}

// ---------------------------------------------------------------- recording

ImportSummary ImportTimes(const std::vector<ImportedTime>& times) {
  // What each cell receives, the lines of one activity and day added up.
  struct Cell {
    int line = 0;
    int minutes = 0;
    std::string comment;
  };
  std::map<std::pair<TDateTime, QString>, Cell> cells;
  std::vector<std::pair<TDateTime, QString>> order;
  std::map<TDateTime, bool> validated;
  for (const ImportedTime& t : times) {
    const TDateTime monday = MondayOf(t.day);
    auto [v, fresh] = validated.try_emplace(monday, false);
    if (fresh) v->second = IsWeekValidated(monday);
    if (v->second) throw ImportError(t.line, q(ValidatedWeekError(monday).what()));
    const std::pair key(t.day, q(t.activity).toCaseFolded());
    auto [c, added] = cells.try_emplace(key);
    if (added) order.push_back(key);
    c->second.line = t.line;
    c->second.minutes += t.minutes;
    if (!t.comment.empty()) c->second.comment = t.comment;
    if (c->second.minutes > 23 * 60 + 59)
      throw ImportError(t.line, "plus de 23:59 le " + q(DateTextOf(false, t.day)) + " pour « " + q(t.activity) + " »");
  }

  ImportSummary summary;
  std::map<QString, Mcategorie*> categories;
  for (const ImportedTime& t : times) {
    Mcategorie*& category = categories[q(t.activity).toCaseFolded()];
    if (category) continue;
    category = CategoryNamed(q(t.activity));
    if (category) continue;
    if (Mcategorie::Class().LoadedCount() > 0)
      category = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0))->AddSubcategory(t.activity);
    else
      category = static_cast<Mcategorie*>(TObjRec::CreateNamed(Mcategorie::Class(), t.activity));
    summary.categories.push_back(t.activity);
  }

  // The timetable shows the activity of the last recorded entry first: cells
  // recorded from the last line up come back in the file's order.
  std::map<TDateTime, WeekTimetable> weeks;
  for (auto k = order.rbegin(); k != order.rend(); ++k) {
    const auto& key = *k;
    const Cell& cell = cells.at(key);
    auto [w, fresh] = weeks.try_emplace(MondayOf(key.first));
    WeekTimetable& week = w->second;
    if (fresh) week.load(key.first);
    Mcategorie* category = categories.at(key.second);
    week.addRow(category);
    const int row = week.rowOf(ActivityOfCategory(category));
    Mcontenu* note = nullptr;
    if (!cell.comment.empty() && cell.minutes > 0) {
      note = new Mcontenu;
      note->SetTexte(cell.comment);
    }
    const QString text = QString("%1:%2").arg(cell.minutes / 60, 2, 10, QChar('0')).arg(cell.minutes % 60, 2, 10, QChar('0'));
    week.commit(row, static_cast<int>(key.first - week.monday()), toCp1252(text), note);
    ++summary.times;
  }
  return summary;
}

} // namespace tessel
