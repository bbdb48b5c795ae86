#include "review/HistoryDlg.h"

#include "support/Bytes.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <climits>

namespace {

using platform::SYSTEMTIME;

constexpr SYSTEMTIME kJan15{2008, 1, 2, 15, 10, 0, 0, 0};
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBar = 0xDCFFFF; // red 0xDC, green 0xFF, blue 0xFF

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

struct Pixel {
    int x, y;
    QRgb colour;
};
void ExpectPixels(const QImage& image, std::initializer_list<Pixel> pixels) {
    for (const Pixel& p : pixels) {
        EXPECT_EQ(At(image, p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
    }
}

HistoryEntry Workout(std::uint16_t day, std::uint16_t hour, int metres, int seconds, int kcal10) {
    return {SYSTEMTIME{2008, 1, 0, day, hour, 5, 0, 0}, metres, seconds, kcal10};
}

TEST(HistoryGraph, BarsScaleToTheLargestRow) {
    ScopedEnv tz("TZ", "Asia/Tokyo");
    HistoryRows rows({Workout(15, 7, 5000, 3725, 2505), Workout(9, 7, 1000, 0, 1000)}, kJan15);
    const auto energy = BuildHistoryGraph(rows, HistoryGraphKind::Energy, 240, 320);
    EXPECT_EQ(energy.strTitle, "日毎の消費ｶﾛﾘｰ(kcal)");
    const HistoryGraphLayout& l = energy.layout; // fonts 15, 10 and 7 / 250 of the height
    EXPECT_EQ((std::array{l.nTitleFont, l.nLabelFont, l.nValueFont}), (std::array{19, 12, 8}));
    ASSERT_EQ(energy.bars.size(), 7U);
    const HistoryBar& first = energy.bars[0];
    const HistoryBar& last = energy.bars[6];
    EXPECT_EQ((std::array{first.x0, first.x1, first.y}), (std::array{27, 50, 148 - 106000 / 2505}));
    EXPECT_EQ((std::array{last.x0, last.x1, last.y}), (std::array{203, 227, 148 - 106}));
    EXPECT_EQ(energy.bars[1].y, 148);
    EXPECT_EQ((std::array{first.strValue, first.strCategory, energy.bars[1].strValue}),
              (std::array<std::string, 3>{"100.0", "1/9", "0.0"}));

    const auto time = BuildHistoryGraph(rows, HistoryGraphKind::Time, 240, 320);
    EXPECT_EQ(time.strTitle, "日毎の時間(時:分:秒)");
    EXPECT_EQ((std::array{time.bars[0].strValue, time.bars[6].strValue}),
              (std::array<std::string, 2>{"0", "1:02:05"}));
    EXPECT_EQ(time.bars[0].y, 148);

    rows.SetMode(HistoryMode::Month);
    const auto distance = BuildHistoryGraph(rows, HistoryGraphKind::Distance, 240, 320);
    EXPECT_EQ(distance.strTitle, "月毎の距離(ｍ)");
    EXPECT_EQ((std::array{distance.bars[6].strValue, distance.bars[6].strCategory}),
              (std::array<std::string, 2>{"6000", "1月"}));
    rows.SetMode(HistoryMode::Week);
    EXPECT_EQ(BuildHistoryGraph(rows, HistoryGraphKind::Time, 240, 320).bars[6].strCategory, "1/9- ");
    EXPECT_EQ(BuildHistoryGraph(rows, HistoryGraphKind::Time, 240, 320).strTitle, "１週間毎の時間(時:分:秒)");
    rows.SetMode(HistoryMode::Record);
    const auto records = BuildHistoryGraph(rows, HistoryGraphKind::Energy, 240, 320);
    EXPECT_EQ(records.strTitle, "2008/1/15 の消費ｶﾛﾘｰ(kcal)");
    ASSERT_EQ(records.bars.size(), 1U);
    EXPECT_EQ(records.bars[0].strCategory, "07:05");
    EXPECT_EQ((std::array{records.bars[0].x0, records.bars[0].x1}), (std::array{27, 227}));
    rows.StepForward();
    EXPECT_TRUE(BuildHistoryGraph(rows, HistoryGraphKind::Energy, 240, 320).bNoExercise);
}

TEST(HistoryGraph, ExtremeFiguresStayInsideThePlot) {
    ScopedEnv tz("TZ", "Asia/Tokyo");
    HistoryRows rows({Workout(15, 7, INT_MAX, 0, 0), Workout(14, 7, INT_MAX - 1, 0, 0)}, kJan15);
    const auto graph = BuildHistoryGraph(rows, HistoryGraphKind::Distance, 240, 320);
    EXPECT_EQ(graph.bars[6].y, 42);
    EXPECT_EQ(graph.bars[5].y, 148 - static_cast<int>((INT_MAX - 1LL) * 106 / INT_MAX));
}

class HistoryDlgTest : public ::testing::Test {
protected:
    HistoryDlgTest() {
        temp.WriteHostFile("Logs/amblHistory.log",
                           "\xFF\xFE" +
                               Le(u"DataVersion=0.01\r\n日付,時刻,距離(m),時間(秒),消費カロリー(kcal)\r\n"
                                  u"2008/01/15,07:10:00,3000,1200,150.5\r\n"
                                  u"2008/01/15,18:30:05,2000,900,100.0\r\n"
                                  u"2008/01/09,06:00:00,1000,600,50.0\r\n"));
    }
    std::unique_ptr<CHistoryDlg> Open(PastResultOpener opener = nullptr) {
        if (!opener) {
            opener = [this](const std::string& log, const std::string& kml) {
                opened.emplace_back(log, kml);
                return 1;
            };
        }
        auto dlg = std::make_unique<CHistoryDlg>(temp.root(), "\\Logs\\", kJan15, messages, opener);
        dlg->SetClientSize(240, 320);
        return dlg;
    }
    static QString Cell(const CHistoryDlg& dlg, int row, int column) {
        return dlg.List()->topLevelItem(row)->text(column);
    }
    static void Select(CHistoryDlg& dlg, int row) {
        dlg.List()->setCurrentItem(dlg.List()->topLevelItem(row));
    }

    ScopedEnv tz{"TZ", "Asia/Tokyo"};
    TempRoot temp;
    platform::ScriptedMessageBox messages;
    std::vector<std::pair<std::string, std::string>> opened;
};

TEST_F(HistoryDlgTest, OpensOnTheLastSevenDaysWithTheEnergyGraph) {
    auto dlg = Open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("運動記録"));
    EXPECT_EQ(dlg->CloseAction()->text(), QStringLiteral("閉じる"));
    QTreeWidget* list = dlg->List();
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("日付"));
    EXPECT_EQ(list->headerItem()->text(3), QStringLiteral("カロリー"));
    ASSERT_EQ(list->topLevelItemCount(), 7);
    EXPECT_EQ(Cell(*dlg, 6, 0), QStringLiteral("2008/01/15"));
    EXPECT_EQ(Cell(*dlg, 6, 3), QStringLiteral("250.5"));
    EXPECT_EQ(list->topLevelItem(6)->textAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_GE(list->columnWidth(0), list->fontMetrics().horizontalAdvance(Cell(*dlg, 6, 0)));

    for (auto mode : {HistoryMode::Day, HistoryMode::Week, HistoryMode::Month, HistoryMode::Record}) {
        EXPECT_EQ(dlg->ModeAction(mode)->isChecked(), mode == HistoryMode::Day);
    }
    for (auto kind : {HistoryGraphKind::Distance, HistoryGraphKind::Time, HistoryGraphKind::Energy}) {
        EXPECT_EQ(dlg->KindAction(kind)->isChecked(), kind == HistoryGraphKind::Energy);
    }

    // Energy: the 15th reaches the top (y 42), the 10th lies flat on the baseline.
    const QImage& image = dlg->Image();
    ASSERT_EQ(image.size(), QSize(240, 320));
    // The axis at x 24 of a portrait client.
    ExpectPixels(
        image,
        {{215, 100, kBar}, {215, 41, kBlack}, {215, 42, kWhite}, {66, 120, kBlack}, {24, 100, kWhite}});
    EXPECT_EQ(list->geometry(), QRect(5, 165, 230, 150));
}

TEST_F(HistoryDlgTest, MenuSwitchesModeAndGraph) {
    auto dlg = Open();
    dlg->KindAction(HistoryGraphKind::Distance)->trigger();
    EXPECT_TRUE(dlg->KindAction(HistoryGraphKind::Distance)->isChecked());
    EXPECT_FALSE(dlg->KindAction(HistoryGraphKind::Energy)->isChecked());
    EXPECT_EQ(dlg->GraphKind(), HistoryGraphKind::Distance);
    // Distance: 5000 m on the 15th is the top, 1000 m on the 9th a fifth of it.
    ExpectPixels(dlg->Image(), {{38, 148 - 106 / 5 + 2, kBar}, {38, 148 - 106 / 5 - 2, kBlack}});

    dlg->ModeAction(HistoryMode::Week)->trigger();
    EXPECT_TRUE(dlg->ModeAction(HistoryMode::Week)->isChecked());
    EXPECT_FALSE(dlg->ModeAction(HistoryMode::Day)->isChecked());
    EXPECT_EQ(Cell(*dlg, 6, 0), QStringLiteral("2008/01/09～01/16"));
    EXPECT_EQ(Cell(*dlg, 6, 1), QStringLiteral("6000"));
}

TEST_F(HistoryDlgTest, KeysMoveAndDrillDownToTheResult) {
    auto dlg = Open();
    QTest::keyClick(dlg->List(), Qt::Key_Left);
    EXPECT_EQ(Cell(*dlg, 6, 0), QStringLiteral("2008/01/14"));
    QTest::keyClick(dlg->List(), Qt::Key_Right);
    QTest::keyClick(dlg->List(), Qt::Key_Return); // nothing selected
    EXPECT_EQ(dlg->Rows().Mode(), HistoryMode::Day);

    Select(*dlg, 6);
    QTest::keyClick(dlg->List(), Qt::Key_Return);
    EXPECT_TRUE(dlg->ModeAction(HistoryMode::Record)->isChecked());
    ASSERT_EQ(dlg->List()->topLevelItemCount(), 2);
    EXPECT_EQ(Cell(*dlg, 1, 0), QStringLiteral("2008/01/15 18:30"));
    Select(*dlg, 1);
    QTest::keyClick(dlg->List(), Qt::Key_Enter);
    ASSERT_EQ(opened.size(), 1U);
    EXPECT_EQ(opened[0].first, "\\Logs\\Log\\20080115-183005.log");
    EXPECT_EQ(opened[0].second, "\\Logs\\KML\\20080115-183005.kml");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dlg->Rows().Mode(), HistoryMode::Record);

    // A day without workouts: the placeholder, which opens nothing.
    QTest::keyClick(dlg->List(), Qt::Key_Right);
    ASSERT_EQ(dlg->List()->topLevelItemCount(), 1);
    EXPECT_EQ(Cell(*dlg, 0, 0), QStringLiteral("本日は運動していません"));
    Select(*dlg, 0);
    QTest::keyClick(dlg->List(), Qt::Key_Return);
    EXPECT_EQ(opened.size(), 1U);
}

TEST_F(HistoryDlgTest, MissingRecordIsReported) {
    platform::RecordingShell shell;
    auto dlg = Open(ResultDialogOpener(temp.root(), shell, nullptr));
    dlg->ModeAction(HistoryMode::Record)->trigger();
    Select(*dlg, 0);
    QTest::keyClick(dlg->List(), Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "データが存在しません");
    EXPECT_EQ(messages.shown[0].caption, "速度グラフ");
}

TEST_F(HistoryDlgTest, LandscapePutsTheListBesideTheGraph) {
    auto dlg = Open();
    dlg->SetClientSize(320, 240);
    EXPECT_EQ(dlg->List()->geometry(), QRect(165, 5, 150, 230));
    ASSERT_EQ(dlg->Image().size(), QSize(320, 240));
    // The axis, the frame's right edge, and the 15th's bar (x 19 + 6 x 136 / 7 + 3 to 152) up to the
    // top 36 + 10.
    ExpectPixels(
        dlg->Image(),
        {{19, 100, kWhite}, {155, 100, kWhite}, {145, 100, kBar}, {145, 46, kWhite}, {145, 45, kBlack}});
    EXPECT_EQ(dlg->List()->topLevelItemCount(), 7);
    EXPECT_FALSE(HistoryGraphLayout::For(240, 240).bPortrait); // a square client too
}

} // namespace
