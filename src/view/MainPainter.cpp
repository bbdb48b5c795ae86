#include "view/MainPainter.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/TextFormat.h"
#include "ui/ScreenText.h"
#include "view/MainLayout.h"
#include "view/MainScreen.h"
#include "view/MapCanvas.h"
#include "view/Pictures.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

// A line from one point up to, but not including, the other: the last pixel belongs to whatever
// is drawn next. Only horizontal and vertical lines are needed.
void DrawLineTo(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) {
        return;
    }
    const int stepX = (x2 > x1) - (x2 < x1);
    const int stepY = (y2 > y1) - (y2 < y1);
    p.drawLine(x1, y1, x2 - stepX, y2 - stepY);
}

MainTexts TextsOf(const CMainScreen& screen) {
    return {screen.m_strClock, screen.m_strDistance, screen.m_strElapsed,
            screen.m_strSpeed, screen.m_strKcal,     screen.ZoomCaption()};
}

void DrawGrid(QPainter& p, const MainLayout& l) {
    const int T = l.T;
    const int y1 = l.H * l.b / 100;
    const int y3 = 3 * l.H * l.b / 100;
    const int y5 = 5 * l.H * l.b / 100;
    p.setPen(QPen(Qt::white, 1));
    for (const int y : {y1, y3, y5}) {
        DrawLineTo(p, 0, y - 5, T, y - 5);
    }
    DrawLineTo(p, 0, 0, 0, y5 - 5);
    DrawLineTo(p, T / 2, y1 - 2, T / 2, y5 - 5);
    DrawLineTo(p, T, 0, T, y5 - 5);
}

// The canvas window of R x zoom / 100 by S x zoom / 100 pixels centred on the map position,
// stretched to R x S (logical pixels) by picking the nearest canvas pixel for every device pixel,
// so a high-density screen gets a map as sharp as its own pixels. Canvas background and whatever
// lies beyond the canvas show light green, route marks red.
QImage MapImage(const CMapCanvas& canvas, const CMainScreen& screen, int R, int S, qreal dpr) {
    const long long zoom = screen.m_nZoomPercent;
    const long long sourceWidth = R * zoom / 100;
    const long long sourceHeight = S * zoom / 100;
    const int deviceWidth = qRound(R * dpr);
    const int deviceHeight = qRound(S * dpr);
    if (deviceWidth <= 0 || deviceHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0) {
        return {};
    }
    QImage image(deviceWidth, deviceHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    image.setDevicePixelRatio(dpr);
    // In the canvas's own pixels, of which each canvas pixel has scale x scale.
    const long long scale = canvas.Scale();
    const long long left = (screen.m_ptMapPosition.x - sourceWidth / 2) * scale;
    const long long top = (screen.m_ptMapPosition.y - sourceHeight / 2) * scale;
    const long long size = CMapCanvas::kSize * scale;
    const QImage& bits = canvas.Image();
    const QRgb colours[2] = {0xFF000000U | kMapBackgroundRgb, 0xFF000000U | kMapRouteRgb};

    // Canvas column of each image column, or -1 off the canvas.
    std::vector<int> columns(static_cast<std::size_t>(deviceWidth));
    for (int i = 0; i < deviceWidth; ++i) {
        const long long x = left + i * sourceWidth * scale / deviceWidth;
        columns[static_cast<std::size_t>(i)] = x >= 0 && x < size ? static_cast<int>(x) : -1;
    }
    for (int j = 0; j < deviceHeight; ++j) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(j));
        const long long y = top + j * sourceHeight * scale / deviceHeight;
        if (y < 0 || y >= size) {
            std::fill(out, out + deviceWidth, colours[0]);
            continue;
        }
        const uchar* row = bits.constScanLine(static_cast<int>(y));
        for (int i = 0; i < deviceWidth; ++i) {
            const int x = columns[static_cast<std::size_t>(i)];
            out[i] = colours[x >= 0 && row[x] != 0 ? 1 : 0];
        }
    }
    return image;
}

} // namespace

void PaintMainScreen(QImage& back, const CMainScreen& screen, const CMyAmbuloDoc& doc,
                     const CMapCanvas& canvas, const MainLayout& layout) {
    if (back.isNull()) {
        return;
    }
    QPainter p(&back);
    if (!p.isActive()) {
        return;
    }
    const MainLayout& l = layout;
    const int W = l.W;
    const int H = l.H;

    p.fillRect(QRect(0, 0, W, H), Qt::black);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QtTextMeasure measure;
    std::vector<PlacedText> texts = l.PlaceTexts(measure, TextsOf(screen));
    const PlacedText caption = std::move(texts.back()); // drawn over the map
    texts.pop_back();
    p.setPen(Qt::white);
    for (const PlacedText& text : texts) {
        DrawPlacedText(p, text, true);
    }
    DrawGrid(p, l);

    if (l.f > 0) {
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const LayoutRect& gps = l.rcGps;
        p.drawImage(QRect(gps.x, gps.y, gps.width, gps.height),
                    Picture(doc.m_bGpsReady != 0 ? IDB_GPS_READY : IDB_GPS_NOT_READY));
        p.restore();
    }

    const int left = l.rcMapFrame.left;
    const int top = l.rcMapFrame.top;
    const int w = l.nMapWidth;
    const int h = l.nMapHeight;
    if (w <= 0 || h <= 0) {
        return; // no room for a map
    }
    // The outline runs on the frame's first and last pixels, as the tap area ends.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor::fromRgb(kMapFrameRgb));
    p.drawRoundedRect(QRect(left, top, w - 1, h - 1), 5, 5);

    if (canvas.Exists()) {
        const LayoutRect& area = l.rcMapImage;
        const QImage map = MapImage(canvas, screen, area.width, area.height, back.devicePixelRatio());
        if (!map.isNull()) {
            p.drawImage(QPoint(area.x, area.y), map);
        }
    }

    p.setPen(Qt::black);
    DrawPlacedText(p, caption, false);

    const int r = l.nMarkRadius;
    if (r > 0) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor::fromRgb(kPositionMarkRgb));
        p.drawEllipse(QRect(l.xMark - r, l.yMark - r, 2 * r - 1, 2 * r - 1));
    }
}
