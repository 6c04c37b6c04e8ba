#include "ReportFixture.h"

#include "reports/U_Fenetre_Report_hebdomadaire_note.h"
#include "support/PdfReader.h"

using namespace tessel;
using namespace tessel::test;

namespace {

using BandRole = PlacedBand::Role;
using Row = std::vector<std::string>;

// A detail band as a line: "jour <date>" for a day's header row, otherwise
// "<activity> <duration> <note lines joined by |>".
std::string describe(const PlacedBand* b) {
  const ReportBand& band = b->band;
  if (!band["QRLabel_jour"].caption.isEmpty()) {
    EXPECT_EQ(b->rect.height(), 20);
    EXPECT_FALSE(band["QRLabel_titre_duree"].enabled);
    return "jour" + band["QRLabel_jour"].caption.toStdString();
  }
  EXPECT_GE(b->rect.height(), 75);
  EXPECT_TRUE(band["QRLabel_titre_duree"].enabled);
  EXPECT_FALSE(band["QRLabel_activite"].transparent);
  return (band["QRLabel_activite"].caption + " " + band["QRLabel_duree"].caption + " " +
          band["QRRichText_note"].lines.join("|"))
      .toStdString();
}

class ReportWithNotes : public ReportTest {
protected:
  std::vector<std::string> rows() {
    form.prepare(monday, monday + 6);
    form.QuickRep1.generate();
    std::vector<std::string> out;
    for (std::size_t p = 0; p < form.QuickRep1.pages().size(); ++p)
      for (const PlacedBand* b : bands(form.QuickRep1, BandRole::Detail, int(p))) out.push_back(describe(b));
    return out;
  }

  TForme_report_act_hebdo_note form;
};

} // namespace

TEST_F(ReportWithNotes, AnEmptyWeekListsTheSevenDaysAlone) {
  EXPECT_EQ(rows(), (std::vector<std::string>{"jour lundi 2 septembre 2002", "jour mardi 3 septembre 2002",
                                              "jour mercredi 4 septembre 2002", "jour jeudi 5 septembre 2002",
                                              "jour vendredi 6 septembre 2002", "jour samedi 7 septembre 2002",
                                              "jour dimanche 8 septembre 2002"}));
  EXPECT_EQ(form.table(), (std::vector<Row>{{"-1", "lundi 2 septembre 2002", "mardi 3 septembre 2002",
                                             "mercredi 4 septembre 2002", "jeudi 5 septembre 2002",
                                             "vendredi 6 septembre 2002", "samedi 7 septembre 2002",
                                             "dimanche 8 septembre 2002"}}));
  EXPECT_EQ(form.QuickRep1.pages().size(), 1u);
  EXPECT_EQ(form.QuickRep1.orientation, QPageLayout::Portrait);
  EXPECT_EQ(form.QuickRep1.pages()[0].bands.front().rect.height(), 40);
  EXPECT_EQ(form.QuickRep1.pageHeader["QRLabel_titre"].caption.toStdString(),
            "Du lundi 2 septembre 2002 au dimanche 8 septembre 2002");
}

TEST_F(ReportWithNotes, EachDayListsTheActivitiesWorkedThatDay) {
  enter("Pause", monday, 1, 30, "Café");
  enter("Réunion", monday, 0, 45);
  enter("Pause", monday + 2, 2, 15);
  EXPECT_EQ(rows(), (std::vector<std::string>{
                        "jour lundi 2 septembre 2002",
                        "Pause 01:30 Café",
                        "Réunion 00:45 Aucun commentaire associe",
                        "jour mardi 3 septembre 2002",
                        "jour mercredi 4 septembre 2002",
                        "Pause 02:15 Aucun commentaire associe",
                        "jour jeudi 5 septembre 2002",
                        "jour vendredi 6 septembre 2002",
                        "jour samedi 7 septembre 2002",
                        "jour dimanche 8 septembre 2002",
                    }));
  // Activities in the order their entries are met, from the last loaded;
  // each cell the entry's place in that list.
  ASSERT_EQ(form.table().size(), 3u);
  EXPECT_EQ(form.table()[1], (Row{"Pause", "2", "-1", "0", "-1", "-1", "-1", "-1"}));
  EXPECT_EQ(form.table()[2], (Row{std::string("Réunion"_w), "1", "-1", "-1", "-1", "-1", "-1", "-1"}));
}

TEST_F(ReportWithNotes, TheEntryLoadedLastWinsItsDay) {
  enter("Pause", monday + 3, 1, 0, "première saisie");
  enter("Pause", monday + 3, 2, 0, "seconde saisie");
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 8u);
  EXPECT_EQ(shown[4], "Pause 02:00 seconde saisie");
}

TEST_F(ReportWithNotes, NoteLinesPrintOnLinesOfTheirOwn) {
  const std::string note = "Première ligne\r\nDeuxième ligne\r\n\r\nQuatrième\r\nCinquième\r\nSixième ligne";
  enter("Pause", monday, 1, 0, note);
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 8u);
  EXPECT_EQ(shown[1], "Pause 01:00 Première ligne|Deuxième ligne||Quatrième|Cinquième|Sixième ligne");
  // Six lines do not fit the box's design height: the row grows to show them all.
  const auto activityRow = bands(form.QuickRep1, BandRole::Detail)[1];
  EXPECT_GT(activityRow->rect.height(), 75);

  QString error;
  ASSERT_TRUE(WritePdf(form.QuickRep1, path("notes.pdf"), error)) << error.toStdString();
  const QStringList lines = ReadPdfText(path("notes.pdf"), true).split('\n');
  int previous = -1;
  for (const char* expected : {"Première ligne", "Deuxième ligne", "Quatrième", "Cinquième", "Sixième ligne"}) {
    const int at = int(lines.indexOf(QRegularExpression(".*" + QString::fromUtf8(expected) + ".*")));
    EXPECT_GT(at, previous) << expected;
    previous = at;
  }
}

TEST_F(ReportWithNotes, RunningTheReportAgainStartsFromTheFirstDay) {
  enter("Pause", monday + 6, 1, 0);
  const auto first = rows();
  EXPECT_EQ(form.currentDay(), 8);
  form.QuickRep1.generate();
  std::vector<std::string> again;
  for (const PlacedBand* b : bands(form.QuickRep1, BandRole::Detail)) again.push_back(describe(b));
  EXPECT_EQ(again, first);
  EXPECT_EQ(first.back(), "Pause 01:00 Aucun commentaire associe");
}
