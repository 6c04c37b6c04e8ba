// Painting helpers: gradient bands, shortened texts, fitted titles and the
// placement of the mood pictures.

#include "widgets/IconSet.h"
#include "widgets/PaintHelpers.h"
#include "widgets/U_DM_metier.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace tessel;

namespace {

const QColor untouched(255, 0, 255);

QImage canvasImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(untouched);
  return image;
}

} // namespace

class PaintHelpersTest : public QObject {
  Q_OBJECT

private slots:
  void colourConversions_data();
  void colourConversions();
  void gradient_data();
  void gradient();
  void gradientStaysInsideItsRectangleAndKeepsTheBrush();
  void gradientOfNoHeightDrawsNothing();
  void gradientColourAtMatchesThePainting();
  void readableColours_data();
  void readableColours();
  void outlinedText_data();
  void outlinedText();
  void fitText_data();
  void fitText();
  void fittedTitle_data();
  void fittedTitle();
  void smileyPlacements_data();
  void smileyPlacements();
  void smileysAreDrawnOverTheFill();
};

// Each row of the result is one pixel row of the rectangle: its expected colour.
void PaintHelpersTest::colourConversions_data() {
  QTest::addColumn<uint>("bgr");
  QTest::addColumn<QColor>("colour");
  QTest::addColumn<uint>("back");

  QTest::newRow("red is the low byte") << 0x000000FFu << QColor(255, 0, 0) << 0x000000FFu;
  QTest::newRow("blue is the third byte") << 0x00FF0000u << QColor(0, 0, 255) << 0x00FF0000u;
  QTest::newRow("workspace colour") << 0x00CF949Au << QColor(154, 148, 207) << 0x00CF949Au;
  QTest::newRow("white") << 0x00FFFFFFu << QColor(Qt::white) << 0x00FFFFFFu;
  QTest::newRow("top byte ignored") << 0x80102030u << QColor(0x30, 0x20, 0x10) << 0x00102030u;
}

void PaintHelpersTest::colourConversions() {
  QFETCH(uint, bgr);
  QFETCH(QColor, colour);
  QFETCH(uint, back);
  QCOMPARE(ColourFromBgr(bgr), colour);
  QCOMPARE(BgrFromColour(ColourFromBgr(bgr)), std::uint32_t(back));
}

void PaintHelpersTest::gradient_data() {
  QTest::addColumn<QRect>("rect");
  QTest::addColumn<QColor>("top");
  QTest::addColumn<QColor>("bottom");
  QTest::addColumn<QList<int>>("rows");       // rows relative to the rectangle's top
  QTest::addColumn<QList<QColor>>("colours");

  // 512 high: 256 bands of two pixels, colour i of 255.
  QTest::newRow("two-pixel bands") << QRect(0, 0, 20, 512) << QColor(Qt::black) << QColor(Qt::white)
                                   << QList<int>{0, 1, 2, 3, 254, 255, 510, 511}
                                   << QList<QColor>{QColor(0, 0, 0), QColor(0, 0, 0), QColor(1, 1, 1), QColor(1, 1, 1),
                                                    QColor(127, 127, 127), QColor(127, 127, 127),
                                                    QColor(255, 255, 255), QColor(255, 255, 255)};
  // 64 high: step 1/4, so every 4th colour, one pixel each.
  QTest::newRow("every fourth colour") << QRect(5, 10, 30, 64) << QColor(0, 0, 0) << QColor(255, 100, 50)
                                       << QList<int>{0, 1, 2, 63}
                                       << QList<QColor>{QColor(0, 0, 0), QColor(4, 1, 0), QColor(8, 3, 1),
                                                        QColor(252, 98, 49)};
  // 300 high: bands of 1.17 pixels fall on truncated boundaries; band 5
  // covers rows 5 and 6.
  QTest::newRow("uneven bands") << QRect(0, 0, 4, 300) << QColor(Qt::black) << QColor(Qt::white)
                                << QList<int>{0, 1, 4, 5, 6, 7, 299}
                                << QList<QColor>{QColor(0, 0, 0), QColor(1, 1, 1), QColor(4, 4, 4), QColor(5, 5, 5),
                                                 QColor(5, 5, 5), QColor(6, 6, 6), QColor(255, 255, 255)};
  // Darkening: the division truncates toward zero (row 3: 200 - 300/255 = 199).
  QTest::newRow("descending, truncated") << QRect(0, 0, 4, 256) << QColor(200, 200, 200) << QColor(100, 100, 100)
                                         << QList<int>{0, 2, 3, 128, 255}
                                         << QList<QColor>{QColor(200, 200, 200), QColor(200, 200, 200),
                                                          QColor(199, 199, 199), QColor(150, 150, 150),
                                                          QColor(100, 100, 100)};
}

