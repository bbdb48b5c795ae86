#include "platform/device/GeoclueSource.h"

#include "platform/Clock.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QObject>
#include <QVariantMap>

#include <cfloat>
#include <cmath>
#include <optional>
#include <utility>

namespace platform::device {

namespace {

using Clock = std::chrono::steady_clock;

const QString kGeoClue = QStringLiteral("org.freedesktop.GeoClue2");
const QString kManagerPath = QStringLiteral("/org/freedesktop/GeoClue2/Manager");
const QString kManager = QStringLiteral("org.freedesktop.GeoClue2.Manager");
const QString kClient = QStringLiteral("org.freedesktop.GeoClue2.Client");
const QString kLocation = QStringLiteral("org.freedesktop.GeoClue2.Location");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// GeoClue's accuracy level "exact": only this one makes it use a satellite receiver.
constexpr uint kAccuracyExact = 8;
// Starting may wait for the user to answer the desktop's question whether we may know the place.
constexpr int kStartTimeoutMs = 120'000;
constexpr std::chrono::seconds kRetryInterval{1};

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

// A location's properties as our fix record; what GeoClue leaves unknown stays invalid.
GPS_POSITION FixOf(const QVariantMap& properties) {
    GPS_POSITION position;
    const double latitude = properties.value(QStringLiteral("Latitude"), NAN).toDouble();
    const double longitude = properties.value(QStringLiteral("Longitude"), NAN).toDouble();
    if (std::isfinite(latitude) && std::isfinite(longitude)) {
        position.dblLatitude = latitude;
        position.dblLongitude = longitude;
        position.dwValidFields |= GPS_VALID_LATITUDE | GPS_VALID_LONGITUDE;
    }
    // Unknown speed is -1, unknown altitude -DBL_MAX.
    const double speed = properties.value(QStringLiteral("Speed"), -1.0).toDouble();
    if (std::isfinite(speed) && speed >= 0.0) {
        position.flSpeed = static_cast<float>(speed * kKnotsPerMetrePerSecond);
        position.dwValidFields |= GPS_VALID_SPEED;
    }
    const double altitude = properties.value(QStringLiteral("Altitude"), -DBL_MAX).toDouble();
    if (std::isfinite(altitude) && altitude > -DBL_MAX) {
        position.flAltitudeWRTSeaLevel = static_cast<float>(altitude);
        position.dwValidFields |= GPS_VALID_ALTITUDE_WRT_SEA_LEVEL;
    }
    // The timestamp is (seconds, microseconds) since the epoch.
    const QVariant stamp = properties.value(QStringLiteral("Timestamp"));
    if (stamp.canConvert<QDBusArgument>()) {
        const auto argument = stamp.value<QDBusArgument>();
        if (argument.currentSignature() == QLatin1String("(tt)")) {
            quint64 seconds = 0;
            quint64 microseconds = 0;
            argument.beginStructure();
            argument >> seconds >> microseconds;
            argument.endStructure();
            if (seconds != 0) {
                position.stUTCTime =
                    UtcTimeFromCalendar(static_cast<std::int64_t>(seconds),
                                        static_cast<std::uint16_t>(microseconds / 1000 % 1000));
                position.dwValidFields |= GPS_VALID_UTC_TIME;
            }
        }
    }
    return position;
}

QDBusMessage SetProperty(const QString& client, const QString& name, const QVariant& value) {
    QDBusMessage set = QDBusMessage::createMethodCall(kGeoClue, client, kProperties, QStringLiteral("Set"));
    set << kClient << name << QVariant::fromValue(QDBusVariant(value));
    return set;
}

} // namespace

// Our one GeoClue client and its life cycle: get it, name ourselves, ask for the exact level,
// start it, follow its locations; stop it when no connection wants it; notice GeoClue leaving.
class GeoclueClient final : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Started, Failed };

    GeoclueClient(std::string desktopId, GeoclueSource::SteadyNow now)
        : m_desktopId(std::move(desktopId)), m_now(std::move(now)),
          m_watcher(kGeoClue, QDBusConnection::systemBus(), QDBusServiceWatcher::WatchForOwnerChange) {
        connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString&, const QString& oldOwner, const QString&) {
                    // GeoClue starting on demand is no loss; an owner leaving takes our client along.
                    if (!oldOwner.isEmpty() && (m_state == State::Starting || m_state == State::Started)) {
                        Fail();
                    }
                });
    }
    ~GeoclueClient() override { Stop(); }
    GeoclueClient(const GeoclueClient&) = delete;
    GeoclueClient& operator=(const GeoclueClient&) = delete;

    State state() const { return m_state; }
    int generation() const { return m_generation; }
    // The last attempt failed and no client has started since.
    bool failing() const { return m_failing; }
    bool RetryDue() const { return !m_lastFailure || m_now() - *m_lastFailure >= kRetryInterval; }

    void Begin() {
        ++m_generation;
        m_state = State::Starting;
        Call(QDBusMessage::createMethodCall(kGeoClue, kManagerPath, kManager, QStringLiteral("GetClient")),
             -1, [this](const QDBusMessage& reply) {
                 m_path = reply.arguments().value(0).value<QDBusObjectPath>().path();
                 if (m_path.isEmpty()) {
                     Fail();
                     return;
                 }
                 // Listen before starting, or the first location could pass unheard.
                 QDBusConnection::systemBus().connect(
                     kGeoClue, m_path, kClient, QStringLiteral("LocationUpdated"), this,
                     SLOT(OnLocationUpdated(QDBusObjectPath, QDBusObjectPath)));
                 Call(SetProperty(m_path, QStringLiteral("DesktopId"), QString::fromStdString(m_desktopId)),
                      -1, [this](const QDBusMessage&) {
                          Call(SetProperty(m_path, QStringLiteral("RequestedAccuracyLevel"), kAccuracyExact),
                               -1, [this](const QDBusMessage&) {
                                   Call(QDBusMessage::createMethodCall(kGeoClue, m_path, kClient,
                                                                       QStringLiteral("Start")),
                                        kStartTimeoutMs, [this](const QDBusMessage&) {
                                            m_state = State::Started;
                                            m_failing = false;
                                            m_lastFailure.reset();
                                        });
                               });
                      });
             });
    }

    // Gives the client back to GeoClue, which then stops the receiver when nobody else uses it.
    void Stop() {
        if ((m_state == State::Starting || m_state == State::Started) && !m_path.isEmpty()) {
            QDBusConnection::systemBus().send(
                QDBusMessage::createMethodCall(kGeoClue, m_path, kClient, QStringLiteral("Stop")));
        }
        Forget(State::Idle);
    }

    // Open found GeoClue absent: the same as a start that failed.
    void Fail() {
        Forget(State::Failed);
        m_failing = true;
        m_lastFailure = m_now();
    }

    std::optional<GPS_POSITION> FixWithin(std::chrono::milliseconds age) const {
        if (m_state != State::Started || !m_fixReceived || m_now() - *m_fixReceived > age) {
            return std::nullopt;
        }
        return m_fix;
    }

