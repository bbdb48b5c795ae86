#pragma once

#include "platform/device/GeoclueSource.h"
#include "platform/device/GpsdSource.h"

#include <memory>
#include <string>

namespace platform::device {

// The receiver when the user named none: gpsd when it answers, else GeoClue when it is on the
// system bus. The choice is made at each open, so while neither answers both are looked for again
// every second, and the program takes whichever turns up first.
class DefaultGpsSource final : public GpsSource {
public:
    DefaultGpsSource(std::unique_ptr<GpsdSource> gpsd, std::unique_ptr<GeoclueSource> geoclue);

    std::unique_ptr<GpsConnection> Open() override;
    // The receiver of the last successful open, or that both are being looked for.
    std::string Describe() const override;

    const GpsdSource& Gpsd() const { return *m_gpsd; }

private:
    std::unique_ptr<GpsdSource> m_gpsd;
    std::unique_ptr<GeoclueSource> m_geoclue;
    const GpsSource* m_current = nullptr;
};

} // namespace platform::device
