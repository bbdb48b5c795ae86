#include "review/ResultRecord.h"

#include "support/Bytes.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

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

TEST(ResultLayout, PortraitHandheld240x268) {
    const ResultLayout l = ResultLayout::For(240, 268);
    EXPECT_TRUE(l.bPortrait);
    EXPECT_EQ(l.a, 6);
    EXPECT_EQ(l.b, 10);
    EXPECT_EQ(l.T, 240);
    EXPECT_EQ(l.nLabelFont, 16); // 268 x 6 / 100 = 16.08
    EXPECT_EQ(l.nValueFont, 26); // 268 x 10 / 100 = 26.8
    EXPECT_EQ(l.y1, 16);
    EXPECT_EQ(l.y2, 42);   // 16 x 268 / 100 = 42.88
    EXPECT_EQ(l.y3, 85);   // 32 x 268 / 100 = 85.76
    EXPECT_EQ(l.y4, 128);  // 48 x 268 / 100 = 128.64
    EXPECT_EQ(l.yv2, 58);  // 22 x 268 / 100 = 58.96
    EXPECT_EQ(l.yv3, 101); // 38 x 268 / 100 = 101.84
    EXPECT_EQ(l.x0, 7);    // 240 x 3 / 100
    EXPECT_EQ(l.x1, 127);  // 240 x 53 / 100
    EXPECT_EQ(l.rcGraph, (GraphRect{5, 143, 230, 263}));

    const SpeedGraphLayout g = SpeedGraphLayout::For(l.rcGraph, 268, 0, 0);
    EXPECT_EQ(g.Lp, 26);  // 5 + 20 x 268 / 250
    EXPECT_EQ(g.Bp, 253); // 263 - 10 x 268 / 250
    EXPECT_EQ(g.nFont, 10);
}

TEST(ResultLayout, LandscapePutsTheGraphBesideTheTable) {
    const ResultLayout l = ResultLayout::For(320, 240);
    EXPECT_FALSE(l.bPortrait);
    EXPECT_EQ(l.a, 10);
    EXPECT_EQ(l.b, 15);
    EXPECT_EQ(l.T, 192); // 320 x 60 / 100
    EXPECT_EQ(l.xSplit, 96);
    EXPECT_EQ(l.y2, 60); // 25 x 240 / 100
    EXPECT_EQ(l.rcGraph, (GraphRect{192, 73, 310, 237}));
}

TEST(ResultSpeedGraph, SamplesAndGridLinesScaleIntoThePlot) {
    // Plot of the 240 x 268 client: Lp 26, Tp 143, R 230, Bp 253; one hour, scale 50.
    const SpeedGraphLayout g = SpeedGraphLayout::For({5, 143, 230, 263}, 268, 50, 3600);
    EXPECT_EQ(g.PointFor({0, 0}), (GraphPoint{26, 253}));
    EXPECT_EQ(g.PointFor({1800, 25}), (GraphPoint{26 + 1800 * 204 / 3600, 253 - 110 * 25 / 50}));
    EXPECT_EQ(g.PointFor({3600, 50}), (GraphPoint{230, 143}));
    EXPECT_EQ(g.GridY(40), 253 - 110 * 40 / 50);
}

TEST(ResultSpeedGraph, HugeValuesFromAFileNeitherOverflowNorReachThePainterFarOut) {
    const SpeedGraphLayout g = SpeedGraphLayout::For({5, 143, 230, 263}, 268, 0, 1);
    // INT_MAX x 204 overflows an int; the points stay far beyond the plot, within the painter's range.
    EXPECT_EQ(g.PointFor({INT_MAX, INT_MAX}), (GraphPoint{32767, -32767}));
    EXPECT_EQ(g.PointFor({INT_MIN, INT_MIN}), (GraphPoint{-32767, 32767}));
}

TEST(ResultSpeedTrace, ReadsNoMoreThanTheWorkoutsSecondsAndSkipsShortLines) {
    TempRoot temp;
    temp.WriteHostFile("Log/20080102-150900.log",
                       TrackLog(u"0,2008/01/02,15:09:00,35.0,139.0,1.0,2.0,0.00,0,0.0\r\n"
                                u"3,2008/01/02\r\n"
                                u"5,2008/01/02,15:09:05,35.0,139.0,1.0,2.0,6.94,5,5.0\r\n"
                                u"9,2008/01/02,15:09:09,35.0,139.0,1.0,2.0,5.56,4,10.5,9.9\r\n"));
    EXPECT_EQ(ReadSpeedTrace(temp.root(), kTrackLog, 3), (std::vector<SpeedSample>{{0, 0}, {5, 50}}));
    EXPECT_EQ(ReadSpeedTrace(temp.root(), kTrackLog, 100),
              (std::vector<SpeedSample>{{0, 0}, {5, 50}, {9, 105}}));
    EXPECT_EQ(ReadSpeedTrace(temp.root(), kTrackLog, 0), std::vector<SpeedSample>{});
    EXPECT_EQ(ReadSpeedTrace(temp.root(), R"(\Log\missing.log)", 100), std::nullopt);
}

TEST(ResultSpeedTrace, LastLineWithoutLineEndAndAnOverlongLine) {
    TempRoot temp;
    const std::u16string overlong = u"4," + std::u16string(100000, u'x') + u",,,,,,,,7.0\r\n";
    temp.WriteHostFile("Log/20080102-150900.log",
                       TrackLog(overlong + u"8,2008/01/02,15:09:08,35.0,139.0,1.0,2.0,5.56,4,12.5"));
    // The overlong line is cut before its speed and skipped; the next line is read whole.
    EXPECT_EQ(ReadSpeedTrace(temp.root(), kTrackLog, 10), (std::vector<SpeedSample>{{8, 125}}));
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

TEST_F(ResultRecordTest, FillsTheFiguresFromTheRecordBesideTheTrackLog) {
    WriteRecord(u"3725");
    figures.m_strTrackLogPath = kTrackLog;
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

TEST_F(ResultRecordTest, AMissingRecordChangesNothing) {
    figures.m_strTitle = "before";
    figures.m_nTotalSeconds = 42;
    figures.m_strTrackLogPath = R"(\Log\20080102-150900.log)";
    EXPECT_EQ(LoadResultRecord(temp.root(), figures), 0);
    EXPECT_EQ(figures.m_strTitle, "before");
    EXPECT_EQ(figures.m_nTotalSeconds, 42);
}

} // namespace
