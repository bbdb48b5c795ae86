#include "engine/MyAmbuloDoc.h"

#include "engine/EnergyModel.h"
#include "engine/Geodesy.h"
#include "platform/Translate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

using platform::GPS_POSITION;

namespace {

// Fixes further apart than this from the last tested fix are receiver glitches.
constexpr double kGlitchMetres = 50.0;

// The four validity bits a fix needs when the flags are checked: time, latitude, longitude, speed.
constexpr std::uint32_t kRequiredFields = platform::GPS_VALID_UTC_TIME | platform::GPS_VALID_LATITUDE |
                                          platform::GPS_VALID_LONGITUDE | platform::GPS_VALID_SPEED;

double DistanceBetween(bool flatAltitude, const GPS_POSITION& a, const GPS_POSITION& b) {
    const Heights heights = HeightsFor(flatAltitude, a, b);
    return GeoDistanceDegrees(a.dblLatitude, a.dblLongitude, heights.first, b.dblLatitude, b.dblLongitude,
                              heights.second);
}

// Whether a fix can be measured at all: coordinates a receiver can mean, and heights that are
// numbers where they are flagged. Anything else would poison the glitch reference or the totals.
bool IsMeasurable(const GPS_POSITION& fix) {
    if (!(std::abs(fix.dblLatitude) <= 90.0 && std::abs(fix.dblLongitude) <= 180.0)) {
        return false;
    }
    if ((fix.dwValidFields & platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL) != 0 &&
        !std::isfinite(fix.flAltitudeWRTSeaLevel)) {
        return false;
    }
    return (fix.dwValidFields & platform::GPS_VALID_ALTITUDE_WRT_ELLIPSOID) == 0 ||
           std::isfinite(fix.flAltitudeWRTEllipsoid);
}

// Speed in tenths of km/h, truncated; saturates instead of overflowing on absurd speeds.
int SpeedTenths(double kmh) {
    const double tenths = kmh * 10.0;
    if (tenths >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(tenths);
}

} // namespace

CMyAmbuloDoc::CMyAmbuloDoc(const platform::Services& services) : m_services(services) {
    const bool loaded = LoadSettings();
    m_saved.strLogFolder = NormalizedLogFolder(m_saved.strLogFolder);
    if (loaded) {
        ApplySavedSettings();
    }
    // Whatever was read, the next save writes a complete file of the current version.
    m_saved.strProductName = std::string(kSettingsProductName);
    m_saved.dwVersion = kSettingsVersion;
}

void CMyAmbuloDoc::AddCheckpoint() {
    AddCheckpointAt(m_services.clock.LocalNow());
}

void CMyAmbuloDoc::AddCheckpointAt(const platform::SYSTEMTIME& localTime) {
    // A tick without a usable fix leaves m_posCurrent zeroed; (0, 0) would put the checkpoint in
    // the Gulf of Guinea.
    const bool hasPosition = m_posCurrent.dblLatitude != 0.0 || m_posCurrent.dblLongitude != 0.0;
    const GPS_POSITION& at = hasPosition ? m_posCurrent : m_posEnd;
    CheckpointRecord record;
    record.stTime = localTime;
    record.dblLatitude = at.dblLatitude;
    record.dblLongitude = at.dblLongitude;
    if ((at.dwValidFields & platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL) != 0) {
        record.dblAltitude = at.flAltitudeWRTSeaLevel;
    } else if ((at.dwValidFields & platform::GPS_VALID_ALTITUDE_WRT_ELLIPSOID) != 0) {
        record.dblAltitude = at.flAltitudeWRTEllipsoid;
    }
    record.dblDistance = m_dblTotalDistance;
    record.nSeconds = m_nElapsedSeconds;
    record.dblKcal = m_dblTotalKcal;
    m_checkpoints.push_back(record);
}

void CMyAmbuloDoc::ClearCheckpoints() {
    std::vector<CheckpointRecord>().swap(m_checkpoints);
}

void CMyAmbuloDoc::ClearRoute() {
    std::vector<RoutePoint>().swap(m_route);
}

void CMyAmbuloDoc::AppendRoutePoint(double latitude, double longitude) {
    try {
        m_route.push_back({latitude, longitude});
    } catch (const std::bad_alloc&) {
        // Out of memory on a very long route: the map misses this point, the workout goes on.
    }
}

bool CMyAmbuloDoc::CloseTrackLog() {
    m_hTrackLog.Close();
    return true;
}

bool CMyAmbuloDoc::CloseKmlTemp() {
    m_hKmlTemp.Close();
    return true;
}

bool CMyAmbuloDoc::CloseGpxTemp() {
    m_hGpxTemp.Close();
    return true;
}

bool CMyAmbuloDoc::OpenGps() {
    // A connection whose close failed is still held here; release it before opening another.
    m_hGPS.reset();
    m_hGPS = m_services.gps.Open();
    if (m_hGPS) {
        m_bGpsFailureReported = false;
        return true;
    }
    // Every tick retries the open; one message until the receiver is back is enough.
    if (!m_bGpsFailureReported) {
        m_bGpsFailureReported = true;
        m_services.messages.Show(platform::Tr("Ambulo", "GPS の初期化に失敗しました!"),
                                 platform::Tr("Ambulo", "エラー"), platform::MessageButtons::Ok, platform::MessageIcon::Error);
    }
    return false;
}

bool CMyAmbuloDoc::CloseGps() {
    if (!m_hGPS) {
        return true;
    }
    if (!m_hGPS->Close()) {
        return false;
    }
    m_hGPS.reset();
    return true;
}

bool CMyAmbuloDoc::PollPosition() {
    m_posCurrent = GPS_POSITION{};
    m_stFixUtc.reset();
    if (!m_hGPS || !m_hGPS->GetPosition(m_posCurrent, m_dwMaxAgeSec * 1000)) {
        CloseGps();
        OpenGps();
        m_posCurrent = GPS_POSITION{};
        return false;
    }
    if ((m_posCurrent.dwValidFields & platform::GPS_VALID_UTC_TIME) != 0) {
        m_stFixUtc = m_posCurrent.stUTCTime;
    }
    if (m_bIgnoreGpsFlags == 1) {
        return true; // as the receiver gave it, with its own UTC time
    }
    if ((m_posCurrent.dwValidFields & kRequiredFields) == kRequiredFields) {
        // Steps are timed by the device clock, not by the receiver's.
        m_posCurrent.stUTCTime = m_services.clock.LocalNow();
        return true;
    }
    m_posCurrent = GPS_POSITION{};
    m_stFixUtc.reset();
    return false;
}

bool CMyAmbuloDoc::PollDeviceState() {
    m_gpsDevice = platform::GPS_DEVICE{};
    if (m_hGPS && m_hGPS->GetDeviceState(m_gpsDevice)) {
        return true;
    }
    m_gpsDevice = platform::GPS_DEVICE{};
    return false;
}

bool CMyAmbuloDoc::IsBluetoothOn() {
    const auto mode = m_services.radio.GetMode();
    return mode && (*mode == platform::BTH_CONNECTABLE || *mode == platform::BTH_DISCOVERABLE);
}

bool CMyAmbuloDoc::SetBluetooth(bool on) {
    const auto mode = m_services.radio.GetMode();
    const bool isOn = mode && (*mode == platform::BTH_CONNECTABLE || *mode == platform::BTH_DISCOVERABLE);
    if (on && !isOn) {
        m_services.radio.SetMode(platform::BTH_CONNECTABLE);
    } else if (!on && (!mode || isOn)) {
        // A radio whose mode cannot be read is switched off to be sure.
        m_services.radio.SetMode(platform::BTH_POWER_OFF);
    }
    return true;
}

bool CMyAmbuloDoc::ProcessFix() {
    m_dblStepDistance = 0.0;
    m_nStepSeconds = 0;
    m_dblStepKcal = 0.0;

    const double latitude = m_posCurrent.dblLatitude;
    const double longitude = m_posCurrent.dblLongitude;
    // (0, 0) is what receivers report before they know where they are.
    if (latitude == 0.0 && longitude == 0.0) {
        return false;
    }
    if (!IsMeasurable(m_posCurrent)) {
        return false;
    }

    const bool flat = m_bFlatAltitude != 0;
    if (m_bAwaitFirstFix != 0) {
        m_dblTotalDistance = 0.0;
        m_nElapsedSeconds = 0;
        m_dblTotalKcal = 0.0;
        m_posPrevious = m_posLastFix = m_posStart = m_posEnd = m_posCurrent;
        m_dblMinLat = m_dblMaxLat = latitude;
        m_dblMinLon = m_dblMaxLon = longitude;
        if (m_bCenterOnStart == 0) {
            ClearRoute();
            AppendRoutePoint(latitude, longitude);
        }
        AddCheckpoint();
        m_bAwaitFirstFix = 0;
        return true;
    }

    m_nStepSeconds = SecondsBetween(m_posPrevious.stUTCTime, m_posCurrent.stUTCTime);

    const double fromLastFix = DistanceBetween(flat, m_posLastFix, m_posCurrent);
    m_dblStepDistance = fromLastFix;
    m_posLastFix = m_posCurrent;
    if (fromLastFix > kGlitchMetres) {
        return false;
    }

    const double step = DistanceBetween(flat, m_posPrevious, m_posCurrent);
    m_dblStepDistance = step;
    if (step < m_dblMinDistance) {
        return false; // m_posPrevious stays, so small movements add up
    }
    return AcceptStep(step);
}

bool CMyAmbuloDoc::AcceptStep(double distance) {
    // Two fixes with the same time stamp, or a clock that went back, give no speed: the distance
    // counts, but the step spends no energy and sets no maximum speed.
    if (m_nStepSeconds > 0) {
        const double kmh = distance * 3.6 / m_nStepSeconds;
        m_dblStepKcal = StepKcal(m_nStepSeconds, m_dblWeightKg, kmh);
        if (!std::isfinite(m_dblStepKcal)) {
            m_dblStepKcal = 0.0; // a weight from the settings file that is not a number
        }
        m_nMaxSpeed10 = std::max(m_nMaxSpeed10, SpeedTenths(kmh));
    }
    m_dblTotalDistance += distance;
    m_dblTotalKcal += m_dblStepKcal;

    const double latitude = m_posCurrent.dblLatitude;
    const double longitude = m_posCurrent.dblLongitude;
    if (m_dblMinLat > latitude) {
        m_dblMinLat = latitude;
    } else if (m_dblMaxLat < latitude) {
        m_dblMaxLat = latitude;
    }
    if (m_dblMinLon > longitude) {
        m_dblMinLon = longitude;
    } else if (m_dblMaxLon < longitude) {
        m_dblMaxLon = longitude;
    }

    m_posPrevious = m_posEnd = m_posCurrent;
    if (m_bCenterOnStart == 0) {
        AppendRoutePoint(latitude, longitude);
    }
    return true;
}

std::string CMyAmbuloDoc::SettingsPath() {
    return std::string(platform::kProgramFolder) + "ambl.opt";
}

bool CMyAmbuloDoc::SaveSettings() {
    return platform::WriteFileAtomically(m_services.root, SettingsPath(), EncodeSettings(m_saved));
}

bool CMyAmbuloDoc::LoadSettings() {
    // Settings are a few hundred bytes; a larger file is read only as far as its fields go.
    constexpr std::size_t kSettingsReadLimit = 64 * 1024;
    platform::File file = platform::File::OpenExisting(m_services.root, SettingsPath());
    if (!file.IsOpen()) {
        return false;
    }
    const auto bytes = file.ReadUpTo(kSettingsReadLimit);
    SavedSettings read = m_saved;
    const bool whole = bytes && DecodeSettings(*bytes, read);
    // Someone else's file (or a file of zeros) must not switch saving off or weigh the user 0 kg:
    // it counts as no file at all.
    if (read.strProductName != kSettingsProductName || read.dwVersion == 0) {
        return false;
    }
    m_saved = read; // of a file cut short, the fields before the cut
    return whole;
}

void CMyAmbuloDoc::ApplySavedSettings() {
    const SavedSettings& s = m_saved;
    const auto flag = [](std::uint32_t v) { return static_cast<int>(v); };
    m_bKeepAwakeIdle = flag(s.bKeepAwakeIdle);
    m_bShowBluetooth = flag(s.bShowBluetooth);
    m_strLogFolder = s.strLogFolder;
    m_bSaveHistory = flag(s.bSaveHistory);
    m_bSaveKml = flag(s.bSaveKml);
    m_bSaveGpsLog = flag(s.bSaveGpsLog);
    m_dblWeightKg = s.dblWeightKg;
    m_dblMinDistance = s.dblMinDistance;
    m_bFlatAltitude = flag(s.bFlatAltitude);
    m_strPitchSound = s.strPitchSound;
    m_bPitchSound = flag(s.bPitchSound);
    m_bPitchByTime = flag(s.bPitchByTime);
    m_nPitchSeconds = flag(s.nPitchSeconds);
    m_bPitchByDistance = flag(s.bPitchByDistance);
    m_nPitchMetres = flag(s.nPitchMetres);
    m_bIgnoreGpsFlags = flag(s.bIgnoreGpsFlags);
    m_bCenterOnStart = flag(s.bCenterOnStart);
    m_nMapScale = flag(s.nMapScale);
    m_strCheckpointSound = s.strCheckpointSound;
    m_bCheckpointSound = flag(s.bCheckpointSound);
    m_bCheckpointAuto = flag(s.bCheckpointAuto);
    m_bCheckpointByTime = flag(s.bCheckpointByTime);
    m_nCheckpointSeconds = flag(s.nCheckpointSeconds);
    m_nCheckpointMetres = flag(s.nCheckpointMetres);
}
