#include "review/ResultDlg.h"

#include "review/ResultDialogs.h"
#include "support/Bytes.h"
#include "support/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kGrey = 0x808080;
constexpr QRgb kGreen = 0x00FF00;

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

int CountIn(const QImage& image, QRect area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += At(image, x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

class ResultDlgTest : public ::testing::Test {
protected:
    ResultDlgTest() {
        figures.m_strTitle = "20080102-150900";
        figures.m_strDistanceText = "1234 ";
        figures.m_strTimeText = "0:10:00 ";
        figures.m_strAvgSpeedText = "7.4";
        figures.m_strKcalText = "98.7 ";
        figures.m_nTotalSeconds = 600;
        figures.m_nMaxSpeed10 = 123; // scale 200
        figures.m_strTrackLogPath = R"(\Log\20080102-150900.log)";
        figures.m_strKmlPath = R"(\KML\20080102-150900.kml)";
    }
    // Ten minutes at a steady 10 km/h, after a first fix at rest.
    void WriteTrackLog() {
        std::u16string lines = u"0,2008/01/02,15:09:00,35.0,139.0,1.0,2.0,0.00,0,0.0\r\n";
        for (int n = 1; n <= 600; ++n) {
            const std::string line =
                std::to_string(n) + ",2008/01/02,15:09:00,35.0,139.0,1.0,2.0,2.78,1,10.0\r\n";
            lines += std::u16string(line.begin(), line.end());
        }
        t.temp.WriteHostFile(
            "Log/20080102-150900.log",
            "\xFF\xFE" + Le(u"DataVersion=0.01\r\nID, 日付,時刻,緯度,経度,海抜,高度,距離,時間,速度\r\n") +
                Le(lines));
    }

    TestServices t;
    ResultFigures figures;
};

TEST_F(ResultDlgTest, TableAndFrameOfThe240x268Image) {
    const QImage image = DrawResultImage(figures, t.temp.root(), 240, 268);
    ASSERT_EQ(image.size(), QSize(240, 268));
    EXPECT_EQ(At(image, 239, 0), kBlack);
    // Table lines: y2 = 42 across the client, y3 = 85 and y4 = 128; verticals at 0, 120 and 240 (off
    // the image).
    EXPECT_EQ(At(image, 239, 42), kWhite);
    EXPECT_EQ(At(image, 60, 85), kWhite);
    EXPECT_EQ(At(image, 60, 128), kWhite);
    EXPECT_EQ(At(image, 60, 129), kBlack);
    EXPECT_EQ(At(image, 0, 100), kWhite);
    EXPECT_EQ(At(image, 120, 70), kWhite);
    // Texts are white somewhere in the title row and in the distance cell.
    EXPECT_GT(CountIn(image, QRect(7, 16, 100, 16), kWhite), 20);
    EXPECT_GT(CountIn(image, QRect(0, 58, 115, 26), kWhite), 20);
    // Plot frame from Lp = 26 down to Bp = 253, across to R = 230 and up; its grid at 150, 100 and
    // 50 tenths of the scale 200: y = 253 - 110 x g / 200.
    EXPECT_EQ(At(image, 26, 200), kWhite);
    EXPECT_EQ(At(image, 128, 253), kWhite);
    EXPECT_EQ(At(image, 230, 200), kWhite);
    for (const int g : {150, 100, 50}) {
        EXPECT_EQ(At(image, 128, 253 - 110 * g / 200), kGrey) << g;
    }
    // The track log is missing: no trace.
    EXPECT_EQ(CountIn(image, image.rect(), kGreen), 0);
}

TEST_F(ResultDlgTest, TraceFollowsTheTrackLogInsideThePlot) {
    WriteTrackLog();
    const QImage image = DrawResultImage(figures, t.temp.root(), 240, 268);
    // 10 km/h on the scale 200 is y = 253 - 110 x 100 / 200 = 198; the trace covers the grid line.
    EXPECT_EQ(At(image, 128, 198), kGreen);
    EXPECT_EQ(At(image, 200, 198), kGreen);
    // Nothing green outside the plot rectangle (26, 143) to (230, 253).
    EXPECT_EQ(CountIn(image, QRect(0, 0, 240, 143), kGreen), 0);
    EXPECT_EQ(CountIn(image, QRect(230, 143, 10, 125), kGreen), 0);
    EXPECT_EQ(CountIn(image, QRect(0, 253, 240, 15), kGreen), 0);

    // Only the first 300 lines count when the workout had 300 seconds: the steady speed reaches
    // the right edge at 300 s, so the line ends there.
    figures.m_nTotalSeconds = 300;
    const QImage half = DrawResultImage(figures, t.temp.root(), 240, 268);
    EXPECT_EQ(At(half, 229, 198), kGreen);
    figures.m_nTotalSeconds = 0;
    EXPECT_EQ(CountIn(DrawResultImage(figures, t.temp.root(), 240, 268), QRect(26, 143, 204, 110), kGreen),
              0);
}

TEST_F(ResultDlgTest, DrawsOncePerClientSize) {
    CResultDlg dlg(t.temp.root(), t.shell);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("おつかれさまでした"));
    dlg.SetFigures(figures);
    dlg.SetClientSize(240, 268);
    dlg.show();
    QApplication::processEvents();
    ASSERT_EQ(dlg.m_nImageWidth, 240);
    ASSERT_EQ(dlg.m_nImageHeight, 268);
    const qint64 first = dlg.Image().cacheKey();
    EXPECT_EQ(At(dlg.Image(), 239, 42), kWhite);

    dlg.SetClientSize(240, 268);
    QApplication::processEvents();
    EXPECT_EQ(dlg.Image().cacheKey(), first);

    dlg.SetClientSize(480, 536);
    QApplication::processEvents();
    EXPECT_EQ(dlg.m_nImageWidth, 480);
    EXPECT_EQ(dlg.m_nImageHeight, 536);
    EXPECT_EQ(dlg.Image().size(), QSize(480, 536));
    EXPECT_EQ(At(dlg.Image(), 479, (6 + 10) * 536 / 100), kWhite);
}

TEST_F(ResultDlgTest, MapAndGpxEntriesNeedTheirFilesAndOpenThemThroughTheShell) {
    CResultDlg dlg(t.temp.root(), t.shell);
    dlg.SetFigures(figures);
    EXPECT_FALSE(dlg.MapAction()->isEnabled());
    t.temp.WriteHostFile("KML/20080102-150900.kml", "<kml/>");
    dlg.UpdateCommands();
    ASSERT_TRUE(dlg.MapAction()->isEnabled());
    dlg.MapAction()->trigger();
    EXPECT_EQ(t.shell.opened, (std::vector<std::string>{R"(\KML\20080102-150900.kml)"}));
    EXPECT_EQ(dlg.MapAction()->text(), QStringLiteral("Google Mapで見る"));
    EXPECT_FALSE(dlg.GpxAction()->isEnabled()); // the GPX beside it
    t.temp.WriteHostFile("GPX/20080102-150900.gpx", "<gpx/>");
    dlg.UpdateCommands();
    ASSERT_TRUE(dlg.GpxAction()->isEnabled());
    dlg.GpxAction()->trigger();
    EXPECT_EQ(t.shell.opened.back(), R"(\GPX\20080102-150900.gpx)");
    EXPECT_EQ(dlg.GpxAction()->text(), QStringLiteral("GPXファイルを開く"));
    EXPECT_EQ(dlg.CloseAction()->text(), QStringLiteral("閉じる"));
}

TEST_F(ResultDlgTest, ShownModallyForAFinishedWorkoutAndClosedWithOne) {
    platform::ScriptedMessageBox messages;
    MessageDialogs others(messages);
    ResultDialogs dialogs(others, t.temp.root(), t.shell);
    int result = -1;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CResultDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        title = QString::fromStdString(dlg->m_strTitle);
        QObject::connect(dlg, &QDialog::finished, [&](int r) { result = r; });
        dlg->CloseAction()->trigger();
    });
    dialogs.ShowResult(figures);
    EXPECT_EQ(title, QStringLiteral("20080102-150900"));
    EXPECT_EQ(result, 1);
}

} // namespace
