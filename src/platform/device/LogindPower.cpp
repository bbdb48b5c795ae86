#include "platform/device/LogindPower.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <optional>

namespace platform::device {
namespace {

const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");

int Milliseconds(std::chrono::milliseconds timeout) {
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 1, INT_MAX));
}

// A property of logind's manager, or nothing when logind cannot be asked or answers otherwise.
std::optional<QVariant> ReadManagerProperty(const QString& name, std::chrono::milliseconds timeout) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.login1.Manager") << name;
    const QDBusMessage reply = QDBusConnection::systemBus().call(get, QDBus::Block, Milliseconds(timeout));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        return std::nullopt;
    }
    return reply.arguments().at(0).value<QDBusVariant>().variant();
}

} // namespace

LogindPower::LogindPower(std::chrono::milliseconds timeout) : m_timeout(timeout) {}

int LogindPower::PowerOffTimeoutSeconds() {
    const auto action = ReadManagerProperty(QStringLiteral("IdleAction"), m_timeout);
    if (!action || action->typeId() != QMetaType::QString || action->toString().isEmpty() ||
        action->toString() == QLatin1String("ignore")) {
        return -1;
    }
    const auto delay = ReadManagerProperty(QStringLiteral("IdleActionUSec"), m_timeout);
    if (!delay || delay->typeId() != QMetaType::ULongLong) {
        return -1;
    }
    // logind never acts on an idle time of zero, whatever the action says.
    const qulonglong microseconds = delay->toULongLong();
    if (microseconds == 0) {
        return -1;
    }
    return static_cast<int>(std::min<qulonglong>(microseconds / 1'000'000, INT_MAX));
}

void LogindPower::ResetIdleTimer() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    // Asking first keeps the bus from trying to start a screensaver just to poke it.
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << kScreenSaver;
    const QDBusMessage owned = bus.call(ask, QDBus::Block, Milliseconds(m_timeout));
    if (owned.type() != QDBusMessage::ReplyMessage || owned.arguments().size() != 1 ||
        !owned.arguments().at(0).toBool()) {
        return;
    }
    // KDE's screen locker and GNOME's stand-in both name the method SimulateUserActivity (GNOME
    // refuses it). Nothing waits for the answer: the screen must not stall on a busy desktop, and
    // there is nothing to do when it says no.
    bus.send(QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                            kScreenSaver, QStringLiteral("SimulateUserActivity")));
}

} // namespace platform::device
