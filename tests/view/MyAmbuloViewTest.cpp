#include "view/MyAmbuloView.h"

#include "engine/MyAmbuloDoc.h"
#include "support/TestServices.h"
#include "view/MainPainter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace {

class MyAmbuloViewTest : public ::testing::Test {
protected:
    MyAmbuloViewTest() {
        view.resize(240, 320);
        view.show();
        view.OnInitialUpdate();
    }
    // One tick with a fix `north` metres north of 35N 139E.
    void Tick(double north) {
        t.clock.AdvanceSeconds(1);
        platform::GPS_POSITION fix{0xF};
        fix.dblLatitude = 35.0 + north / 110940.0;
        fix.dblLongitude = 139.0;
        t.gps.positions.push_back({true, fix});
        view.Screen().OnTimer();
    }
    QRgb Pixel(int x, int y) { return view.Render().pixel(x, y) & 0xFFFFFF; }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    MessageDialogs dialogs{t.messages};
    CMyAmbuloView view{doc, dialogs};
};

} // namespace

TEST_F(MyAmbuloViewTest, ButtonsAndEnterDriveTheWorkout) {
    EXPECT_EQ(view.StartButton()->geometry(), QRect(7, 160, 75, 75));
    EXPECT_EQ(view.RestButton()->geometry(), QRect(7, 240, 75, 37));
    EXPECT_FALSE(view.RestButton()->isEnabled());
    Tick(0);
    QTest::mouseClick(view.StartButton(), Qt::LeftButton);
    EXPECT_EQ(view.StartButton()->text().toStdString(), "休憩");
    EXPECT_TRUE(view.RestButton()->isEnabled());
    QTest::mouseClick(view.RestButton(), Qt::LeftButton);
    EXPECT_EQ(view.StartButton()->text().toStdString(), "再開");
    EXPECT_EQ(view.Screen().StartPicture(), IDB_RESTING);

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_TRUE(QApplication::sendEvent(view.RestButton(), &enter) && enter.isAccepted()); // resumes
    EXPECT_EQ(doc.m_bMeasuring, 1);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(&view, &up);
    EXPECT_EQ(view.Screen().m_nZoomPercent, 50);
    QTest::keyClick(&view, Qt::Key_Enter); // finishes
    EXPECT_EQ(doc.m_bRunStarted, 0);
    EXPECT_EQ(t.messages.shown.back().caption, "おつかれさまでした");
    EXPECT_TRUE(view.TickRunning());
}

TEST_F(MyAmbuloViewTest, TapsCountInsideTheMapFrameOnly) {
    Tick(0);
    view.Screen().StartRun();
    Tick(0);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(150, 250)); // inside (89,160)-(235,315)
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(50, 100));  // over the figures
    EXPECT_EQ(doc.m_checkpoints.size(), 2U);
}

TEST_F(MyAmbuloViewTest, PaintedFrameShowsTheRouteAroundThePosition) {
    Tick(0);
    view.Screen().StartRun();
    Tick(0);
    Tick(20);                          // follow mode: the start point is 20 m south of the current position
    EXPECT_EQ(Pixel(1, 1), 0x000000U); // background
    EXPECT_EQ(Pixel(120, 27), 0xFFFFFFU);         // grid line at 320 x 10 / 100 - 5
    EXPECT_EQ(Pixel(90 + 3, 230), kMapFrameRgb);  // frame margin
    EXPECT_EQ(Pixel(162, 237), kPositionMarkRgb); // the position mark at the centre
    EXPECT_EQ(view.Screen().m_ptMapPosition, (CanvasPoint{500, 500}));
    // The route lies within two canvas pixels of the position; further out the canvas is empty.
    EXPECT_EQ(Pixel(162, 237 + 30), kMapBackgroundRgb);
}

TEST(MyAmbuloViewSettings, TheBluetoothButtonFollowsTheDeviceSettingsAsSoonAsTheyClose) {
    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    struct Toggling final : DialogSeam {
        CMyAmbuloDoc* doc = nullptr;
        void RunDialog(int) override { doc->m_bShowBluetooth = doc->m_bShowBluetooth != 0 ? 0 : 1; }
        void ShowResult(const ResultFigures&) override {}
    } dialogs;
    dialogs.doc = &doc;
    CMyAmbuloView view{doc, dialogs};
    view.resize(240, 320);
    view.show();
    view.OnInitialUpdate();
    ASSERT_TRUE(view.BluetoothButton()->isVisible());
    view.Screen().OnCommand(ID_DEVICE_SETTINGS);
    EXPECT_FALSE(view.BluetoothButton()->isVisible());
    view.Screen().OnCommand(ID_DEVICE_SETTINGS);
    EXPECT_TRUE(view.BluetoothButton()->isVisible());
}
