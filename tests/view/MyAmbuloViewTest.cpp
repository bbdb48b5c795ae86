#include "view/MyAmbuloView.h"

#include "engine/MyAmbuloDoc.h"
#include "support/QueuedFix.h"
#include "view/MainPainter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace {

// Dialogs answered at once: the device settings switch the Bluetooth button over, results are counted.
struct AnsweringDialogs final : DialogSeam {
    void RunDialog(int) override { doc->m_bShowBluetooth = doc->m_bShowBluetooth != 0 ? 0 : 1; }
    void ShowResult(const ResultFigures&) override { ++results; }

    CMyAmbuloDoc* doc = nullptr;
    int results = 0;
};

class MyAmbuloViewTest : public ::testing::Test {
protected:
    MyAmbuloViewTest() {
        dialogs.doc = &doc;
        view.resize(240, 320);
        view.show();
        view.OnInitialUpdate();
    }
    void Tick(double north) {
        QueueFix(t, north);
        view.Screen().OnTimer();
    }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    AnsweringDialogs dialogs;
    CMyAmbuloView view{doc, dialogs};
};

} // namespace

TEST_F(MyAmbuloViewTest, ButtonsKeysAndTapsDriveTheWorkoutAndTheRouteIsPainted) {
    EXPECT_EQ(view.StartButton()->geometry(), QRect(7, 160, 75, 75));
    EXPECT_EQ(view.RestButton()->geometry(), QRect(7, 240, 75, 37));
    EXPECT_FALSE(view.RestButton()->isEnabled());
    Tick(0);
    QTest::mouseClick(view.StartButton(), Qt::LeftButton);
    EXPECT_TRUE(view.RestButton()->isEnabled());
    Tick(0);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(150, 250)); // inside (89,160)-(235,315)
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(50, 100));  // over the figures
    EXPECT_EQ(doc.m_checkpoints.size(), 2U);                        // the start point and the tap
    Tick(20);
    Tick(40); // following: the start point is 40 m, 3.6 canvas pixels, south of the position (500, 500)
    // The map image shows canvas (432, 428) at (94, 165): the start point's mark, of radius 2, is
    // centred on canvas row 503, and the canvas below it is empty.
    EXPECT_EQ(view.Render().pixel(162, 165 + 503 - 428) & 0xFFFFFF, kMapRouteRgb);
    EXPECT_EQ(view.Render().pixel(162, 165 + 506 - 428) & 0xFFFFFF, kMapBackgroundRgb);
    QTest::mouseClick(view.RestButton(), Qt::LeftButton);
    EXPECT_EQ(view.StartButton()->text().toStdString(), "再開");

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_TRUE(QApplication::sendEvent(view.RestButton(), &enter) && enter.isAccepted()); // resumes
    EXPECT_EQ(doc.m_bMeasuring, 1);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(&view, &up);
    EXPECT_EQ(view.Screen().m_nZoomPercent, 50);
    QTest::keyClick(&view, Qt::Key_Enter); // finishes
    EXPECT_EQ(doc.m_bRunStarted, 0);
    EXPECT_EQ(dialogs.results, 1);
    EXPECT_TRUE(view.TickRunning());

    // The Bluetooth button follows the device settings as soon as they close.
    ASSERT_TRUE(view.BluetoothButton()->isVisible());
    view.Screen().OnCommand(ID_DEVICE_SETTINGS);
    EXPECT_FALSE(view.BluetoothButton()->isVisible());
}
