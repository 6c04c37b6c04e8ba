#include "reports/BandedReport.h"

#include "support/PdfReader.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessel;
using namespace tessel::test;

namespace {

using BandRole = PlacedBand::Role;

ReportField label(const QString& name, const QRectF& placement = QRectF(0, 0, 0, 0)) {
  ReportField f;
  f.name = name;
  f.placement = placement;
  return f;
}

// Two columns on a portrait page; need-data hands out `rows` bands named
// after their number.
class Engine : public testing::Test {
protected:
  Engine() {
    report.columns = 2;
    report.pageHeader.height = 50;
    report.pageHeader.add(label("titre")).caption = "Titre";
    ReportField number = label("page", QRectF(-4, 0, 40, 20));
    number.kind = ReportField::Kind::PageNumber;
    report.pageHeader.add(number);
    report.columnHeader.height = 20;
    report.columnHeader.add(label("colonne"));
    report.detail.height = 100;
    report.detail.add(label("ligne"));
    report.pageFooter.height = 30;
    report.beforePrint = [this] {
      ++runs;
      row = 0;
    };
    report.needData = [this] {
      if (row == rows) return false;
      report.detail["ligne"].caption = QString::number(row);
      report.columnHeader["colonne"].caption = "avant " + QString::number(row);
      if (shape) shape(row);
      ++row;
      return true;
    };
  }

  static std::vector<const PlacedBand*> bands(const ReportPage& page, BandRole role) {
    std::vector<const PlacedBand*> out;
    for (const PlacedBand& b : page.bands)
      if (b.role == role) out.push_back(&b);
    return out;
  }
  static QString caption(const PlacedBand* b, const QString& field) { return b->band[field].caption; }

  BandedReport report;
  int rows = 0;
  int row = 0;
  int runs = 0;
  std::function<void(int)> shape;
};

} // namespace

TEST_F(Engine, PageGeometryIsA4WithTenMillimetreMarginsInPixelsAt96Dpi) {
  EXPECT_NEAR(report.pageWidth(), 793.7, 0.1);
  EXPECT_NEAR(report.pageLength(), 1122.5, 0.1);
  EXPECT_NEAR(report.topMargin(), 37.8, 0.1);
  EXPECT_NEAR(report.bottomMargin(), 37.8, 0.1);
  EXPECT_NEAR(report.columnWidth(), (793.7 - 2 * 37.8) / 2, 0.1);
  report.orientation = QPageLayout::Landscape;
  EXPECT_NEAR(report.pageWidth(), 1122.5, 0.1);
  EXPECT_NEAR(report.pageLength(), 793.7, 0.1);
  report.columnSpacing = 10;
  EXPECT_NEAR(report.columnWidth(), (1122.5 - 2 * 37.8 - 10) / 2, 0.1);
}

TEST_F(Engine, FieldsArePlacedFromTheirBandsEdges) {
  struct Case {
    QRectF placement;
    QRectF expected;
  };
  const Case cases[] = {
      {{10, 5, 30, 20}, {10, 5, 30, 20}},
      {{10, 5, 0, 20}, {10, 5, 190, 20}},   // to the right edge
      {{10, 5, -15, 20}, {10, 5, 175, 20}}, // to the right edge less 15
      {{10, 5, 30, 0}, {10, 5, 30, 45}},    // to the bottom edge
      {{10, 5, 30, -5}, {10, 5, 30, 40}},
      {{-4, 5, 30, 20}, {166, 5, 30, 20}},  // right edge 4 pixels from the band's
      {{250, 5, 0, 0}, {250, 5, 0, 45}},    // past the band: no width
  };
  for (const Case& c : cases) {
    ReportField f = label("f", c.placement);
    EXPECT_EQ(f.rectIn(QSizeF(200, 50)), c.expected) << c.placement.x() << "," << c.placement.width();
  }
}

