#pragma once

#include <string>
#include <string_view>

// A rectangle placed on a screen: its top-left corner and its size.
struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool Contains(const LayoutRect& r) const {
        return x <= r.x && y <= r.y && r.Right() <= Right() && r.Bottom() <= Bottom();
    }
    bool Intersects(const LayoutRect& r) const {
        return x < r.Right() && r.x < Right() && y < r.Bottom() && r.y < Bottom();
    }
};

// The line of a text in the screen's face at one pixel size: how far it advances, and the
// ascent and full height of its line box (what an opaque text covers).
struct TextExtent {
    int nAdvance = 0;
    int nAscent = 0;
    int nHeight = 0;
};

// Measures texts without a widget; the screens use the font metrics of the screen's face.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual TextExtent Measure(std::string_view utf8, int nPixelSize, bool bBold) const = 0;
};

// Which point of a text's line box is placed at (x, y).
enum class TextAnchor { LeftTop, RightTop, CentreTop, CentreBottom, RightBottom, RightBaseline };

// One text of a screen: where it is anchored, the cell it must stay in and the line height the
// layout gives it. A font height there is a character cell height (ascent plus descent), so the
// layout's size is the largest pixel size whose line is no higher than that.
struct PlacedText {
    std::string strText;
    int x = 0;
    int y = 0;
    TextAnchor anchor = TextAnchor::LeftTop;
    bool bBold = false;
    int nHeight = 0;
    LayoutRect rcCell;
    // Filled by FitText: the size drawn (0 when no size fits: the text is left out rather than
    // cut) and the line box it covers at that size.
    int nPixelSize = 0;
    LayoutRect rcText;
};

// The line box of a text with this extent at its anchor.
LayoutRect TextBox(const PlacedText& text, const TextExtent& extent);

// The largest pixel size whose line is at most nHeight high; 0 when none is.
int NominalPixelSize(const TextMeasure& measure, int nHeight, bool bBold);

// Chooses the layout's size when the text fits its cell there, otherwise the largest smaller size
// at which it does: a text is never cut and never reaches into a neighbour's cell.
void FitText(const TextMeasure& measure, PlacedText& text);

// A text placed and fitted in one step.
PlacedText FittedText(const TextMeasure& measure, std::string text, int x, int y, TextAnchor anchor,
                      bool bBold, int nHeight, const LayoutRect& cell);
