#include "engine/Geodesy.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <tuple>

using platform::SYSTEMTIME;

TEST(GeoDistance, ReferenceDistancesNorthAndSouth) {
    // 0.001 degree is 0.06 minutes.
    EXPECT_NEAR(GeoDistance(35, 0.0, 139, 0.0, 0.0, 35, 0.06, 139, 0.0, 0.0), 110.94, 0.005);
    EXPECT_NEAR(GeoDistance(35, 0.0, 139, 0.0, 0.0, 35, 0.0, 139, 0.06, 0.0), 91.29, 0.005);
    // A whole degree: the chord, a little shorter than the arc.
    EXPECT_NEAR(GeoDistance(35, 0.0, 139, 0.0, 0.0, 36, 0.0, 139, 0.0, 0.0), 110948.4, 0.05);
    EXPECT_NEAR(GeoDistance(35, 30.0, 139, 0.0, 0.0, 35, 30.0, 139, 0.0, 10.0), 10.0, 1e-9);
    // In the south the minutes carry the sign of their degrees, and a distance mirrors the north's.
    const DegreesMinutes south = ToDegreesMinutes(-33.5);
    EXPECT_EQ(std::pair(south.degrees, south.minutes), std::pair(-33, -30.0));
    EXPECT_NEAR(GeoDistanceDegrees(-33.5, 151.0, 0.0, -33.501, 151.0, 0.0),
                GeoDistanceDegrees(33.5, 151.0, 0.0, 33.501, 151.0, 0.0), 1e-9);
}

TEST(SecondsBetween, DropsWholeDays) {
    const ScopedEnv tokyo("TZ", "Asia/Tokyo");
    const SYSTEMTIME before{2008, 1, 0, 15, 23, 59, 50, 0};
    EXPECT_EQ(SecondsBetween(before, SYSTEMTIME{2008, 1, 0, 17, 0, 59, 50, 0}), 3600); // 25 hours
    const SYSTEMTIME later{2008, 1, 0, 16, 0, 1, 30, 999};
    EXPECT_EQ(SecondsBetween(later, SYSTEMTIME{2008, 1, 0, 16, 0, 0, 0, 0}), -90);
}

// Heights above sea level 10 and 20 and above the ellipsoid 50 and 60, each kind flagged by its bit.
TEST(HeightsFor, BothFixesMustCarryTheSameKindOfHeight) {
    const std::tuple<std::uint32_t, std::uint32_t, bool, double, double> cases[] = {
        {0xC0, 0xC0, false, 10, 20},
        {0xC0, 0xC0, true, 0, 0},
        {0xC0, 0x80, false, 50, 60},
        {0x40, 0x80, false, 0, 0}};
    for (const auto& [a, b, flat, first, second] : cases) {
        const Heights heights =
            HeightsFor(flat, {a, {}, 0.0, 0.0, 0.0F, 10.0F, 50.0F}, {b, {}, 0.0, 0.0, 0.0F, 20.0F, 60.0F});
        EXPECT_EQ(std::pair(heights.first, heights.second), std::pair(first, second));
    }
}
