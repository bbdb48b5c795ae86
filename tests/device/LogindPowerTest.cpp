#include "platform/device/LogindPower.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::device::LogindPower;

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");

void SetIdle(const QString& action, qulonglong microseconds) {
    for (const auto& [name, value] : {std::pair{QStringLiteral("IdleAction"), QVariant(action)},
                                      std::pair{QStringLiteral("IdleActionUSec"), QVariant(microseconds)}}) {
        const QDBusMessage reply =
            BusCall(kLogind, QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                    {QStringLiteral("org.freedesktop.login1.Manager"), name,
                     QVariant::fromValue(QDBusVariant(value))});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
}

// How often the mock screensaver was asked to count the user as active.
int ActivityCalls() {
    const QDBusMessage reply =
        BusCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetMethodCalls"),
                {QStringLiteral("SimulateUserActivity")});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return -1;
    }
    const auto calls = reply.arguments().value(0).value<QDBusArgument>();
    int count = 0;
    calls.beginArray();
    while (!calls.atEnd()) {
        qulonglong when = 0;
        QVariantList arguments;
        calls.beginStructure();
        calls >> when >> arguments;
        calls.endStructure();
        ++count;
    }
    calls.endArray();
    return count;
}

using LogindPowerTest = PrivateBusTest;

TEST_F(LogindPowerTest, PowerOffTimeoutIsTheIdleActionDelayInWholeSeconds) {
    StartMock(kLogind, {"--system", "--template", "logind", "--parameters",
                        R"({"IdleAction": "suspend", "IdleActionUSec": 1800000000})"});
    LogindPower power;
    EXPECT_EQ(power.PowerOffTimeoutSeconds(), 1800);

    SetIdle(QStringLiteral("poweroff"), 90'999'999);
    EXPECT_EQ(power.PowerOffTimeoutSeconds(), 90);
    SetIdle(QStringLiteral("poweroff"), 3'000'000'000'000'000ULL);
    EXPECT_EQ(power.PowerOffTimeoutSeconds(), INT_MAX);
}

TEST_F(LogindPowerTest, NoPowerOffWhenLogindIgnoresIdlenessOrIsAbsent) {
    StartMock(kLogind, {"--system", "--template", "logind"});
    LogindPower power;
    SetIdle(QStringLiteral("ignore"), 1'800'000'000);
    EXPECT_EQ(power.PowerOffTimeoutSeconds(), -1);
    // logind does not act on an idle time of zero.
    SetIdle(QStringLiteral("suspend"), 0);
    EXPECT_EQ(power.PowerOffTimeoutSeconds(), -1);

    StopMock();
    EXPECT_EQ(power.PowerOffTimeoutSeconds(), -1);
}

TEST_F(LogindPowerTest, ResetIdleTimerReachesTheScreenSaverWhereThereIsOne) {
    LogindPower power;
    ASSERT_FALSE(HasOwner(kScreenSaver));
    const auto start = std::chrono::steady_clock::now();
    power.ResetIdleTimer();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

    StartMock(kScreenSaver, {"--session", "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                             "org.freedesktop.ScreenSaver"});
    const QDBusMessage added =
        BusCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("AddMethod"),
                {QString(), QStringLiteral("SimulateUserActivity"), QString(), QString(), QString()});
    ASSERT_EQ(added.type(), QDBusMessage::ReplyMessage) << added.errorMessage().toStdString();
    ASSERT_EQ(ActivityCalls(), 0);
    power.ResetIdleTimer();
    power.ResetIdleTimer();
    EXPECT_TRUE(WaitFor([] { return ActivityCalls() == 2; }, 5s)) << ActivityCalls() << " calls arrived";
}

} // namespace
