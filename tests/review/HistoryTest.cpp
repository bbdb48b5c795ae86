#include "review/HistoryDlg.h"

#include "support/Bytes.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>
#include <memory>
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

void ExpectChecked(const CHistoryDlg& dlg, HistoryMode checkedMode, HistoryGraphKind checkedKind) {
    for (auto mode : {HistoryMode::Day, HistoryMode::Week, HistoryMode::Month, HistoryMode::Record}) {
        EXPECT_EQ(dlg.ModeAction(mode)->isChecked(), mode == checkedMode);
    }
    for (auto kind : {HistoryGraphKind::Distance, HistoryGraphKind::Time, HistoryGraphKind::Energy}) {
        EXPECT_EQ(dlg.KindAction(kind)->isChecked(), kind == checkedKind);
    }
}

class HistoryTest : public ::testing::Test {
protected:
    std::unique_ptr<CHistoryDlg> Open(PastResultOpener opener) {
        auto dlg =
            std::make_unique<CHistoryDlg>(temp.root(), "\\Logs\\", kJan15, messages, std::move(opener));
        dlg->SetClientSize(240, 320);
        return dlg;
    }

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
    // Two workouts on the 15th make one day; the first row is six days before.
    EXPECT_EQ(Row(rows, 0), "2008/01/09 | 1000 | 0:10:00 | 50.0");
    EXPECT_EQ(Row(rows, 6), "2008/01/15 | 5000 | 0:35:00 | 250.5");
    rows.SetMode(HistoryMode::Record);
    ASSERT_EQ(rows.Rows().size(), 2U);
    EXPECT_EQ(Row(rows, 0), "2008/01/15 07:10 | 3000 | 0:20:00 | 150.5");
    EXPECT_EQ(Row(rows, 1), "2008/01/15 18:30 | 2000 | 0:15:00 | 100.0");
    EXPECT_FALSE(rows.DrillDown(2)); // past the last row
    // Weeks end with the day after the reference; a midnight belongs to the week it opens.
    rows.SetMode(HistoryMode::Week);
    EXPECT_EQ(Row(rows, 5), "2008/01/02～01/09 | 500 | 0:05:00 | 25.0");
    EXPECT_EQ(Row(rows, 6), "2008/01/09～01/16 | 6000 | 0:45:00 | 300.5");
    rows.SetMode(HistoryMode::Month);
    EXPECT_EQ(Row(rows, 0), "2007/07 | 700 | 0:01:40 | 10.0");
    EXPECT_EQ(Row(rows, 5), "2007/12 | 4000 | 1:00:00 | 200.0");
    EXPECT_EQ(Row(rows, 6), "2008/01 | 6500 | 0:50:00 | 325.5");
}

// Where the rows lie after keys from a reference date: the first letter picks the mode (Day, Week,
// Month), "<" and ">" step back and forward, a digit opens that row. Days and weeks follow the local
// calendar through the changes of daylight saving time in Germany (30 March and 26 October 2008):
// every day appears once, weeks start at midnight.
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
        {kBerlin, {2008, 10, 3, 29}, "W", "2008/09/11～09/18 .. 2008/10/23～10/30: 0 0 0 0 0 0 2000"},
        {kBerlin, {2008, 10, 3, 29}, "W>5", "2008/10/23 .. 2008/10/29: 2000 0 0 0 0 0 0"},
    };
    for (const auto& c : cases) {
        ScopedEnv zone("TZ", c.zone);
        HistoryRows rows(entries, c.reference);
        rows.SetMode(c.keys[0] == 'M'   ? HistoryMode::Month
                     : c.keys[0] == 'W' ? HistoryMode::Week
                                        : HistoryMode::Day);
        for (const char* key = c.keys + 1; *key != '\0'; ++key) {
            if (*key == '<') {
                rows.StepBack();
            } else if (*key == '>') {
                rows.StepForward();
            } else {
                EXPECT_FALSE(rows.DrillDown(static_cast<std::size_t>(*key - '0')));
            }
        }
        std::string shown = rows.ListTexts(0)[0] + " .. " + rows.ListTexts(rows.Rows().size() - 1)[0] + ":";
        for (const HistoryRow& row : rows.Rows()) {
            shown += " " + std::to_string(row.nMetres);
        }
        EXPECT_EQ(shown, c.shown) << c.zone << " " << c.keys;
    }
}

// 31 January, 29 February, 31 March: the day the user had is kept, cut short only for the month
// shown; a step by days starts again from the day shown.
TEST_F(HistoryTest, MonthStepsKeepTheDayTheUserHad) {
    HistoryRows months(entries, SYSTEMTIME{2024, 1, 3, 31, 0, 0, 0, 0});
    months.SetMode(HistoryMode::Month);
    for (const int day : {29, 31, 30, 31}) {
        months.StepForward();
        EXPECT_EQ(months.Reference().wDay, day) << "month " << months.Reference().wMonth;
    }
    months.SetMode(HistoryMode::Day);
    months.StepBack();
    months.StepBack();
    months.SetMode(HistoryMode::Month);
    months.StepForward();
    EXPECT_EQ(months.Reference().wMonth * 100 + months.Reference().wDay, 629);
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
        {HistoryMode::Day, HistoryGraphKind::Energy, "日毎の消費ｶﾛﾘｰ(kcal)",
         "50.0 1/9 27-50 127"}, // 500 of 2505
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
    // Title, label and value fonts: 15, 10 and 7 / 250 of the height.
    const HistoryGraphLayout l = HistoryGraphLayout::For(240, 320);
    EXPECT_EQ((std::array{l.nTitleFont, l.nLabelFont, l.nValueFont}), (std::array{19, 12, 8}));
}