void PaintHelpersTest::gradient() {
  QFETCH(QRect, rect);
  QFETCH(QColor, top);
  QFETCH(QColor, bottom);
  QFETCH(QList<int>, rows);
  QFETCH(QList<QColor>, colours);
  QImage image = canvasImage(rect.right() + 5, rect.bottom() + 5);
  {
    QPainter painter(&image);
    PaintGradient(painter, top, bottom, rect);
  }
  for (qsizetype n = 0; n < rows.size(); ++n) {
    const int y = rect.top() + rows[n];
    for (int x : {rect.left(), rect.right()})
      QCOMPARE(image.pixelColor(x, y), colours[n]);
  }
}

void PaintHelpersTest::gradientStaysInsideItsRectangleAndKeepsTheBrush() {
  const QRect rect(5, 10, 30, 64);
  QImage image = canvasImage(50, 90);
  QPainter painter(&image);
  painter.setBrush(QColor(1, 2, 3));
  PaintGradient(painter, Qt::black, Qt::white, rect);
  QCOMPARE(painter.brush().color(), QColor(1, 2, 3));
  painter.end();
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    QCOMPARE(image.pixelColor(rect.left() - 1, y), untouched);
    QCOMPARE(image.pixelColor(rect.right() + 1, y), untouched);
    QVERIFY(image.pixelColor(rect.left(), y) != untouched);
  }
  for (int x = rect.left(); x <= rect.right(); ++x) {
    QCOMPARE(image.pixelColor(x, rect.top() - 1), untouched);
    QCOMPARE(image.pixelColor(x, rect.bottom() + 1), untouched);
  }
}

void PaintHelpersTest::gradientOfNoHeightDrawsNothing() {
  QImage image = canvasImage(20, 20);
  {
    QPainter painter(&image);
    PaintGradient(painter, Qt::black, Qt::white, QRect(0, 5, 20, 0));
  }
  for (int y = 0; y < 20; ++y) QCOMPARE(image.pixelColor(10, y), untouched);
}

void PaintHelpersTest::gradientColourAtMatchesThePainting() {
  const QRect rect(0, 3, 10, 41);
  const QColor top(0, 85, 0);
  const QColor bottom(239, 239, 239);
  QImage image = canvasImage(10, 50);
  {
    QPainter painter(&image);
    PaintGradient(painter, top, bottom, rect);
  }
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const QColor painted = image.pixelColor(5, y);
    const QColor computed = GradientColourAt(top, bottom, rect, y);
    QVERIFY2(qAbs(painted.red() - computed.red()) <= 8 && qAbs(painted.green() - computed.green()) <= 8 &&
                 qAbs(painted.blue() - computed.blue()) <= 8,
             qPrintable(QStringLiteral("row %1").arg(y)));
  }
}

// The workspace colour and the category colours are the user's choice.
void PaintHelpersTest::readableColours_data() {
  QTest::addColumn<QColor>("text");
  QTest::addColumn<QColor>("background");
  QTest::addColumn<QColor>("readable");
  QTest::addColumn<int>("titleStyle"); // of an engraved title on that background
  const QColor black(Qt::black), white(Qt::white), yellow(Qt::yellow);
  QTest::newRow("black on the usual workspace") << black << QColor(154, 148, 207) << black << int(Embossed);
  QTest::newRow("black on dark green") << black << QColor(0, 85, 0) << white << int(Engraved);
  QTest::newRow("black on black") << black << black << white << int(Engraved);
  QTest::newRow("white on white") << white << white << black << int(Embossed);
  QTest::newRow("yellow on dark green") << yellow << QColor(0, 85, 0) << yellow << int(Engraved);
  QTest::newRow("yellow on button face") << yellow << QColor(239, 239, 239) << black << int(Embossed);
  QTest::newRow("black on navy") << black << QColor(0, 0, 128) << white << int(Engraved);
}