TEST_F(Engine, ColumnsFillTopToBottomThenLeftToRightUnderTheirHeaders) {
  rows = 20; // nine bands to a column, two columns to a page
  const auto& pages = report.generate();
  ASSERT_EQ(pages.size(), 2u);
  const qreal margin = report.margin();
  const qreal bodyTop = margin + 50;
  const qreal columnWidth = report.columnWidth();
  int n = 0;
  for (const ReportPage& page : pages) {
    SCOPED_TRACE(page.number);
    // The page header first, at the top margin, with its page number.
    ASSERT_EQ(page.bands.front().role, BandRole::PageHeader);
    EXPECT_EQ(page.bands.front().rect, QRectF(margin, margin, report.pageWidth() - 2 * margin, 50));
    EXPECT_EQ(caption(&page.bands.front(), "page"), QString::number(page.number));
    // The footer last, on the bottom margin.
    ASSERT_EQ(page.bands.back().role, BandRole::PageFooter);
    EXPECT_NEAR(page.bands.back().rect.bottom(), report.pageLength() - margin, 1e-9);
    EXPECT_EQ(page.bands.back().rect.height(), 30);

    const auto headers = bands(page, BandRole::ColumnHeader);
    const auto details = bands(page, BandRole::Detail);
    ASSERT_EQ(headers.size(), page.number == 1 ? 2u : 1u);
    for (std::size_t c = 0; c < headers.size(); ++c) {
      EXPECT_EQ(headers[c]->rect, QRectF(margin + c * columnWidth, bodyTop, columnWidth, 20));
      // The header shows what need-data set for the column's first band.
      EXPECT_EQ(caption(headers[c], "colonne"), "avant " + QString::number(n + 9 * int(c)));
    }
    for (std::size_t i = 0; i < details.size(); ++i, ++n) {
      EXPECT_EQ(caption(details[i], "ligne"), QString::number(n));
      EXPECT_EQ(details[i]->rect, QRectF(margin + (i / 9) * columnWidth, bodyTop + 20 + (i % 9) * 100, columnWidth, 100));
    }
  }
  EXPECT_EQ(n, 20);
}

TEST_F(Engine, AReportWithoutDataPrintsItsPageBandsAlone) {
  const auto& pages = report.generate();
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].bands.size(), 2u);
  EXPECT_EQ(pages[0].bands[0].role, BandRole::PageHeader);
  EXPECT_EQ(pages[0].bands[1].role, BandRole::PageFooter);
  EXPECT_EQ(report.status(), BandedReport::Status::Finished);
}

TEST_F(Engine, NeedDataShapesEachBandBeforeItIsPlaced) {
  rows = 4;
  shape = [this](int n) {
    report.detail.height = 10 * (n + 1);
    report.detail.colour = n % 2 ? Qt::gray : Qt::white;
    report.detail["ligne"].enabled = n != 2;
  };
  report.generate();
  const auto details = bands(report.pages()[0], BandRole::Detail);
  ASSERT_EQ(details.size(), 4u);
  qreal y = report.margin() + 50 + 20;
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(details[n]->rect.top(), y);
    EXPECT_EQ(details[n]->rect.height(), 10 * (n + 1));
    EXPECT_EQ(details[n]->band.colour, n % 2 ? QColor(Qt::gray) : QColor(Qt::white));
    EXPECT_EQ(details[n]->band["ligne"].enabled, n != 2);
    y += 10 * (n + 1);
  }
  // Placed bands are copies: later changes leave them alone.
  report.detail["ligne"].caption = "changé";
  EXPECT_EQ(caption(details[3], "ligne"), "3");
}

TEST_F(Engine, NeedDataMayStartANewColumn) {
  rows = 5;
  shape = [this](int n) { report.newColumn = n == 0 || n == 3; };
  report.generate();
  const auto details = bands(report.pages()[0], BandRole::Detail);
  ASSERT_EQ(details.size(), 5u);
  // The first band asks for a column of its own and is in the first one already.
  for (int n = 0; n < 5; ++n) EXPECT_EQ(details[n]->rect.left(), report.margin() + (n >= 3 ? report.columnWidth() : 0)) << n;
  EXPECT_EQ(details[3]->rect.top(), report.margin() + 50 + 20);
  EXPECT_EQ(bands(report.pages()[0], BandRole::ColumnHeader).size(), 2u);
}

TEST_F(Engine, EachRunStartsAfreshAndAnnouncesItsPages) {
  rows = 30;
  std::vector<std::pair<int, BandedReport::Status>> announced;
  report.pageReady = [&](int n) { announced.emplace_back(n, report.status()); };
  const std::vector<ReportPage> first = report.generate();
  EXPECT_EQ(runs, 1);
  using S = BandedReport::Status;
  EXPECT_EQ(announced, (std::vector<std::pair<int, S>>{{1, S::Busy}, {2, S::Finished}}));
  const std::vector<ReportPage> second = report.generate();
  EXPECT_EQ(runs, 2);
  ASSERT_EQ(second.size(), first.size());
  for (std::size_t p = 0; p < first.size(); ++p) {
    ASSERT_EQ(second[p].bands.size(), first[p].bands.size());
    for (std::size_t b = 0; b < first[p].bands.size(); ++b) {
      EXPECT_EQ(second[p].bands[b].rect, first[p].bands[b].rect);
      const auto& fields = first[p].bands[b].band.fields;
      for (std::size_t f = 0; f < fields.size(); ++f)
        EXPECT_EQ(second[p].bands[b].band.fields[f].caption, fields[f].caption);
    }
  }
}

