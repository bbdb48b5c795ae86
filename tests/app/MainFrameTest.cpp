#include "app/MainFrame.h"
#include "app/MyAmbuloApp.h"
#include "app/QtMessageBox.h"
#include "engine/MyAmbuloDoc.h"
#include "support/TestServices.h"
#include "ui/DialogSeam.h"
#include "view/MyAmbuloView.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using platform::MessageAnswer;

namespace {

constexpr int kWaitMs = 5000;

// Each popup of the menu bar as "title: caption caption …", "—" for a separator, "[ ]" after a
// checkable command, submenus after it.
void Describe(const QMenu& popup, std::vector<std::string>& lines) {
    std::string line = popup.title().toStdString() + ":";
    for (const QAction* action : popup.actions()) {
        line += " " + (action->isSeparator() ? std::string("—") : action->text().toStdString()) +
                (action->isCheckable() ? "[ ]" : "");
    }
    lines.push_back(line);
    for (const QAction* action : popup.actions()) {
        if (action->menu() != nullptr) {
            Describe(*action->menu(), lines);
        }
    }
}

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() {
        frame.SetAboutBox([this](QWidget* owner) { aboutOwners.push_back(owner); });
        frame.show();
        frame.View().OnInitialUpdate();
    }

    CMainScreen& Screen() { return frame.View().Screen(); }
    QAction* Command(int id) { return frame.CommandAction(id); }

    // One tick a second later with a fix `north` metres north of the first one.
    void Tick(double north) {
        t.clock.AdvanceSeconds(1);
        platform::GPS_POSITION position{0xFU};
        position.dblLatitude = 35.0 + north / 110940.0; // metres in a degree of latitude here
        position.dblLongitude = 139.0;
        t.gps.positions.push_back({true, position});
        Screen().OnTimer();
    }
    void StartWorkout() {
        Tick(0);
        Screen().StartRun();
        Tick(0);
        Tick(12);
        Tick(25);
    }

    // Opens and closes the popup that holds a command, as the user would, so that its rules run.
    void OpenPopupOf(int id) {
        auto* popup = qobject_cast<QMenu*>(Command(id)->parent());
        ASSERT_NE(popup, nullptr);
        popup->popup(QPoint(0, 0));
        popup->hide();
    }
    // The commands among these that carry a check mark.
    std::vector<int> Checked(std::initializer_list<int> ids) {
        std::vector<int> on;
        for (const int id : ids) {
            if (Command(id)->isChecked()) {
                on.push_back(id);
            }
        }
        return on;
    }

    bool WorkoutFilesSaved() {
        const auto folder = t.temp.host() / "My Documents" / "Ambulo";
        return std::filesystem::exists(folder / "KML" / (Screen().m_strRunName + ".kml")) &&
               std::filesystem::exists(folder / "amblHistory.log");
    }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    MessageDialogs dialogs{t.messages};
    CMainFrame frame{doc, dialogs};
    std::vector<QWidget*> aboutOwners;
};

} // namespace

// The commands' own ids are tried by the tests that trigger them; the texts are the translated ones.
TEST_F(MainFrameTest, MenuBarHasTheCommandsInOrder) {
    std::vector<std::string> lines;
    for (const QAction* action : frame.menuBar()->actions()) {
        Describe(*action->menu(), lines);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "ファイル: 運動記録表示 — オプション バージョン情報 — ヘルプ — 終了",
                         "オプション: デバイス設定 ログ設定 チェックポイント設定 計算設定 地図設定",
                         "メニュー: 地図 — ピッチ音[ ] 非計測中もパワーオフ防止[ ] — GPS初期化",
                         "地図: サイズ 表示倍率 スタート地点を中心[ ]",
                         "サイズ: 半径5Km[ ] 半径10Km[ ] 半径50Km[ ] 半径100km[ ] 半径250Km[ ]",
                         "表示倍率: 拡大[ ] 普通[ ] 縮小[ ]",
                     }));
    EXPECT_EQ(Command(ID_EXIT)->objectName(), "command_32786");
    // The program has no document files: nothing to create or open, no Ctrl+N.
    for (const QAction* action : frame.findChildren<QAction*>()) {
        EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
    }
    EXPECT_EQ(frame.windowTitle(), "Ambulo");
    EXPECT_FALSE(frame.windowIcon().isNull());
}

TEST_F(MainFrameTest, WorkoutDisablesSettingsWhenThePopupOpens) {
    StartWorkout();
    Screen().OnRestButton(); // resting is still a workout under way
    OpenPopupOf(ID_HISTORY);
    EXPECT_FALSE(Command(ID_HISTORY)->isEnabled());
    EXPECT_TRUE(Command(ID_DEVICE_SETTINGS)->isEnabled()); // its own popup has not opened yet
    for (const int id : {ID_DEVICE_SETTINGS, ID_MAP_50KM, ID_ZOOM_IN, ID_CENTER_ON_START, ID_PITCH_SOUND}) {
        OpenPopupOf(id);
    }
    for (const int id : {ID_DEVICE_SETTINGS, ID_LOG_SETTINGS, ID_CHECKPOINT_SETTINGS, ID_CALC_SETTINGS,
                         ID_MAP_SETTINGS, ID_MAP_50KM, ID_CENTER_ON_START}) {
        EXPECT_FALSE(Command(id)->isEnabled()) << id;
    }
    for (const int id : {ID_ZOOM_IN, ID_ZOOM_NORMAL, ID_ZOOM_OUT, ID_PITCH_SOUND, ID_KEEP_AWAKE, ID_GPS_INIT,
                         ID_HELP, ID_EXIT}) {
        EXPECT_TRUE(Command(id)->isEnabled()) << id;
    }
    Command(ID_MAP_50KM)->trigger(); // should it arrive anyway, it changes nothing
    EXPECT_EQ(doc.m_nMapScale, 10000);
    Screen().StartRun();
    Screen().FinishRun();
    OpenPopupOf(ID_MAP_50KM);
    EXPECT_TRUE(Command(ID_MAP_50KM)->isEnabled());
}

