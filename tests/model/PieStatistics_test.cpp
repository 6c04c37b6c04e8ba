#include "RecordedTime.h"

#include "model/PieStatistics.h"

using namespace tessel;
using namespace tessel::test;

namespace {

class Statistics : public RecordedTime {
protected:
  PieStatistics pie;
};

} // namespace

TEST_F(Statistics, OneSlicePerActivityWorthItsWholeHours) {
  record("Pause", at(2027, 3, 1), 0, 45);
  record(std::string("Réunion"_w), at(2027, 3, 2), 2, 50);
  record("Administration", at(2027, 3, 3), 20, 0);
  record("Administration", at(2027, 3, 4), 6, 10);
  record("Administration", at(2027, 4, 4), 6, 0); // after the period
  categoryNamed("Administration")->SetColour(0x0000FF);

  pie.load(at(2027, 3, 1, 18), at(2027, 3, 4, 6)); // whole days, both included
  EXPECT_EQ(pie.title(), "lundi 1 mars 2027   -->   jeudi 4 mars 2027");
  struct Expected {
    std::string name;
    int hours;
    double percent;
  };
  // In the order their first entry is met, the last loaded first.
  const Expected expected[] = {
      {"Administration", 26, 100.0 * 26 / 28},
      {"Réunion"_w.data(), 2, 100.0 * 2 / 28},
      {"Pause", 0, 0.0},
  };
  ASSERT_EQ(pie.slices().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(pie.slices()[i].name, expected[i].name);
    EXPECT_EQ(pie.slices()[i].hours, expected[i].hours) << expected[i].name;
    EXPECT_DOUBLE_EQ(pie.percent(i), expected[i].percent) << expected[i].name;
  }
  EXPECT_EQ(pie.slices()[0].colour, 0x0000FFu);
  EXPECT_EQ(pie.slices()[1].colour, 0xFFFFFFu);
  EXPECT_EQ(DurationText(pie.slices()[0].duration), "26:10");
  EXPECT_EQ(pie.totalHours(), 28);
}

TEST_F(Statistics, EmptyPies) {
  record("Pause", at(2027, 3, 1), 0, 45);
  struct Case {
    const char* what;
    TDateTime first, last;
    std::size_t slices;
  };
  const Case cases[] = {
      {"no entry in the period", at(2027, 4, 1), at(2027, 4, 30), 0},
      {"an end before the start", at(2027, 3, 2), at(2027, 3, 1), 0},
      {"nothing but minutes", at(2027, 3, 1), at(2027, 3, 1), 1},
  };
  for (const Case& c : cases) {
    pie.load(c.first, c.last);
    EXPECT_EQ(pie.slices().size(), c.slices) << c.what;
    EXPECT_EQ(pie.totalHours(), 0) << c.what;
    for (std::size_t i = 0; i < pie.slices().size(); ++i) EXPECT_EQ(pie.percent(i), 0.0) << c.what;
  }
}

TEST_F(Statistics, AnEntryWithoutTimeAddsNothing) {
  // Its end never written reads as day 0, long before its start.
  Moccurence* blank = Moccurence::CreateEntry(at(2027, 3, 1));
  ActivityOfCategory(categoryNamed("Pause"))->AddEntry(blank);
  record("Pause", at(2027, 3, 2), 3, 0);
  pie.load(at(2027, 3, 1), at(2027, 3, 31));
  ASSERT_EQ(pie.slices().size(), 1u);
  EXPECT_EQ(pie.slices()[0].hours, 3);
}
