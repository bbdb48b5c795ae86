#include "view/MainLayout.h"
#include "platform/Translate.h"

#include <algorithm>

namespace {

// Far beyond any screen, and small enough that W x 100 stays an int.
constexpr int kLargestSide = 1 << 20;

} // namespace

MainLayout MainLayout::For(int width, int height) {
    MainLayout l;
    const int W = std::clamp(width, 0, kLargestSide);
    const int H = std::clamp(height, 0, kLargestSide);
    l.W = W;
    l.H = H;
    l.bPortrait = W <= H;

    if (l.bPortrait) {
        l.a = 6;
        l.b = 10;
        l.T = W;
        l.nButtonSide = std::max(0, std::min(H * 50 / 100 / 2, W / 3) - 5);
    } else {
        l.a = 10;
        l.b = 15;
        l.T = W * 60 / 100;
        l.nButtonSide = std::min(W * 31 / 100 / 2, H / 3);
    }
    const int e = l.nButtonSide;
    const int f = e / 2;
    l.f = f;

    if (l.bPortrait) {
        l.rcStart = {W * 3 / 100, H * 50 / 100, e, e};
        l.rcRest = {W * 3 / 100, H * 50 / 100 + e + 5, e, e / 2};
    } else {
        l.rcStart = {W * 63 / 100, H * 3 / 100, e, e};
        l.rcRest = {W * 66 / 100 + e, H * 3 / 100, e, e / 2};
    }
    l.rcBluetooth = {W * 3 / 100, H - f - 3, f, f};
    l.rcGps = {W * 3 / 100 + f + 3, H - f - 3, f, f};

    const int left = l.bPortrait ? W * 6 / 100 + e : W * 3 / 100 + l.T;
    const int top = l.bPortrait ? H * 50 / 100 : H * 3 / 100 + W * 3 / 100 + e;
    l.rcMapFrame = {left, top, W - 5, H - 5};
    const int w = std::max(0, W - 5 - left);
    const int h = std::max(0, H - 5 - top);
    l.nMapWidth = w;
    l.nMapHeight = h;
    l.rcMapImage = {left + 5, top + 5, std::max(0, w - 10), std::max(0, h - 10)};

    l.nSmallFont = H * l.a / 100;
    l.nLargeFont = H * l.b / 100;
    l.nCaptionFont = H * l.a / 2 / 100;

    l.xMark = left + w / 2;
    l.yMark = top + h / 2;
    l.nMarkRadius = w / 50;

    l.nRouteMarkBase = l.bPortrait ? W / 2 : W * 40 / 100;
    return l;
}

std::vector<PlacedText> MainLayout::PlaceTexts(const TextMeasure& measure, const MainTexts& texts) const {
    // The grid's lines run 5 pixels above the rows they separate: at y1 - 5 under the clock, at
    // y3 - 5 between the two rows of figures and at y5 - 5 under them; the columns meet at T / 2.
    const int y1 = H * b / 100;
    const int y3 = 3 * H * b / 100;
    const int y5 = 5 * H * b / 100;
    const int yValue1 = (a + b) * H / 100;
    const int yValue3 = (3 * b + a) * H / 100;
    const int xLeft = T * 3 / 100;
    const int xRight = T * 53 / 100;
    const int split = T / 2;
    const auto label = [&](const char* text, int x, int yLabel, int yValue, int right) {
        return FittedText(measure, text, x, yLabel, TextAnchor::LeftTop, false, nSmallFont,
                          {x, yLabel - 4, right - x, yValue - (yLabel - 4)});
    };
    const auto figure = [&](const std::string& text, int x, int y, int cellLeft, int cellRight, int bottom) {
        return FittedText(measure, text, x, y, TextAnchor::RightTop, true, nLargeFont,
                          {cellLeft, y, cellRight - cellLeft, bottom - y});
    };
    std::vector<PlacedText> placed;
    placed.reserve(10);
    placed.push_back(FittedText(measure, texts.strClock, T - 3, 0, TextAnchor::RightTop, false, nSmallFont,
                                {1, 0, T - 1, y1 - 5}));
    placed.push_back(label(platform::Tr("Ambulo", kDistanceLabel).c_str(), xLeft, y1, yValue1, split));
    placed.push_back(label(platform::Tr("Ambulo", kTimeLabel).c_str(), xRight, y1, yValue1, T));
    placed.push_back(label(platform::Tr("Ambulo", kSpeedLabel).c_str(), xLeft, y3, yValue3, split));
    placed.push_back(label(platform::Tr("Ambulo", kKcalLabel).c_str(), xRight, y3, yValue3, T));
    placed.push_back(figure(texts.strDistance, split - 5, yValue1, 1, split, y3 - 5));
    placed.push_back(figure(texts.strElapsed, T - 5, yValue1, split + 1, T, y3 - 5));
    placed.push_back(figure(texts.strSpeed, split - 5, yValue3, 1, split, y5 - 5));
    placed.push_back(figure(texts.strKcal, T - 5, yValue3, split + 1, T, y5 - 5));
    // The caption sits in the map's bottom right corner, inside the frame.
    const ScreenRect& frame = rcMapFrame;
    placed.push_back(FittedText(measure, texts.strZoomCaption, W - 5, H - 5, TextAnchor::RightBottom, false,
                                nCaptionFont, {frame.left, frame.top, nMapWidth, nMapHeight}));
    return placed;
}
