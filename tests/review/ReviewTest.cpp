#include "review/HistoryDlg.h"
#include "review/ResultDialogs.h"
#include "review/ResultDlg.h"
#include "review/ResultRecord.h"

#include "support/Bytes.h"
#include "support/TempRoot.h"
#include "support/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <tuple>

namespace {

using platform::SYSTEMTIME;

constexpr SYSTEMTIME kJan15{2008, 1, 2, 15, 10, 0, 0, 0};
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBar = 0xDCFFFF; // red 0xDC, green 0xFF, blue 0xFF

// A history log as the finish sequence writes it, header first.
std::vector<HistoryEntry> Load(TempRoot& temp, std::u16string_view lines) {
    temp.WriteHostFile("Logs/amblHistory.log",
                       "\xFF\xFE" +
                           Le(u"DataVersion=0.01\r\n日付,時刻,距離(m),時間(秒),消費カロリー(kcal)\r\n") +
                           Le(lines));
    return LoadHistory(temp.root(), "\\Logs\\").value();
}

// A row's texts: date, metres, time and kilocalories.
std::string Row(const HistoryRows& rows, std::size_t i) {
    const auto t = rows.ListTexts(i);
    return t[0] + " | " + t[1] + " | " + t[2] + " | " + t[3];
}

QString Texts(const QTreeWidgetItem* item) {
    return item->text(0) + " | " + item->text(1) + " | " + item->text(2) + " | " + item->text(3);
}

void ExpectPixels(const QImage& image, std::initializer_list<std::tuple<int, int, QRgb>> pixels) {
    for (const auto& [x, y, colour] : pixels) {
        EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, colour) << "at " << x << ", " << y;
    }
}

int CountIn(const QImage& image, QRect area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == colour ? 1 : 0;
        }
    }
    return count;
}

constexpr const char* kTrackLog = R"(\Log\20080102-150900.log)";
constexpr QRgb kGrey = 0x808080;
constexpr QRgb kGreen = 0x00FF00;

class HistoryTest : public ::testing::Test {
protected:
    ScopedEnv tz{"TZ", "Asia/Tokyo"};
    TempRoot temp;
    std::vector<HistoryEntry> entries = Load(temp, u"2008/01/15,07:10:00,3000,1200,150.5\r\n"
                                                   u"2008/01/15,18:30:05,2000,900,100.0\r\n"
                                                   u"2008/01/09,00:00:00,1000,600,50.0\r\n"
                                                   u"2008/01/08,23:59:59,500,300,25.0\r\n"
                                                   u"2007/12/31,12:00:00,4000,3600,200.0\r\n"
                                                   u"2007/07/01,09:00:00,700,100,10.0\r\n"
                                                   u"2008/03/30,10:00:00,1000,60,1.0\r\n"
                                                   u"2008/10/23,00:30:00,2000,60,1.0\r\n"
                                                   u"\r\n");
    platform::ScriptedMessageBox messages;
};

TEST_F(HistoryTest, EachModeSumsItsPeriods) {
    HistoryRows rows(entries, kJan15);
    rows.SetMode(HistoryMode::Record);
    EXPECT_EQ(Row(rows, 0), "2008/01/15 07:10 | 3000 | 0:20:00 | 150.5");
    EXPECT_FALSE(rows.DrillDown(2)); // past the last row
    // Weeks end with the day after the reference; a midnight belongs to the week it opens.
    rows.SetMode(HistoryMode::Week);
    EXPECT_EQ(Row(rows, 5), "2008/01/02～01/09 | 500 | 0:05:00 | 25.0");
    rows.SetMode(HistoryMode::Month);
    EXPECT_EQ(Row(rows, 5), "2007/12 | 4000 | 1:00:00 | 200.0");
}

