#include "view/DialogFit.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogFit, PhonesAndTooSmallScreensShowDialogsFullWindowDesktopsAtTheirOwnSize) {
    struct Case {
        QRect available;
        QSize wanted;
        QRect placed;
    };
    const Case cases[] = {
        // A phone in portrait and in landscape: the whole available area, whatever the dialog's size.
        {{0, 0, 360, 692}, {240, 300}, {0, 0, 360, 692}},
        {{0, 28, 720, 332}, {240, 300}, {0, 28, 720, 332}},
        // A desktop: the dialog's own size, centred, unless it would not fit.
        {{0, 0, 1280, 760}, {480, 560}, {400, 100, 480, 560}},
        {{0, 0, 1280, 760}, {480, 800}, {0, 0, 1280, 760}},
        {{0, 0, 1024, 600}, {1100, 300}, {0, 0, 1024, 600}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogGeometry(c.available, c.wanted), c.placed);
    }
}

} // namespace
