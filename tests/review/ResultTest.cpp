#include "review/ResultDialogs.h"
#include "review/ResultDlg.h"
#include "review/ResultRecord.h"

#include "support/Bytes.h"
#include "support/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <span>
#include <string>

namespace {

constexpr const char* kTrackLog = R"(\Log\20080102-150900.log)";
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kGrey = 0x808080;
constexpr QRgb kGreen = 0x00FF00;

int CountIn(const QImage& image, QRect area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == colour ? 1 : 0;
        }
    }
    return count;
}

struct Pixel {
    int x, y;
    QRgb colour;
};
void ExpectPixels(const QImage& image, std::span<const Pixel> pixels) {
    for (const Pixel& p : pixels) {
        EXPECT_EQ(image.pixel(p.x, p.y) & 0xFFFFFF, p.colour) << "at " << p.x << ", " << p.y;
    }
}

class ResultTest : public ::testing::Test {
protected:
    // A UTF-16LE track log: byte-order mark, version line, column header, then the data lines.
    void WriteTrackLog(std::u16string_view dataLines) {
        t.temp.WriteHostFile(
            "Log/20080102-150900.log",
            "\xFF\xFE" + Le(u"DataVersion=0.01\r\nID, 日付,時刻,緯度,経度,海抜,高度,距離,時間,速度\r\n") +
                Le(dataLines));
    }

    TestServices t;
    // 123 tenths of km/h as the maximum: the scale 200.
    ResultFigures figures = ResultFigures("20080102-150900", "98.7 ", "1234 ", "0:10:00 ", "7.4", 600, 123,
                                          kTrackLog, R"(\KML\20080102-150900.kml)");
};

TEST_F(ResultTest, TheRecordBesideTheTrackLogFillsTheFigures) {
    ResultFigures read;
    read.m_strTitle = "before";
    read.m_strTrackLogPath = kTrackLog;
    EXPECT_EQ(LoadResultRecord(t.temp.root(), read), 0);
    EXPECT_EQ(read.m_strTitle, "before");
    t.temp.WriteHostFile("Log/20080102-150900.hol",
                         "\xFF\xFE" +
                             Le(u"DataVersion=001\r\nタイトル＝20080102-150900\r\n総距離＝1234 \r\n"
                                u"時間＝3725\r\n消費カロリー＝98.7 \r\n平均速度＝7.4\r\n最大速度＝12.3\r\n"));
    ASSERT_EQ(LoadResultRecord(t.temp.root(), read), 1);
    // 3725 s = 1 h, 62 - 60 = 2 min, 5 s.
    EXPECT_EQ(read.m_strTitle + "|" + read.m_strDistanceText + "|" + read.m_strTimeText + "|" +
                  read.m_strKcalText + "|" + read.m_strAvgSpeedText,
              "20080102-150900|1234 |1:02:05 |98.7 |7.4");
    EXPECT_EQ((std::array{read.m_nTotalSeconds, read.m_nMaxSpeed10}), (std::array{3725, 123}));
    EXPECT_EQ(TotalTimeLabel(read.m_nTotalSeconds), "1:02:05");
}

TEST_F(ResultTest, TheTraceReadsNoMoreThanTheWorkoutsSecondsAndSkipsShortAndOverlongLines) {
    const std::u16string overlong = u"4," + std::u16string(100000, u'x') + u",,,,,,,,7.0\r\n";
    WriteTrackLog(u"0,2008/01/02,15:09:00,35.0,139.0,1.0,2.0,0.00,0,0.0\r\n"
                  u"3,2008/01/02\r\n" +
                  overlong + // cut before its speed and skipped
                  u"5,2008/01/02,15:09:05,35.0,139.0,1.0,2.0,6.94,5,5.0\r\n"
                  u"9,2008/01/02,15:09:09,35.0,139.0,1.0,2.0,5.56,4,10.5,9.9\r\n"
                  u"12,2008/01/02,15:09:12,35.0,139.0,1.0,2.0,5.56,4,12.5"); // no line end
    EXPECT_EQ(ReadSpeedTrace(t.temp.root(), kTrackLog, 4), (std::vector<SpeedSample>{{0, 0}, {5, 50}}));
    EXPECT_EQ(ReadSpeedTrace(t.temp.root(), kTrackLog, 100),
              (std::vector<SpeedSample>{{0, 0}, {5, 50}, {9, 105}, {12, 125}}));
    EXPECT_EQ(ReadSpeedTrace(t.temp.root(), kTrackLog, 0), std::vector<SpeedSample>{});
    EXPECT_EQ(ReadSpeedTrace(t.temp.root(), R"(\Log\missing.log)", 100), std::nullopt);
}

