#include "ReportFixture.h"

#include "model/U_class_note.h"
#include "reports/U_Fenetre_Report_hebdomadaire.h"

using namespace tessel;
using namespace tessel::test;

namespace {

using BandRole = PlacedBand::Role;
using Row = std::vector<std::string>;

class WeeklyReport : public ReportTest {
protected:
  void prepare(TDateTime first) { form.prepare(first, first + 6); }
  std::vector<const PlacedBand*> details(int page = 0) const { return bands(form.QuickRep1, BandRole::Detail, page); }
  std::vector<const PlacedBand*> columnHeaders() const { return bands(form.QuickRep1, BandRole::ColumnHeader); }
  qreal columnLeft(int column) const {
    return form.QuickRep1.margin() + column * form.QuickRep1.columnWidth();
  }

  TForme_report_act_hebdo form;
};

} // namespace

TEST_F(WeeklyReport, TheTitleIsThePeriodWithLongFrenchDates) {
  const struct {
    TDateTime first;
    const char* title;
  } cases[] = {
      {at(2002, 9, 2), "Du lundi 2 septembre 2002 au dimanche 8 septembre 2002"},
      {at(2025, 12, 29), "Du lundi 29 décembre 2025 au dimanche 4 janvier 2026"},
  };
  for (const auto& c : cases) {
    prepare(c.first);
    EXPECT_EQ(text(form.QuickRep1.pageHeader["QRLabel_titre"].caption), c.title);
  }
  EXPECT_EQ(form.QuickRep1.orientation, QPageLayout::Landscape);
}

TEST_F(WeeklyReport, AnEmptyWeekPrintsItsHeaderAndFooterAlone) {
  enter("Pause", monday - 1, 1, 0);
  enter("Pause", monday + 7, 1, 0);
  prepare(monday);
  EXPECT_EQ(form.table(), (std::vector<Row>{{"", "02/09/2002", "03/09/2002", "04/09/2002", "05/09/2002", "06/09/2002",
                                              "07/09/2002", "08/09/2002"}}));
  const auto& pages = form.QuickRep1.generate();
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].bands.size(), 2u);
  EXPECT_EQ(pages[0].bands[0].role, BandRole::PageHeader);
  EXPECT_EQ(pages[0].bands[0].rect.height(), 35);
  EXPECT_EQ(pages[0].bands[1].role, BandRole::PageFooter);
  EXPECT_EQ(pages[0].bands[1].rect.height(), 24);
  EXPECT_EQ(form.QuickRep1.detail.height, 40);
}

TEST_F(WeeklyReport, OneActivityOnMondayAndWednesday) {
  enter("Pause", monday, 1, 30);
  enter("Pause", monday + 2, 2, 15);
  prepare(monday);
  ASSERT_EQ(form.table().size(), 2u);
  EXPECT_EQ(form.table()[1], (Row{"Pause", "01:30", "", "02:15", "", "", "", ""}));

  const auto& pages = form.QuickRep1.generate();
  ASSERT_EQ(pages.size(), 1u);
  const auto cells = details();
  ASSERT_EQ(cells.size(), 8u);
  // The activity column: grey, the name on its label, no duration.
  EXPECT_EQ(cells[0]->band.colour, QColor(128, 128, 128));
  EXPECT_EQ(text(cells[0]->band["QRLabel_activite"].caption), "   Pause");
  EXPECT_FALSE(cells[0]->band["QRLabel_activite"].transparent);
  EXPECT_FALSE(cells[0]->band["QRLabel_duree"].enabled);
  EXPECT_EQ(cells[0]->band["QRRichText_description"].background, QColor(128, 128, 128));
  // The day columns: white, the duration or nothing.
  const char* durations[] = {"01:30", "", "02:15", "", "", "", ""};
  for (int d = 1; d <= 7; ++d) {
    SCOPED_TRACE(d);
    EXPECT_EQ(cells[d]->band.colour, QColor(Qt::white));
    EXPECT_EQ(text(cells[d]->band["QRLabel_duree"].caption), durations[d - 1]);
    EXPECT_TRUE(cells[d]->band["QRLabel_activite"].transparent);
    EXPECT_EQ(cells[d]->rect.left(), columnLeft(d));
    EXPECT_EQ(cells[d]->rect.top(), cells[0]->rect.top());
  }
  // One column header over each column: none over the activities, then the days.
  const auto headers = columnHeaders();
  ASSERT_EQ(headers.size(), 8u);
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(text(headers[c]->band["QRLabel_jour"].caption), form.table()[0][c]);
    EXPECT_EQ(headers[c]->rect.left(), columnLeft(c));
  }
}

