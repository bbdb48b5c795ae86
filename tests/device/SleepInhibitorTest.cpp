#include "platform/device/SleepInhibitor.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>

#include <array>
#include <vector>

using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using platform::device::SleepInhibitor;

namespace {

// The elements of an array answer, each read from the argument by take.
template <typename Element, typename Take>
std::vector<Element> Elements(const QDBusMessage& reply, Take take) {
    std::vector<Element> elements;
    const auto list = reply.arguments().value(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        list.beginStructure();
        elements.push_back(take(list));
        list.endStructure();
    }
    list.endArray();
    return elements;
}

// What, who and mode of each inhibitor the mock logind holds; it drops one when every copy of its
// descriptor is closed.
std::vector<std::array<QString, 3>> LogindInhibitors() {
    return Elements<std::array<QString, 3>>(BusCall(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                                                    u"org.freedesktop.login1.Manager"_s, u"ListInhibitors"_s),
                                            [](const QDBusArgument& inhibitor) {
                                                QString what, who, why, mode;
                                                uint user = 0, process = 0;
                                                inhibitor >> what >> who >> why >> mode >> user >> process;
                                                return std::array{what, who, mode};
                                            });
}

// Our desktop portal (device/mock_portal.py): the window and flags of each Inhibit call it received,
// and how many of its inhibitors are held.
const QString kPortal = u"org.freedesktop.portal.Desktop"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kMock = u"org.freedesktop.DBus.Mock"_s;

std::vector<std::pair<QString, uint>> PortalInhibitCalls() {
    return Elements<std::pair<QString, uint>>(
        BusCall(kPortal, kPortalPath, kMock, u"GetMethodCalls"_s, {u"Inhibit"_s}),
        [](const QDBusArgument& call) {
            qulonglong when = 0;
            QVariantList arguments;
            call >> when >> arguments;
            return std::pair(arguments.value(0).toString(), arguments.value(1).toUInt());
        });
}

int PortalHeldRequests() {
    const QDBusMessage reply = BusCall(kPortal, kPortalPath, kMock, u"HeldRequests"_s);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toStringList().size() : -1;
}

class SleepInhibitorTest : public PrivateBusTest {
protected:
    void StartMockPortal() { StartMock(kPortal, {"--session", "--template", AMBULO_MOCK_PORTAL}); }
};

TEST_F(SleepInhibitorTest, ThePortalInhibitsSuspendOnceAndTheRequestIsClosedOnRelease) {
    {
        SleepInhibitor inhibitor;
        // With neither the portal nor logind nothing is held, and the next request tries again.
        inhibitor.KeepAwake(true);
        inhibitor.KeepAwake(false);
        inhibitor.KeepAwake(true);
        StartMockPortal();
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
    StartMock(u"org.freedesktop.login1"_s, {"--system", "--template", "logind"});
    SleepInhibitor inhibitor;
    inhibitor.KeepAwake(true);
    inhibitor.KeepAwake(true);
    using Inhibitors = std::vector<std::array<QString, 3>>;
    EXPECT_EQ(LogindInhibitors(), (Inhibitors{{u"sleep:idle"_s, u"Ambulo"_s, u"block"_s}}));
    {
        // A program started meanwhile must not inherit the descriptor and keep the machine up.
        ChildProcess started({"/bin/sleep", "60"});
        inhibitor.KeepAwake(false);
        EXPECT_TRUE(QTest::qWaitFor([] { return LogindInhibitors().empty(); }, 5000))
            << "a copy of the descriptor stays open";
    }
}

} // namespace
