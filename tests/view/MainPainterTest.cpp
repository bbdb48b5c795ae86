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

// 0.00390625 degrees north and 0.001953125 east are 39 and 19 canvas pixels at 10000 a degree.
constexpr double kLat0 = 35.0;
constexpr double kLon0 = 139.0;
constexpr double kNorth39 = 0.00390625;
constexpr double kEast19 = 0.001953125;

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
    // A route point 19 pixels east and 39 north of the current fix at (35, 139).
    void PlotRouteAt240x320() {
        doc.m_route = {{kLat0, kLon0}, {kLat0 + kNorth39, kLon0 + kEast19}};
        doc.m_posCurrent.dblLatitude = kLat0;
        doc.m_posCurrent.dblLongitude = kLon0;
        canvas.PlotRoute(doc, MainLayout::For(240, 320), screen.m_nZoomPercent, screen.m_ptMapPosition);
    }
    static int CountIn(const QImage& image, QRect area, bool (*test)(QRgb)) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                count += test(image.pixel(x, y)) ? 1 : 0;
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

TEST_F(MainPainterTest, BackgroundGridAndMapFrame) {
    const QImage frame = Paint(240, 320);
    EXPECT_EQ(At(frame, 40, 200), kBlack);  // where the Start button goes
    EXPECT_EQ(At(frame, 238, 200), kBlack); // right of the frame, which ends at W - 5
    // Lines at y1 - 5 = 32 - 5 and y5 - 5 = 160 - 5; the middle one at x = 120 from y1 - 2 down.
    EXPECT_EQ(At(frame, 60, 27), kWhite);
    EXPECT_EQ(At(frame, 60, 155), kWhite);
    EXPECT_EQ(At(frame, 120, 29), kBlack);
    EXPECT_EQ(At(frame, 120, 30), kWhite);
    EXPECT_EQ(At(frame, 120, 154), kWhite);
    EXPECT_EQ(At(frame, 91, 200), kMapFrameRgb);       // between the frame's edge and the image
    EXPECT_EQ(At(frame, 100, 170), kMapBackgroundRgb); // the image starts at (94, 165)
}

TEST_F(MainPainterTest, RouteMarksShowWhereTheCanvasPutsThem) {
    PlotRouteAt240x320();
    // At zoom 100 the 136 x 145 image shows the canvas from (500 - 68, 500 - 72): the mark at
    // canvas (519, 461) is at (94 + 87, 165 + 33).
    QImage frame = Paint(240, 320);
    EXPECT_EQ(At(frame, 181, 198), kMapRouteRgb);
    EXPECT_EQ(At(frame, 184, 198), kMapBackgroundRgb);

    // Zoomed out to 200: two canvas pixels a screen pixel from (500 - 136, 500 - 145), radius 4.
    screen.m_nZoomPercent = 200;
    screen.m_nZoomLevel = 6;
    PlotRouteAt240x320();
    frame = Paint(240, 320);
    EXPECT_EQ(At(frame, 94 + 77, 165 + 53), kMapRouteRgb);
    EXPECT_EQ(At(frame, 94 + 81, 165 + 53), kMapBackgroundRgb);
}

TEST_F(MainPainterTest, BeyondTheCanvasShowsBackground) {
    // From x = 990 - 68 the window leaves the canvas after 78 columns.
    screen.m_ptMapPosition = {990, 500};
    QImage frame = Paint(240, 320);
    EXPECT_EQ(At(frame, 94 + 100, 200), kMapBackgroundRgb);
    screen.m_ptMapPosition = {INT_MAX, INT_MIN};
    screen.m_nZoomPercent = 600;
    frame = Paint(240, 320);
    EXPECT_EQ(At(frame, 229, 170), kMapBackgroundRgb);
    // Without a canvas the frame stays empty.
    canvas.DeleteMapCanvas();
    frame = Paint(240, 320);
    EXPECT_EQ(At(frame, 100, 170), kMapFrameRgb);
}

TEST_F(MainPainterTest, GpsPictureFollowsTheReceiverState) {
    const QRect gps(47, 280, 37, 37);
    const auto bluish = [](QRgb c) { return qBlue(c) > qRed(c) + 80; };
    const auto reddish = [](QRgb c) { return qRed(c) > qBlue(c) + 80; };
    QImage frame = Paint(240, 320);
    EXPECT_GT(CountIn(frame, gps, reddish), 50);
    EXPECT_EQ(CountIn(frame, gps, bluish), 0);
    doc.m_bGpsReady = 1;
    frame = Paint(240, 320);
    EXPECT_GT(CountIn(frame, gps, bluish), 50);
    EXPECT_EQ(CountIn(frame, gps, reddish), 0);
}

TEST_F(MainPainterTest, ZoomCaptionAndPositionMark) {
    // 480 x 640: frame (183, 320)-(475, 635), w 292, h 315; the mark at (183 + 146, 320 + 157),
    // radius 5, and the caption in black above and left of (475, 635).
    const QImage frame = Paint(480, 640);
    EXPECT_EQ(At(frame, 329, 477), kPositionMarkRgb);
    EXPECT_EQ(At(frame, 329 + 8, 477), kMapBackgroundRgb);
    const auto dark = [](QRgb c) { return qGray(c) < 64; };
    EXPECT_GT(CountIn(frame, QRect(400, 620, 70, 12), dark), 10);
}

TEST_F(MainPainterTest, TinyAndNullBuffersPaintWithoutFaults) {
    for (const auto& [W, H] : {std::pair{1, 1}, {10, 10}, {30, 20}, {20, 30}, {60, 40}}) {
        SCOPED_TRACE(testing::Message() << W << " x " << H);
        const QImage frame = Paint(W, H);
        EXPECT_EQ(frame.size(), QSize(W, H));
        EXPECT_EQ(CountIn(frame, frame.rect(), [](QRgb c) { return (c & 0xFFFFFF) == kUnpainted; }), 0);
    }
    // A high-density buffer is painted on every one of its own pixels, the map image included: the
    // route mark at canvas (519, 461) covers the device pixels of its logical pixel, not a quarter.
    PlotRouteAt240x320();
    const QImage dense = Paint(240, 320, 2);
    EXPECT_EQ(CountIn(dense, dense.rect(), [](QRgb c) { return (c & 0xFFFFFF) == kUnpainted; }), 0);
    const QImage single = Paint(240, 320);
    for (int y = 165; y < 295; y += 3) { // above the zoom caption
        for (int x = 94; x < 230; x += 3) {
            if (std::abs(x - 162) < 5 && std::abs(y - 237) < 5) {
                continue; // the position mark's outline is a logical pixel wide: two device pixels
            }
            ASSERT_EQ(At(dense, 2 * x + 1, 2 * y + 1), At(single, x, y)) << x << ", " << y;
        }
    }
    QImage none;
    PaintMainScreen(none, screen, doc, canvas, MainLayout::For(240, 320));
    EXPECT_TRUE(none.isNull());
}

} // namespace
