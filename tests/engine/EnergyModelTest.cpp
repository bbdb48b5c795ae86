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
