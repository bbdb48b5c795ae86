#include "review/HistoryGraph.h"
#include "review/ResultRecord.h"
#include "ui/ScreenText.h"
#include "view/MainLayout.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// The widest texts the screens can show: the clock's full date and time, the largest figures of a
// workout, the longest titles and categories.
const MainTexts kWidest{"2026/12/06 23:59:59", "99999 ", "99:59:59 ", "999.9 ", "9999.9 ", "倍：x 1/6 "};

std::vector<PlacedText> ResultTexts(const TextMeasure& measure, int W, int H) {
    // 99:59:59, and the speed scale whose top grid line comes closest to "速度".
    const ResultFigures f("20261206-235959", kWidest.strKcal, kWidest.strDistance, kWidest.strElapsed,
                          kWidest.strSpeed, 359999, 1000, "", "");
    const ResultLayout l = ResultLayout::For(W, H);
    return PlaceResultTexts(measure, l,
                            SpeedGraphLayout::For(l.rcGraph, H, f.m_nMaxSpeed10, f.m_nTotalSeconds), f);
}

// Seven days' bars, every other one the tallest; or the note of a day without workouts.
std::vector<PlacedText> HistoryTexts(const TextMeasure& measure, int W, int H, HistoryMode mode) {
    HistoryRows rows({}, {2026, 12, 4, 31, 12, 0, 0, 0});
    rows.SetMode(mode);
    HistoryGraph graph = BuildHistoryGraph(rows, HistoryGraphKind::Time, W, H);
    graph.strTitle = "2026/12/31 の消費ｶﾛﾘｰ(kcal)";
    for (std::size_t i = 0; i < graph.bars.size(); ++i) {
        graph.bars[i] = {graph.bars[i].x0, graph.bars[i].x1,
                         i % 2 == 0 ? graph.layout.base - graph.layout.H : graph.layout.base, "99:59:59",
                         "12/30- "};
    }
    return PlaceHistoryTexts(measure, graph);
}

TEST(ScreenTextFit, NoTextLeavesItsCellOrMeetsAnotherAndFittingTextsKeepTheirSize) {
    const QtTextMeasure measure;
    for (const auto& [W, H] :
         {std::pair{240, 320}, {320, 240}, {480, 640}, {640, 480}, {360, 720}, {720, 1440}, {1280, 760}}) {
        const std::pair<const char*, std::vector<PlacedText>> screens[] = {
            {"main", MainLayout::For(W, H).PlaceTexts(measure, kWidest)},
            {"result", ResultTexts(measure, W, H)},
            {"history", HistoryTexts(measure, W, H, HistoryMode::Day)},
            {"history without workouts", HistoryTexts(measure, W, H, HistoryMode::Record)}};
        for (const auto& [name, texts] : screens) {
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const PlacedText& t = texts[i];
                SCOPED_TRACE(testing::Message()
                             << name << " " << W << " x " << H << " \"" << t.strText << "\"");
                // Drawn, with the line box the font really covers, inside its own cell.
                ASSERT_GT(t.nPixelSize, 0);
                const QFontMetrics metrics(ScreenFont(t.nPixelSize, t.bBold));
                EXPECT_EQ(t.rcText.width, metrics.horizontalAdvance(QString::fromStdString(t.strText)));
                EXPECT_EQ(t.rcText.height, metrics.height());
                EXPECT_TRUE((LayoutRect{0, 0, W, H}.Contains(t.rcCell)));
                EXPECT_TRUE(t.rcCell.Contains(t.rcText));
                for (std::size_t j = i + 1; j < texts.size(); ++j) {
                    EXPECT_FALSE(t.rcCell.Intersects(texts[j].rcCell))
                        << "cell of \"" << texts[j].strText << "\"";
                    // Not even touching side by side: "380" beside ":00:20" would read "380:00:20".
                    const LayoutRect& r = t.rcText;
                    EXPECT_FALSE(
                        (LayoutRect{r.x - 2, r.y, r.width + 4, r.height}.Intersects(texts[j].rcText)))
                        << "meets \"" << texts[j].strText << "\"";
                }
                // The layout's size is the largest whose line is no higher than its font height: kept
                // where the text fits there, otherwise the largest size that fits.
                int nominal = t.nHeight;
                while (QFontMetrics(ScreenFont(nominal, t.bBold)).height() > t.nHeight) {
                    --nominal;
                }
                const auto fitsAt = [&](int size) {
                    return t.rcCell.Contains(TextBox(t, measure.Measure(t.strText, size, t.bBold)));
                };
                EXPECT_LE(t.nPixelSize, nominal);
                EXPECT_EQ(t.nPixelSize == nominal, fitsAt(nominal));
                EXPECT_TRUE(t.nPixelSize == nominal || !fitsAt(t.nPixelSize + 1));
            }
        }
    }
}

} // namespace
