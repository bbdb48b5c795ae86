#pragma once

#include "ui/TextFit.h"

#include <QFont>
#include <QFontMetrics>

#include <map>

class QPainter;

// The screens' face at a pixel size; the application maps it to a Japanese gothic the machine has.
QFont ScreenFont(int nPixelSize, bool bBold);

// Measures with the font metrics of the screen's face; needs a GUI application but no display.
class QtTextMeasure final : public TextMeasure {
public:
    TextExtent Measure(std::string_view utf8, int nPixelSize, bool bBold) const override;

private:
    mutable std::map<int, QFontMetrics> m_metrics; // by size, bold ones negative
};

// Draws a fitted text in the painter's pen at its size, on an opaque black line box when asked.
// A text no size fitted is not drawn.
void DrawPlacedText(QPainter& p, const PlacedText& text, bool bOpaque);
