#include "view/MainScreen.h"

#include "engine/MyAmbuloDoc.h"
#include "platform/TextCodec.h"
#include "support/QueuedFix.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::MessageAnswer;

// Records what the screen asked of its window; the result dialog looks at the files it shows.
struct RecordingHooks : MainScreenHooks {
    void InvalidateStartButton() override { ++startInvalidations; }
    void StopTick() override { tickRunning = false; }
    void StartTick() override { tickRunning = true; }
    void ShowResult(const ResultFigures& shown) override {
        figures = shown;
        trackLogDuringResult = temp->ReadHostFile("My Documents/Ambulo/Log/" + shown.m_strTitle + ".log");
        screen->OnTimer(); // a tick from the dialog's event loop must not run
    }

    TempRoot* temp = nullptr;
    CMainScreen* screen = nullptr;
    int startInvalidations = 0;
    bool tickRunning = false;
    ResultFigures figures;
    std::string trackLogDuringResult;
};

class MainScreenTest : public ::testing::Test {
protected:
    MainScreenTest() {
        hooks.temp = &t.temp;
        hooks.screen = &screen;
        screen.m_rcMap = {10, 20, 110, 120};
        screen.OnInitialUpdate();
    }

    // One tick, one second after the last, with a fix `north` metres north of the start point.
    void Tick(double north, bool fix = true) {
        QueueFix(t, north, fix);
        screen.OnTimer();
    }
    bool Exists(const std::string& relative) {
        return std::filesystem::exists(t.temp.host() / "My Documents/Ambulo" / relative);
    }
    std::string HostFile(const std::string& relative) {
        return t.temp.ReadHostFile("My Documents/Ambulo/" + relative);
    }
    bool HasUtf16(const std::string& relative, const std::string& utf8) {
        return HostFile(relative).find(platform::Utf8ToUtf16Le(utf8)) != std::string::npos;
    }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    RecordingHooks hooks;
    CMainScreen screen{doc, hooks};
};

} // namespace

TEST_F(MainScreenTest, StartNeedsAReadyReceiverAndACreatableLog) {
    t.gps.openSucceeds = false;
    screen.OnCommand(ID_GPS_INIT); // asked for: every failure is reported
    screen.OnCommand(ID_GPS_INIT);
    screen.OnTimer(); // the tick's own retry says nothing more
    t.gps.openSucceeds = true;
    screen.OnCommand(ID_GPS_INIT);
    screen.StartRun();
    Tick(0);
    t.temp.WriteHostFile("My Documents/Ambulo/Log", "a file where the Log folder should be");
    screen.OnStartButton();
    ASSERT_EQ(t.messages.shown.size(), 4U);
    EXPECT_EQ(t.messages.shown[2].text, "GPSの準備ができてません。");
    EXPECT_EQ(t.messages.shown[3].text, "ログファイルを作成できませんでした(ErrCode:20)"); // ENOTDIR
    EXPECT_EQ(doc.m_bRunStarted, 0);
    EXPECT_FALSE(doc.m_hKmlTemp.IsOpen()); // nothing stays half-open

    std::filesystem::remove(t.temp.host() / "My Documents/Ambulo/Log");
    screen.OnStartButton(); // tries afresh
    EXPECT_EQ(doc.m_bMeasuring, 1);
    EXPECT_EQ(screen.m_strStartText, "休憩");
}

