#pragma once

#include "engine/SavedSettings.h"
#include "platform/File.h"
#include "platform/Gps.h"
#include "platform/Services.h"
#include "platform/SystemTime.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One recorded point of a workout: its start, its checkpoints and its goal.
struct CheckpointRecord {
    platform::SYSTEMTIME stTime{}; // local time when recorded
    double dblLatitude = 0.0;
    double dblLongitude = 0.0;
    double dblAltitude = 0.0; // sea-level height, else ellipsoid height, else 0
    double dblDistance = 0.0; // metres so far
    int nSeconds = 0;         // measuring seconds so far
    double dblKcal = 0.0;     // kcal so far
};

// One point of the route drawn on the map.
struct RoutePoint {
    double dblLatitude = 0.0;
    double dblLongitude = 0.0;
};

// The workout document: the receiver connection, the fixes position processing keeps, the totals
// of the current workout, its route and checkpoints, its open log files, and the settings in two
// copies (live values read by the engine and the screens, and m_saved, the image of the file).
//
// Flags are ints holding 0 or 1, except that the settings file may carry any value into them; the
// operations compare with 1 where only 1 means "on" and with 0 where anything else does.
class CMyAmbuloDoc {
public:
    // Sets every default, then loads the settings file.
    explicit CMyAmbuloDoc(const platform::Services& services);
    CMyAmbuloDoc(const CMyAmbuloDoc&) = delete;
    CMyAmbuloDoc& operator=(const CMyAmbuloDoc&) = delete;

    // Run flags.
    int m_bRunStarted = 0;    // a workout is under way, also while resting
    int m_bMeasuring = 0;     // measuring now (not resting)
    int m_bAwaitFirstFix = 1; // the next fix taken becomes the start point

    platform::SYSTEMTIME m_stNow{}; // local time of the last tick

    // Receiver connection.
    std::unique_ptr<platform::GpsConnection> m_hGPS; // null while closed
    std::uint32_t m_dwMaxAgeSec = 2;                 // oldest fix a poll accepts
    platform::GPS_DEVICE m_gpsDevice{};
    int m_bGpsReady = 0;
    int m_bBluetoothOn = 0;
    // The open failure was reported and the receiver has not opened since: say it only once.
    bool m_bGpsFailureReported = false;

    // Fixes.
    platform::GPS_POSITION m_posCurrent{}; // this tick's fix
    // The receiver's own UTC time of this tick's fix, when it gave one. Kept apart because a checked
    // fix carries the device clock in m_posCurrent.stUTCTime instead.
    std::optional<platform::SYSTEMTIME> m_stFixUtc;
    platform::GPS_POSITION m_posPrevious{}; // last accepted fix: the anchor of a step
    platform::GPS_POSITION m_posLastFix{};  // last fix glitch-tested: the anchor of the glitch test
    platform::GPS_POSITION m_posStart{};
    platform::GPS_POSITION m_posEnd{}; // always equal to m_posPrevious

    // Totals of the workout.
    double m_dblMinLat = 0.0;
    double m_dblMaxLat = 0.0;
    double m_dblMinLon = 0.0;
    double m_dblMaxLon = 0.0;
    double m_dblStepDistance = 0.0;
    int m_nStepSeconds = 0;
    double m_dblStepKcal = 0.0;
    double m_dblTotalDistance = 0.0;
    int m_nElapsedSeconds = 0;
    double m_dblTotalKcal = 0.0;
    int m_nMaxSpeed10 = 0; // tenths of km/h

    // Files of the workout.
    platform::SYSTEMTIME m_stRunStart{};
    platform::File m_hTrackLog;
    platform::File m_hKmlTemp;
    platform::File m_hGpxTemp;
    int m_nTrackLogLines = 0;

    // The drawn route, oldest point first. Emptied only by the first fix of a workout that draws
    // a route, so a finished workout's route stays on the map until the next one starts.
    std::vector<RoutePoint> m_route;
    std::vector<CheckpointRecord> m_checkpoints;

    // Live settings.
    double m_dblWeightKg = 60.0;
    double m_dblMinDistance = 2.0;
    int m_bFlatAltitude = 0;
    int m_bPitchSound = 0;
    int m_bPitchByTime = 1;
    int m_nPitchSeconds = 60;
    int m_bPitchByDistance = 0;
    int m_nPitchMetres = 500;
    std::string m_strPitchSound{kDefaultSound};
    int m_bShowBluetooth = 1;
    int m_bIgnoreGpsFlags = 0;
    int m_bKeepAwakeIdle = 1;
    std::string m_strLogFolder{kDefaultLogFolder};
    int m_bSaveHistory = 1;
    int m_bSaveKml = 1;
    int m_bSaveGpsLog = 0;
    int m_bCenterOnStart = 0;
    int m_nMapScale = 10000;
    int m_bCheckpointAuto = 0;
    int m_bCheckpointByTime = 1;
    int m_nCheckpointSeconds = 300;
    int m_nCheckpointMetres = 1000;
    int m_bCheckpointSound = 1;
    std::string m_strCheckpointSound{kDefaultSound};

    SavedSettings m_saved;

    // Checkpoints and route. A checkpoint made while m_posCurrent holds no position takes the
    // position of the last accepted fix.
    void AddCheckpoint();
    // The same, recorded as made at a given local time.
    void AddCheckpointAt(const platform::SYSTEMTIME& localTime);
    void ClearCheckpoints();
    void ClearRoute();
    int RoutePointCount() const { return static_cast<int>(m_route.size()); }

    bool CloseTrackLog();
    bool CloseKmlTemp();
    bool CloseGpxTemp();

    // Receiver and radio.
    bool OpenGps();
    bool CloseGps();
    bool PollPosition();
    bool PollDeviceState();
    bool IsBluetoothOn();
    bool SetBluetooth(bool on);

    // Folds m_posCurrent into the workout; true when the fix was taken (start point or step).
    bool ProcessFix();

    // Settings file. SaveSettings writes m_saved and reports whether the file was replaced.
    bool SaveSettings();
    bool LoadSettings();
    static std::string SettingsPath();
    // Copies every saved field into its live setting.
    void ApplySavedSettings();

    const platform::Services& Services() const { return m_services; }

private:
    void AppendRoutePoint(double latitude, double longitude);
    bool AcceptStep(double distance);

    platform::Services m_services;
};
