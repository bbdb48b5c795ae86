#include "view/MainLayout.h"

#include <gtest/gtest.h>

#include <QRect>

#include <cstdlib>

namespace {

// Where each part goes is the paint's and the view's business; what must hold at any size is that
// everything lies inside the client and apart: the buttons clear of each other, of the map and of
// the block of figures, the map beside the buttons in portrait and below them in landscape, and the
// position mark in the middle of the map image. Clients too small for that have nothing negative,
// and no tap area when there is no room for a frame.
TEST(MainLayout, PartsLieInsideTheClientAndApartAtAnySize) {
    const std::pair<int, int> sizes[] = {{240, 320},  {320, 240}, {240, 240},   {480, 640},   {640, 480},
                                         {480, 800},  {800, 480}, {1080, 1920}, {1920, 1080}, {100, 800},
                                         {2000, 200}, {0, 0},     {10, 10},     {1, 40},      {40, 1},
                                         {30, 20},    {-5, -5}};
    for (const auto& [W, H] : sizes) {
        SCOPED_TRACE(testing::Message() << W << " x " << H);
        const MainLayout l = MainLayout::For(W, H);
        const auto rect = [](const LayoutRect& r) { return QRect(r.x, r.y, r.width, r.height); };
        for (const LayoutRect& r : {l.rcStart, l.rcRest, l.rcBluetooth, l.rcGps, l.rcMapImage}) {
            EXPECT_TRUE(r.width >= 0 && r.height >= 0);
        }
        EXPECT_TRUE(l.nButtonSide >= 0 && l.nMapWidth >= 0 && l.nMapHeight >= 0 && l.nMarkRadius >= 0);
        if (W < 100 || H < 100) {
            EXPECT_FALSE(l.rcMapFrame.Contains(0, 0));
            continue;
        }
        EXPECT_EQ(l.bPortrait, W <= H);
        const QRect client(0, 0, W, H);
        const QRect frame(QPoint(l.rcMapFrame.left, l.rcMapFrame.top),
                          QPoint(l.rcMapFrame.right, l.rcMapFrame.bottom));
        const QRect image = rect(l.rcMapImage);
        const QRect figures(0, 0, l.T, 5 * H * l.b / 100 - 5); // five rows of the large font
        EXPECT_TRUE(client.contains(frame) && frame.contains(image) && !figures.intersects(frame));
        const QRect buttons[] = {rect(l.rcStart), rect(l.rcRest), rect(l.rcBluetooth), rect(l.rcGps)};
        for (std::size_t i = 0; i < std::size(buttons); ++i) {
            EXPECT_TRUE(client.contains(buttons[i]) && !buttons[i].isEmpty()) << i;
            EXPECT_FALSE(buttons[i].intersects(frame) || buttons[i].intersects(figures)) << i;
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_FALSE(buttons[i].intersects(buttons[j])) << i << " over " << j;
            }
        }
        EXPECT_TRUE(l.bPortrait ? buttons[0].right() < frame.left() && buttons[1].right() < frame.left()
                                : buttons[0].bottom() < frame.top() && buttons[1].bottom() < frame.top());
        EXPECT_LE(std::abs(l.xMark - image.center().x()), 1);
        EXPECT_LE(std::abs(l.yMark - image.center().y()), 1);
        EXPECT_TRUE(0 < l.nCaptionFont && l.nCaptionFont < l.nSmallFont && l.nSmallFont < l.nLargeFont);
    }
}

} // namespace
