#include "review/HistoryGraph.h"
#include "review/ResultRecord.h"
#include "view/MainLayout.h"
#include "view/ScreenText.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The widest texts each screen can show: the clock's full date and time, and the largest figures
// of a workout.
constexpr const char* kClock = "2026/12/06 23:59:59";
constexpr const char* kDistance = "99999 ";
constexpr const char* kTime = "99:59:59 ";
constexpr const char* kSpeed = "999.9 ";
constexpr const char* kKcal = "9999.9 ";

using Placer = std::function<std::vector<PlacedText>(const TextMeasure&, int W, int H)>;

std::vector<PlacedText> MainTextsAt(const TextMeasure& measure, int W, int H) {
    return MainLayout::For(W, H).PlaceTexts(measure, {kClock, kDistance, kTime, kSpeed, kKcal, "倍：x 1/6 "});
}

std::vector<PlacedText> ResultTextsAt(const TextMeasure& measure, int W, int H) {
    ResultFigures f;
    f.m_strTitle = "20261206-235959";
    f.m_strDistanceText = kDistance;
    f.m_strTimeText = kTime;
    f.m_strAvgSpeedText = kSpeed;
    f.m_strKcalText = kKcal;
    f.m_nTotalSeconds = 99 * 3600 + 59 * 60 + 59;
    f.m_nMaxSpeed10 = 1000; // the scale whose top grid line comes closest to "速度"
    const ResultLayout l = ResultLayout::For(W, H);
    return PlaceResultTexts(measure, l,
                            SpeedGraphLayout::For(l.rcGraph, H, f.m_nMaxSpeed10, f.m_nTotalSeconds), f);
}

// Seven bars, every other one the tallest, with the widest value, category and title.
std::vector<PlacedText> HistoryTextsAt(const TextMeasure& measure, int W, int H, bool noExercise) {
    const HistoryRows rows({}, platform::SYSTEMTIME{2026, 12, 4, 31, 12, 0, 0, 0});
    HistoryGraph graph = BuildHistoryGraph(rows, HistoryGraphKind::Time, W, H);
    graph.strTitle = "2026/12/31 の消費ｶﾛﾘｰ(kcal)";
    for (std::size_t i = 0; i < graph.bars.size(); ++i) {
        graph.bars[i].y = i % 2 == 0 ? graph.layout.base - graph.layout.H : graph.layout.base;
        graph.bars[i].strValue = "99:59:59";
        graph.bars[i].strCategory = "12/30- ";
    }
    if (noExercise) {
        graph.bars.clear();
        graph.bNoExercise = true;
    }
    return PlaceHistoryTexts(measure, graph);
}

QFontMetrics Metrics(int size, bool bold) {
    return QFontMetrics(ScreenFont(size, bold));
}

TEST(ScreenTextFit, NoTextLeavesItsCellOrMeetsAnotherAndFittingTextsKeepTheirSize) {
    const std::pair<const char*, Placer> screens[] = {
        {"main", MainTextsAt},
        {"result", ResultTextsAt},
        {"history", [](const TextMeasure& m, int W, int H) { return HistoryTextsAt(m, W, H, false); }},
        {"history without workouts",
         [](const TextMeasure& m, int W, int H) { return HistoryTextsAt(m, W, H, true); }},
    };
    const std::pair<int, int> sizes[] = {{240, 320}, {320, 240},  {480, 640}, {640, 480},
                                         {360, 720}, {720, 1440}, {1280, 760}};
    const QtTextMeasure measure;
    for (const auto& [name, place] : screens) {
        for (const auto& [W, H] : sizes) {
            const std::vector<PlacedText> texts = place(measure, W, H);
            ASSERT_FALSE(texts.empty());
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const PlacedText& t = texts[i];
                SCOPED_TRACE(testing::Message()
                             << name << " " << W << " x " << H << " \"" << t.strText << "\"");
                // Drawn, at a size whose line box is what the font really covers.
                ASSERT_GT(t.nPixelSize, 0);
                const QFontMetrics metrics = Metrics(t.nPixelSize, t.bBold);
                EXPECT_EQ(t.rcText.width, metrics.horizontalAdvance(QString::fromStdString(t.strText)));
                EXPECT_EQ(t.rcText.height, metrics.height());
                EXPECT_TRUE((LayoutRect{0, 0, W, H}).Contains(t.rcCell));
                EXPECT_TRUE(t.rcCell.Contains(t.rcText));
                for (std::size_t j = i + 1; j < texts.size(); ++j) {
                    EXPECT_FALSE(t.rcCell.Intersects(texts[j].rcCell))
                        << "cell of \"" << texts[j].strText << "\"";
                    EXPECT_FALSE(t.rcText.Intersects(texts[j].rcText))
                        << "meets \"" << texts[j].strText << "\"";
                }
                // The layout's size is the largest whose line is no higher than its font height:
                // kept where the text fits there, otherwise the largest size that fits.
                int nominal = t.nHeight;
                while (Metrics(nominal, t.bBold).height() > t.nHeight) {
                    --nominal;
                }
                const auto fitsAt = [&](int size) {
                    return t.rcCell.Contains(TextBox(t, measure.Measure(t.strText, size, t.bBold)));
                };
                if (fitsAt(nominal)) {
                    EXPECT_EQ(t.nPixelSize, nominal);
                } else {
                    EXPECT_LT(t.nPixelSize, nominal);
                    EXPECT_FALSE(fitsAt(t.nPixelSize + 1));
                }
            }
        }
    }
}

} // namespace
