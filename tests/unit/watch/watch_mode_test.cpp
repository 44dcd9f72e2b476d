// WatchMode's step decisions.
#include <gtest/gtest.h>

#include "watch/watch_mode.h"

namespace {

TEST(WatchMode, OffNeverMoves) {
    int32_t mode = WATCH_MODE_OFF;
    Point last{0, 0};
    Point target{-1, -1};
    EXPECT_FALSE(watchModeTick(&mode, &last, Point{500, 400}, &target));
    EXPECT_EQ(mode, WATCH_MODE_OFF);
    EXPECT_EQ(target.x, -1);
}

TEST(WatchMode, FirstTickMovesEvenWhereTheCursorWasLastSeen) {
    // Switched on anew: the last cursor of an earlier run must not keep the watch in place.
    int32_t mode = WATCH_MODE_ON;
    Point last{300, 200};
    Point target{};
    ASSERT_TRUE(watchModeTick(&mode, &last, Point{300, 200}, &target));
    EXPECT_EQ(mode, WATCH_MODE_FOLLOWING);
    EXPECT_EQ(target.x, 332);
    EXPECT_EQ(target.y, 232);
}

TEST(WatchMode, StillCursorMovesNothingAndAMovedOneMovesOnce) {
    int32_t mode = WATCH_MODE_ON;
    Point last{};
    Point target{};
    ASSERT_TRUE(watchModeTick(&mode, &last, Point{10, 20}, &target));
    for (int tick = 0; tick < 100; ++tick)
        EXPECT_FALSE(watchModeTick(&mode, &last, Point{10, 20}, &target));
    ASSERT_TRUE(watchModeTick(&mode, &last, Point{11, 20}, &target));
    EXPECT_EQ(target.x, 43);
    EXPECT_EQ(target.y, 52);
    EXPECT_EQ(last.x, 11);
    EXPECT_FALSE(watchModeTick(&mode, &last, Point{11, 20}, &target));
}

TEST(WatchMode, NegativeCursorOfALeftMonitorIsFollowed) {
    int32_t mode = WATCH_MODE_FOLLOWING;
    Point last{0, 0};
    Point target{};
    ASSERT_TRUE(watchModeTick(&mode, &last, Point{-200, -50}, &target));
    EXPECT_EQ(target.x, -168);
    EXPECT_EQ(target.y, -18);
}

TEST(WatchMode, ToggleSwitchesFollowingOff) {
    EXPECT_EQ(toggledWatchMode(WATCH_MODE_OFF), WATCH_MODE_ON);
    EXPECT_EQ(toggledWatchMode(WATCH_MODE_ON), WATCH_MODE_OFF);
    EXPECT_EQ(toggledWatchMode(WATCH_MODE_FOLLOWING), WATCH_MODE_OFF);
}

} // namespace
