#pragma once

#include "platform/Gps.h"

#include <deque>
#include <vector>

namespace platform {

// A receiver whose answers a test writes beforehand, counting what was asked of it.
class ScriptedGpsSource final : public GpsSource {
public:
    struct Answer {
        bool ok = true;
        GPS_POSITION position{};
    };

    std::unique_ptr<GpsConnection> Open() override;

    // Script.
    bool openSucceeds = true;
    bool closeSucceeds = true;
    bool deviceStateSucceeds = true;
    GPS_DEVICE device{GPS_STATE_ON, GPS_STATE_ON};
    std::deque<Answer> positions; // one per GetPosition; when empty, a successful poll without a fix

    // Observation.
    int openCalls = 0;
    int closeCalls = 0;
    int positionCalls = 0;
    int liveConnections = 0;
    int mostLiveConnections = 0;
    std::uint32_t lastMaxAgeMs = 0;
};

class ScriptedRadio final : public BluetoothRadio {
public:
    std::optional<int> GetMode() override;
    bool SetMode(int newMode) override;

    bool readable = true;
    int mode = BTH_POWER_OFF;
    std::vector<int> setCalls;
};

} // namespace platform