// Where the rows lie after keys from a reference date: a letter picks the mode (Day, Week, Month),
// "<" and ">" step back and forward, a digit opens that row. Days and weeks follow the local calendar
// through the changes of daylight saving time in Germany (30 March and 26 October 2008): every day
// appears once, weeks start at midnight. Months keep the day the user had (31 January, 29 February,
// 31 March), cut short only for the month shown; a step by days starts again from the day shown.
TEST_F(HistoryTest, KeysStepByCalendarUnitsAndOpenPeriods) {
    constexpr const char* kTokyo = "Asia/Tokyo";
    constexpr const char* kBerlin = "Europe/Berlin";
    const struct {
        const char* zone;
        SYSTEMTIME reference;
        const char* keys;
        const char* shown; // first and last row, and each row's metres
    } cases[] = {
        {kTokyo, kJan15, "M<", "2007/06 .. 2007/12: 0 700 0 0 0 0 4000"},
        {kTokyo, {2008, 2, 5, 15}, "W<", "2007/12/22～12/29 .. 2008/02/02～02/09: 0 4000 1500 5000 0 0 0"},
        {kTokyo, {2008, 12, 3, 31, 23, 59, 59}, "D>", "2008/12/26 .. 2009/01/01: 0 0 0 0 0 0 0"},
        // December 2007 opens the weeks ending on the 31st, a week its own days, a day its workouts;
        // March the weeks ending on the 31st, whose first opens 12 to 18 February.
        {kTokyo, kJan15, "M5", "2007/11/13～11/20 .. 2007/12/25～01/01: 0 0 0 0 0 0 4000"},
        {kTokyo, kJan15, "M566", "2007/12/31 12:00 .. 2007/12/31 12:00: 4000"},
        {kTokyo, {2008, 3, 0, 20}, "M60", "2008/02/12 .. 2008/02/18: 0 0 0 0 0 0 0"},
        {kBerlin, {2008, 3, 1, 31, 0, 30}, "D<", "2008/03/24 .. 2008/03/30: 0 0 0 0 0 0 1000"},
        {kBerlin, {2008, 10, 0, 26}, "D>", "2008/10/21 .. 2008/10/27: 0 0 2000 0 0 0 0"},
        {kBerlin, {2008, 10, 3, 29}, "W>5", "2008/10/23 .. 2008/10/29: 2000 0 0 0 0 0 0"},
        {kTokyo, {2024, 1, 3, 31}, "M>>D<<M>D", "2024/04/23 .. 2024/04/29: 0 0 0 0 0 0 0"},
    };
    for (const auto& c : cases) {
        ScopedEnv zone("TZ", c.zone);
        HistoryRows rows(entries, c.reference);
        for (const char* key = c.keys; *key != '\0'; ++key) {
            if (*key == '<') {
                rows.StepBack();
            } else if (*key == '>') {
                rows.StepForward();
            } else if (*key >= '0' && *key <= '9') {
                EXPECT_FALSE(rows.DrillDown(static_cast<std::size_t>(*key - '0')));
            } else {
                rows.SetMode(*key == 'M'   ? HistoryMode::Month
                             : *key == 'W' ? HistoryMode::Week
                                           : HistoryMode::Day);
            }
        }
        std::string shown = rows.ListTexts(0)[0] + " .. " + rows.ListTexts(rows.Rows().size() - 1)[0] + ":";
        for (const HistoryRow& row : rows.Rows()) {
            shown += " " + std::to_string(row.nMetres);
        }
        EXPECT_EQ(shown, c.shown) << c.zone << " " << c.keys;
    }
}

// The title, and the first bar's value, category, edges and top, of each mode and graph. The plot
// is 206 pixels wide from the axis at 24, a slot for each row, a bar 3 pixels inside its slot; bars
// rise from the baseline 148 by 106 pixels at the largest row: y = 148 - 106 x value / largest.
TEST_F(HistoryTest, GraphTitlesValuesAndBarsOfEachModeAndKind) {
    const struct {
        HistoryMode mode;
        HistoryGraphKind kind;
        const char* title;
        const char* bar; // value, category, left and right edge, top
    } cases[] = {
        {HistoryMode::Day, HistoryGraphKind::Time, "日毎の時間(時:分:秒)",
         "0:10:00 1/9 27-50 118"}, // 600 of 2100
        {HistoryMode::Week, HistoryGraphKind::Time, "１週間毎の時間(時:分:秒)", "0 11/28-  27-50 148"},
        {HistoryMode::Month, HistoryGraphKind::Distance, "月毎の距離(ｍ)",
         "700 7月 27-50 137"}, // 700 of 6500
        // Two workouts: two slots of 206 / 2.
        {HistoryMode::Record, HistoryGraphKind::Energy, "2008/1/15 の消費ｶﾛﾘｰ(kcal)",
         "150.5 07:10 27-124 42"},
    };
    HistoryRows rows(entries, kJan15);
    for (const auto& c : cases) {
        rows.SetMode(c.mode);
        const HistoryGraph graph = BuildHistoryGraph(rows, c.kind, 240, 320);
        EXPECT_EQ(graph.strTitle, c.title);
        ASSERT_EQ(graph.bars.size(), rows.Rows().size());
        const HistoryBar& bar = graph.bars[0];
        EXPECT_EQ(bar.strValue + " " + bar.strCategory + " " + std::to_string(bar.x0) + "-" +
                      std::to_string(bar.x1) + " " + std::to_string(bar.y),
                  c.bar)
            << c.title;
    }
    rows.StepForward(); // the 16th: no workouts
    EXPECT_TRUE(BuildHistoryGraph(rows, HistoryGraphKind::Energy, 240, 320).bNoExercise);
}

