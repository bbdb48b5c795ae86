#include "platform/device/SleepInhibitor.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>

#include <vector>

using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using platform::device::SleepInhibitor;

namespace {

const QString kPortal = u"org.freedesktop.portal.Desktop"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kLogind = u"org.freedesktop.login1"_s;
const QString kLogindPath = u"/org/freedesktop/login1"_s;
const QString kMock = u"org.freedesktop.DBus.Mock"_s;

// The first arguments of each Inhibit call the mock received.
std::vector<QVariantList> InhibitCalls(const QString& service, const QString& path, int count) {
    const auto log = qvariant_cast<QDBusArgument>(
        BusCall(service, path, kMock, u"GetMethodCalls"_s, {u"Inhibit"_s}).arguments().value(0));
    std::vector<QVariantList> calls;
    log.beginArray();
    while (!log.atEnd()) {
        qulonglong when = 0;
        QVariantList arguments;
        log.beginStructure();
        log >> when >> arguments;
        log.endStructure();
        calls.push_back(arguments.mid(0, count));
    }
    log.endArray();
    return calls;
}

// Whether the mock logind holds no inhibitor; it drops one when every copy of its descriptor is closed.
bool LogindHoldsNone() {
    const auto list = qvariant_cast<QDBusArgument>(
        BusCall(kLogind, kLogindPath, u"org.freedesktop.login1.Manager"_s, u"ListInhibitors"_s)
            .arguments()
            .value(0));
    list.beginArray();
    const bool none = list.atEnd();
    list.endArray();
    return none;
}

// How many of its inhibitors our desktop portal (device/mock_portal.py) holds.
int PortalHeldRequests() {
    const QDBusMessage reply = BusCall(kPortal, kPortalPath, kMock, u"HeldRequests"_s);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toStringList().size() : -1;
}

using SleepInhibitorTest = PrivateBusTest;

TEST_F(SleepInhibitorTest, ThePortalOrElseLogindHoldsTheMachineOnceUntilReleased) {
    {
        SleepInhibitor inhibitor;
        // With neither the portal nor logind nothing is held, and the next request tries again.
        inhibitor.KeepAwake(true);
        StartMock(kPortal, {"--session", "--template", AMBULO_MOCK_PORTAL});
        inhibitor.KeepAwake(true);
        inhibitor.KeepAwake(true);
        EXPECT_EQ(InhibitCalls(kPortal, kPortalPath, 2),
                  (std::vector<QVariantList>{{QString(), 4U}})); // suspend
        EXPECT_EQ(PortalHeldRequests(), 1);
        inhibitor.KeepAwake(false);
        EXPECT_EQ(PortalHeldRequests(), 0);
        inhibitor.KeepAwake(false);
        inhibitor.KeepAwake(true);
        EXPECT_EQ(InhibitCalls(kPortal, kPortalPath, 2).size(), 2U);
        EXPECT_EQ(PortalHeldRequests(), 1);
    }
    EXPECT_EQ(PortalHeldRequests(), 0); // let go when the program ends

    StopMock();
    StartMock(kLogind, {"--system", "--template", "logind"});
    SleepInhibitor inhibitor;
    inhibitor.KeepAwake(true);
    inhibitor.KeepAwake(true);
    const auto calls = InhibitCalls(kLogind, kLogindPath, 4);
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(QVariantList({calls[0][0], calls[0][1], calls[0][3]}),
              (QVariantList{u"sleep:idle"_s, u"Ambulo"_s, u"block"_s}));
    EXPECT_FALSE(LogindHoldsNone());
    // A program started meanwhile must not inherit the descriptor and keep the machine up.
    const ChildProcess started({"/bin/sleep", "60"});
    inhibitor.KeepAwake(false);
    EXPECT_TRUE(QTest::qWaitFor(LogindHoldsNone, 5000)) << "a copy of the descriptor stays open";
}

} // namespace