// Timed sounds and checkpoints, every 2 and 3 measured seconds, count only the seconds measured.
TEST_F(MainScreenTest, RestStopsTheClockAndResumeKeepsTheWorkout) {
    doc.m_bPitchSound = doc.m_bCheckpointAuto = 1;
    doc.m_nPitchSeconds = 2;
    doc.m_nCheckpointSeconds = 3;
    Tick(0);
    screen.OnStartButton();
    Tick(0);    // the start point
    Tick(10.4); // 10.4 m in 1 s
    Tick(10.9); // too short to count
    EXPECT_EQ(screen.m_strDistance, "10 ");
    EXPECT_EQ(screen.m_strSpeed, "37.4 ");
    EXPECT_EQ(screen.m_strElapsed, "0:00:03 ");

    screen.OnRestButton();
    Tick(20);
    EXPECT_EQ(doc.m_nElapsedSeconds, 3);
    screen.OnStartButton(); // resume: same run, same files
    Tick(40.4);             // the rest's distance enters this step: 30 m in 3 s
    EXPECT_EQ(screen.m_strDistance, "40 ");
    EXPECT_EQ(screen.m_strSpeed, "36.0 ");
    EXPECT_EQ(screen.m_strRunName, "20080115-093001");
    Tick(40.4);
    Tick(40.4);
    EXPECT_EQ(screen.m_strSpeed, "36.0 ");
    Tick(40.4); // the third fix in a row that is not taken drops the speed
    EXPECT_EQ(screen.m_strSpeed, "0.0 ");
    Tick(40.4, false); // no usable fix: the clock stops
    EXPECT_EQ(doc.m_nElapsedSeconds, 7);
    EXPECT_EQ(t.sound.played.size(), 3U);    // 3 measured seconds before the rest and 4 after it
    EXPECT_EQ(doc.m_checkpoints.size(), 3U); // the start point and two timed ones
}

TEST_F(MainScreenTest, FinishWritesTheFilesAroundTheResultDialog) {
    doc.m_bSaveGpsLog = 0;
    Tick(0);
    screen.OnStartButton();
    Tick(0);
    Tick(10.4);
    screen.OnStartButton(); // finish
    EXPECT_EQ(screen.m_strStartText, "スタート");
    const ResultFigures& f = hooks.figures;
    EXPECT_EQ(
        (std::array{f.m_strTitle, f.m_strDistanceText, f.m_strTimeText, f.m_strAvgSpeedText, f.m_strKmlPath}),
        (std::array<std::string, 5>{"20080115-093001", "10 ", "0:00:02 ", "18.7", // 10.4 m in 2 s
                                    "\\My Documents\\Ambulo\\KML\\20080115-093001.kml"}));
    EXPECT_NE(hooks.trackLogDuringResult.size(), 0U); // the dialog can still read the track log
    EXPECT_FALSE(Exists("Log/20080115-093001.log"));
    EXPECT_EQ(doc.m_nElapsedSeconds, 2); // the tick inside the dialog did nothing
    EXPECT_TRUE(hooks.tickRunning);
    EXPECT_TRUE(doc.m_checkpoints.empty());
    EXPECT_EQ(screen.m_lastSavedFiles,
              (std::vector<std::string>{"\\My Documents\\Ambulo\\AMBLKML.TMP",
                                        "\\My Documents\\Ambulo\\KML\\20080115-093001.kml",
                                        "\\My Documents\\Ambulo\\GPX\\20080115-093001.gpx",
                                        "\\My Documents\\Ambulo\\amblHistory.log"}));

    doc.m_bSaveGpsLog = 1;
    Tick(10);
    screen.OnStartButton(); // a second workout...
    EXPECT_EQ(screen.m_strDistance, "0");
    // ...knows none of the first one's positions...
    EXPECT_EQ(doc.m_posStart.dblLatitude + doc.m_posEnd.dblLatitude + doc.m_dblMinLat + doc.m_dblMaxLat, 0.0);
    screen.OnStartButton(); // ...and is finished before any fix was accepted: it has no route
    EXPECT_FALSE(Exists("KML/20080115-093004.kml"));
    EXPECT_FALSE(Exists("AMBLKML.TMP"));
    for (const char* line : {"総距離＝0\r\n", "時間＝0\r\n", "平均速度＝0.0\r\n"}) {
        EXPECT_TRUE(HasUtf16("Log/20080115-093004.hol", line)) << line;
    }
    EXPECT_TRUE(HasUtf16("amblHistory.log", "2008/01/15,09:30:04,0,0,0.0\r\n"));
}

