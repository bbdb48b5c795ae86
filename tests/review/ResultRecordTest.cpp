#include "review/ResultRecord.h"

#include "support/Bytes.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>

namespace {

constexpr const char* kTrackLog = R"(\Log\20080102-150900.log)";

// A UTF-16LE track log: byte-order mark, version line, column header, then the data lines.
std::string TrackLog(std::u16string_view dataLines) {
    return "\xFF\xFE" + Le(u"DataVersion=0.01\r\nID, 日付,時刻,緯度,経度,海抜,高度,距離,時間,速度\r\n") +
           Le(dataLines);
}

TEST(ResultSpeedScale, EachBandEndsAtItsUpperBoundary) {
    const struct {
        int m;
        int S;
    } bands[] = {{1001, 1500}, {1000, 1000}, {801, 1000}, {800, 800}, {601, 800}, {600, 600},
                 {401, 600},   {400, 400},   {201, 400},  {200, 200}, {101, 200}, {100, 100},
                 {51, 100},    {50, 50},     {0, 50},     {-5, 50}};
    for (const auto& band : bands) {
        EXPECT_EQ(SpeedScaleFor(band.m).nFullScale10, band.S) << "m = " << band.m;
    }
}

TEST(ResultSpeedScale, GridValuesAndLabelsAtTheEdgeBands) {
    const auto grid = [](int m) {
        const SpeedScale s = SpeedScaleFor(m);
        std::string text;
        for (int i = 0; i < s.nGridLines; ++i) {
            text += std::to_string(s.grid[static_cast<std::size_t>(i)].nSpeed10) + "=" +
                    s.grid[static_cast<std::size_t>(i)].pszLabel + " ";
        }
        return text;
    };
    EXPECT_EQ(grid(1001), "1000=100 500=50 ");
    EXPECT_EQ(grid(1000), "900=90 600=60 300=30 ");
    EXPECT_EQ(grid(51), "75=7.5 50=5.0 25=2.5 ");
    EXPECT_EQ(grid(50), "40=4 20=2 ");
    EXPECT_EQ(grid(0), "40=4 20=2 ");
}

// The table lines and the plot of the portrait client are checked in the drawn image; its fonts and
// text origins here. Landscape puts the plot beside the table: 320 x 60 / 100 = 192 onwards.
TEST(ResultLayout, FontsAndTextOriginsAndTheLandscapeGraphBesideTheTable) {
    const ResultLayout p = ResultLayout::For(240, 268);
    // 268 x 6 and 10 / 100; y1 and 22 and 38 x 268 / 100; x 3 and 53 hundredths of 240.
    EXPECT_EQ((std::array{p.nLabelFont, p.nValueFont, p.y1, p.yv2, p.yv3, p.x0, p.x1}),
              (std::array{16, 26, 16, 58, 101, 7, 127}));
    const ResultLayout l = ResultLayout::For(320, 240);
    EXPECT_FALSE(l.bPortrait);
    EXPECT_EQ(l.rcGraph, (GraphRect{192, 73, 310, 237}));
}

TEST(ResultSpeedGraph, HugeValuesFromAFileNeitherOverflowNorReachThePainterFarOut) {
    const SpeedGraphLayout g = SpeedGraphLayout::For({5, 143, 230, 263}, 268, 0, 1);
    // INT_MAX x 204 overflows an int; the points stay far beyond the plot, within the painter's range.
    EXPECT_EQ(g.PointFor({INT_MAX, INT_MAX}), (GraphPoint{32767, -32767}));
    EXPECT_EQ(g.PointFor({INT_MIN, INT_MIN}), (GraphPoint{-32767, 32767}));
}

TEST(ResultSpeedTrace, ReadsNoMoreThanTheWorkoutsSecondsAndSkipsShortAndOverlongLines) {
    TempRoot temp;
    const std::u16string overlong = u"4," + std::u16string(100000, u'x') + u",,,,,,,,7.0\r\n";
    temp.WriteHostFile("Log/20080102-150900.log",
                       TrackLog(u"0,2008/01/02,15:09:00,35.0,139.0,1.0,2.0,0.00,0,0.0\r\n"
                                u"3,2008/01/02\r\n" +
                                overlong + // cut before its speed and skipped
                                u"5,2008/01/02,15:09:05,35.0,139.0,1.0,2.0,6.94,5,5.0\r\n"
                                u"9,2008/01/02,15:09:09,35.0,139.0,1.0,2.0,5.56,4,10.5,9.9\r\n"
                                u"12,2008/01/02,15:09:12,35.0,139.0,1.0,2.0,5.56,4,12.5")); // no line end
    EXPECT_EQ(ReadSpeedTrace(temp.root(), kTrackLog, 4), (std::vector<SpeedSample>{{0, 0}, {5, 50}}));
    EXPECT_EQ(ReadSpeedTrace(temp.root(), kTrackLog, 100),
              (std::vector<SpeedSample>{{0, 0}, {5, 50}, {9, 105}, {12, 125}}));
    EXPECT_EQ(ReadSpeedTrace(temp.root(), kTrackLog, 0), std::vector<SpeedSample>{});
    EXPECT_EQ(ReadSpeedTrace(temp.root(), R"(\Log\missing.log)", 100), std::nullopt);
}

class ResultRecordTest : public ::testing::Test {
protected:
    void WriteRecord(std::u16string_view seconds) {
        temp.WriteHostFile(
            "Log/20080102-150900.hol",
            "\xFF\xFE" + Le(u"DataVersion=001\r\nタイトル＝20080102-150900\r\n総距離＝1234 \r\n時間＝") +
                Le(seconds) + Le(u"\r\n消費カロリー＝98.7 \r\n平均速度＝7.4\r\n最大速度＝12.3\r\n"));
    }

    TempRoot temp;
    ResultFigures figures;
};

TEST_F(ResultRecordTest, FillsTheFiguresFromTheRecordBesideTheTrackLogOnlyWhenThereIsOne) {
    figures.m_strTitle = "before";
    figures.m_strTrackLogPath = kTrackLog;
    EXPECT_EQ(LoadResultRecord(temp.root(), figures), 0);
    EXPECT_EQ(figures.m_strTitle, "before");
    WriteRecord(u"3725");
    ASSERT_EQ(LoadResultRecord(temp.root(), figures), 1);
    EXPECT_EQ(figures.m_strTitle, "20080102-150900");
    EXPECT_EQ(figures.m_strDistanceText, "1234 ");
    EXPECT_EQ(figures.m_nTotalSeconds, 3725);
    // 3725 s = 1 h, 62 - 60 = 2 min, 5 s.
    EXPECT_EQ(figures.m_strTimeText, "1:02:05 ");
    EXPECT_EQ(TotalTimeLabel(figures.m_nTotalSeconds), "1:02:05");
    EXPECT_EQ(figures.m_strKcalText, "98.7 ");
    EXPECT_EQ(figures.m_strAvgSpeedText, "7.4");
    EXPECT_EQ(figures.m_nMaxSpeed10, 123);
    EXPECT_EQ(figures.m_strTrackLogPath, kTrackLog);
}

} // namespace