TEST_F(HistoryTest, HugeAndNegativeFiguresNeitherWrapNorSubtractAndBarsStayInsideThePlot) {
    HistoryRows rows(Load(temp, u"2008/01/15,07:10:00,2147483647,2147483647,1.0\r\n"
                                u"2008/01/15,08:10:00,2147483647,-50,1.0\r\n"
                                u"2008/01/14,08:10:00,2147483646,0,0.0\r\n"),
                     kJan15);
    // 2^31 - 1 seconds are 596523 hours, 847 seconds.
    EXPECT_EQ(Row(rows, 6), "2008/01/15 | 2147483647 | 596523:14:07 | 2.0");
    const auto graph = BuildHistoryGraph(rows, HistoryGraphKind::Distance, 240, 320);
    // 106 x (2^31 - 2) / (2^31 - 1) is just below 106.
    EXPECT_EQ((std::array{graph.bars[5].y, graph.bars[6].y}), (std::array{148 - 105, 148 - 106}));
}

// The list and the graph the menus choose, portrait and landscape; then keys step and drill down, and
// the workout opens with its track log and KML: its record is missing here, which the result dialog
// reports.
TEST_F(HistoryTest, DialogShowsWhatTheMenusAndKeysChooseAndOpensTheWorkout) {
    std::string opened;
    platform::RecordingShell shell;
    CHistoryDlg dlg(temp.root(), "\\Logs\\", kJan15, messages,
                    [&](const std::string& log, const std::string& kml) {
                        opened += log + " " + kml;
                        return ResultDialogOpener(temp.root(), shell, nullptr)(log, kml);
                    });
    dlg.SetClientSize(240, 320);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("運動記録"));
    EXPECT_EQ(dlg.CloseAction()->text(), QStringLiteral("閉じる"));
    QTreeWidget* list = dlg.List();
    EXPECT_EQ(Texts(list->headerItem()), QStringLiteral("日付 | 距離 | 時間 | カロリー"));
    ASSERT_EQ(list->topLevelItemCount(), 7);
    EXPECT_EQ(Texts(list->topLevelItem(6)), QStringLiteral("2008/01/15 | 5000 | 0:35:00 | 250.5"));
    EXPECT_EQ(list->topLevelItem(6)->textAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_GE(list->columnWidth(0), list->fontMetrics().horizontalAdvance(list->topLevelItem(6)->text(0)));
    EXPECT_TRUE(dlg.ModeAction(HistoryMode::Day)->isChecked());
    EXPECT_TRUE(dlg.KindAction(HistoryGraphKind::Energy)->isChecked());
    // Portrait: the list under the graph; the axis at x 24, the 15th's bar (x 203 to 227) up to 42.
    EXPECT_EQ(list->geometry(), QRect(5, 165, 230, 150));
    ExpectPixels(dlg.Image(), {{215, 100, kBar}, {215, 41, kBlack}, {215, 42, kWhite}, {24, 100, kWhite}});

    dlg.KindAction(HistoryGraphKind::Time)->trigger();
    // Time: 600 s on the 9th of 2100 s on the 15th, up to 148 - 106 x 600 / 2100 = 118 (energy: 127).
    ExpectPixels(dlg.Image(), {{38, 120, kBar}, {38, 116, kBlack}});
    dlg.ModeAction(HistoryMode::Week)->trigger();
    // Each menu checks its new entry only.
    EXPECT_TRUE(dlg.ModeAction(HistoryMode::Week)->isChecked());
    EXPECT_FALSE(dlg.ModeAction(HistoryMode::Day)->isChecked());
    EXPECT_TRUE(dlg.KindAction(HistoryGraphKind::Time)->isChecked());
    EXPECT_FALSE(dlg.KindAction(HistoryGraphKind::Energy)->isChecked());
    EXPECT_EQ(Texts(list->topLevelItem(6)), QStringLiteral("2008/01/09～01/16 | 6000 | 0:45:00 | 300.5"));

    // Landscape, a square too: the list beside the graph, whose frame ends at x 155; the fifth week's
    // bar (x 19 + 4 x 136 / 7 + 3 to 113).
    dlg.SetClientSize(320, 240);
    EXPECT_EQ(list->geometry(), QRect(165, 5, 150, 230));
    ExpectPixels(dlg.Image(), {{155, 100, kWhite}, {106, 100, kBar}});
    EXPECT_FALSE(HistoryGraphLayout::For(240, 240).bPortrait);

    dlg.ModeAction(HistoryMode::Day)->trigger();
    QTest::keyClick(list, Qt::Key_Left);
    EXPECT_EQ(list->topLevelItem(6)->text(0), QStringLiteral("2008/01/14"));
    QTest::keyClick(list, Qt::Key_Right);
    QTest::keyClick(list, Qt::Key_Return); // nothing selected
    EXPECT_EQ(dlg.Rows().Mode(), HistoryMode::Day);

    list->setCurrentItem(list->topLevelItem(6));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_TRUE(dlg.ModeAction(HistoryMode::Record)->isChecked());
    ASSERT_EQ(list->topLevelItemCount(), 2);
    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(opened, R"(\Logs\Log\20080115-183005.log \Logs\KML\20080115-183005.kml)");
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].caption + ": " + messages.shown[0].text, "速度グラフ: データが存在しません");

    // Still listing workouts: a day without any shows the placeholder.
    QTest::keyClick(list, Qt::Key_Right);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("本日は運動していません"));
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
    EXPECT_EQ(TotalTimeLabel(read.m_nTotalSeconds) + " " + std::to_string(read.m_nMaxSpeed10), "1:02:05 123");
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
    EXPECT_EQ(ReadSpeedTrace(t.temp.root(), R"(\Log\missing.log)", 100), std::nullopt);
}