void PaintHelpersTest::readableColours() {
  QFETCH(QColor, text);
  QFETCH(QColor, background);
  QFETCH(QColor, readable);
  QFETCH(int, titleStyle);
  QCOMPARE(ReadableColour(text, background), readable);
  QVERIFY(ContrastRatio(readable, background) >= 3);
  QCOMPARE(ContrastRatio(text, background), ContrastRatio(background, text));
  QCOMPARE(EngravedStyleOn(background), titleStyle);
  QCOMPARE(qRound(ContrastRatio(Qt::black, Qt::white)), 21);
  QCOMPARE(ContrastRatio(background, background), 1.0);
}

void PaintHelpersTest::outlinedText_data() {
  QTest::addColumn<QColor>("colour");
  QTest::addColumn<QColor>("background");
  QTest::addColumn<QColor>("outline"); // invalid: none
  QTest::newRow("yellow on a light background") << QColor(Qt::yellow) << QColor(220, 218, 232) << QColor(Qt::black);
  QTest::newRow("red on dark green") << QColor(Qt::red) << QColor(0, 85, 0) << QColor(Qt::white);
  QTest::newRow("yellow on dark green") << QColor(Qt::yellow) << QColor(0, 85, 0) << QColor();
  QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << QColor();
}

void PaintHelpersTest::outlinedText() {
  QFETCH(QColor, colour);
  QFETCH(QColor, background);
  QFETCH(QColor, outline);
  const auto draw = [&](bool outlined) {
    QImage image(80, 30, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(1, 2, 3));
    if (outlined) {
      DrawOutlinedText(painter, 5, 5, QStringLiteral("8:45"), colour, background);
      // The pen is left as it was.
      if (painter.pen().color() != QColor(1, 2, 3)) return QImage();
    } else {
      painter.setPen(colour);
      DrawEmbossedText(painter, 5, 5, PlainText, QStringLiteral("8:45"));
    }
    return image;
  };
  const QImage outlined = draw(true);
  QVERIFY(!outlined.isNull());
  if (!outline.isValid()) {
    QCOMPARE(outlined, draw(false));
    return;
  }
  // The outline's colour shows around the text, which keeps its own.
  bool outlineShown = false, colourShown = false;
  for (int y = 0; y < outlined.height(); ++y)
    for (int x = 0; x < outlined.width(); ++x) {
      outlineShown = outlineShown || outlined.pixelColor(x, y) == outline;
      colourShown = colourShown || outlined.pixelColor(x, y) == colour;
    }
  QVERIFY(outlineShown);
  QVERIFY(colourShown);
}

// The rectangle is 10 pixels wider than `widthOf` plus `extra`: the result
// must be narrower than the rectangle's width minus 10.
void PaintHelpersTest::fitText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("suffix");
  QTest::addColumn<QString>("widthOf");
  QTest::addColumn<int>("extra");
  QTest::addColumn<QString>("expected");

  const QString meeting = QStringLiteral("Réunion hebdomadaire");
  QTest::newRow("narrower: unchanged") << meeting << QStringLiteral("...") << meeting << 1 << meeting;
  QTest::newRow("exactly as wide: shortened") << QStringLiteral("Pause") << QString() << QStringLiteral("Pause") << 0
                                              << QStringLiteral("Paus");
  QTest::newRow("shortened with suffix") << meeting << QStringLiteral("...") << QStringLiteral("Réuni...") << 1
                                         << QStringLiteral("Réuni...");
  QTest::newRow("empty suffix") << QStringLiteral("Mercredi 12") << QString() << QStringLiteral("Mercredi") << 1
                                << QStringLiteral("Mercredi");
  QTest::newRow("nothing fits: suffix only") << QStringLiteral("Pause") << QStringLiteral("...") << QString() << 2
                                             << QStringLiteral("...");
  QTest::newRow("nothing fits, no suffix") << QStringLiteral("Pause") << QString() << QString() << 0 << QString();
}

void PaintHelpersTest::fitText() {
  QFETCH(QString, text);
  QFETCH(QString, suffix);
  QFETCH(QString, widthOf);
  QFETCH(int, extra);
  QFETCH(QString, expected);
  const QFontMetrics metrics(QApplication::font());
  const QRect rect(7, 3, 10 + metrics.horizontalAdvance(widthOf) + extra, 20);
  QCOMPARE(FitText(metrics, rect, text, suffix), expected);
}