// Each band of maximum speeds, from its lowest to its highest, chooses a full scale and grid lines
// with their labels.
TEST(ResultSpeedScale, EachBandFromItsLowestToItsHighestMaximumSpeed) {
    const struct {
        int lowest;
        int highest;
        const char* scale; // full scale, then each grid line's speed and label
    } bands[] = {{1001, INT_MAX, "1500 1000=100 500=50"}, {801, 1000, "1000 900=90 600=60 300=30"},
                 {601, 800, "800 600=60 400=40 200=20"},  {401, 600, "600 450=45 300=30 150=15"},
                 {201, 400, "400 300=30 200=20 100=10"},  {101, 200, "200 150=15 100=10 50=5"},
                 {51, 100, "100 75=7.5 50=5.0 25=2.5"},   {INT_MIN, 50, "50 40=4 20=2"}};
    for (const auto& band : bands) {
        for (const int m : {band.lowest, band.highest}) {
            const SpeedScale s = SpeedScaleFor(m);
            std::string text = std::to_string(s.nFullScale10);
            for (int i = 0; i < s.nGridLines; ++i) {
                const SpeedGridLine& line = s.grid[static_cast<std::size_t>(i)];
                text += " " + std::to_string(line.nSpeed10) + "=" + line.pszLabel;
            }
            EXPECT_EQ(text, band.scale) << "m = " << m;
        }
    }
    // INT_MAX x 204 overflows an int; the points stay far beyond the plot, within the painter's range.
    const SpeedGraphLayout g = SpeedGraphLayout::For({5, 143, 230, 263}, 268, 0, 1);
    EXPECT_EQ(g.PointFor({INT_MAX, INT_MAX}), (GraphPoint{32767, -32767}));
    EXPECT_EQ(g.PointFor({INT_MIN, INT_MIN}), (GraphPoint{-32767, 32767}));
}

// The table's lines, its texts, the plot's frame, grid and trace, portrait and landscape. Portrait
// 240 x 268: rows at 6 + 10 percent of the height (y 42, 85, 128) across the width, split at 120;
// the plot from x 26 (5 + 20 x 268 / 250) to 230 and from y 143 down to 253, its grid at 150, 100
// and 50 of the scale 200: y = 253 - 110 x g / 200. Landscape 320 x 240: rows at 10 + 15 percent
// (60, 120, 180), the table 192 wide; the plot from x 211 to 310 and from y 73 down to 228.
TEST_F(ResultTest, TheImageDrawsTheTableAndThePlotWithTheTraceInsideIt) {
    // 10 km/h from 150 s, then 30 km/h at 600 s: beyond the plot's top and, for a workout of 300 s,
    // beyond its right edge.
    WriteTrackLog(u"0,2008/01/02,15:09:00,35.0,139.0,1.0,2.0,0.00,0,0.0\r\n"
                  u"150,2008/01/02,15:11:30,35.0,139.0,1.0,2.0,417,150,10.0\r\n"
                  u"300,2008/01/02,15:14:00,35.0,139.0,1.0,2.0,834,300,10.0\r\n"
                  u"600,2008/01/02,15:19:00,35.0,139.0,1.0,2.0,3334,600,30.0\r\n");
    figures.m_nTotalSeconds = 300;
    const QImage image = DrawResultImage(figures, t.temp.root(), 240, 268);
    ASSERT_EQ(image.size(), QSize(240, 268));
    // 10 km/h is y = 253 - 110 x 100 / 200 = 198, from x 26 + 150 x 204 / 300 = 128 to the right edge
    // at 300 s, over the grid line; before it the trace still climbs from the origin.
    const Pixel portrait[] = {{239, 0, kBlack},   {239, 42, kWhite},  {60, 85, kWhite},   {60, 128, kWhite},
                              {60, 129, kBlack},  {0, 100, kWhite},   {120, 70, kWhite},  {26, 200, kWhite},
                              {128, 253, kWhite}, {230, 200, kWhite}, {60, 171, kGrey},   {60, 198, kGrey},
                              {60, 226, kGrey},   {118, 198, kGrey},  {128, 198, kGreen}, {200, 198, kGreen},
                              {229, 198, kGreen}};
    ExpectPixels(image, portrait);
    // Texts are white somewhere in the title row and in the distance cell.
    EXPECT_GT(CountIn(image, QRect(7, 16, 100, 16), kWhite), 20);
    EXPECT_GT(CountIn(image, QRect(0, 58, 115, 26), kWhite), 20);
    // Nothing green outside the plot rectangle (26, 143) to (230, 253).
    EXPECT_EQ(CountIn(image, QRect(0, 0, 240, 143), kGreen), 0);
    EXPECT_EQ(CountIn(image, QRect(230, 0, 10, 268), kGreen), 0);
    EXPECT_EQ(CountIn(image, QRect(0, 253, 240, 15), kGreen), 0);

    const QImage landscape = DrawResultImage(figures, t.temp.root(), 320, 240);
    const Pixel landscapePixels[] = {{319, 60, kWhite},  {191, 120, kWhite}, {200, 120, kBlack},
                                     {192, 100, kWhite}, {211, 75, kWhite},  {211, 150, kWhite},
                                     {260, 228, kWhite}, {310, 150, kWhite}};
    ExpectPixels(landscape, landscapePixels);

    // The texts' fonts, 6 and 10 % of 268, and origins: the title's value at y 16, the value rows at
    // 22 and 38 % (58, 101), the columns at 3 and 53 % of 240.
    const ResultLayout p = ResultLayout::For(240, 268);
    EXPECT_EQ((std::array{p.nLabelFont, p.nValueFont, p.y1, p.yv2, p.yv3, p.x0, p.x1}),
              (std::array{16, 26, 16, 58, 101, 7, 127}));
}

