#pragma once

#include "view/MainScreen.h"

#include <QImage>

#include <vector>

class CMyAmbuloDoc;
struct MainLayout;

// The canvas pixel of a position (decimal degrees) relative to a reference placed in the canvas
// centre, at mapScale pixels per degree on both axes. Offsets too large for any canvas (or not a
// number) are held far outside it, so the pixel is simply off the canvas.
CanvasPoint CanvasPosition(double latitude, double longitude, double refLatitude, double refLongitude,
                           int mapScale);

// The route map: a 1000 x 1000 canvas of two colours, 0 for the background and 1 for route marks,
// in the middle of which sits the reference point (the start, or the current position). The paint
// shows a zoomed window of it; marks that fall outside it are lost.
class CMapCanvas {
public:
    static constexpr int kSize = 1000;

    // A cleared canvas with the start mark in its centre. False when the memory is not there; the
    // screen then goes on without a map. On a high-density screen each canvas pixel is held as
    // nScale x nScale device pixels, so the marks are drawn as round as the screen can show them.
    bool CreateMapCanvas(int nScale = 1);
    void DeleteMapCanvas();
    bool Exists() const { return !m_bmpMap.isNull(); }

    // Adds the newest fix to the map (see the modes in the source), moving mapPosition to the pixel
    // the map image should centre on. Does nothing without a canvas.
    void PlotRoute(const CMyAmbuloDoc& doc, const MainLayout& layout, int zoomPercent,
                   CanvasPoint& mapPosition);

    // 0 or 1 at the top-left device pixel of a canvas pixel; 0 off the canvas or without one.
    int Pixel(int x, int y) const;
    // Indexed8 with two colours (0 black, 1 white), kSize x Scale() pixels square; null without a
    // canvas.
    const QImage& Image() const { return m_bmpMap; }
    int Scale() const { return m_nScale; }

private:
    void Clear();
    // Half widths of the rows of a filled disc, top to bottom.
    static std::vector<int> DiscSpans(int radius);
    // A disc of DiscSpans(radius x Scale()) around the middle of a canvas pixel.
    void FillDisc(CanvasPoint centre, const std::vector<int>& halfWidths);

    QImage m_bmpMap;
    int m_nScale = 1;
};
