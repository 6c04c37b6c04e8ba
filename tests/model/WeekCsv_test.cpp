#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/PeriodGrid.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "model/WeekCsv.h"
#include "model/WeekTimetable.h"
#include "model/WeekValidation.h"

#include <algorithm>

using namespace tessel;
using namespace tessel::test;

namespace {

class Csv : public ModelTest {
protected:
  Csv() { openDocument("semaine.TSF"); }
  // The week's CSV, read afresh from the document.
  static QString weekCsv(TDateTime day) {
    WeekTimetable week;
    week.load(day);
    return WeekCsv(week);
  }
  void type(TDateTime day, const char* category, const char* time) {
    WeekTimetable week;
    week.load(day);
    Mcategorie* c = CategoryNamed(QString::fromUtf8(category));
    if (!c) c = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0))->AddSubcategory(utf8ToCp1252(category));
    week.addRow(c);
    week.commit(week.rowsOfCategory(c).front(), static_cast<int>(day - week.monday()), time);
  }
};

std::string read(const char* text) {
  std::string all;
  for (const ImportedTime& t : ReadTimesCsv(QByteArray(text))) {
    int y = 0, m = 0, d = 0;
    DecodeDate(t.day, y, m, d);
    all += std::to_string(t.line) + ":" + std::to_string(d) + "/" + std::to_string(m) + " " + cp1252ToUtf8(t.activity) +
           " " + std::to_string(t.minutes) + (t.comment.empty() ? "" : " [" + cp1252ToUtf8(DecodeText(t.comment)) + "]") +
           "\n";
  }
  return all;
}

} // namespace

TEST_F(Csv, TheWeekAndThePeriodAsTheCommandLineGivesThem) {
  type(at(2026, 12, 7), "Réunion", "1:30");
  type(at(2026, 12, 8), "Pause", "0:45");
  type(at(2026, 12, 9), "Café, thé", "10:05");
  EXPECT_EQ(weekCsv(at(2026, 12, 10)),
            "activity,2026-12-07,2026-12-08,2026-12-09,2026-12-10,2026-12-11,2026-12-12,2026-12-13,total\n"
            "\"Café, thé\",,,10:05,,,,,10:05\n"
            "Pause,,0:45,,,,,,0:45\n"
            "Réunion,1:30,,,,,,,1:30\n"
            "TOTAL,1:30,0:45,10:05,0:00,0:00,0:00,0:00,12:20\n");
  PeriodGrid grid;
  grid.load(at(2026, 12, 8));
  const QStringList lines = PeriodCsv(grid).split('\n');
  ASSERT_EQ(lines.size(), 5); // header, two rows, total, nothing after the last line end
  EXPECT_TRUE(lines[0].startsWith("activity,total,2026-12-08,2026-12-09,")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].endsWith(",2027-01-07")) << lines[0].toStdString();
  EXPECT_EQ(lines[1], "\"Café, thé\",10:05,,10:05" + QString(29, ','));
  EXPECT_EQ(lines[2], "Pause,0:45,0:45" + QString(30, ','));
  EXPECT_TRUE(lines[3].startsWith("TOTAL,10:50,0:45,10:05,0:00,"));
  EXPECT_EQ(lines[4], "");
}

