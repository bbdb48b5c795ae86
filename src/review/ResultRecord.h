#pragma once

#include "logs/ResultFigures.h"
#include "platform/DeviceRoot.h"
#include "ui/TextFit.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the result dialog shows, worked out without a display: its figures from a workout's
// exercise record, the speed trace from its track log, and where everything goes for one client
// size.

// Fills the title, the four texts, the seconds and the maximum speed from the exercise record
// beside figures.m_strTrackLogPath. 1 when the record was read, 0 when it cannot be opened (then
// nothing is changed).
int LoadResultRecord(const platform::DeviceRoot& root, ResultFigures& figures);

// The graph's total time, "h:mm:ss" without the screen's trailing blank.
std::string TotalTimeLabel(int seconds);

// One data line of a track log: its measuring second and its speed in tenths of km/h.
struct SpeedSample {
    int nSecond = 0;
    int nSpeed10 = 0;
    friend bool operator==(const SpeedSample&, const SpeedSample&) = default;
};

// The speed of one track-log line (UTF-16 units, without its line end); nothing for a line of
// fewer than ten fields.
std::optional<SpeedSample> ParseTrackLogLine(std::u16string_view line);

// The speeds of a track log: after the version and header lines, at most nMaxLines further lines
// (lines too short to carry a speed count but give nothing). Nothing when the file cannot be
// opened.
std::optional<std::vector<SpeedSample>> ReadSpeedTrace(const platform::DeviceRoot& root,
                                                       std::string_view devicePath, int nMaxLines);

// A grey line across the graph at a speed, with its label in km/h.
struct SpeedGridLine {
    int nSpeed10 = 0;
    const char* pszLabel = "";
};

// The graph's full scale and grid, chosen by the workout's maximum speed.
struct SpeedScale {
    int nFullScale10 = 0;
    std::array<SpeedGridLine, 3> grid{};
    int nGridLines = 0;
};
SpeedScale SpeedScaleFor(int nMaxSpeed10);

// A rectangle given by its edges, as the drawing code thinks of it.
struct GraphRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const GraphRect&, const GraphRect&) = default;
};

struct GraphPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const GraphPoint&, const GraphPoint&) = default;
};

// The speed graph inside its rectangle: the plot area with its origin at the bottom left, the
// label font and the scale.
struct SpeedGraphLayout {
    GraphRect rcGraph;
    int Lp = 0; // plot left
    int Bp = 0; // plot bottom
    int nFont = 0;
    SpeedScale scale;
    int nTotalSeconds = 0;

    static SpeedGraphLayout For(const GraphRect& graph, int H, int nMaxSpeed10, int nTotalSeconds);
    GraphRect Plot() const { return {Lp, rcGraph.top, rcGraph.right, Bp}; }
    int GridY(int nSpeed10) const;
    // Where a sample goes; far-off samples are pulled in to a distance the painter handles, still
    // well outside the plot, so clipping hides them as before.
    GraphPoint PointFor(const SpeedSample& sample) const;
};

// The table of figures and the graph for a client of W x H pixels. Integer arithmetic, evaluated
// left to right with truncating division.
struct ResultLayout {
    int W = 0;
    int H = 0;
    bool bPortrait = true; // W <= H: the graph below the table, otherwise beside it
    int a = 0;             // label font height, percent of H
    int b = 0;             // value font height, percent of H
    int T = 0;             // table width
    int nLabelFont = 0;
    int nValueFont = 0;
    int y1 = 0; // title value
    int y2 = 0; // table rows
    int y3 = 0;
    int y4 = 0;
    int yv2 = 0; // value rows
    int yv3 = 0;
    int x0 = 0; // label columns
    int x1 = 0;
    int xSplit = 0; // T / 2
    GraphRect rcGraph;

    static ResultLayout For(int W, int H);
};

// Every text of the result screen in its cell, each at the layout's size where it fits and smaller
// where that would overflow: the table's labels, title and four figures, then the speed graph's
// "0", "時間", "速度", total time and grid labels (from the top).
std::vector<PlacedText> PlaceResultTexts(const TextMeasure& measure, const ResultLayout& layout,
                                         const SpeedGraphLayout& graph, const ResultFigures& figures);
