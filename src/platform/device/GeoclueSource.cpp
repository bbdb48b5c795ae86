#include "platform/device/GeoclueSource.h"

#include "platform/device/GeoclueClient.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>

namespace platform::device {

namespace {

class GeoclueConnection final : public GpsConnection {
public:
    GeoclueConnection(GeoclueClient& client, std::chrono::milliseconds maxFixAge)
        : m_client(client), m_generation(client.generation()), m_maxFixAge(maxFixAge) {}
    ~GeoclueConnection() override { Close(); }
    GeoclueConnection(const GeoclueConnection&) = delete;
    GeoclueConnection& operator=(const GeoclueConnection&) = delete;

    bool Close() override {
        if (Alive()) {
            m_client.Stop();
        }
        m_open = false;
        return true;
    }

    bool GetDeviceState(GPS_DEVICE& device) override {
        if (!Alive()) {
            return false;
        }
        device = GPS_DEVICE{};
        if (m_client.state() == GeoclueClient::State::Started) {
            device.dwServiceState = GPS_STATE_ON;
        }
        if (m_client.FixWithin(m_maxFixAge)) {
            device.dwDeviceState = GPS_STATE_ON;
        }
        return true;
    }

    bool GetPosition(GPS_POSITION& position, std::uint32_t maxAgeMs) override {
        if (!Alive()) {
            return false;
        }
        position = m_client.FixWithin(std::chrono::milliseconds(maxAgeMs)).value_or(GPS_POSITION{});
        return true;
    }

private:
    // The client this connection was opened on is still the one starting or started.
    bool Alive() const {
        const auto state = m_client.state();
        return m_open && m_client.generation() == m_generation &&
               (state == GeoclueClient::State::Starting || state == GeoclueClient::State::Started);
    }

    GeoclueClient& m_client;
    int m_generation;
    std::chrono::milliseconds m_maxFixAge;
    bool m_open = true;
};

} // namespace

GeoclueSource::GeoclueSource(std::string desktopId, std::chrono::milliseconds maxFixAge, SteadyNow now)
    : m_desktopId(std::move(desktopId)), m_maxFixAge(maxFixAge), m_now(std::move(now)) {}

GeoclueSource::~GeoclueSource() = default;

GeoclueClient& GeoclueSource::Client() {
    if (!m_client) {
        m_client = std::make_unique<GeoclueClient>(m_desktopId, m_now);
    }
    return *m_client;
}

bool GeoclueSource::Present() {
    const QString geoclue = QStringLiteral("org.freedesktop.GeoClue2");
    const QDBusConnectionInterface* bus = QDBusConnection::systemBus().interface();
    if (bus == nullptr) {
        return false;
    }
    if (bus->isServiceRegistered(geoclue).value()) {
        return true;
    }
    const QDBusReply<QStringList> activatable = bus->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(geoclue);
}

void GeoclueSource::Release() {
    if (m_client) {
        m_client->Stop();
    }
}

std::unique_ptr<GpsConnection> GeoclueSource::Open() {
    auto& client = Client();
    const auto state = client.state();
    if (state == GeoclueClient::State::Idle || state == GeoclueClient::State::Failed) {
        if (!client.RetryDue()) {
            return nullptr;
        }
        if (!Present()) {
            client.Fail();
            return nullptr;
        }
        client.Begin();
    }
    // After a failure, only a client that has started again counts as the receiver being back.
    if (client.failing()) {
        return nullptr;
    }
    return std::make_unique<GeoclueConnection>(client, m_maxFixAge);
}

} // namespace platform::device