TEST_F(Csv, BothLayoutsAndTheirVariants) {
  struct Case {
    const char* name;
    const char* text;
    const char* times;
  };
  const Case cases[] = {
      {"the week's layout",
       "activity,2026-12-07,2026-12-08,2026-12-09,2026-12-10,2026-12-11,2026-12-12,2026-12-13,total\n"
       "\"Café, thé\",,,10:05,,,,,10:05\n"
       "Pause,1:00,0:45,,,,,,1:45\n"
       "TOTAL,1:00,0:45,10:05,0:00,0:00,0:00,0:00,11:50\n",
       "2:9/12 Café, thé 605\n3:7/12 Pause 60\n3:8/12 Pause 45\n"},
      {"days without total, semicolons, CRLF, BOM",
       "\xEF\xBB\xBF" "Activité;07/12/2026;08/12/2026\r\nPause;;00:45\r\n", "2:8/12 Pause 45\n"},
      {"one line per time, no header", "2026-12-07,Pause,1:00\n08/12/2026,Réunion,23:59,\"Dit \"\"oui\"\"\"\n",
       "1:7/12 Pause 60\n2:8/12 Réunion 1439 [Dit \"oui\"]\n"},
      {"an English header, empty lines skipped", "date,activity,duration,comment\n\n,,,\n2026-12-07,Pause,0:00,\n",
       "4:7/12 Pause 0\n"},
      {"a French header with semicolons", "Date;Activité;Durée;Commentaire\r\n07/12/2026;Pause;1:00;\"a, b; c\"\r\n",
       "2:7/12 Pause 60 [a, b; c]\n"},
      {"a comment over two lines", "Jour,Catégorie,Temps,Note\n2026-12-07,Pause,1:00,\"un\r\ndeux\rtrois\"\n2026-12-08,Pause,2:00\n",
       "2:7/12 Pause 60 [un\r\ndeux\r\ntrois]\n5:8/12 Pause 120\n"},
      {"Windows-1252 text", "2026-12-07,R\xE9union,1:00\n", "1:7/12 Réunion 60\n"},
      {"nothing at all", "\xEF\xBB\xBF\r\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(read(c.text), c.times) << c.name;
}

TEST_F(Csv, TheFirstBadLineIsNamed) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"date,activity,duration\n2026-12-07,Pause,1:00\n2026-12-32,Pause,1:00\n",
       "ligne 3 : date incorrecte « 2026-12-32 » (attendu aaaa-mm-jj ou jj/mm/aaaa)"},
      {"2026-12-07,Pause,24:00\n", "ligne 1 : durée incorrecte « 24:00 » (attendu HH:MM, au plus 23:59)"},
      {"2026-12-07,Pause,1h30\n", "ligne 1 : durée incorrecte « 1h30 » (attendu HH:MM, au plus 23:59)"},
      {"2026-12-07,Pause,\n", "ligne 1 : durée manquante"},
      {"2026-12-07,,1:00\n", "ligne 1 : activité manquante"},
      {"2026-12-07,Pause\n", "ligne 1 : 2 champs au lieu de 3 ou 4 (date, activité, durée, commentaire)"},
      {"2026-12-07,Pause,1:00,a,b\n", "ligne 1 : 5 champs au lieu de 3 ou 4 (date, activité, durée, commentaire)"},
      {"2026-12-07,Pause,1:00,\"a\n\n", "ligne 1 : guillemet non fermé"},
      {"activité,durée\nPause,1:00\n", "ligne 1 : ni en-tête reconnu ni date en premier champ : « activité »"},
      {"activity,2026-12-07,2026-12-08,remarque\n", "ligne 1 : colonne « remarque » inattendue"},
      {"activity,2026-12-07,total\nPause,1:00,1:00,2:00\n", "ligne 2 : 4 champs pour 3 colonnes"},
      {"activity,2026-12-07,total\nPause,1:00,1:00\n,2:00,2:00\n", "ligne 3 : activité manquante"},
      {"activity,2026-12-07,total\n\nPause,8,8:00\n", "ligne 3 : durée incorrecte « 8 » (attendu HH:MM, au plus 23:59)"},
  };
  for (const Case& c : cases) {
    try {
      ReadTimesCsv(QByteArray(c.text));
      ADD_FAILURE() << c.text;
    } catch (const ImportError& e) {
      EXPECT_EQ(cp1252ToUtf8(e.what()), c.message);
    }
  }
}