TEST_F(HistoryTest, HugeAndNegativeFiguresNeitherWrapNorSubtractAndBarsStayInsideThePlot) {
    HistoryRows rows(Load(temp, u"2008/01/15,07:10:00,2147483647,2147483647,1.0\r\n"
                                u"2008/01/15,08:10:00,2147483647,-50,1.0\r\n"
                                u"2008/01/14,08:10:00,2147483646,0,0.0\r\n"),
                     kJan15);
    EXPECT_EQ(rows.Rows()[6].nMetres, 2147483647);
    EXPECT_EQ(rows.Rows()[6].nSeconds, 2147483647);
    EXPECT_EQ(rows.Rows()[6].nKcal10, 20);
    const auto graph = BuildHistoryGraph(rows, HistoryGraphKind::Distance, 240, 320);
    // 106 x (2^31 - 2) / (2^31 - 1) is just below 106.
    EXPECT_EQ((std::array{graph.bars[5].y, graph.bars[6].y}), (std::array{148 - 105, 148 - 106}));
}

TEST_F(HistoryTest, DialogListsTheRowsAndDrawsTheGraphTheMenuChooses) {
    auto dlg = Open(nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("運動記録"));
    EXPECT_EQ(dlg->CloseAction()->text(), QStringLiteral("閉じる"));
    QTreeWidget* list = dlg->List();
    EXPECT_EQ(Texts(list->headerItem()), QStringLiteral("日付 | 距離 | 時間 | カロリー"));
    ASSERT_EQ(list->topLevelItemCount(), 7);
    EXPECT_EQ(Texts(list->topLevelItem(6)), QStringLiteral("2008/01/15 | 5000 | 0:35:00 | 250.5"));
    EXPECT_EQ(list->topLevelItem(6)->textAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_GE(list->columnWidth(0), list->fontMetrics().horizontalAdvance(list->topLevelItem(6)->text(0)));
    ExpectChecked(*dlg, HistoryMode::Day, HistoryGraphKind::Energy);
    // Portrait: the list under the graph; the axis at x 24, the 15th's bar (x 203 to 227) up to the
    // top 42, the 10th's (x 56 to 79) flat on the baseline.
    EXPECT_EQ(list->geometry(), QRect(5, 165, 230, 150));
    ASSERT_EQ(dlg->Image().size(), QSize(240, 320));
    ExpectPixels(
        dlg->Image(),
        {{215, 100, kBar}, {215, 41, kBlack}, {215, 42, kWhite}, {66, 120, kBlack}, {24, 100, kWhite}});

    dlg->KindAction(HistoryGraphKind::Time)->trigger();
    // Time: 600 s on the 9th of 2100 s on the 15th, up to 148 - 106 x 600 / 2100 = 118 (energy: 127).
    ExpectPixels(dlg->Image(), {{38, 120, kBar}, {38, 116, kBlack}});
    dlg->ModeAction(HistoryMode::Week)->trigger();
    ExpectChecked(*dlg, HistoryMode::Week, HistoryGraphKind::Time);
    EXPECT_EQ(Texts(list->topLevelItem(6)), QStringLiteral("2008/01/09～01/16 | 6000 | 0:45:00 | 300.5"));

    // Landscape, a square too: the list beside the graph. The axis at x 19, the frame's right edge at
    // 155; the tallest week (3600 s, the fifth: x 19 + 4 x 136 / 7 + 3 to 113) up to the top 36 + 10.
    dlg->SetClientSize(320, 240);
    EXPECT_EQ(list->geometry(), QRect(165, 5, 150, 230));
    ASSERT_EQ(dlg->Image().size(), QSize(320, 240));
    ExpectPixels(
        dlg->Image(),
        {{19, 100, kWhite}, {155, 100, kWhite}, {106, 100, kBar}, {106, 46, kWhite}, {106, 45, kBlack}});
    EXPECT_FALSE(HistoryGraphLayout::For(240, 240).bPortrait);
}

TEST_F(HistoryTest, KeysMoveAndDrillDownToTheResult) {
    std::vector<std::pair<std::string, std::string>> opened;
    auto dlg = Open([&opened](const std::string& log, const std::string& kml) {
        opened.emplace_back(log, kml);
        return 1;
    });
    QTreeWidget* list = dlg->List();
    QTest::keyClick(list, Qt::Key_Left);
    EXPECT_EQ(list->topLevelItem(6)->text(0), QStringLiteral("2008/01/14"));
    QTest::keyClick(list, Qt::Key_Right);
    QTest::keyClick(list, Qt::Key_Return); // nothing selected
    EXPECT_EQ(dlg->Rows().Mode(), HistoryMode::Day);

    list->setCurrentItem(list->topLevelItem(6));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_TRUE(dlg->ModeAction(HistoryMode::Record)->isChecked());
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("2008/01/15 18:30"));
    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(opened, (std::vector<std::pair<std::string, std::string>>{
                          {"\\Logs\\Log\\20080115-183005.log", "\\Logs\\KML\\20080115-183005.kml"}}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dlg->Rows().Mode(), HistoryMode::Record);

    // A day without workouts: the placeholder, which opens nothing.
    QTest::keyClick(list, Qt::Key_Right);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("本日は運動していません"));
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(opened.size(), 1U);
}

TEST_F(HistoryTest, MissingRecordIsReported) {
    platform::RecordingShell shell;
    auto dlg = Open(ResultDialogOpener(temp.root(), shell, nullptr));
    dlg->ModeAction(HistoryMode::Record)->trigger();
    dlg->List()->setCurrentItem(dlg->List()->topLevelItem(0));
    QTest::keyClick(dlg->List(), Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "データが存在しません");
    EXPECT_EQ(messages.shown[0].caption, "速度グラフ");
}

} // namespace
