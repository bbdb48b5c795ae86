#pragma once

#include "platform/Translate.h"
#include "review/HistoryRows.h"
#include "ui/TextFit.h"

#include <string>
#include <vector>

// Where the history dialog's bar graph goes for a client of w x h pixels, worked out without a
// display. Integer arithmetic, evaluated left to right with truncating division.
struct HistoryGraphLayout {
    int w = 0;
    int h = 0;
    bool bPortrait = true; // w < h: graph above the list, otherwise beside it
    int top = 0;
    int right = 0;
    int bottom = 0;
    int left = 0; // the vertical axis
    int base = 0; // the baseline
    int W = 0;    // plot width
    int H = 0;    // tallest bar
    int nTitleFont = 0;
    int nLabelFont = 0;
    int nValueFont = 0;

    static HistoryGraphLayout For(int w, int h);
};

// One bar: its left and right edges, its top (the bottom is the baseline) and its two texts.
struct HistoryBar {
    int x0 = 0;
    int x1 = 0;
    int y = 0;
    std::string strValue;
    std::string strCategory;
};

struct HistoryGraph {
    HistoryGraphLayout layout;
    std::string strTitle;
    bool bNoExercise = false; // the per-record graph of a day without workouts
    std::vector<HistoryBar> bars;
};

inline constexpr const char* kNoExerciseGraphText = AMBULO_TR_NOOP("Ambulo", "本日は運動していません．．．");

// The graph of the current rows. A value is held between 0 and the maximum (and the maximum at
// least 1) before it is scaled in 64 bits, so every bar stands between the baseline and the top.
HistoryGraph BuildHistoryGraph(const HistoryRows& rows, HistoryGraphKind kind, int w, int h);

// The list's place in the client area: under the graph in portrait, beside it in landscape.
LayoutRect HistoryListPlace(int w, int h);

// Every text of the graph in its cell, each at the layout's size where it fits and smaller where
// that would overflow: the title, the origin "0", then either the no-exercise note or each bar's
// value and category (bar by bar, in row order). The graph's part of the client ends where the
// list begins; each bar owns its slot of the plot's width.
std::vector<PlacedText> PlaceHistoryTexts(const TextMeasure& measure, const HistoryGraph& graph);