TEST_F(ResultTest, ShownModallyDrawnOncePerSizeAndOpensTheFilesItHas) {
    platform::ScriptedMessageBox messages;
    MessageDialogs others(messages);
    ResultDialogs dialogs(others, t.temp.root(), t.shell);
    int result = -1;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CResultDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        QObject::connect(dlg, &QDialog::finished, [&](int r) { result = r; });
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("おつかれさまでした"));
        EXPECT_EQ(dlg->m_strTitle, "20080102-150900");

        // Drawing reads the whole track log: only when the size really changes.
        dlg->SetClientSize(240, 268);
        QApplication::processEvents();
        EXPECT_EQ(dlg->Image().size(), QSize(240, 268));
        const qint64 first = dlg->Image().cacheKey();
        EXPECT_EQ(dlg->Image().pixel(239, 42) & 0xFFFFFF, kWhite);
        dlg->SetClientSize(240, 268);
        QApplication::processEvents();
        EXPECT_EQ(dlg->Image().cacheKey(), first);
        dlg->SetClientSize(480, 536);
        QApplication::processEvents();
        EXPECT_EQ(dlg->Image().size(), QSize(480, 536));

        // The map entry needs the KML, the GPX entry the GPX beside it.
        EXPECT_EQ(dlg->MapAction()->text(), QStringLiteral("Google Mapで見る"));
        EXPECT_EQ(dlg->GpxAction()->text(), QStringLiteral("GPXファイルを開く"));
        EXPECT_EQ(dlg->CloseAction()->text(), QStringLiteral("閉じる"));
        EXPECT_FALSE(dlg->MapAction()->isEnabled());
        t.temp.WriteHostFile("KML/20080102-150900.kml", "<kml/>");
        dlg->UpdateCommands();
        EXPECT_TRUE(dlg->MapAction()->isEnabled());
        dlg->MapAction()->trigger();
        EXPECT_FALSE(dlg->GpxAction()->isEnabled());
        t.temp.WriteHostFile("GPX/20080102-150900.gpx", "<gpx/>");
        dlg->UpdateCommands();
        EXPECT_TRUE(dlg->GpxAction()->isEnabled());
        dlg->GpxAction()->trigger();
        EXPECT_EQ(t.shell.opened,
                  (std::vector<std::string>{R"(\KML\20080102-150900.kml)", R"(\GPX\20080102-150900.gpx)"}));
        dlg->CloseAction()->trigger();
    });
    dialogs.ShowResult(figures);
    EXPECT_EQ(result, 1);
}

} // namespace
