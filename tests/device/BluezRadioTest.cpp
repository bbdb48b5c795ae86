#include "platform/device/BluezRadio.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::device::BluezRadio;

namespace {

const QString kBluez = QStringLiteral("org.bluez");
const QString kAdapter = QStringLiteral("org.bluez.Adapter1");

QString AddAdapter(const QString& device) {
    const QDBusMessage reply = BusCall(kBluez, QStringLiteral("/"), QStringLiteral("org.bluez.Mock"),
                                       QStringLiteral("AddAdapter"), {device, QStringLiteral("Ambulo test")});
    return reply.arguments().value(0).toString();
}

void SetFlag(const QString& adapter, const QString& name, bool on) {
    const QDBusMessage reply =
        BusCall(kBluez, adapter, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                {kAdapter, name, QVariant::fromValue(QDBusVariant(on))});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
}

std::optional<bool> Flag(const QString& adapter, const QString& name) {
    const QDBusMessage reply = BusCall(kBluez, adapter, QStringLiteral("org.freedesktop.DBus.Properties"),
                                       QStringLiteral("Get"), {kAdapter, name});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    return reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

class BluezRadioTest : public PrivateBusTest {
protected:
    void StartBluez() { StartMock(kBluez, {"--system", "--template", "bluez5"}); }
};

TEST_F(BluezRadioTest, WithoutBluezTheRadioCannotBeReadOrSwitched) {
    ASSERT_FALSE(HasOwner(kBluez));
    BluezRadio radio;
    EXPECT_EQ(radio.GetMode(), std::nullopt);
    EXPECT_FALSE(radio.SetMode(platform::BTH_CONNECTABLE));
}

TEST_F(BluezRadioTest, WithoutAnAdapterTheRadioCannotBeReadOrSwitched) {
    StartBluez();
    BluezRadio radio;
    EXPECT_EQ(radio.GetMode(), std::nullopt);
    EXPECT_FALSE(radio.SetMode(platform::BTH_CONNECTABLE));
    EXPECT_FALSE(radio.SetMode(platform::BTH_POWER_OFF));
}

TEST_F(BluezRadioTest, ModeFollowsPoweredAndDiscoverable) {
    StartBluez();
    const QString adapter = AddAdapter(QStringLiteral("hci0"));
    BluezRadio radio;
    SetFlag(adapter, QStringLiteral("Powered"), true);
    SetFlag(adapter, QStringLiteral("Discoverable"), false);
    EXPECT_EQ(radio.GetMode(), platform::BTH_CONNECTABLE);
    SetFlag(adapter, QStringLiteral("Discoverable"), true);
    EXPECT_EQ(radio.GetMode(), platform::BTH_DISCOVERABLE);
    // A radio that is off is off, whatever its visibility setting says.
    SetFlag(adapter, QStringLiteral("Powered"), false);
    EXPECT_EQ(radio.GetMode(), platform::BTH_POWER_OFF);
}

TEST_F(BluezRadioTest, SwitchesTheRadioOnUndiscoverableAndOff) {
    StartBluez();
    const QString adapter = AddAdapter(QStringLiteral("hci0"));
    SetFlag(adapter, QStringLiteral("Powered"), false);
    SetFlag(adapter, QStringLiteral("Discoverable"), true);
    BluezRadio radio;

    ASSERT_TRUE(radio.SetMode(platform::BTH_CONNECTABLE));
    EXPECT_EQ(Flag(adapter, QStringLiteral("Powered")), true);
    EXPECT_EQ(Flag(adapter, QStringLiteral("Discoverable")), false);

    ASSERT_TRUE(radio.SetMode(platform::BTH_POWER_OFF));
    EXPECT_EQ(Flag(adapter, QStringLiteral("Powered")), false);

    // Making the machine visible is not the program's business.
    EXPECT_FALSE(radio.SetMode(platform::BTH_DISCOVERABLE));
    EXPECT_EQ(Flag(adapter, QStringLiteral("Powered")), false);
    EXPECT_EQ(Flag(adapter, QStringLiteral("Discoverable")), false);
}

TEST_F(BluezRadioTest, GivesUpOnABluezThatDoesNotAnswer) {
    StartBluez();
    AddAdapter(QStringLiteral("hci0"));
    BusCall(kBluez, QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.Mock"),
            QStringLiteral("AddMethod"),
            {QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"),
             QString(), QStringLiteral("a{oa{sa{sv}}}"), QStringLiteral("time.sleep(5)")});
    BluezRadio radio(200ms);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(radio.GetMode(), std::nullopt);
    EXPECT_FALSE(radio.SetMode(platform::BTH_CONNECTABLE));
    // Well short of QtDBus's own 25 s default.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

} // namespace
