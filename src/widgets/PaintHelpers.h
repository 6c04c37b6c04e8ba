#pragma once
// Small painting helpers shared by every screen header, total strip and
// report: vertical gradients, embossed texts, caption bands, texts shortened
// to a width and the satisfaction pictures. Rectangles are in pixels.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

class QFontMetrics;
class QPainter;

namespace tessel {

class ImageList;

// System button-face colour, the usual top colour of the headers.
QColor ButtonFaceColour();

// The program stores colours as 0x00BBGGRR integers; screens use QColor.
// The top byte (system-colour flag) is ignored.
QColor ColourFromBgr(std::uint32_t bgr);
std::uint32_t BgrFromColour(const QColor& colour);

// Vertical gradient from `top` to `bottom` over `rect`, in bands of about 1/256
// of the height (at least one pixel). Leaves the painter's brush as it was.
void PaintGradient(QPainter& canvas, const QColor& top, const QColor& bottom, const QRect& rect);

// Styles of DrawEmbossedText and DrawFittedTitle.
enum TextStyle : int {
  Embossed = 0, // light RGB(227,228,234) at (x, y), then black at (x+1, y+1)
  Engraved = 1, // grey RGB(128,128,128) at (x, y), then white at (x+1, y+1)
  PlainText = 2 // once at (x, y) in the painter's pen colour
};
// (x, y) is the top-left corner of the text cell; the background stays.
void DrawEmbossedText(QPainter& canvas, int x, int y, int style, const QString& text);

// Readable texts on any background (the workspace colour and the category
// colours are the user's): the contrast ratio of two colours, from 1 (same
// lightness) to 21 (black on white), as the accessibility guidelines reckon it.
double ContrastRatio(const QColor& a, const QColor& b);
// Below this ratio a text is hard to read.
inline constexpr double ReadableContrast = 4.5;
// Black or white, whichever reads better on `background`.
QColor ContrastingColour(const QColor& background);
// `colour` where it reads on `background`, otherwise ContrastingColour.
QColor ReadableColour(const QColor& colour, const QColor& background);
// The colour PaintGradient puts at height `y` of `rect`.
QColor GradientColourAt(const QColor& top, const QColor& bottom, const QRect& rect, int y);
// Draws `text` in `colour` like DrawEmbossedText's plain style; where it does
// not read on `background`, a one-pixel outline in the contrasting colour
// goes around it, so that a colour that means something (a day of eight
// hours) keeps its meaning.
void DrawOutlinedText(QPainter& canvas, int x, int y, const QString& text, const QColor& colour,
                      const QColor& background);
// The engraved style where its white text reads on `background`, the
// embossed one (black text) where it does not.
int EngravedStyleOn(const QColor& background);

// Fills `box` with a gradient from `top` to `bottom` and centres `title`
// (embossed) in the part of the box right of `leftOffset`.
void PaintCaptionBand(QPainter& canvas, const QRect& box, const QString& title, const QColor& top,
                      int leftOffset, const QColor& bottom);

// `text` when it is narrower than the rectangle's width minus 10 pixels;
// otherwise the text shortened from its end, followed by `suffix`, so that the
// whole is narrower (just `suffix` when nothing of the text fits).
QString FitText(const QFontMetrics& metrics, const QRect& rect, const QString& text, const QString& suffix);
QString FitText(const QPainter& canvas, const QRect& rect, const QString& text, const QString& suffix);

// The smallest character-cell height DrawFittedTitle shrinks to; a text that
// does not fit even then is drawn at this height.
inline constexpr int SmallestTitleHeight = 6;
// Draws `text` centred in `rect` in the user-interface font, shrunk in steps of
// 10 pixels from the rectangle's height until it is narrower than the width
// minus 10. Leaves the painter with the font it drew with.
void DrawFittedTitle(QPainter& canvas, const QRect& rect, const QString& text, int style);

// Where DrawSmileys puts the mood pictures for a satisfaction mark: mark 1 to
// 5 is one picture, 6 to 15 a pair of distinct pictures, anything else none.
struct SmileyPlacement {
  int index;       // in the mood image list
  QPoint topLeft;
};
std::vector<SmileyPlacement> SmileyPlacements(const QRect& rect, int mark);
// Fills `rect` with the painter's brush and draws the mood pictures of `mark`
// from `moods` (by default the mood list IL_smiley of the business module).
void DrawSmileys(QPainter& canvas, const QRect& rect, int mark, const ImageList& moods);
void DrawSmileys(QPainter& canvas, const QRect& rect, int mark);

} // namespace tessel
