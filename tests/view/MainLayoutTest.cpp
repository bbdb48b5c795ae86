#include "view/MainLayout.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// The portrait client's frame, fonts and marks are checked in the painted screen and the placed
// texts; here the shape decides where the buttons and the map go.
TEST(MainLayout, ShapePutsTheMapBesideTheButtonsOrBelowThem) {
    const MainLayout p = MainLayout::For(240, 320);
    EXPECT_TRUE(p.bPortrait);
    // Side min(320 x 50 / 100 / 2, 240 / 3) - 5; the map 240 x 6 / 100 + 75 from the left.
    EXPECT_EQ(
        (std::array{p.rcStart, p.rcRest, p.rcBluetooth, p.rcGps, p.rcMapImage}),
        (std::array<LayoutRect, 5>{
            {{7, 160, 75, 75}, {7, 240, 75, 37}, {7, 280, 37, 37}, {47, 280, 37, 37}, {94, 165, 136, 145}}}));
    const MainLayout l = MainLayout::For(320, 240);
    EXPECT_FALSE(l.bPortrait);
    // Side min(320 x 31 / 100 / 2, 240 / 3); the map from 7 + 9 + 49 down.
    EXPECT_EQ(
        (std::array{l.rcStart, l.rcRest, l.rcBluetooth, l.rcGps, l.rcMapImage}),
        (std::array<LayoutRect, 5>{
            {{201, 7, 49, 49}, {260, 7, 49, 24}, {9, 213, 24, 24}, {36, 213, 24, 24}, {206, 70, 104, 160}}}));
    // Fonts a and b hundredths of the height, the caption half the small one; the mark at the map's
    // middle; route marks measured against half the width, or 40 % of it in landscape.
    const auto figures = [](const MainLayout& m) {
        return std::array{m.nSmallFont, m.nLargeFont, m.nCaptionFont, m.xMark, m.yMark, m.nRouteMarkBase};
    };
    EXPECT_EQ(figures(p), (std::array{19, 32, 9, 162, 237, 120}));
    EXPECT_EQ(figures(l), (std::array{24, 36, 12, 258, 150, 128}));
    EXPECT_TRUE(MainLayout::For(240, 240).bPortrait);
    EXPECT_EQ(MainLayout::For(240, 240).nButtonSide, 55); // min(60, 80) - 5
}

TEST(MainLayout, TinyClientsHaveNothingNegative) {
    for (const auto& [W, H] : {std::pair{0, 0}, {10, 10}, {1, 40}, {40, 1}, {30, 20}, {-5, -5}}) {
        SCOPED_TRACE(testing::Message() << W << " x " << H);
        const MainLayout l = MainLayout::For(W, H);
        EXPECT_GE(l.nButtonSide, 0);
        for (const LayoutRect& r : {l.rcStart, l.rcRest, l.rcBluetooth, l.rcGps, l.rcMapImage}) {
            EXPECT_GE(r.width, 0);
            EXPECT_GE(r.height, 0);
        }
        EXPECT_GE(l.nMapWidth, 0);
        EXPECT_GE(l.nMapHeight, 0);
        EXPECT_GE(l.nMarkRadius, 0);
    }
    // Too small for a frame: the tap area is empty.
    const MainLayout none = MainLayout::For(0, 0);
    EXPECT_FALSE(none.rcMapFrame.Contains(0, 0));
    EXPECT_FALSE(none.rcMapFrame.Contains(-5, -5));
}

} // namespace