TEST_F(Csv, ImportRecordsAsTypingDoesAndMakesTheMissingCategories) {
  type(at(2026, 12, 7), "Pause", "5:00");
  type(at(2026, 12, 8), "Pause", "1:00");
  const int categories = Mcategorie::Class().LoadedCount();
  const ImportSummary summary = ImportTimesCsv(
      "date,activity,duration,comment\n"
      "2026-12-07,pause,1:15\n"            // replaces 5:00
      "2026-12-08,Pause,0:00\n"            // clears 1:00
      "2026-12-09,Sport,1:00,Piscine\n"    // a new category
      "2026-12-09,sport,0:30\n"            // adds up with the line above
      "2026-12-10,Sport,2:00\n");
  EXPECT_EQ(summary.times, 4);
  EXPECT_EQ(summary.categories, std::vector<std::string>{"Sport"});
  EXPECT_EQ(Mcategorie::Class().LoadedCount(), categories + 1);
  const std::vector<TObjRec*> underRoot = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0))->Children();
  EXPECT_NE(std::find(underRoot.begin(), underRoot.end(), CategoryNamed("Sport")), underRoot.end());
  EXPECT_EQ(weekCsv(at(2026, 12, 7)).toStdString(),
            "activity,2026-12-07,2026-12-08,2026-12-09,2026-12-10,2026-12-11,2026-12-12,2026-12-13,total\n"
            "Sport,,,1:30,2:00,,,,3:30\n" // its entries are the last recorded
            "Pause,1:15,,,,,,,1:15\n"
            "TOTAL,1:15,0:00,1:30,2:00,0:00,0:00,0:00,4:45\n");
  WeekTimetable week;
  week.load(at(2026, 12, 7));
  const auto* note = dynamic_cast<const Mcontenu*>(week.entry(week.rowsOfCategory(CategoryNamed("Sport")).front(), 2)->EntryContent());
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(DecodeText(note->Texte()), "Piscine");
}

TEST_F(Csv, ARefusedImportChangesNothing) {
  type(at(2026, 12, 7), "Pause", "5:00");
  type(at(2026, 12, 14), "Pause", "1:00");
  SetWeekValidated(at(2026, 12, 14), true);
  const int categories = Mcategorie::Class().LoadedCount();
  const int entries = Moccurence::Class().LoadedCount();
  const QString before = weekCsv(at(2026, 12, 7));
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"2026-12-07,Sport,1:00\n2026-12-15,Pause,2:00\n", 2,
       "ligne 2 : La semaine du lundi 14/12/2026 est validée : rouvrez-la pour la modifier."},
      {"2026-12-07,Sport,12:00\n2026-12-08,Pause,1:00\n2026-12-07,sport,12:00\n", 3,
       "ligne 3 : plus de 23:59 le 07/12/2026 pour « sport »"},
  };
  for (const Case& c : cases) {
    try {
      ImportTimesCsv(c.text);
      ADD_FAILURE() << c.text;
    } catch (const ImportError& e) {
      EXPECT_EQ(cp1252ToUtf8(e.what()), c.message);
      EXPECT_EQ(e.line(), c.line);
    }
    EXPECT_EQ(Mcategorie::Class().LoadedCount(), categories);
    EXPECT_EQ(Moccurence::Class().LoadedCount(), entries);
    EXPECT_EQ(weekCsv(at(2026, 12, 7)), before);
  }
}

TEST_F(Csv, AWeekReadBackGivesTheSameWeek) {
  type(at(2026, 12, 7), "Réunion", "1:30");
  type(at(2026, 12, 8), "Pause", "0:45");
  type(at(2026, 12, 13), "Café, \"thé\"", "23:59");
  type(at(2026, 12, 9), "Réunion", "2:05");
  const QString exported = weekCsv(at(2026, 12, 7));
  // Into a fresh document.
  Storage::CloseBase();
  openDocument("");
  ASSERT_EQ(weekCsv(at(2026, 12, 7)).count('\n'), 2);
  ImportTimesCsv(exported.toUtf8());
  EXPECT_EQ(weekCsv(at(2026, 12, 7)), exported);
}
