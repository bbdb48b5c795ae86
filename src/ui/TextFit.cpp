#include "ui/TextFit.h"

#include <utility>

LayoutRect TextBox(const PlacedText& text, const TextExtent& extent) {
    const int w = extent.nAdvance;
    const int h = extent.nHeight;
    switch (text.anchor) {
    case TextAnchor::LeftTop:
        return {text.x, text.y, w, h};
    case TextAnchor::RightTop:
        return {text.x - w, text.y, w, h};
    case TextAnchor::CentreTop:
        return {text.x - w / 2, text.y, w, h};
    case TextAnchor::CentreBottom:
        return {text.x - w / 2, text.y - h, w, h};
    case TextAnchor::RightBottom:
        return {text.x - w, text.y - h, w, h};
    case TextAnchor::RightBaseline:
        break;
    }
    return {text.x - w, text.y - extent.nAscent, w, h};
}

int NominalPixelSize(const TextMeasure& measure, int nHeight, bool bBold) {
    // A line is a little higher than its pixel size; a few steps down find the size.
    int size = nHeight;
    while (size > 0 && measure.Measure({}, size, bBold).nHeight > nHeight) {
        --size;
    }
    return size;
}

void FitText(const TextMeasure& measure, PlacedText& text) {
    const auto fits = [&](int size, LayoutRect& box) {
        box = TextBox(text, measure.Measure(text.strText, size, text.bBold));
        return text.rcCell.Contains(box);
    };
    text.nPixelSize = 0;
    text.rcText = {};
    const int nominal = NominalPixelSize(measure, text.nHeight, text.bBold);
    LayoutRect box;
    if (nominal <= 0) {
        return;
    }
    if (fits(nominal, box)) {
        text.nPixelSize = nominal;
        text.rcText = box;
        return;
    }
    // Width and height grow with the size: halve the range between a size known to fit (or 0)
    // and one known not to.
    int good = 0;
    int bad = nominal;
    LayoutRect goodBox;
    while (bad - good > 1) {
        const int middle = good + (bad - good) / 2;
        if (fits(middle, box)) {
            good = middle;
            goodBox = box;
        } else {
            bad = middle;
        }
    }
    text.nPixelSize = good;
    text.rcText = good > 0 ? goodBox : LayoutRect{};
}

PlacedText FittedText(const TextMeasure& measure, std::string text, int x, int y, TextAnchor anchor,
                      bool bBold, int nHeight, const LayoutRect& cell) {
    PlacedText placed;
    placed.strText = std::move(text);
    placed.x = x;
    placed.y = y;
    placed.anchor = anchor;
    placed.bBold = bBold;
    placed.nHeight = nHeight;
    placed.rcCell = cell;
    FitText(measure, placed);
    return placed;
}