// Which zoom step and which setting carries a mark is the screen's rule; the popups show it.
TEST_F(MainFrameTest, CheckMarksFollowTheLiveValues) {
    for (const int id : {ID_ZOOM_IN, ID_MAP_50KM, ID_PITCH_SOUND, ID_KEEP_AWAKE}) {
        Command(id)->trigger(); // 50 %, the pitch sound on, the idle setting off
        OpenPopupOf(id);
    }
    EXPECT_EQ(Checked({ID_ZOOM_IN, ID_ZOOM_NORMAL, ID_ZOOM_OUT, ID_MAP_5KM, ID_MAP_10KM, ID_MAP_50KM,
                       ID_MAP_100KM, ID_MAP_250KM, ID_CENTER_ON_START, ID_PITCH_SOUND, ID_KEEP_AWAKE}),
              (std::vector<int>{ID_ZOOM_IN, ID_MAP_50KM, ID_PITCH_SOUND}));
}

TEST_F(MainFrameTest, CommandsReachTheScreenAndAboutTheFrame) {
    Command(ID_ABOUT)->trigger();
    EXPECT_EQ(aboutOwners, std::vector<QWidget*>{&frame});
    EXPECT_TRUE(t.messages.shown.empty());
    Command(ID_HELP)->trigger();
    EXPECT_EQ(t.shell.opened, std::vector<std::string>{"\\Program Files\\Ambulo\\ambl_readme.htm"});
    Command(ID_LOG_SETTINGS)->trigger();
    ASSERT_EQ(t.messages.shown.size(), 1U);
    EXPECT_EQ(t.messages.shown[0].caption, "ログ設定");
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
    for (const int signal : {SIGTERM, SIGHUP}) {
        struct sigaction installed {};
        ::sigaction(signal, nullptr, &installed);
        ASSERT_NE(installed.sa_handler, SIG_DFL); // else the signal ends the tests
    }
    QSignalSpy quit(&frame.View(), &CMyAmbuloView::quitRequested);
    StartWorkout();
    if (Asks()) {
        t.messages.answers = {MessageAnswer::No};
        EXPECT_FALSE(End());
        ASSERT_EQ(t.messages.shown.size(), 1U);
        EXPECT_EQ(t.messages.shown[0].text, "計測中ですが終了しますか？");
        EXPECT_EQ(t.messages.shown[0].caption, "終了");
        EXPECT_EQ(doc.m_bMeasuring, 1);
        EXPECT_TRUE(frame.View().TickRunning());
        t.messages.answers = {MessageAnswer::Yes};
    }
    EXPECT_TRUE(End());
    EXPECT_EQ(doc.m_bRunStarted, 0);
    EXPECT_TRUE(WorkoutFilesSaved());
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
    std::vector<std::string> labels;
    // Presses the button with this label in the box about to open; closes the box without one.
    const auto ask = [&](const QString& label) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            labels.clear();
            QAbstractButton* pressed = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                labels.push_back(button->text().toStdString());
                pressed = button->text() == label ? button : pressed;
            }
            pressed != nullptr ? pressed->click() : static_cast<void>(box->close());
        });
        return messages.Show("計測中ですが終了しますか？", "終了", platform::MessageButtons::YesNo);
    };
    EXPECT_EQ(ask("いいえ"), MessageAnswer::No);
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(labels, (std::vector<std::string>{"いいえ", "はい"}));
    EXPECT_EQ(ask("はい"), MessageAnswer::Yes);
    EXPECT_EQ(ask(""), MessageAnswer::No); // closed without an answer
}

TEST(MyAmbuloAppStartUp, HelpPageIsPutBesideTheProgramOnlyWhenItDiffers) {
    TempRoot temp;
    const std::filesystem::path page = "Program Files/Ambulo/ambl_readme.htm";
    QFile resource(":/ambulo/ambl_readme.htm");
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const std::string shipped = resource.readAll().toStdString();
    EXPECT_NE(shipped.find("charset=utf-8"), std::string::npos); // browsers must not guess

    ASSERT_TRUE(CMyAmbuloApp::InstallHelpPage(temp.root()));
    EXPECT_EQ(temp.ReadHostFile(page), shipped);
    const auto inode = [&] {
        struct stat st {};
        ::stat((temp.host() / page).c_str(), &st);
        return st.st_ino;
    };
    const auto first = inode();
    ASSERT_TRUE(CMyAmbuloApp::InstallHelpPage(temp.root()));
    EXPECT_EQ(inode(), first); // an unchanged page is left alone
    temp.WriteHostFile(page, "<html>an older page</html>");
    ASSERT_TRUE(CMyAmbuloApp::InstallHelpPage(temp.root()));
    EXPECT_EQ(temp.ReadHostFile(page), shipped);
}
