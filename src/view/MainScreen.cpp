#include "view/MainScreen.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/ExerciseRecord.h"
#include "logs/HistoryLog.h"
#include "logs/KmlExport.h"
#include "logs/LogPaths.h"
#include "logs/TextFormat.h"

#include <algorithm>

using platform::MessageButtons;

namespace {

// The Start button's picture while measuring changes at this speed (km/h), and at standstill.
constexpr double kRunningSpeed = 5.5;

// Whole intervals of some metres in a distance; intervals of no length never complete.
int Intervals(double metres, int interval) {
    return interval > 0 ? Truncated(metres / interval) : 0;
}

} // namespace

// Marks a message box or dialog of this screen as open, so that a tick arriving from the dialog's
// own event loop does nothing.
class CMainScreen::ModalScope {
public:
    explicit ModalScope(CMainScreen& screen) : m_screen(screen) { ++m_screen.m_nModalDepth; }
    ~ModalScope() { --m_screen.m_nModalDepth; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    CMainScreen& m_screen;
};

CMainScreen::CMainScreen(CMyAmbuloDoc& doc, MainScreenHooks& hooks)
    : m_doc(doc), m_hooks(hooks), m_trackLog(doc) {}

void CMainScreen::OnInitialUpdate() {
    const auto& services = m_doc.Services();
    m_hooks.ResetMapCanvas();
    m_bBluetoothVisible = m_doc.m_bShowBluetooth != 0;
    m_doc.m_bBluetoothOn = m_doc.m_bShowBluetooth == 1 && m_doc.IsBluetoothOn() ? 1 : 0;
    m_doc.OpenGps();
    // Reset the idle timer a little before the machine would power off.
    const int timeout = services.power.PowerOffTimeoutSeconds();
    m_nIdleResetInterval = timeout > 0 ? std::max(timeout - 10, 1) : timeout;
    m_nIdleResetCounter = m_nIdleResetInterval;
    services.power.ResetIdleTimer();
    m_doc.m_stNow = services.clock.LocalNow();
    m_hooks.StartTick();
}

void CMainScreen::OnTimer() {
    if (m_bInTick || m_nModalDepth > 0) {
        return;
    }
    m_bInTick = true;
    const auto& services = m_doc.Services();

    m_doc.m_stNow = services.clock.LocalNow();
    const auto& now = m_doc.m_stNow;
    m_strClock = CFormat("%04d/%02d/%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                         now.wMinute, now.wSecond);

    ++m_nIdleResetCounter;
    if (m_nIdleResetInterval > 0 && m_nIdleResetCounter > m_nIdleResetInterval) {
        if (m_doc.m_bKeepAwakeIdle != 0 || m_doc.m_bMeasuring != 0) {
            services.power.ResetIdleTimer();
        }
        m_nIdleResetCounter = m_nIdleResetInterval;
    }

    // A reopen may show its failure in a message box; m_bInTick keeps ticks from its event loop out.
    if (!m_doc.PollDeviceState()) {
        m_doc.CloseGps();
        m_doc.OpenGps();
    }
    const auto& device = m_doc.m_gpsDevice;
    const bool deviceOn =
        device.dwDeviceState == platform::GPS_STATE_ON && device.dwServiceState == platform::GPS_STATE_ON;
    m_doc.m_bGpsReady = deviceOn || m_doc.m_bIgnoreGpsFlags == 1 ? 1 : 0;
    if (m_doc.m_bGpsReady == 1 && !m_doc.PollPosition()) {
        m_doc.m_bGpsReady = 0;
    }

    if (m_doc.m_bGpsReady == 1 && m_doc.m_bMeasuring != 0) {
        if (m_doc.ProcessFix()) {
            OnAcceptedFix();
        } else if (++m_nTicksWithoutFix > 2) {
            m_strSpeed = "0.0 ";
        }

        ++m_doc.m_nElapsedSeconds;
        m_strElapsed = ElapsedText(m_doc.m_nElapsedSeconds);

        if (m_doc.m_bPitchSound == 1 && m_doc.m_bPitchByTime == 1 && --m_nPitchCountdown <= 0) {
            services.sound.Play(m_doc.m_strPitchSound);
            m_nPitchCountdown = m_doc.m_nPitchSeconds;
        }
        if (m_doc.m_bCheckpointAuto == 1 && m_doc.m_bCheckpointByTime == 1 && --m_nCheckpointCountdown <= 0) {
            if (m_doc.m_bAwaitFirstFix == 0) {
                m_doc.AddCheckpoint();
            }
            m_nCheckpointCountdown = m_doc.m_nCheckpointSeconds;
        }
    }

    m_doc.m_bBluetoothOn = m_doc.IsBluetoothOn() ? 1 : 0;
    m_hooks.InvalidateView();
    m_bInTick = false;
}

void CMainScreen::OnAcceptedFix() {
    m_trackLog.AppendFix();
    m_strDistance = CFormat("%d ", Truncated(m_doc.m_dblTotalDistance));
    m_strKcal = CFormat("%.01f ", m_doc.m_dblTotalKcal);

    // A step of no time (or back in time) has no speed.
    const double speed =
        m_doc.m_nStepSeconds > 0 ? m_doc.m_dblStepDistance * 3.6 / m_doc.m_nStepSeconds : 0.0;
    m_strSpeed = CFormat("%.01f ", speed);
    if ((speed > kRunningSpeed) != (m_dblLastSpeed > kRunningSpeed) ||
        (speed > 0.0) != (m_dblLastSpeed > 0.0)) {
        m_hooks.InvalidateStartButton();
    }
    m_dblLastSpeed = speed;

    if (m_doc.m_bPitchSound == 1 && m_doc.m_bPitchByDistance == 1) {
        const int n = Intervals(m_doc.m_dblTotalDistance, m_doc.m_nPitchMetres);
        if (m_nPitchDistanceIndex < n) {
            m_doc.Services().sound.Play(m_doc.m_strPitchSound);
        }
        m_nPitchDistanceIndex = n;
    }
    if (m_doc.m_bCheckpointAuto == 1 && m_doc.m_bCheckpointByTime == 0) {
        const int n = Intervals(m_doc.m_dblTotalDistance, m_doc.m_nCheckpointMetres);
        if (m_nCheckpointDistanceIndex < n) {
            m_doc.AddCheckpoint();
        }
        m_nCheckpointDistanceIndex = n;
    }
    m_hooks.PlotRoute();
    m_nTicksWithoutFix = 0;
}

void CMainScreen::OnStartButton() {
    if (m_doc.m_bMeasuring != 0) {
        FinishRun();
    } else {
        StartRun();
    }
}

void CMainScreen::OnRestButton() {
    // The button is disabled unless measuring; a stray click must not turn idle into resting.
    if (m_doc.m_bMeasuring != 0) {
        PauseRun();
    }
}

void CMainScreen::OnBluetoothButton() {
    const bool on = m_doc.m_bShowBluetooth == 1 && !m_doc.IsBluetoothOn();
    m_doc.SetBluetooth(on);
    m_doc.m_bBluetoothOn = on ? 1 : 0;
    m_hooks.InvalidateBluetoothButton();
}

void CMainScreen::OnTap(int x, int y) {
    // Before the first fix there is no position to record.
    if (m_doc.m_bRunStarted == 0 || m_doc.m_bAwaitFirstFix != 0 || !m_rcMap.Contains(x, y)) {
        return;
    }
    m_doc.AddCheckpoint();
    if (m_doc.m_bCheckpointSound == 1) {
        m_doc.Services().sound.Play(m_doc.m_strCheckpointSound);
    }
}

void CMainScreen::ShowError(const std::string& text) {
    const ModalScope modal(*this);
    m_doc.Services().messages.Show(text, "エラー", MessageButtons::Ok);
}

void CMainScreen::StartRun() {
    if (m_doc.m_bGpsReady == 0) {
        ShowError("GPSの準備ができてません。");
        return;
    }
    if (!m_doc.m_hTrackLog.IsOpen()) {
        m_doc.m_stRunStart = m_doc.m_stNow;
        m_strRunName = RunName(m_doc.m_stRunStart);
        const auto opened = m_trackLog.Open(m_strRunName + ".log");
        if (!opened.ok) {
            ShowError(CFormat("ログファイルを作成できませんでした(ErrCode:%d)", opened.error));
            return;
        }
    }
    if (m_doc.m_bRunStarted == 0) {
        m_hooks.ResetMapCanvas();
        m_doc.m_nMaxSpeed10 = 0;
        m_doc.ClearCheckpoints();
        // A fresh workout starts from zero even if no fix is ever accepted in it, so its files
        // never repeat the previous workout's figures.
        m_doc.m_dblTotalDistance = 0.0;
        m_doc.m_nElapsedSeconds = 0;
        m_doc.m_dblTotalKcal = 0.0;
        m_strDistance = "0";
        m_strElapsed = "0:00:00";
        m_strSpeed = "0.0";
        m_strKcal = "0.0";
        // Only a fresh start forgets the distance intervals already sounded or recorded.
        m_nPitchDistanceIndex = 0;
        m_nCheckpointDistanceIndex = 0;
    }
    m_doc.m_bRunStarted = 1;
    m_doc.m_bMeasuring = 1;
    m_strStartText = "休憩";
    m_hooks.InvalidateStartButton();
    m_bRestEnabled = true;
    m_nTicksWithoutFix = 0;
    m_nPitchCountdown = m_doc.m_nPitchSeconds;
    m_nCheckpointCountdown = m_doc.m_nCheckpointSeconds;
}

void CMainScreen::PauseRun() {
    m_doc.m_bMeasuring = 0;
    m_strStartText = "再開";
    m_hooks.InvalidateStartButton();
    m_bRestEnabled = false;
}

void CMainScreen::FinishRun() {
    m_doc.AddCheckpoint(); // the goal
    m_doc.m_bRunStarted = 0;
    m_doc.m_bMeasuring = 0;
    m_strStartText = "スタート";
    m_hooks.InvalidateStartButton();
    m_bRestEnabled = false;
    m_doc.m_bAwaitFirstFix = 1;
    m_doc.CloseTrackLog();
    SaveFinishedWorkout();
    m_doc.ClearCheckpoints();
}

void CMainScreen::SaveFinishedWorkout() {
    const auto& services = m_doc.Services();
    const std::string& folder = m_doc.m_strLogFolder;
    const std::string trackLog = TrackLogPath(folder, m_strRunName);
    const std::string averageSpeed = AverageSpeedText(m_doc.m_dblTotalDistance, m_doc.m_nElapsedSeconds);
    std::vector<std::string> written;

    if (m_doc.m_bSaveGpsLog == 1) {
        const ExerciseRecord record{1,         m_strRunName, m_strDistance,      m_doc.m_nElapsedSeconds,
                                    m_strKcal, averageSpeed, m_doc.m_nMaxSpeed10};
        if (WriteExerciseRecord(services.root, RecordPath(folder, m_strRunName), record)) {
            written.push_back(RecordPath(folder, m_strRunName));
        }
    }

    m_hooks.StopTick();
    ExportKml(m_doc, m_strRunName);
    if (m_doc.m_hKmlTemp.IsOpen()) {
        written.push_back(KmlTempPath(folder));
    }
    if (m_doc.m_bSaveKml == 1 && platform::FileExists(services.root, KmlPath(folder, m_strRunName))) {
        written.push_back(KmlPath(folder, m_strRunName));
    }

    ResultFigures figures;
    figures.m_strTitle = m_strRunName;
    figures.m_strKcalText = m_strKcal;
    figures.m_strDistanceText = m_strDistance;
    figures.m_strTimeText = m_strElapsed;
    figures.m_strAvgSpeedText = averageSpeed;
    figures.m_nTotalSeconds = m_doc.m_nElapsedSeconds;
    figures.m_nMaxSpeed10 = m_doc.m_nMaxSpeed10;
    figures.m_strTrackLogPath = trackLog;
    figures.m_strKmlPath = KmlPath(folder, m_strRunName);
    {
        const ModalScope modal(*this);
        m_hooks.ShowResult(figures);
    }

    m_doc.CloseKmlTemp();
    if (m_doc.m_bSaveHistory == 1 && AppendHistory(m_doc) == 1) {
        written.push_back(HistoryPath(folder));
    }
    if (m_doc.m_bSaveGpsLog == 0) {
        platform::DeleteFile(services.root, trackLog);
    } else {
        written.insert(written.begin(), trackLog);
    }
    m_doc.m_stNow = services.clock.LocalNow();
    m_hooks.StartTick();
    m_lastSavedFiles = std::move(written);
}
