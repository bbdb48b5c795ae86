#include "view/MainLayout.h"

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
