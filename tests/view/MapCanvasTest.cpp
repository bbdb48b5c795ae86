#include "view/MapCanvas.h"

#include "engine/MyAmbuloDoc.h"
#include "support/TestServices.h"
#include "view/MainLayout.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Degree offsets that are exact in binary, so the pixel offsets at 10000 pixels a degree are too:
// 0.00390625 degrees = 39.0625 pixels, 0.001953125 = 19.53125.
constexpr double kLat0 = 35.0;
constexpr double kLon0 = 139.0;
constexpr double kNorth39 = 0.00390625;
constexpr double kEast19 = 0.001953125;

int MarkedPixels(const CMapCanvas& canvas) {
    int marked = 0;
    for (int y = 0; y < CMapCanvas::kSize; ++y) {
        for (int x = 0; x < CMapCanvas::kSize; ++x) {
            marked += canvas.Pixel(x, y);
        }
    }
    return marked;
}

// Disc of a mark: the row through its centre reaches exactly radius pixels either side.
void ExpectMark(const CMapCanvas& canvas, CanvasPoint at, int r) {
    SCOPED_TRACE(testing::Message() << "mark at " << at.x << "," << at.y << " radius " << r);
    EXPECT_EQ(canvas.Pixel(at.x - r, at.y) + canvas.Pixel(at.x + r, at.y) + canvas.Pixel(at.x, at.y + r), 3);
    EXPECT_EQ(canvas.Pixel(at.x - r - 1, at.y) + canvas.Pixel(at.x + r + 1, at.y) +
                  canvas.Pixel(at.x, at.y - r - 1),
              0);
}

TEST(MapCanvasGeometry, ScalesDegreesAndTruncatesTowardZero) {
    // North is up; 39.0625 -> 39 and -19.53125 -> -19, not -20; at 200 a degree both are nothing.
    EXPECT_EQ(CanvasPosition(kLat0 + kNorth39, kLon0 - kEast19, kLat0, kLon0, 10000),
              (CanvasPoint{481, 461}));
    EXPECT_EQ(CanvasPosition(kLat0 - kNorth39, kLon0 + kEast19, kLat0, kLon0, 200), (CanvasPoint{500, 500}));
    // Absurd positions and scales land far off the canvas instead of overflowing.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const CanvasPoint p : {CanvasPosition(90, 180, -90, -180, std::numeric_limits<int>::max()),
                                CanvasPosition(-1e300, -1e300, 1e300, 1e300, 10000),
                                CanvasPosition(nan, nan, kLat0, kLon0, 10000)}) {
        EXPECT_TRUE(p.x < 0 || p.x >= 1000);
        EXPECT_TRUE(p.y < 0 || p.y >= 1000);
    }
}

class MapCanvasPlotRoute : public ::testing::Test {
protected:
    MapCanvasPlotRoute() {
        canvas.CreateMapCanvas();
        doc.m_posStart.dblLatitude = kLat0;
        doc.m_posStart.dblLongitude = kLon0;
    }
    void Fix(double latitude, double longitude) {
        doc.m_posCurrent.dblLatitude = latitude;
        doc.m_posCurrent.dblLongitude = longitude;
    }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    CMapCanvas canvas;
    const MainLayout portrait = MainLayout::For(240, 320); // S0 120
    CanvasPoint position{123, 456};
};

TEST_F(MapCanvasPlotRoute, AroundTheStartEachFixAddsOneMarkAndMovesTheView) {
    doc.m_bCenterOnStart = 1;
    Fix(kLat0 + kNorth39, kLon0 + kEast19);
    canvas.PlotRoute(doc, portrait, 300, position);
    EXPECT_EQ(position, (CanvasPoint{519, 461}));
    ExpectMark(canvas, position, 2); // 120 / 50, whatever the zoom

    Fix(kLat0 - kNorth39, kLon0);
    canvas.PlotRoute(doc, MainLayout::For(480, 640), 100, position);
    EXPECT_EQ(position, (CanvasPoint{500, 539}));
    ExpectMark(canvas, position, 4);              // 240 / 50
    ExpectMark(canvas, CanvasPoint{519, 461}, 2); // the earlier mark stays,
    EXPECT_EQ(canvas.Pixel(500, 500), 1);         // and so does the start mark
    const int marked = MarkedPixels(canvas);
    Fix(kLat0, kLon0 + 0.0625); // 625 pixels east of the start: the view goes, no mark
    canvas.PlotRoute(doc, portrait, 100, position);
    EXPECT_EQ(position, (CanvasPoint{1125, 500}));
    EXPECT_EQ(MarkedPixels(canvas), marked);
    ASSERT_TRUE(canvas.CreateMapCanvas(2));
    EXPECT_EQ(canvas.Pixel(500, 500), 1); // the start mark at twice the density, read in canvas pixels
    // Canvas pixel (519, 461) is device pixels (1038..1039, 922..923): radius 2 becomes 4 around (1039, 923).
    Fix(kLat0 + kNorth39, kLon0 + kEast19);
    canvas.PlotRoute(doc, portrait, 100, position);
    const QImage& bits = canvas.Image();
    EXPECT_EQ(bits.pixelIndex(1035, 923) + bits.pixelIndex(1043, 923) + bits.pixelIndex(1039, 919), 3);
    EXPECT_EQ(bits.pixelIndex(1034, 923) + bits.pixelIndex(1044, 923) + bits.pixelIndex(1039, 928), 0);
}

TEST_F(MapCanvasPlotRoute, FollowingRedrawsTheWholeRouteAroundTheCurrentFix) {
    Fix(kLat0 + kNorth39, kLon0);
    canvas.PlotRoute(doc, portrait, 100, position); // no route yet: the new canvas stays as it was
    EXPECT_EQ(position, (CanvasPoint{123, 456}));
    EXPECT_EQ(MarkedPixels(canvas), 12); // the start mark: 4 x 4 less the corners

    doc.m_route = {{kLat0, kLon0}, {kLat0 + kNorth39, kLon0 - kEast19}};
    Fix(kLat0 + kNorth39, kLon0 + kEast19);
    canvas.PlotRoute(doc, portrait, 50, position);
    EXPECT_EQ(position, (CanvasPoint{500, 500}));
    ExpectMark(canvas, CanvasPoint{481, 539}, 2); // 19.53 west, 39.06 south; zoomed in: radius 2
    ExpectMark(canvas, CanvasPoint{461, 500}, 2); // 39.06 west
    EXPECT_EQ(canvas.Pixel(500, 500), 0);         // the start mark is wiped
    // Zoomed out, the marks grow so that the route stays visible.
    canvas.PlotRoute(doc, portrait, 300, position);
    ExpectMark(canvas, CanvasPoint{481, 539}, 7); // 300 / 100 x 120 / 50

    doc.m_route = {{kLat0 + 0.0625, kLon0}}; // some 586 pixels north of the fix
    canvas.PlotRoute(doc, portrait, 100, position);
    EXPECT_EQ(MarkedPixels(canvas), 0);
    canvas.DeleteMapCanvas();
    for (const int centred : {0, 1}) { // without a canvas nothing happens
        doc.m_bCenterOnStart = centred;
        canvas.PlotRoute(doc, portrait, 100, position);
    }
    EXPECT_FALSE(canvas.Exists());
}

} // namespace
