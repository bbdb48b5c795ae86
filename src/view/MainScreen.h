#pragma once

#include "logs/RecoveryJournal.h"
#include "logs/ResultFigures.h"
#include "logs/TrackLogWriter.h"
#include "platform/Translate.h"
#include "ui/Commands.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

class CMyAmbuloDoc;

// What the main screen asks of the window that shows it. The on-screen view draws and repaints;
// the replay tool has no window and keeps the defaults, which do nothing (its result dialog counts
// as closed at once).
class MainScreenHooks {
public:
    virtual ~MainScreenHooks() = default;
    virtual void ResetMapCanvas() {} // a clean canvas with the current position in its centre
    virtual void PlotRoute() {}      // draw the newest route step onto the canvas
    virtual void InvalidateStartButton() {}
    virtual void InvalidateBluetoothButton() {}
    virtual void InvalidateView() {}
    virtual void StopTick() {}
    virtual void StartTick() {}
    virtual void ShowResult(const ResultFigures& /*figures*/) {} // modal
    virtual void RunDialog(int /*commandId*/) {}                 // a settings or history dialog, modal
    virtual void DeleteDrawingBuffers() {}
    virtual void RequestQuit() {}
};

// A pixel of the map canvas.
struct CanvasPoint {
    int x = 500;
    int y = 500;
    friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// A rectangle of the screen, edges included.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool Contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// The main screen without its widgets: the one-second tick, the run control (start, rest, finish),
// taps and the Bluetooth button, the texts the screen shows and the saving of a finished workout.
class CMainScreen {
public:
    CMainScreen(CMyAmbuloDoc& doc, MainScreenHooks& hooks);

    // Opens the receiver, starts the tick and keeps the machine up when the idle setting says so.
    void OnInitialUpdate();
    // The one-second tick. Skipped while a message box or dialog of this screen is open.
    void OnTimer();
    // The Start button and the Enter key: finish while measuring, otherwise start or resume.
    void OnStartButton();
    void OnRestButton();
    void OnBluetoothButton();
    // A tap at a client point; inside the map frame it records a checkpoint during a workout.
    void OnTap(int x, int y);

    void StartRun();
    void PauseRun();
    void FinishRun();

    // A workout whose program died before it was saved left its journal behind: with ask, the
    // user chooses whether to save it (as a finish would) or let it go; without, it is saved.
    // A journal that cannot be read is set aside under a new name and reported.
    void RecoverInterruptedWorkout(bool ask);

    // Map zoom steps 0..10 (5 is normal); none of them redraws by itself.
    void ZoomIn();
    void ZoomOut();
    void ZoomNormal();
    static int ZoomPercentForLevel(int level);
    std::string ZoomCaption() const;

    // Menu commands: the check mark and enabled state of an item (nothing for commands without a
    // rule), and the command itself (false when it is not one of the screen's).
    std::optional<CommandUpdate> UpdateRule(int commandId) const;
    bool OnCommand(int commandId);
    // The exit command; false when the user chose to go on with the workout.
    bool Exit();
    // The program is being ended from outside (a signal, the session ending): a workout under way
    // is finished and saved without asking, then the program ends.
    void Terminate();

    // The pictures the buttons and the GPS status show now.
    int StartPicture() const;
    int RestPicture() const;
    int BluetoothPicture() const;
    int GpsPicture() const;

    // Screen texts.
    std::string m_strClock{"2008/01/01 00:00:00"};
    std::string m_strDistance{"0"};
    std::string m_strElapsed{"0:00:00"};
    std::string m_strSpeed{"0.0"};
    std::string m_strKcal{"0.0"};
    std::string m_strRunName;
    std::string m_strStartText{platform::Tr("Ambulo", "スタート")};
    bool m_bRestEnabled = false;
    bool m_bBluetoothVisible = true;

    // Counters of the tick.
    int m_nTicksWithoutFix = 0;
    int m_nPitchCountdown = 0;
    int m_nPitchDistanceIndex = 0;
    int m_nCheckpointCountdown = 0;
    int m_nCheckpointDistanceIndex = 0;
    double m_dblLastSpeed = 0.0;

    ScreenRect m_rcMap; // set by whoever draws the map frame

    // The map: the canvas pixel shown in the middle of the map frame, and the zoom (share of the
    // canvas shown per screen pixel, in percent) with its step 0..10.
    CanvasPoint m_ptMapPosition;
    int m_nZoomPercent = 100;
    int m_nZoomLevel = 5;

    // Device paths of the files the last finish wrote whole, in the order written.
    std::vector<std::string> m_lastSavedFiles;
    // What the user was told of files of the current workout that could not be written.
    std::vector<std::string> m_writeFailures;

private:
    class ModalScope;

    void OnAcceptedFix();
    void AddCheckpoint();
    void SaveFinishedWorkout(bool anyFix, bool historyWritten);
    void DiscardInterruptedWorkout(const JournalState& state);
    // Holds the machine up while measuring or while the idle setting is on, and lets it go otherwise.
    void UpdateKeepAwake();
    void ShowError(const std::string& text);
    // Keeps the workout's journal current; a due sync also pushes its open files to the disk.
    void WriteJournal(JournalState::Phase phase);
    void WriteJournal() {
        WriteJournal(m_doc.m_bMeasuring != 0 ? JournalState::Phase::Measuring : JournalState::Phase::Resting);
    }
    // Tells the user, once per file and workout, that a file could not be written; true when the
    // write succeeded.
    bool Check(const std::string& devicePath, const platform::WriteResult& result);
    bool Failed(const std::string& devicePath) const { return m_failedPaths.count(devicePath) != 0; }

    CMyAmbuloDoc& m_doc;
    MainScreenHooks& m_hooks;
    TrackLogWriter m_trackLog;
    RecoveryJournal m_journal;
    std::set<std::string> m_failedPaths; // of the current workout
    int m_nModalDepth = 0;
    bool m_bInTick = false;
    bool m_bExiting = false;     // the tick stays stopped once exit is decided
    bool m_bQuietFinish = false; // finishing without a person to show the result to
};
