#include "engine/EnergyModel.h"

#include <gtest/gtest.h>

TEST(EnergyModel, BandEdgesBelongToTheBandAbove) {
    EXPECT_DOUBLE_EQ(Mets(3.2), 2.0);
    EXPECT_NEAR(Mets(3.1999), 1.9999375, 1e-12);
    EXPECT_DOUBLE_EQ(Mets(8.0), 6.3);
    EXPECT_NEAR(Mets(17.49), 15.992857142857, 1e-9);
    EXPECT_DOUBLE_EQ(Mets(17.5), 18.0);
    EXPECT_NEAR(Mets(10.25), 9.5, 1e-12); // inside a band: the straight line between its points
}

TEST(EnergyModel, StepEnergyIsMetsTimesWeightTimesHours) {
    // 60 kg, 10 s at 6.0 km/h: 10 x 60 x 3.55 x 1.05 / 3600.
    EXPECT_NEAR(StepKcal(10, 60.0, 6.0), 0.62125, 1e-12);
    EXPECT_DOUBLE_EQ(StepKcal(10, 0.0, 6.0), 0.0);
    EXPECT_NEAR(StepKcal(3600, 70.0, 20.0), 1.05 * 18.0 * 70.0, 1e-9);
}
