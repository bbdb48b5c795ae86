#include "view/MainPainter.h"

#include "engine/MyAmbuloDoc.h"
#include "support/TestServices.h"
#include "view/MainLayout.h"
#include "view/MapCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kUnpainted = 0xFF00FF;

class MainPainterTest : public ::testing::Test {
protected:
    MainPainterTest() { canvas.CreateMapCanvas(); }

    QImage Paint(int dpr = 1) {
        QImage back(240 * dpr, 320 * dpr, QImage::Format_RGB32);
        back.setDevicePixelRatio(dpr);
        back.fill(QColor::fromRgb(kUnpainted));
        PaintMainScreen(back, screen, doc, canvas, l);
        return back;
    }
    // A route point 0.00390625 degrees north and 0.001953125 east of the current fix at (35, 139):
    // 39 and 19 canvas pixels at 10000 a degree, so its mark is at canvas (519, 461).
    void PlotRoute() {
        doc.m_route = {{35.0, 139.0}, {35.0 + 0.00390625, 139.0 + 0.001953125}};
        doc.m_posCurrent.dblLatitude = 35.0;
        doc.m_posCurrent.dblLongitude = 139.0;
        canvas.PlotRoute(doc, l, screen.m_nZoomPercent, screen.m_ptMapPosition);
    }
    static int CountIn(const QImage& image, QRect area, bool (*test)(QRgb)) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                count += test(image.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
            }
        }
        return count;
    }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    MainScreenHooks hooks;
    CMainScreen screen{doc, hooks};
    CMapCanvas canvas;
    const MainLayout l = MainLayout::For(240, 320);
};

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// The map image in its frame shows the canvas around the position mark, one canvas pixel a screen
// pixel at zoom 100 and two at zoom 200, and background wherever the window leaves the canvas.
TEST_F(MainPainterTest, MapShowsTheRouteAroundThePositionMarkAtTheZoom) {
    PlotRoute();
    const QImage frame = Paint();
    const int x = l.xMark;
    const int y = l.yMark;
    const struct {
        int x;
        int y;
        QRgb rgb;
    } probes[] = {
        {x, y, kPositionMarkRgb},
        {x + 19, y - 39, kMapRouteRgb}, // the route point's mark, radius 120 / 50
        {x + 19 + 3, y - 39, kMapBackgroundRgb},
        {l.rcMapImage.x + l.rcMapImage.width - 1, l.rcMapImage.y, kMapBackgroundRgb}, // the last column
        {l.rcMapImage.x - 2, y, kMapFrameRgb}, // between the frame's edge and the image
        {l.rcMapFrame.right + 2, y, kBlack},
        {60, 155, kWhite},  // the grid's line under the figures
        {120, 100, kWhite}, // and the one between their columns
    };
    for (const auto& [px, py, rgb] : probes) {
        EXPECT_EQ(At(frame, px, py), rgb) << px << ", " << py;
    }
    // The zoom caption in black in the frame's bottom right corner, inside its outline.
    const QRect caption(l.rcMapFrame.right - 41, l.rcMapFrame.bottom - 9, 35, 7);
    EXPECT_GT(CountIn(frame, caption, [](QRgb c) { return qGray(c) < 128; }), 10);

    screen.m_nZoomPercent = 200; // marks of radius 4 around (519, 461): 9.5 and 19.5 screen pixels off
    PlotRoute();
    EXPECT_EQ(At(Paint(), x + 9, y - 19), kMapRouteRgb);
    EXPECT_EQ(At(Paint(), x + 13, y - 19), kMapBackgroundRgb);
    // At zoom 100 from x = 990 - 68 the window leaves the canvas after 78 columns.
    screen.m_nZoomPercent = 100;
    screen.m_ptMapPosition = {990, 500};
    EXPECT_EQ(At(Paint(), l.rcMapImage.x + 100, y), kMapBackgroundRgb);
    // Without a canvas the frame stays empty.
    canvas.DeleteMapCanvas();
    EXPECT_EQ(At(Paint(), l.rcMapImage.x + 6, l.rcMapImage.y + 5), kMapFrameRgb);
    // The GPS picture: blue when the receiver is ready, red when not.
    const QRect gps(l.rcGps.x, l.rcGps.y, l.rcGps.width, l.rcGps.height);
    const auto bluish = [](QRgb c) { return qBlue(c) > qRed(c) + 80; };
    const auto reddish = [](QRgb c) { return qRed(c) > qBlue(c) + 80; };
    for (const int ready : {0, 1}) {
        doc.m_bGpsReady = ready;
        EXPECT_GT(CountIn(Paint(), gps, ready != 0 ? +bluish : +reddish), 50) << ready;
    }
}

// A high-density buffer is painted on every one of its own pixels, the map image included: the
// route mark of a canvas of the same density covers the device pixels of its logical pixels.
TEST_F(MainPainterTest, HighDensityBuffersArePaintedOnEveryDevicePixel) {
    canvas.CreateMapCanvas(2);
    PlotRoute();
    const QImage dense = Paint(2);
    EXPECT_EQ(CountIn(dense, dense.rect(), [](QRgb c) { return c == kUnpainted; }), 0);
    for (const auto& [x, y] : {std::pair{l.xMark + 19, l.yMark - 39}, {l.xMark + 21, l.yMark - 39}}) {
        EXPECT_EQ(At(dense, 2 * x, 2 * y), kMapRouteRgb) << x << ", " << y;
        EXPECT_EQ(At(dense, 2 * x + 1, 2 * y + 1), kMapRouteRgb) << x << ", " << y;
    }
    EXPECT_EQ(At(dense, 2 * (l.xMark + 22) + 1, 2 * (l.yMark - 39)), kMapBackgroundRgb);
}

} // namespace
