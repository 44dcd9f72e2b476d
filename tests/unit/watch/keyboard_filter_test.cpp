// Only Alt+Print Screen, only while the watch is active, is kept from the system.
#include <gtest/gtest.h>

#include "watch/keyboard_filter.h"

namespace {

TEST(KeyboardFilter, SwallowsAltPrintScreenOnlyWhileTheWatchIsActive) {
    EXPECT_TRUE(swallowKeyEvent(0, 1, KEY_MESSAGE_SYS_DOWN, KEY_PRINT_SCREEN, KEY_FLAG_ALT_DOWN));
    EXPECT_TRUE(swallowKeyEvent(0, 2, KEY_MESSAGE_DOWN, KEY_PRINT_SCREEN, KEY_FLAG_ALT_DOWN));
    EXPECT_FALSE(swallowKeyEvent(0, 0, KEY_MESSAGE_SYS_DOWN, KEY_PRINT_SCREEN, KEY_FLAG_ALT_DOWN));
}

TEST(KeyboardFilter, SystemKeyDownMeansAltEvenWithoutTheFlag) {
    EXPECT_TRUE(swallowKeyEvent(0, 1, KEY_MESSAGE_SYS_DOWN, KEY_PRINT_SCREEN, 0));
    EXPECT_FALSE(swallowKeyEvent(0, 0, KEY_MESSAGE_SYS_DOWN, KEY_PRINT_SCREEN, 0));
}

TEST(KeyboardFilter, PassesEverythingElse) {
    EXPECT_FALSE(swallowKeyEvent(0, 1, KEY_MESSAGE_DOWN, KEY_PRINT_SCREEN, 0));       // no Alt
    EXPECT_FALSE(swallowKeyEvent(0, 1, 0x0105, KEY_PRINT_SCREEN, KEY_FLAG_ALT_DOWN)); // key up
    EXPECT_FALSE(swallowKeyEvent(0, 1, KEY_MESSAGE_SYS_DOWN, 0x41, KEY_FLAG_ALT_DOWN));
    EXPECT_FALSE(swallowKeyEvent(-1, 1, KEY_MESSAGE_SYS_DOWN, KEY_PRINT_SCREEN, KEY_FLAG_ALT_DOWN));
}

} // namespace
