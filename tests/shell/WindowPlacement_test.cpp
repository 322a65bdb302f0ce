#include <gtest/gtest.h>

#include "shell/WindowPlacement.h"

using namespace pelsid;

// New windows cascade beside the main window and never leave the screen.
TEST(WindowPlacement, CascadeStaysOnTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    const QRect main(0, 0, 400, 600);
    struct Case {
        QSize size;
        int index;
        QPoint at;
    };
    const Case cases[] = {
        {{500, 400}, 0, {411, 0}},        // fits beside the main window
        {{500, 400}, 3, {483, 72}},       // cascaded
        {{500, 400}, 8, {411, 0}},        // the cascade starts again
        {{1510, 400}, 0, {0, 0}},         // one pixel too wide beside it: wraps to the left edge
        {{1509, 400}, 0, {411, 0}},       // exactly fits
        {{1500, 400}, 2, {48, 48}},       // wrapped, still cascaded
        {{2000, 1200}, 5, {0, 0}},        // larger than the screen: its top-left corner shows
        {{500, 1070}, 2, {459, 10}},      // too tall for its step: as low as it fits
    };
    for (const Case& c : cases) {
        const QPoint p = cascadePosition(main, c.size, c.index, screen);
        EXPECT_EQ(p, c.at) << c.size.width() << "x" << c.size.height() << " #" << c.index;
        if (c.size.width() <= screen.width() && c.size.height() <= screen.height()) {
            EXPECT_TRUE(screen.contains(QRect(p, c.size)));
        }
    }
    // A main window low on the screen: the cascade wraps to the top.
    EXPECT_EQ(cascadePosition(QRect(0, 500, 400, 600), {500, 600}, 2, screen), QPoint(459, 48));
    // A screen that does not start at the origin (a second monitor, a panel).
    EXPECT_EQ(cascadePosition(QRect(1920, 30, 400, 600), {500, 400}, 0, QRect(1920, 30, 800, 1000)),
              QPoint(1920, 30));
}
