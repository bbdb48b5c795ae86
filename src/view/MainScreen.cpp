#include "view/MainScreen.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/ExerciseRecord.h"
#include "logs/GpxExport.h"
#include "logs/HistoryLog.h"
#include "logs/KmlExport.h"
#include "logs/LogPaths.h"
#include "logs/TextFormat.h"
#include "platform/Translate.h"

#include <algorithm>
#include <cstring>

using platform::MessageButtons;
using platform::Tr;

namespace {

// The Start button's picture while measuring changes at this speed (km/h), and at standstill.
constexpr double kRunningSpeed = 5.5;

// The journal is rewritten after this many measured seconds.
constexpr int kJournalSeconds = 5;

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
    m_doc.m_stNow = services.clock.LocalNow();
    m_hooks.StartTick();
    UpdateKeepAwake();
}

void CMainScreen::OnTimer() {
    if (m_bInTick || m_nModalDepth > 0 || m_bExiting) {
        return;
    }
    m_bInTick = true;
    const auto& services = m_doc.Services();

    m_doc.m_stNow = services.clock.LocalNow();
    const auto& now = m_doc.m_stNow;
    m_strClock = CFormat("%04d/%02d/%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                         now.wMinute, now.wSecond);

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
        // A program that dies loses at most these last seconds of the workout.
        if (m_doc.m_nElapsedSeconds % kJournalSeconds == 0) {
            WriteJournal(JournalState::Phase::Measuring);
        }

        if (m_doc.m_bPitchSound == 1 && m_doc.m_bPitchByTime == 1 && --m_nPitchCountdown <= 0) {
            services.sound.Play(m_doc.m_strPitchSound);
            m_nPitchCountdown = m_doc.m_nPitchSeconds;
        }
        if (m_doc.m_bCheckpointAuto == 1 && m_doc.m_bCheckpointByTime == 1 && --m_nCheckpointCountdown <= 0) {
            if (m_doc.m_bAwaitFirstFix == 0) {
                AddCheckpoint();
            }
            m_nCheckpointCountdown = m_doc.m_nCheckpointSeconds;
        }
    }

    m_doc.m_bBluetoothOn = m_doc.IsBluetoothOn() ? 1 : 0;
    m_hooks.InvalidateView();
    m_bInTick = false;
}

void CMainScreen::OnAcceptedFix() {
    const auto appended = m_trackLog.AppendFix();
    // Paths are made only for a failure: this runs at every accepted fix.
    if (!appended.trackLog) {
        Check(TrackLogPath(m_doc.m_strLogFolder, m_strRunName), appended.trackLog);
    }
    if (!appended.kmlTemp) {
        Check(KmlTempPath(m_doc.m_strLogFolder), appended.kmlTemp);
    }
    if (!appended.gpxTemp) {
        Check(GpxTempPath(m_doc.m_strLogFolder), appended.gpxTemp);
    }
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
            AddCheckpoint();
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
    // The picture shows what the radio really did, not what was asked of it.
    m_doc.m_bBluetoothOn = m_doc.IsBluetoothOn() ? 1 : 0;
    m_hooks.InvalidateBluetoothButton();
}

void CMainScreen::OnTap(int x, int y) {
    // Before the first fix there is no position to record.
    if (m_doc.m_bRunStarted == 0 || m_doc.m_bAwaitFirstFix != 0 || !m_rcMap.Contains(x, y)) {
        return;
    }
    AddCheckpoint();
    if (m_doc.m_bCheckpointSound == 1) {
        m_doc.Services().sound.Play(m_doc.m_strCheckpointSound);
    }
}

void CMainScreen::AddCheckpoint() {
    m_doc.AddCheckpoint();
    WriteJournal();
}

void CMainScreen::WriteJournal(JournalState::Phase phase) {
    const auto& root = m_doc.Services().root;
    if (m_journal.SyncDue()) {
        // Against power loss: what the journal counts must be on the disk as well.
        m_doc.m_hTrackLog.Flush();
        m_doc.m_hKmlTemp.Flush();
        m_doc.m_hGpxTemp.Flush();
    }
    JournalState state = CaptureJournal(m_doc, phase);
    state.runName = m_strRunName;
    state.distanceText = m_strDistance;
    state.elapsedText = m_strElapsed;
    state.kcalText = m_strKcal;
    Check(JournalPath(m_doc.m_strLogFolder), m_journal.Write(root, m_doc.m_strLogFolder, state));
}

