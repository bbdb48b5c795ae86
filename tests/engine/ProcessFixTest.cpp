#include "engine/MyAmbuloDoc.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class ProcessFixTest : public ::testing::Test {
protected:
    // Processes a fix stamped `second` seconds after 10:00:00.
    bool Feed(double latitude, double longitude, int second, float seaLevel = 0.0F) {
        platform::GPS_POSITION& fix = doc.m_posCurrent;
        fix = {0xF | platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL};
        fix.stUTCTime = {2008,
                         1,
                         2,
                         15,
                         10,
                         static_cast<std::uint16_t>(second / 60),
                         static_cast<std::uint16_t>(second % 60)};
        fix.dblLatitude = latitude;
        fix.dblLongitude = longitude;
        fix.flAltitudeWRTSeaLevel = seaLevel;
        return doc.ProcessFix();
    }
    // On the equator at 90 degrees east, fixes that differ only in height are exactly their
    // height difference apart, which lets a test hit a threshold to the last bit.
    bool FeedHeight(float height, int second) { return Feed(0.0, 90.0, second, height); }

    TestServices t;
    CMyAmbuloDoc doc{t.services()};
};

} // namespace

TEST_F(ProcessFixTest, FirstFixStartsRouteCheckpointAndBoundingBox) {
    EXPECT_FALSE(Feed(0.0, 0.0, 0)); // no position yet, even as the first fix
    EXPECT_TRUE(doc.m_checkpoints.empty());
    doc.m_nMaxSpeed10 = 77;
    doc.m_dblTotalDistance = 5.0;
    ASSERT_TRUE(Feed(35.25, 139.5, 0, 12.5F));
    EXPECT_EQ(doc.m_bAwaitFirstFix, 0);
    EXPECT_EQ(doc.m_dblTotalDistance, 0.0);
    EXPECT_EQ(doc.m_nMaxSpeed10, 77); // only a fresh Start resets it
    EXPECT_EQ(doc.m_posStart.dblLatitude, 35.25);
    EXPECT_EQ(doc.m_dblMinLat + doc.m_dblMaxLat, 2 * 35.25);
    EXPECT_EQ(doc.m_dblMinLon + doc.m_dblMaxLon, 2 * 139.5);
    ASSERT_EQ(doc.RoutePointCount(), 1);
    EXPECT_EQ(doc.m_route[0].dblLongitude, 139.5);
    ASSERT_EQ(doc.m_checkpoints.size(), 1U);
    EXPECT_EQ(doc.m_checkpoints[0].stTime, t.clock.LocalNow());
    EXPECT_EQ(doc.m_checkpoints[0].dblAltitude, 12.5);
}

TEST_F(ProcessFixTest, GlitchesAreOverFiftyMetresFromTheLastTestedFix) {
    ASSERT_TRUE(FeedHeight(0.0F, 0));
    EXPECT_TRUE(FeedHeight(50.0F, 10)); // exactly 50 passes
    EXPECT_FALSE(FeedHeight(110.0F, 11));
    EXPECT_EQ(doc.m_dblStepDistance, 60.0);
    // The glitch is the reference of the next test; the step is measured from the last accepted fix.
    EXPECT_TRUE(FeedHeight(113.0F, 12));
    EXPECT_EQ(doc.m_dblStepDistance, 63.0);
    EXPECT_EQ(doc.m_nStepSeconds, 2);
    EXPECT_EQ(doc.m_dblTotalDistance, 113.0);
}

TEST_F(ProcessFixTest, SmallMovementsAddUpToTheMinimumStep) {
    ASSERT_TRUE(FeedHeight(0.0F, 0));
    EXPECT_FALSE(FeedHeight(1.9F, 1));
    EXPECT_TRUE(FeedHeight(2.5F, 2)); // 0.6 m from the last fix, 2.5 m from the last accepted one
    doc.m_dblMinDistance = 3.0;
    EXPECT_TRUE(FeedHeight(5.5F, 3)); // exactly the minimum
    EXPECT_EQ(doc.m_dblTotalDistance, 5.5);
    EXPECT_EQ(doc.RoutePointCount(), 3);
}

