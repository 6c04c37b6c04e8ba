#include "RecordedTime.h"

#include "model/PeriodGrid.h"
#include "model/U_class_note.h"
#include "model/WeekTimetable.h"

using namespace tessel;
using namespace tessel::test;

namespace {

class Period : public RecordedTime {
protected:
  PeriodGrid grid;
};

std::vector<std::string> cellTexts(const PeriodGrid& grid, int row) {
  std::vector<std::string> texts;
  for (int d = 0; d < PeriodGrid::days; ++d)
    texts.push_back(grid.entry(row, d) ? DurationText(grid.entry(row, d)->TimeSpent()) : "");
  return texts;
}

} // namespace

TEST_F(Period, EndsTheDayBeforeTheStartDayOneMonthLater) {
  struct Case {
    TDateTime start, end;
  };
  const Case cases[] = {
      {at(2027, 3, 1), at(2027, 3, 28)},       // 28 February moved on: 28 March
      {at(2027, 1, 31), at(2027, 2, 28)},      // 30 January moved on, lowered to February's end
      {at(2028, 1, 31), at(2028, 2, 29)},      // leap year
      {at(2027, 3, 31), at(2027, 4, 30)},      // 30 March moved on
      {at(2026, 12, 15), at(2027, 1, 14)},     // across the year
      {at(2027, 1, 1), at(2027, 1, 31)},       // 31 December moved on
      {at(2027, 3, 1, 15, 30), at(2027, 3, 28)}, // the start is a whole day
  };
  for (const Case& c : cases) {
    grid.load(c.start);
    EXPECT_EQ(grid.start(), std::trunc(c.start)) << DateToText(c.start);
    EXPECT_EQ(grid.end(), c.end) << DateToText(c.start);
    EXPECT_EQ(PeriodGrid::EndDayOf(c.start), c.end) << DateToText(c.start);
  }
}

TEST_F(Period, ShowsOnlyTheDaysUpToTheEndDay) {
  record("Pause", at(2027, 3, 1), 1, 0);
  record("Pause", at(2027, 3, 28), 2, 0);
  record("Pause", at(2027, 3, 29), 4, 0);     // in the grid's columns, after the end day
  record("Pause", at(2027, 3, 31), 4, 0);
  record("Administration", at(2027, 3, 30), 3, 0); // only outside the period: no row
  record("Administration", at(2027, 2, 28), 3, 0);
  record(std::string("Réunion"_w), at(2027, 3, 10), 0, 45);

  grid.load(at(2027, 3, 1));
  EXPECT_EQ(grid.title(), "Du lundi 1 mars 2027 au dimanche 28 mars 2027");
  ASSERT_EQ(grid.rowCount(), 2);
  // Rows come in the order their entries are met, the last loaded first.
  EXPECT_EQ(grid.name(0), "Réunion"_w);
  EXPECT_EQ(grid.name(1), "Pause");
  std::vector<std::string> pause(PeriodGrid::days);
  pause[0] = "1:00";
  pause[27] = "2:00";
  EXPECT_EQ(cellTexts(grid, 1), pause);
  for (int d = 0; d < PeriodGrid::days; ++d) EXPECT_EQ(grid.beyondEnd(d), d >= 28) << d;

  EXPECT_EQ(DurationText(grid.rowTotal(1)), "3:00");
  EXPECT_EQ(DurationText(grid.dayTotal(0)), "1:00");
  EXPECT_EQ(DurationText(grid.dayTotal(28)), "0:00");
  EXPECT_EQ(DurationText(grid.total()), "3:45");
}

