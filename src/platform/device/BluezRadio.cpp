#include "platform/device/BluezRadio.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMap>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <climits>

namespace platform::device {
namespace {

const QString kBluez = QStringLiteral("org.bluez");
const QString kAdapter = QStringLiteral("org.bluez.Adapter1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// What ObjectManager.GetManagedObjects answers: object → interface → property → value. The map
// keeps the objects sorted by path, so "the first adapter" stays the same from call to call.
using ManagedObjects = QMap<QDBusObjectPath, QMap<QString, QVariantMap>>;

// BlueZ's answer, or nothing when it answered with an error, not in time, or not at all.
std::optional<QList<QVariant>> Call(const QDBusMessage& message, std::chrono::milliseconds timeout) {
    const auto milliseconds = std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 1, INT_MAX);
    const QDBusMessage reply =
        QDBusConnection::systemBus().call(message, QDBus::Block, static_cast<int>(milliseconds));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    return reply.arguments();
}

// Adapters come and go (a USB dongle, rfkill), so the adapter is looked up afresh for every call.
std::optional<QString> FirstAdapter(std::chrono::milliseconds timeout) {
    const auto reply =
        Call(QDBusMessage::createMethodCall(kBluez, QStringLiteral("/"),
                                            QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                            QStringLiteral("GetManagedObjects")),
             timeout);
    if (!reply || reply->size() != 1 || !reply->at(0).canConvert<QDBusArgument>() ||
        reply->at(0).value<QDBusArgument>().currentSignature() != QLatin1String("a{oa{sa{sv}}}")) {
        return std::nullopt;
    }
    const auto objects = qdbus_cast<ManagedObjects>(reply->at(0));
    for (auto object = objects.cbegin(); object != objects.cend(); ++object) {
        if (object.value().contains(kAdapter)) {
            return object.key().path();
        }
    }
    return std::nullopt;
}

std::optional<bool> ReadFlag(const QString& adapter, const QString& name, std::chrono::milliseconds timeout) {
    QDBusMessage get = QDBusMessage::createMethodCall(kBluez, adapter, kProperties, QStringLiteral("Get"));
    get << kAdapter << name;
    const auto reply = Call(get, timeout);
    if (!reply || reply->size() != 1) {
        return std::nullopt;
    }
    const QVariant value = reply->at(0).value<QDBusVariant>().variant();
    if (value.typeId() != QMetaType::Bool) {
        return std::nullopt;
    }
    return value.toBool();
}

bool WriteFlag(const QString& adapter, const QString& name, bool on, std::chrono::milliseconds timeout) {
    QDBusMessage set = QDBusMessage::createMethodCall(kBluez, adapter, kProperties, QStringLiteral("Set"));
    set << kAdapter << name << QVariant::fromValue(QDBusVariant(on));
    return Call(set, timeout).has_value();
}

} // namespace

BluezRadio::BluezRadio(std::chrono::milliseconds timeout) : m_timeout(timeout) {}

std::optional<int> BluezRadio::GetMode() {
    const auto adapter = FirstAdapter(m_timeout);
    if (!adapter) {
        return std::nullopt;
    }
    const auto powered = ReadFlag(*adapter, QStringLiteral("Powered"), m_timeout);
    if (!powered) {
        return std::nullopt;
    }
    if (!*powered) {
        return BTH_POWER_OFF;
    }
    const auto discoverable = ReadFlag(*adapter, QStringLiteral("Discoverable"), m_timeout);
    if (!discoverable) {
        return std::nullopt;
    }
    return *discoverable ? BTH_DISCOVERABLE : BTH_CONNECTABLE;
}

bool BluezRadio::SetMode(int mode) {
    // The program only ever switches the radio on for a connection or off to save power; making
    // the machine visible to strangers is left to the desktop's own settings.
    if (mode != BTH_POWER_OFF && mode != BTH_CONNECTABLE) {
        return false;
    }
    const auto adapter = FirstAdapter(m_timeout);
    if (!adapter) {
        return false;
    }
    if (mode == BTH_POWER_OFF) {
        return WriteFlag(*adapter, QStringLiteral("Powered"), false, m_timeout);
    }
    // Powered first: BlueZ may refuse to change the visibility of a radio that is off.
    return WriteFlag(*adapter, QStringLiteral("Powered"), true, m_timeout) &&
           WriteFlag(*adapter, QStringLiteral("Discoverable"), false, m_timeout);
}

} // namespace platform::device
