#include "platform/device/BluezRadio.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusVariant>

#include <future>

using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using platform::device::BluezRadio;

namespace {

const QString kBluez = u"org.bluez"_s;
const QString kAdapter = u"org.bluez.Adapter1"_s;
const QString kProperties = u"org.freedesktop.DBus.Properties"_s;

using BluezRadioTest = PrivateBusTest;

TEST_F(BluezRadioTest, ModeFollowsPoweredAndDiscoverableAndSwitchesTheRadioOnUndiscoverableOrOffInTime) {
    BluezRadio radio;
    // Without BlueZ or an adapter the radio can be neither read nor switched.
    ASSERT_FALSE(HasOwner(kBluez));
    EXPECT_EQ(radio.GetMode(), std::nullopt);
    EXPECT_FALSE(radio.SetMode(platform::BTH_CONNECTABLE));
    StartMock(kBluez, {"--system", "--template", "bluez5"});
    EXPECT_EQ(radio.GetMode(), std::nullopt);
    EXPECT_FALSE(radio.SetMode(platform::BTH_CONNECTABLE));
    EXPECT_FALSE(radio.SetMode(platform::BTH_POWER_OFF));

    const QDBusMessage added =
        BusCall(kBluez, u"/"_s, u"org.bluez.Mock"_s, u"AddAdapter"_s, {u"hci0"_s, u"Ambulo test"_s});
    const QString adapter = added.arguments().value(0).toString();
    const auto setFlag = [&](const QString& name, bool on) {
        const QDBusMessage reply = BusCall(kBluez, adapter, kProperties, u"Set"_s,
                                           {kAdapter, name, QVariant::fromValue(QDBusVariant(on))});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    };
    // The adapter's property, or nothing valid when it cannot be read.
    const auto flag = [&](const QString& name) {
        const QDBusMessage reply = BusCall(kBluez, adapter, kProperties, u"Get"_s, {kAdapter, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    };
    // A radio that is off is off, whatever its visibility setting says.
    for (const auto& [powered, discoverable, mode] : {std::tuple{true, false, platform::BTH_CONNECTABLE},
                                                      {true, true, platform::BTH_DISCOVERABLE},
                                                      {false, true, platform::BTH_POWER_OFF}}) {
        setFlag(u"Powered"_s, powered);
        setFlag(u"Discoverable"_s, discoverable);
        EXPECT_EQ(radio.GetMode(), mode) << powered << discoverable;
    }

    ASSERT_TRUE(radio.SetMode(platform::BTH_CONNECTABLE));
    EXPECT_EQ(flag(u"Powered"_s), true);
    EXPECT_EQ(flag(u"Discoverable"_s), false);
    ASSERT_TRUE(radio.SetMode(platform::BTH_POWER_OFF));
    EXPECT_EQ(flag(u"Powered"_s), false);
    // Making the machine visible is not the program's business.
    EXPECT_FALSE(radio.SetMode(platform::BTH_DISCOVERABLE));
    EXPECT_EQ(flag(u"Powered"_s), false);
    EXPECT_EQ(flag(u"Discoverable"_s), false);

    // BlueZ hangs far longer than QtDBus's own 25 s default, and the wait below ends before that
    // default would: only the radio's own timeout lets the calls come back in time.
    BusCall(kBluez, u"/"_s, u"org.freedesktop.DBus.Mock"_s, u"AddMethod"_s,
            {u"org.freedesktop.DBus.ObjectManager"_s, u"GetManagedObjects"_s, QString(), u"a{oa{sa{sv}}}"_s,
             u"time.sleep(300)"_s});
    BluezRadio impatient(200ms);
    auto calls = std::async(std::launch::async, [&] {
        return std::pair(impatient.GetMode(), impatient.SetMode(platform::BTH_CONNECTABLE));
    });
    ASSERT_EQ(calls.wait_for(20s), std::future_status::ready);
    EXPECT_EQ(calls.get(), std::pair(std::optional<int>(), false));
}

} // namespace