void PaintHelpersTest::fittedTitle_data() {
  QTest::addColumn<QRect>("rect");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("cellHeight"); // 0: only check that it fits

  QTest::newRow("short text: lowered once") << QRect(0, 0, 400, 40) << QStringLiteral("A") << 30;
  QTest::newRow("tiny rectangle: smallest height") << QRect(0, 0, 20, 3) << QStringLiteral("Catégorie activite")
                                                   << SmallestTitleHeight;
  QTest::newRow("too long even at the smallest height") << QRect(0, 0, 40, 200)
                                                        << QStringLiteral("Toutes les activités de la semaine")
                                                        << SmallestTitleHeight;
  QTest::newRow("shrunk until it fits") << QRect(10, 5, 160, 60) << QStringLiteral("Catégorie activite") << 0;
}

void PaintHelpersTest::fittedTitle() {
  QFETCH(QRect, rect);
  QFETCH(QString, text);
  QFETCH(int, cellHeight);
  QImage image = canvasImage(rect.right() + 20, rect.bottom() + 20);
  QPainter painter(&image);
  DrawFittedTitle(painter, rect, text, Embossed);
  const QFontMetrics metrics = painter.fontMetrics();
  if (cellHeight > 0)
    QVERIFY2(qAbs(metrics.height() - cellHeight) <= 1, qPrintable(QString::number(metrics.height())));
  else
    QVERIFY(metrics.horizontalAdvance(text) < rect.width() - 10);
}

void PaintHelpersTest::smileyPlacements_data() {
  QTest::addColumn<int>("mark");
  QTest::addColumn<QList<int>>("indexes");
  QTest::newRow("none") << 0 << QList<int>{};
  QTest::newRow("first single") << 1 << QList<int>{0};
  QTest::newRow("last single") << 5 << QList<int>{4};
  QTest::newRow("first pair") << 6 << QList<int>{0, 1};
  QTest::newRow("pair (0,4)") << 9 << QList<int>{0, 4};
  QTest::newRow("pair (1,2)") << 10 << QList<int>{1, 2};
  QTest::newRow("pair (2,4)") << 14 << QList<int>{2, 4};
  QTest::newRow("last pair") << 15 << QList<int>{3, 4};
  QTest::newRow("past the pairs") << 16 << QList<int>{};
  QTest::newRow("negative") << -1 << QList<int>{};
}

void PaintHelpersTest::smileyPlacements() {
  QFETCH(int, mark);
  QFETCH(QList<int>, indexes);
  const QRect rect(40, 100, 45, 18);
  const std::vector<SmileyPlacement> placements = SmileyPlacements(rect, mark);
  QCOMPARE(qsizetype(placements.size()), indexes.size());
  const QPoint corners[] = {{43, 101}, {63, 101}}; // 3 and 23 from the left, 1 below the top
  for (std::size_t n = 0; n < placements.size(); ++n) {
    QCOMPARE(placements[n].index, indexes[qsizetype(n)]);
    QCOMPARE(placements[n].topLeft, corners[n]);
  }
}

void PaintHelpersTest::smileysAreDrawnOverTheFill() {
  const ImageList moods(QStringLiteral("IL_smiley"), TDM_metier::IconSize);
  QCOMPARE(moods.count(), 5);
  const QColor fill(10, 200, 30);
  const QRect rect(0, 0, 45, 18);
  const auto paint = [&](int mark) {
    QImage image = canvasImage(50, 20);
    QPainter painter(&image);
    painter.setBrush(fill);
    DrawSmileys(painter, rect, mark, moods);
    return image;
  };
  // A picture's centre differs from the fill; the gap between the two does not.
  const QImage none = paint(0), single = paint(3), pair = paint(12);
  QCOMPARE(none.pixelColor(11, 9), fill);
  QCOMPARE(none.pixelColor(31, 9), fill);
  QVERIFY(single.pixelColor(11, 9) != fill);
  QCOMPARE(single.pixelColor(31, 9), fill);
  QVERIFY(pair.pixelColor(11, 9) != fill);
  QVERIFY(pair.pixelColor(31, 9) != fill);
  QCOMPARE(pair.pixelColor(44, 17), fill);
  QCOMPARE(pair.pixelColor(46, 9), untouched);
}

QTEST_MAIN(PaintHelpersTest)
#include "PaintHelpers_test.moc"
