#include "engine/MyAmbuloDoc.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

using platform::GPS_POSITION;
using platform::SYSTEMTIME;

namespace {

constexpr SYSTEMTIME kReceiverTime{2008, 1, 2, 15, 0, 30, 0, 0};

platform::ScriptedGpsSource::Answer Fix(std::uint32_t fields, bool ok = true) {
    return {ok, GPS_POSITION{fields, kReceiverTime, 35.5}};
}

class DocTest : public ::testing::Test {
protected:
    // Processes a fix stamped `second` (under 60) seconds after 10:00:00.
    bool Feed(double latitude, double longitude, int second, float seaLevel = 0.0F) {
        const SYSTEMTIME time{2008, 1, 2, 15, 10, 0, static_cast<std::uint16_t>(second)};
        doc.m_posCurrent = {
            0xF | platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL, time, latitude, longitude, 0, seaLevel};
        return doc.ProcessFix();
    }
    // On the equator at 90 degrees east, fixes that differ only in height are exactly their
    // height difference apart, which lets a test hit a threshold to the last bit.
    bool FeedHeight(float height, int second) { return Feed(0.0, 90.0, second, height); }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
};

} // namespace

// One receiver through its life. A failed open is said once until an open succeeds; a failed poll
// closes and reopens quietly; a failed close keeps the connection until the next open releases it.
// A checked fix is timed by the device clock, and the receiver's own UTC time is kept apart.
TEST_F(DocTest, ReceiverIsOpenedPolledAndClosed) {
    const auto calls = [&] { return std::tuple(t.gps.openCalls, t.gps.closeCalls, t.messages.shown.size()); };
    EXPECT_TRUE(doc.CloseGps()); // nothing open: the source is not asked
    t.gps.openSucceeds = false;
    EXPECT_FALSE(doc.OpenGps());
    EXPECT_FALSE(doc.PollDeviceState());
    EXPECT_FALSE(doc.PollPosition()); // without a connection it opens again at once
    EXPECT_EQ(calls(), std::tuple(2, 0, 1U));
    EXPECT_EQ(t.messages.shown[0].text, "GPS の初期化に失敗しました!");
    EXPECT_EQ(t.messages.shown[0].caption, "エラー");

    t.gps.openSucceeds = true;
    ASSERT_TRUE(doc.OpenGps());
    t.gps.positions = {Fix(0xF, false), Fix(0xF), Fix(0x7 | 0xC0)};
    EXPECT_FALSE(doc.PollPosition()); // closed and opened again
    EXPECT_EQ(doc.m_posCurrent.dwValidFields, 0U);
    ASSERT_TRUE(doc.PollPosition());
    EXPECT_EQ(t.gps.lastMaxAgeMs, 2000U);
    EXPECT_EQ(doc.m_posCurrent.stUTCTime, t.clock.LocalNow());
    EXPECT_EQ(doc.m_stFixUtc, kReceiverTime);
    EXPECT_FALSE(doc.PollPosition()); // no speed, which is no failure of the receiver
    EXPECT_EQ(doc.m_posCurrent.dblLatitude, 0.0);
    EXPECT_FALSE(doc.m_stFixUtc);
    doc.m_bIgnoreGpsFlags = 1;
    t.gps.positions = {Fix(0)};
    ASSERT_TRUE(doc.PollPosition());
    EXPECT_EQ(doc.m_posCurrent.stUTCTime, kReceiverTime);
    EXPECT_FALSE(doc.m_stFixUtc); // it carried no time

    ASSERT_TRUE(doc.PollDeviceState());
    EXPECT_EQ(doc.m_gpsDevice.dwDeviceState, 1U);
    t.gps.deviceStateSucceeds = false;
    EXPECT_FALSE(doc.PollDeviceState());
    EXPECT_EQ(doc.m_gpsDevice.dwServiceState, 0U);

    t.gps.closeSucceeds = false;
    EXPECT_FALSE(doc.CloseGps());
    EXPECT_TRUE(doc.m_hGPS);
    ASSERT_TRUE(doc.OpenGps());
    EXPECT_EQ(t.gps.mostLiveConnections, 1); // the old one went before the new one came
    t.gps.closeSucceeds = true;
    EXPECT_TRUE(doc.CloseGps());
    EXPECT_EQ(t.gps.liveConnections, 0);
    t.gps.openSucceeds = false;
    EXPECT_FALSE(doc.OpenGps());
    EXPECT_EQ(calls(), std::tuple(6, 3, 2U));
}

// A radio whose mode cannot be read counts as off, and is switched either way.
TEST_F(DocTest, BluetoothSwitchesOnlyWhenTheModeDiffers) {
    t.radio.mode = platform::BTH_DISCOVERABLE;
    EXPECT_TRUE(doc.IsBluetoothOn());
    for (const bool on : {true, false, false, true}) {
        doc.SetBluetooth(on);
    }
    t.radio.readable = false;
    EXPECT_FALSE(doc.IsBluetoothOn());
    doc.SetBluetooth(true);
    doc.SetBluetooth(false);
    EXPECT_EQ(t.radio.setCalls, (std::vector<int>{0, 1, 1, 0}));
}

