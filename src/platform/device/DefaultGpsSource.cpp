#include "platform/device/DefaultGpsSource.h"
#include "platform/Translate.h"

namespace platform::device {

DefaultGpsSource::DefaultGpsSource(std::unique_ptr<GpsdSource> gpsd, std::unique_ptr<GeoclueSource> geoclue)
    : m_gpsd(std::move(gpsd)), m_geoclue(std::move(geoclue)) {}

std::unique_ptr<GpsConnection> DefaultGpsSource::Open() {
    if (auto connection = m_gpsd->Open()) {
        // A GeoClue client still starting from an earlier look would keep its receiver busy.
        m_geoclue->Release();
        m_current = m_gpsd.get();
        return connection;
    }
    if (auto connection = m_geoclue->Open()) {
        m_current = m_geoclue.get();
        return connection;
    }
    m_current = nullptr;
    return nullptr;
}

std::string DefaultGpsSource::Describe() const {
    if (m_current == nullptr) {
        return Tr("Ambulo", "自動 (gpsd・GeoClue を探しています)");
    }
    return Tr("Ambulo", "自動: ") + m_current->Describe();
}

} // namespace platform::device
