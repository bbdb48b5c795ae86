#include "app/MainFrame.h"
#include "app/MyAmbuloApp.h"
#include "app/QtMessageBox.h"
#include "engine/MyAmbuloDoc.h"
#include "support/QueuedFix.h"
#include "view/MyAmbuloView.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

using platform::MessageAnswer;

namespace {

constexpr int kWaitMs = 5000;

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() {
        frame.SetAboutBox([this](QWidget* owner) { aboutOwners.push_back(owner); });
        frame.show();
        frame.View().OnInitialUpdate();
    }

    CMainScreen& Screen() { return frame.View().Screen(); }
    QAction* Command(int id) { return frame.CommandAction(id); }

    // A workout of 25 m, its start point 35N 139E.
    void StartWorkout() {
        for (const double north : {0.0, 0.0, 12.0, 25.0}) {
            QueueFix(t, north);
            Screen().OnTimer();
            if (!doc.m_bRunStarted) {
                Screen().StartRun();
            }
        }
    }

    // Opens and closes the popup that holds a command, as the user would, so that its rules run.
    void OpenPopupOf(int id) {
        auto* popup = qobject_cast<QMenu*>(Command(id)->parent());
        popup->popup(QPoint(0, 0));
        popup->hide();
    }
    // The commands among these that are checked, or enabled.
    std::vector<int> With(bool (QAction::*has)() const, std::initializer_list<int> ids) {
        std::vector<int> found;
        for (const int id : ids) {
            if ((Command(id)->*has)()) {
                found.push_back(id);
            }
        }
        return found;
    }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    MessageDialogs dialogs{t.messages};
    CMainFrame frame{doc, dialogs};
    std::vector<QWidget*> aboutOwners;
};

} // namespace

// Which command carries a check mark and which is enabled is the screen's rule; the popups show it
// when they open.
TEST_F(MainFrameTest, PopupsShowTheMarksAndDisableTheSettingsDuringAWorkout) {
    for (const int id : {ID_ZOOM_IN, ID_MAP_50KM, ID_PITCH_SOUND, ID_KEEP_AWAKE}) {
        Command(id)->trigger(); // 50 %, the pitch sound on, the idle setting off
        OpenPopupOf(id);
    }
    EXPECT_EQ(With(&QAction::isChecked,
                   {ID_ZOOM_IN, ID_ZOOM_NORMAL, ID_ZOOM_OUT, ID_MAP_5KM, ID_MAP_10KM, ID_MAP_50KM,
                    ID_MAP_100KM, ID_MAP_250KM, ID_CENTER_ON_START, ID_PITCH_SOUND, ID_KEEP_AWAKE}),
              (std::vector<int>{ID_ZOOM_IN, ID_MAP_50KM, ID_PITCH_SOUND}));

    StartWorkout();
    Screen().OnRestButton(); // resting is still a workout under way
    for (const int id :
         {ID_HISTORY, ID_DEVICE_SETTINGS, ID_MAP_50KM, ID_ZOOM_IN, ID_CENTER_ON_START, ID_PITCH_SOUND}) {
        OpenPopupOf(id);
    }
    // The settings that shape a workout are not; the zoom, the sound, the receiver and leaving are.
    EXPECT_EQ(With(&QAction::isEnabled,
                   {ID_HISTORY, ID_DEVICE_SETTINGS, ID_LOG_SETTINGS, ID_CHECKPOINT_SETTINGS, ID_CALC_SETTINGS,
                    ID_MAP_SETTINGS, ID_MAP_50KM, ID_CENTER_ON_START, ID_ZOOM_IN, ID_ZOOM_NORMAL, ID_ZOOM_OUT,
                    ID_PITCH_SOUND, ID_KEEP_AWAKE, ID_GPS_INIT, ID_HELP, ID_EXIT}),
              (std::vector<int>{ID_ZOOM_IN, ID_ZOOM_NORMAL, ID_ZOOM_OUT, ID_PITCH_SOUND, ID_KEEP_AWAKE,
                                ID_GPS_INIT, ID_HELP, ID_EXIT}));
    Screen().OnCommand(ID_MAP_10KM); // should it arrive anyway, it changes nothing
    EXPECT_EQ(doc.m_nMapScale, 1000);
    Screen().FinishRun(); // from the rest
    OpenPopupOf(ID_MAP_50KM);
    EXPECT_TRUE(Command(ID_MAP_50KM)->isEnabled());
}

// The menu's captions, their order and nesting are the frame's table, and every caption has its
// English translation checked elsewhere; here the commands reach the screen, the About box the frame.
TEST_F(MainFrameTest, CommandsReachTheScreenAndAboutTheFrame) {
    EXPECT_EQ(frame.windowTitle(), "Ambulo");
    EXPECT_FALSE(frame.windowIcon().isNull());
    Command(ID_ABOUT)->trigger();
    EXPECT_EQ(aboutOwners, std::vector<QWidget*>{&frame});
    Command(ID_HELP)->trigger();
    EXPECT_EQ(t.shell.opened, std::vector<std::string>{"\\Program Files\\Ambulo\\ambl_readme.htm"});
    Command(ID_LOG_SETTINGS)->trigger();
    EXPECT_EQ(t.messages.shown.at(0).caption, "ログ設定");
}