private slots:
    void OnLocationUpdated(const QDBusObjectPath& /*old*/, const QDBusObjectPath& location) {
        const auto sequence = ++m_locationsHeard;
        QDBusMessage getAll =
            QDBusMessage::createMethodCall(kGeoClue, location.path(), kProperties, QStringLiteral("GetAll"));
        getAll << kLocation;
        Call(getAll, -1, [this, sequence](const QDBusMessage& reply) {
            // Answers may cross; an older location never replaces a newer one.
            if (sequence < m_locationApplied) {
                return;
            }
            m_locationApplied = sequence;
            m_fix = FixOf(qdbus_cast<QVariantMap>(reply.arguments().value(0)));
            m_fixReceived = m_now();
        });
    }

private:
    // Calls GeoClue without waiting; the answer goes to onReply unless it is an error, which fails the
    // client, or the client was given up in the meantime.
    template <typename OnReply> void Call(const QDBusMessage& message, int timeoutMs, OnReply onReply) {
        auto* watcher =
            new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(message, timeoutMs), this);
        const int generation = m_generation;
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, generation, onReply](QDBusPendingCallWatcher* call) {
                    call->deleteLater();
                    if (generation != m_generation ||
                        (m_state != State::Starting && m_state != State::Started)) {
                        return;
                    }
                    if (call->isError()) {
                        Fail();
                        return;
                    }
                    onReply(call->reply());
                });
    }

    void Forget(State state) {
        if (!m_path.isEmpty()) {
            QDBusConnection::systemBus().disconnect(
                kGeoClue, m_path, kClient, QStringLiteral("LocationUpdated"), this,
                SLOT(OnLocationUpdated(QDBusObjectPath, QDBusObjectPath)));
        }
        m_path.clear();
        ++m_generation;
        m_state = state;
        m_fixReceived.reset();
    }

    std::string m_desktopId;
    GeoclueSource::SteadyNow m_now;
    QDBusServiceWatcher m_watcher;
    State m_state = State::Idle;
    int m_generation = 0; // changes whenever the client is given up, so old answers are dropped
    bool m_failing = false;
    std::optional<Clock::time_point> m_lastFailure;
    QString m_path;
    GPS_POSITION m_fix;
    std::optional<Clock::time_point> m_fixReceived;
    std::uint64_t m_locationsHeard = 0;
    std::uint64_t m_locationApplied = 0;
};

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
    const QDBusConnectionInterface* bus = QDBusConnection::systemBus().interface();
    if (bus == nullptr) {
        return false;
    }
    if (bus->isServiceRegistered(kGeoClue).value()) {
        return true;
    }
    const QDBusReply<QStringList> activatable = bus->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(kGeoClue);
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

#include "GeoclueSource.moc"