// Whole distance intervals sound and add checkpoints; taps in the map add and sound them too.
TEST_F(MainScreenTest, SoundsAndCheckpointsByDistanceAndByTapSurviveARest) {
    doc.m_bPitchSound = doc.m_bPitchByDistance = doc.m_bCheckpointAuto = 1;
    doc.m_bPitchByTime = doc.m_bCheckpointByTime = 0;
    doc.m_nPitchMetres = doc.m_nCheckpointMetres = 25;
    screen.OnTap(50, 50); // idle
    Tick(0);
    screen.OnStartButton();
    screen.OnTap(50, 50); // no fix yet
    Tick(0);
    Tick(20);
    Tick(40); // past 25 m: one sound and one checkpoint
    EXPECT_EQ(t.sound.played, std::vector<std::string>{"\\Windows\\RecEnd.wav"});
    screen.OnTap(110, 120); // the frame's edge counts
    screen.OnTap(111, 50);
    screen.OnRestButton();
    screen.OnTap(10, 20); // resting counts too
    EXPECT_EQ(doc.m_checkpoints.size(), 4U);
    EXPECT_EQ(t.sound.played.size(), 3U);
    screen.OnStartButton();
    Tick(45); // no new interval: a resume must not sound again
    EXPECT_EQ(t.sound.played.size(), 3U);
    EXPECT_EQ(doc.m_checkpoints.size(), 4U);
}

// The exit also offers to switch Bluetooth off and stops the tick for good.
TEST_F(MainScreenTest, MachineIsHeldUpWhileMeasuringOrWhileTheIdleSettingIsOn) {
    t.radio.mode = platform::BTH_CONNECTABLE;
    t.messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(t.power.held); // the idle setting is on by default
    Tick(0);
    const struct {
        const char* step;
        std::function<void()> act;
        bool held;
    } steps[] = {
        {"idle setting off", [&] { screen.OnCommand(ID_KEEP_AWAKE); }, false},
        {"start", [&] { screen.OnStartButton(); }, true},
        {"idle setting on while measuring", [&] { screen.OnCommand(ID_KEEP_AWAKE); }, true},
        {"idle setting off while measuring", [&] { screen.OnCommand(ID_KEEP_AWAKE); }, true},
        {"rest", [&] { screen.OnRestButton(); }, false},
        {"resume", [&] { screen.OnStartButton(); }, true},
        {"finish", [&] { screen.OnStartButton(); }, false},
        {"idle setting on in a dialog",
         [&] {
             doc.m_bKeepAwakeIdle = 1;
             screen.OnCommand(ID_LOG_SETTINGS);
         },
         true},
        {"exit", [&] { screen.Exit(); }, false},
    };
    for (const auto& [step, act, held] : steps) {
        act();
        Tick(0);
        EXPECT_EQ(t.power.held, held) << step;
    }
    EXPECT_EQ(t.power.changes, 8); // one per change of the rule, none per tick
    EXPECT_EQ(t.messages.shown.back().text, "Bluetooth をオフにしますか？");
    EXPECT_EQ(t.messages.shown.back().caption, "Bluetooth OFF 確認");
    EXPECT_EQ(t.radio.mode, platform::BTH_POWER_OFF);
    EXPECT_FALSE(hooks.tickRunning);
    EXPECT_FALSE(doc.m_hGPS);
    EXPECT_EQ(t.gps.openCalls, 1); // the tick after the exit did not poll the closed receiver
}

TEST_F(MainScreenTest, PicturesFollowTheWorkoutAndTheSpeedBands) {
    doc.m_dblMinDistance = 0.5;
    EXPECT_EQ(screen.StartPicture(), IDB_IDLE);
    Tick(0);
    screen.OnStartButton();
    EXPECT_EQ(screen.StartPicture(), IDB_WALKING); // "0.0" is not yet "0.0 "
    const int afterStart = hooks.startInvalidations;
    // Standing, 3.6 km/h twice, 7.2 km/h, and a glitch that keeps the last accepted speed.
    const std::pair<double, int> ticks[] = {
        {0, IDB_STANDING}, {1, IDB_WALKING}, {2, IDB_WALKING}, {4, IDB_RUNNING}, {80, IDB_RUNNING}};
    for (const auto& [north, picture] : ticks) {
        Tick(north);
        EXPECT_EQ(screen.StartPicture(), picture) << north;
    }
    EXPECT_EQ(hooks.startInvalidations - afterStart, 2); // at the two changes of band only
    screen.OnRestButton();
    EXPECT_EQ(screen.StartPicture(), IDB_RESTING);
    EXPECT_EQ(screen.RestPicture(), IDB_REST_DISABLED);
    t.radio.readable = false;
    screen.OnBluetoothButton(); // asked on, but the radio does not answer
    EXPECT_EQ(screen.BluetoothPicture(), IDB_BLUETOOTH_OFF);
}