// A fix off the earth that slips through becomes the glitch reference, so the good fix after it fails.
TEST_F(DocTest, FirstFixStartsTheWorkoutAndNothingThatIsNotANumberReachesTheTotals) {
    EXPECT_FALSE(Feed(0.0, 0.0, 0)); // no position yet, even as the first fix
    doc.m_nMaxSpeed10 = 77;          // only a fresh Start resets it
    doc.m_dblTotalDistance = 5.0;
    ASSERT_TRUE(Feed(35.25, 139.5, 0, 12.5F));
    EXPECT_EQ(std::tuple(doc.m_bAwaitFirstFix, doc.m_dblTotalDistance, doc.m_nMaxSpeed10,
                         doc.m_posStart.dblLatitude),
              std::tuple(0, 0.0, 77, 35.25));
    // The maximum ends too start at the first fix (the later fixes reach further, and would hide it).
    EXPECT_EQ(std::pair(doc.m_dblMaxLat, doc.m_dblMaxLon), std::pair(35.25, 139.5));
    ASSERT_EQ(doc.RoutePointCount(), 1);
    EXPECT_EQ(doc.m_route[0].dblLongitude, 139.5);
    doc.m_posCurrent = {}; // a tick without a usable fix: the last accepted position
    doc.AddCheckpoint();
    ASSERT_EQ(doc.m_checkpoints.size(), 2U); // the first at the first fix
    EXPECT_EQ(doc.m_checkpoints[0].stTime, t.clock.LocalNow());
    EXPECT_EQ(std::pair(doc.m_checkpoints[1].dblLatitude, doc.m_checkpoints[1].dblAltitude),
              std::pair(35.25, 12.5));

    const float inf = std::numeric_limits<float>::infinity();
    // latitude, longitude, height, second, and whether the fix is taken.
    const std::tuple<double, double, float, int, bool> fixes[] = {
        {35.2502, 139.5001, 0.0F, 10, true},    {std::nan(""), 139.5, 0.0F, 11, false},
        {35.25, 400.0, 0.0F, 12, false},        {35.2502, 139.5001, inf, 13, false},
        {35.2499, 139.4998, 0.0F, 20, true},    {35.2499, 139.4998, 3.0e30F, 21, false}, // a glitch
        {35.2499, 139.4998, 3.0e30F, 22, true}, // from the glitch: an absurd speed, which saturates
    };
    doc.m_dblWeightKg = std::numeric_limits<double>::infinity(); // the settings file may hold it
    for (const auto& [latitude, longitude, height, second, taken] : fixes) {
        EXPECT_EQ(Feed(latitude, longitude, second, height), taken) << second;
    }
    EXPECT_EQ(std::vector({doc.m_dblMinLat, doc.m_dblMaxLat, doc.m_dblMinLon, doc.m_dblMaxLon}),
              (std::vector{35.2499, 35.2502, 139.4998, 139.5001}));
    EXPECT_TRUE(std::isfinite(doc.m_dblTotalKcal));
    EXPECT_EQ(doc.m_nMaxSpeed10, std::numeric_limits<int>::max());
}

// 70 kg, with the minimum step of 2 m. Energy is seconds x kg x METs x 1.05 / 3600.
TEST_F(DocTest, StepsAreTakenTimedCountedAndDrawn) {
    // height, second; then whether the step is taken, its distance, seconds and kcal, the total
    // distance and the maximum speed.
    const std::tuple<float, int, bool, double, int, double, double, int> steps[] = {
        {0, 0, true, 0, 0, 0, 0, 0},                                   // the start
        {1.5, 1, false, 1.5, 1, 0, 0, 0},                              // under the minimum
        {2, 2, true, 2, 2, 2 * 70 * 2.25 * 1.05 / 3600, 2, 36},        // small moves add up to it
        {20, 12, true, 18, 10, 10 * 70 * 3.92 * 1.05 / 3600, 20, 64},  // 6.48 km/h, truncated
        {30, 32, true, 10, 20, 20 * 70 * 1.125 * 1.05 / 3600, 30, 64}, // slower: the maximum stays
        {80, 39, true, 50, 7, 7 * 70 * 18.0 * 1.05 / 3600, 80, 257},   // exactly 50 m is no glitch
        {140, 40, false, 60, 1, 0, 80, 257},                           // a glitch
        {143, 44, true, 63, 5, 5 * 70 * 18.0 * 1.05 / 3600, 143, 453}, // the glitch is the reference
        {153, 44, true, 10, 0, 0, 153, 453},                           // the same time stamp: no speed
        {163, 40, true, 10, -4, 0, 163, 453},                          // the clock went back
    };
    doc.m_dblWeightKg = 70.0;
    for (const auto& [height, second, taken, distance, seconds, stepKcal, total, maxSpeed10] : steps) {
        SCOPED_TRACE(height);
        EXPECT_EQ(FeedHeight(height, second), taken);
        EXPECT_EQ(
            std::tuple(doc.m_dblStepDistance, doc.m_nStepSeconds, doc.m_dblTotalDistance, doc.m_nMaxSpeed10),
            std::tuple(distance, seconds, total, maxSpeed10));
        EXPECT_NEAR(doc.m_dblStepKcal, stepKcal, 1e-12);
    }
    EXPECT_NEAR(doc.m_dblTotalKcal, (2 * 2.25 + 10 * 3.92 + 20 * 1.125 + 12 * 18.0) * 70 * 1.05 / 3600,
                1e-12);
    EXPECT_EQ(doc.RoutePointCount(), 8);

    // The next workout's route starts afresh, unless the map stays centred on the start: then
    // the last route stays, and nothing is added.
    doc.m_bAwaitFirstFix = 1;
    ASSERT_TRUE(FeedHeight(170.0F, 50));
    doc.m_bCenterOnStart = 1;
    doc.m_bAwaitFirstFix = 1;
    ASSERT_TRUE(FeedHeight(180.0F, 55));
    ASSERT_TRUE(FeedHeight(190.0F, 59));
    EXPECT_EQ(doc.RoutePointCount(), 1);
}
