#include "platform/ScriptedGps.h"

#include <algorithm>

namespace platform {

namespace {

class ScriptedConnection final : public GpsConnection {
public:
    explicit ScriptedConnection(ScriptedGpsSource& source) : m_source(source) {
        ++m_source.liveConnections;
        m_source.mostLiveConnections = std::max(m_source.mostLiveConnections, m_source.liveConnections);
    }
    ~ScriptedConnection() override { --m_source.liveConnections; }
    ScriptedConnection(const ScriptedConnection&) = delete;
    ScriptedConnection& operator=(const ScriptedConnection&) = delete;

    bool Close() override {
        ++m_source.closeCalls;
        return m_source.closeSucceeds;
    }

    bool GetDeviceState(GPS_DEVICE& device) override {
        if (!m_source.deviceStateSucceeds) {
            return false;
        }
        device = m_source.device;
        return true;
    }

    bool GetPosition(GPS_POSITION& position, std::uint32_t maxAgeMs) override {
        ++m_source.positionCalls;
        m_source.lastMaxAgeMs = maxAgeMs;
        if (m_source.positions.empty()) {
            position = GPS_POSITION{};
            return true;
        }
        const auto answer = m_source.positions.front();
        m_source.positions.pop_front();
        position = answer.position;
        return answer.ok;
    }

private:
    ScriptedGpsSource& m_source;
};

} // namespace

std::unique_ptr<GpsConnection> ScriptedGpsSource::Open() {
    ++openCalls;
    if (!openSucceeds) {
        return nullptr;
    }
    return std::make_unique<ScriptedConnection>(*this);
}

std::optional<int> ScriptedRadio::GetMode() {
    if (!readable) {
        return std::nullopt;
    }
    return mode;
}

bool ScriptedRadio::SetMode(int newMode) {
    setCalls.push_back(newMode);
    mode = newMode;
    return true;
}

} // namespace platform
