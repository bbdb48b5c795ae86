#include "view/MainPainter.h"

#include "engine/MyAmbuloDoc.h"
#include "support/TestServices.h"
#include "view/MainLayout.h"
#include "view/MapCanvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kUnpainted = 0xFF00FF;

class MainPainterTest : public ::testing::Test {
protected:
    MainPainterTest() { canvas.CreateMapCanvas(); }

    QImage Paint(int W, int H, int dpr = 1) {
        QImage back(W * dpr, H * dpr, QImage::Format_RGB32);
        back.setDevicePixelRatio(dpr);
        back.fill(QColor::fromRgb(kUnpainted));
        PaintMainScreen(back, screen, doc, canvas, MainLayout::For(W, H));
        return back;
    }
    // A route point 0.00390625 degrees north and 0.001953125 east of the current fix at (35, 139):
    // 39 and 19 canvas pixels at 10000 a degree, so its mark is at canvas (519, 461).
    void PlotRouteAt240x320() {
        doc.m_route = {{35.0, 139.0}, {35.0 + 0.00390625, 139.0 + 0.001953125}};
        doc.m_posCurrent.dblLatitude = 35.0;
        doc.m_posCurrent.dblLongitude = 139.0;
        canvas.PlotRoute(doc, MainLayout::For(240, 320), screen.m_nZoomPercent, screen.m_ptMapPosition);
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
};

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

TEST_F(MainPainterTest, GridFrameRouteAndPositionMark) {
    PlotRouteAt240x320();
    const QImage small = Paint(240, 320);
    const QImage large = Paint(480, 640);
    const struct {
        int W;
        int x;
        int y;
        QRgb rgb;
    } probes[] = {
        {240, 40, 200, kBlack},  // where the Start button goes
        {240, 238, 200, kBlack}, // right of the frame, which ends at W - 5
        // Lines at y1 - 5 = 32 - 5 and y5 - 5 = 160 - 5; the middle one at x = 120 from y1 - 2 down.
        {240, 60, 27, kWhite},
        {240, 60, 155, kWhite},
        {240, 120, 29, kBlack},
        {240, 120, 30, kWhite},
        {240, 120, 154, kWhite},
        {240, 91, 200, kMapFrameRgb},       // between the frame's edge and the image,
        {240, 100, 170, kMapBackgroundRgb}, // which starts at (94, 165)
        // At zoom 100 the 136 x 145 image shows the canvas from (500 - 68, 500 - 72): the route mark
        // at canvas (519, 461) is at (94 + 87, 165 + 33), radius 120 / 50.
        {240, 181, 198, kMapRouteRgb},
        {240, 184, 198, kMapBackgroundRgb},
        {240, 162, 237, kPositionMarkRgb}, // the middle of the image
        // 480 x 640: frame (183, 320)-(475, 635); the mark at (183 + 146, 320 + 157), radius 5.
        {480, 329, 477, kPositionMarkRgb},
        {480, 329 + 8, 477, kMapBackgroundRgb},
    };
    for (const auto& [W, x, y, rgb] : probes) {
        EXPECT_EQ(At(W == 240 ? small : large, x, y), rgb) << W << ": " << x << ", " << y;
    }
    // The zoom caption in black above and left of the frame's corner (475, 635).
    EXPECT_GT(CountIn(large, QRect(400, 620, 70, 12), [](QRgb c) { return qGray(c) < 64; }), 10);
}

TEST_F(MainPainterTest, MapWindowFollowsZoomAndPositionAndShowsBackgroundBeyondTheCanvas) {
    // Zoomed out to 200: two canvas pixels a screen pixel from (500 - 136, 500 - 145), radius 4.
    screen.m_nZoomPercent = 200;
    screen.m_nZoomLevel = 6;
    PlotRouteAt240x320();
    QImage frame = Paint(240, 320);
    EXPECT_EQ(At(frame, 94 + 77, 165 + 53), kMapRouteRgb);
    EXPECT_EQ(At(frame, 94 + 81, 165 + 53), kMapBackgroundRgb);
    // At zoom 100 from x = 990 - 68 the window leaves the canvas after 78 columns.
    screen.m_nZoomPercent = 100;
    screen.m_ptMapPosition = {990, 500};
    EXPECT_EQ(At(Paint(240, 320), 94 + 100, 200), kMapBackgroundRgb);
    screen.m_ptMapPosition = {INT_MAX, INT_MIN};
    screen.m_nZoomPercent = 600;
    EXPECT_EQ(At(Paint(240, 320), 229, 170), kMapBackgroundRgb);
    // Without a canvas the frame stays empty.
    canvas.DeleteMapCanvas();
    EXPECT_EQ(At(Paint(240, 320), 100, 170), kMapFrameRgb);
}

TEST_F(MainPainterTest, GpsPictureFollowsTheReceiverState) {
    const QRect gps(47, 280, 37, 37);
    const auto bluish = [](QRgb c) { return qBlue(c) > qRed(c) + 80; };
    const auto reddish = [](QRgb c) { return qRed(c) > qBlue(c) + 80; };
    for (const int ready : {0, 1}) {
        doc.m_bGpsReady = ready;
        const QImage frame = Paint(240, 320);
        EXPECT_GT(CountIn(frame, gps, ready != 0 ? +bluish : +reddish), 50) << ready;
        EXPECT_EQ(CountIn(frame, gps, ready != 0 ? +reddish : +bluish), 0) << ready;
    }
}

// A high-density buffer is painted on every one of its own pixels, the map image included: the
// route mark at canvas (519, 461) covers the device pixels of its logical pixel, not a quarter.
TEST_F(MainPainterTest, HighDensityBuffersArePaintedOnEveryDevicePixel) {
    PlotRouteAt240x320();
    const QImage dense = Paint(240, 320, 2);
    EXPECT_EQ(CountIn(dense, dense.rect(), [](QRgb c) { return c == kUnpainted; }), 0);
    const QImage single = Paint(240, 320);
    for (int y = 165; y < 295; y += 3) { // above the zoom caption
        for (int x = 94; x < 230; x += 3) {
            if (std::abs(x - 162) < 5 && std::abs(y - 237) < 5) {
                continue; // the position mark's outline is a logical pixel wide: two device pixels
            }
            ASSERT_EQ(At(dense, 2 * x + 1, 2 * y + 1), At(single, x, y)) << x << ", " << y;
        }
    }
}

} // namespace
