#include "platform/device/SleepInhibitor.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>

#include <array>
#include <vector>

using namespace std::chrono_literals;
using platform::device::SleepInhibitor;

namespace {

// What, who and mode of each inhibitor the mock logind holds; it drops one when every copy of its
// descriptor is closed.
std::vector<std::array<QString, 3>> LogindInhibitors() {
    const QDBusMessage reply =
        BusCall(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors"));
    std::vector<std::array<QString, 3>> inhibitors;
    const auto list = reply.arguments().value(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint user = 0, process = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> user >> process;
        list.endStructure();
        inhibitors.push_back({what, who, mode});
    }
    list.endArray();
    return inhibitors;
}

using SleepInhibitorTest = PrivateBusTest;

TEST_F(SleepInhibitorTest, ThePortalInhibitsSuspendOnceAndTheRequestIsClosedOnRelease) {
    StartMockPortal();
    {
        SleepInhibitor inhibitor;
        inhibitor.KeepAwake(true);
        inhibitor.KeepAwake(true);
        EXPECT_EQ(PortalInhibitCalls(), (std::vector<std::pair<QString, uint>>{{QString(), 4}})); // suspend
        EXPECT_EQ(PortalHeldRequests(), 1);
        inhibitor.KeepAwake(false);
        EXPECT_EQ(PortalHeldRequests(), 0);
        inhibitor.KeepAwake(false);
        inhibitor.KeepAwake(true);
        EXPECT_EQ(PortalInhibitCalls().size(), 2U);
        EXPECT_EQ(PortalHeldRequests(), 1);
    }
    EXPECT_EQ(PortalHeldRequests(), 0); // let go when the program ends
}

TEST_F(SleepInhibitorTest, WithoutAPortalLogindHoldsTheMachineUntilItsDescriptorIsClosed) {
    StartMock(QStringLiteral("org.freedesktop.login1"), {"--system", "--template", "logind"});
    SleepInhibitor inhibitor;
    inhibitor.KeepAwake(true);
    inhibitor.KeepAwake(true);
    using Inhibitors = std::vector<std::array<QString, 3>>;
    EXPECT_EQ(LogindInhibitors(), (Inhibitors{{QStringLiteral("sleep:idle"), QStringLiteral("Ambulo"),
                                               QStringLiteral("block")}}));
    {
        // A program started meanwhile must not inherit the descriptor and keep the machine up.
        ChildProcess started({"/bin/sleep", "60"});
        inhibitor.KeepAwake(false);
        EXPECT_TRUE(WaitFor([] { return LogindInhibitors().empty(); }, 5s))
            << "a copy of the descriptor stays open";
    }
}

TEST_F(SleepInhibitorTest, WithNeitherNothingFailsAndTheNextRequestTriesAgain) {
    SleepInhibitor inhibitor;
    inhibitor.KeepAwake(true);
    inhibitor.KeepAwake(false);
    inhibitor.KeepAwake(true);
    StartMockPortal();
    inhibitor.KeepAwake(true);
    EXPECT_EQ(PortalInhibitCalls().size(), 1U);
    EXPECT_EQ(PortalHeldRequests(), 1);
}

} // namespace