TEST_F(ProcessFixTest, AcceptedStepAddsEnergySpeedAndBoundingBox) {
    ASSERT_TRUE(Feed(35.0, 139.0, 0));
    ASSERT_TRUE(Feed(35.0002, 139.0001, 10));
    ASSERT_TRUE(Feed(34.9999, 138.9998, 20));
    EXPECT_EQ(doc.m_dblMinLat, 34.9999);
    EXPECT_EQ(doc.m_dblMaxLat, 35.0002);
    EXPECT_EQ(doc.m_dblMinLon, 138.9998);
    EXPECT_EQ(doc.m_dblMaxLon, 139.0001);

    doc.m_bAwaitFirstFix = 1;
    doc.m_nMaxSpeed10 = 0;
    ASSERT_TRUE(FeedHeight(0.0F, 0));
    ASSERT_TRUE(FeedHeight(25.0F, 15)); // 25 m in 15 s is 6.0 km/h
    EXPECT_NEAR(doc.m_dblStepKcal, 15 * 60.0 * 3.55 * 1.05 / 3600, 1e-12);
    EXPECT_EQ(doc.m_dblTotalKcal, doc.m_dblStepKcal);
    EXPECT_EQ(doc.m_nMaxSpeed10, 60);
    ASSERT_TRUE(FeedHeight(35.0F, 45)); // slower: the maximum stays
    EXPECT_EQ(doc.m_nMaxSpeed10, 60);
    ASSERT_TRUE(FeedHeight(53.0F, 55)); // 18 m in 10 s is 6.48 km/h: truncated, not rounded
    EXPECT_EQ(doc.m_nMaxSpeed10, 64);
}

TEST_F(ProcessFixTest, ZeroOrNegativeSecondsCountTheDistanceButNoSpeed) {
    ASSERT_TRUE(FeedHeight(0.0F, 10));
    ASSERT_TRUE(FeedHeight(10.0F, 10)); // same time stamp
    EXPECT_EQ(doc.m_dblStepKcal, 0.0);
    ASSERT_TRUE(FeedHeight(20.0F, 5)); // the clock went back
    EXPECT_EQ(doc.m_nStepSeconds, -5);
    EXPECT_EQ(doc.m_dblTotalDistance, 20.0);
    EXPECT_EQ(doc.m_dblTotalKcal, 0.0);
    EXPECT_EQ(doc.m_nMaxSpeed10, 0);
}

TEST_F(ProcessFixTest, NothingThatIsNotANumberReachesTheTotals) {
    ASSERT_TRUE(FeedHeight(0.0F, 0));
    EXPECT_FALSE(Feed(std::nan(""), 90.0, 1));
    EXPECT_FALSE(Feed(0.0, 400.0, 2));
    EXPECT_FALSE(FeedHeight(std::numeric_limits<float>::infinity(), 3));
    doc.m_dblWeightKg = std::numeric_limits<double>::infinity(); // the settings file may hold it
    EXPECT_TRUE(FeedHeight(10.0F, 4));
    EXPECT_TRUE(std::isfinite(doc.m_dblTotalKcal));
    EXPECT_EQ(doc.m_dblTotalDistance, 10.0);

    // An absurd altitude on two fixes in a row gives an absurd speed, which saturates.
    EXPECT_FALSE(FeedHeight(3.0e30F, 5));
    EXPECT_TRUE(FeedHeight(3.0e30F, 6));
    EXPECT_EQ(doc.m_nMaxSpeed10, std::numeric_limits<int>::max());
}

TEST_F(ProcessFixTest, CheckpointWithoutAFixTakesTheLastAcceptedPosition) {
    ASSERT_TRUE(Feed(35.25, 139.5, 0, 12.5F));
    doc.m_posCurrent = {}; // a tick without a usable fix
    doc.AddCheckpoint();
    ASSERT_EQ(doc.m_checkpoints.size(), 2U);
    EXPECT_EQ(doc.m_checkpoints[1].dblLatitude, 35.25);
    EXPECT_EQ(doc.m_checkpoints[1].dblAltitude, 12.5);
}

TEST_F(ProcessFixTest, RouteOfTheNextWorkoutDependsOnCentring) {
    ASSERT_TRUE(FeedHeight(0.0F, 0));
    ASSERT_TRUE(FeedHeight(10.0F, 5));
    doc.m_bAwaitFirstFix = 1; // finished; a new workout starts
    ASSERT_TRUE(FeedHeight(20.0F, 10));
    EXPECT_EQ(doc.RoutePointCount(), 1);

    doc.m_bCenterOnStart = 1;
    doc.m_bAwaitFirstFix = 1;
    ASSERT_TRUE(FeedHeight(40.0F, 20));
    ASSERT_TRUE(FeedHeight(50.0F, 25));
    EXPECT_EQ(doc.RoutePointCount(), 1); // kept from before, nothing added
}