TEST_F(MainScreenTest, ZoomStepsStopAtTheEndsAndNameTheirMagnification) {
    EXPECT_EQ(screen.ZoomCaption(), "倍：x 1 ");
    for (int i = 0; i < 6; ++i) { // one step past the last
        screen.OnCommand(ID_ZOOM_IN);
    }
    EXPECT_EQ(screen.m_nZoomPercent, 16);
    EXPECT_EQ(screen.ZoomCaption(), "倍：x 6 ");
    EXPECT_FALSE(screen.UpdateRule(ID_ZOOM_IN)->checked);
    for (int i = 0; i < 12; ++i) {
        screen.ZoomOut();
    }
    EXPECT_EQ(screen.m_nZoomPercent, 600);
    EXPECT_EQ(screen.ZoomCaption(), "倍：x 1/6 ");
    EXPECT_FALSE(screen.UpdateRule(ID_ZOOM_OUT)->checked);
    screen.OnCommand(ID_ZOOM_NORMAL);
    EXPECT_TRUE(screen.UpdateRule(ID_ZOOM_NORMAL)->checked);
    screen.ZoomOut();
    EXPECT_EQ(screen.UpdateRule(ID_ZOOM_OUT), (CommandUpdate{true, true})); // 200
}

// A workout whose program is killed is offered at the next start: saved as a finish would save it,
// with the figures of its last journal, or let go without leaving a temporary file behind.
class MainScreenKilledTest : public MainScreenTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MainScreenKilledTest, WorkoutIsSavedOrLetGoAtTheNextStart) {
    const bool save = GetParam();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The dying program: 24 measured seconds at 3 m/s and a tap at 10 s. The journal is
        // written every 5 measured seconds, last at 20 s.
        Tick(0);
        screen.StartRun();
        for (int second = 1; second <= 24; ++second) {
            Tick(3.0 * second);
            if (second == 10) {
                screen.OnTap(50, 50);
            }
        }
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    // The next start, on the same files.
    t.messages.answers = {save ? MessageAnswer::Yes : MessageAnswer::No};
    screen.RecoverInterruptedWorkout(true);
    ASSERT_EQ(t.messages.shown.size(), 1U);
    EXPECT_EQ(t.messages.shown[0].text, "前回の記録は正常に終了していません。保存しますか？");
    EXPECT_FALSE(Exists("AMBLJRNL.TMP") || Exists("AMBLJRN2.TMP") || Exists("AMBLGPX.TMP"));
    EXPECT_FALSE(Exists("Log/20080115-093001.log")); // the GPS log is off
    EXPECT_EQ(Exists("AMBLKML.TMP"), save);
    EXPECT_EQ(Exists("amblHistory.log"), save);
    if (!save) {
        return;
    }
    EXPECT_EQ(hooks.figures.m_nTotalSeconds, 20);
    const int metres = std::stoi(hooks.figures.m_strDistanceText);
    EXPECT_LE(metres, 57); // from the start point at 1 s to the fix at 20 s
    EXPECT_TRUE(HasUtf16("amblHistory.log", "2008/01/15,09:30:01," + std::to_string(metres) + ",20,"));
    const std::string kml = HostFile("KML/20080115-093001.kml");
    EXPECT_NE(kml.find("<name>チェックポイント #1</name>"), std::string::npos); // the tap
    EXPECT_NE(kml.find("<name>ゴール</name>"), std::string::npos);
    EXPECT_NE(kml.find("総時間：20 秒"), std::string::npos);
    const std::string gpx = HostFile("GPX/20080115-093001.gpx");
    EXPECT_NE(gpx.find("<name>チェックポイント #1</name>\n  </wpt>\n  <wpt"), std::string::npos);
    EXPECT_NE(gpx.find("    <trkseg>\n      <trkpt lat=\"35.0000270\" lon=\"139.0000000\">"
                       "<time>2008-01-15T00:30:02.000Z</time></trkpt>\n"),
              std::string::npos);
    EXPECT_TRUE(gpx.ends_with("</trkpt>\n    </trkseg>\n  </trk>\n</gpx>\n"));
}
INSTANTIATE_TEST_SUITE_P(SavedOrLetGo, MainScreenKilledTest, ::testing::Bool());
