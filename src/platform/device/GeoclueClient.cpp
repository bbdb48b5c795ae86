#include "platform/device/GeoclueClient.h"

#include "platform/Clock.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QVariantMap>

#include <cfloat>
#include <cmath>
#include <utility>

namespace platform::device {

namespace {

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

GeoclueClient::GeoclueClient(std::string desktopId, SteadyNow now)
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

GeoclueClient::~GeoclueClient() {
    Stop();
}

bool GeoclueClient::RetryDue() const {
    return !m_lastFailure || m_now() - *m_lastFailure >= kRetryInterval;
}

void GeoclueClient::Begin() {
    ++m_generation;
    m_state = State::Starting;
    const auto getClient =
        QDBusMessage::createMethodCall(kGeoClue, kManagerPath, kManager, QStringLiteral("GetClient"));
    Call(getClient, -1, OnError::Fail, [this](const QDBusMessage& reply) {
        m_path = reply.arguments().value(0).value<QDBusObjectPath>().path();
        if (m_path.isEmpty()) {
            Fail();
            return;
        }
        // Listen before starting, or the first location could pass unheard.
        QDBusConnection::systemBus().connect(kGeoClue, m_path, kClient, QStringLiteral("LocationUpdated"),
                                             this, SLOT(OnLocationUpdated(QDBusObjectPath, QDBusObjectPath)));
        const auto desktopId =
            SetProperty(m_path, QStringLiteral("DesktopId"), QString::fromStdString(m_desktopId));
        Call(desktopId, -1, OnError::Fail, [this](const QDBusMessage&) {
            const auto level = SetProperty(m_path, QStringLiteral("RequestedAccuracyLevel"), kAccuracyExact);
            Call(level, -1, OnError::Fail, [this](const QDBusMessage&) {
                const auto start =
                    QDBusMessage::createMethodCall(kGeoClue, m_path, kClient, QStringLiteral("Start"));
                Call(start, kStartTimeoutMs, OnError::Fail, [this](const QDBusMessage&) {
                    m_state = State::Started;
                    m_failing = false;
                    m_lastFailure.reset();
                });
            });
        });
    });
}

void GeoclueClient::Stop() {
    if ((m_state == State::Starting || m_state == State::Started) && !m_path.isEmpty()) {
        QDBusConnection::systemBus().send(
            QDBusMessage::createMethodCall(kGeoClue, m_path, kClient, QStringLiteral("Stop")));
    }
    Forget(State::Idle);
}

void GeoclueClient::Fail() {
    Forget(State::Failed);
    m_failing = true;
    m_lastFailure = m_now();
}

std::optional<GPS_POSITION> GeoclueClient::FixWithin(std::chrono::milliseconds age) const {
    if (m_state != State::Started || !m_fixReceived || m_now() - *m_fixReceived > age) {
        return std::nullopt;
    }
    return m_fix;
}

void GeoclueClient::OnLocationUpdated(const QDBusObjectPath& /*old*/, const QDBusObjectPath& location) {
    const auto sequence = ++m_locationsHeard;
    QDBusMessage getAll =
        QDBusMessage::createMethodCall(kGeoClue, location.path(), kProperties, QStringLiteral("GetAll"));
    getAll << kLocation;
    // GeoClue drops old location objects; one that is gone by now is simply missed.
    Call(getAll, -1, OnError::Ignore, [this, sequence](const QDBusMessage& reply) {
        // Answers may cross; an older location never replaces a newer one.
        if (sequence < m_locationApplied) {
            return;
        }
        m_locationApplied = sequence;
        m_fix = FixOf(qdbus_cast<QVariantMap>(reply.arguments().value(0)));
        m_fixReceived = m_now();
    });
}

// The answer goes to onReply unless the client was given up in the meantime.
void GeoclueClient::Call(const QDBusMessage& message, int timeoutMs, OnError onError,
                         std::function<void(const QDBusMessage&)> onReply) {
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(message, timeoutMs), this);
    const int generation = m_generation;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation, onError, onReply = std::move(onReply)](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (generation != m_generation || (m_state != State::Starting && m_state != State::Started)) {
                    return;
                }
                if (!call->isError()) {
                    onReply(call->reply());
                } else if (onError == OnError::Fail) {
                    Fail();
                }
            });
}

void GeoclueClient::Forget(State state) {
    if (!m_path.isEmpty()) {
        QDBusConnection::systemBus().disconnect(kGeoClue, m_path, kClient, QStringLiteral("LocationUpdated"),
                                                this,
                                                SLOT(OnLocationUpdated(QDBusObjectPath, QDBusObjectPath)));
    }
    m_path.clear();
    ++m_generation;
    m_state = state;
    m_fixReceived.reset();
}

} // namespace platform::device