bool CMainScreen::Check(const std::string& devicePath, const platform::WriteResult& result) {
    if (result.ok) {
        return true;
    }
    if (!m_failedPaths.insert(devicePath).second) {
        return false; // said once for this workout
    }
    const auto host = m_doc.Services().root.ToHost(devicePath);
    const std::string text = CFormat(Tr("Ambulo", "%sを保存できませんでした。\n%s").c_str(),
                                     host ? host->c_str() : devicePath.c_str(), std::strerror(result.error));
    m_writeFailures.push_back(text);
    ShowError(text);
    return false;
}

void CMainScreen::ShowError(const std::string& text) {
    const ModalScope modal(*this);
    m_doc.Services().messages.Show(text, Tr("Ambulo", "エラー"), MessageButtons::Ok,
                                   platform::MessageIcon::Error);
}

void CMainScreen::StartRun() {
    if (m_doc.m_bGpsReady == 0) {
        ShowError(Tr("Ambulo", "GPSの準備ができてません。"));
        return;
    }
    if (!m_doc.m_hTrackLog.IsOpen()) {
        m_doc.m_stRunStart = m_doc.m_stNow;
        m_strRunName = RunName(m_doc.m_stRunStart);
        const auto opened = m_trackLog.Open(m_strRunName + ".log");
        if (!opened.ok) {
            ShowError(CFormat(Tr("Ambulo", "ログファイルを作成できませんでした(ErrCode:%d)").c_str(),
                              opened.error));
            return;
        }
    }
    if (m_doc.m_bRunStarted == 0) {
        m_hooks.ResetMapCanvas();
        m_doc.m_nMaxSpeed10 = 0;
        m_doc.ClearCheckpoints();
        // Nothing of the previous workout's positions may appear in this one's files.
        m_doc.m_posStart = {};
        m_doc.m_posEnd = {};
        m_doc.m_dblMinLat = m_doc.m_dblMaxLat = m_doc.m_dblMinLon = m_doc.m_dblMaxLon = 0.0;
        m_failedPaths.clear();
        m_writeFailures.clear();
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
    m_strStartText = Tr("Ambulo", "休憩");
    m_hooks.InvalidateStartButton();
    m_bRestEnabled = true;
    m_nTicksWithoutFix = 0;
    m_nPitchCountdown = m_doc.m_nPitchSeconds;
    m_nCheckpointCountdown = m_doc.m_nCheckpointSeconds;
    WriteJournal(JournalState::Phase::Measuring);
    UpdateKeepAwake();
}

void CMainScreen::PauseRun() {
    m_doc.m_bMeasuring = 0;
    m_strStartText = Tr("Ambulo", "再開");
    m_hooks.InvalidateStartButton();
    m_bRestEnabled = false;
    m_trackLog.StartNewSegment();
    WriteJournal(JournalState::Phase::Resting);
    UpdateKeepAwake();
}

void CMainScreen::FinishRun() {
    m_doc.AddCheckpoint(); // the goal
    m_doc.m_bRunStarted = 0;
    m_doc.m_bMeasuring = 0;
    m_strStartText = Tr("Ambulo", "スタート");
    m_hooks.InvalidateStartButton();
    m_bRestEnabled = false;
    const bool anyFix = m_doc.m_bAwaitFirstFix == 0;
    WriteJournal(JournalState::Phase::Finishing);
    m_doc.m_bAwaitFirstFix = 1;
    m_doc.CloseTrackLog();
    UpdateKeepAwake(); // nothing is measured while the result is shown
    SaveFinishedWorkout(anyFix, false);
    m_doc.ClearCheckpoints();
}

void CMainScreen::UpdateKeepAwake() {
    m_doc.Services().power.KeepAwake(m_doc.m_bKeepAwakeIdle != 0 || m_doc.m_bMeasuring != 0);
}

// Every file is written before the result is shown, so a program that dies while the result is
// on screen loses nothing.
void CMainScreen::SaveFinishedWorkout(bool anyFix, bool historyWritten) {
    const auto& services = m_doc.Services();
    const std::string& folder = m_doc.m_strLogFolder;
    const std::string trackLog = TrackLogPath(folder, m_strRunName);
    const std::string averageSpeed = AverageSpeedText(m_doc.m_dblTotalDistance, m_doc.m_nElapsedSeconds);
    std::vector<std::string> written;

    if (m_doc.m_bSaveGpsLog == 1) {
        const ExerciseRecord record{1,         m_strRunName, m_strDistance,      m_doc.m_nElapsedSeconds,
                                    m_strKcal, averageSpeed, m_doc.m_nMaxSpeed10};
        const std::string path = RecordPath(folder, m_strRunName);
        if (Check(path, WriteExerciseRecord(services.root, path, record))) {
            written.push_back(path);
        }
    }

    m_hooks.StopTick();
    // A workout without a single position has no route: no document centred on 0°N 0°E.
    const std::string kml = KmlPath(folder, m_strRunName);
    const bool kmlDone = anyFix && m_doc.m_bSaveKml == 1 && Check(kml, ExportKml(m_doc, m_strRunName));
    if (anyFix && m_doc.m_hKmlTemp.IsOpen() && !Failed(KmlTempPath(folder))) {
        written.push_back(KmlTempPath(folder));
    }
    if (kmlDone) {
        written.push_back(kml);
    }
    m_doc.CloseKmlTemp();
    if (!anyFix) {
        platform::DeleteFile(services.root, KmlTempPath(folder));
    }
    const std::string gpx = GpxPath(folder, m_strRunName);
    if (anyFix && m_doc.m_bSaveKml == 1 && Check(gpx, ExportGpx(m_doc, m_strRunName))) {
        written.push_back(gpx);
    }
    m_doc.CloseGpxTemp();
    if (!historyWritten && m_doc.m_bSaveHistory == 1 && Check(HistoryPath(folder), AppendHistory(m_doc))) {
        written.push_back(HistoryPath(folder));
        // Should the program die from here on, saving again must not log the workout twice.
        WriteJournal(JournalState::Phase::HistoryWritten);
    }
    m_journal.Remove(services.root, folder);
    // Its points are in the GPX now, or lost with it; only saving the workout again would read them.
    platform::DeleteFile(services.root, GpxTempPath(folder));
    if (m_doc.m_bSaveGpsLog == 1 && !Failed(trackLog)) {
        written.insert(written.begin(), trackLog);
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
    figures.m_strKmlPath = kml;
    if (!m_bQuietFinish) {
        const ModalScope modal(*this);
        m_hooks.ShowResult(figures);
    }
    // The result's speed graph reads the track log, so an unwanted one goes only now.
    if (m_doc.m_bSaveGpsLog == 0) {
        platform::DeleteFile(services.root, trackLog);
    }
    m_doc.m_stNow = services.clock.LocalNow();
    m_hooks.StartTick();
    m_lastSavedFiles = std::move(written);
}

void CMainScreen::RecoverInterruptedWorkout(bool ask) {
    const auto& services = m_doc.Services();
    const std::string& folder = m_doc.m_strLogFolder;
    JournalState state;
    const auto found = RecoveryJournal::Read(services.root, folder, state);
    if (found == RecoveryJournal::Found::None) {
        return;
    }
    if (found == RecoveryJournal::Found::Damaged) {
        // Never deleted unseen: it may be all that is left of a workout.
        const auto aside = RecoveryJournal::SetAside(services.root, folder);
        const auto host = aside ? services.root.ToHost(*aside) : std::nullopt;
        const std::string text =
            Tr("Ambulo", "前回の記録を読み込めませんでした。") +
            (host ? "\n" + CFormat(Tr("Ambulo", "%s に残しました。").c_str(), host->c_str()) : std::string());
        ShowError(text);
        return;
    }
    if (ask) {
        const ModalScope modal(*this);
        if (services.messages.Show(Tr("Ambulo", "前回の記録は正常に終了していません。保存しますか？"),
                                   "Ambulo", MessageButtons::YesNo,
                                   platform::MessageIcon::Question) != platform::MessageAnswer::Yes) {
            DiscardInterruptedWorkout(state);
            return;
        }
    }
    m_failedPaths.clear();
    m_writeFailures.clear();
    m_strRunName = state.runName;
    m_strDistance = state.distanceText;
    m_strElapsed = state.elapsedText;
    m_strKcal = state.kcalText;
    RestoreJournal(state, m_doc);
    if (state.phase == JournalState::Phase::Measuring || state.phase == JournalState::Phase::Resting) {
        // The goal is where the workout was when its journal was last written.
        m_doc.m_posCurrent = {};
        m_doc.AddCheckpointAt(state.written);
    }
    if (state.anyFix && m_doc.m_bSaveKml == 1) {
        m_doc.m_hKmlTemp = platform::File::OpenExisting(services.root, KmlTempPath(folder));
        m_doc.m_hGpxTemp = platform::File::OpenExisting(services.root, GpxTempPath(folder));
    }
    SaveFinishedWorkout(state.anyFix, state.phase == JournalState::Phase::HistoryWritten);
    m_doc.m_bAwaitFirstFix = 1;
    m_doc.ClearCheckpoints();
}

void CMainScreen::DiscardInterruptedWorkout(const JournalState& state) {
    const auto& services = m_doc.Services();
    const std::string& folder = m_doc.m_strLogFolder;
    if (m_doc.m_bSaveGpsLog == 0) {
        // Kept only for the finish, which will not come.
        platform::DeleteFile(services.root, TrackLogPath(folder, state.runName));
    }
    platform::DeleteFile(services.root, KmlTempPath(folder));
    platform::DeleteFile(services.root, GpxTempPath(folder));
    m_journal.Remove(services.root, folder);
}

int CMainScreen::ZoomPercentForLevel(int level) {
    return level >= 6 ? (level - 4) * 100 : 100 / (6 - level);
}

void CMainScreen::ZoomIn() {
    if (m_nZoomLevel > 0) {
        m_nZoomPercent = ZoomPercentForLevel(--m_nZoomLevel);
    }
}

void CMainScreen::ZoomOut() {
    if (m_nZoomLevel < 10) {
        m_nZoomPercent = ZoomPercentForLevel(++m_nZoomLevel);
    }
}

void CMainScreen::ZoomNormal() {
    m_nZoomPercent = 100;
    m_nZoomLevel = 5;
}

std::string CMainScreen::ZoomCaption() const {
    return m_nZoomLevel < 6 ? CFormat(Tr("Ambulo", "倍：x %d ").c_str(), 6 - m_nZoomLevel)
                            : CFormat(Tr("Ambulo", "倍：x 1/%d ").c_str(), m_nZoomLevel - 4);
}

namespace {

// Canvas pixels per degree for each map size command.
std::optional<int> MapScaleOf(int commandId) {
    switch (commandId) {
    case ID_MAP_5KM:
        return 10000;
    case ID_MAP_10KM:
        return 5000;
    case ID_MAP_50KM:
        return 1000;
    case ID_MAP_100KM:
        return 500;
    case ID_MAP_250KM:
        return 200;
    default:
        return std::nullopt;
    }
}

bool IsDialogCommand(int commandId) {
    switch (commandId) {
    case ID_HISTORY:
    case ID_DEVICE_SETTINGS:
    case ID_LOG_SETTINGS:
    case ID_CHECKPOINT_SETTINGS:
    case ID_CALC_SETTINGS:
    case ID_MAP_SETTINGS:
        return true;
    default:
        return false;
    }
}

int Toggled(int flag) {
    return flag == 0 ? 1 : 0;
}

} // namespace

std::optional<CommandUpdate> CMainScreen::UpdateRule(int commandId) const {
    // Settings that shape a workout stay as they are while one is under way.
    const bool idle = m_doc.m_bRunStarted == 0;
    if (const auto scale = MapScaleOf(commandId)) {
        return CommandUpdate{idle, m_doc.m_nMapScale == *scale};
    }
    if (IsDialogCommand(commandId)) {
        return CommandUpdate{idle, false};
    }
    switch (commandId) {
    case ID_ZOOM_IN:
        return CommandUpdate{true, m_nZoomPercent == 50};
    case ID_ZOOM_NORMAL:
        return CommandUpdate{true, m_nZoomPercent == 100};
    case ID_ZOOM_OUT:
        return CommandUpdate{true, m_nZoomPercent == 200};
    case ID_CENTER_ON_START:
        return CommandUpdate{idle, m_doc.m_bCenterOnStart == 1};
    case ID_PITCH_SOUND:
        return CommandUpdate{true, m_doc.m_bPitchSound == 1};
    case ID_KEEP_AWAKE:
        return CommandUpdate{true, m_doc.m_bKeepAwakeIdle != 0};
    case ID_GPS_INIT:
    case ID_HELP:
    case ID_EXIT:
    case ID_OK:
        return CommandUpdate{true, false};
    default:
        return std::nullopt;
    }
}

bool CMainScreen::OnCommand(int commandId) {
    const bool idle = m_doc.m_bRunStarted == 0;
    if (const auto scale = MapScaleOf(commandId)) {
        if (idle) {
            m_doc.m_nMapScale = *scale;
        }
        return true;
    }
    if (IsDialogCommand(commandId)) {
        if (idle) {
            const auto& services = m_doc.Services();
            m_hooks.StopTick();
            {
                const ModalScope modal(*this);
                m_hooks.RunDialog(commandId);
            }
            m_bBluetoothVisible = m_doc.m_bShowBluetooth != 0;
            m_hooks.InvalidateView(); // the button shows or hides, the map takes its new scale, now
            m_doc.m_stNow = services.clock.LocalNow();
            m_hooks.StartTick();
            UpdateKeepAwake(); // the settings may have changed
        }
        return true;
    }
    switch (commandId) {
    case ID_ZOOM_IN:
        ZoomIn();
        return true;
    case ID_ZOOM_NORMAL:
        ZoomNormal();
        return true;
    case ID_ZOOM_OUT:
        ZoomOut();
        return true;
    case ID_CENTER_ON_START:
        if (idle) {
            m_doc.m_bCenterOnStart = Toggled(m_doc.m_bCenterOnStart);
        }
        return true;
    case ID_PITCH_SOUND:
        m_doc.m_bPitchSound = Toggled(m_doc.m_bPitchSound);
        return true;
    case ID_KEEP_AWAKE:
        m_doc.m_bKeepAwakeIdle = Toggled(m_doc.m_bKeepAwakeIdle);
        UpdateKeepAwake();
        return true;
    case ID_GPS_INIT: {
        const ModalScope modal(*this);
        // Asked for by the user: a failure is always reported, not only the first.
        m_doc.m_bGpsFailureReported = false;
        m_doc.CloseGps();
        m_doc.OpenGps();
        return true;
    }
    case ID_HELP:
        // The English help is the second half of the same page; its translation names the anchor.
        m_doc.Services().shell.Open(std::string(platform::kProgramFolder) + Tr("Ambulo", "ambl_readme.htm"));
        return true;
    case ID_EXIT:
    case ID_OK:
        Exit();
        return true;
    default:
        return false;
    }
}

bool CMainScreen::Exit() {
    const auto& services = m_doc.Services();
    if (m_doc.m_bRunStarted != 0) {
        const ModalScope modal(*this);
        if (services.messages.Show(Tr("Ambulo", "計測中ですが終了しますか？"), Tr("Ambulo", "終了"),
                                   MessageButtons::YesNo,
                                   platform::MessageIcon::Question) != platform::MessageAnswer::Yes) {
            return false;
        }
        FinishRun();
    }
    // No tick may run against a closed receiver or freed drawing buffers.
    m_bExiting = true;
    m_hooks.StopTick();
    m_doc.CloseGps();
    if (!m_bQuietFinish && m_doc.m_bShowBluetooth == 1 && m_doc.IsBluetoothOn()) {
        const ModalScope modal(*this);
        if (services.messages.Show(Tr("Ambulo", "Bluetooth をオフにしますか？"),
                                   Tr("Ambulo", "Bluetooth OFF 確認"), MessageButtons::YesNo,
                                   platform::MessageIcon::Question) == platform::MessageAnswer::Yes) {
            m_doc.SetBluetooth(false);
        }
    }
    m_hooks.DeleteDrawingBuffers();
    m_hooks.RequestQuit();
    services.power.KeepAwake(false);
    return true;
}

void CMainScreen::Terminate() {
    if (m_bExiting) {
        return;
    }
    m_bQuietFinish = true;
    if (m_doc.m_bRunStarted != 0) {
        FinishRun();
    }
    Exit();
}

int CMainScreen::StartPicture() const {
    if (m_doc.m_bMeasuring != 0) {
        // The speed of the last accepted fix: a rejected glitch's step says nothing about the runner.
        if (m_dblLastSpeed > kRunningSpeed) {
            return IDB_RUNNING;
        }
        return m_strSpeed != "0.0 " ? IDB_WALKING : IDB_STANDING;
    }
    return m_doc.m_bRunStarted != 0 ? IDB_RESTING : IDB_IDLE;
}

int CMainScreen::RestPicture() const {
    return m_bRestEnabled ? IDB_REST_ENABLED : IDB_REST_DISABLED;
}

int CMainScreen::BluetoothPicture() const {
    return m_doc.m_bBluetoothOn != 0 ? IDB_BLUETOOTH_ON : IDB_BLUETOOTH_OFF;
}

int CMainScreen::GpsPicture() const {
    return m_doc.m_bGpsReady != 0 ? IDB_GPS_READY : IDB_GPS_NOT_READY;
}
