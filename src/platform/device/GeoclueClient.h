#pragma once

#include "platform/Gps.h"

#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QDBusMessage;
class QDBusObjectPath;

namespace platform::device {

// Our one GeoClue client and its life cycle, all without waiting on Qt's event loop: get it, name
// ourselves, ask for the exact level, start it, follow its locations; stop it when no connection
// wants it; notice GeoClue leaving. The generation changes whenever the client is given up, so
// that answers and connections belonging to an older one are told apart.
class GeoclueClient final : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Started, Failed };
    using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

    GeoclueClient(std::string desktopId, SteadyNow now);
    ~GeoclueClient() override;
    GeoclueClient(const GeoclueClient&) = delete;
    GeoclueClient& operator=(const GeoclueClient&) = delete;

    State state() const { return m_state; }
    int generation() const { return m_generation; }
    // The last attempt failed and no client has started since.
    bool failing() const { return m_failing; }
    // A second has passed since the last failure.
    bool RetryDue() const;

    void Begin();
    // Gives the client back to GeoClue, which then stops the receiver when nobody else uses it.
    void Stop();
    // The client failed to start or went away with GeoClue, or GeoClue could not be found.
    void Fail();

    // The latest location when it arrived at most age ago and the client runs.
    std::optional<GPS_POSITION> FixWithin(std::chrono::milliseconds age) const;

private slots:
    void OnLocationUpdated(const QDBusObjectPath& old, const QDBusObjectPath& location);

private:
    enum class OnError { Fail, Ignore };
    void Call(const QDBusMessage& message, int timeoutMs, OnError onError,
              std::function<void(const QDBusMessage&)> onReply);
    void Forget(State state);

    std::string m_desktopId;
    SteadyNow m_now;
    QDBusServiceWatcher m_watcher;
    State m_state = State::Idle;
    int m_generation = 0;
    bool m_failing = false;
    std::optional<std::chrono::steady_clock::time_point> m_lastFailure;
    QString m_path;
    GPS_POSITION m_fix;
    std::optional<std::chrono::steady_clock::time_point> m_fixReceived;
    std::uint64_t m_locationsHeard = 0;
    std::uint64_t m_locationApplied = 0;
};

} // namespace platform::device
