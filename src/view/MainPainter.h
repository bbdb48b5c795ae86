#pragma once

#include <QImage>

#include <string>

class CMainScreen;
class CMyAmbuloDoc;
class CMapCanvas;
struct MainLayout;

// Colours of the map.
inline constexpr unsigned kMapFrameRgb = 0xC8FFBE;      // RGB(200, 255, 190)
inline constexpr unsigned kMapBackgroundRgb = 0xAAFFAA; // RGB(170, 255, 170), canvas 0
inline constexpr unsigned kMapRouteRgb = 0xFF0000;      // RGB(255, 0, 0), canvas 1
inline constexpr unsigned kPositionMarkRgb = 0x0080FF;  // RGB(0, 128, 255)

// Draws the whole main screen except the three buttons into the back buffer (the client size,
// layout.W x layout.H): figures, grid, GPS status, map frame, the zoomed canvas window around
// screen.m_ptMapPosition, zoom caption and position mark. Without a canvas the map frame stays
// empty; a null back buffer is left alone.
void PaintMainScreen(QImage& back, const CMainScreen& screen, const CMyAmbuloDoc& doc,
                     const CMapCanvas& canvas, const MainLayout& layout);
