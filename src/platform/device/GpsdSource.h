#pragma once

#include "platform/Gps.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace platform::device {

// Receivers served by gpsd, through libgps. The service is on while gpsd is connected; the device
// is on while gpsd reports an activated receiver. Polls never block: they take what gpsd has sent.
// A connection gpsd dropped fails its polls, so that the caller closes and opens again; while
// gpsd is down, Open tries at most once a second and gives up on a connect after a short time.
class GpsdSource final : public GpsSource {
public:
    using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

    GpsdSource(std::string host, std::string port, SteadyNow now = std::chrono::steady_clock::now);

    std::unique_ptr<GpsConnection> Open() override;
    std::string Describe() const override { return "gpsd " + m_host + ":" + m_port; }

    const std::string& Host() const { return m_host; }
    const std::string& Port() const { return m_port; }

private:
    std::string m_host;
    std::string m_port;
    SteadyNow m_now;
    std::optional<std::chrono::steady_clock::time_point> m_lastFailure;
};

} // namespace platform::device
