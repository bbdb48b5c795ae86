#include "view/MainScreen.h"

#include "engine/MyAmbuloDoc.h"
#include "platform/device/SleepInhibitor.h"
#include "support/PrivateBus.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using MainScreenKeepAwakeTest = PrivateBusTest;

// The screen with the real inhibitor against the mock portal: taken when the rule starts to hold,
// released when it stops, never taken again while it holds.
TEST_F(MainScreenKeepAwakeTest, TheMachineIsHeldWhileMeasuringOrWhileTheIdleSettingIsOn) {
    StartMockPortal();
    // After opening, start, rest, resume, finish and exit: the inhibitors held, the Inhibit calls so far.
    const struct {
        int keepAwakeIdle;
        int held[6];
        int taken[6];
    } cases[] = {
        {0, {0, 1, 0, 1, 0, 0}, {0, 1, 1, 2, 2, 2}},
        {1, {1, 1, 1, 1, 1, 0}, {1, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(BusCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                          QStringLiteral("/org/freedesktop/portal/desktop"),
                          QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("ClearCalls"))
                      .type(),
                  QDBusMessage::ReplyMessage);
        TestServices t;
        platform::device::SleepInhibitor power;
        CMyAmbuloDoc doc{{t.temp.root(), t.clock, t.messages, t.gps, t.radio, t.sound, power, t.shell}};
        doc.m_bKeepAwakeIdle = c.keepAwakeIdle;
        MainScreenHooks hooks;
        CMainScreen screen{doc, hooks};
        t.gps.positions.push_back({true, platform::GPS_POSITION{0xFU}}); // the receiver gets ready
        const std::function<void()> steps[] = {[&] {
                                                   screen.OnInitialUpdate();
                                                   screen.OnTimer();
                                               },
                                               [&] { screen.OnStartButton(); },
                                               [&] { screen.OnRestButton(); },
                                               [&] { screen.OnStartButton(); },
                                               [&] { screen.OnStartButton(); },
                                               [&] { screen.Exit(); }};
        for (int i = 0; i < 6; ++i) {
            steps[i]();
            EXPECT_EQ(PortalHeldRequests(), c.held[i])
                << "idle setting " << c.keepAwakeIdle << ", step " << i;
            EXPECT_EQ(PortalInhibitCalls().size(), static_cast<size_t>(c.taken[i]))
                << "idle setting " << c.keepAwakeIdle << ", step " << i;
        }
    }
}

} // namespace
