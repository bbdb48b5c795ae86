#include "view/MainLayout.h"

#include <gtest/gtest.h>

namespace {

void ExpectFrame(const ScreenRect& frame, int left, int top, int right, int bottom) {
    EXPECT_EQ(frame.left, left);
    EXPECT_EQ(frame.top, top);
    EXPECT_EQ(frame.right, right);
    EXPECT_EQ(frame.bottom, bottom);
}

TEST(MainLayout, PortraitQuarterVga) {
    const MainLayout l = MainLayout::For(240, 320);
    EXPECT_TRUE(l.bPortrait);
    EXPECT_EQ(l.a, 6);
    EXPECT_EQ(l.b, 10);
    EXPECT_EQ(l.T, 240);
    EXPECT_EQ(l.nButtonSide, 75); // min(320 * 50 / 100 / 2, 240 / 3) - 5
    EXPECT_EQ(l.f, 37);
    EXPECT_EQ(l.rcStart, (LayoutRect{7, 160, 75, 75}));
    EXPECT_EQ(l.rcRest, (LayoutRect{7, 240, 75, 37}));
    EXPECT_EQ(l.rcBluetooth, (LayoutRect{7, 280, 37, 37}));
    EXPECT_EQ(l.rcGps, (LayoutRect{47, 280, 37, 37}));
    ExpectFrame(l.rcMapFrame, 89, 160, 235, 315); // left 240 * 6 / 100 + 75
    // w = 146, h = 155; the image sits 5 inside and is 10 smaller.
    EXPECT_EQ(l.rcMapImage, (LayoutRect{94, 165, 136, 145}));
    EXPECT_EQ(l.nSmallFont, 19);
    EXPECT_EQ(l.nLargeFont, 32);
    EXPECT_EQ(l.nCaptionFont, 9); // 320 * 6 / 2 / 100
    EXPECT_EQ(l.xMark, 162);
    EXPECT_EQ(l.yMark, 237);
    EXPECT_EQ(l.nMarkRadius, 2);
    EXPECT_EQ(l.nRouteMarkBase, 120);
}

TEST(MainLayout, LandscapeQuarterVga) {
    const MainLayout l = MainLayout::For(320, 240);
    EXPECT_FALSE(l.bPortrait);
    EXPECT_EQ(l.a, 10);
    EXPECT_EQ(l.b, 15);
    EXPECT_EQ(l.T, 192);
    EXPECT_EQ(l.nButtonSide, 49); // min(320 * 31 / 100 / 2, 240 / 3)
    EXPECT_EQ(l.f, 24);
    EXPECT_EQ(l.rcStart, (LayoutRect{201, 7, 49, 49}));
    EXPECT_EQ(l.rcRest, (LayoutRect{260, 7, 49, 24}));
    EXPECT_EQ(l.rcBluetooth, (LayoutRect{9, 213, 24, 24}));
    EXPECT_EQ(l.rcGps, (LayoutRect{36, 213, 24, 24}));
    ExpectFrame(l.rcMapFrame, 201, 65, 315, 235); // top 7 + 9 + 49
    EXPECT_EQ(l.rcMapImage, (LayoutRect{206, 70, 104, 160}));
    EXPECT_EQ(l.nSmallFont, 24);
    EXPECT_EQ(l.nLargeFont, 36);
    EXPECT_EQ(l.nCaptionFont, 12);
    EXPECT_EQ(l.xMark, 258);
    EXPECT_EQ(l.yMark, 150);
    EXPECT_EQ(l.nMarkRadius, 2);
    EXPECT_EQ(l.nRouteMarkBase, 128); // 320 * 40 / 100
}

TEST(MainLayout, SquareClientIsPortrait) {
    const MainLayout l = MainLayout::For(240, 240);
    EXPECT_TRUE(l.bPortrait);
    EXPECT_EQ(l.nButtonSide, 55); // min(60, 80) - 5
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
