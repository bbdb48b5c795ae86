#include "ui/DialogFit.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogFit, PhonesAndTooSmallScreensShowDialogsFullWindowDesktopsAtTheirOwnSize) {
    // Phones held either way: the whole available area. A desktop: the dialog's own size, centred,
    // unless it would not fit.
    EXPECT_EQ(DialogGeometry({0, 0, 360, 692}, {240, 300}), QRect(0, 0, 360, 692));
    EXPECT_EQ(DialogGeometry({0, 28, 720, 332}, {240, 300}), QRect(0, 28, 720, 332));
    EXPECT_EQ(DialogGeometry({0, 0, 1280, 760}, {480, 560}), QRect(400, 100, 480, 560));
    EXPECT_EQ(DialogGeometry({0, 0, 1280, 760}, {480, 800}), QRect(0, 0, 1280, 760));
}

} // namespace