TEST_F(WeeklyReport, TheEntryLoadedLastWinsItsDay) {
  enter("Pause", monday + 1, 1, 0);
  enter("Pause", monday + 1, 3, 45);
  prepare(monday);
  EXPECT_EQ(form.table()[1], (Row{"Pause", "", "03:45", "", "", "", "", ""}));
}

TEST_F(WeeklyReport, AnEntryOwnedByANoteShowsTheNotesText) {
  auto* note = new Mnote;
  note->SetTitre("Appel client");
  Moccurence* own = Moccurence::CreateEntry(monday + 4);
  own->SetTimeSpent(monday + 4, EncodeTime(0, 20, 0));
  note->AddEntry(own);
  prepare(monday);
  ASSERT_EQ(form.table().size(), 2u);
  EXPECT_EQ(form.table()[1][0], note->DisplayText());
  EXPECT_EQ(form.table()[1][5], "00:20");
  form.QuickRep1.generate();
  EXPECT_EQ(details().size(), 8u);
}

TEST_F(WeeklyReport, EachColumnHoldsOneCellPerActivityAndTheRowsLineUp) {
  // 16 activities fill the page exactly; with 50 the cells are smaller and
  // each day still has a column of its own.
  for (int activities : {16, 50}) {
    SCOPED_TRACE(activities);
    Storage::CloseBase();
    openDocument("rapport" + QString::number(activities) + ".TSF");
    for (int a = 0; a < activities; ++a) enter("Projet " + std::to_string(a), monday + a % 7, 1, a % 60);
    prepare(monday);
    const auto& pages = form.QuickRep1.generate();
    ASSERT_EQ(pages.size(), 1u);
    const BandedReport& r = form.QuickRep1;
    const int height = int(r.pageLength() - 35 - 24 - 19 - r.topMargin() - r.bottomMargin()) / activities;
    if (activities == 16) {
      EXPECT_EQ(height, 40);
    }
    const auto cells = details();
    ASSERT_EQ(cells.size(), 8u * activities);
    const qreal footerTop = pages[0].bands.back().rect.top();
    for (int c = 0; c < 8; ++c)
      for (int a = 0; a < activities; ++a) {
        const PlacedBand* cell = cells[std::size_t(c * activities + a)];
        EXPECT_EQ(cell->rect.height(), height);
        EXPECT_EQ(cell->rect.left(), columnLeft(c));
        EXPECT_EQ(cell->rect.top(), cells[std::size_t(a)]->rect.top());
        EXPECT_LE(cell->rect.bottom(), footerTop + 1e-9);
        // The last column closes the table on the right.
        EXPECT_EQ(cell->band.rules.right, c == 7);
      }
  }
}

TEST_F(WeeklyReport, RunningTheReportAgainStartsFromTheFirstCell) {
  enter("Pause", monday, 1, 30);
  enter("Administration", monday + 6, 4, 0);
  prepare(monday);
  auto captions = [this] {
    std::vector<std::string> out;
    for (const PlacedBand& b : form.QuickRep1.pages()[0].bands)
      for (const ReportField& f : b.band.fields)
        if (f.enabled) out.push_back(text(f.caption));
    return out;
  };
  form.QuickRep1.generate();
  const auto first = captions();
  EXPECT_EQ(form.currentColumn(), 8);
  form.QuickRep1.generate();
  EXPECT_EQ(captions(), first);
  // The activity column's header stays empty, although the last run ended on Sunday.
  EXPECT_EQ(text(columnHeaders()[0]->band["QRLabel_jour"].caption), "");
}
