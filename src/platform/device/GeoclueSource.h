#pragma once

#include "platform/Gps.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace platform::device {

class GeoclueClient;

// Positions from GeoClue 2, the desktop's location service on the system bus (on Linux phones it
// serves the modem's receiver). Everything happens asynchronously on Qt's event loop, so no poll
// waits: GeoClue may first ask the user through the desktop's agent before it starts the client.
//
// The service is on once GeoClue started our client; the device is on while a location arrived
// within the maximum fix age. A location gives latitude and longitude, its timestamp as UTC time,
// its speed in knots and its altitude when GeoClue knows them.
//
// Open gives a connection while the client is starting or started. When starting failed (access
// denied, GeoClue absent) or GeoClue went away, the connection's polls fail and Open answers
// nothing, trying again in the background at most once a second, until a client has started.
class GeoclueSource final : public GpsSource {
public:
    using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

    explicit GeoclueSource(std::string desktopId,
                           std::chrono::milliseconds maxFixAge = std::chrono::seconds(2),
                           SteadyNow now = std::chrono::steady_clock::now);
    ~GeoclueSource() override;
    GeoclueSource(const GeoclueSource&) = delete;
    GeoclueSource& operator=(const GeoclueSource&) = delete;

    std::unique_ptr<GpsConnection> Open() override;
    std::string Describe() const override { return "GeoClue"; }

    // Gives back a client that no connection uses, e.g. one still starting after an earlier failure.
    void Release();

    // Whether GeoClue runs on the system bus or the bus would start it on demand.
    static bool Present();

private:
    GeoclueClient& Client();

    std::string m_desktopId;
    std::chrono::milliseconds m_maxFixAge;
    SteadyNow m_now;
    std::unique_ptr<GeoclueClient> m_client; // made at the first Open, when the bus is wanted
};

} // namespace platform::device
