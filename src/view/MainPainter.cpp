#include "view/MainPainter.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/TextFormat.h"
#include "view/MainLayout.h"
#include "view/MainScreen.h"
#include "view/MapCanvas.h"
#include "view/Pictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

// The screen's face; the application maps it to a Japanese gothic the machine has.
constexpr const char* kFace = "MS Gothic";

QFont ScreenFont(int pixelHeight, QFont::Weight weight) {
    QFont font(QString::fromLatin1(kFace));
    font.setPixelSize(pixelHeight);
    font.setWeight(weight);
    return font;
}

enum class Anchor { Left, Right };

// Text whose top edge is at y and which starts (Left) or ends (Right) at x, on an opaque black
// background the size of its line.
void DrawOpaqueText(QPainter& p, const QFontMetrics& metrics, int x, int y, const std::string& utf8,
                    Anchor anchor) {
    const QString text = QString::fromStdString(utf8);
    const int advance = metrics.horizontalAdvance(text);
    const int left = anchor == Anchor::Right ? x - advance : x;
    p.fillRect(QRect(left, y, advance, metrics.height()), Qt::black);
    p.drawText(QPoint(left, y + metrics.ascent()), text);
}

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

void DrawFigures(QPainter& p, const CMainScreen& screen, const MainLayout& l) {
    const int H = l.H;
    const int T = l.T;
    const int a = l.a;
    const int b = l.b;
    p.setPen(Qt::white);
    if (l.nSmallFont > 0) {
        const QFont small = ScreenFont(l.nSmallFont, QFont::Normal);
        p.setFont(small);
        const QFontMetrics metrics(small);
        DrawOpaqueText(p, metrics, T - 3, 0, screen.m_strClock, Anchor::Right);
        DrawOpaqueText(p, metrics, T * 3 / 100, H * b / 100, "距離 (m)", Anchor::Left);
        DrawOpaqueText(p, metrics, T * 53 / 100, H * b / 100, "時間", Anchor::Left);
        DrawOpaqueText(p, metrics, T * 3 / 100, 3 * H * b / 100, "速度 (km/h)", Anchor::Left);
        DrawOpaqueText(p, metrics, T * 53 / 100, 3 * H * b / 100, "カロリー (kcal)", Anchor::Left);
    }
    if (l.nLargeFont > 0) {
        const QFont large = ScreenFont(l.nLargeFont, QFont::Bold);
        p.setFont(large);
        const QFontMetrics metrics(large);
        DrawOpaqueText(p, metrics, T / 2 - 5, (a + b) * H / 100, screen.m_strDistance, Anchor::Right);
        DrawOpaqueText(p, metrics, T - 5, (a + b) * H / 100, screen.m_strElapsed, Anchor::Right);
        DrawOpaqueText(p, metrics, T / 2 - 5, (3 * b + a) * H / 100, screen.m_strSpeed, Anchor::Right);
        DrawOpaqueText(p, metrics, T - 5, (3 * b + a) * H / 100, screen.m_strKcal, Anchor::Right);
    }
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
// stretched to R x S by picking the nearest canvas pixel. Canvas background and whatever lies
// beyond the canvas show light green, route marks red.
QImage MapImage(const CMapCanvas& canvas, const CMainScreen& screen, int R, int S) {
    const long long zoom = screen.m_nZoomPercent;
    const long long sourceWidth = R * zoom / 100;
    const long long sourceHeight = S * zoom / 100;
    if (R <= 0 || S <= 0 || sourceWidth <= 0 || sourceHeight <= 0) {
        return {};
    }
    QImage image(R, S, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    const long long left = screen.m_ptMapPosition.x - sourceWidth / 2;
    const long long top = screen.m_ptMapPosition.y - sourceHeight / 2;
    constexpr long long kSize = CMapCanvas::kSize;
    const QImage& bits = canvas.Image();
    const QRgb colours[2] = {0xFF000000U | kMapBackgroundRgb, 0xFF000000U | kMapRouteRgb};

    // Canvas column of each image column, or -1 off the canvas.
    std::vector<int> columns(static_cast<std::size_t>(R));
    for (int i = 0; i < R; ++i) {
        const long long x = left + i * sourceWidth / R;
        columns[static_cast<std::size_t>(i)] = x >= 0 && x < kSize ? static_cast<int>(x) : -1;
    }
    for (int j = 0; j < S; ++j) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(j));
        const long long y = top + j * sourceHeight / S;
        if (y < 0 || y >= kSize) {
            std::fill(out, out + R, colours[0]);
            continue;
        }
        const uchar* row = bits.constScanLine(static_cast<int>(y));
        for (int i = 0; i < R; ++i) {
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
    DrawFigures(p, screen, l);
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
        const QImage map = MapImage(canvas, screen, area.width, area.height);
        if (!map.isNull()) {
            p.drawImage(QPoint(area.x, area.y), map);
        }
    }

    if (l.nCaptionFont > 0) {
        const QFont font = ScreenFont(l.nCaptionFont, QFont::Normal);
        const QFontMetrics metrics(font);
        const QString caption = QString::fromStdString(screen.ZoomCaption());
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(W - 5 - metrics.horizontalAdvance(caption), H - 5 - metrics.descent()), caption);
    }

    const int r = l.nMarkRadius;
    if (r > 0) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor::fromRgb(kPositionMarkRgb));
        p.drawEllipse(QRect(l.xMark - r, l.yMark - r, 2 * r - 1, 2 * r - 1));
    }
}
