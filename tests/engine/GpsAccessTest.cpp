#include "engine/MyAmbuloDoc.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

using platform::GPS_POSITION;
using platform::SYSTEMTIME;

namespace {

constexpr SYSTEMTIME kReceiverTime{2008, 1, 2, 15, 0, 30, 0, 0};

platform::ScriptedGpsSource::Answer Fix(std::uint32_t fields, bool ok = true) {
    GPS_POSITION fix;
    fix.dwValidFields = fields;
    fix.stUTCTime = kReceiverTime;
    fix.dblLatitude = 35.5;
    return {ok, fix};
}

} // namespace

TEST(GpsAccess, FailedOpenIsReportedOnceUntilTheReceiverIsBack) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    t.gps.openSucceeds = false;
    EXPECT_FALSE(doc.OpenGps());
    ASSERT_EQ(t.messages.shown.size(), 1U);
    EXPECT_EQ(t.messages.shown[0].text, "GPS の初期化に失敗しました!");
    EXPECT_EQ(t.messages.shown[0].caption, "エラー");
    // Without a connection a position poll fails and opens again at once, quietly now.
    EXPECT_FALSE(doc.PollDeviceState());
    EXPECT_FALSE(doc.PollPosition());
    EXPECT_EQ(t.gps.openCalls, 2);
    EXPECT_EQ(t.messages.shown.size(), 1U);

    t.gps.openSucceeds = true;
    ASSERT_TRUE(doc.OpenGps());
    t.gps.openSucceeds = false;
    EXPECT_FALSE(doc.OpenGps());
    EXPECT_EQ(t.messages.shown.size(), 2U);
}

TEST(GpsAccess, CloseKeepsAFailedConnectionUntilTheNextOpenReleasesIt) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    EXPECT_TRUE(doc.CloseGps()); // nothing open: the source is not asked
    EXPECT_EQ(t.gps.closeCalls, 0);

    ASSERT_TRUE(doc.OpenGps());
    t.gps.closeSucceeds = false;
    EXPECT_FALSE(doc.CloseGps());
    EXPECT_TRUE(doc.m_hGPS);
    ASSERT_TRUE(doc.OpenGps());
    EXPECT_EQ(t.gps.mostLiveConnections, 1); // the old one went before the new one came
    t.gps.closeSucceeds = true;
    EXPECT_TRUE(doc.CloseGps());
    EXPECT_EQ(t.gps.liveConnections, 0);
}

TEST(GpsAccess, CheckedFlagsNeedTimePositionAndSpeedAndTakeTheDeviceTime) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    ASSERT_TRUE(doc.OpenGps());
    t.gps.positions = {Fix(0xF), Fix(0x7 | 0xC0)};
    ASSERT_TRUE(doc.PollPosition());
    EXPECT_EQ(t.gps.lastMaxAgeMs, 2000U);
    EXPECT_EQ(doc.m_posCurrent.stUTCTime, t.clock.LocalNow());

    EXPECT_FALSE(doc.PollPosition()); // no speed
    EXPECT_EQ(doc.m_posCurrent.dblLatitude, 0.0);
    EXPECT_EQ(t.gps.openCalls, 1); // an unusable fix is no failure of the receiver

    doc.m_bIgnoreGpsFlags = 1;
    t.gps.positions = {Fix(0)};
    ASSERT_TRUE(doc.PollPosition());
    EXPECT_EQ(doc.m_posCurrent.stUTCTime, kReceiverTime);
}

TEST(GpsAccess, FailedPollClosesAndReopensQuietly) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    ASSERT_TRUE(doc.OpenGps());
    t.gps.positions = {Fix(0xF, false)};
    EXPECT_FALSE(doc.PollPosition());
    EXPECT_EQ(doc.m_posCurrent.dwValidFields, 0U);
    EXPECT_EQ(t.gps.closeCalls, 1);
    EXPECT_EQ(t.gps.openCalls, 2);
    EXPECT_TRUE(t.messages.shown.empty());

    ASSERT_TRUE(doc.PollDeviceState());
    EXPECT_EQ(doc.m_gpsDevice.dwDeviceState, 1U);
    t.gps.deviceStateSucceeds = false;
    EXPECT_FALSE(doc.PollDeviceState());
    EXPECT_EQ(doc.m_gpsDevice.dwServiceState, 0U);
}

TEST(Bluetooth, SwitchesOnlyWhenTheModeDiffers) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    t.radio.mode = platform::BTH_DISCOVERABLE;
    EXPECT_TRUE(doc.IsBluetoothOn());
    doc.SetBluetooth(true); // already on
    doc.SetBluetooth(false);
    doc.SetBluetooth(false); // already off
    doc.SetBluetooth(true);
    EXPECT_EQ(t.radio.setCalls, (std::vector<int>{0, 1}));

    // A radio whose mode cannot be read counts as off, and is switched either way.
    t.radio.readable = false;
    EXPECT_FALSE(doc.IsBluetoothOn());
    doc.SetBluetooth(true);
    doc.SetBluetooth(false);
    EXPECT_EQ(t.radio.setCalls, (std::vector<int>{0, 1, 1, 0}));
}