// However the program is asked to end during a workout, the workout is finished and saved and the
// program quits, once. The exit command and the window's close button ask first, and only a yes
// ends; a signal does not ask, and closes a dialog left open first.
enum class Ending { ExitCommand, Close, Terminate, HangUpInADialog };

class MainFrameEndTest : public MainFrameTest, public ::testing::WithParamInterface<Ending> {
protected:
    bool Asks() const { return GetParam() == Ending::ExitCommand || GetParam() == Ending::Close; }
    // Whether the window went.
    bool End() {
        switch (GetParam()) {
        case Ending::ExitCommand:
            Command(ID_EXIT)->trigger();
            return !frame.isVisible();
        case Ending::Close:
            return frame.close();
        case Ending::Terminate:
            ::raise(SIGTERM);
            break;
        case Ending::HangUpInADialog: {
            QDialog dialog(&frame);
            QTimer::singleShot(0, &dialog, [] { ::raise(SIGHUP); });
            QTimer::singleShot(kWaitMs, &dialog, &QDialog::accept); // should the dialog be left open
            EXPECT_EQ(dialog.exec(), QDialog::Rejected);
            break;
        }
        }
        return QTest::qWaitFor([this] { return !frame.isVisible(); }, kWaitMs);
    }
};

TEST_P(MainFrameEndTest, FinishesAndSavesTheWorkoutBeforeQuitting) {
    frame.EndOnSignalsAndSessionEnd();
    QSignalSpy quit(&frame.View(), &CMyAmbuloView::quitRequested);
    StartWorkout();
    if (Asks()) {
        t.messages.answers = {MessageAnswer::No};
        EXPECT_FALSE(End());
        EXPECT_EQ(t.messages.shown.at(0).text, "計測中ですが終了しますか？");
        EXPECT_EQ(t.messages.shown.at(0).caption, "終了");
        EXPECT_EQ(doc.m_bMeasuring, 1);
        EXPECT_TRUE(frame.View().TickRunning());
        t.messages.answers = {MessageAnswer::Yes};
    }
    EXPECT_TRUE(End());
    EXPECT_EQ(doc.m_bRunStarted, 0);
    const auto folder = t.temp.host() / "My Documents/Ambulo";
    EXPECT_TRUE(exists(folder / "KML/20080115-093001.kml") && exists(folder / "amblHistory.log"));
    // Asked twice, then the result; ended from outside, nothing is shown.
    ASSERT_EQ(t.messages.shown.size(), Asks() ? 3U : 0U);
    EXPECT_TRUE(!Asks() || t.messages.shown[2].caption == "おつかれさまでした");
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(t.gps.liveConnections, 0);

    // Quitting closes the windows once more; the exit must not run again.
    const int closes = t.gps.closeCalls;
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(t.gps.closeCalls, closes);
    EXPECT_EQ(t.messages.shown.size(), Asks() ? 3U : 0U);
}
INSTANTIATE_TEST_SUITE_P(EveryWay, MainFrameEndTest,
                         ::testing::Values(Ending::ExitCommand, Ending::Close, Ending::Terminate,
                                           Ending::HangUpInADialog));

TEST(QtMessageBox, YesNoBoxSpeaksJapaneseAndAnswersWithTheButtonPressed) {
    QtMessageBox messages;
    // Presses this button of the box about to open, after reading its labels; NoButton closes it.
    const auto ask = [&](QMessageBox::StandardButton press) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->buttons().size(), 2);
            EXPECT_EQ(box->button(QMessageBox::Yes)->text() + box->button(QMessageBox::No)->text(),
                      "はいいいえ");
            press != QMessageBox::NoButton ? box->button(press)->click() : static_cast<void>(box->close());
        });
        return messages.Show("計測中ですが終了しますか？", "終了", platform::MessageButtons::YesNo);
    };
    EXPECT_EQ(ask(QMessageBox::No), MessageAnswer::No);
    EXPECT_EQ(ask(QMessageBox::Yes), MessageAnswer::Yes);
    EXPECT_EQ(ask(QMessageBox::NoButton), MessageAnswer::No); // closed without an answer
}

TEST(MyAmbuloAppStartUp, HelpPageIsPutBesideTheProgramOnlyWhenItDiffers) {
    TempRoot temp;
    const std::filesystem::path page = "Program Files/Ambulo/ambl_readme.htm";
    QFile resource(":/ambulo/ambl_readme.htm");
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const std::string shipped = resource.readAll().toStdString();
    EXPECT_NE(shipped.find("charset=utf-8"), std::string::npos); // browsers must not guess

    // Put there, left alone while it is the same (its time stays), replaced when it differs.
    ASSERT_TRUE(CMyAmbuloApp::InstallHelpPage(temp.root()));
    const std::filesystem::file_time_type longAgo{};
    std::filesystem::last_write_time(temp.host() / page, longAgo);
    ASSERT_TRUE(CMyAmbuloApp::InstallHelpPage(temp.root()));
    EXPECT_EQ(std::filesystem::last_write_time(temp.host() / page), longAgo);
    temp.WriteHostFile(page, "<html>an older page</html>");
    ASSERT_TRUE(CMyAmbuloApp::InstallHelpPage(temp.root()));
    EXPECT_EQ(temp.ReadHostFile(page), shipped);
}