TEST_F(Period, ChartsWholeHoursByDayWeekOrMonth) {
  for (int d = 0; d < 31; ++d) record("Pause", at(2027, 3, 1) + d, d % 3, 45); // 0:45, 1:45, 2:45, ...
  record(std::string("Réunion"_w), at(2027, 3, 9), 0, 45);

  grid.load(at(2027, 3, 1));
  ASSERT_EQ(grid.rowCount(), 2);
  const int pause = grid.name(0) == "Pause" ? 0 : 1;
  const int meeting = 1 - pause;

  struct Case {
    PeriodGrid::ChartMode mode;
    std::vector<int> pause, meeting;
    std::vector<std::string> labels;
  };
  std::vector<int> days, none(31, 0);
  std::vector<std::string> numbers;
  for (int d = 0; d < 31; ++d) {
    days.push_back(d < 28 ? d % 3 : 0); // nothing past the end day
    numbers.push_back(std::to_string(d + 1));
  }
  const Case cases[] = {
      {PeriodGrid::ChartMode::Day, days, none, numbers},
      // Seven days each: the last three days are not plotted.
      {PeriodGrid::ChartMode::Week,
       {6, 7, 8, 6},
       {0, 0, 0, 0},
       {"Du 01/03/2027 au 07/03/2027", "Du 08/03/2027 au 14/03/2027", "Du 15/03/2027 au 21/03/2027",
        "Du 22/03/2027 au 28/03/2027"}},
      {PeriodGrid::ChartMode::Month, {27}, {0}, {grid.title()}},
  };
  for (const Case& c : cases) {
    const int mode = static_cast<int>(c.mode);
    EXPECT_EQ(grid.chartValues(pause, c.mode), c.pause) << mode;
    // 0:45 counts nothing in the chart, but 0:45 in the totals.
    EXPECT_EQ(grid.chartValues(meeting, c.mode), c.meeting) << mode;
    EXPECT_EQ(grid.chartLabels(c.mode), c.labels) << mode;
  }
  EXPECT_EQ(DurationText(grid.rowTotal(meeting)), "0:45");
  EXPECT_EQ(DurationText(grid.dayTotal(8)), "3:30");
}

TEST_F(Period, MovesAndTheirHints) {
  const TDateTime start = at(2027, 3, 31);
  const std::pair<std::string, TDateTime> expected[] = {
      {"-1 mois", at(2027, 2, 28)}, {"-1 semaine", at(2027, 3, 24)}, {"-1 jour", at(2027, 3, 30)},
      {"+1 jour", at(2027, 4, 1)},  {"+1 semaine", at(2027, 4, 7)},  {"+1 mois", at(2027, 4, 30)},
  };
  ASSERT_EQ(PeriodGrid::moves().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(PeriodGrid::moves()[i].caption, expected[i].first);
    EXPECT_EQ(PeriodGrid::moved(start, PeriodGrid::moves()[i]), expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(PeriodGrid::moveHint(PeriodGrid::moved(at(2027, 3, 1), PeriodGrid::moves()[1])),
            "Visualisez vos activités à partir du lundi 22 février 2027"_w);
}

TEST_F(Period, RowsWithoutCategoryAndCellsWithTwoEntries) {
  // A note owns the entry it made for itself: shown by its display text on white.
  auto* note = new Mnote;
  Moccurence* own = Moccurence::CreateEntry(at(2027, 3, 2));
  own->SetTimeSpent(at(2027, 3, 2), 1.0 / 24);
  note->AddEntry(own);
  // Two entries of one activity on one day: the grid shows the one the timetable shows.
  record("Pause", at(2027, 3, 3), 1, 0);
  Moccurence* later = record("Pause", at(2027, 3, 3), 2, 0);

  grid.load(at(2027, 3, 1));
  ASSERT_EQ(grid.rowCount(), 2);
  const int pause = grid.activity(0) == note ? 1 : 0;
  EXPECT_EQ(grid.category(1 - pause), nullptr);
  EXPECT_EQ(grid.name(1 - pause), note->DisplayText());
  EXPECT_EQ(grid.colour(1 - pause), 0xFFFFFFu);
  EXPECT_EQ(grid.category(pause), categoryNamed("Pause"));

  WeekTimetable week;
  week.load(at(2027, 3, 3));
  EXPECT_EQ(grid.entry(pause, 2), week.entry(week.rowOf(grid.activity(pause)), 2));
  EXPECT_EQ(grid.entry(pause, 2), later);
}