TEST_F(Engine, StretchingBoxesGrowTheirBandUpToAWholeColumn) {
  ReportField box = label("boite", QRectF(10, 20, 80, 30));
  box.kind = ReportField::Kind::RichText;
  box.stretch = true;
  report.detail.add(box);
  const qreal lineSpacing = QFontMetricsF(box.font).lineSpacing();
  struct Case {
    int lines;
    qreal height; // of the placed band
  };
  const qreal column = report.pageLength() - 2 * report.margin() - 50 - 30 - 20;
  const Case cases[] = {
      {0, 100},
      {5, 100}, // 20 + 5 lines fit in 100
      {8, 20 + 8 * lineSpacing + 4},
      {200, column}, // cut at the footer
  };
  rows = 1;
  for (const Case& c : cases) {
    shape = [&](int) {
      report.detail["boite"].lines.clear();
      for (int i = 0; i < c.lines; ++i) report.detail["boite"].lines << "ligne " + QString::number(i);
    };
    report.generate();
    const auto details = bands(report.pages()[0], BandRole::Detail);
    ASSERT_EQ(details.size(), 1u);
    EXPECT_NEAR(details[0]->rect.height(), c.height, 1e-9) << c.lines;
  }
  // A disabled box takes no room.
  shape = [&](int) { report.detail["boite"].enabled = false; };
  report.generate();
  EXPECT_EQ(bands(report.pages()[0], BandRole::Detail)[0]->rect.height(), 100);
}

TEST_F(Engine, RichTextWrapsToItsBoxAndKeepsItsLineBreaks) {
  ReportField box = label("boite");
  box.kind = ReportField::Kind::RichText;
  box.lines = QStringList{"un", "", "deux trois quatre cinq six sept huit neuf dix onze douze treize"};
  const QStringList lines = WrappedLines(box, 120);
  ASSERT_GT(lines.size(), 4);
  EXPECT_EQ(lines[0], "un");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2].left(4), "deux");
  for (const QString& line : lines) EXPECT_LE(QFontMetricsF(box.font).horizontalAdvance(line), 116) << line.toStdString();
  EXPECT_EQ(lines.join(' ').simplified(), box.lines.join(' ').simplified());
}

TEST_F(Engine, PdfFilesHaveTheReportsPagesAndSelectableText) {
  QTemporaryDir dir;
  rows = 20;
  report.orientation = QPageLayout::Landscape;
  report.title = "Essai";
  report.generate();
  ASSERT_EQ(report.pages().size(), 2u);
  QString error;
  ASSERT_TRUE(WritePdf(report, dir.filePath("essai.pdf"), error)) << error.toStdString();
  const PdfFacts facts = ReadPdfFacts(dir.filePath("essai.pdf"));
  EXPECT_EQ(facts.pages, 2);
  EXPECT_TRUE(facts.landscape());
  EXPECT_NEAR(facts.width, 841.9, 0.5);
  EXPECT_EQ(facts.title, "Essai");
  const QStringList pages = ReadPdfText(dir.filePath("essai.pdf")).split('\f');
  ASSERT_GE(pages.size(), 2);
  EXPECT_TRUE(pages[0].contains("Titre"));
  EXPECT_TRUE(pages[0].contains("avant 0"));
  EXPECT_TRUE(pages[1].contains("19"));
  EXPECT_FALSE(pages[1].contains("avant 0"));
}

TEST_F(Engine, AFailedPdfLeavesNoFileBehind) {
  QTemporaryDir dir;
  report.generate();
  QDir(dir.path()).mkdir("dossier");
  struct Case {
    QString path;
    const char* message;
  };
  const Case cases[] = {
      {dir.filePath("absent/essai.pdf"), "n'existe pas"},
      {dir.filePath("dossier"), "Impossible d'écrire le fichier"},
  };
  for (const Case& c : cases) {
    QString error;
    EXPECT_FALSE(WritePdf(report, c.path, error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.message))) << error.toStdString();
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("absent")));
  EXPECT_TRUE(QFileInfo(dir.filePath("dossier")).isDir());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"dossier"});
}
