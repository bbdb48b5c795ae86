#pragma once

#include "platform/Translate.h"
#include "ui/TextFit.h"
#include "view/MainScreen.h"

#include <string>
#include <vector>

// The changing texts of the main screen.
struct MainTexts {
    std::string strClock;
    std::string strDistance;
    std::string strElapsed;
    std::string strSpeed;
    std::string strKcal;
    std::string strZoomCaption;
};

inline constexpr const char* kDistanceLabel = AMBULO_TR_NOOP("Ambulo", "距離 (m)");
inline constexpr const char* kTimeLabel = AMBULO_TR_NOOP("Ambulo", "時間");
inline constexpr const char* kSpeedLabel = AMBULO_TR_NOOP("Ambulo", "速度 (km/h)");
inline constexpr const char* kKcalLabel = AMBULO_TR_NOOP("Ambulo", "カロリー (kcal)");

// Where everything of the main screen goes for one client size. Integer arithmetic on W and H,
// evaluated left to right with truncating division, so every size places the same pixels on every
// machine. A client too small for a part gives that part no width or height; nothing is negative.
struct MainLayout {
    int W = 0;
    int H = 0;
    bool bPortrait = true; // W <= H

    int a = 0;           // small font height, percent of H
    int b = 0;           // large font height, percent of H
    int T = 0;           // width of the block of figures
    int nButtonSide = 0; // e in portrait, K in landscape
    int f = 0;           // side of the small buttons

    LayoutRect rcStart;
    LayoutRect rcRest;
    LayoutRect rcBluetooth;
    LayoutRect rcGps; // the GPS status picture, right of the Bluetooth button

    // The map frame, also the tap area for checkpoints. Its right and bottom edges stay at W - 5 and
    // H - 5 even when that is left of or above its corner: such a frame contains no point.
    ScreenRect rcMapFrame;
    int nMapWidth = 0;     // w: W - 5 - left
    int nMapHeight = 0;    // h: H - 5 - top
    LayoutRect rcMapImage; // where the zoomed canvas window is shown, R x S

    int nSmallFont = 0;   // line heights of the clock and labels,
    int nLargeFont = 0;   // of the four figures
    int nCaptionFont = 0; // and of the zoom caption

    // The position mark in the middle of the map image.
    int xMark = 0;
    int yMark = 0;
    int nMarkRadius = 0;

    // S0: the route marks' radius is S0 / 50 (times the zoom-out factor when following).
    int nRouteMarkBase = 0;

    static MainLayout For(int width, int height);

    // Every text of the screen in its cell: the clock, the four labels, the four figures (labels
    // and figures in the order distance, time, speed, energy) and the zoom caption, each at the
    // layout's size where it fits and smaller where that would overflow its cell.
    std::vector<PlacedText> PlaceTexts(const TextMeasure& measure, const MainTexts& texts) const;
};
