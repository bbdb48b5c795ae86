#include "engine/MyAmbuloDoc.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

using platform::GPS_POSITION;
using platform::SYSTEMTIME;

namespace {

GPS_POSITION FixWithFields(std::uint32_t fields) {
    GPS_POSITION fix;
    fix.dwValidFields = fields;
    fix.stUTCTime = SYSTEMTIME{2008, 1, 2, 15, 0, 30, 0, 0}; // the receiver's UTC time
    fix.dblLatitude = 35.5;
    fix.dblLongitude = 139.5;
    return fix;
}

} // namespace

TEST(GpsAccess, FailedOpenShowsTheErrorEveryTime) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    t.gps.openSucceeds = false;
    EXPECT_FALSE(doc.OpenGps());
    EXPECT_FALSE(doc.m_hGPS);
    ASSERT_EQ(t.messages.shown.size(), 1U);
    EXPECT_EQ(t.messages.shown[0].text, "GPS の初期化に失敗しました!");
    EXPECT_EQ(t.messages.shown[0].caption, "エラー");

    // Without a connection the device state fails (the tick reopens then); a position poll
    // reopens at once, with the message again.
    EXPECT_FALSE(doc.PollDeviceState());
    EXPECT_FALSE(doc.PollPosition());
    EXPECT_EQ(t.gps.openCalls, 2);
    EXPECT_EQ(t.messages.shown.size(), 2U);
}

TEST(GpsAccess, CloseKeepsAFailedConnectionUntilTheNextOpenReleasesIt) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    EXPECT_TRUE(doc.CloseGps()); // nothing open: no call to the source
    EXPECT_EQ(t.gps.closeCalls, 0);

    ASSERT_TRUE(doc.OpenGps());
    t.gps.closeSucceeds = false;
    EXPECT_FALSE(doc.CloseGps());
    EXPECT_TRUE(doc.m_hGPS);
    EXPECT_EQ(t.gps.liveConnections, 1);

    ASSERT_TRUE(doc.OpenGps());
    EXPECT_EQ(t.gps.liveConnections, 1);
    EXPECT_EQ(t.gps.mostLiveConnections, 1); // the old one went before the new one came

    t.gps.closeSucceeds = true;
    EXPECT_TRUE(doc.CloseGps());
    EXPECT_FALSE(doc.m_hGPS);
    EXPECT_EQ(t.gps.liveConnections, 0);
}

TEST(GpsAccess, CheckedFlagsNeedTimePositionAndSpeedAndTakeTheDeviceTime) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    ASSERT_TRUE(doc.OpenGps());
    t.gps.positions.push_back({true, FixWithFields(0xF)});
    t.gps.positions.push_back({true, FixWithFields(0x7 | 0xC0)}); // no speed

    ASSERT_TRUE(doc.PollPosition());
    EXPECT_EQ(t.gps.lastMaxAgeMs, 2000U);
    EXPECT_EQ(doc.m_posCurrent.stUTCTime, t.clock.LocalNow());
    EXPECT_DOUBLE_EQ(doc.m_posCurrent.dblLatitude, 35.5);

    EXPECT_FALSE(doc.PollPosition());
    EXPECT_EQ(doc.m_posCurrent.dwValidFields, 0U);
    EXPECT_DOUBLE_EQ(doc.m_posCurrent.dblLatitude, 0.0);
    EXPECT_EQ(t.gps.openCalls, 1); // an unusable fix is not a failure of the receiver
}

TEST(GpsAccess, IgnoredFlagsPassTheFixAsReceived) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    doc.m_bIgnoreGpsFlags = 1;
    ASSERT_TRUE(doc.OpenGps());
    t.gps.positions.push_back({true, FixWithFields(0)});
    ASSERT_TRUE(doc.PollPosition());
    EXPECT_EQ(doc.m_posCurrent.dwValidFields, 0U);
    EXPECT_EQ(doc.m_posCurrent.stUTCTime, FixWithFields(0).stUTCTime);
}

TEST(GpsAccess, FailedPollReopensInTheSameCall) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    ASSERT_TRUE(doc.OpenGps());
    t.gps.positions.push_back({false, FixWithFields(0xF)});
    EXPECT_FALSE(doc.PollPosition());
    EXPECT_EQ(doc.m_posCurrent.dwValidFields, 0U);
    EXPECT_EQ(t.gps.closeCalls, 1);
    EXPECT_EQ(t.gps.openCalls, 2);
    EXPECT_TRUE(doc.m_hGPS);
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
    doc.SetBluetooth(true);
    EXPECT_TRUE(t.radio.setCalls.empty());
    doc.SetBluetooth(false);
    EXPECT_EQ(t.radio.setCalls, std::vector<int>{0});

    doc.SetBluetooth(false); // already off
    EXPECT_EQ(t.radio.setCalls.size(), 1U);
    doc.SetBluetooth(true);
    EXPECT_EQ(t.radio.setCalls, (std::vector<int>{0, 1}));
}

TEST(Bluetooth, AnUnreadableRadioCountsAsOffAndIsSwitchedEitherWay) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    t.radio.readable = false;
    EXPECT_FALSE(doc.IsBluetoothOn());
    doc.SetBluetooth(true);
    doc.SetBluetooth(false);
    EXPECT_EQ(t.radio.setCalls, (std::vector<int>{1, 0}));
}
