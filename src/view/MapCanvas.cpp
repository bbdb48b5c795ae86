#include "view/MapCanvas.h"

#include "engine/MyAmbuloDoc.h"
#include "view/MainLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kCentre = CMapCanvas::kSize / 2;

// Offsets beyond this many pixels are all equally off the canvas; holding them here keeps the
// conversion to int defined for any latitude, longitude and scale.
constexpr double kFarOff = 1.0e6;

int PixelOffset(double degrees, double scale) {
    const double pixels = degrees * scale;
    if (!(std::abs(pixels) < kFarOff)) {
        return pixels < 0 ? -static_cast<int>(kFarOff) : static_cast<int>(kFarOff); // NaN too
    }
    return static_cast<int>(pixels);
}

// Device pixels per canvas pixel at most: enough for any screen, 16 MB of canvas.
constexpr int kLargestScale = 4;
// A disc larger than this covers every pixel it can reach on the canvas.
constexpr int kLargestRadius = 2 * CMapCanvas::kSize * kLargestScale;

} // namespace

CanvasPoint CanvasPosition(double latitude, double longitude, double refLatitude, double refLongitude,
                           int mapScale) {
    const auto scale = static_cast<double>(mapScale);
    return {kCentre + PixelOffset(longitude - refLongitude, scale),
            kCentre - PixelOffset(latitude - refLatitude, scale)};
}

bool CMapCanvas::CreateMapCanvas(int nScale) {
    const int scale = std::clamp(nScale, 1, kLargestScale);
    QImage canvas(kSize * scale, kSize * scale, QImage::Format_Indexed8);
    if (canvas.isNull()) {
        return false;
    }
    canvas.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    m_bmpMap = std::move(canvas);
    m_nScale = scale;
    Clear();
    // The start mark: a circle in the box (497, 497)-(503, 503) filled with 1 and outlined with 0,
    // which on the cleared canvas leaves the inside of the outline, 4 x 4 pixels without corners.
    for (int y = 498 * scale; y < 502 * scale; ++y) {
        const bool edgeRow = y < 499 * scale || y >= 501 * scale;
        const int from = (edgeRow ? 499 : 498) * scale;
        const int count = (edgeRow ? 2 : 4) * scale;
        std::memset(m_bmpMap.scanLine(y) + from, 1, static_cast<std::size_t>(count));
    }
    return true;
}

void CMapCanvas::DeleteMapCanvas() {
    m_bmpMap = QImage();
}

int CMapCanvas::Pixel(int x, int y) const {
    if (!Exists() || x < 0 || y < 0 || x >= kSize || y >= kSize) {
        return 0;
    }
    const int row = y * m_nScale;
    const int column = x * m_nScale;
    return m_bmpMap.constScanLine(row)[column];
}

void CMapCanvas::Clear() {
    std::memset(m_bmpMap.bits(), 0, static_cast<std::size_t>(m_bmpMap.sizeInBytes()));
}

std::vector<int> CMapCanvas::DiscSpans(int radius) {
    // Pixels within radius + 1/2 of the centre: a round disc even for the small radii of the marks.
    radius = std::clamp(radius, 0, kLargestRadius);
    std::vector<int> halfWidths(2 * static_cast<std::size_t>(radius) + 1);
    int* const row = halfWidths.data() + radius;
    for (int dy = -radius; dy <= radius; ++dy) {
        row[dy] = static_cast<int>(std::sqrt(static_cast<double>(radius * radius + radius - dy * dy)));
    }
    return halfWidths;
}

void CMapCanvas::FillDisc(CanvasPoint pixel, const std::vector<int>& halfWidths) {
    const int size = kSize * m_nScale;
    const CanvasPoint centre{pixel.x * m_nScale + m_nScale / 2, pixel.y * m_nScale + m_nScale / 2};
    const int radius = static_cast<int>(halfWidths.size() / 2);
    if (centre.x + radius < 0 || centre.x - radius >= size) {
        return;
    }
    uchar* const bits = m_bmpMap.bits();
    const qsizetype stride = m_bmpMap.bytesPerLine();
    const int firstRow = std::max(-radius, -centre.y);
    const int lastRow = std::min(radius, size - 1 - centre.y);
    const int* const row = halfWidths.data() + radius;
    for (int dy = firstRow; dy <= lastRow; ++dy) {
        const int half = row[dy];
        const int from = std::max(centre.x - half, 0);
        const int to = std::min(centre.x + half, size - 1);
        if (from <= to) {
            std::fill_n(bits + (centre.y + dy) * stride + from, to - from + 1, uchar{1});
        }
    }
}

void CMapCanvas::PlotRoute(const CMyAmbuloDoc& doc, const MainLayout& layout, int zoomPercent,
                           CanvasPoint& mapPosition) {
    if (!Exists()) {
        return;
    }
    const int base = layout.nRouteMarkBase;
    if (doc.m_bCenterOnStart != 0) {
        // Around the start: the canvas keeps every mark of the workout and the view follows the
        // newest one.
        const CanvasPoint here =
            CanvasPosition(doc.m_posCurrent.dblLatitude, doc.m_posCurrent.dblLongitude,
                           doc.m_posStart.dblLatitude, doc.m_posStart.dblLongitude, doc.m_nMapScale);
        mapPosition = here;
        if (const int radius = base / 50; radius > 0) {
            FillDisc(here, DiscSpans(radius * m_nScale));
        }
        return;
    }
    if (doc.m_route.empty()) {
        return;
    }
    // Following: the whole route is redrawn around the current position. Marks grow with the zoom
    // out factor, so the route stays visible when many canvas pixels share one screen pixel.
    const std::vector<int> disc = DiscSpans(std::max(2, zoomPercent / 100 * base / 50) * m_nScale);
    Clear();
    const double refLatitude = doc.m_posCurrent.dblLatitude;
    const double refLongitude = doc.m_posCurrent.dblLongitude;
    // Fixes a second apart mostly share their pixel with the one before; their discs are the same.
    CanvasPoint previous{INT_MIN, INT_MIN};
    for (const RoutePoint& point : doc.m_route) {
        const CanvasPoint here =
            CanvasPosition(point.dblLatitude, point.dblLongitude, refLatitude, refLongitude, doc.m_nMapScale);
        if (here != previous) {
            FillDisc(here, disc);
            previous = here;
        }
    }
    mapPosition = {kCentre, kCentre};
}
