#include "platform/device/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariant>
#include <QVariantMap>

#include <algorithm>
#include <climits>

namespace platform::device {
namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kReason = QStringLiteral("Recording or ready to record a workout");
constexpr uint kPortalSuspend = 4;

// The path the portal gives the request of this connection with this token.
QString PortalRequestPath(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + QLatin1Char('/') + token;
}

} // namespace

SleepInhibitor::SleepInhibitor(std::chrono::milliseconds timeout)
    : m_timeoutMs(static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 1, INT_MAX))) {
}

SleepInhibitor::~SleepInhibitor() {
    Release();
}

bool SleepInhibitor::Held() const {
    return !m_portalRequest.isEmpty() || m_logindFd.isValid();
}

void SleepInhibitor::KeepAwake(bool on) {
    if (on == Held()) {
        return;
    }
    if (on) {
        // Any failure of the portal (none running, none with an inhibit backend, a refusal) leaves
        // logind to try.
        if (!TakeFromPortal()) {
            TakeFromLogind();
        }
    } else {
        Release();
    }
}

bool SleepInhibitor::TakeFromPortal() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    const QString token = QStringLiteral("ambulo%1").arg(++m_nextToken);
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortal, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    // No window of ours is exported to the portal, so the window handle is empty.
    call << QString() << kPortalSuspend
         << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("reason"), kReason}};
    const QDBusMessage reply = bus.call(call, QDBus::Block, m_timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1 &&
        reply.arguments().at(0).canConvert<QDBusObjectPath>()) {
        m_portalRequest = reply.arguments().at(0).value<QDBusObjectPath>().path();
        return !m_portalRequest.isEmpty();
    }
    if (reply.type() == QDBusMessage::ErrorMessage && QDBusError(reply).type() == QDBusError::NoReply) {
        // A portal too slow to answer (one just being started) may still take the inhibitor;
        // closing the request it will have made keeps it from holding the machine unasked.
        bus.send(QDBusMessage::createMethodCall(kPortal, PortalRequestPath(bus, token), kRequest,
                                                QStringLiteral("Close")));
    }
    return false;
}

bool SleepInhibitor::TakeFromLogind() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << QStringLiteral("Ambulo") << kReason << QStringLiteral("block");
    // The reply's copy of the descriptor goes with the reply at the end of this function; ours,
    // close-on-exec as QtDBus receives it, is then the only one keeping the inhibitor.
    const QDBusMessage reply = bus.call(call, QDBus::Block, m_timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        return false;
    }
    m_logindFd = reply.arguments().at(0).value<QDBusUnixFileDescriptor>();
    return m_logindFd.isValid();
}

void SleepInhibitor::Release() {
    if (!m_portalRequest.isEmpty()) {
        // Only the connection that took the inhibitor may close it. Should the portal be gone, it
        // dropped the inhibitor with its requests.
        QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(kPortal, m_portalRequest, kRequest, QStringLiteral("Close")),
            QDBus::Block, m_timeoutMs);
        m_portalRequest.clear();
    }
    m_logindFd = QDBusUnixFileDescriptor();
}

} // namespace platform::device
