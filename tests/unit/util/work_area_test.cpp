// Work area and clamped moves: where the watch may go.
#include <gtest/gtest.h>

#include "util/work_area.h"

namespace {

const Rect kDesktop{0, 0, 1280, 1024};

TEST(WorkArea, CutsTheEdgeTheTaskbarIsDockedTo) {
    struct Case {
        Rect taskbar;
        Rect expected;
    } cases[] = {
        {{0, 984, 1280, 1024}, {0, 0, 1280, 984}},   // bottom
        {{0, 0, 1280, 40}, {0, 40, 1280, 1024}},     // top
        {{1220, 0, 1280, 1024}, {0, 0, 1220, 1024}}, // right
        {{0, 0, 60, 1024}, {60, 0, 1280, 1024}},     // left: area starts at its right edge
        {{100, 100, 300, 140}, kDesktop},            // floating: no cut
    };
    for (const Case& c : cases) {
        Rect area = workAreaFromTaskbar(kDesktop, c.taskbar);
        EXPECT_EQ(area.left, c.expected.left);
        EXPECT_EQ(area.top, c.expected.top);
        EXPECT_EQ(area.right, c.expected.right);
        EXPECT_EQ(area.bottom, c.expected.bottom);
    }
}

TEST(ClampedMove, KeepsTheWindowInsideTheArea) {
    Rect area{0, 0, 1280, 984};
    Point p = clampWindowPosition(5000, 5000, 200, 100, area);
    EXPECT_EQ(p.x, 1080);
    EXPECT_EQ(p.y, 884);
    p = clampWindowPosition(-50, -7, 200, 100, area);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = clampWindowPosition(300, 200, 200, 100, area);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 200);
}

TEST(ClampedMove, WindowLargerThanTheAreaSticksToItsLeftAndTop) {
    Rect area{60, 40, 460, 240};
    Point p = clampWindowPosition(300, 300, 1000, 1000, area);
    EXPECT_EQ(p.x, 60);
    EXPECT_EQ(p.y, 40);
}

} // namespace
