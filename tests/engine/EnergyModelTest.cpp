#include "engine/EnergyModel.h"

#include <gtest/gtest.h>

// The walking bands are measured by the workout's steps; here the running ones, and the jump at 17.5.
TEST(EnergyModel, BandEdgesBelongToTheBandAbove) {
    EXPECT_DOUBLE_EQ(Mets(8.0), 6.3);
    EXPECT_NEAR(Mets(17.49), 15.992857142857, 1e-9);
    EXPECT_DOUBLE_EQ(Mets(17.5), 18.0);
    EXPECT_NEAR(Mets(10.25), 9.5, 1e-12); // inside a band: the straight line between its points
}