// Each band of maximum speeds, lowest to highest, chooses a full scale and labelled grid lines.
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

// Portrait 240 x 268: the table's split, the plot from x 26 to 230 and from y 143 down to 253 with
// its grid at 150, 100 and 50 of the scale 200 (y = 253 - 110 x g / 200), and the trace inside it.
// Landscape 320 x 240: the plot beside the table, from x 211, the table's lines stopping short of it.
TEST_F(ResultTest, TheImageDrawsTheTableAndThePlotWithTheTraceInsideIt) {
    // 10 km/h from 150 s, then 30 km/h at 600 s: beyond the plot's top and, for a workout of 300 s,
    // beyond its right edge.
    WriteTrackLog(u"0,2008/01/02,15:09:00,35.0,139.0,1.0,2.0,0.00,0,0.0\r\n"
                  u"150,2008/01/02,15:11:30,35.0,139.0,1.0,2.0,417,150,10.0\r\n"
                  u"300,2008/01/02,15:14:00,35.0,139.0,1.0,2.0,834,300,10.0\r\n"
                  u"600,2008/01/02,15:19:00,35.0,139.0,1.0,2.0,3334,600,30.0\r\n");
    figures.m_nTotalSeconds = 300;
    const QImage image = DrawResultImage(figures, t.temp.root(), 240, 268);
    ExpectPixels(image, {{120, 70, kWhite}, {128, 253, kWhite}, {230, 200, kWhite}});
    ExpectPixels(image, {{60, 171, kGrey}, {60, 198, kGrey}, {60, 226, kGrey}, {118, 198, kGrey}});
    // 10 km/h is y = 253 - 110 x 100 / 200 = 198, from x 26 + 150 x 204 / 300 = 128 to the right edge
    // at 300 s, over the grid line; before it the trace still climbs from the origin.
    ExpectPixels(image, {{128, 198, kGreen}, {200, 198, kGreen}, {229, 198, kGreen}});
    EXPECT_EQ(CountIn(image, image.rect(), kGreen), CountIn(image, QRect(26, 143, 204, 110), kGreen));
    // The distance's text is drawn in its cell.
    EXPECT_GT(CountIn(image, QRect(2, 58, 113, 26), kWhite), 20);
    ExpectPixels(DrawResultImage(figures, t.temp.root(), 320, 240), {{200, 120, kBlack}, {211, 150, kWhite}});
}

TEST_F(ResultTest, ShownModallyRedrawnAtANewSizeAndOpensTheFilesItHas) {
    MessageDialogs others(t.messages);
    ResultDialogs dialogs(others, t.temp.root(), t.shell);
    int result = -1;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CResultDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        QObject::connect(dlg, &QDialog::finished, [&](int r) { result = r; });
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("おつかれさまでした"));
        EXPECT_EQ(dlg->m_strTitle, "20080102-150900");

        for (const QSize size : {QSize(240, 268), QSize(480, 536)}) {
            dlg->SetClientSize(size.width(), size.height());
            QApplication::processEvents();
            EXPECT_EQ(dlg->Image().size(), size);
        }

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
