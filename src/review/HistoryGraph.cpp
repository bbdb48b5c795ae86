#include "review/HistoryGraph.h"

#include "logs/TextFormat.h"
#include "platform/Translate.h"

#include <algorithm>
#include <cstdint>

HistoryGraphLayout HistoryGraphLayout::For(int w, int h) {
    HistoryGraphLayout l;
    l.w = w;
    l.h = h;
    l.bPortrait = w < h;
    if (l.bPortrait) {
        l.top = h * 10 / 100;
        l.right = w - 10;
        l.bottom = h / 2;
    } else {
        l.top = h * 15 / 100;
        l.right = w / 2 - 5;
        l.bottom = h * 90 / 100;
    }
    l.left = h * 15 / 250 + 5;
    l.base = l.bottom - h * 10 / 250;
    l.W = l.right - l.left;
    l.H = l.base - l.top - 10;
    l.nTitleFont = h * 15 / 250;
    l.nLabelFont = h * 10 / 250;
    l.nValueFont = h * 7 / 250;
    return l;
}

using platform::Tr;

namespace {

std::string TitleFor(const HistoryRows& rows, HistoryGraphKind kind) {
    std::string title;
    switch (rows.Mode()) {
    case HistoryMode::Month:
        title = Tr("Ambulo", "月毎の");
        break;
    case HistoryMode::Week:
        title = Tr("Ambulo", "１週間毎の");
        break;
    case HistoryMode::Day:
        title = Tr("Ambulo", "日毎の");
        break;
    case HistoryMode::Record: {
        const auto& d = rows.Reference();
        title = CFormat(Tr("Ambulo", "%d/%d/%d の").c_str(), d.wYear, d.wMonth, d.wDay);
        break;
    }
    }
    switch (kind) {
    case HistoryGraphKind::Distance:
        return title + Tr("Ambulo", "距離(ｍ)");
    case HistoryGraphKind::Time:
        return title + Tr("Ambulo", "時間(時:分:秒)");
    case HistoryGraphKind::Energy:
        break;
    }
    return title + Tr("Ambulo", "消費ｶﾛﾘｰ(kcal)");
}

std::string CategoryFor(HistoryMode mode, const HistoryRow& row) {
    const auto& d = row.stStart;
    switch (mode) {
    case HistoryMode::Month:
        return CFormat(Tr("Ambulo", "%d月").c_str(), d.wMonth);
    case HistoryMode::Week:
        return CFormat("%d/%d- ", d.wMonth, d.wDay);
    case HistoryMode::Day:
        return CFormat("%d/%d", d.wMonth, d.wDay);
    case HistoryMode::Record:
        break;
    }
    return CFormat("%02d:%02d", d.wHour, d.wMinute);
}

} // namespace

HistoryGraph BuildHistoryGraph(const HistoryRows& rows, HistoryGraphKind kind, int w, int h) {
    HistoryGraph graph;
    graph.layout = HistoryGraphLayout::For(w, h);
    graph.strTitle = TitleFor(rows, kind);
    const HistoryGraphLayout& l = graph.layout;
    if (rows.ShowsPlaceholder()) {
        graph.bNoExercise = true;
        return graph;
    }
    const auto n = static_cast<std::int64_t>(rows.Rows().size());
    const HistoryMaxima& m = rows.Maxima();
    graph.bars.reserve(rows.Rows().size());
    for (std::int64_t i = 0; i < n; ++i) {
        const HistoryRow& row = rows.Rows()[static_cast<std::size_t>(i)];
        HistoryBar bar;
        bar.x0 = static_cast<int>(l.left + i * l.W / n + 3);
        bar.x1 = static_cast<int>(l.left + (i + 1) * l.W / n - 3);
        int value = 0;
        int maximum = 1;
        switch (kind) {
        case HistoryGraphKind::Distance:
            value = row.nMetres;
            maximum = m.nMetres;
            bar.strValue = CFormat("%d", value);
            break;
        case HistoryGraphKind::Time:
            value = row.nSeconds;
            maximum = m.nSeconds;
            bar.strValue = value == 0 ? "0" : HoursMinutesSeconds(value);
            break;
        case HistoryGraphKind::Energy:
            value = row.nKcal10;
            maximum = m.nKcal10;
            bar.strValue = CFormat("%.01f", value * 0.1);
            break;
        }
        maximum = std::max(maximum, 1);
        const std::int64_t v = std::clamp(value, 0, maximum);
        bar.y = static_cast<int>(l.base - v * l.H / maximum);
        bar.strCategory = CategoryFor(rows.Mode(), row);
        graph.bars.push_back(std::move(bar));
    }
    return graph;
}

LayoutRect HistoryListPlace(int w, int h) {
    if (w < h) {
        return {5, h / 2 + 5, w - 10, h / 2 - 10};
    }
    return {w / 2 + 5, 5, w / 2 - 10, h - 10};
}

std::vector<PlacedText> PlaceHistoryTexts(const TextMeasure& measure, const HistoryGraph& graph) {
    const HistoryGraphLayout& l = graph.layout;
    const LayoutRect list = HistoryListPlace(l.w, l.h);
    const int areaRight = l.bPortrait ? l.w : list.x - 1;
    const int areaBottom = l.bPortrait ? list.y - 1 : l.h;
    std::vector<PlacedText> placed;
    const auto add = [&](std::string text, int x, int y, TextAnchor anchor, int height, int left, int top,
                         int right, int bottom) {
        placed.push_back(FittedText(measure, std::move(text), x, y, anchor, false, height,
                                    {left, top, right - left, bottom - top}));
    };
    placed.push_back(FittedText(measure, graph.strTitle, l.left + l.W / 2, l.top - 10,
                                TextAnchor::CentreBottom, true, l.nTitleFont, {0, 0, areaRight, l.top - 10}));
    add("0", l.left, l.base, TextAnchor::RightTop, l.nLabelFont, 0, l.base, l.left, areaBottom);
    if (graph.bNoExercise) {
        add(Tr("Ambulo", kNoExerciseGraphText), l.left + l.W / 2, l.top + l.H / 2 + 10, TextAnchor::CentreTop,
            l.nLabelFont, l.left + 1, l.top, l.right, l.base);
        return placed;
    }
    // A bar's value stands over it, below the title; its category under the baseline. Both keep to
    // the bar's own width, so the gaps between bars keep neighbouring texts apart.
    for (const HistoryBar& bar : graph.bars) {
        const int middle = bar.x0 + (bar.x1 - bar.x0) / 2;
        add(bar.strValue, middle, bar.y - 2, TextAnchor::CentreBottom, l.nValueFont, bar.x0, l.top - 10,
            bar.x1 + 1, bar.y - 1);
        add(bar.strCategory, middle, l.base + 2, TextAnchor::CentreTop, l.nLabelFont, bar.x0, l.base + 1,
            bar.x1 + 1, areaBottom);
    }
    return placed;
}
