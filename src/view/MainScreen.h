#pragma once

#include "logs/TrackLogWriter.h"

#include <string>
#include <vector>

class CMyAmbuloDoc;

// The figures the result dialog shows for a workout just finished.
struct ResultFigures {
    std::string m_strTitle;    // the run name
    std::string m_strKcalText; // texts as the screen shows them, trailing blank included
    std::string m_strDistanceText;
    std::string m_strTimeText;
    std::string m_strAvgSpeedText; // "%.01f" km/h
    int m_nTotalSeconds = 0;
    int m_nMaxSpeed10 = 0;
    std::string m_strTrackLogPath; // device paths
    std::string m_strKmlPath;
};

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

    // Opens the receiver, reads the power-off timeout and starts the tick.
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

    // Screen texts.
    std::string m_strClock{"2008/01/01 00:00:00"};
    std::string m_strDistance{"0"};
    std::string m_strElapsed{"0:00:00"};
    std::string m_strSpeed{"0.0"};
    std::string m_strKcal{"0.0"};
    std::string m_strRunName;
    std::string m_strStartText{"スタート"};
    bool m_bRestEnabled = false;
    bool m_bBluetoothVisible = true;

    // Counters of the tick.
    int m_nIdleResetInterval = 0;
    int m_nIdleResetCounter = 0;
    int m_nTicksWithoutFix = 0;
    int m_nPitchCountdown = 0;
    int m_nPitchDistanceIndex = 0;
    int m_nCheckpointCountdown = 0;
    int m_nCheckpointDistanceIndex = 0;
    double m_dblLastSpeed = 0.0;

    ScreenRect m_rcMap; // set by whoever draws the map frame

    // Device paths of the files the last finish wrote, in the order written.
    std::vector<std::string> m_lastSavedFiles;

private:
    class ModalScope;

    void OnAcceptedFix();
    void SaveFinishedWorkout();
    void ShowError(const std::string& text);

    CMyAmbuloDoc& m_doc;
    MainScreenHooks& m_hooks;
    TrackLogWriter m_trackLog;
    int m_nModalDepth = 0;
    bool m_bInTick = false;
};
